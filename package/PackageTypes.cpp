#include "package/PackageTypes.h"

namespace orvanta {

namespace {
constexpr std::array<CategoryInfo, kCategoryCount> kCategories = {{
    {"APX", "APXFileList.txt", "APXFiles", "APXFileList", 1000},
    {"ATX", "ATXFileList.txt", "ATXFiles", "ATXFileList", 100},
    {"NVX", "NVXFileList.txt", "NVXFiles", "NVXFileList", 100},
}};
}  // namespace

const CategoryInfo& InfoOf(FileCategory category) { return kCategories[static_cast<int>(category)]; }

const std::array<const char*, kRegionCount> kRegionNames = {
    "Africa", "America (North)", "America (South)", "Australasia-Oceania",
    "Europe", "Far East",        "Middle East",     "Russia",
};

}  // namespace orvanta
