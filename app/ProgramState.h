#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "package/PackageTypes.h"

namespace orvanta {

// Index of a supported simulator; 0 means none.
using SimVersion = std::int16_t;
constexpr SimVersion kNoSim = 0;
constexpr SimVersion kFirstSim = 1;
constexpr SimVersion kLastSim = 6;

// Indices into StatusCounts.
enum FileStatus : int {
    kAvailable = 0,
    kUpToDate = 1,
    kUpdatable = 2,
    kDeinstallable = 3,
    kMissingDestination = 4,
};
constexpr int kStatusCount = 5;

// The installer's shared state: created at start, passed by reference, never global.
struct ProgramState {
    std::string AppTitle;
    std::string AppFolder;  // ends with the separator
    bool NoDetect = false;

    std::array<PackageTable, kCategoryCount> PackageTables;  // indexed by FileCategory

    std::array<std::string, kLastSim + 1> SimFolders;  // 1..6; each ends with the separator
    SimVersion SelectedSim = kNoSim;
    std::string SelectedSimFolder;  // ends with the separator
    std::string ShaderFolder;       // no trailing separator; empty when absent

    // Results of the status scan, replaced whole by each scan: each list holds exactly its
    // count of paths (destination paths, except the package paths of UpdatableSourceList,
    // which pairs with UpdatableDestList by index), in scan order.
    std::vector<std::string> UpToDateList;
    std::vector<std::string> UpdatableSourceList;
    std::vector<std::string> UpdatableDestList;
    std::vector<std::string> DeinstallableList;
    std::vector<std::string> MissingDestList;
    std::array<int, kStatusCount> StatusCounts{};

    bool DisplayOpen = false;
    int DisplayedStatus = 0;

    PackageTable& Table(FileCategory c) { return PackageTables[static_cast<int>(c)]; }
    const PackageTable& Table(FileCategory c) const { return PackageTables[static_cast<int>(c)]; }
};

inline constexpr const char* kAppTitle = "Orvanta Installer";

}  // namespace orvanta
