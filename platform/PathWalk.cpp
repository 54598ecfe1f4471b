#include "platform/FileSystem.h"

namespace orvanta {

namespace {

class PathOpenFolder : public OpenFolder {
public:
    PathOpenFolder(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

    FsStatus List(std::vector<FolderEntry>& entries) override { return fs_.ListFolder(path_, entries); }
    FsStatus OpenSubfolder(const std::string& name, std::unique_ptr<OpenFolder>& folder) override {
        return OpenFolderByPath(fs_, Entry(name), folder);
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

}  // namespace

FsStatus OpenFolderByPath(FileSystem& fs, const std::string& path, std::unique_ptr<OpenFolder>& folder) {
    std::uint32_t attributes = 0;
    if (FsStatus st = fs.GetAttributes(path, attributes); !st) return st;
    if ((attributes & kAttrDirectory) == 0 || (attributes & kAttrReparsePoint) != 0) {
        return FsStatus::Fail(kPathFileAccessError);
    }
    folder = std::make_unique<PathOpenFolder>(fs, path);
    return FsStatus::Ok();
}

}  // namespace orvanta
