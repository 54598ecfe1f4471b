#pragma once

#include <string>
#include <vector>

namespace orvanta {

// FSX Steam Edition's application number in Steam: its Proton prefix is named after it.
inline constexpr const char* kFsxSteamAppId = "314160";

// The Steam libraries of the Steam installations below a home folder, each once, in
// search order: for each root (~/.steam/steam, ~/.local/share/Steam, then Flatpak's
// ~/.var/app/com.valvesoftware.Steam/data/Steam), the root's own library and then those
// its steamapps/libraryfolders.vdf lists. Folders that do not exist are left out; one
// reached through a link counts as the folder it names.
std::vector<std::string> FindSteamLibraries(const std::string& home);

// The Proton prefixes of a Steam application that exist, in the libraries' order:
// <library>/steamapps/compatdata/<appId>/pfx.
std::vector<std::string> FindProtonPrefixes(const std::string& home, const std::string& appId);

// The Wine prefixes simulator detection reads, in order: the given prefix alone; else
// $WINEPREFIX alone; else ~/.wine and then FSX Steam Edition's Proton prefixes.
std::vector<std::string> WinePrefixesToSearch(const std::string& option);

// The Windows user of a prefix: "steamuser" in a Proton prefix (a "pfx" folder in
// "compatdata/<app>/"), the user's own name in any other.
std::string WinePrefixUser(const std::string& prefix);

}  // namespace orvanta
