#include "engine/WriteProtection.h"

namespace orvanta {

bool ClearWriteProtection(FileSystem& fs, const std::string& path) {
    FileInfo info;
    if (!fs.QueryFile(path, info)) return false;
    if (!info.exists || (info.attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem)) == 0) return true;
    return fs.SetNormalAttributes(path).ok();
}

}  // namespace orvanta
