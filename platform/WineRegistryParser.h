#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace orvanta {

// Reading of Wine's registry files (system.reg, user.reg). Pure functions over the text, so
// that they run on every platform and can be fuzzed.

enum class WineArch { Win32, Win64 };

// Registry value types as Windows numbers them.
enum WineValueType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

struct WineRegistryValue {
    std::uint32_t type = kRegNone;
    // The string types (also when the file writes them as hex): UTF-8 text with any
    // embedded NUL kept. The others: the raw bytes (a dword as four little-endian bytes).
    std::string data;
};

struct WineRegistryHive {
    // From the "#arch=" line; without one, a hive holding "Software\Wow6432Node" is taken
    // as 64-bit.
    WineArch arch = WineArch::Win32;
    // Keys by their path in lower case ("software\\wine"), values by their name in lower
    // case ("" is the default value "@").
    std::map<std::string, std::map<std::string, WineRegistryValue>> keys;

    const WineRegistryValue* Find(const std::string& key, const std::string& valueName) const;
};

// Parses a registry file's text. Never fails: a text that is not a Wine registry file
// gives an empty hive, and a line that cannot be read (bad escape, missing quote, broken
// hex data, truncated file) is left out.
WineRegistryHive ParseWineRegistry(std::string_view text);

// The key's path in the hive for a view. In a 64-bit prefix the 32-bit view of the
// machine's "Software\..." lives under "Software\Wow6432Node\..."; the user's hive and a
// 32-bit prefix have one view only.
std::string WineKeyForView(const WineRegistryHive& hive, const std::string& key, RegistryView view, bool machineHive);

// The value as Registry::ReadString answers it; nullopt when the key or value is absent.
std::optional<std::string> ReadWineValue(const WineRegistryHive& hive, const std::string& key,
                                         const std::string& valueName, RegistryView view, bool machineHive);

}  // namespace orvanta
