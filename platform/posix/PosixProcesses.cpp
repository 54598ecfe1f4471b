#include "platform/posix/PosixProcesses.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace orvanta {

namespace {

// The start of a small file: a command line can be long, and its first argument is all
// that is needed. Plain calls: a guard check reads a hundred of them and more.
std::string ReadSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    char buffer[4096];
    ssize_t n = 0;
    do {
        n = ::read(fd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

bool IsAllDigits(const char* s) {
    if (*s == '\0') return false;
    for (; *s != '\0'; ++s) {
        if (*s < '0' || *s > '9') return false;
    }
    return true;
}

}  // namespace

bool PosixProcesses::TopLevelWindowExists(const std::string& windowClass) {
    return AnyTopLevelWindowExists({windowClass.c_str()});
}

bool PosixProcesses::AnyTopLevelWindowExists(std::initializer_list<const char*> windowClasses) {
    const auto isFsxWindow = [](std::string_view c) { return c == "FS98MAIN" || c == "UIPCMAIN"; };
    if (std::none_of(windowClasses.begin(), windowClasses.end(), isFsxWindow)) return false;
    const std::vector<std::string> names = ProcessImageNames();
    return std::any_of(names.begin(), names.end(), IsFsxImageName);
}

std::vector<std::string> PosixProcesses::ProcessImageNames() {
    std::vector<std::string> names;
    DIR* dir = ::opendir(procRoot_.c_str());
    if (dir == nullptr) return names;
    while (dirent* e = ::readdir(dir)) {
        if (!IsAllDigits(e->d_name)) continue;
        const std::string base = procRoot_ + "/" + e->d_name;
        // A process may end between the listing and these reads; it then just has no name.
        const std::string cmdline = ReadSmallFile(base + "/cmdline");
        const bool hasArgument = !cmdline.empty() && cmdline[0] != '\0';
        std::string name = ImageNameOf(cmdline, hasArgument ? std::string() : ReadSmallFile(base + "/comm"));
        if (!name.empty()) names.push_back(std::move(name));
    }
    ::closedir(dir);
    return names;
}

}  // namespace orvanta
