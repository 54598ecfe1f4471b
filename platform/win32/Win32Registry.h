#pragma once

#include "platform/Registry.h"

namespace orvanta {

// RegOpenKeyExW and RegQueryValueExW. The default view is the 32-bit one even in this
// 64-bit build, as the simulators of this family register themselves there.
class Win32Registry : public Registry {
public:
    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& valueName,
                                          RegistryView view) override;
    std::string ToHostPath(const std::string& windowsPath) override { return windowsPath; }
};

}  // namespace orvanta
