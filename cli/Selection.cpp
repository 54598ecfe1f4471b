#include "cli/Selection.h"

#include <cctype>
#include <vector>

namespace orvanta::cli {

namespace {

constexpr const char* kShortRegionNames[kRegionCount] = {
    "africa", "north-america", "south-america", "australasia", "europe", "far-east", "middle-east", "russia",
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

int RegionOfWord(const std::string& word) {
    if (word.size() == 1 && word[0] >= '0' && word[0] <= '7') return word[0] - '0';
    const std::string lower = Lower(word);
    for (int i = 0; i < kRegionCount; ++i) {
        if (lower == Lower(kRegionNames[i]) || lower == kShortRegionNames[i]) return i;
    }
    return -1;
}

}  // namespace

std::string ParseSelection(const std::optional<std::string>& regions, const std::optional<std::string>& categories,
                           bool forceFull, StatusSelection& selection) {
    selection = StatusSelection{};
    selection.forceFull = forceFull;
    if (regions) {
        for (const std::string& word : SplitList(*regions)) {
            if (Lower(word) == "all") {
                selection.regions.fill(true);
                continue;
            }
            const int region = RegionOfWord(word);
            if (region < 0) return "unknown region: '" + word + "'";
            selection.regions[region] = true;
        }
    }
    if (!categories) {
        selection.categories.fill(true);
        return {};
    }
    for (const std::string& word : SplitList(*categories)) {
        const std::string lower = Lower(word);
        if (lower == "all") {
            selection.categories.fill(true);
        } else if (lower == "apx") {
            selection.categories[static_cast<int>(FileCategory::APX)] = true;
        } else if (lower == "atx") {
            selection.categories[static_cast<int>(FileCategory::ATX)] = true;
        } else if (lower == "nvx") {
            selection.categories[static_cast<int>(FileCategory::NVX)] = true;
        } else {
            return "unknown category: '" + word + "' (apx, atx, nvx or all)";
        }
    }
    return {};
}

int ParseListStatus(const std::string& word) {
    if (word == "up-to-date") return kUpToDate;
    if (word == "updatable") return kUpdatable;
    if (word == "deinstallable") return kDeinstallable;
    if (word == "missing") return kMissingDestination;
    return 0;
}

}  // namespace orvanta::cli
