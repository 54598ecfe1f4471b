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

namespace fs = std::filesystem;

namespace {

using Hashes = std::map<std::string, std::uint64_t>;  // relative path ('/') or file name -> hash

const char* const kBackup = ".bglbckup";
const char* const kMagvarBackup = ".bak";
const char* const kOldBackups[] = {".raxini", ".p3dini", ".ilsbckup"};
const char* const kPartial = ".orvanta-partial";

// FNV-1a, 64 bits: enough to tell a whole file from a cut or foreign one.
std::uint64_t HashFile(const fs::path& path) {
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
    return h;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

Hashes HashTree(const fs::path& root) {
    Hashes hashes;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_regular_file()) hashes[fs::relative(e.path(), root).generic_string()] = HashFile(e.path());
    }
    return hashes;
}

struct Manifest {
    Hashes simulator;  // relative path -> hash
    Hashes package;    // lower-case file name -> hash
};

Manifest ReadManifest(const std::string& path) {
    Manifest m;
    std::ifstream in(path);
    std::string kind, line;
    std::uint64_t hash = 0;
    while (in >> kind >> std::hex >> hash) {
        std::getline(in, line);
        line.erase(0, 1);
        (kind == "S" ? m.simulator : m.package)[line] = hash;
    }
    return m;
}

int Record(const fs::path& sim, const fs::path& pkg, const std::string& manifest) {
    std::ofstream out(manifest, std::ios::trunc);
    for (const auto& [relative, hash] : HashTree(sim)) out << "S " << std::hex << hash << " " << relative << "\n";
    for (const auto& [relative, hash] : HashTree(pkg)) {
        const std::string name = Lower(fs::path(relative).filename().string());
        if (EndsWith(name, ".bgl")) out << "P " << std::hex << hash << " " << name << "\n";
    }
    return out ? 0 : 2;
}

int Verify(const fs::path& sim, const std::string& manifestPath) {
    const Manifest m = ReadManifest(manifestPath);
    const Hashes now = HashTree(sim);
    auto at = [&](const std::string& relative, std::uint64_t hash) {
        auto it = now.find(relative);
        return it != now.end() && it->second == hash;
    };
    int inPlace = 0, atBackup = 0, atOldBackup = 0, lost = 0, replaced = 0, foreign = 0, leftovers = 0;
    for (const auto& [relative, hash] : m.simulator) {
        const bool magvar = EndsWith(Lower(relative), "magdec.bgl");
        if (at(relative, hash)) {
            ++inPlace;
        } else if (at(relative + (magvar ? kMagvarBackup : kBackup), hash)) {
            ++atBackup;
        } else {
            bool found = false;
            for (const char* ext : kOldBackups) found = found || at(relative + ext, hash);
            if (found) {
                ++atOldBackup;
            } else {
                ++lost;
                std::cout << "LOST: " << relative << "\n";
            }
        }
    }
    for (const auto& [relative, hash] : now) {
        const std::string lower = Lower(relative);
        if (EndsWith(lower, kPartial)) {
            ++leftovers;
            std::cout << "leftover temporary file: " << relative << "\n";
        } else if (EndsWith(lower, kBackup)) {
            const std::string of = relative.substr(0, relative.size() - std::string(kBackup).size());
            auto original = m.simulator.find(of);
            if (original == m.simulator.end() || original->second != hash) {
                ++foreign;
                std::cout << "FOREIGN BACKUP: " << relative << "\n";
            }
        } else if (EndsWith(lower, "int_t.bgl")) {
            continue;  // an obsolete area file of an older package, which the migration deletes
        } else if (EndsWith(lower, ".bgl")) {
            auto original = m.simulator.find(relative);
            if (original != m.simulator.end() && original->second == hash) continue;
            auto shipped = m.package.find(Lower(fs::path(relative).filename().string()));
            if (shipped != m.package.end() && shipped->second == hash) {
                ++replaced;
                continue;
            }
            ++foreign;
            std::cout << "PARTLY WRITTEN OR FOREIGN: " << relative << "\n";
        }
    }
    std::cout << "originals " << m.simulator.size() << ": in place " << inPlace << ", at backup " << atBackup
              << ", at old backup " << atOldBackup << ", lost " << lost << "; package files in place " << replaced
              << "; foreign " << foreign << "; temporary leftovers " << leftovers << "\n";
    return lost == 0 && foreign == 0 ? 0 : 1;
}

int Same(const fs::path& sim, const std::string& manifestPath) {
    const Manifest m = ReadManifest(manifestPath);
    Hashes now = HashTree(sim);
    Hashes expected = m.simulator;
    // The magvar table is never uninstalled: its original stays as the backup.
    for (const auto& [relative, hash] : m.simulator) {
        if (!EndsWith(Lower(relative), "magdec.bgl")) continue;
        auto backup = now.find(relative + kMagvarBackup);
        if (backup != now.end() && backup->second == hash) {
            now.erase(backup);
            now.erase(relative);
            expected.erase(relative);
        }
    }
    int differences = 0;
    for (const auto& [relative, hash] : expected) {
        auto it = now.find(relative);
        if (it == now.end()) {
            std::cout << "MISSING: " << relative << "\n";
            ++differences;
        } else if (it->second != hash) {
            std::cout << "DIFFERS: " << relative << "\n";
            ++differences;
        }
    }
    for (const auto& [relative, hash] : now) {
        if (!expected.count(relative)) {
            std::cout << "LEFT OVER: " << relative << "\n";
            ++differences;
        }
    }
    std::cout << (differences == 0 ? "same as before the first run" : "differences: " + std::to_string(differences))
              << "\n";
    return differences == 0 ? 0 : 1;
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
