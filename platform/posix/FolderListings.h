#pragma once

#include <sys/inotify.h>
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// The names held by the folders where a name was not found as written, kept for the
// case-insensitive lookups that follow: a scan asks for thousands of names that do not
// exist yet (backups not made), a dozen or hundreds in each folder.
//
// A kept listing is checked before each use. On a local file system the kernel reports
// every change of a folder, ours and anyone else's (inotify): each one is applied to the
// listing, so a check is one read of the event queue, and a folder is read once however
// often it changes. The folders above are watched too, so that a folder moved away or
// replaced by another drops what was learnt of it. Where changes are not reported, a
// listing is checked against the folder's identity and dates, and kept only when the
// folder had not changed for two seconds before it was read (a later change then always
// gives it other dates, even on file systems with coarse dates); any change reads it again.
// One thread at a time.
class FolderListings {
public:
    class Listing {
    public:
        bool Holds(std::string_view name) const;
        // `name` when the folder holds it, else the first name that equals it ignoring ASCII
        // case, else empty.
        std::string Match(std::string_view name) const;
        // How many of its names equal `name` ignoring ASCII case.
        int CountVariants(std::string_view name) const;

    private:
        friend class FolderListings;
        void Add(const std::string& name);
        void Remove(const std::string& name);
        // The names by their lower-case form, made from the names as read at the first use:
        // a folder listed by the start-up may never be looked in.
        const std::unordered_map<std::string, std::string>& ByLower() const;
        void Insert(const std::string& name) const;

        // Names that differ only in case are joined with NUL characters (which no file name
        // holds), so a name costs one node.
        mutable std::unordered_map<std::string, std::string> byLower_;
        mutable std::vector<std::string> read_;  // not yet in byLower_
        bool watched_ = false;
        // Identity and dates of a listing that is not watched.
        dev_t dev_ = 0;
        ino_t ino_ = 0;
        struct timespec mtime_ {};
        struct timespec ctime_ {};
        off_t size_ = 0;
    };

    // Without watching, every kept listing is checked against the folder's dates.
    explicit FolderListings(bool watch = true) : eventsUnavailable_(!watch) {}
    ~FolderListings();
    FolderListings(const FolderListings&) = delete;
    FolderListings& operator=(const FolderListings&) = delete;

    // The kept listing of a folder (ending with '/') as last known, unchecked: where to look
    // first, never an answer. nullptr when none is kept.
    const Listing* Kept(const std::string& folder) const;
    // The listing of the folder as it is now; nullptr when it cannot be read.
    const Listing* Current(const std::string& folder);
    // Reads the folder now, keeping its listing as Current would; `entries` receives its
    // entries. nullptr, with errno, when it cannot be read.
    const Listing* ReadNow(const std::string& folder, std::vector<FolderEntry>& entries) {
        return Read(folder, &entries);
    }

    // This program's own changes, applied at once so that the next lookup looks in the right
    // place first; the events they cause confirm them.
    void NoteAdded(const std::string& path);
    void NoteRemoved(const std::string& path);

    // Folders read so far.
    int Reads() const { return reads_; }

private:
    struct Watch {
        std::vector<std::string> paths;           // folders watched through it, as written
        std::unordered_set<std::string> guarded;  // its entries on the way to a kept listing
    };

    const Listing* Read(const std::string& folder, std::vector<FolderEntry>* entries = nullptr);
    bool WatchWithParents(const std::string& folder);
    int AddWatch(const std::string& path, std::uint32_t mask);
    void ApplyEvents();
    void Apply(const struct inotify_event& event);
    // Forgets the listings and watches of `prefix` and of every folder below it.
    void Detach(const std::string& prefix);
    // Forgets every watch and every watched listing.
    void Reset();
    Listing* Find(const std::string& path, std::string& name);

    std::unordered_map<std::string, Listing> listings_;
    Listing scratch_;  // a listing too recent to keep
    int events_ = -1;  // the inotify descriptor, opened at the first watch
    bool eventsUnavailable_ = false;
    int reads_ = 0;
    std::unordered_map<int, Watch> watches_;
    std::unordered_map<std::string, int> watchOfPath_;
};

}  // namespace orvanta
