#include "tools/DemoFixture.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

#include "tools/PeImage.h"

namespace fs = std::filesystem;

namespace orvanta::tools {

namespace {

constexpr int kCells = 96;  // 12 by 8 scenery areas

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        throw std::runtime_error("cannot write " + path.u8string());
    }
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Digits(int value, int width) {
    std::string s = std::to_string(value);
    return std::string(static_cast<std::size_t>(width) - s.size(), '0') + s;
}

std::string MagvarTable(int version, int revision, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    bytes[133] = static_cast<char>(revision);
    bytes[134] = static_cast<char>(version & 0xFF);
    bytes[135] = static_cast<char>((version >> 8) & 0xFF);
    return bytes;
}

std::string SceneryBytes(std::mt19937& rng, const DemoSpec& spec, const std::string& tag) {
    std::uniform_int_distribution<std::size_t> sizeDist(spec.minFileSize, spec.maxFileSize);
    std::string bytes(sizeDist(rng), '\0');
    std::uniform_int_distribution<int> byteDist(0, 255);
    for (char& c : bytes) c = static_cast<char>(byteDist(rng));
    bytes.replace(0, std::min(tag.size(), bytes.size()), tag.substr(0, bytes.size()));
    return bytes;
}

fs::file_time_type DaysAgo(int days) { return fs::file_time_type::clock::now() - std::chrono::hours(24 * days); }

struct Listed {
    std::string prefix;
    std::string line;
};

std::vector<Listed> AllLines(const DemoSpec& spec) {
    std::vector<Listed> all;
    for (int i = 0; i < spec.apx; ++i) all.push_back({"APX", DemoListLine("APX", i)});
    for (int i = 0; i < spec.atx; ++i) all.push_back({"ATX", DemoListLine("ATX", i)});
    for (int i = 0; i < spec.nvx; ++i) all.push_back({"NVX", DemoListLine("NVX", i)});
    return all;
}

// The area folder a list line belongs to, by the same cell arithmetic as DemoListLine.
std::string AreaOf(const std::string& prefix, int i) {
    const int cell = i % kCells;
    (void)prefix;
    return Digits(cell / 8, 2) + Digits(cell % 8, 2);
}

}  // namespace

std::string DemoListLine(const char* prefix, int i) {
    const int cell = i % kCells;
    const int k = i / kCells;
    const int xx = cell / 8;
    const int yy = cell % 8;
    if (std::string(prefix) == "APX") {
        // M = Q * 100 + R with Q / 8 == XX and R / 8 == YY; the name carries M * 10.
        const int q = xx * 8 + (k / 8) % 8;
        const int r = yy * 8 + k % 8;
        return std::string(prefix) + Digits((q * 100 + r) * 10, 5);
    }
    return std::string(prefix) + Digits(xx, 2) + Digits(yy, 2) + Digits(k % 10, 1);
}

void WriteDemoPackage(const std::string& packageFolder, const DemoSpec& spec) {
    const fs::path root = fs::u8path(packageFolder);
    fs::create_directories(root);
    WriteFile(root / "Cycle.txt", spec.cycle + "\r\n");
    WriteFile(root / "magdec.bgl", MagvarTable(0x2022, 3, 4096));
    std::mt19937 rng(spec.seed);
    std::string lists[3];
    const char* prefixes[3] = {"APX", "ATX", "NVX"};
    for (const Listed& l : AllLines(spec)) {
        const int c = l.prefix == "APX" ? 0 : l.prefix == "ATX" ? 1 : 2;
        lists[c] += l.line + "\r\n";
        WriteFile(root / (l.prefix + "Files") / (l.line + ".bgl"), SceneryBytes(rng, spec, "NEW " + l.line));
    }
    for (int c = 0; c < 3; ++c) {
        fs::create_directories(root / (std::string(prefixes[c]) + "Files"));
        WriteFile(root / (std::string(prefixes[c]) + "FileList.txt"), lists[c]);
    }
}

DemoSimSummary WriteDemoSimulator(const std::string& packageFolder, const std::string& simFolder,
                                  const DemoSpec& spec) {
    const fs::path pkg = fs::u8path(packageFolder);
    const fs::path sim = fs::u8path(simFolder);
    WriteFile(sim / "FSX.exe", MakeVersionedExecutable(10, 0, 61637, 0));
    WriteFile(sim / "Scenery" / "BASE" / "scenery" / "magdec.bgl", MagvarTable(0x2019, 1, 4096));
    std::mt19937 rng(spec.seed + 1);
    std::uniform_int_distribution<int> kind(0, 9);
    DemoSimSummary summary;
    int index[3] = {0, 0, 0};
    for (const Listed& l : AllLines(spec)) {
        const int c = l.prefix == "APX" ? 0 : l.prefix == "ATX" ? 1 : 2;
        const std::string area = AreaOf(l.prefix, index[c]++);
        const fs::path folder = sim / "Scenery" / area / "scenery";
        fs::create_directories(folder);
        // A file of the simulator's own beside ours, which nothing may touch.
        if (!fs::exists(folder / "OWN_AREA.bgl")) WriteFile(folder / "OWN_AREA.bgl", "own " + area);
        const fs::path source = pkg / (l.prefix + "Files") / (l.line + ".bgl");
        const fs::path dest = folder / (l.line + ".bgl");
        const int k = kind(rng);
        if (k < 5) {
            WriteFile(dest, SceneryBytes(rng, spec, "OLD " + l.line));
            fs::last_write_time(dest, DaysAgo(400 + k));
            ++summary.updatable;
        } else if (k < 7) {
            WriteFile(dest, ReadFile(source));
            fs::last_write_time(dest, fs::last_write_time(source));
            ++summary.upToDate;
        } else {
            ++summary.missing;
        }
    }
    return summary;
}

}  // namespace orvanta::tools
