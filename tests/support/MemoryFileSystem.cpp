#include "support/MemoryFileSystem.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

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

LocalDateTime LocalTimeOf(std::filesystem::file_time_type t) {
    const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        t - std::filesystem::file_time_type::clock::now() + std::chrono::system_clock::now());
    const std::time_t seconds = std::chrono::system_clock::to_time_t(system);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &seconds);
#else
    localtime_r(&seconds, &tm);
#endif
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() {
    Node root;
    root.kind = Node::Folder;
    nodes_.emplace("", root);
}

std::string MemoryFileSystem::KeyOf(const std::string& path) {
    std::string key;
    key.reserve(path.size());
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

MemoryFileSystem::Node* MemoryFileSystem::FindNode(const std::string& key) {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
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
    std::string key = KeyOf(path);
    std::string out;
    while (!key.empty()) {
        auto it = nodes_.find(key);
        const std::string name = it == nodes_.end() ? NameOf(key) : it->second.name;
        out = out.empty() ? name : name + kSep + out;
        const std::size_t at = key.find_last_of(kSep);
        if (at == std::string::npos) break;
        key = key.substr(0, at);
        if (key.empty()) out = kSep + out;
    }
    return out;
}

const std::string* MemoryFileSystem::Content(const std::string& path) const {
    const Node* node = Find(path);
    return (node != nullptr && node->kind == Node::File) ? node->content.get() : nullptr;
}

std::map<std::string, std::string> MemoryFileSystem::Files(const std::string& folder) const {
    std::map<std::string, std::string> files;
    const std::string prefix = KeyOf(folder) + kSep;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        if (it->second.kind != Node::File) continue;
        const std::string full = PathOf(it->first);
        std::string relative = full.substr(std::min(full.size(), prefix.size()));
        for (char& c : relative) {
            if (c == kSep) c = '/';
        }
        files.emplace(relative, *it->second.content);
    }
    return files;
}

void MemoryFileSystem::AddFolder(const std::string& path) {
    const std::string key = KeyOf(path);
    if (key.empty() || FindNode(key) != nullptr) return;
    std::string parent = path;
    while (!parent.empty() && parent.back() == kSep) parent.pop_back();
    const std::size_t at = parent.find_last_of(kSep);
    if (at != std::string::npos && at > 0) AddFolder(parent.substr(0, at));
    Node node;
    node.kind = Node::Folder;
    node.name = NameOf(parent);
    node.modified = now_;
    nodes_[key] = node;
}

void MemoryFileSystem::AddFile(const std::string& path, std::string bytes, LocalDateTime modified,
                               std::uint32_t attributes) {
    const std::size_t at = path.find_last_of(kSep);
    if (at != std::string::npos && at > 0) AddFolder(path.substr(0, at));
    Node node;
    node.name = NameOf(path);
    node.content = std::make_shared<const std::string>(std::move(bytes));
    node.modified = modified;
    node.attributes = attributes & kProtection;
    nodes_[KeyOf(path)] = node;
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target, bool toFolder) {
    const std::size_t at = path.find_last_of(kSep);
    if (at != std::string::npos && at > 0) AddFolder(path.substr(0, at));
    Node node;
    node.kind = Node::Link;
    node.name = NameOf(path);
    node.linkTarget = target;
    node.linkToFolder = toFolder;
    node.modified = now_;
    nodes_[KeyOf(path)] = node;
}

