#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta::test {

// A whole file system in memory, with the rules of the Windows one the installer was made
// for: names match ignoring ASCII case and keep the case they were created with, a rename
// never replaces, a read-only file can be neither replaced nor deleted, a copy keeps the
// source's date. Fast and cheap to copy (contents are shared), so that fault sweeps can run
// thousands of whole installs, and fuzzers can build packages without touching the disk.
//
// Paths are absolute, with the platform separator; a trailing separator is ignored.
class MemoryFileSystem : public FileSystem {
public:
    struct Node {
        enum Kind { File, Folder, Link } kind = File;
        std::string name;  // its own name, in the case it was created with
        std::shared_ptr<const std::string> content;
        LocalDateTime modified;
        std::uint32_t attributes = 0;  // read-only, hidden, system
        std::string linkTarget;        // for a link
        bool linkToFolder = false;
    };

    MemoryFileSystem();

    // Builders for fixtures; parent folders are created as needed.
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, std::string bytes, LocalDateTime modified = {2020, 1, 1, 12, 0, 0},
                 std::uint32_t attributes = 0);
    void AddLink(const std::string& path, const std::string& target, bool toFolder);
    // Copies a folder of the host's disk in, below `root` here.
    void LoadFromDisk(const std::string& hostFolder, const std::string& root);

    // The node at a path, without following links; nullptr when absent.
    const Node* Find(const std::string& path) const;
    // Every file below a folder (links excluded) by its path relative to the folder, each
    // name in the case it was created with, with '/' separators.
    std::map<std::string, std::string> Files(const std::string& folder) const;

    bool Exists(const std::string& path) override { return Resolve(path) != nullptr; }
    bool IsFolder(const std::string& path) override;
    // The program neither asks a length alone nor creates folders.
    FsStatus FileLength(const std::string&, std::uint64_t&) override { return FsStatus::Fail(kInvalidArgument); }
    FsStatus CreateFolder(const std::string&) override { return FsStatus::Fail(kInvalidArgument); }
    FsStatus OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) override {
        return OpenFolderByPath(*this, path, folder);
    }
    // Names match ignoring case here: a name has one variant at most.
    FsStatus CountNameVariants(const std::string& path, int& count) override {
        count = Find(path) != nullptr ? 1 : 0;
        return FsStatus::Ok();
    }
    FsStatus ModifiedTime(const std::string& path, LocalDateTime& time) override;
    FsStatus QueryFile(const std::string& path, FileInfo& info) override;
    FsStatus CopyFile(const std::string& source, const std::string& target, bool flush = true) override;
    FsStatus RenameFile(const std::string& from, const std::string& to) override;
    FsStatus DeleteFile(const std::string& path) override;
    FsStatus GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    FsStatus SetNormalAttributes(const std::string& path) override;
    FsStatus ListFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
    FsStatus RemoveEmptyFolder(const std::string& path) override;
    FsStatus ReadLines(const std::string& path, std::vector<std::string>& lines) override;
    FsStatus ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) override;
    FsStatus ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                       std::vector<std::uint8_t>& bytes) override;
    FsStatus WriteFile(const std::string& path, const std::string& bytes) override;
    FsStatus WriteTextFile(const std::string& path, const std::string& utf8Text) override {
        return WriteFile(path, utf8Text);
    }
    void FlushFolders() override {}

private:
    static std::string KeyOf(const std::string& path);
    static std::string ParentKey(const std::string& key);
    // A new node at the path, with its parent folders; a node already there is replaced.
    Node& AddNode(const std::string& path, Node::Kind kind);
    Node* FindNode(const std::string& key) { return const_cast<Node*>(Find(key)); }
    // The path of a node that exists, each name in the case it was created with.
    std::string PathOf(const std::string& path) const;
    // Follows links (a few levels at most) to the node they stand for.
    Node* Resolve(const std::string& path, std::string* resolvedKey = nullptr);
    FsStatus ReadContent(const std::string& path, std::shared_ptr<const std::string>& content);
    FsStatus CheckParent(const std::string& key);
    FsStatus PutFile(const std::string& path, std::shared_ptr<const std::string> content, LocalDateTime modified);

    std::map<std::string, Node> nodes_;        // by KeyOf(path)
    LocalDateTime now_{2024, 6, 1, 12, 0, 0};  // the date of every new or rewritten file
};

}  // namespace orvanta::test
