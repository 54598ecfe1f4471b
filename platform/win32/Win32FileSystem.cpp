#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <algorithm>

#include "platform/TextLines.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

constexpr DWORD kProtectionAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

FsStatus FromLastError() {
    const DWORD error = ::GetLastError();
    // A failure that left no error number still must not read as success.
    return FsStatus::Fail(error == ERROR_SUCCESS ? kPathFileAccessError : FsCodeFromWin32Error(error));
}

// Closes a handle on every path out of a function.
class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    HANDLE release() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    bool Close() {
        const BOOL ok = ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE h_;
};

bool QueryAttributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

// Local time with the daylight saving rule of the file's own date, as Explorer shows it.
FsStatus LocalTimeOf(const FILETIME& written, LocalDateTime& time) {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&written, &utc)) return FromLastError();
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return FromLastError();
    time = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    return FsStatus::Ok();
}

// Opens an existing file for reading. Only a file on disk is read: a folder is refused as
// the run-time library refuses it, and so is a pipe or a device (under Wine a host FIFO
// opens as a pipe, whose reads would wait for a writer for good).
FsStatus OpenForReading(const std::string& path, HANDLE& out) {
    const std::wstring wide = WidePath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    out = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return FromLastError();
    if (::GetFileType(out) != FILE_TYPE_DISK) {
        ::CloseHandle(out);
        out = INVALID_HANDLE_VALUE;
        return FsStatus::Fail(kPathFileAccessError);
    }
    return FsStatus::Ok();
}

// Reads from an open file to its end, or up to the first line end when firstLine is set,
// never beyond limit bytes: a larger file fails unless only its first line is read.
FsStatus ReadUpTo(HANDLE file, std::size_t limit, bool firstLine, std::string& content) {
    content.clear();
    char buffer[65536];
    for (;;) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit + 1 - content.size()));
        DWORD got = 0;
        if (!::ReadFile(file, buffer, ask, &got, nullptr)) return FromLastError();
        if (got == 0) return FsStatus::Ok();
        content.append(buffer, got);
        if (firstLine && (content.find_first_of("\r\n") != std::string::npos || content.size() >= limit)) {
            content.resize(std::min(content.size(), limit));
            return FsStatus::Ok();
        }
        if (content.size() > limit) return FsStatus::Fail(kPathFileAccessError);
    }
}

FsStatus ReadAll(const std::string& path, std::size_t limit, bool firstLine, std::string& content) {
    HANDLE h = INVALID_HANDLE_VALUE;
    if (FsStatus st = OpenForReading(path, h); !st) return st;
    Handle file(h);
    return ReadUpTo(file.get(), limit, firstLine, content);
}

// Copies a file's bytes and last-write time into a new file and, with `flush`, writes them
// to disk before the new file is closed: it is to take the name of a simulator's file.
FsStatus WriteCopy(const std::string& source, const std::wstring& copy, bool flush) {
    HANDLE h = INVALID_HANDLE_VALUE;
    if (FsStatus st = OpenForReading(source, h); !st) return st;
    Handle in(h);
    Handle out(::CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid()) return FromLastError();
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(in.get(), buffer, sizeof buffer, &got, nullptr)) return FromLastError();
        if (got == 0) break;
        DWORD written = 0;
        if (!::WriteFile(out.get(), buffer, got, &written, nullptr)) return FromLastError();
        if (written != got) return FsStatus::Fail(kDeviceIoError);
    }
    FILETIME written{};
    if (!::GetFileTime(in.get(), nullptr, nullptr, &written) || !::SetFileTime(out.get(), nullptr, nullptr, &written) ||
        (flush && !::FlushFileBuffers(out.get())) || !out.Close()) {
        return FromLastError();
    }
    return FsStatus::Ok();
}

// Removes a file whatever its attributes; used for our own temporary files only.
void RemoveOwnFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

}  // namespace

