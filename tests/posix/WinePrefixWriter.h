#pragma once

#include <string>
#include <vector>

namespace orvanta::test {

// One value of a registry file, written the way Wine writes it.
struct WineRegValue {
    std::string key;   // "Software\Lockheed Martin\Prepar3D v4"
    std::string name;  // "" for the default value
    std::string data;  // the text of a string value
};

// Escapes a text as Wine does in its registry files: "\\", "\"", and \x for every
// character outside ASCII (given here as UTF-8).
std::string WineEscape(const std::string& utf8);

// The text of a registry file with the values, grouped by key in the order given.
std::string WineRegistryText(const std::string& relativeTo, const std::string& arch,
                             const std::vector<WineRegValue>& values);

// A small Wine prefix: system.reg, user.reg, drive_c, and dosdevices links "c:" ->
// "../drive_c" and "z:" -> "/".
struct WinePrefixWriter {
    std::string arch = "win64";
    std::vector<WineRegValue> machine;
    std::vector<WineRegValue> user;

    // Writes into the folder (created when absent).
    void Write(const std::string& prefix) const;
};

}  // namespace orvanta::test
