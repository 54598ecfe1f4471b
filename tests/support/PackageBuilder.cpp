#include "support/PackageBuilder.h"
#include "platform/PathSeparator.h"
#include "support/TempDir.h"

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

std::string SimSceneryPath(const std::string& simRoot, const std::string& area, const std::string& name) {
    return simRoot + "Scenery" + kSep + area + kSep + "scenery" + kSep + name;
}

std::string SimMagvarPath(const std::string& simRoot) {
    return simRoot + "Scenery" + kSep + "base" + kSep + "Scenery" + kSep + "magdec.bgl";
}

std::string SimFolderBuilder::Write(const std::string& folder) const {
    const std::string root = folder + kSep;
    MakeFolder(root + "Scenery");
    for (const File& f : files) WriteBytes(SimSceneryPath(root, f.area, f.name), f.bytes);
    if (writeMagvar) WriteBytes(SimMagvarPath(root), magvar.empty() ? MagvarBytes(0x2021, 1) : magvar);
    if (!executableName.empty()) WriteBytes(root + executableName, executableBytes);
    return root;
}

}  // namespace orvanta::test
