#include "platform/posix/FolderListings.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace orvanta {

namespace {

constexpr std::uint32_t kWatchMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::size_t kMaxListings = 4096;

// `s` in lower case, in a buffer kept from one call to the next: lookups are many.
const std::string& LowerAscii(std::string_view s) {
    thread_local std::string lower;
    lower.assign(s);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Whether the NUL-separated `names` hold `name`.
bool Among(const std::string& names, std::string_view name) {
    for (std::size_t at = 0; at <= names.size();) {
        std::size_t end = names.find('\0', at);
        if (end == std::string::npos) end = names.size();
        if (names.compare(at, end - at, name) == 0) return true;
        at = end + 1;
    }
    return false;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// At least two seconds before `now`: longer than any file system's date granularity.
bool Settled(const struct timespec& t, const struct timespec& now) {
    return t.tv_sec + 2 < now.tv_sec || (t.tv_sec + 2 == now.tv_sec && t.tv_nsec < now.tv_nsec);
}

// File systems whose every change passes through this kernel, so that its events are
// complete; a network file system changed from another machine reports nothing.
bool ReportsEveryChange(const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) return false;
    switch (static_cast<std::uint32_t>(info.f_type)) {
        case 0xEF53u:      // ext2, ext3, ext4
        case 0x58465342u:  // xfs
        case 0x9123683Eu:  // btrfs
        case 0x01021994u:  // tmpfs
        case 0xF2F52010u:  // f2fs
        case 0x2FC12FC1u:  // zfs
        case 0xCA451A4Eu:  // bcachefs
        case 0x794C7630u:  // overlayfs
        case 0x7366746Eu:  // ntfs3
        case 0x2011BAB0u:  // exfat
        case 0x4D44u:      // vfat
        case 0x52654973u:  // reiserfs
        case 0x3153464Au:  // jfs
            return true;
        default: return false;
    }
}

// An absolute folder path without empty, "." or ".." components: its ancestors are then
// exactly its prefixes.
bool IsPlainAbsolute(const std::string& folder) {
    if (folder.empty() || folder.front() != '/' || folder.back() != '/') return false;
    for (std::size_t at = 1; at < folder.size();) {
        const std::size_t next = folder.find('/', at);
        const std::string component = folder.substr(at, next - at);
        if (component.empty() || component == "." || component == "..") return false;
        at = next + 1;
    }
    return true;
}

}  // namespace

const std::unordered_map<std::string, std::string>& FolderListings::Listing::ByLower() const {
    if (!read_.empty()) {
        byLower_.reserve(byLower_.size() + read_.size());
        for (const std::string& name : read_) Insert(name);
        read_.clear();
        read_.shrink_to_fit();
    }
    return byLower_;
}

void FolderListings::Listing::Insert(const std::string& name) const {
    auto [it, fresh] = byLower_.try_emplace(LowerAscii(name), name);
    if (!fresh && !Among(it->second, name)) (it->second += '\0') += name;
}

bool FolderListings::Listing::Holds(std::string_view name) const {
    const auto& byLower = ByLower();
    auto it = byLower.find(LowerAscii(name));
    return it != byLower.end() && Among(it->second, name);
}

std::string FolderListings::Listing::Match(std::string_view name) const {
    const auto& byLower = ByLower();
    auto it = byLower.find(LowerAscii(name));
    if (it == byLower.end()) return {};
    if (Among(it->second, name)) return std::string(name);
    return it->second.substr(0, it->second.find('\0'));
}

int FolderListings::Listing::CountVariants(std::string_view name) const {
    const auto& byLower = ByLower();
    auto it = byLower.find(LowerAscii(name));
    return it == byLower.end() ? 0 : 1 + static_cast<int>(std::count(it->second.begin(), it->second.end(), '\0'));
}

void FolderListings::Listing::Add(const std::string& name) {
    ByLower();
    Insert(name);
}

void FolderListings::Listing::Remove(const std::string& name) {
    ByLower();
    auto it = byLower_.find(LowerAscii(name));
    if (it == byLower_.end()) return;
    std::string kept;
    for (std::size_t at = 0; at <= it->second.size();) {
        std::size_t end = it->second.find('\0', at);
        if (end == std::string::npos) end = it->second.size();
        if (it->second.compare(at, end - at, name) != 0) {
            if (!kept.empty()) kept += '\0';
            kept.append(it->second, at, end - at);
        }
        at = end + 1;
    }
    if (kept.empty()) {
        byLower_.erase(it);
    } else {
        it->second = std::move(kept);
    }
}

FolderListings::~FolderListings() {
    if (events_ >= 0) ::close(events_);
}

const FolderListings::Listing* FolderListings::Kept(const std::string& folder) const {
    auto it = listings_.find(folder);
    return it == listings_.end() ? nullptr : &it->second;
}

const FolderListings::Listing* FolderListings::Current(const std::string& folder) {
    auto it = listings_.find(folder);
    if (it != listings_.end() && it->second.watched_) {
        ApplyEvents();
        it = listings_.find(folder);  // the events may have dropped it
        if (it != listings_.end()) return &it->second;
    } else if (it != listings_.end()) {
        const Listing& l = it->second;
        struct stat st {};
        if (::stat(folder.c_str(), &st) == 0 && l.dev_ == st.st_dev && l.ino_ == st.st_ino && l.size_ == st.st_size &&
            SameTime(l.mtime_, st.st_mtim) && SameTime(l.ctime_, st.st_ctim)) {
            return &l;
        }
        listings_.erase(it);
    }
    return Read(folder);
}

const FolderListings::Listing* FolderListings::Read(const std::string& folder, std::vector<FolderEntry>* entries) {
    if (listings_.size() >= kMaxListings) {
        Reset();
        listings_.clear();
    }
    // Watched before it is read: a change while it is read arrives as an event.
    const bool watched = WatchWithParents(folder);
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    ++reads_;
    struct stat st {};
    if (!watched && ::fstat(fd, &st) != 0) {
        ::close(fd);
        return nullptr;
    }
    Listing fresh;
    alignas(struct dirent64) char buffer[32768];
    for (;;) {
        const ssize_t n = ::getdents64(fd, buffer, sizeof buffer);
        if (n <= 0) {
            const int err = errno;
            ::close(fd);
            errno = err;
            if (n < 0) return nullptr;
            break;
        }
        fresh.read_.reserve(fresh.read_.size() + static_cast<std::size_t>(n) / 24);  // a dirent of a short name
        for (ssize_t at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
            at += entry->d_reclen;
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            if (entries != nullptr) {
                FolderEntry e;
                e.name = name;
                unsigned char type = entry->d_type;
                struct stat st {};
                // Most file systems tell the kind in the listing itself.
                if (type == DT_UNKNOWN && ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                    type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
                }
                e.isLink = type == DT_LNK;
                e.isFolder = type == DT_DIR;
                entries->push_back(std::move(e));
            }
            fresh.read_.push_back(std::move(name));
        }
    }
    if (watched) {
        fresh.watched_ = true;
        return &(listings_[folder] = std::move(fresh));
    }
    fresh.dev_ = st.st_dev;
    fresh.ino_ = st.st_ino;
    fresh.size_ = st.st_size;
    fresh.mtime_ = st.st_mtim;
    fresh.ctime_ = st.st_ctim;
    if (Settled(st.st_mtim, now) && Settled(st.st_ctim, now)) return &(listings_[folder] = std::move(fresh));
    scratch_ = std::move(fresh);
    return &scratch_;
}

bool FolderListings::WatchWithParents(const std::string& folder) {
    if (eventsUnavailable_ || !IsPlainAbsolute(folder)) return false;
    if (events_ < 0) {
        events_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (events_ < 0) {
            eventsUnavailable_ = true;
            return false;
        }
    }
    if (!ReportsEveryChange(folder)) return false;
    if (folder == "/") return AddWatch(folder, kWatchMask) >= 0;
    // From the root down, each folder on the way watched for its entry that leads on: one
    // replaced once its parent is watched shows as an event there. The folder's own
    // parent is spared when the folder is no link: its own events tell that it moved.
    const std::size_t parentEnd = folder.find_last_of('/', folder.size() - 2);
    for (std::size_t at = 0; at < parentEnd;) {
        const std::size_t next = folder.find('/', at + 1);
        const int parent = AddWatch(folder.substr(0, at + 1), kWatchMask);
        if (parent < 0) return false;
        watches_[parent].guarded.insert(folder.substr(at + 1, next - at - 1));
        at = next;
    }
    if (AddWatch(folder, kWatchMask | IN_DONT_FOLLOW) >= 0) return true;
    if (errno != ENOTDIR) return false;
    const int parent = AddWatch(folder.substr(0, parentEnd + 1), kWatchMask);
    if (parent < 0) return false;
    watches_[parent].guarded.insert(folder.substr(parentEnd + 1, folder.size() - parentEnd - 2));
    return AddWatch(folder, kWatchMask) >= 0;
}

int FolderListings::AddWatch(const std::string& path, std::uint32_t mask) {
    auto known = watchOfPath_.find(path);
    if (known != watchOfPath_.end()) return known->second;
    // Without its closing '/', a link at the end of the path is not followed.
    const std::string name = (mask & IN_DONT_FOLLOW) != 0 ? path.substr(0, path.size() - 1) : path;
    const int wd = ::inotify_add_watch(events_, name.c_str(), mask);
    if (wd < 0) return -1;
    watchOfPath_[path] = wd;
    // A folder reached through another path already has its descriptor.
    watches_[wd].paths.push_back(path);
    return wd;
}

void FolderListings::ApplyEvents() {
    constexpr std::size_t kLargestEvent = sizeof(struct inotify_event) + NAME_MAX + 1;
    alignas(struct inotify_event) char buffer[64 * kLargestEvent];
    while (events_ >= 0) {  // an overflow closes the queue
        const ssize_t n = ::read(events_, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN) Reset();  // the events cannot be read: trust no watched listing
            return;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
            Apply(*event);
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        }
        // A read leaves nothing behind when one more event would have fitted.
        if (static_cast<std::size_t>(n) + kLargestEvent <= sizeof buffer) return;
    }
}

