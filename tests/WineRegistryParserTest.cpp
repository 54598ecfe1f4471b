#include <gtest/gtest.h>

#include <optional>

#include "platform/WineRegistryParser.h"

namespace orvanta {
namespace {

constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;
using Text = std::optional<std::string>;

// Lines as Wine 8 writes them (taken from a prefix after `wine reg add`). The program reads
// string values only.
const char* const kSystemReg64 =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Lockheed Martin\\\\Prepar3D v4] 1796585397\n"
    "#time=1dd85b82db02b52\n"
    "\"SetupPath\"=\"C:\\\\Program Files\\\\Lockheed Martin\\\\Prepar3D v4\\\\\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Lockheed Martin\\\\Prepar3D v3] 1796585398\n"
    "\"SetupPath\"=str(2):\"%ProgramFiles%\\\\P3D3\"\n"
    "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1796585397\n"
    "\"SetupPath\"=\"C:\\\\FSX\"\n"
    "[Software\\\\Wow6432Node\\\\Test] 1796585398\n"
    "@=\"default value\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Wine\\\\Ports] 1796585380\n"
    "#link\n";

TEST(WineRegistryParserTest, ValuesAndViewsOfA64BitPrefix) {
    const std::string p3d4 = "Software\\Lockheed Martin\\Prepar3D v4";
    const std::string fsx = "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
    const struct {
        std::string key, name;
        RegistryView view;
        Text value;
    } cases[] = {
        // Prepar3D v4 lives in the 64-bit view only; FSX in the 32-bit one (Wow6432Node) only.
        {p3d4, "SetupPath", k32, std::nullopt},
        {fsx, "SetupPath", k32, "C:\\FSX"},
        {"SOFTWARE\\lockheed martin\\PREPAR3D V4", "setuppath", k64,
         "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\"},
        {"Software\\Lockheed Martin\\Prepar3D v3", "SetupPath", k32, "%ProgramFiles%\\P3D3"},  // unexpanded
        {"Software\\Test", "", k32, "default value"},
        {"Software\\Test", "Absent", k32, std::nullopt},
    };
    const WineRegistryHive hive = ParseWineRegistry(kSystemReg64);
    EXPECT_EQ(hive.arch, WineArch::Win64);
    for (const auto& c : cases) {
        EXPECT_EQ(ReadWineValue(hive, c.key, c.name, c.view, true), c.value) << c.key << " " << c.name;
    }

}

TEST(WineRegistryParserTest, ThePrefixArchitectureAndDamagedKeyLines) {
    const std::string head = "WINE REGISTRY Version 2\n", key = "[Software\\\\A] 1\n\"V\"=\"a\"\n";
    const WineRegistryHive win32 = ParseWineRegistry(head + "#arch=win32\n" + key);
    EXPECT_EQ(win32.arch, WineArch::Win32);
    for (RegistryView view : {k32, k64}) EXPECT_EQ(ReadWineValue(win32, "Software\\A", "V", view, true), "a");
    // Without an arch line, a Wow6432Node means 64 bits.
    EXPECT_EQ(ParseWineRegistry(head + key).arch, WineArch::Win32);
    EXPECT_EQ(ParseWineRegistry(head + key + "[Software\\\\Wow6432Node\\\\A] 1\n").arch, WineArch::Win64);
    EXPECT_EQ(ParseWineRegistry(head + key + "[Software\\\\Wow6432NodeX] 1\n").arch, WineArch::Win32);
    // The values below a key line that cannot be read are not filed under the key before.
    const WineRegistryHive damaged = ParseWineRegistry(head + key + "[Software\\\\B\n\"W\"=\"b\"\n");
    EXPECT_EQ(ReadWineValue(damaged, "Software\\A", "W", k32, true), std::nullopt);
}

TEST(WineRegistryParserTest, ValueSyntax) {
    const std::string longName(5000, 'L');
    const struct {
        const char* name;
        std::string written;  // after "V"=
        Text value;
    } cases[] = {
        {"quote and backslash", "\"say \\\"hi\\\" \\\\ end\"", "say \"hi\" \\ end"},
        {"\\x: Latin-1", "\"Pr\\xe9par3D\"", "Pr\xc3\xa9par3D"},
        {"\\x: wide", "\"\\x4e2d\\x6587\"", "\xe4\xb8\xad\xe6\x96\x87"},
        {"\\x takes four digits at most", "\"\\x00e91\"",
         "\xc3\xa9"
         "1"},
        {"a surrogate pair", "\"\\xd83d\\xde00\"", "\xf0\x9f\x98\x80"},
        {"a lone surrogate", "\"\\xd83dx\"", "\xef\xbf\xbdx"},
        {"octal, as the NUL of a value written with one", "\"C:\\\\FSX\\0\\107\\7\"", std::string("C:\\FSX\0G\7", 9)},
        {"UTF-8 as is", "\"Pr\xc3\xa9par3D\"", "Pr\xc3\xa9par3D"},
        {"a long value", "\"C:\\\\" + longName + "\"", "C:\\" + longName},
        {"hex(1): UTF-16 text", "hex(1):43,00,3a,00,5c,00,e9,00", "C:\\\xc3\xa9"},
        {"hex(2) over two lines", "hex(2):43,00,3a,00,5c,00,\\\n  44,00", "C:\\D"},
        {"a dword, little-endian", "dword:0012abcd", std::string("\xcd\xab\x12\x00", 4)},
        {"a dword of nine digits", "dword:123456789", std::nullopt},
        {"unclosed", "\"C:\\\\P3D", std::nullopt},
        {"trailing junk", "\"x\" junk", std::nullopt},
        {"unknown type", "wat:1", std::nullopt},
        {"bad hex", "hex:01,zz", std::nullopt},
        {"ends in an escape", "\"abc\\", std::nullopt},
        {"the file ends inside a continuation", "hex:01,02,\\", std::nullopt},
    };
    for (const auto& c : cases) {
        const WineRegistryHive hive =
            ParseWineRegistry("WINE REGISTRY Version 2\n[Software\\\\T] 1\n\"V\"=" + c.written + "\n");
        EXPECT_EQ(ReadWineValue(hive, "Software\\T", "V", k32, true), c.value) << c.name;
    }
}

}  // namespace
}  // namespace orvanta
