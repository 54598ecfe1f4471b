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

bool IsSameFile(const FileInfo& a, const FileInfo& b) {
    return a.exists && b.exists && a.length == b.length && a.modified.SameDay(b.modified);
}

ScanResult RefreshFileStatus(FileSystem& fs, ProgramState& state, const StatusSelection& selection) {
    std::array<int, kStatusCount> counts{};
    std::vector<std::string> upToDate, updatableSource, updatableDest, deinstallable, missing;

    // One query per path answers existence, length and date alike. A query that fails
    // proves no absence: such a file counts as there, equal to none. Only a backup has to
    // be seen to count, as uninstall relies on it.
    for (FileCategory category : kAllCategories) {
        if (!selection.CategoryTicked(category)) continue;
        for (const PackageEntry& entry : state.Table(category)) {
            if (!selection.RegionTicked(entry.Region)) continue;
            ++counts[kAvailable];
            const std::string source = SourcePath(state.AppFolder, category, entry);
            const std::string destination = DestinationPath(state.SelectedSimFolder, entry);
            FileInfo sourceInfo, backupInfo, destinationInfo;
            const bool sourceKnown = fs.QueryFile(source, sourceInfo).ok();
            if (sourceKnown && !sourceInfo.exists) return ScanResult{false, source};
            if (fs.QueryFile(BackupPath(destination), backupInfo).ok() && backupInfo.exists) {
                ++counts[kDeinstallable];
                deinstallable.push_back(destination);
            }
            const bool destinationKnown = fs.QueryFile(destination, destinationInfo).ok();
            if (!destinationKnown || destinationInfo.exists) {
                if (!selection.forceFull && sourceKnown && destinationKnown &&
                    IsSameFile(sourceInfo, destinationInfo)) {
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
