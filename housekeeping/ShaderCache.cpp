#include "housekeeping/ShaderCache.h"

#include <vector>

namespace orvanta {

namespace {

std::size_t CountOf(const std::vector<std::string>* stayed) { return stayed != nullptr ? stayed->size() : 0; }

void NoteStayed(std::vector<std::string>* stayed, const std::string& path) {
    if (stayed != nullptr) stayed->push_back(path);
}

}  // namespace

bool ShouldCleanShaderCache(FileSystem& fs, const std::string& shaderFolder, bool optionTicked,
                            bool significantChanges) {
    return !shaderFolder.empty() && fs.Exists(shaderFolder) && optionTicked && significantChanges;
}

void ClearFolder(OpenFolder& folder, const std::string& path, std::vector<std::string>* stayed) {
    std::vector<FolderEntry> entries;
    // A folder that cannot be listed is abandoned; its parent goes on with its next entry.
    if (!folder.List(entries)) return;
    for (const FolderEntry& entry : entries) {
        const std::string entryPath = path + kSep + entry.name;
        // A real folder is opened without following a link; one swapped for a link since the
        // listing fails to open and goes as a link below.
        std::unique_ptr<OpenFolder> sub;
        if (entry.isFolder && !entry.isLink && folder.OpenSubfolder(entry.name, sub)) {
            (void)sub->SetNormalAttributes();  // on POSIX a read-only folder keeps its entries
            const std::size_t before = CountOf(stayed);
            ClearFolder(*sub, entryPath, stayed);
            sub.reset();
            if (!folder.RemoveSubfolder(entry.name) && CountOf(stayed) == before) NoteStayed(stayed, entryPath);
            continue;
        }
        if (!entry.isLink) (void)folder.SetEntryNormalAttributes(entry.name);
        // A link to a file goes with a deletion; a link to a folder (a junction on Windows)
        // with a folder removal, which removes the link and not its target.
        if (!folder.DeleteEntry(entry.name) && !folder.RemoveSubfolder(entry.name)) NoteStayed(stayed, entryPath);
    }
}

std::vector<std::string> CleanShaderCache(FileSystem& fs, const std::string& shaderFolder) {
    if (shaderFolder.empty() || !fs.Exists(shaderFolder)) return {};
    std::unique_ptr<OpenFolder> cache;
    if (!fs.OpenFolderForWalk(shaderFolder, cache)) return {shaderFolder};
    std::vector<std::string> stayed;
    (void)cache->SetNormalAttributes();
    ClearFolder(*cache, shaderFolder, &stayed);
    if (!stayed.empty()) return stayed;
    // Whatever came in meanwhile, or could not be listed, is left too.
    std::vector<FolderEntry> left;
    if (!cache->List(left)) return {shaderFolder};
    for (const FolderEntry& entry : left) stayed.push_back(shaderFolder + kSep + entry.name);
    return stayed;
}

}  // namespace orvanta
