#include "platform/posix/PosixRegistry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <vector>

#include "platform/posix/RegularFile.h"

namespace orvanta {

namespace {

// A registry file larger than this is not one Wine wrote (a prefix with many programs
// holds a few megabytes).
constexpr std::size_t kMaxRegistryFile = 64u << 20;

std::string ReadWholeFile(const std::string& path) {
    std::string content;
    return ReadRegularFile(path, kMaxRegistryFile, content) ? content : std::string();
}

// The host folder a drive letter stands for, without a trailing '/'; empty when the
// prefix has no such drive.
std::string DriveFolder(const std::string& prefix, char letter) {
    const std::string devices = prefix + "/dosdevices/";
    for (char c : {static_cast<char>(std::tolower(static_cast<unsigned char>(letter))),
                   static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))}) {
        const std::string link = devices + c + ":";
        struct stat st {};
        if (::lstat(link.c_str(), &st) != 0) continue;
        std::string folder = link;
        if (S_ISLNK(st.st_mode)) {
            char buffer[4096];
            const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
            if (n <= 0) continue;
            std::string target(buffer, static_cast<std::size_t>(n));
            if (target[0] != '/') target = devices + target;
            folder = std::filesystem::path(target).lexically_normal().string();
        }
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return folder;
    }
    return {};
}

}  // namespace

PosixRegistry::PosixRegistry(std::string winePrefix) : prefix_(std::move(winePrefix)) {}

const WineRegistryHive& PosixRegistry::Hive(RegistryRoot root) {
    std::optional<WineRegistryHive>& hive = root == RegistryRoot::LocalMachine ? machine_ : user_;
    if (!hive) {
        const char* file = root == RegistryRoot::LocalMachine ? "/system.reg" : "/user.reg";
        hive = ParseWineRegistry(ReadWholeFile(prefix_ + file));
    }
    return *hive;
}

std::optional<std::string> PosixRegistry::ReadString(RegistryRoot root, const std::string& key,
                                                     const std::string& valueName, RegistryView view) {
    return ReadWineValue(Hive(root), key, valueName, view, root == RegistryRoot::LocalMachine);
}

std::string PosixRegistry::ToHostPath(const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
        return windowsPath;
    }
    const std::string drive = DriveFolder(prefix_, windowsPath[0]);
    if (drive.empty()) return windowsPath;
    // Windows resolves "." and ".." itself, and a ".." never climbs above the drive's root.
    const std::string rest = windowsPath.substr(2);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find_first_of("\\/", start);
        if (end == std::string::npos) end = rest.size();
        const std::string part = rest.substr(start, end - start);
        if (part == ".." && !parts.empty()) parts.pop_back();
        if (!part.empty() && part != "." && part != "..") parts.push_back(part);
        start = end + 1;
    }
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : "/") + part;
    if (!joined.empty() && (rest.back() == '\\' || rest.back() == '/')) joined += '/';
    if (drive == "/") return "/" + joined;
    return rest.empty() ? drive : drive + "/" + joined;
}

}  // namespace orvanta