void FolderListings::Apply(const struct inotify_event& event) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) return Reset();
    auto w = watches_.find(event.wd);
    if (w == watches_.end()) return;
    const std::vector<std::string> paths = w->second.paths;
    if ((event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) != 0) {
        // The folder itself is gone or elsewhere.
        for (const std::string& path : paths) Detach(path);
        return;
    }
    if (event.len == 0) return;
    const std::string name = event.name;
    for (const std::string& path : paths) {
        auto l = listings_.find(path);
        if (l == listings_.end() || !l->second.watched_) continue;
        if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) l->second.Add(name);
        if ((event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) l->second.Remove(name);
    }
    if (w->second.guarded.count(name) != 0) {
        for (const std::string& path : paths) Detach(path + name + "/");
    }
}

void FolderListings::Detach(const std::string& prefix) {
    for (auto it = listings_.begin(); it != listings_.end();) {
        it = StartsWith(it->first, prefix) ? listings_.erase(it) : std::next(it);
    }
    for (auto it = watchOfPath_.begin(); it != watchOfPath_.end();) {
        if (!StartsWith(it->first, prefix)) {
            ++it;
            continue;
        }
        auto w = watches_.find(it->second);
        if (w != watches_.end()) {
            std::vector<std::string>& paths = w->second.paths;
            paths.erase(std::remove(paths.begin(), paths.end(), it->first), paths.end());
            if (paths.empty()) {
                ::inotify_rm_watch(events_, w->first);
                watches_.erase(w);
            }
        }
        it = watchOfPath_.erase(it);
    }
}

void FolderListings::Reset() {
    for (auto it = listings_.begin(); it != listings_.end();) {
        it = it->second.watched_ ? listings_.erase(it) : std::next(it);
    }
    watches_.clear();
    watchOfPath_.clear();
    if (events_ >= 0) ::close(events_);
    events_ = -1;
}

FolderListings::Listing* FolderListings::Find(const std::string& path, std::string& name) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 >= path.size()) return nullptr;
    auto it = listings_.find(path.substr(0, slash + 1));
    if (it == listings_.end()) return nullptr;
    name = path.substr(slash + 1);
    return &it->second;
}

void FolderListings::NoteAdded(const std::string& path) {
    std::string name;
    if (Listing* l = Find(path, name)) l->Add(name);
}

void FolderListings::NoteRemoved(const std::string& path) {
    std::string name;
    if (Listing* l = Find(path, name)) l->Remove(name);
}

}  // namespace orvanta
