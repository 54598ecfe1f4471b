#include "platform/posix/PosixEnvironment.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/posix/WinePrefixes.h"

namespace orvanta {

namespace {

std::string StripTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string FormatTm(const char* format, const std::tm& tm) {
    // The user's regional format, read once: the locale of the environment.
    static const bool localeSet = [] {
        std::setlocale(LC_TIME, "");
        return true;
    }();
    (void)localeSet;
    char buffer[128];
    std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

}  // namespace

std::string UserName() {
    if (const char* u = std::getenv("USER"); u != nullptr && *u != '\0') return u;
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr) return pw->pw_name;
    return "user";
}

std::string HomeFolder() {
    if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr) return pw->pw_dir;
    return "/";
}

namespace {

constexpr char kRuntimeLockName[] = "orvanta-installer.lock";

// $XDG_RUNTIME_DIR, open, when it names a folder (not a link) of the user's that neither
// its group nor others may write to; else -1. `folder` receives its path.
int OpenPrivateRuntimeFolder(std::string& folder) {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (value == nullptr || value[0] != '/') return -1;
    folder = StripTrailingSlash(value);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
        return fd;
    }
    if (fd >= 0) ::close(fd);
    return -1;
}

std::string SharedTmpLockPath() { return "/tmp/orvanta-installer-" + std::to_string(::getuid()) + ".lock"; }

}  // namespace

std::string DefaultInstanceLockPath() {
    std::string folder;
    const int fd = OpenPrivateRuntimeFolder(folder);
    if (fd < 0) return SharedTmpLockPath();
    ::close(fd);
    return folder + "/" + kRuntimeLockName;
}

std::string AbsolutePathFrom(const std::string& currentFolder, const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::string out = StripTrailingSlash(currentFolder);
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string step = path.substr(start, end - start);
        if (!step.empty() && step != ".") out += (out == "/" ? "" : "/") + step;
        start = end + 1;
    }
    if (!path.empty() && path.back() == '/' && out != "/") out += '/';
    return out;
}

std::string ResolveWinePrefix(const std::string& option) {
    if (!option.empty()) return StripTrailingSlash(option);
    if (const char* p = std::getenv("WINEPREFIX"); p != nullptr && *p != '\0') return StripTrailingSlash(p);
    return StripTrailingSlash(HomeFolder()) + "/.wine";
}

PosixEnvironment::PosixEnvironment(std::string commandLineText, std::string winePrefix, std::string instanceLockPath)
    : commandLine_(std::move(commandLineText)),
      winePrefix_(std::move(winePrefix)),
      lockPath_(std::move(instanceLockPath)) {}

PosixEnvironment::~PosixEnvironment() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::string PosixEnvironment::ProgramFolder() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string path(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = path.find_last_of('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> PosixEnvironment::Variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::string PosixEnvironment::LocalAppDataFolder() {
    if (auto v = Variable("LOCALAPPDATA"); v && !v->empty()) return StripTrailingSlash(*v);
    return StripTrailingSlash(winePrefix_) + "/drive_c/users/" + WinePrefixUser(winePrefix_) + "/AppData/Local";
}

bool PosixEnvironment::AcquireSingleInstanceLock() {
    if (lockFd_ >= 0) return true;
    std::string path = lockPath_;
    int folder = -1;
    if (path.empty()) {
        // Made inside the folder as it was checked, whatever its path leads to meanwhile.
        folder = OpenPrivateRuntimeFolder(path);
        path = folder >= 0 ? path + "/" + kRuntimeLockName : SharedTmpLockPath();
    }
    // Never through a link (in a shared temporary folder it could point anywhere), and never
    // waiting on a pipe someone left there.
    constexpr int kFlags = O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const int fd = folder >= 0 ? ::openat(folder, kRuntimeLockName, kFlags, 0600) : ::open(path.c_str(), kFlags, 0600);
    if (folder >= 0) ::close(folder);
    struct stat st {};
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;  // from the start, length 0: the whole file
    lockInTheWay_ = path;
    if (fd < 0) return false;
    const bool usersFile = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
    if (usersFile && ::fcntl(fd, F_OFD_SETLK, &whole) == 0) {
        lockInTheWay_.clear();
        lockFd_ = fd;
        return true;
    }
    if (usersFile && (errno == EAGAIN || errno == EACCES)) lockInTheWay_.clear();  // another instance's
    ::close(fd);
    return false;
}

void PosixEnvironment::SleepMilliseconds(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string PosixRegionalFormat::ShortDate(int year, int month, int day) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    return FormatTm("%x", tm);
}

std::string PosixRegionalFormat::Time(int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = 100;
    tm.tm_mday = 1;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return FormatTm("%X", tm);
}

}  // namespace orvanta
