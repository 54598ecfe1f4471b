#pragma once

#include <optional>
#include <string>

namespace orvanta {

enum class RegistryRoot { LocalMachine, CurrentUser };

// Default32 is the 32-bit view even in a 64-bit build; View64 is the native 64-bit view.
enum class RegistryView { Default32, View64 };

class Registry {
public:
    virtual ~Registry() = default;
    // A value of any type as text: a string value (REG_SZ, REG_EXPAND_SZ unexpanded,
    // REG_MULTI_SZ) as stored, possibly with a trailing NUL; the data of any other type as
    // 8-bit text. nullopt when the key or value is absent or unreadable.
    virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& valueName, RegistryView view) = 0;
    // Turns a Windows path read from the registry into a path of this platform's file
    // system (identity on Windows; through the Wine prefix's drives on POSIX).
    virtual std::string ToHostPath(const std::string& windowsPath) = 0;
};

}  // namespace orvanta