bool Win32FileSystem::Exists(const std::string& path) {
    if (path.empty()) return false;
    // What PathFileExistsW does, without its MAX_PATH limit: no "insert a disk" box for an
    // empty drive, a file or a folder counts.
    const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    ::SetErrorMode(previousMode);
    return attributes != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FsStatus Win32FileSystem::FileLength(const std::string& path, std::uint64_t& length) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!QueryAttributes(WidePath(path), data)) return FromLastError();
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        length = 0;
    } else {
        length = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::ModifiedTime(const std::string& path, LocalDateTime& time) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!QueryAttributes(WidePath(path), data)) return FromLastError();
    return LocalTimeOf(data.ftLastWriteTime, time);
}

FsStatus Win32FileSystem::QueryFile(const std::string& path, FileInfo& info) {
    info = {};
    if (path.empty()) return FsStatus::Ok();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    // As in Exists: an empty drive answers at once, never with an "insert a disk" box.
    DWORD previousMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
    const bool found = QueryAttributes(WidePath(path), data);
    const FsStatus failure = found ? FsStatus::Ok() : FromLastError();
    ::SetThreadErrorMode(previousMode, nullptr);
    if (!found) {
        const bool absent = failure.code == kFileNotFound || failure.code == kPathNotFound;
        return absent ? FsStatus::Ok() : failure;
    }
    info.exists = true;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        info.length = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.attributes = data.dwFileAttributes;
    return LocalTimeOf(data.ftLastWriteTime, info.modified);
}

