#include "support/PackageBuilder.h"

#include "support/TempDir.h"

#include "platform/PathSeparator.h"

namespace orvanta::test {

std::string MagvarBytes(int version, int revision) {
    std::string bytes(200, '\0');
    bytes[133] = static_cast<char>(revision & 0xFF);
    bytes[134] = static_cast<char>(version & 0xFF);
    bytes[135] = static_cast<char>((version >> 8) & 0xFF);
    return bytes;
}

std::string PackageBuilder::Write(const std::string& folder) const {
    const std::string root = folder + kSep;
    MakeFolder(folder);
    WriteBytes(root + "Cycle.txt", cycle);
    WriteBytes(root + "magdec.bgl", magvar.empty() ? MagvarBytes(0x2022, 3) : magvar);
    const char* prefixes[3] = {"APX", "ATX", "NVX"};
    const std::vector<std::string>* lists[3] = {&apx, &atx, &nvx};
    for (int c = 0; c < 3; ++c) {
        const std::string prefix = prefixes[c];
        MakeFolder(root + prefix + "Files");
        std::string list;
        for (const std::string& line : *lists[c]) {
            list += line + "\r\n";
            if (line.empty() || line.find_first_of("/\\:*?\"<>|") != std::string::npos) continue;
            WriteBytes(root + prefix + "Files" + kSep + line + ".bgl", "BGL " + line);
        }
        WriteBytes(root + prefix + "FileList.txt", list);
    }
    return root;
}

}  // namespace orvanta::test
