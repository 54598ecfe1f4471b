#include "platform/posix/WinePrefixes.h"

#include <sys/stat.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "platform/SteamLibraryFolders.h"
#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/RegularFile.h"

namespace orvanta {

namespace {

constexpr const char* kSteamRoots[] = {
    "/.steam/steam",
    "/.local/share/Steam",
    "/.var/app/com.valvesoftware.Steam/data/Steam",
};

// Steam writes a few kilobytes; anything this large is not its file.
constexpr std::size_t kMaxVdfSize = 4 << 20;

std::string ReadSmallTextFile(const std::string& path) {
    std::string text;
    return ReadRegularFile(path, kMaxVdfSize, text) ? text : std::string();
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Keeps each existing folder once, by the identity of what it names.
class FolderSet {
public:
    void Add(const std::string& folder) {
        struct stat st {};
        if (folder.empty() || folder[0] != '/' || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
        if (seen_.insert({st.st_dev, st.st_ino}).second) folders_.push_back(WithoutTrailingSlashes(folder));
    }
    std::vector<std::string>& Folders() { return folders_; }

private:
    std::set<std::pair<dev_t, ino_t>> seen_;
    std::vector<std::string> folders_;
};

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::vector<std::string> FindSteamLibraries(const std::string& home) {
    FolderSet libraries;
    const std::string base = WithoutTrailingSlashes(home);
    for (const char* root : kSteamRoots) {
        const std::string folder = (base == "/" ? std::string() : base) + root;
        libraries.Add(folder);
        // A file that cannot be read or parsed lists nothing; the root's own library stays.
        const auto listed = ParseLibraryFolders(ReadSmallTextFile(folder + "/steamapps/libraryfolders.vdf"));
        if (!listed) continue;
        for (const std::string& library : *listed) libraries.Add(library);
    }
    return std::move(libraries.Folders());
}

std::vector<std::string> FindProtonPrefixes(const std::string& home, const std::string& appId) {
    FolderSet prefixes;
    for (const std::string& library : FindSteamLibraries(home)) {
        prefixes.Add(library + "/steamapps/compatdata/" + appId + "/pfx");
    }
    return std::move(prefixes.Folders());
}

std::vector<std::string> WinePrefixesToSearch(const std::string& option) {
    std::vector<std::string> prefixes = {ResolveWinePrefix(option)};
    const char* fromEnvironment = std::getenv("WINEPREFIX");
    if (!option.empty() || (fromEnvironment != nullptr && *fromEnvironment != '\0')) return prefixes;
    for (std::string& proton : FindProtonPrefixes(HomeFolder(), kFsxSteamAppId)) prefixes.push_back(std::move(proton));
    return prefixes;
}

std::string WinePrefixUser(const std::string& prefix) {
    const std::string folder = WithoutTrailingSlashes(prefix);
    const std::size_t app = folder.rfind("/compatdata/");
    const std::size_t appStart = app + 12;  // after "/compatdata/"
    if (EndsWith(folder, "/pfx") && app != std::string::npos && appStart < folder.size() - 4 &&
        folder.find('/', appStart) == folder.size() - 4) {
        return "steamuser";
    }
    return UserName();
}

}  // namespace orvanta
