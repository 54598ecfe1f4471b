#pragma once

#include <string>
#include <vector>

#include "platform/Settings.h"

namespace orvanta {

// Per-user settings in ${XDG_CONFIG_HOME:-$HOME/.config}/<application>.ini: sections
// "[section]" holding lines "key=value". Sections and keys match ignoring ASCII case, as
// Windows matches them. A save rewrites the file atomically and keeps every other line.
class PosixSettings : public Settings {
public:
    std::optional<std::string> Get(const std::string& application, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) override;
    bool Save(const std::string& application, const std::string& section, const std::string& key,
              const std::string& value) override;

    // The file that holds an application's settings; empty when no home folder is known.
    static std::string FileOf(const std::string& application);
};

// The value of section/key in the lines of an ini file, if present.
std::optional<std::string> FindIniValue(const std::vector<std::string>& lines, const std::string& section,
                                        const std::string& key);
// The lines with section/key set to value: the key's line replaced in place, or added at
// the end of its section, or a new section at the end.
std::vector<std::string> SetIniValue(std::vector<std::string> lines, const std::string& section, const std::string& key,
                                     const std::string& value);

}  // namespace orvanta
