#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <strings.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/TextLines.h"
#include "platform/posix/RegularFile.h"

namespace orvanta {

namespace {

FsStatus FromErrno() { return FsStatus::Fail(FsCodeFromErrno(errno)); }

// The position of the last '/', or npos: memrchr looks at many bytes at once, and every
// lookup asks.
std::size_t LastSlash(const std::string& path) {
    const void* at = ::memrchr(path.data(), '/', path.size());
    return at == nullptr ? std::string::npos : static_cast<std::size_t>(static_cast<const char*>(at) - path.data());
}

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

bool PosixFileSystem::StatOnDisk(const std::string& path, struct stat& st, std::string* onDisk, bool followLinks) {
    const auto statAt = [&](const std::string& p) {
        return (followLinks ? ::stat(p.c_str(), &st) : ::lstat(p.c_str(), &st)) == 0;
    };
    if (onDisk != nullptr) *onDisk = path;
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    const std::size_t slash = LastSlash(path);
    const bool lastNamed = slash != std::string::npos && slash + 1 < path.size();
    // The folder's text in a buffer kept from call to call: lookups are many.
    std::string& folder = lookupFolder_;
    folder.assign(path, 0, lastNamed ? slash + 1 : 0);
    const std::string_view name = lastNamed ? std::string_view(path).substr(slash + 1) : std::string_view();

    // As written first, unless the folder's kept listing has no such name: most names asked
    // for either exist as written or do not exist in any case.
    const FolderListings::Listing* hint = lastNamed ? listings_.Kept(folder) : nullptr;
    const bool triedAsWritten = hint == nullptr || hint->Holds(name);
    if (triedAsWritten) {
        if (statAt(path)) return true;
        if (errno != ENOENT && errno != ENOTDIR) return false;
    }
    std::string found;
    const FolderListings::Listing* now = lastNamed ? listings_.Current(folder) : nullptr;
    if (now != nullptr) {
        const std::string match = now->Match(name);
        if (match.empty()) {
            errno = ENOENT;
            return false;
        }
        found = folder + match;
    } else {
        // The folder is not there as written: each component is looked up.
        found = ResolveByComponents(path);
    }
    if (onDisk != nullptr) *onDisk = found;
    if (found == path && triedAsWritten) {
        errno = ENOENT;
        return false;
    }
    return statAt(found);
}

std::string PosixFileSystem::Resolve(const std::string& path) {
    struct stat st {};
    std::string onDisk;
    StatOnDisk(path, st, &onDisk, false);
    return onDisk;
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
                const FolderListings::Listing* listing = listings_.Current(resolved.empty() ? "./" : resolved);
                const std::string match = listing == nullptr ? std::string() : listing->Match(component);
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

int PosixFileSystem::OpenForReading(const std::string& path, struct stat* st) {
    const int fd = OpenRegularFile(path, st);
    if (fd >= 0 || (errno != ENOENT && errno != ENOTDIR)) return fd;
    std::string onDisk;
    struct stat found {};
    if (!StatOnDisk(path, found, &onDisk, true)) return -1;
    return OpenRegularFile(onDisk, st);
}

bool PosixFileSystem::Exists(const std::string& path) {
    struct stat st {};
    return StatOnDisk(path, st, nullptr, true);
}

bool PosixFileSystem::IsFolder(const std::string& path) {
    struct stat st {};
    return StatOnDisk(path, st, nullptr, true) && S_ISDIR(st.st_mode);
}

namespace {

FsStatus LocalTimeOf(const struct stat& st, LocalDateTime& time) {
    std::tm tm{};
    if (::localtime_r(&st.st_mtim.tv_sec, &tm) == nullptr) return FsStatus::Fail(kDeviceIoError);
    time = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return FsStatus::Ok();
}

// Hidden is a leading dot on POSIX; a dot has no other letter case, so the name as asked
// for tells it as well as the name on disk.
bool IsHiddenName(const std::string& path) {
    const std::size_t slash = LastSlash(path);
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return start < path.size() && path[start] == '.' && path.compare(start, std::string::npos, ".") != 0 &&
           path.compare(start, std::string::npos, "..") != 0;
}

}  // namespace

FsStatus PosixFileSystem::FileLength(const std::string& path, std::uint64_t& length) {
    struct stat st {};
    if (!StatOnDisk(path, st, nullptr, true)) return FromErrno();
    length = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ModifiedTime(const std::string& path, LocalDateTime& time) {
    struct stat st {};
    if (!StatOnDisk(path, st, nullptr, true)) return FromErrno();
    return LocalTimeOf(st, time);
}

FsStatus PosixFileSystem::QueryFile(const std::string& path, FileInfo& info) {
    info = {};
    struct stat st {};
    if (!StatOnDisk(path, st, nullptr, true)) {
        return errno == ENOENT || errno == ENOTDIR ? FsStatus::Ok() : FromErrno();
    }
    info.exists = true;
    const bool folder = S_ISDIR(st.st_mode);
    info.length = folder ? 0 : static_cast<std::uint64_t>(st.st_size);
    if (folder) info.attributes |= kAttrDirectory;
    if (!folder && !S_ISREG(st.st_mode)) info.attributes |= kAttrDevice;
    if ((st.st_mode & S_IWUSR) == 0) info.attributes |= kAttrReadOnly;
    if (IsHiddenName(path)) info.attributes |= kAttrHidden;
    return LocalTimeOf(st, info.modified);
}

namespace {

// Gives an anonymous file, written in full, the target's name: at once where the target
// is absent; else the partial name for an instant, renamed over the target. A run killed
// while copying leaves nothing behind, and the target's name never holds a partly written
// file. False (with errno) when it cannot be named.
bool NameAnonymousFile(int fd, const std::string& partial, const std::string& finalName, bool targetExists) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (!targetExists) {
        if (::linkat(AT_FDCWD, self, AT_FDCWD, finalName.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) return false;  // else someone made it meanwhile: replaced below
    }
    if (::linkat(AT_FDCWD, self, AT_FDCWD, partial.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        if (errno != EEXIST) return false;
        // Left by a run killed between the two steps.
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

// Renames without replacing; EEXIST when the new name is taken. 0, or -1 with errno.
int RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
    constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), kNoReplace) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
#endif
    // File systems without the no-replace flag: a hard link fails atomically when the new
    // name is taken; folders and link-less file systems fall back to test-then-rename.
    if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str());
    if (errno == EEXIST) return -1;
    if (LExists(to)) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

}  // namespace

FsStatus PosixFileSystem::CopyFile(const std::string& source, const std::string& target, bool flush) {
    struct stat st {};
    Fd in(OpenForReading(source, &st));
    if (!in.valid()) return FromErrno();

    struct stat targetSt {};
    std::string finalName;
    if (!StatOnDisk(target, targetSt, &finalName, true)) targetSt = {};
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
        // On disk before it has a name: after a power cut the name holds these bytes or
        // the old ones, never an empty or zeroed file of the right size and date.
        if (status && flush && ::fdatasync(anonymous.get()) != 0) status = FromErrno();
        if (status && !NameAnonymousFile(anonymous.get(), partial, finalName, targetSt.st_mode != 0)) {
            status = FromErrno();
        }
        if (status && ::close(anonymous.release()) != 0) status = FromErrno();
        if (status) {
            listings_.NoteAdded(finalName);
            NoteChangedEntry(finalName);
        }
        // A copy to an absent target makes no partial name, so one left by a killed run
        // would stay. The folder's listing, just checked for the target, tells whether
        // there is one.
        const FolderListings::Listing* listing = listings_.Kept(folder);
        if (status && targetSt.st_mode == 0 && (listing == nullptr || listing->Holds(partial.substr(slash + 1))) &&
            ::unlink(partial.c_str()) == 0) {
            listings_.NoteRemoved(partial);
        }
        return status;
    }

    // The data lands under a name the simulator does not load, then moves over the target
    // in one step: the target's name never holds a partly written file.
    ::unlink(partial.c_str());  // left by an interrupted copy, whatever its mode
    Fd out(::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777));
    if (!out.valid()) return FromErrno();
    FsStatus status = CopyContent(in.get(), out.get(), st.st_size);
    if (status && ::futimens(out.get(), times) != 0) status = FromErrno();
    if (status && flush && ::fdatasync(out.get()) != 0) status = FromErrno();
    if (status && ::close(out.release()) != 0) status = FromErrno();
    if (status && ::rename(partial.c_str(), finalName.c_str()) != 0) status = FromErrno();
    if (!status) ::unlink(partial.c_str());
    if (status) {
        listings_.NoteAdded(finalName);
        NoteChangedEntry(finalName);
    }
    return status;
}

FsStatus PosixFileSystem::RenameFile(const std::string& from, const std::string& to) {
    const std::string target = Resolve(to);
    std::string source = from;
    if (RenameNoReplace(source, target) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) return FromErrno();
        // Perhaps there in another case.
        struct stat st {};
        if (!StatOnDisk(from, st, &source, false)) return FsStatus::Fail(kFileNotFound);
        if (source == from) return FsStatus::Fail(kFileNotFound);
        if (RenameNoReplace(source, target) != 0) return FromErrno();
    }
    listings_.NoteRemoved(source);
    listings_.NoteAdded(target);
    NoteChangedEntry(source);
    NoteChangedEntry(target);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::DeleteFile(const std::string& path) {
    struct stat st {};
    std::string p;
    if (!StatOnDisk(path, st, &p, false)) return FromErrno();
    if (S_ISDIR(st.st_mode)) return FsStatus::Fail(kPermissionDenied);
    if (::unlink(p.c_str()) != 0) return FromErrno();
    listings_.NoteRemoved(p);
    NoteChangedEntry(p);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    struct stat st {};
    std::string p;
    if (!StatOnDisk(path, st, &p, false)) return FromErrno();
    attributes = 0;
    if (S_ISLNK(st.st_mode)) {
        attributes |= kAttrReparsePoint;
        struct stat target {};
        if (::stat(p.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) attributes |= kAttrDirectory;
    } else if (S_ISDIR(st.st_mode)) {
        attributes |= kAttrDirectory;
    } else if (!S_ISREG(st.st_mode)) {
        attributes |= kAttrDevice;
    }
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (IsHiddenName(p)) attributes |= kAttrHidden;
    if (attributes == 0) attributes = kAttrNormal;
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::SetNormalAttributes(const std::string& path) {
    struct stat st {};
    std::string p;
    if (!StatOnDisk(path, st, &p, false)) return FromErrno();
    if (S_ISLNK(st.st_mode)) return FsStatus::Ok();  // a link has no attributes of its own
    if ((st.st_mode & S_IWUSR) != 0) return FsStatus::Ok();
    if (::chmod(p.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) return FromErrno();
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::string folder = Resolve(path);
    if (folder.empty()) return FsStatus::Fail(kFileNotFound);
    if (folder.back() != '/') folder += '/';
    // Read through the kept listings, so that the lookups that follow (a scan after the
    // start-up's migration) need not read the folder again.
    if (listings_.ReadNow(folder, entries) != nullptr) return FsStatus::Ok();
    const FsStatus failed = FromErrno();
    entries.clear();
    return failed;
}

FsStatus PosixFileSystem::RemoveEmptyFolder(const std::string& path) {
    const std::string p = Resolve(path);
    if (::rmdir(p.c_str()) != 0) return FromErrno();
    listings_.NoteRemoved(p);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::CreateFolder(const std::string& path) {
    const std::string p = Resolve(path);
    if (::mkdir(p.c_str(), 0777) != 0) return FromErrno();
    listings_.NoteAdded(p);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::CountNameVariants(const std::string& path, int& count) {
    count = 0;
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return FsStatus::Fail(kBadFileName);
    // The folder as written first: its name is nearly always the one on disk.
    const FolderListings::Listing* listing = listings_.Current(path.substr(0, slash + 1));
    if (listing == nullptr) listing = listings_.Current(Resolve(path.substr(0, slash)) + '/');
    if (listing == nullptr) return errno == ENOENT || errno == ENOTDIR ? FsStatus::Ok() : FromErrno();
    count = listing->CountVariants(path.substr(slash + 1));
    return FsStatus::Ok();
}

namespace {

// A folder walked through its descriptor: every step names an entry relative to it, so a
// folder of the path swapped for a link meanwhile can only make a step fail.
class PosixOpenFolder : public OpenFolder {
public:
    explicit PosixOpenFolder(int fd) : fd_(fd) {}

    FsStatus List(std::vector<FolderEntry>& entries) override {
        entries.clear();
        DIR* dir = ::fdopendir(::openat(fd_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir == nullptr) return FromErrno();
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            FolderEntry entry{name, e->d_type == DT_DIR, e->d_type == DT_LNK};
            struct stat st {};
            if (e->d_type == DT_UNKNOWN && ::fstatat(fd_.get(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                entry.isFolder = S_ISDIR(st.st_mode);
                entry.isLink = S_ISLNK(st.st_mode);
            }
            entries.push_back(std::move(entry));
        }
        ::closedir(dir);
        return FsStatus::Ok();
    }
    FsStatus OpenSubfolder(const std::string& name, std::unique_ptr<OpenFolder>& folder) override {
        const int sub = ::openat(fd_.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) return FromErrno();
        folder = std::make_unique<PosixOpenFolder>(sub);
        return FsStatus::Ok();
    }
    FsStatus SetNormalAttributes() override {
        struct stat st {};
        if (::fstat(fd_.get(), &st) != 0) return FromErrno();
        if ((st.st_mode & S_IWUSR) == 0 && ::fchmod(fd_.get(), (st.st_mode & 07777) | S_IWUSR) != 0) return FromErrno();
        return FsStatus::Ok();
    }
    // Deleting an entry takes the folder's write permission, never the entry's own.
    FsStatus SetEntryNormalAttributes(const std::string&) override { return FsStatus::Ok(); }
    FsStatus DeleteEntry(const std::string& name) override {
        return ::unlinkat(fd_.get(), name.c_str(), 0) == 0 ? FsStatus::Ok() : FromErrno();
    }
    FsStatus RemoveSubfolder(const std::string& name) override {
        return ::unlinkat(fd_.get(), name.c_str(), AT_REMOVEDIR) == 0 ? FsStatus::Ok() : FromErrno();
    }

private:
    Fd fd_;
};

}  // namespace

FsStatus PosixFileSystem::OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) {
    std::string p = Resolve(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    const int fd = ::open(p.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return FromErrno();
    folder = std::make_unique<PosixOpenFolder>(fd);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) {
    Fd fd(OpenForReading(path));
    std::string content;
    if (!fd.valid() || !ReadUpTo(fd.get(), kLargestTextFile, content)) return FromErrno();
    lines = SplitLines(content);
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) {
    Fd fd(OpenForReading(path));
    if (!fd.valid()) return FromErrno();
    // Read only as far as the first line needs.
    std::string start(kLongestFirstLine, '\0');
    std::size_t got = 0;
    while (got < start.size() && start.find_first_of("\r\n") >= got) {
        const ssize_t n = ::read(fd.get(), start.data() + got, start.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return FromErrno();
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    start.resize(got);
    hasLine = got > 0;
    line = start.substr(0, start.find_first_of("\r\n"));
    return FsStatus::Ok();
}

FsStatus PosixFileSystem::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                                    std::vector<std::uint8_t>& bytes) {
    Fd fd(OpenForReading(path));
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
    // Written beside its name and moved over it: whatever is at the name (a link above all,
    // dangling or not) is replaced, never followed, and nothing is made outside the folder.
    const std::string p = Resolve(path);
    const std::size_t slash = p.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : p.substr(0, slash + 1);
    const std::string partial = PartialCopyPath(p);
    Fd anonymous(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    FsStatus st;
    if (anonymous.valid()) {
        st = WriteAll(anonymous.get(), bytes.data(), bytes.size());
        if (st && !NameAnonymousFile(anonymous.get(), partial, p, LExists(p))) st = FromErrno();
    } else {
        const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
        int raw = ::open(partial.c_str(), flags, 0666);
        if (raw < 0 && errno == EEXIST && ::unlink(partial.c_str()) == 0) raw = ::open(partial.c_str(), flags, 0666);
        Fd fd(raw);
        if (!fd.valid()) return FromErrno();
        st = WriteAll(fd.get(), bytes.data(), bytes.size());
        if (st && ::close(fd.release()) != 0) st = FromErrno();
        if (st && ::rename(partial.c_str(), p.c_str()) != 0) st = FromErrno();
        if (!st) ::unlink(partial.c_str());
    }
    if (st) listings_.NoteAdded(p);
    return st;
}

FsStatus PosixFileSystem::WriteTextFile(const std::string& path, const std::string& utf8Text) {
    return WriteFile(path, utf8Text);
}

// ---- Folder entries on disk ----

void PosixFileSystem::NoteChangedEntry(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    changedFolders_.insert(slash == std::string::npos ? "." : path.substr(0, slash + 1));
}

void PosixFileSystem::FlushFolders() {
    // The changes are made either way; a folder that cannot be flushed is left to the
    // kernel's own writeback, as every folder was before.
    for (const std::string& folder : changedFolders_) {
        Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.valid()) (void)::fsync(fd.get());
    }
    changedFolders_.clear();
}

}  // namespace orvanta
