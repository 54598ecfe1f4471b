// A Steam root's steamapps/libraryfolders.vdf: written by Steam, but read from the user's
// home folder, so any bytes. Parsing must never fail, and the libraries it reads must come
// back the same through a file written the way Steam writes it.
#include <cstdlib>
#include <string_view>

#include "platform/SteamLibraryFolders.h"
#include "tools/SteamFixture.h"

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto folders = ParseLibraryFolders(text);
    if (!folders) return 0;
    for (const std::string& folder : *folders) {
        if (folder.empty()) std::abort();
    }
    if (ParseLibraryFolders(tools::LibraryFoldersVdf(*folders)) != folders) std::abort();
    return 0;
}
