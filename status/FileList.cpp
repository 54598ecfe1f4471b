#include "status/FileList.h"

#include <algorithm>
#include <cstdio>

namespace orvanta {

namespace {

constexpr std::size_t kFileNameLength = 12;
constexpr std::size_t kAreaLength = 4;

std::string FileNameOf(const std::string& destination) {
    return destination.size() <= kFileNameLength ? destination
                                                 : destination.substr(destination.size() - kFileNameLength);
}

std::string AreaOf(const std::string& simFolder, const std::string& destination) {
    const std::size_t start = simFolder.size() + 8;  // "Scenery" and the separator
    return start < destination.size() ? destination.substr(start, kAreaLength) : std::string();
}

const std::vector<std::string>* ListOf(const ProgramState& state, int displayedStatus) {
    switch (displayedStatus) {
        case kUpToDate: return &state.UpToDateList;
        case kUpdatable: return &state.UpdatableDestList;
        case kDeinstallable: return &state.DeinstallableList;
        case kMissingDestination: return &state.MissingDestList;
        default: return nullptr;
    }
}

}  // namespace

std::string FormatDayMonthYear(const LocalDateTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", time.day % 100, time.month % 100, time.year % 10000);
    return text;
}

std::string FormatBGLEntry(FileSystem& fs, const std::string& simFolder, const std::string& destination) {
    LocalDateTime time;
    if (!fs.ModifiedTime(destination, time)) return FormatMissingBGLEntry(simFolder, destination);
    return FileNameOf(destination) + " [" + FormatDayMonthYear(time) + "] - Region:" + AreaOf(simFolder, destination);
}

std::string FormatMissingBGLEntry(const std::string& simFolder, const std::string& destination) {
    return FileNameOf(destination) + " - Region:" + AreaOf(simFolder, destination);
}

std::optional<std::string> DisplayCaptionText(const ProgramState& state, int displayedStatus) {
    static const char* const kCaptions[kStatusCount] = {nullptr, "Up-to-date files [", "Updatable files [",
                                                        "Deinstallable files [", "Missing destination files ["};
    if (displayedStatus < kUpToDate || displayedStatus > kMissingDestination) return std::nullopt;
    return kCaptions[displayedStatus] + std::to_string(state.StatusCounts[displayedStatus]) + "]";
}

std::vector<std::string> DisplayLines(FileSystem& fs, const ProgramState& state, int displayedStatus) {
    std::vector<std::string> lines;
    const std::vector<std::string>* list = ListOf(state, displayedStatus);
    if (list == nullptr) return lines;
    const std::size_t count =
        std::min(list->size(), static_cast<std::size_t>(std::max(0, state.StatusCounts[displayedStatus])));
    for (std::size_t i = 0; i < count; ++i) {
        lines.push_back(displayedStatus == kMissingDestination
                            ? FormatMissingBGLEntry(state.SelectedSimFolder, (*list)[i])
                            : FormatBGLEntry(fs, state.SelectedSimFolder, (*list)[i]));
    }
    return lines;
}

std::string NewFileDate(FileSystem& fs, const ProgramState& state, int index) {
    if (index < 0 || index >= static_cast<int>(state.UpdatableSourceList.size())) return {};
    LocalDateTime time;
    if (!fs.ModifiedTime(state.UpdatableSourceList[index], time)) return {};
    return FormatDayMonthYear(time);
}

}  // namespace orvanta
