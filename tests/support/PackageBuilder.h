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

}  // namespace orvanta::test
