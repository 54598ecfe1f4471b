#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <strings.h>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/TextLines.h"

namespace orvanta {

namespace {

FsStatus FromErrno() { return FsStatus::Fail(FsCodeFromErrno(errno)); }

// Closes a descriptor on every path out of a function.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        int f = fd_;
        fd_ = -1;
        return f;
    }

private:
    int fd_;
};

bool LExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string LowerAscii(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// At least two seconds before `now`: longer than any file system's date granularity.
bool Settled(const struct timespec& t, const struct timespec& now) {
    return t.tv_sec + 2 < now.tv_sec || (t.tv_sec + 2 == now.tv_sec && t.tv_nsec < now.tv_nsec);
}

FsStatus WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FromErrno();
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return FsStatus::Ok();
}

FsStatus ReadAll(const std::string& resolvedPath, std::string& content) {
    Fd fd(::open(resolvedPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return FromErrno();
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return FromErrno();
    if (S_ISDIR(st.st_mode)) return FsStatus::Fail(kPathFileAccessError);
    content.clear();
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FromErrno();
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    return FsStatus::Ok();
}

// Copies the bytes of one open file into another, in the kernel where it can.
FsStatus CopyContent(int in, int out, off_t size) {
    off_t left = size;
    while (left > 0) {
        ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(left), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
            return FromErrno();
        }
        if (n == 0) break;  // the source shrank meanwhile
        left -= n;
    }
    if (left == 0) return FsStatus::Ok();
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FromErrno();
        }
        if (n == 0) return FsStatus::Ok();
        FsStatus st = WriteAll(out, buffer, static_cast<std::size_t>(n));
        if (!st) return st;
    }
}

}  // namespace

int FsCodeFromErrno(int err) {
    switch (err) {
        case 0: return kOk;
        case ENOENT: return kFileNotFound;
        case ENOTDIR: return kPathNotFound;
        case EEXIST: return kFileExists;
        case EACCES:
        case EPERM:
        case EROFS: return kPermissionDenied;
        case ENOSPC:
        case EDQUOT: return kDiskFull;
        case ENAMETOOLONG:
        case EINVAL: return kBadFileName;
        case EIO: return kDeviceIoError;
        default: return kPathFileAccessError;  // busy, not empty, a folder, ...
    }
}

const PosixFileSystem::FolderListing* PosixFileSystem::ListingOf(const std::string& folder) {
    const std::string dir = folder.empty() ? "/" : folder;
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
    auto cached = listings_.find(dir);
    if (cached != listings_.end()) {
        const FolderListing& l = cached->second;
        if (l.dev == st.st_dev && l.ino == st.st_ino && l.size == st.st_size && SameTime(l.mtime, st.st_mtim) &&
            SameTime(l.ctime, st.st_ctim)) {
            return &l;
        }
        listings_.erase(cached);
    }
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return nullptr;
    FolderListing fresh;
    fresh.dev = st.st_dev;
    fresh.ino = st.st_ino;
    fresh.size = st.st_size;
    fresh.mtime = st.st_mtim;
    fresh.ctime = st.st_ctim;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        fresh.firstByLowerName.emplace(LowerAscii(name), name);
        fresh.names.insert(name);
    }
    ::closedir(d);
    if (Settled(st.st_mtim, now) && Settled(st.st_ctim, now)) {
        if (listings_.size() >= 4096) listings_.clear();
        return &(listings_[dir] = std::move(fresh));
    }
    scratch_ = std::move(fresh);
    return &scratch_;
}

std::string PosixFileSystem::FindCaseInsensitive(const std::string& folder, const std::string& name) {
    const FolderListing* listing = ListingOf(folder);
    if (listing == nullptr) return {};
    auto it = listing->firstByLowerName.find(LowerAscii(name));
    return it == listing->firstByLowerName.end() ? std::string() : it->second;
}

std::string PosixFileSystem::Resolve(const std::string& path) {
    if (path.empty() || LExists(path)) return path;
    return ResolveMissing(path);
}

std::string PosixFileSystem::ResolveMissing(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && slash + 1 < path.size()) {
        const std::string folder = path.substr(0, slash + 1);
        if (const FolderListing* listing = ListingOf(folder)) {
            // The folder is there as written (every component before it too): only the last
            // name is in question. Present as written means a dangling link.
            const std::string name = path.substr(slash + 1);
            if (listing->names.count(name) != 0) return path;
            auto it = listing->firstByLowerName.find(LowerAscii(name));
            return it == listing->firstByLowerName.end() ? path : folder + it->second;
        }
    }
    return ResolveByComponents(path);
}

