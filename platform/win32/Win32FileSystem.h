#pragma once

#include "platform/FileSystem.h"
#include "platform/win32/HeldFileWaits.h"

namespace orvanta {

// The wide Win32 file API. Failures carry the stable code of GetLastError's kind. Every
// path goes through WidePath, so paths longer than MAX_PATH work. Renames, replacements and
// deletions wait out another program's brief hold on the file (HeldFileWaits).
class Win32FileSystem : public FileSystem {
public:
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
    // Holds each folder of the walk open without delete sharing, so that none can be renamed
    // or replaced meanwhile, and opens them without following reparse points.
    FsStatus OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) override;
    FsStatus ReadLines(const std::string& path, std::vector<std::string>& lines) override;
    FsStatus ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) override;
    FsStatus ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                       std::vector<std::uint8_t>& bytes) override;
    FsStatus WriteFile(const std::string& path, const std::string& bytes) override;
    FsStatus WriteTextFile(const std::string& path, const std::string& utf8Text) override;
    // Nothing left to do: every move is written through as it is made.
    void FlushFolders() override {}
    void SetHoldNotice(HoldNotice notice) override { waits_.SetNotice(std::move(notice)); }

private:
    HeldFileWaits waits_;
};

}  // namespace orvanta
