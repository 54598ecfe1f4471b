// Writes each fuzzer's seed corpus: orvanta-fuzz-seeds FOLDER makes FOLDER/<fuzzer>/seed-N.
// The seeds are made here, from the same fixture writers the tests use, so that no binary
// input is kept in the repository.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/PeImage.h"
#include "tools/SteamFixture.h"

namespace fs = std::filesystem;

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

void Write(const fs::path& root, const std::string& name, const std::vector<std::string>& seeds) {
    fs::create_directories(root / name);
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream(root / name / ("seed-" + std::to_string(i + 1)), std::ios::binary) << seeds[i];
    }
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

std::string Arguments(const std::vector<std::string>& words) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) out += (i ? std::string(1, '\0') : std::string()) + words[i];
    return out;
}

}  // namespace

// A few seeds a fuzzer: a sound input and one with odd or broken parts; the fuzzer finds
// the rest.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: orvanta-fuzz-seeds FOLDER\n";
        return 2;
    }
    const fs::path root = fs::u8path(argv[1]);
    const auto package = [](const std::string& apx, const std::string& atx, const std::string& nvx, char missing) {
        return Provided("2213\r\n") + Provided("magvar") + Provided(apx) + Provided(atx) + Provided(nvx) +
               std::string(1, missing);
    };
    Write(root, "package_check",
          {package("APX47180\r\nAPX47995\r\n", "ATX05021\r\n", "NVX05021\r\n", 0),
           package("APX47180\r\nAPX99999\r\nAPX00050\r\napx47180\r\nAPX4718\r\n", "ATX05021\r\nATX12345\r\n",
                   "NVX05021\r\n\r\n", 0)});
    Write(root, "wine_registry",
          {"WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
           "[Software\\\\Wow6432Node\\\\Lockheed Martin\\\\Prepar3D v4] 1700000000\n#time=1d9a\n"
           "\"SetupPath\"=str(2):\"D:\\\\P3D \\x00e9\\\\\"\n@=\"default\"\n\"Flags\"=dword:00000010\n"
           "\"Bin\"=hex:01,02,03,\\\n  04,05\n\"Wide\"=hex(2):43,00,3a,00,5c,00,00,00\n"
           "\"Multi\"=hex(7):41,00,00,00,42,00,00,00,00,00\n",
           "\xEF\xBB\xBFWINE REGISTRY Version 2\r\n[Software\\\\Wine]\r\n\"A\"=\"unterminated\r\n\"B\"=dword:zz\r\n"
           "\"C\"=hex:0g\r\n\"D\"=str(9):\"x\"\r\n"});
    orvanta::tools::PeImageSpec pe32Plus;  // every part
    pe32Plus.build = 61637;
    orvanta::tools::PeImageSpec pe32;  // a decoy icon, no strings
    pe32.pe32Plus = false;
    pe32.decoyIcon = true;
    pe32.stringFileInfo = false;
    pe32.language = 0;
    Write(root, "pe_version", {orvanta::tools::MakePeImage(pe32Plus), orvanta::tools::MakePeImage(pe32)});
    Write(root, "magvar_stamp",
          {Provided(MagvarTable(2022, 3, 160)) + MagvarTable(2019, 1, 160),
           Provided(MagvarTable(0x7FFF, 255, 140)) + MagvarTable(-1, 0, 135)});
    Write(root, "settings",
          {Provided("Other") + Provided("Key") + Provided("x y") +
               "; comment\r\n[Other]\r\nKey = old\r\n[used]\r\norvantaupdatelaunch= +7 \r\n",
           Provided("Used") + Provided("X") + Provided("1") +
               "OrvantaUpdateLaunch=9\n[ Used ]\nOrvantaUpdateLaunch=-2147483648"});
    Write(root, "command_line",
          {Arguments({"--package", "/pkg", "--nodetect", "--sim-folder", "/sims/FSX", "install", "--magvar", "--log",
                      "--restore-missing", "--force-full"}),
           Arguments({"--sim", "3", "status", "--regions", "europe,0,America (North),far-east", "--categories", "apx"}),
           Arguments({"--wine-prefix=/p", "--version", "--help", "check", "detect", "clean-shaders"}),
           "/foo/ NoDetect /bar"});
    Write(root, "library_folders",
          {orvanta::tools::LibraryFoldersVdf({"/home/pilot/.local/share/Steam", "D:\\Games \"SSD\"\\Steam"}),
           "\xEF\xBB\xBF// by hand\nlibraryfolders [$LINUX] {\n 0 { PATH /mnt/c } [$LINUX]\n \"1\" { \"path\" "
           "\"a\\tb\\n\" }\n}\n"});
    return 0;
}
