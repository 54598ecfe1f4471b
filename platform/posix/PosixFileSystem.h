#pragma once

#include <sys/stat.h>

#include <set>
#include <string>

#include "platform/FileSystem.h"
#include "platform/posix/FolderListings.h"

namespace orvanta {

// std::filesystem and POSIX calls. Windows names are case-insensitive and the simulators
// mix "Scenery" and "scenery", so each path component that does not exist under its
// exact name is looked up case-insensitively in its folder. A path that exists as written
// costs one call; a name that a kept folder listing shows absent in every case costs one
// check of that listing (FolderListings). One thread at a time.
class PosixFileSystem : public FileSystem {
public:
    // Kept listings follow the kernel's change events where it reports them all; without
    // watching, they are checked against the folders' dates.
    enum class Watching { WhereReported, Never };
    explicit PosixFileSystem(Watching watching = Watching::WhereReported)
        : listings_(watching == Watching::WhereReported) {}

    bool Exists(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
    FsStatus FileLength(const std::string& path, std::uint64_t& length) override;
    FsStatus ModifiedTime(const std::string& path, LocalDateTime& time) override;
    FsStatus QueryFile(const std::string& path, FileInfo& info) override;
    FsStatus CopyFile(const std::string& source, const std::string& target, bool flush = true) override;
    FsStatus RenameFile(const std::string& from, const std::string& to) override;
    FsStatus DeleteFile(const std::string& path) override;
    FsStatus GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    FsStatus SetNormalAttributes(const std::string& path) override;
    FsStatus ListFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
    FsStatus RemoveEmptyFolder(const std::string& path) override;
    FsStatus CreateFolder(const std::string& path) override;
    FsStatus CountNameVariants(const std::string& path, int& count) override;
    // Walks by open folder descriptors: openat with O_NOFOLLOW, unlinkat.
    FsStatus OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) override;
    FsStatus ReadLines(const std::string& path, std::vector<std::string>& lines) override;
    FsStatus ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) override;
    FsStatus ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                       std::vector<std::uint8_t>& bytes) override;
    FsStatus WriteFile(const std::string& path, const std::string& bytes) override;
    FsStatus WriteTextFile(const std::string& path, const std::string& utf8Text) override;
    // fsync of each folder noted since the last call.
    void FlushFolders() override;

    // The path as it exists on disk: each component under its exact name when present,
    // else under the first name in its folder that equals it ignoring ASCII case, else
    // unchanged (so that a file can be created under the name asked for).
    std::string Resolve(const std::string& path);
    // Folders read so far for the case-insensitive lookups.
    int FolderReads() const { return listings_.Reads(); }

private:
    // stat (or lstat) of what the path names on disk; false with errno when nothing is
    // there. `onDisk` receives the path resolved as Resolve gives it.
    bool StatOnDisk(const std::string& path, struct stat& st, std::string* onDisk, bool followLinks);
    std::string ResolveByComponents(const std::string& path);
    // Opens an existing regular file for reading under its name as written, else as resolved.
    int OpenForReading(const std::string& path, struct stat* st = nullptr);

    // Notes the folder of a path whose entry was created, renamed or removed.
    void NoteChangedEntry(const std::string& path);

    FolderListings listings_;
    std::string lookupFolder_;  // StatOnDisk's
    std::set<std::string> changedFolders_;
};

// Maps an errno value onto the stable failure codes.
int FsCodeFromErrno(int err);

}  // namespace orvanta
