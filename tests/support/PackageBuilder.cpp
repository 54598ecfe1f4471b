#include "support/PackageBuilder.h"

#include "support/TempDir.h"

#include "platform/PathSeparator.h"

namespace orvanta::test {

std::string ListText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

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
    if (writeCycle) WriteBytes(root + "Cycle.txt", cycle);
    if (writeMagvar) WriteBytes(root + "magdec.bgl", magvar.empty() ? MagvarBytes(0x2022, 3) : magvar);
    const char* prefixes[3] = {"APX", "ATX", "NVX"};
    const std::vector<std::string>* lists[3] = {&apx, &atx, &nvx};
    for (int c = 0; c < 3; ++c) {
        const std::string prefix = prefixes[c];
        MakeFolder(root + prefix + "Files");
        if (writeLists[c]) WriteBytes(root + prefix + "FileList.txt", ListText(*lists[c]));
        if (!writeListedFiles) continue;
        for (const std::string& line : *lists[c]) {
            if (line.empty() || line.find_first_of("/\\:*?\"<>|") != std::string::npos) continue;
            WriteBytes(root + prefix + "Files" + kSep + line + ".bgl", "BGL " + line);
        }
    }
    return root;
}

}  // namespace orvanta::test
