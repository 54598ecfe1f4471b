#pragma once

#include <string>
#include <vector>

namespace orvanta::test {

// One string value of a registry file (ASCII: the parser's escapes have their own tests).
struct WineRegValue {
    std::string key;  // "Software\Lockheed Martin\Prepar3D v4"
    std::string name;
    std::string data;
};

// A small Wine prefix as Wine leaves it: system.reg and user.reg with the values, drive_c,
// and the drive links "c:" -> "../drive_c" and "z:" -> "/".
struct WinePrefixWriter {
    std::vector<WineRegValue> machine;
    std::vector<WineRegValue> user;
    void Write(const std::string& prefix) const;  // creates the folder when absent
};

}  // namespace orvanta::test
