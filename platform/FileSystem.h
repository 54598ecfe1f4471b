#pragma once

#include <cstdint>
#include <functional>
#include <string>
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

// Windows attribute bits; POSIX implementations map what they can.
enum FileAttribute : std::uint32_t {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrSystem = 0x4,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
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
    // target, so that a power cut never leaves the name on empty or zeroed content.
    virtual FsStatus CopyFile(const std::string& source, const std::string& target) = 0;
    // Renames a file; fails with kFileExists when the new name is taken.
    virtual FsStatus RenameFile(const std::string& from, const std::string& to) = 0;
    virtual FsStatus DeleteFile(const std::string& path) = 0;

    virtual FsStatus GetAttributes(const std::string& path, std::uint32_t& attributes) = 0;
    // Clears read-only, hidden and system.
    virtual FsStatus SetNormalAttributes(const std::string& path) = 0;

    // Every entry of a folder, hidden and system ones included; links are reported as links.
    virtual FsStatus ListFolder(const std::string& path, std::vector<FolderEntry>& entries) = 0;
    virtual FsStatus RemoveEmptyFolder(const std::string& path) = 0;
    virtual FsStatus CreateFolder(const std::string& path) = 0;

    // Reads a text file's lines as UTF-8, from the platform's text encoding (the ANSI code
    // page on Windows, UTF-8 on POSIX); CR LF, LF and CR end a line and are not part of it,
    // and a last line without terminator counts.
    virtual FsStatus ReadLines(const std::string& path, std::vector<std::string>& lines) = 0;
    // The first line only; hasLine is false for an empty file.
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

}  // namespace orvanta