std::string PosixFileSystem::ResolveByComponents(const std::string& path) {
    std::string resolved;
    std::size_t pos = 0;
    if (path[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    bool parentExists = true;
    while (pos <= path.size()) {
        std::size_t next = path.find('/', pos);
        if (next == std::string::npos) next = path.size();
        std::string component = path.substr(pos, next - pos);
        if (!component.empty()) {
            std::string candidate = resolved + component;
            if (parentExists && !LExists(candidate)) {
                std::string match = FindCaseInsensitive(resolved, component);
                if (!match.empty()) {
                    candidate = resolved + match;
                } else {
                    parentExists = false;
                }
            }
            resolved = candidate;
        }
        if (next < path.size()) resolved += '/';
        pos = next + 1;
    }
    return resolved;
}

// stat() of the path as written, else of the path resolved: a path that exists as written
// costs one call.
#define ORVANTA_STAT_RESOLVED(path, st) \
    (::stat((path).c_str(), &(st)) == 0 || ::stat(ResolveMissing(path).c_str(), &(st)) == 0)

bool PosixFileSystem::Exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ORVANTA_STAT_RESOLVED(path, st);
}

bool PosixFileSystem::IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ORVANTA_STAT_RESOLVED(path, st) && S_ISDIR(st.st_mode);
}

FsStatus PosixFileSystem::FileLength(const std::string& path, std::uint64_t& length) {
    struct stat st {};
    if (path.empty()) return FsStatus::Fail(kFileNotFound);
    if (!ORVANTA_STAT_RESOLVED(path, st)) return FromErrno();
    length = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ModifiedTime(const std::string& path, LocalDateTime& time) {
    struct stat st {};
    if (path.empty()) return FsStatus::Fail(kFileNotFound);
    if (!ORVANTA_STAT_RESOLVED(path, st)) return FromErrno();
    std::tm tm{};
    if (::localtime_r(&st.st_mtim.tv_sec, &tm) == nullptr) return FsStatus::Fail(kDeviceIoError);
    time = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return FsStatus::Ok();
}

#undef ORVANTA_STAT_RESOLVED

namespace {

// Gives an anonymous file, written in full, the partial name for an instant and then the
// target's: a run killed while copying leaves nothing behind, and the target's name never
// holds a partly written file. False (with errno) when it cannot be named.
bool NameAnonymousFile(int fd, const std::string& partial, const std::string& finalName) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, self, AT_FDCWD, partial.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        if (errno != EEXIST) return false;
        // Left by a run of a version that named its copies first.
        if (::unlink(partial.c_str()) != 0) return false;
        if (::linkat(AT_FDCWD, self, AT_FDCWD, partial.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
    }
    if (::rename(partial.c_str(), finalName.c_str()) != 0) {
        const int err = errno;
        ::unlink(partial.c_str());
        errno = err;
        return false;
    }
    return true;
}

}  // namespace

FsStatus PosixFileSystem::CopyFile(const std::string& source, const std::string& target) {
    int inFd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (inFd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        inFd = ::open(ResolveMissing(source).c_str(), O_RDONLY | O_CLOEXEC);
    }
    Fd in(inFd);
    if (!in.valid()) return FromErrno();
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) return FromErrno();
    if (S_ISDIR(st.st_mode)) return FsStatus::Fail(kPathFileAccessError);

    struct stat targetSt {};
    std::string finalName = target;
    if (::stat(target.c_str(), &targetSt) != 0) {
        finalName = ResolveMissing(target);
        if (finalName == target || ::stat(finalName.c_str(), &targetSt) != 0) targetSt = {};
    }
    if (S_ISDIR(targetSt.st_mode)) return FsStatus::Fail(kPathFileAccessError);
    // Windows refuses to replace a read-only file; so does every platform here.
    if (targetSt.st_mode != 0 && (targetSt.st_mode & S_IWUSR) == 0) return FsStatus::Fail(kPermissionDenied);
    const std::string partial = PartialCopyPath(finalName);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};

    // An anonymous file in the target's folder where the file system has them.
    const std::size_t slash = finalName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : finalName.substr(0, slash + 1);
    Fd anonymous(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, st.st_mode & 0777));
    if (anonymous.valid()) {
        FsStatus status = CopyContent(in.get(), anonymous.get(), st.st_size);
        if (status && ::futimens(anonymous.get(), times) != 0) status = FromErrno();
        if (status && !NameAnonymousFile(anonymous.get(), partial, finalName)) status = FromErrno();
        if (status && ::close(anonymous.release()) != 0) status = FromErrno();
        return status;
    }

    // The data lands under a name the simulator does not load, then moves over the target
    // in one step: the target's name never holds a partly written file.
    ::unlink(partial.c_str());  // left by an interrupted copy, whatever its mode
    Fd out(::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777));
    if (!out.valid()) return FromErrno();
    FsStatus status = CopyContent(in.get(), out.get(), st.st_size);
    if (status && ::futimens(out.get(), times) != 0) status = FromErrno();
    if (status && ::close(out.release()) != 0) status = FromErrno();
    if (status && ::rename(partial.c_str(), finalName.c_str()) != 0) status = FromErrno();
    if (!status) ::unlink(partial.c_str());
    return status;
}

