#include "support/TempDir.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "platform/PathSeparator.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace orvanta::test {

static fs::path P(const std::string& utf8) { return fs::u8path(utf8); }

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("orvanta-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate.u8string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files and folders must not keep the tree alive.
    for (auto it = fs::recursive_directory_iterator(P(path_), ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(P(path_), ec);
}

std::string NativeRelative(const std::string& relative) {
    std::string out = relative;
    std::replace(out.begin(), out.end(), '/', kSep);
    return out;
}

std::string TempDir::operator/(const std::string& relative) const { return path_ + kSep + NativeRelative(relative); }

void WriteBytes(const std::string& path, const std::string& bytes) {
    const fs::path p = P(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(P(path), std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(P(path), ec);
}

void MakeFolder(const std::string& path) { fs::create_directories(P(path)); }

#ifdef _WIN32
// The C run-time's mktime follows its own reading of TZ, not the system's time zone; the
// file system reports local time by the system's rules, so set the time by them too.
void SetLocalModifiedTime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
    const auto w = [](int value) { return static_cast<WORD>(value); };
    const SYSTEMTIME local{w(year), w(month), 0, w(day), w(hour), w(minute), w(second), 0};
    SYSTEMTIME utc{};
    FILETIME ft{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &ft)) {
        throw std::runtime_error("cannot convert the local time for " + path);
    }
    HANDLE h = ::CreateFileW(P(path).wstring().c_str(), FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
    const BOOL set = ::SetFileTime(h, nullptr, nullptr, &ft);
    ::CloseHandle(h);
    if (!set) throw std::runtime_error("cannot set the time of " + path);
}
#else
void SetLocalModifiedTime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    const struct timespec times[2] = {{t, 0}, {t, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("cannot set the time of " + path);
}
#endif

}  // namespace orvanta::test
