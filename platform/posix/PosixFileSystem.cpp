#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <strings.h>

#include "platform/TextLines.h"

namespace orvanta {

namespace {

constexpr const char* kPartialSuffix = ".orvanta-partial";

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

// The entry of `folder` whose name equals `name` ignoring ASCII case; empty when none.
std::string FindCaseInsensitive(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr) return {};
    std::string found;
    while (dirent* e = ::readdir(dir)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
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

FsStatus ReadAll(const std::string& path, std::string& content) {
    Fd fd(::open(PosixFileSystem::Resolve(path).c_str(), O_RDONLY | O_CLOEXEC));
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

std::string PosixFileSystem::Resolve(const std::string& path) {
    if (path.empty() || LExists(path)) return path;
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

bool PosixFileSystem::Exists(const std::string& path) {
    struct stat st {};
    return ::stat(Resolve(path).c_str(), &st) == 0;
}

bool PosixFileSystem::IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(Resolve(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

FsStatus PosixFileSystem::FileLength(const std::string& path, std::uint64_t& length) {
    struct stat st {};
    if (::stat(Resolve(path).c_str(), &st) != 0) return FromErrno();
    length = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ModifiedTime(const std::string& path, LocalDateTime& time) {
    struct stat st {};
    if (::stat(Resolve(path).c_str(), &st) != 0) return FromErrno();
    std::tm tm {};
    if (::localtime_r(&st.st_mtim.tv_sec, &tm) == nullptr) return FsStatus::Fail(kDeviceIoError);
    time = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::CopyFile(const std::string& source, const std::string& target) {
    Fd in(::open(Resolve(source).c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return FromErrno();
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) return FromErrno();
    if (S_ISDIR(st.st_mode)) return FsStatus::Fail(kPathFileAccessError);

    const std::string finalName = Resolve(target);
    struct stat targetSt {};
    if (::stat(finalName.c_str(), &targetSt) == 0) {
        if (S_ISDIR(targetSt.st_mode)) return FsStatus::Fail(kPathFileAccessError);
        // Windows refuses to replace a read-only file; so does every platform here.
        if ((targetSt.st_mode & S_IWUSR) == 0) return FsStatus::Fail(kPermissionDenied);
    }
    // The data lands under a name the simulator does not load, then moves over the target
    // in one step: the target's name never holds a partly written file.
    const std::string partial = finalName + kPartialSuffix;
    ::unlink(partial.c_str());  // left by an interrupted copy, whatever its mode
    Fd out(::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777));
    if (!out.valid()) return FromErrno();
    FsStatus status = CopyContent(in.get(), out.get(), st.st_size);
    if (status) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::futimens(out.get(), times) != 0) status = FromErrno();
    }
    if (status && ::close(out.release()) != 0) status = FromErrno();
    if (status && ::rename(partial.c_str(), finalName.c_str()) != 0) status = FromErrno();
    if (!status) ::unlink(partial.c_str());
    return status;
}

FsStatus PosixFileSystem::RenameFile(const std::string& from, const std::string& to) {
    const std::string source = Resolve(from);
    const std::string target = Resolve(to);
    if (!LExists(source)) return FsStatus::Fail(kFileNotFound);
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
    const std::string p = Resolve(path);
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return FromErrno();
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
    FsStatus st = ReadAll(path, content);
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