FsStatus PosixFileSystem::RenameFile(const std::string& from, const std::string& to) {
    struct stat st {};
    std::string source = from;
    if (::lstat(from.c_str(), &st) != 0) {
        source = ResolveMissing(from);
        if (!LExists(source)) return FsStatus::Fail(kFileNotFound);
    }
    const std::string target = Resolve(to);
#ifdef SYS_renameat2
    constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
    if (::syscall(SYS_renameat2, AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), kNoReplace) == 0) {
        return FsStatus::Ok();
    }
    if (errno != EINVAL && errno != ENOSYS) return FromErrno();
#endif
    // File systems without the no-replace flag: a hard link fails atomically when the new
    // name is taken; folders and link-less file systems fall back to test-then-rename.
    if (::link(source.c_str(), target.c_str()) == 0) {
        if (::unlink(source.c_str()) != 0) return FromErrno();
        return FsStatus::Ok();
    }
    if (errno == EEXIST) return FsStatus::Fail(kFileExists);
    if (LExists(target)) return FsStatus::Fail(kFileExists);
    if (::rename(source.c_str(), target.c_str()) != 0) return FromErrno();
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::DeleteFile(const std::string& path) {
    struct stat st {};
    std::string p = path;
    if (::lstat(path.c_str(), &st) != 0) {
        p = ResolveMissing(path);
        if (::lstat(p.c_str(), &st) != 0) return FromErrno();
    }
    if (S_ISDIR(st.st_mode)) return FsStatus::Fail(kPermissionDenied);
    if (::unlink(p.c_str()) != 0) return FromErrno();
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    const std::string p = Resolve(path);
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return FromErrno();
    attributes = 0;
    if (S_ISLNK(st.st_mode)) {
        attributes |= kAttrReparsePoint;
        struct stat target {};
        if (::stat(p.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) attributes |= kAttrDirectory;
    } else if (S_ISDIR(st.st_mode)) {
        attributes |= kAttrDirectory;
    }
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    const std::size_t slash = p.find_last_of('/');
    const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= kAttrHidden;
    if (attributes == 0) attributes = kAttrNormal;
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::SetNormalAttributes(const std::string& path) {
    const std::string p = Resolve(path);
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return FromErrno();
    if (S_ISLNK(st.st_mode)) return FsStatus::Ok();  // a link has no attributes of its own
    if ((st.st_mode & S_IWUSR) != 0) return FsStatus::Ok();
    if (::chmod(p.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) return FromErrno();
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    const std::string folder = Resolve(path);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return FromErrno();
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry entry;
        entry.name = name;
        struct stat st {};
        if (::lstat((prefix + name).c_str(), &st) == 0) {
            entry.isLink = S_ISLNK(st.st_mode);
            entry.isFolder = S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::RemoveEmptyFolder(const std::string& path) {
    if (::rmdir(Resolve(path).c_str()) != 0) return FromErrno();
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::CreateFolder(const std::string& path) {
    if (::mkdir(Resolve(path).c_str(), 0777) != 0) return FromErrno();
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::string content;
    FsStatus st = ReadAll(Resolve(path), content);
    if (!st) return st;
    lines = SplitLines(content);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) {
    std::vector<std::string> lines;
    FsStatus st = ReadLines(path, lines);
    if (!st) return st;
    hasLine = !lines.empty();
    line = hasLine ? lines.front() : std::string();
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                                    std::vector<std::uint8_t>& bytes) {
    Fd fd(::open(Resolve(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return FromErrno();
    bytes.assign(count, 0);
    std::size_t got = 0;
    while (got < count) {
        ssize_t n = ::pread(fd.get(), bytes.data() + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return FromErrno();
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
    Fd fd(::open(Resolve(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.valid()) return FromErrno();
    FsStatus st = WriteAll(fd.get(), bytes.data(), bytes.size());
    if (st && ::close(fd.release()) != 0) return FromErrno();
    return st;
}

FsStatus PosixFileSystem::WriteTextFile(const std::string& path, const std::string& utf8Text) {
    return WriteFile(path, utf8Text);
}

}  // namespace orvanta
