#include "status/FileStatus.h"

#include "package/PathScheme.h"

namespace orvanta {

int StatusSelection::SelectedRegionCount() const {
    int count = 0;
    for (bool r : regions) count += r ? 1 : 0;
    return count;
}

bool StatusSelection::AnyCategory() const {
    for (bool c : categories) {
        if (c) return true;
    }
    return false;
}

bool IsSameFile(FileSystem& fs, const std::string& a, const std::string& b) {
    std::uint64_t lengthA = 0, lengthB = 0;
    if (!fs.FileLength(a, lengthA) || !fs.FileLength(b, lengthB)) return false;
    if (lengthA != lengthB) return false;
    LocalDateTime timeA, timeB;
    if (!fs.ModifiedTime(a, timeA) || !fs.ModifiedTime(b, timeB)) return false;
    return timeA.SameDay(timeB);
}

ScanResult RefreshFileStatus(FileSystem& fs, ProgramState& state, const StatusSelection& selection) {
    std::array<int, kStatusCount> counts{};
    std::vector<std::string> upToDate, updatableSource, updatableDest, deinstallable, missing;

    for (FileCategory category : kAllCategories) {
        if (!selection.CategoryTicked(category)) continue;
        for (const PackageEntry& entry : state.Table(category)) {
            if (!selection.RegionTicked(entry.Region)) continue;
            ++counts[kAvailable];
            const std::string source = SourcePath(state.AppFolder, category, entry);
            const std::string destination = DestinationPath(state.SelectedSimFolder, entry);
            if (!fs.Exists(source)) return ScanResult{false, source};
            if (fs.Exists(BackupPath(destination))) {
                ++counts[kDeinstallable];
                deinstallable.push_back(destination);
            }
            if (fs.Exists(destination)) {
                if (!selection.forceFull && IsSameFile(fs, source, destination)) {
                    ++counts[kUpToDate];
                    upToDate.push_back(destination);
                } else {
                    ++counts[kUpdatable];
                    updatableSource.push_back(source);
                    updatableDest.push_back(destination);
                }
            } else {
                ++counts[kMissingDestination];
                missing.push_back(destination);
            }
        }
    }

    state.StatusCounts = counts;
    state.UpToDateList = std::move(upToDate);
    state.UpdatableSourceList = std::move(updatableSource);
    state.UpdatableDestList = std::move(updatableDest);
    state.DeinstallableList = std::move(deinstallable);
    state.MissingDestList = std::move(missing);
    return {};
}

void ResetFileStatus(ProgramState& state) { state.StatusCounts = {}; }

std::string CounterCaption(int count) { return count < 1 ? "None" : std::to_string(count) + " files"; }

StatusView DescribeStatus(const ProgramState& state, bool magvarTicked) {
    StatusView view;
    for (int i = 0; i < kStatusCount; ++i) {
        const int count = state.StatusCounts[i];
        CounterView& counter = view.counters[i];
        counter.caption = CounterCaption(count);
        // The available counter never opens a list.
        counter.clickable = i != kAvailable && count >= 1;
        counter.tooltip = counter.clickable ? kCounterTooltip : "";
    }
    view.installEnabled = state.StatusCounts[kUpdatable] >= 1 || magvarTicked;
    view.uninstallEnabled = state.StatusCounts[kDeinstallable] >= 1;
    return view;
}

std::string RegionStatusCaption(int selectedRegionCount) {
    if (selectedRegionCount < 1) return "Region status [No region selected]";
    return "Region status [" + std::to_string(selectedRegionCount) + " region(s) selected]";
}

MessageText MissingPackageFileMessage() {
    return {MsgIcon::Critical,
            {"Some files in the provided package are missing or corrupted",
             "Extract again the package then relaunch the installer from it"}};
}

}  // namespace orvanta
