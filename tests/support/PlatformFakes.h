#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/PathSeparator.h"
#include "platform/Platform.h"

namespace orvanta::test {

// The program's surroundings as a test sets them: its folder, command line, local
// application data folder, and whether another instance holds the lock.
class FakeEnvironment : public Environment {
public:
    std::string programFolder;
    std::string commandLine;
    std::string localAppData;
    bool anotherInstanceRuns = false;
    std::vector<int> sleeps;  // every wait asked for, in milliseconds

    std::string ProgramFolder() override { return programFolder; }
    std::string CommandLineText() override { return commandLine; }
    std::optional<std::string> Variable(const std::string&) override { return std::nullopt; }  // never asked
    std::string LocalAppDataFolder() override { return localAppData; }
    bool AcquireSingleInstanceLock() override { return !anotherInstanceRuns; }
    void SleepMilliseconds(int ms) override { sleeps.push_back(ms); }
};

// Registry values by root, key, value name and view. Windows paths are host paths already,
// unless a drive is mapped: then "C:\a\b" becomes that drive's host folder + "/a/b" (with the
// platform's separator).
class FakeRegistry : public Registry {
public:
    std::map<std::tuple<RegistryRoot, std::string, std::string, RegistryView>, std::string> values;
    std::map<char, std::string> drives;  // upper-case letter -> host folder without separator

    void Set(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value,
             RegistryView view = RegistryView::Default32) {
        values[{root, key, name, view}] = value;
    }
    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                                          RegistryView view) override {
        auto it = values.find({root, key, name, view});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    std::string ToHostPath(const std::string& windowsPath) override {
        if (windowsPath.size() < 2 || windowsPath[1] != ':') return windowsPath;
        auto drive = drives.find(windowsPath[0]);
        if (drive == drives.end()) return windowsPath;
        std::string rest = windowsPath.substr(2);
        for (char& c : rest) {
            if (c == '\\') c = kSep;
        }
        return drive->second + rest;
    }
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
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return true;
    }
};

}  // namespace orvanta::test
