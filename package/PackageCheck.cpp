#include "package/PackageCheck.h"

#include <cstdint>
#include <limits>

#include "app/Text.h"
#include "package/AreaGrid.h"
#include "package/PathScheme.h"

namespace orvanta {

namespace {

void CheckFixedFiles(FileSystem& fs, const std::string& folder, std::string& log) {
    struct Fixed {
        const char* name;
        const char* missingLine;
    };
    static constexpr Fixed kFixed[] = {
        {"Cycle.txt", "Missing Cycle.txt text file"},        {"magdec.bgl", "Missing magdec.bgl file"},
        {"APXFileList.txt", "Missing APXFileList.txt file"}, {"ATXFileList.txt", "Missing ATXFileList.txt file"},
        {"NVXFileList.txt", "Missing NVXFileList.txt file"},
    };
    for (const Fixed& f : kFixed) {
        // A path that cannot even be asked about (longer than the system takes, say) is
        // not reported as missing: the number says what it is.
        FileInfo info;
        if (const FsStatus st = fs.QueryFile(folder + f.name, info); !st) {
            AppendLine(log,
                       std::string("Error reading ") + f.name + " file - Error number: " + std::to_string(st.code));
        } else if (!info.exists) {
            AppendLine(log, f.missingLine);
        }
    }
}

// Reads one list into its table. False when the list could not be read to its end.
bool ReadList(FileSystem& fs, ProgramState& state, FileCategory category, std::string& log) {
    const CategoryInfo& info = InfoOf(category);
    std::vector<std::string> lines;
    if (!fs.ReadLines(state.AppFolder + info.listFile, lines).ok() || lines.empty()) return false;

    PackageTable& table = state.Table(category);
    table.assign(static_cast<std::size_t>(info.capacity), PackageEntry{});
    std::int16_t n = 0;
    for (const std::string& line : lines) {
        // The line counter is a 16-bit number; a list longer than it can count is unreadable.
        if (n == std::numeric_limits<std::int16_t>::max()) return false;
        ++n;
        if (!MatchesLinePattern(category, line)) {
            AppendLine(log, "Wrong " + line + " file in " + info.listName);
            continue;
        }
        if (n > info.capacity) return false;
        PackageEntry& entry = table[static_cast<std::size_t>(n - 1)];
        entry.FileName = line + ".bgl";
        const std::string source = SourcePath(state.AppFolder, category, entry);
        if (!fs.Exists(source)) {
            AppendLine(log, "Missing file: " + source);
            continue;
        }
        std::string area;
        const bool valid = AreaOfLine(category, line, area);
        entry.Area = area;
        if (!valid) {
            AppendLine(log, "Invalid file name: " + source);
            continue;
        }
        entry.Region = RegionOfArea(static_cast<std::int16_t>(std::stoi(area)));
    }
    table.resize(static_cast<std::size_t>(n));
    return true;
}

}  // namespace

bool MatchesLinePattern(FileCategory category, const std::string& line) {
    const std::string prefix = InfoOf(category).prefix;
    if (line.size() != 8 || line.compare(0, 3, prefix) != 0) return false;
    for (std::size_t i = 3; i < 8; ++i) {
        if (line[i] < '0' || line[i] > '9') return false;
    }
    return true;
}

void CheckPackage(FileSystem& fs, ProgramState& state, std::string& errorLogText) {
    errorLogText.clear();
    CheckFixedFiles(fs, state.AppFolder, errorLogText);
    for (FileCategory category : kAllCategories) {
        const CategoryInfo& info = InfoOf(category);
        state.Table(category).clear();
        if (!fs.Exists(state.AppFolder + info.listFile)) continue;
        if (!ReadList(fs, state, category, errorLogText)) {
            AppendLine(errorLogText, std::string("Error reading ") + info.listFile + " file");
        }
    }
}

}  // namespace orvanta
