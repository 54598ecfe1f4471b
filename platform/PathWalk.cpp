#include "platform/FileSystem.h"

namespace orvanta {

FsStatus OpenFolderByPath(FileSystem& fs, const std::string& path, std::unique_ptr<OpenFolder>& folder) {
    std::uint32_t attributes = 0;
    if (FsStatus st = fs.GetAttributes(path, attributes); !st) return st;
    if ((attributes & kAttrDirectory) == 0 || (attributes & kAttrReparsePoint) != 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    folder = std::make_unique<PathOpenFolder>(fs, path);
    return FsStatus::Ok();
}

}  // namespace orvanta
