// The checker of scripts/crash-test. It knows nothing of the installer's code: it
// compares a simulator folder with hashes taken before the first run.
//
//   orvanta-crash-check record SIM PKG MANIFEST   hashes of the simulator's files and the package's
//   orvanta-crash-check verify SIM MANIFEST       nothing lost, no destination partly written
//   orvanta-crash-check same SIM MANIFEST         the folder is back as it was, byte for byte
//
// verify prints one line of counts and exits 1 on a loss or a foreign file; same exits 1
// on any difference. Every difference is printed.
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/TreeCheck.h"

namespace fs = std::filesystem;
using orvanta::tools::Tree;

namespace {

// FNV-1a, 64 bits, as hex text: enough to tell a whole file from a cut or foreign one.
std::string HashFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::uint64_t h = 1469598103934665603ull;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            h ^= static_cast<unsigned char>(buffer[i]);
            h *= 1099511628211ull;
        }
    }
    std::ostringstream out;
    out << std::hex << h;
    return out.str();
}

Tree HashTree(const fs::path& root) {
    Tree hashes;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_regular_file()) hashes[fs::relative(e.path(), root).generic_string()] = HashFile(e.path());
    }
    return hashes;
}

struct Manifest {
    Tree simulator;  // relative path -> hash
    Tree package;    // lower-case file name -> hash
};

Manifest ReadManifest(const std::string& path) {
    Manifest m;
    std::ifstream in(path);
    std::string kind, hash, line;
    while (in >> kind >> hash) {
        std::getline(in, line);
        (kind == "S" ? m.simulator : m.package)[line.substr(1)] = hash;
    }
    return m;
}

int Record(const fs::path& sim, const fs::path& pkg, const std::string& manifest) {
    std::ofstream out(manifest, std::ios::trunc);
    for (const auto& [relative, hash] : HashTree(sim)) out << "S " << hash << " " << relative << "\n";
    for (const auto& [relative, hash] : HashTree(pkg)) {
        std::string name = fs::path(relative).filename().string();
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bgl") == 0)
            out << "P " << hash << " " << name << "\n";
    }
    return out ? 0 : 2;
}

int Verify(const fs::path& sim, const std::string& manifestPath) {
    const Manifest m = ReadManifest(manifestPath);
    const orvanta::tools::LossReport r = orvanta::tools::CheckNothingLost(m.simulator, m.package, HashTree(sim));
    for (const std::string& p : r.problems) std::cout << p << "\n";
    std::cout << "originals " << m.simulator.size() << ": in place " << r.inPlace << ", at a backup " << r.atBackup
              << "; package files in place " << r.replaced << "; temporary leftovers " << r.leftovers << "; problems "
              << r.problems.size() << "\n";
    return r.problems.empty() ? 0 : 1;
}

int Same(const fs::path& sim, const std::string& manifestPath) {
    const std::vector<std::string> differences =
        orvanta::tools::CompareWithOriginals(ReadManifest(manifestPath).simulator, HashTree(sim));
    for (const std::string& d : differences) std::cout << d << "\n";
    std::cout << (differences.empty() ? "same as before the first run"
                                      : "differences: " + std::to_string(differences.size()))
              << "\n";
    return differences.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "record" && argc == 5) return Record(fs::u8path(argv[2]), fs::u8path(argv[3]), argv[4]);
        if (mode == "verify" && argc == 4) return Verify(fs::u8path(argv[2]), argv[3]);
        if (mode == "same" && argc == 4) return Same(fs::u8path(argv[2]), argv[3]);
    } catch (const std::exception& e) {
        std::cerr << "orvanta-crash-check: " << e.what() << "\n";
        return 2;
    }
    std::cerr << "usage: orvanta-crash-check record SIM PKG MANIFEST | verify SIM MANIFEST | same SIM MANIFEST\n";
    return 2;
}
