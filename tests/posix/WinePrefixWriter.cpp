#include "WinePrefixWriter.h"

#include <unistd.h>

#include "support/TempDir.h"

namespace orvanta::test {
namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\\' || c == '"' ? std::string{'\\', c} : std::string{c};
    return out;
}

// Values grouped by key in the order given, with the header and stamps Wine writes.
std::string RegistryText(const std::string& relativeTo, const std::vector<WineRegValue>& values) {
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to " + Escaped(relativeTo) + "\n\n#arch=win64\n";
    std::string current;
    for (const WineRegValue& v : values) {
        if (v.key != current) text += "\n[" + Escaped(v.key) + "] 1796585397\n#time=1dd85b82db02b52\n";
        current = v.key;
        text += "\"" + Escaped(v.name) + "\"=\"" + Escaped(v.data) + "\"\n";
    }
    return text;
}

}  // namespace

void WinePrefixWriter::Write(const std::string& prefix) const {
    MakeFolder(prefix + "/drive_c");
    MakeFolder(prefix + "/dosdevices");
    WriteBytes(prefix + "/system.reg", RegistryText("REGISTRY\\Machine", machine));
    WriteBytes(prefix + "/user.reg", RegistryText("REGISTRY\\User\\S-1-5-21-0-0-0-1000", user));
    ::symlink("../drive_c", (prefix + "/dosdevices/c:").c_str());
    ::symlink("/", (prefix + "/dosdevices/z:").c_str());
}

}  // namespace orvanta::test