FsStatus Win32FileSystem::CopyFile(const std::string& source, const std::string& target, bool flush) {
    const std::wstring to = WidePath(target);
    const DWORD targetAttributes = ::GetFileAttributesW(to.c_str());
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    // Windows refuses to replace a read-only file; Wine would replace it. Refuse on both.
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return FsStatus::Fail(kPermissionDenied);
    }
    // The data lands under a name the simulator does not load, reaches the disk, then moves
    // over the target in one step, written through: the target's name never holds a partly
    // written file, nor, after a power cut, zeros.
    const std::wstring partial = WidePath(PartialCopyPath(target));
    if (::GetFileAttributesW(partial.c_str()) != INVALID_FILE_ATTRIBUTES) RemoveOwnFile(partial);
    if (FsStatus copied = WriteCopy(source, partial, flush); !copied) {
        RemoveOwnFile(partial);
        return copied;
    }
    if (!waits_.Change(target, {&to}, [&] {
            return ::MoveFileExW(partial.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        })) {
        const FsStatus failure = FromLastError();
        RemoveOwnFile(partial);
        return failure;
    }
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::RenameFile(const std::string& from, const std::string& to) {
    const std::wstring source = WidePath(from);
    const std::wstring target = WidePath(to);
    // Without a replace flag the move fails when the new name is taken.
    if (!waits_.Change(from, {&source, &target}, [&] {
            return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
        })) {
        return FromLastError();
    }
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::DeleteFile(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (!waits_.Change(path, {&wide}, [&] { return ::DeleteFileW(wide.c_str()); })) return FromLastError();
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    const DWORD value = ::GetFileAttributesW(WidePath(path).c_str());
    if (value == INVALID_FILE_ATTRIBUTES) return FromLastError();
    attributes = value;
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::SetNormalAttributes(const std::string& path) {
    const std::wstring wide = WidePath(path);
    const DWORD value = ::GetFileAttributesW(wide.c_str());
    if (value == INVALID_FILE_ATTRIBUTES) return FromLastError();
    if ((value & kProtectionAttributes) == 0) return FsStatus::Ok();
    // Only the bits SetFileAttributesW accepts; none left means "normal".
    DWORD kept = value & ~kProtectionAttributes &
                 (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                  FILE_ATTRIBUTE_TEMPORARY);
    if (kept == 0) kept = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileAttributesW(wide.c_str(), kept)) return FromLastError();
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::wstring pattern = WidePath(path);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        // A drive root can hold no entry at all; that is an empty listing, not a failure.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return FsStatus::Ok();
        return FromLastError();
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry entry;
        entry.name = ToUtf8(name);
        entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.isFolder = !entry.isLink && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(find, &data));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        entries.clear();
        return FsStatus::Fail(FsCodeFromWin32Error(error));
    }
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::RemoveEmptyFolder(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (!waits_.Change(path, {&wide}, [&] { return ::RemoveDirectoryW(wide.c_str()); })) return FromLastError();
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::CreateFolder(const std::string& path) {
    if (!::CreateDirectoryW(WidePath(path).c_str(), nullptr)) return FromLastError();
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::CountNameVariants(const std::string& path, int& count) {
    count = 0;
    // A search for the name itself may stop at its first match; with a wildcard in place of
    // its first letter the folder is walked, and every entry equal to it ignoring case counts.
    const std::wstring wide = WidePath(path);
    const std::size_t slash = wide.find_last_of(L"\\/");
    const std::wstring name = wide.substr(slash + 1);
    if (name.empty()) return FsStatus::Fail(kBadFileName);
    std::wstring pattern = wide;
    pattern[slash + 1] = L'?';
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FsStatus::Ok()
                   : FsStatus::Fail(FsCodeFromWin32Error(error));
    }
    do {
        if (::CompareStringOrdinal(data.cFileName, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL) ++count;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return FsStatus::Ok();
}

namespace {

// A folder of a walk, held open without delete sharing while it is walked.
class HeldFolder : public PathOpenFolder {
public:
    HeldFolder(Win32FileSystem& fs, std::string path, HANDLE held) : PathOpenFolder(fs, std::move(path)), held_(held) {}

private:
    Handle held_;
};

}  // namespace

FsStatus Win32FileSystem::OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) {
    // A real folder, checked on the handle: a reparse point is opened as itself, not followed.
    Handle h(::CreateFileW(WidePath(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h.valid()) return FromLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h.get(), &info)) return FromLastError();
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    folder = std::make_unique<HeldFolder>(*this, path, h.release());
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::string content;
    if (FsStatus st = ReadAll(path, kLargestTextFile, false, content); !st) return st;
    // Text files are 8-bit text in the ANSI code page; inside, text is UTF-8.
    lines = SplitLines(FromAnsiCodePage(content));
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) {
    std::string content;
    if (FsStatus st = ReadAll(path, kLongestFirstLine, true, content); !st) return st;
    hasLine = !content.empty();
    line = FromAnsiCodePage(content.substr(0, content.find_first_of("\r\n")));
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                                    std::vector<std::uint8_t>& bytes) {
    HANDLE h = INVALID_HANDLE_VALUE;
    if (FsStatus st = OpenForReading(path, h); !st) return st;
    Handle file(h);
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return FromLastError();
    bytes.assign(count, 0);
    std::size_t got = 0;
    while (got < count) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - got, 1u << 20));
        DWORD n = 0;
        if (!::ReadFile(file.get(), bytes.data() + got, ask, &n, nullptr)) return FromLastError();
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    return FsStatus::Ok();
}

FsStatus Win32FileSystem::WriteFile(const std::string& path, const std::string& bytes) {
    // Written beside its name and moved over it: whatever is at the name (a link above all)
    // is replaced, never followed, and nothing is made outside the folder.
    const std::wstring partial = WidePath(PartialCopyPath(path));
    const auto create = [&] {
        return ::CreateFileW(partial.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    };
    HANDLE h = create();
    if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) {
        RemoveOwnFile(partial);
        h = create();
    }
    Handle file(h);
    if (!file.valid()) return FromLastError();
    FsStatus status = FsStatus::Ok();
    for (std::size_t done = 0; status && done < bytes.size();) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD n = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, ask, &n, nullptr)) status = FromLastError();
        if (status && n == 0) status = FsStatus::Fail(kDeviceIoError);
        done += n;
    }
    if (status && !file.Close()) status = FromLastError();
    if (status && !::MoveFileExW(partial.c_str(), WidePath(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        status = FromLastError();
    }
    if (!status) {
        if (file.valid()) file.Close();
        RemoveOwnFile(partial);
    }
    return status;
}

FsStatus Win32FileSystem::WriteTextFile(const std::string& path, const std::string& utf8Text) {
    return WriteFile(path, ToAnsiCodePage(utf8Text));
}

}  // namespace orvanta
