#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/FsStatus.h"
#include "platform/PathSeparator.h"

namespace orvanta {

// A date and time in the user's local time zone, as file dates are shown and compared.
struct LocalDateTime {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59

    bool SameDay(const LocalDateTime& other) const {
        return year == other.year && month == other.month && day == other.day;
    }
    bool operator==(const LocalDateTime& o) const {
        return SameDay(o) && hour == o.hour && minute == o.minute && second == o.second;
    }
};

// The name a copy writes to before it moves over its target: the target's name followed by
// this. It never ends in ".bgl", so the simulator never loads a copy cut short.
inline constexpr const char* kPartialCopySuffix = ".orvanta-partial";

// The longest file name (one path segment) that every file system here takes: 255 UTF-16
// units on Windows, 255 bytes on Linux; counted in UTF-8 bytes, it holds for both.
inline constexpr std::size_t kLongestFileName = 255;

// The temporary path of a copy to target: the target followed by kPartialCopySuffix. A name
// so long that the suffix would pass kLongestFileName is cut first (at a character's
// start), so that the temporary name never fails where the target's own name works.
inline std::string PartialCopyPath(const std::string& target) {
    const std::size_t suffix = std::char_traits<char>::length(kPartialCopySuffix);
    const std::size_t slash = target.find_last_of(kSep == '\\' ? "\\/" : "/");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t nameEnd = target.size();
    if (nameEnd - nameStart + suffix > kLongestFileName) {
        nameEnd = nameStart + (kLongestFileName - suffix);
        while (nameEnd > nameStart && (static_cast<unsigned char>(target[nameEnd]) & 0xC0) == 0x80) --nameEnd;
    }
    return target.substr(0, nameEnd) + kPartialCopySuffix;
}

// Text files the program reads (file lists, the cycle file) are small: a larger one is not
// read at all (kPathFileAccessError), so that a hostile file costs no memory. Of the cycle
// file only the first line is read, and at most this far.
inline constexpr std::size_t kLargestTextFile = 1 << 20;
inline constexpr std::size_t kLongestFirstLine = 4096;

// Windows attribute bits; POSIX implementations map what they can.
enum FileAttribute : std::uint32_t {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrSystem = 0x4,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrDevice = 0x40,  // a FIFO, a socket or a device: never a file to read or replace
    kAttrNormal = 0x80,
    kAttrReparsePoint = 0x400,
};

// What one query of a path tells.
struct FileInfo {
    bool exists = false;       // a file or a folder (a link counts when it resolves)
    std::uint64_t length = 0;  // 0 for a folder
    LocalDateTime modified;
    std::uint32_t attributes = 0;  // read-only, hidden, system and folder, as far as the platform has them
};

struct FolderEntry {
    std::string name;       // the entry's own name, never "." or ".."
    bool isFolder = false;  // a real folder (never true for a link)
    bool isLink = false;    // symbolic link, junction or other reparse point; not followed
};

// A folder held open for a walk that must stay inside it, as the shader cache's emptying
// must: its entries are named relative to it, a link below it is never followed, and an
// entry swapped for a link during the walk makes that step fail instead of leading
// elsewhere.
class OpenFolder {
public:
    virtual ~OpenFolder() = default;
    virtual FsStatus List(std::vector<FolderEntry>& entries) = 0;
    // Opens a subfolder; fails when the entry is not, or no longer, a real folder.
    virtual FsStatus OpenSubfolder(const std::string& name, std::unique_ptr<OpenFolder>& folder) = 0;
    // Clears read-only, hidden and system of the folder itself, or of an entry that is no link.
    virtual FsStatus SetNormalAttributes() = 0;
    virtual FsStatus SetEntryNormalAttributes(const std::string& name) = 0;
    // Deletes an entry that is no real folder: a file, or a link itself.
    virtual FsStatus DeleteEntry(const std::string& name) = 0;
    // Removes an empty subfolder, or a link to a folder (never what it points at). A
    // subfolder opened from here is closed first.
    virtual FsStatus RemoveSubfolder(const std::string& name) = 0;
};
// Told when a change waits for a file that another program holds open for a moment (a
// virus scanner, the search indexer): the path when the wait begins, an empty text when it
// is over.
using HoldNotice = std::function<void(const std::string& path)>;

// The file system as the installer needs it. Paths are UTF-8 and use the platform's
// separator. Every operation that can fail returns an FsStatus whose code is stable.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when a file or a folder exists at the path (a link counts when it resolves).
    virtual bool Exists(const std::string& path) = 0;
    virtual bool IsFolder(const std::string& path) = 0;

    virtual FsStatus FileLength(const std::string& path, std::uint64_t& length) = 0;
    virtual FsStatus ModifiedTime(const std::string& path, LocalDateTime& time) = 0;
    // Existence, length, date and attributes from one query: a scan asks this of thousands
    // of paths at every click. Nothing at the path is an answer (exists is false), not a
    // failure; a failure means the query itself could not be made.
    virtual FsStatus QueryFile(const std::string& path, FileInfo& info) = 0;

