#include "housekeeping/ShaderCache.h"

#include <vector>

namespace orvanta {

namespace {

bool IsLink(FileSystem& fs, const std::string& path) {
    std::uint32_t attributes = 0;
    // When the attributes cannot be read, treat the path as a link: it is then removed,
    // never entered.
    if (!fs.GetAttributes(path, attributes)) return true;
    return (attributes & kAttrReparsePoint) != 0;
}

void RemoveLink(FileSystem& fs, const std::string& path) {
    // A link to a file goes with a file deletion; a link to a folder (a junction on
    // Windows) with a folder removal, which removes the link and not its target.
    if (!fs.DeleteFile(path)) (void)fs.RemoveEmptyFolder(path);
}

}  // namespace

bool ShouldCleanShaderCache(FileSystem& fs, const std::string& shaderFolder, bool optionTicked,
                            bool significantChanges) {
    return !shaderFolder.empty() && fs.Exists(shaderFolder) && optionTicked && significantChanges;
}

void ClearFolder(FileSystem& fs, const std::string& folder, const std::string& keepRoot) {
    std::vector<FolderEntry> entries;
    // A folder that cannot be listed is abandoned; its parent goes on with its next entry.
    if (fs.ListFolder(folder, entries)) {
        for (const FolderEntry& entry : entries) {
            const std::string path = folder + kSep + entry.name;
            if (entry.isLink) {
                RemoveLink(fs, path);
            } else if (entry.isFolder) {
                // Checked again just before entering: a folder swapped for a link since the
                // listing is removed as a link.
                if (IsLink(fs, path)) {
                    RemoveLink(fs, path);
                    continue;
                }
                // Made writable first: on POSIX a read-only folder keeps its entries.
                (void)fs.SetNormalAttributes(path);
                ClearFolder(fs, path, keepRoot);
            } else {
                (void)fs.SetNormalAttributes(path);
                (void)fs.DeleteFile(path);
            }
        }
    }
    if (folder == keepRoot) return;
    (void)fs.SetNormalAttributes(folder);
    (void)fs.RemoveEmptyFolder(folder);
}

void CleanShaderCache(FileSystem& fs, const std::string& shaderFolder) {
    if (shaderFolder.empty() || IsLink(fs, shaderFolder) || !fs.IsFolder(shaderFolder)) return;
    ClearFolder(fs, shaderFolder, shaderFolder);
}

}  // namespace orvanta
