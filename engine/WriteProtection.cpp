#include "engine/WriteProtection.h"

namespace orvanta {

bool ClearWriteProtection(FileSystem& fs, const std::string& path) {
    if (!fs.Exists(path)) return true;
    std::uint32_t attributes = 0;
    if (!fs.GetAttributes(path, attributes)) return false;
    if ((attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem)) == 0) return true;
    return fs.SetNormalAttributes(path).ok();
}

}  // namespace orvanta
