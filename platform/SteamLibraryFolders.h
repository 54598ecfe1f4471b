#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// Reading of Steam's "steamapps/libraryfolders.vdf", written in Valve's text key-value
// format. Pure functions over the text, so that they run everywhere and can be fuzzed.

// One key of a key-value text: a string value, or a block of keys.
struct KeyValue {
    std::string key;
    std::string value;
    bool isBlock = false;
    std::vector<KeyValue> children;
};

// Parses a key-value text: quoted or bare tokens, "{" and "}" blocks, "//" comments,
// "\\", "\"", "\n" and "\t" escapes in quoted tokens, and "[$...]" conditions (skipped).
// nullopt when the text is not well formed (unclosed quote or block, a key without a
// value, blocks nested too deep).
std::optional<std::vector<KeyValue>> ParseKeyValues(std::string_view text);

// The library folders a libraryfolders.vdf lists, in its order: the "path" of each
// numbered block (the format since 2021) or the value of each numbered key (the older
// one). Empty paths are left out; a UTF-8 byte-order mark before the text is skipped.
// nullopt when the text is not such a file.
std::optional<std::vector<std::string>> ParseLibraryFolders(std::string_view text);

}  // namespace orvanta
