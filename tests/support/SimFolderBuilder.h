#pragma once

#include <string>
#include <vector>

namespace orvanta::test {

// Writes a simulator main folder for tests: its Scenery tree with the simulator's own
// scenery files, backups and magvar table, and optionally a main executable.
struct SimFolderBuilder {
    struct File {
        std::string area;  // "0502"
        std::string name;  // "APX47180.bgl", or a backup name such as "APX47180.bgl.bglbckup"
        std::string bytes;
    };
    std::vector<File> files;
    bool writeMagvar = true;
    std::string magvar;  // the simulator's magdec.bgl; an older default stamp when empty
    // Written into the main folder when both are set (for the folder checks of the
    // selection); the bytes are the caller's (an executable image with a version).
    std::string executableName;
    std::string executableBytes;

    SimFolderBuilder& Add(const std::string& area, const std::string& name, const std::string& bytes) {
        files.push_back({area, name, bytes});
        return *this;
    }

    // Writes into folder (created when absent). Returns the folder with a trailing separator.
    std::string Write(const std::string& folder) const;
};

// simRoot (ending with the separator) + Scenery/area/scenery/name, with the platform separator.
std::string SimSceneryPath(const std::string& simRoot, const std::string& area, const std::string& name);
std::string SimMagvarPath(const std::string& simRoot);

}  // namespace orvanta::test
