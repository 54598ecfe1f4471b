#include "platform/FaultInjectingFileSystem.h"

namespace orvanta {

int FaultInjectingFileSystem::Intercept(const char* name, const std::string& path, const std::string& other) {
    ++count_;
    ++asked_[path];
    if (!other.empty()) ++asked_[other];
    journal_.push_back(std::string(name) + " " + path + (other.empty() ? "" : " -> " + other));
    int code = 0;
    if (auto it = failNumbers_.find({count_, 0}); it != failNumbers_.end()) code = it->code;
    if (failFrom_ > 0 && count_ >= failFrom_) code = failFromCode_;
    for (const FragmentFault& f : failFragments_) {
        if (code != 0) break;
        if (path.find(f.fragment) != std::string::npos ||
            (!other.empty() && other.find(f.fragment) != std::string::npos)) {
            code = f.code;
        }
    }
    if (code != 0) ++injected_;
    return code;
}

#define ORVANTA_INTERCEPT(...)                                \
    do {                                                      \
        if (int code_ = Intercept(__VA_ARGS__); code_ != 0) { \
            return FsStatus::Fail(code_);                     \
        }                                                     \
    } while (false)

FsStatus FaultInjectingFileSystem::FileLength(const std::string& path, std::uint64_t& length) {
    ORVANTA_INTERCEPT("FileLength", path);
    return inner_.FileLength(path, length);
}
FsStatus FaultInjectingFileSystem::ModifiedTime(const std::string& path, LocalDateTime& time) {
    ORVANTA_INTERCEPT("ModifiedTime", path);
    return inner_.ModifiedTime(path, time);
}
FsStatus FaultInjectingFileSystem::QueryFile(const std::string& path, FileInfo& info) {
    info = {};
    ORVANTA_INTERCEPT("QueryFile", path);
    return inner_.QueryFile(path, info);
}
FsStatus FaultInjectingFileSystem::CopyFile(const std::string& source, const std::string& target, bool flush) {
    ORVANTA_INTERCEPT("CopyFile", source, target);
    return inner_.CopyFile(source, target, flush);
}
FsStatus FaultInjectingFileSystem::RenameFile(const std::string& from, const std::string& to) {
    ORVANTA_INTERCEPT("RenameFile", from, to);
    return inner_.RenameFile(from, to);
}
FsStatus FaultInjectingFileSystem::DeleteFile(const std::string& path) {
    ORVANTA_INTERCEPT("DeleteFile", path);
    return inner_.DeleteFile(path);
}
FsStatus FaultInjectingFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    ORVANTA_INTERCEPT("GetAttributes", path);
    return inner_.GetAttributes(path, attributes);
}
FsStatus FaultInjectingFileSystem::SetNormalAttributes(const std::string& path) {
    ORVANTA_INTERCEPT("SetNormalAttributes", path);
    return inner_.SetNormalAttributes(path);
}
FsStatus FaultInjectingFileSystem::ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    ORVANTA_INTERCEPT("ListFolder", path);
    return inner_.ListFolder(path, entries);
}
FsStatus FaultInjectingFileSystem::RemoveEmptyFolder(const std::string& path) {
    ORVANTA_INTERCEPT("RemoveEmptyFolder", path);
    return inner_.RemoveEmptyFolder(path);
}
FsStatus FaultInjectingFileSystem::CreateFolder(const std::string& path) {
    ORVANTA_INTERCEPT("CreateFolder", path);
    return inner_.CreateFolder(path);
}
FsStatus FaultInjectingFileSystem::CountNameVariants(const std::string& path, int& count) {
    ORVANTA_INTERCEPT("CountNameVariants", path);
    return inner_.CountNameVariants(path, count);
}
FsStatus FaultInjectingFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines) {
    ORVANTA_INTERCEPT("ReadLines", path);
    return inner_.ReadLines(path, lines);
}
FsStatus FaultInjectingFileSystem::ReadFirstLine(const std::string& path, std::string& line, bool& hasLine) {
    ORVANTA_INTERCEPT("ReadFirstLine", path);
    return inner_.ReadFirstLine(path, line, hasLine);
}
FsStatus FaultInjectingFileSystem::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                                             std::vector<std::uint8_t>& bytes) {
    ORVANTA_INTERCEPT("ReadBytes", path);
    return inner_.ReadBytes(path, offset, count, bytes);
}
FsStatus FaultInjectingFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
    ORVANTA_INTERCEPT("WriteFile", path);
    return inner_.WriteFile(path, bytes);
}
FsStatus FaultInjectingFileSystem::WriteTextFile(const std::string& path, const std::string& utf8Text) {
    ORVANTA_INTERCEPT("WriteTextFile", path);
    return inner_.WriteTextFile(path, utf8Text);
}

#undef ORVANTA_INTERCEPT

}  // namespace orvanta
