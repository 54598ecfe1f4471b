#pragma once

#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// A file system that passes everything to another one, except the operations it is told
// to fail: by their running number, or by a fragment of their path. Used to prove that
// every batch survives any single failure without losing a file.
//
// Operations that report an FsStatus are counted from 1 in call order; Exists and
// IsFolder are probes without a status and are never failed. Every call, probes included,
// is also counted by the path it asks about.
class FaultInjectingFileSystem : public FileSystem {
public:
    explicit FaultInjectingFileSystem(FileSystem& inner) : inner_(inner) {}

    // Fails the n-th counted operation (1-based) with the code.
    void FailOperation(int n, int code) { failNumbers_.insert({n, code}); }
    // Fails every counted operation whose path (or either path) contains the fragment.
    void FailPathsContaining(const std::string& fragment, int code) { failFragments_.push_back({fragment, code}); }
    // Fails every counted operation from the n-th on: what a run leaves behind when its
    // process dies just before that operation.
    void FailFrom(int n, int code) {
        failFrom_ = n;
        failFromCode_ = code;
    }
    void ClearFaults() {
        failNumbers_.clear();
        failFragments_.clear();
        failFrom_ = 0;
    }

    int OperationCount() const { return count_; }
    // Calls of any kind about a path (as the caller wrote it), and the paths asked about.
    int TimesAsked(const std::string& path) const {
        auto it = asked_.find(path);
        return it == asked_.end() ? 0 : it->second;
    }
    std::size_t PathsAsked() const { return asked_.size(); }
    int FaultsInjected() const { return injected_; }
    // "Rename a -> b" style descriptions of every counted operation, in order.
    const std::vector<std::string>& Journal() const { return journal_; }

    bool Exists(const std::string& path) override {
        ++asked_[path];
        return inner_.Exists(path);
    }
    bool IsFolder(const std::string& path) override {
        ++asked_[path];
        return inner_.IsFolder(path);
    }
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
    // By path names, so that each step of a walk is counted, and can fail, on its own.
    FsStatus OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) override {
        return OpenFolderByPath(*this, path, folder);
    }
    FsStatus ReadLines(const std::string& path, std::vector<std::string>& lines) override;
    FsStatus ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) override;
    FsStatus ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                       std::vector<std::uint8_t>& bytes) override;
    FsStatus WriteFile(const std::string& path, const std::string& bytes) override;
    FsStatus WriteTextFile(const std::string& path, const std::string& utf8Text) override;
    // Passed on, never failed: a flush loses no file.
    void FlushFolders() override { inner_.FlushFolders(); }
    void SetHoldNotice(HoldNotice notice) override { inner_.SetHoldNotice(std::move(notice)); }

private:
    struct NumberFault {
        int n;
        int code;
        bool operator<(const NumberFault& o) const { return n < o.n; }
    };
    struct FragmentFault {
        std::string fragment;
        int code;
    };
    // Counts the operation and answers the code to fail it with, or 0.
    int Intercept(const char* name, const std::string& path, const std::string& other = {});

    FileSystem& inner_;
    std::set<NumberFault> failNumbers_;
    std::vector<FragmentFault> failFragments_;
    std::vector<std::string> journal_;
    std::unordered_map<std::string, int> asked_;
    int failFrom_ = 0;
    int failFromCode_ = 0;
    int count_ = 0;
    int injected_ = 0;
};

}  // namespace orvanta
