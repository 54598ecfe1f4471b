#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {

// Always processed in this order.
enum class FileCategory : int { APX = 0, ATX = 1, NVX = 2 };
constexpr int kCategoryCount = 3;
constexpr std::array<FileCategory, kCategoryCount> kAllCategories = {FileCategory::APX, FileCategory::ATX,
                                                                     FileCategory::NVX};

struct CategoryInfo {
    const char* prefix;    // "APX"
    const char* listFile;  // "APXFileList.txt"
    const char* folder;    // "APXFiles" (the separator is added by the path scheme)
    const char* listName;  // "APXFileList", as messages name it
    int capacity;          // entries the table holds while reading
};

const CategoryInfo& InfoOf(FileCategory category);

using Region = std::int16_t;
constexpr int kRegionCount = 8;
// The region list's texts, by index.
extern const std::array<const char*, kRegionCount> kRegionNames;

struct PackageEntry {
    std::string FileName;      // the list line + ".bgl"; empty for a rejected line
    std::string Area;          // XXYY; empty when not worked out
    std::int16_t Region = -1;  // 0..7 when the entry is complete
};

using PackageTable = std::vector<PackageEntry>;

}  // namespace orvanta
