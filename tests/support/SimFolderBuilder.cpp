#include "support/SimFolderBuilder.h"


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

}  // namespace orvanta::test
