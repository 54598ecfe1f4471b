#include "bench/BenchFixtures.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>

#include "package/AreaGrid.h"
#include "package/PackageCheck.h"
#include "package/PathScheme.h"
#include "platform/posix/PosixFileSystem.h"
#include "tools/DemoFixture.h"

namespace fs = std::filesystem;

namespace orvanta::bench {

namespace {

// Removes the benchmark's folders when the run ends.
struct Scratch {
    std::string root;
    Scratch() {
        char pattern[] = "/tmp/orvanta-bench.XXXXXX";
        if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary folder");
        root = std::string(pattern) + "/";
    }
    ~Scratch() { fs::remove_all(root); }
};

Scratch& TheScratch() {
    static Scratch scratch;
    return scratch;
}

void Write(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string RandomBytes(std::mt19937& rng, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    return bytes;
}

void CheckCatalogue(Fixture& f) {
    PosixFileSystem posix;
    std::string log;
    f.state.AppFolder = f.pkg;
    CheckPackage(posix, f.state, log);
    if (!log.empty()) throw std::runtime_error("benchmark package damaged:\n" + log);
    f.state.SelectedSim = 1;
    f.state.SelectedSimFolder = f.sim;
}

// The 640 APX names of area 0502: every five-digit number whose finer cell falls there.
std::vector<std::string> NamesOfOneArea() {
    std::vector<std::string> names;
    for (int n = 0; n <= 99999; ++n) {
        std::string digits = std::to_string(n);
        const std::string line = "APX" + std::string(5 - digits.size(), '0') + digits;
        std::string area;
        if (AreaOfLine(FileCategory::APX, line, area) && area == "0502") names.push_back(line);
    }
    return names;
}

std::unique_ptr<Fixture> MakeCrowded(int replaced, int unrelated) {
    auto f = std::make_unique<Fixture>();
    const std::string base =
        TheScratch().root + "crowded-" + std::to_string(replaced) + "-" + std::to_string(unrelated) + "/";
    f->pkg = base + "package/";
    f->sim = base + "FSX/";
    std::mt19937 rng(640);
    std::uniform_int_distribution<std::size_t> size(2 * 1024, 24 * 1024);
    Write(f->pkg + "Cycle.txt", "2213\r\n");
    Write(f->pkg + "magdec.bgl", RandomBytes(rng, 4096));
    // One file each of the other categories (a list is never empty), in the next area.
    Write(f->pkg + "ATXFileList.txt", "ATX05030\r\n");
    Write(f->pkg + "NVXFileList.txt", "NVX05030\r\n");
    Write(f->pkg + "ATXFiles/ATX05030.bgl", RandomBytes(rng, 4096));
    Write(f->pkg + "NVXFiles/NVX05030.bgl", RandomBytes(rng, 4096));
    const std::string folder = f->sim + "Scenery/0502/scenery/";
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::string list;
    int k = 0;
    for (const std::string& name : NamesOfOneArea()) {
        list += name + "\r\n";
        const std::string source = f->pkg + "APXFiles/" + name + ".bgl";
        const std::string destination = folder + name + ".bgl";
        Write(source, RandomBytes(rng, size(rng)));
        if (k++ < replaced) {
            Write(destination, RandomBytes(rng, size(rng)));
            fs::last_write_time(destination, old);
        } else {
            fs::copy_file(source, destination);
            fs::last_write_time(destination, fs::last_write_time(source));
        }
    }
    Write(f->pkg + "APXFileList.txt", list);
    for (int i = 0; i < unrelated; ++i)
        Write(folder + "OWN" + std::to_string(10000 + i) + ".bgl", RandomBytes(rng, 512));
    CheckCatalogue(*f);
    return f;
}

}  // namespace

const Fixture& Demo() {
    static const std::unique_ptr<Fixture> demo = [] {
        auto f = std::make_unique<Fixture>();
        f->pkg = TheScratch().root + "package/";
        f->sim = TheScratch().root + "FSX/";
        tools::DemoSpec spec;
        tools::WriteDemoPackage(f->pkg, spec);
        tools::WriteDemoSimulator(f->pkg, f->sim, spec);
        CheckCatalogue(*f);
        return f;
    }();
    return *demo;
}

const Fixture& Crowded(int replaced, int unrelated) {
    static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> made;
    std::unique_ptr<Fixture>& f = made[{replaced, unrelated}];
    if (!f) f = MakeCrowded(replaced, unrelated);
    return *f;
}

StatusSelection All() {
    StatusSelection s;
    s.regions.fill(true);
    s.categories.fill(true);
    return s;
}

void UndoInstall(const ProgramState& scanned) {
    for (const std::string& destination : scanned.UpdatableDestList) {
        ::unlink(destination.c_str());
        if (::rename(BackupPath(destination).c_str(), destination.c_str()) != 0) {
            throw std::runtime_error("cannot put back " + destination);
        }
    }
}

std::string PlainRegional::ShortDate(int y, int m, int d) {
    return std::to_string(d) + "/" + std::to_string(m) + "/" + std::to_string(y);
}

std::string PlainRegional::Time(int h, int mi, int s) {
    return std::to_string(h) + ":" + std::to_string(mi) + ":" + std::to_string(s);
}

}  // namespace orvanta::bench
