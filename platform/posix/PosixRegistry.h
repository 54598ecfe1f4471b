#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"
#include "platform/WineRegistryParser.h"

namespace orvanta {

// The registry of a Wine prefix: "system.reg" answers HKEY_LOCAL_MACHINE and "user.reg"
// HKEY_CURRENT_USER. Each file is read once, on the first question about its root.
class PosixRegistry : public Registry {
public:
    // The prefix folder, as ResolveWinePrefix gives it.
    explicit PosixRegistry(std::string winePrefix);

    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& valueName,
                                          RegistryView view) override;
    // "C:\..." becomes the host path behind the prefix's "dosdevices/c:" link (any drive
    // letter, either case). A path on a drive the prefix does not have, or without a drive,
    // comes back unchanged.
    std::string ToHostPath(const std::string& windowsPath) override;

private:
    const WineRegistryHive& Hive(RegistryRoot root);

    std::string prefix_;
    std::optional<WineRegistryHive> machine_;
    std::optional<WineRegistryHive> user_;
};

}  // namespace orvanta
