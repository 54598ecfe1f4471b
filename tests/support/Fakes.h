#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Environment.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "platform/Platform.h"
#include "platform/Settings.h"

namespace orvanta::test {

// A regional format with fixed, recognisable renderings: "7.3.2021" and "14h5m9".
class FixedRegional : public RegionalFormat {
public:
    std::string ShortDate(int y, int m, int d) override {
        return std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
    }
    std::string Time(int h, int mi, int s) override {
        return std::to_string(h) + "h" + std::to_string(mi) + "m" + std::to_string(s);
    }
};

// Settings in memory; either direction can be made to fail.
class MemorySettings : public Settings {
public:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
    bool failRead = false;
    bool failWrite = false;

    std::optional<std::string> Get(const std::string& a, const std::string& s, const std::string& k,
                                   const std::string& defaultValue) override {
        if (failRead) return std::nullopt;
        auto it = values.find({a, s, k});
        return it == values.end() ? defaultValue : it->second;
    }
    bool Save(const std::string& a, const std::string& s, const std::string& k, const std::string& v) override {
        if (failWrite) return false;
        values[{a, s, k}] = v;
        return true;
    }
};

// The program's surroundings as a test sets them: its folder, command line, local
// application data folder, and whether another instance holds the lock.
class FakeEnvironment : public Environment {
public:
    std::string programFolder;
    std::string commandLine;
    std::string localAppData;
    bool anotherInstanceRuns = false;
    std::string lockFileInTheWay;  // named with the refusal when another instance "runs"
    std::vector<int> sleeps;       // every wait asked for, in milliseconds

    std::string ProgramFolder() override { return programFolder; }
    std::string CommandLineText() override { return commandLine; }
    std::optional<std::string> Variable(const std::string&) override { return std::nullopt; }  // never asked
    std::string LocalAppDataFolder() override { return localAppData; }
    bool AcquireSingleInstanceLock() override { return !anotherInstanceRuns; }
    std::string LockFileInTheWay() override { return lockFileInTheWay; }
    void SleepMilliseconds(int ms) override { sleeps.push_back(ms); }
};

// Registry values by root, key, value name and view. Windows paths are host paths already:
// the mapping of drives to a Wine prefix's folders is the POSIX command tests'.
class FakeRegistry : public Registry {
public:
    std::map<std::tuple<RegistryRoot, std::string, std::string, RegistryView>, std::string> values;

    void Set(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value,
             RegistryView view = RegistryView::Default32) {
        values[{root, key, name, view}] = value;
    }
    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                                          RegistryView view) override {
        auto it = values.find({root, key, name, view});
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    std::string ToHostPath(const std::string& windowsPath) override { return windowsPath; }
};

// File versions by path; 0.0.0.0 for any other path.
class FakeFileVersions : public FileVersions {
public:
    std::map<std::string, FileVersion> versions;
    FileVersion Read(const std::string& path) override {
        auto it = versions.find(path);
        return it == versions.end() ? FileVersion{} : it->second;
    }
};

class FakeProcesses : public Processes {
public:
    std::set<std::string> windowClasses;
    std::vector<std::string> processNames;
    int processQueries = 0;
    // The process list query with this number (1-based) throws, as a broken system service
    // might make it; 0 never.
    int throwOnQuery = 0;
    bool TopLevelWindowExists(const std::string& windowClass) override { return windowClasses.count(windowClass) > 0; }
    std::vector<std::string> ProcessImageNames() override {
        if (++processQueries == throwOnQuery) throw std::runtime_error("process list unavailable");
        return processNames;
    }
};

// One granted mask for every path; -1 means the check is not possible.
class FakeAccessControl : public AccessControl {
public:
    std::int64_t granted = 0x1F01FF;
    std::vector<std::string> asked;
    std::int64_t GetGrantedAccess(const std::string& path) override {
        asked.push_back(path);
        return granted;
    }
};

// Records what it was asked to open.
class FakeShell : public Shell {
public:
    std::vector<std::string> opened;
    bool fails = false;
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return !fails;
    }
};

// The machine for tests: the real file system of this platform (tests work in temporary
// folders) and the fakes for everything else, lent as one Platform.
struct FakePlatform {
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    FakeEnvironment env;
    FixedRegional regional;
    FakeRegistry registry;
    FakeFileVersions versions;
    FakeProcesses processes;
    MemorySettings settings;
    FakeShell shell;
    FakeAccessControl access;
    Platform platform{native->get().fs, env, regional, registry, versions, processes, settings, shell, access};

    FileSystem& fs() { return platform.fs; }
    // The same machine seen through another file system (one that fails or counts).
    Platform Over(FileSystem& through) {
        return {through, env, regional, registry, versions, processes, settings, shell, access};
    }
};

}  // namespace orvanta::test