    // Copies over an existing or absent target, keeping the source's modification time.
    // A read-only target is not replaced (kPermissionDenied), as Windows refuses it.
    // The target's name never holds a partly written file: the data goes to a temporary
    // name in the target's folder first, is flushed to disk, and is then moved over the
    // target, so that a power cut never leaves the name on empty or zeroed content. A copy
    // that is only a test of the folder (the start-up's write probe) needs no flush.
    virtual FsStatus CopyFile(const std::string& source, const std::string& target, bool flush = true) = 0;
    // Renames a file; fails with kFileExists when the new name is taken.
    virtual FsStatus RenameFile(const std::string& from, const std::string& to) = 0;
    virtual FsStatus DeleteFile(const std::string& path) = 0;

    // The attributes of what is at the path itself: a link is reported as a reparse point,
    // never followed.
    virtual FsStatus GetAttributes(const std::string& path, std::uint32_t& attributes) = 0;
    // Clears read-only, hidden and system.
    virtual FsStatus SetNormalAttributes(const std::string& path) = 0;

    // Every entry of a folder, hidden and system ones included; links are reported as links.
    virtual FsStatus ListFolder(const std::string& path, std::vector<FolderEntry>& entries) = 0;
    virtual FsStatus RemoveEmptyFolder(const std::string& path) = 0;
    virtual FsStatus CreateFolder(const std::string& path) = 0;
    // How many entries of the path's folder bear its last name in any letter case: 0 when
    // none. More than one where a folder holds names that Windows cannot tell apart (a Linux
    // folder seen through Wine can hold APX00320.bgl and apx00320.bgl side by side).
    virtual FsStatus CountNameVariants(const std::string& path, int& count) = 0;
    // Opens a real folder (no link) for a walk inside it.
    virtual FsStatus OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) = 0;

    // Reads a text file's lines as UTF-8, from the platform's text encoding (the ANSI code
    // page on Windows, UTF-8 on POSIX); CR LF, LF and CR end a line and are not part of it,
    // and a last line without terminator counts. Every reader reads regular files only: a
    // FIFO, a device or a folder at the name fails at once (kPathFileAccessError).
    virtual FsStatus ReadLines(const std::string& path, std::vector<std::string>& lines) = 0;
    // The first line only, cut at kLongestFirstLine bytes; hasLine is false for an empty file.
    virtual FsStatus ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) = 0;
    // Reads up to count bytes from offset; fewer at the end of the file.
    virtual FsStatus ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                               std::vector<std::uint8_t>& bytes) = 0;
    // Creates or truncates the file and writes the bytes.
    virtual FsStatus WriteFile(const std::string& path, const std::string& bytes) = 0;
    // Like WriteFile, for UTF-8 text that leaves in the platform's text encoding: the ANSI
    // code page on Windows, UTF-8 unchanged on POSIX.
    virtual FsStatus WriteTextFile(const std::string& path, const std::string& utf8Text) = 0;

    // Writes to disk the entries of the folders in which files were copied, renamed or
    // deleted since the last call, where the platform does not do so with each change. A run
    // calls it once, before it reports: what it reports done then survives a power cut.
    virtual void FlushFolders() = 0;

    // Where a platform waits for files that other programs hold open, it tells whom the
    // notice names (an empty notice tells no one). Elsewhere nothing ever waits.
    virtual void SetHoldNotice(HoldNotice notice) { (void)notice; }
};

// A folder walked by path names with a file system's own operations: each step goes through
// that file system, and a subfolder is opened by its OpenFolderForWalk. Safe as it is where
// nothing else changes the folders meanwhile (the file systems of tests) or where each step
// must be seen on its own (a fault injector); Windows holds each such folder open as well.
class PathOpenFolder : public OpenFolder {
public:
    PathOpenFolder(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

    FsStatus List(std::vector<FolderEntry>& entries) override { return fs_.ListFolder(path_, entries); }
    FsStatus OpenSubfolder(const std::string& name, std::unique_ptr<OpenFolder>& folder) override {
        return fs_.OpenFolderForWalk(Entry(name), folder);
    }
    FsStatus SetNormalAttributes() override { return fs_.SetNormalAttributes(path_); }
    FsStatus SetEntryNormalAttributes(const std::string& name) override { return fs_.SetNormalAttributes(Entry(name)); }
    FsStatus DeleteEntry(const std::string& name) override { return fs_.DeleteFile(Entry(name)); }
    FsStatus RemoveSubfolder(const std::string& name) override { return fs_.RemoveEmptyFolder(Entry(name)); }

private:
    std::string Entry(const std::string& name) const { return path_ + kSep + name; }

    FileSystem& fs_;
    std::string path_;
};

// Opens a real folder (no link, checked by its attributes) as a PathOpenFolder.
FsStatus OpenFolderByPath(FileSystem& fs, const std::string& path, std::unique_ptr<OpenFolder>& folder);

}  // namespace orvanta
