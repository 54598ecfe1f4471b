#pragma once

#include <sys/stat.h>

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/FileSystem.h"

namespace orvanta {

// std::filesystem and POSIX calls. Windows names are case-insensitive and the simulators
// mix "Scenery" and "scenery", so each path component that does not exist under its
// exact name is looked up case-insensitively in its folder.
//
// Those lookups read whole folders, and a scan asks for thousands of names that do not
// exist (backups not made yet), so the listings of folders are kept and checked against
// the folder's identity and dates before each use. A listing is kept only when the folder
// had not changed for two seconds before it was read: a later change then always gives
// the folder another date, even on file systems with coarse dates. One thread at a time.
class PosixFileSystem : public FileSystem {
public:
    bool Exists(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
    FsStatus FileLength(const std::string& path, std::uint64_t& length) override;
    FsStatus ModifiedTime(const std::string& path, LocalDateTime& time) override;
    FsStatus CopyFile(const std::string& source, const std::string& target) override;
    FsStatus RenameFile(const std::string& from, const std::string& to) override;
    FsStatus DeleteFile(const std::string& path) override;
    FsStatus GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    FsStatus SetNormalAttributes(const std::string& path) override;
    FsStatus ListFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
    FsStatus RemoveEmptyFolder(const std::string& path) override;
    FsStatus CreateFolder(const std::string& path) override;
    FsStatus ReadLines(const std::string& path, std::vector<std::string>& lines) override;
    FsStatus ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) override;
    FsStatus ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                       std::vector<std::uint8_t>& bytes) override;
    FsStatus WriteFile(const std::string& path, const std::string& bytes) override;
    FsStatus WriteTextFile(const std::string& path, const std::string& utf8Text) override;

    // The path as it exists on disk: each component under its exact name when present,
    // else under the first name in its folder that equals it ignoring ASCII case, else
    // unchanged (so that a file can be created under the name asked for).
    std::string Resolve(const std::string& path);

private:
    struct FolderListing {
        dev_t dev = 0;
        ino_t ino = 0;
        struct timespec mtime {};
        struct timespec ctime {};
        off_t size = 0;
        std::unordered_set<std::string> names;
        std::unordered_map<std::string, std::string> firstByLowerName;  // in listing order
    };

    // Resolve for a path that is not there under its exact name: when its folder exists as
    // written, only the last name is looked up.
    std::string ResolveMissing(const std::string& path);
    std::string ResolveByComponents(const std::string& path);
    // The entry of `folder` (ending with '/') whose name equals `name` ignoring ASCII case;
    // empty when none.
    std::string FindCaseInsensitive(const std::string& folder, const std::string& name);
    // The listing of a folder that exists, fresh or checked; nullptr when it cannot be read.
    const FolderListing* ListingOf(const std::string& folder);

    std::unordered_map<std::string, FolderListing> listings_;
    FolderListing scratch_;  // a listing too recent to keep
};

// Maps an errno value onto the stable failure codes.
int FsCodeFromErrno(int err);

}  // namespace orvanta
