#include "support/SimFolderBuilder.h"

#include <algorithm>
#include <filesystem>

#include "platform/PathSeparator.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta::test {

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

std::vector<std::pair<std::string, std::string>> SnapshotTree(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::pair<std::string, std::string>> files;
    const fs::path base = fs::u8path(folder);
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
        if (!entry.is_regular_file()) continue;
        std::string relative = fs::relative(entry.path(), base).generic_u8string();
        files.emplace_back(relative, ReadBytes(entry.path().u8string()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace orvanta::test
