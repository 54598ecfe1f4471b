#pragma once

#include <unistd.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

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

    void Write(const std::string& prefix) const {  // creates the folder when absent
        MakeFolder(prefix + "/drive_c");
        MakeFolder(prefix + "/dosdevices");
        WriteBytes(prefix + "/system.reg", RegistryText("REGISTRY\\Machine", machine));
        WriteBytes(prefix + "/user.reg", RegistryText("REGISTRY\\User\\S-1-5-21-0-0-0-1000", user));
        ::symlink("../drive_c", (prefix + "/dosdevices/c:").c_str());
        ::symlink("/", (prefix + "/dosdevices/z:").c_str());
    }

    static std::string Escaped(const std::string& text) {
        std::string out;
        for (char c : text) out += c == '\\' || c == '"' ? std::string{'\\', c} : std::string{c};
        return out;
    }

    // Values grouped by key in the order given, with the header and stamps Wine writes.
    static std::string RegistryText(const std::string& relativeTo, const std::vector<WineRegValue>& values) {
        std::string text =
            "WINE REGISTRY Version 2\n;; All keys relative to " + Escaped(relativeTo) + "\n\n#arch=win64\n";
        std::string current;
        for (const WineRegValue& v : values) {
            if (v.key != current) text += "\n[" + Escaped(v.key) + "] 1796585397\n#time=1dd85b82db02b52\n";
            current = v.key;
            text += "\"" + Escaped(v.name) + "\"=\"" + Escaped(v.data) + "\"\n";
        }
        return text;
    }
};

}  // namespace orvanta::test
