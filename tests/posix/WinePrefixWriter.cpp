#include "WinePrefixWriter.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>

#include "support/TempDir.h"

namespace orvanta::test {

namespace {

// UTF-8 to UTF-16 code units (tests give well-formed UTF-8).
std::vector<unsigned> Utf16Units(const std::string& s) {
    std::vector<unsigned> out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        unsigned cp = extra == 0 ? c : c & (0x3Fu >> extra);
        for (int k = 1; k <= extra && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            out.push_back(0xD800 + ((cp - 0x10000) >> 10));
            out.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out.push_back(cp);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string EscapeKey(const std::string& key) {
    std::string out;
    for (char c : key) {
        if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string WineEscape(const std::string& utf8) {
    std::string out;
    const std::vector<unsigned> units = Utf16Units(utf8);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const unsigned u = units[i];
        char buffer[16];
        if (u > 127) {
            // Four digits when a hexadecimal digit follows, as Wine writes it.
            const bool hexFollows =
                i + 1 < units.size() && units[i + 1] < 128 && std::isxdigit(static_cast<int>(units[i + 1]));
            std::snprintf(buffer, sizeof buffer, hexFollows ? "\\x%04x" : "\\x%x", u);
            out += buffer;
        } else if (u == '\\' || u == '"') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 32) {
            std::snprintf(buffer, sizeof buffer, "\\%o", u);
            out += buffer;
        } else {
            out += static_cast<char>(u);
        }
    }
    return out;
}

std::string WineRegistryText(const std::string& relativeTo, const std::string& arch,
                             const std::vector<WineRegValue>& values) {
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to " + EscapeKey(relativeTo) + "\n\n";
    if (!arch.empty()) text += "#arch=" + arch + "\n";
    std::string current;
    for (const WineRegValue& v : values) {
        if (v.key != current) {
            text += "\n[" + EscapeKey(v.key) + "] 1796585397\n#time=1dd85b82db02b52\n";
            current = v.key;
        }
        text += (v.name.empty() ? std::string("@") : "\"" + WineEscape(v.name) + "\"") + "=\"" + WineEscape(v.data) +
                "\"\n";
    }
    return text;
}

void WinePrefixWriter::Write(const std::string& prefix) const {
    MakeFolder(prefix + "/drive_c");
    MakeFolder(prefix + "/dosdevices");
    WriteBytes(prefix + "/system.reg", WineRegistryText("REGISTRY\\Machine", arch, machine));
    WriteBytes(prefix + "/user.reg", WineRegistryText("REGISTRY\\User\\S-1-5-21-0-0-0-1000", arch, user));
    ::symlink("../drive_c", (prefix + "/dosdevices/c:").c_str());
    ::symlink("/", (prefix + "/dosdevices/z:").c_str());
}

}  // namespace orvanta::test
