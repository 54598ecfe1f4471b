#include "support/MemoryFileSystem.h"

#include <algorithm>

#include "platform/NativePlatform.h"
#include "platform/TextLines.h"

namespace orvanta::test {

namespace {

constexpr std::uint32_t kProtection = kAttrReadOnly | kAttrHidden | kAttrSystem;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string NameOf(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == kSep) p.pop_back();
    const std::size_t at = p.find_last_of(kSep);
    return at == std::string::npos ? p : p.substr(at + 1);
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() { nodes_[""].kind = Node::Folder; }

std::string MemoryFileSystem::KeyOf(const std::string& path) {
    std::string key;
    for (char c : path) {
        if (c == kSep && !key.empty() && key.back() == kSep) continue;
        key += Lower(c);
    }
    while (!key.empty() && key.back() == kSep) key.pop_back();
    return key;
}

std::string MemoryFileSystem::ParentKey(const std::string& key) {
    const std::size_t at = key.find_last_of(kSep);
    return at == std::string::npos ? std::string() : key.substr(0, at);
}

const MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& path) const {
    auto it = nodes_.find(KeyOf(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

MemoryFileSystem::Node* MemoryFileSystem::Resolve(const std::string& path, std::string* resolvedKey) {
    std::string key = KeyOf(path);
    Node* node = FindNode(key);
    for (int depth = 0; node != nullptr && node->kind == Node::Link && depth < 8; ++depth) {
        key = KeyOf(node->linkTarget);
        node = FindNode(key);
    }
    if (node != nullptr && node->kind == Node::Link) return nullptr;
    if (resolvedKey != nullptr) *resolvedKey = key;
    return node;
}

std::string MemoryFileSystem::PathOf(const std::string& path) const {
    std::string out;
    for (std::string key = KeyOf(path); !key.empty(); key = ParentKey(key)) {
        auto it = nodes_.find(key);
        out = kSep + (it == nodes_.end() ? NameOf(key) : it->second.name) + out;
    }
    return out;
}

std::map<std::string, std::string> MemoryFileSystem::Files(const std::string& folder) const {
    std::map<std::string, std::string> files;
    const std::string prefix = KeyOf(folder) + kSep;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        if (it->second.kind != Node::File) continue;
        std::string relative = PathOf(it->first).substr(prefix.size());
        std::replace(relative.begin(), relative.end(), kSep, '/');
        files.emplace(relative, *it->second.content);
    }
    return files;
}

MemoryFileSystem::Node& MemoryFileSystem::AddNode(const std::string& path, Node::Kind kind) {
    const std::string name = NameOf(path);
    const std::size_t at = path.find_last_of(kSep, path.size() - name.size() - 1);
    if (at != std::string::npos && at > 0) AddFolder(path.substr(0, at));
    Node& node = nodes_[KeyOf(path)] = Node{};
    node.kind = kind;
    node.name = name;
    node.modified = now_;
    return node;
}

void MemoryFileSystem::AddFolder(const std::string& path) {
    if (!KeyOf(path).empty() && Find(path) == nullptr) AddNode(path, Node::Folder);
}

void MemoryFileSystem::AddFile(const std::string& path, std::string bytes, LocalDateTime modified,
                               std::uint32_t attributes) {
    Node& node = AddNode(path, Node::File);
    node.content = std::make_shared<const std::string>(std::move(bytes));
    node.modified = modified;
    node.attributes = attributes & kProtection;
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target, bool toFolder) {
    Node& node = AddNode(path, Node::Link);
    node.linkTarget = target;
    node.linkToFolder = toFolder;
}

void MemoryFileSystem::LoadFromDisk(const std::string& hostFolder, const std::string& root) {
    // The fixtures loaded hold files and folders only, so the disk's own reads serve.
    const auto native = MakeNativePlatform({});
    FileSystem& disk = native->get().fs;
    AddFolder(root);
    std::vector<FolderEntry> entries;
    disk.ListFolder(hostFolder, entries);
    for (const FolderEntry& e : entries) {
        const std::string from = hostFolder + kSep + e.name, to = root + kSep + e.name;
        if (e.isFolder) {
            LoadFromDisk(from, to);
            continue;
        }
        FileInfo info;
        std::vector<std::uint8_t> bytes;
        disk.QueryFile(from, info);
        disk.ReadBytes(from, 0, static_cast<std::size_t>(info.length), bytes);
        AddFile(to, std::string(bytes.begin(), bytes.end()), info.modified, info.attributes);
    }
}

bool MemoryFileSystem::IsFolder(const std::string& path) {
    const Node* node = Resolve(path);
    return node != nullptr && node->kind == Node::Folder;
}

FsStatus MemoryFileSystem::ModifiedTime(const std::string& path, LocalDateTime& time) {
    const Node* node = Resolve(path);
    if (node == nullptr) return FsStatus::Fail(kFileNotFound);
    time = node->modified;
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::QueryFile(const std::string& path, FileInfo& info) {
    info = {};
    const Node* node = Resolve(path);
    if (node == nullptr) return FsStatus::Ok();
    info.exists = true;
    info.length = node->kind == Node::File ? node->content->size() : 0;
    info.modified = node->modified;
    info.attributes = node->attributes | (node->kind == Node::Folder ? std::uint32_t{kAttrDirectory} : 0u);
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::CheckParent(const std::string& key) {
    const Node* parent = FindNode(ParentKey(key));
    if (parent == nullptr || parent->kind != Node::Folder) return FsStatus::Fail(kPathNotFound);
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::PutFile(const std::string& path, std::shared_ptr<const std::string> content,
                                   LocalDateTime modified) {
    const std::string key = KeyOf(path);
    if (key.empty()) return FsStatus::Fail(kBadFileName);
    if (FsStatus st = CheckParent(key); !st) return st;
    Node* node = FindNode(key);
    if (node != nullptr && node->kind != Node::File) return FsStatus::Fail(kPathFileAccessError);
    if (node != nullptr && (node->attributes & kAttrReadOnly) != 0) return FsStatus::Fail(kPermissionDenied);
    if (node == nullptr) node = &AddNode(path, Node::File);
    node->content = std::move(content);
    node->modified = modified;
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::ReadContent(const std::string& path, std::shared_ptr<const std::string>& content) {
    const Node* node = Resolve(path);
    if (node == nullptr) return FsStatus::Fail(kFileNotFound);
    if (node->kind != Node::File) return FsStatus::Fail(kPathFileAccessError);
    content = node->content;
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::CopyFile(const std::string& source, const std::string& target, bool) {
    std::shared_ptr<const std::string> content;
    if (FsStatus st = ReadContent(source, content); !st) return st;
    const LocalDateTime modified = Resolve(source)->modified;
    return PutFile(target, std::move(content), modified);
}

FsStatus MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
    const std::string toKey = KeyOf(to);
    auto it = nodes_.find(KeyOf(from));
    if (it == nodes_.end()) return FsStatus::Fail(kFileNotFound);
    if (it->second.kind == Node::Folder) return FsStatus::Fail(kPathFileAccessError);
    if (FindNode(toKey) != nullptr) return FsStatus::Fail(kFileExists);
    if (FsStatus st = CheckParent(toKey); !st) return st;
    Node node = std::move(it->second);
    nodes_.erase(it);
    node.name = NameOf(to);
    nodes_.emplace(toKey, std::move(node));
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::DeleteFile(const std::string& path) {
    auto it = nodes_.find(KeyOf(path));
    if (it == nodes_.end()) return FsStatus::Fail(kFileNotFound);
    const Node& node = it->second;
    if (node.kind == Node::Folder || node.linkToFolder || (node.attributes & kAttrReadOnly) != 0) {
        return FsStatus::Fail(kPermissionDenied);
    }
    nodes_.erase(it);
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    const Node* node = FindNode(KeyOf(path));
    if (node == nullptr) return FsStatus::Fail(kFileNotFound);
    attributes = node->attributes;
    if (node->kind == Node::Link) attributes |= kAttrReparsePoint;
    if (node->kind == Node::Folder || node->linkToFolder) attributes |= kAttrDirectory;
    if (attributes == 0) attributes = kAttrNormal;
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::SetNormalAttributes(const std::string& path) {
    Node* node = FindNode(KeyOf(path));
    if (node == nullptr) return FsStatus::Fail(kFileNotFound);
    node->attributes &= ~kProtection;
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::string key;
    const Node* folder = Resolve(path, &key);
    if (folder == nullptr) return FsStatus::Fail(kPathNotFound);
    if (folder->kind != Node::Folder) return FsStatus::Fail(kPathFileAccessError);
    const std::string prefix = key.empty() ? std::string() : key + kSep;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        if (it->first.size() == prefix.size() || it->first.find(kSep, prefix.size()) != std::string::npos) continue;
        entries.push_back({it->second.name, it->second.kind == Node::Folder, it->second.kind == Node::Link});
    }
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::RemoveEmptyFolder(const std::string& path) {
    const std::string key = KeyOf(path);
    auto it = nodes_.find(key);
    // A link to a folder goes like an empty folder; nothing is ever filed below its own name.
    if (key.empty() || it == nodes_.end() || (it->second.kind != Node::Folder && !it->second.linkToFolder)) {
        return FsStatus::Fail(kPathNotFound);
    }
    const std::string prefix = key + kSep;
    auto child = nodes_.lower_bound(prefix);
    if (child != nodes_.end() && child->first.compare(0, prefix.size(), prefix) == 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    nodes_.erase(it);
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::shared_ptr<const std::string> content;
    FsStatus st = ReadContent(path, content);
    if (st) lines = SplitLines(*content);
    return st;
}

FsStatus MemoryFileSystem::ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) {
    std::vector<std::string> lines;
    FsStatus st = ReadLines(path, lines);
    hasLine = st && !lines.empty();
    line = hasLine ? lines.front() : std::string();
    return st;
}

FsStatus MemoryFileSystem::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                                     std::vector<std::uint8_t>& bytes) {
    std::shared_ptr<const std::string> content;
    FsStatus st = ReadContent(path, content);
    if (st)
        bytes.assign(content->begin() + std::min<std::uint64_t>(offset, content->size()),
                     content->begin() + std::min<std::uint64_t>(offset + count, content->size()));
    return st;
}

FsStatus MemoryFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
    return PutFile(path, std::make_shared<const std::string>(bytes), now_);
}

}  // namespace orvanta::test
