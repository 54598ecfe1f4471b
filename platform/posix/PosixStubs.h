#pragma once

// Interfaces whose POSIX answers arrive with the simulator and engine work. Until then
// they answer as a machine without simulators would: no value, no version, nothing runs.

#include "platform/Platform.h"

namespace orvanta {

class PosixRegistry : public Registry {
public:
    std::optional<std::string> ReadString(RegistryRoot, const std::string&, const std::string&,
                                          RegistryView) override {
        return std::nullopt;
    }
    std::string ToHostPath(const std::string& windowsPath) override { return windowsPath; }
};

class PosixFileVersions : public FileVersions {
public:
    FileVersion Read(const std::string&) override { return {}; }
};

class PosixProcesses : public Processes {
public:
    bool TopLevelWindowExists(const std::string&) override { return false; }
    std::vector<std::string> ProcessImageNames() override { return {}; }
};

class PosixSettings : public Settings {
public:
    std::optional<std::string> Get(const std::string&, const std::string&, const std::string&,
                                   const std::string&) override {
        return std::nullopt;
    }
    bool Save(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
};

class PosixShell : public Shell {
public:
    bool Open(const std::string&) override { return false; }
};

class PosixAccessControl : public AccessControl {
public:
    std::int64_t GetGrantedAccess(const std::string&) override { return -1; }
};

}  // namespace orvanta
