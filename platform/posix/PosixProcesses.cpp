#include "platform/posix/PosixProcesses.h"

#include <dirent.h>

#include <cctype>
#include <fstream>
#include <iterator>

namespace orvanta {

namespace {

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text;
    char buffer[4096];
    // A command line can be long; its first argument is all that is needed.
    in.read(buffer, sizeof buffer);
    text.assign(buffer, static_cast<std::size_t>(in.gcount()));
    return text;
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
    if (windowClass != "FS98MAIN" && windowClass != "UIPCMAIN") return false;
    // Windows names ignore case, so FSX started as "fsx.exe" owns these windows just the same.
    static constexpr char kFsx[] = "fsx.exe";
    for (const std::string& name : ProcessImageNames()) {
        if (name.size() != sizeof kFsx - 1) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            same = std::tolower(static_cast<unsigned char>(name[i])) == kFsx[i];
        }
        if (same) return true;
    }
    return false;
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
