// Writes each fuzzer's seed corpus: orvanta-fuzz-seeds FOLDER makes FOLDER/<fuzzer>/seed-N.
// The seeds are made here, from the same fixture writers the tests use, so that no binary
// input is kept in the repository.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/DemoFixture.h"
#include "tools/PeImage.h"
#include "tools/SteamFixture.h"

namespace fs = std::filesystem;
using orvanta::tools::DemoListLine;

namespace {

// A string as FuzzedDataProvider::ConsumeRandomLengthString reads it back: backslashes
// doubled, then a backslash and another character to end it.
std::string Provided(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out + "\\;";
}

std::string Lines(const char* prefix, int first, int count, const char* eol = "\r\n") {
    std::string text;
    for (int i = first; i < first + count; ++i) text += DemoListLine(prefix, i) + eol;
    return text;
}

class Corpus {
public:
    Corpus(const fs::path& root, const std::string& name) : folder_(root / name) { fs::create_directories(folder_); }
    void Add(const std::string& bytes) {
        std::ofstream out(folder_ / ("seed-" + std::to_string(++n_)), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    fs::path folder_;
    int n_ = 0;
};

void PackageSeeds(const fs::path& root) {
    Corpus c(root, "package_check");
    auto package = [](const std::string& apx, const std::string& atx, const std::string& nvx, char missing) {
        return Provided("2213\r\n") + Provided("magvar") + Provided(apx) + Provided(atx) + Provided(nvx) +
               std::string(1, missing);
    };
    c.Add(package(Lines("APX", 0, 20), Lines("ATX", 0, 5), Lines("NVX", 0, 5), 0));
    c.Add(package("APX47180\r\nAPX99999\r\nAPX00050\r\napx47180\r\nAPX4718\r\n", "ATX05021\r\nATX12345\r\n",
                  "NVX05021\r\n\r\n", 0));
    c.Add(package(Lines("APX", 0, 3), Lines("ATX", 0, 3), Lines("NVX", 0, 3), 0x1F));
}

void RegistrySeeds(const fs::path& root) {
    Corpus c(root, "wine_registry");
    c.Add(
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
        "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n#time=1d9a\n"
        "\"SetupPath\"=\"C:\\\\Program Files (x86)\\\\Microsoft Games\\\\FSX\\\\\"\n@=\"default\"\n\n"
        "[Software\\\\Wow6432Node\\\\Lockheed Martin\\\\Prepar3D v4] 1700000000\n"
        "\"SetupPath\"=str(2):\"D:\\\\P3D\\\\\"\n\"Flags\"=dword:00000010\n"
        "\"Bin\"=hex:01,02,03,\\\n  04,05\n\"Wide\"=hex(2):43,00,3a,00,5c,00,00,00\n");
    c.Add(
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n\n"
        "[Software\\\\Lockheed Martin\\\\Prepar3D v3] 1700000000\n"
        "\"SetupPath\"=\"E:\\\\Sims\\\\P3D \\x00e9t\\x00e9\\\\\"\n\"Multi\"=hex(7):41,00,00,00,42,00,00,00,00,00\n");
    c.Add(
        "\xEF\xBB\xBFWINE REGISTRY Version 2\r\n[Software\\\\Wine]\r\n\"A\"=\"unterminated\r\n\"B\"=dword:zz\r\n"
        "\"C\"=hex:0g\r\n\"D\"=str(9):\"x\"\r\n");
}

void PeSeeds(const fs::path& root) {
    Corpus c(root, "pe_version");
    orvanta::tools::PeImageSpec spec;  // PE32+ with every part, then PE32 with a decoy icon, then no strings
    spec.build = 61637;
    c.Add(orvanta::tools::MakePeImage(spec));
    spec.pe32Plus = false;
    spec.decoyIcon = true;
    c.Add(orvanta::tools::MakePeImage(spec));
    spec.stringFileInfo = false;
    spec.language = 0;
    c.Add(orvanta::tools::MakePeImage(spec));
}

std::string MagvarTable(int version, int revision, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    if (size > 135) {
        bytes[133] = static_cast<char>(revision);
        bytes[134] = static_cast<char>(version & 0xFF);
        bytes[135] = static_cast<char>((version >> 8) & 0xFF);
    }
    return bytes;
}

void MagvarSeeds(const fs::path& root) {
    Corpus c(root, "magvar_stamp");
    c.Add(Provided(MagvarTable(2022, 3, 160)) + MagvarTable(2019, 1, 160));
    c.Add(Provided(MagvarTable(2022, 3, 136)) + MagvarTable(2022, 3, 136));
    c.Add(Provided(MagvarTable(0x7FFF, 255, 140)) + MagvarTable(-1, 0, 135));
}

void SettingsSeeds(const fs::path& root) {
    Corpus c(root, "settings");
    auto seed = [](const std::string& section, const std::string& key, const std::string& value,
                   const std::string& text) { return Provided(section) + Provided(key) + Provided(value) + text; };
    c.Add(seed("Used", "OrvantaUpdateLaunch", "5", "[Used]\nOrvantaUpdateLaunch=3\n"));
    c.Add(seed("Other", "Key", "x y", "; comment\r\n[Other]\r\nKey = old\r\n[used]\r\norvantaupdatelaunch= +7 \r\n"));
    c.Add(seed("Used", "X", "1", "OrvantaUpdateLaunch=9\n[ Used ]\nOrvantaUpdateLaunch=-2147483648"));
}

void CommandLineSeeds(const fs::path& root) {
    Corpus c(root, "command_line");
    auto args = [](const std::vector<std::string>& words) {
        std::string out;
        for (std::size_t i = 0; i < words.size(); ++i) out += (i ? std::string(1, '\0') : std::string()) + words[i];
        return out;
    };
    c.Add(args({"--package", "/pkg", "--nodetect", "--sim-folder", "/sims/FSX", "install", "--magvar", "--log"}));
    c.Add(args({"--sim", "3", "status", "--regions", "europe,0,America (North),far-east", "--categories", "apx,NVX"}));
    c.Add(args({"uninstall", "--restore-missing", "--regions", "all", "--force-full"}));
    c.Add(args({"--wine-prefix=/p", "--version", "--help", "check", "detect", "clean-shaders"}));
    c.Add("/foo/ NoDetect /bar");
}

void LibraryFoldersSeeds(const fs::path& root) {
    Corpus c(root, "library_folders");
    c.Add(orvanta::tools::LibraryFoldersVdf({"/home/pilot/.local/share/Steam", "/mnt/games/SteamLibrary"}));
    c.Add(orvanta::tools::LibraryFoldersVdf({"D:\\Games \"SSD\"\\Steam"}));
    c.Add("// by hand\nlibraryfolders [$LINUX] {\n 0 { PATH /mnt/c } [$LINUX]\n \"1\" { \"path\" \"a\\tb\\n\" }\n}\n");
    c.Add("\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/mnt/");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: orvanta-fuzz-seeds FOLDER\n";
        return 2;
    }
    const fs::path root = fs::u8path(argv[1]);
    PackageSeeds(root);
    RegistrySeeds(root);
    PeSeeds(root);
    MagvarSeeds(root);
    SettingsSeeds(root);
    CommandLineSeeds(root);
    LibraryFoldersSeeds(root);
    return 0;
}
