#pragma once

#include <optional>
#include <string>

namespace orvanta {

// Per-user settings addressed by application, section and key.
class Settings {
public:
    virtual ~Settings() = default;
    // The stored text, or the default when absent; nullopt when the store cannot be read.
    virtual std::optional<std::string> Get(const std::string& application, const std::string& section,
                                           const std::string& key, const std::string& defaultValue) = 0;
    // False when the store cannot be written.
    virtual bool Save(const std::string& application, const std::string& section, const std::string& key,
                      const std::string& value) = 0;
};

}  // namespace orvanta
