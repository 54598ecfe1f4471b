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
    // The raw text of a string value (REG_SZ or REG_EXPAND_SZ, unexpanded), as stored,
    // possibly with a trailing NUL; nullopt when the key or value is absent or unreadable.
    virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& valueName, RegistryView view) = 0;
    // Turns a Windows path read from the registry into a path of this platform's file
    // system (identity on Windows; through the Wine prefix's drives on POSIX).
    virtual std::string ToHostPath(const std::string& windowsPath) = 0;
};

}  // namespace orvanta