void MemoryFileSystem::LoadFromDisk(const std::string& hostFolder, const std::string& root) {
    namespace stdfs = std::filesystem;
    const stdfs::path base = stdfs::u8path(hostFolder);
    AddFolder(root);
    for (auto it = stdfs::recursive_directory_iterator(base); it != stdfs::recursive_directory_iterator(); ++it) {
        std::string relative = stdfs::relative(it->path(), base).u8string();
        for (char& c : relative) {
            if (c == '/' || c == '\\') c = kSep;
        }
        const std::string path = root + kSep + relative;
        if (it->is_symlink()) {
            AddLink(path, stdfs::read_symlink(it->path()).u8string(), stdfs::is_directory(it->path()));
            it.disable_recursion_pending();
        } else if (it->is_directory()) {
            AddFolder(path);
        } else {
            std::ifstream in(it->path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const bool readOnly = (it->status().permissions() & stdfs::perms::owner_write) == stdfs::perms::none;
            AddFile(path, std::move(bytes), LocalTimeOf(it->last_write_time()),
                    readOnly ? std::uint32_t{kAttrReadOnly} : 0u);
        }
    }
}

bool MemoryFileSystem::Exists(const std::string& path) { return Resolve(path) != nullptr; }

bool MemoryFileSystem::IsFolder(const std::string& path) {
    const Node* node = Resolve(path);
    return node != nullptr && node->kind == Node::Folder;
}

FsStatus MemoryFileSystem::FileLength(const std::string& path, std::uint64_t& length) {
    const Node* node = Resolve(path);
    if (node == nullptr) return FsStatus::Fail(kFileNotFound);
    length = node->kind == Node::File ? node->content->size() : 0;
    return FsStatus::Ok();
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
    Node* existing = FindNode(key);
    if (existing != nullptr) {
        if (existing->kind != Node::File) return FsStatus::Fail(kPathFileAccessError);
        if ((existing->attributes & kAttrReadOnly) != 0) return FsStatus::Fail(kPermissionDenied);
        existing->content = std::move(content);
        existing->modified = modified;
        return FsStatus::Ok();
    }
    Node node;
    node.name = NameOf(path);
    node.content = std::move(content);
    node.modified = modified;
    nodes_.emplace(key, std::move(node));
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::ReadContent(const std::string& path, std::shared_ptr<const std::string>& content) {
    const Node* node = Resolve(path);
    if (node == nullptr) return FsStatus::Fail(kFileNotFound);
    if (node->kind != Node::File) return FsStatus::Fail(kPathFileAccessError);
    content = node->content;
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::CopyFile(const std::string& source, const std::string& target) {
    std::shared_ptr<const std::string> content;
    if (FsStatus st = ReadContent(source, content); !st) return st;
    const LocalDateTime modified = Resolve(source)->modified;
    return PutFile(target, std::move(content), modified);
}

FsStatus MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
    const std::string fromKey = KeyOf(from);
    const std::string toKey = KeyOf(to);
    auto it = nodes_.find(fromKey);
    if (it == nodes_.end()) return FsStatus::Fail(kFileNotFound);
    if (it->second.kind == Node::Folder) return FsStatus::Fail(kPathFileAccessError);
    if (fromKey == toKey) {
        // A change of case only.
        it->second.name = NameOf(to);
        return FsStatus::Ok();
    }
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
    if (it->second.kind == Node::Folder) return FsStatus::Fail(kPermissionDenied);
    if (it->second.kind == Node::Link && it->second.linkToFolder) return FsStatus::Fail(kPermissionDenied);
    if ((it->second.attributes & kAttrReadOnly) != 0) return FsStatus::Fail(kPermissionDenied);
    nodes_.erase(it);
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    const Node* node = FindNode(KeyOf(path));
    if (node == nullptr) return FsStatus::Fail(kFileNotFound);
    attributes = node->attributes;
    if (node->kind == Node::Folder) attributes |= kAttrDirectory;
    if (node->kind == Node::Link)
        attributes |= kAttrReparsePoint | (node->linkToFolder ? std::uint32_t{kAttrDirectory} : 0u);
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
        FolderEntry entry;
        entry.name = it->second.name;
        entry.isFolder = it->second.kind == Node::Folder;
        entry.isLink = it->second.kind == Node::Link;
        entries.push_back(std::move(entry));
    }
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::RemoveEmptyFolder(const std::string& path) {
    const std::string key = KeyOf(path);
    auto it = nodes_.find(key);
    if (it == nodes_.end() || key.empty()) return FsStatus::Fail(kPathNotFound);
    if (it->second.kind == Node::Link && it->second.linkToFolder) {
        nodes_.erase(it);
        return FsStatus::Ok();
    }
    if (it->second.kind != Node::Folder) return FsStatus::Fail(kPathNotFound);
    if ((it->second.attributes & kAttrReadOnly) != 0) return FsStatus::Fail(kPermissionDenied);
    const std::string prefix = key + kSep;
    auto child = nodes_.lower_bound(prefix);
    if (child != nodes_.end() && child->first.compare(0, prefix.size(), prefix) == 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    nodes_.erase(it);
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::CreateFolder(const std::string& path) {
    const std::string key = KeyOf(path);
    if (key.empty()) return FsStatus::Fail(kBadFileName);
    if (FindNode(key) != nullptr) return FsStatus::Fail(kFileExists);
    if (FsStatus st = CheckParent(key); !st) return st;
    Node node;
    node.kind = Node::Folder;
    node.name = NameOf(path);
    node.modified = now_;
    nodes_.emplace(key, std::move(node));
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::shared_ptr<const std::string> content;
    if (FsStatus st = ReadContent(path, content); !st) return st;
    lines = SplitLines(*content);
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) {
    std::vector<std::string> lines;
    if (FsStatus st = ReadLines(path, lines); !st) return st;
    hasLine = !lines.empty();
    line = hasLine ? lines.front() : std::string();
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                                     std::vector<std::uint8_t>& bytes) {
    std::shared_ptr<const std::string> content;
    if (FsStatus st = ReadContent(path, content); !st) return st;
    bytes.clear();
    if (offset >= content->size()) return FsStatus::Ok();
    const std::size_t from = static_cast<std::size_t>(offset);
    const std::size_t n = std::min(count, content->size() - from);
    bytes.assign(content->begin() + static_cast<std::ptrdiff_t>(from),
                 content->begin() + static_cast<std::ptrdiff_t>(from + n));
    return FsStatus::Ok();
}

FsStatus MemoryFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
    return PutFile(path, std::make_shared<const std::string>(bytes), now_);
}

FsStatus MemoryFileSystem::WriteTextFile(const std::string& path, const std::string& utf8Text) {
    return WriteFile(path, utf8Text);
}

}  // namespace orvanta::test
