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

bool RemoveLink(FileSystem& fs, const std::string& path) {
    // A link to a file goes with a file deletion; a link to a folder (a junction on
    // Windows) with a folder removal, which removes the link and not its target.
    return fs.DeleteFile(path).ok() || fs.RemoveEmptyFolder(path).ok();
}

void NoteStayed(std::vector<std::string>* stayed, const std::string& path) {
    if (stayed != nullptr) stayed->push_back(path);
}

}  // namespace

bool ShouldCleanShaderCache(FileSystem& fs, const std::string& shaderFolder, bool optionTicked,
                            bool significantChanges) {
    return !shaderFolder.empty() && fs.Exists(shaderFolder) && optionTicked && significantChanges;
}

void ClearFolder(FileSystem& fs, const std::string& folder, const std::string& keepRoot,
                 std::vector<std::string>* stayed) {
    const std::size_t stayedBefore = stayed != nullptr ? stayed->size() : 0;
    std::vector<FolderEntry> entries;
    // A folder that cannot be listed is abandoned; its parent goes on with its next entry.
    if (fs.ListFolder(folder, entries)) {
        for (const FolderEntry& entry : entries) {
            const std::string path = folder + kSep + entry.name;
            if (entry.isLink) {
                if (!RemoveLink(fs, path)) NoteStayed(stayed, path);
            } else if (entry.isFolder) {
                // Checked again just before entering: a folder swapped for a link since the
                // listing is removed as a link.
                if (IsLink(fs, path)) {
                    if (!RemoveLink(fs, path)) NoteStayed(stayed, path);
                    continue;
                }
                (void)fs.SetNormalAttributes(path);
                ClearFolder(fs, path, keepRoot, stayed);
            } else {
                (void)fs.SetNormalAttributes(path);
                if (!fs.DeleteFile(path)) NoteStayed(stayed, path);
            }
        }
    }
    if (folder == keepRoot) return;
    (void)fs.SetNormalAttributes(folder);
    const bool removed = fs.RemoveEmptyFolder(folder).ok();
    if (!removed && stayed != nullptr && stayed->size() == stayedBefore) stayed->push_back(folder);
}

std::vector<std::string> CleanShaderCache(FileSystem& fs, const std::string& shaderFolder) {
    if (shaderFolder.empty() || !fs.Exists(shaderFolder)) return {};
    if (IsLink(fs, shaderFolder) || !fs.IsFolder(shaderFolder)) return {shaderFolder};
    std::vector<std::string> stayed;
    (void)fs.SetNormalAttributes(shaderFolder);
    ClearFolder(fs, shaderFolder, shaderFolder, &stayed);
    if (!stayed.empty()) return stayed;
    // Whatever came in meanwhile, or could not be listed, is left too.
    std::vector<FolderEntry> left;
    if (!fs.ListFolder(shaderFolder, left)) return {shaderFolder};
    for (const FolderEntry& entry : left) stayed.push_back(shaderFolder + kSep + entry.name);
    return stayed;
}

}  // namespace orvanta
