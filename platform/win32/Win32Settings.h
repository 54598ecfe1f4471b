#pragma once

#include "platform/Settings.h"

namespace orvanta {

// HKCU\Software\VB and VBA Program Settings\<application>\<section>, value <key> as text:
// where classic Windows programs keep such settings, so that what earlier versions of the
// installer stored carries over.
class Win32Settings : public Settings {
public:
    std::optional<std::string> Get(const std::string& application, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) override;
    bool Save(const std::string& application, const std::string& section, const std::string& key,
              const std::string& value) override;

    // The key below HKEY_CURRENT_USER that holds a section.
    static std::string SectionKey(const std::string& application, const std::string& section);
};

}  // namespace orvanta
