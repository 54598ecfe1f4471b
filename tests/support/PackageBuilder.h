#pragma once

#include <string>
#include <vector>

namespace orvanta::test {

// Writes a package folder for tests: the fixed files, the three lists and the listed
// files. Every part can be left out or replaced to break the package as users do.
struct PackageBuilder {
    // List lines; each list names one file unless a test says otherwise.
    std::vector<std::string> apx = {"APX47180"};
    std::vector<std::string> atx = {"ATX05021"};
    std::vector<std::string> nvx = {"NVX05021"};
    std::string cycle = "2213\r\n";
    std::string magvar;  // the package's magdec.bgl bytes; a default stamp when empty

    // Writes into folder (created when absent). Returns the folder with a trailing separator.
    std::string Write(const std::string& folder) const;
};

// A magdec.bgl whose stamp has the revision byte at offset 133 and the 16-bit version at 134.
std::string MagvarBytes(int version, int revision);

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
