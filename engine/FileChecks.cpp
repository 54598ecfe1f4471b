#include "engine/FileChecks.h"

namespace orvanta {

FsStatus CheckPlainFile(FileSystem& fs, const std::string& path) {
    std::uint32_t attributes = 0;
    if (FsStatus st = fs.GetAttributes(path, attributes); !st) return st;
    if ((attributes & (kAttrDirectory | kAttrReparsePoint | kAttrDevice)) != 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    return FsStatus::Ok();
}

FsStatus CheckReadableFile(FileSystem& fs, const std::string& path) {
    FileInfo info;
    if (FsStatus st = fs.QueryFile(path, info); !st) return st;
    if (!info.exists) return FsStatus::Fail(kFileNotFound);
    if ((info.attributes & (kAttrDirectory | kAttrDevice)) != 0) return FsStatus::Fail(kPathFileAccessError);
    return FsStatus::Ok();
}

FsStatus CheckSingleName(FileSystem& fs, const std::string& path) {
    int variants = 0;
    if (FsStatus st = fs.CountNameVariants(path, variants); !st) return st;
    return variants > 1 ? FsStatus::Fail(kFileExists) : FsStatus::Ok();
}

}  // namespace orvanta
