#include <gtest/gtest.h>

#include <optional>

#include "platform/WineRegistryParser.h"

namespace orvanta {
namespace {

constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;

// Lines as Wine 8 writes them. The views and hives of a whole prefix are the POSIX
// registry test's; here names match in any case, a key's default value is "@", metadata
// lines are skipped and a typed string is read unexpanded.
TEST(WineRegistryParserTest, NamesInAnyCaseDefaultValueTypedStringArchitectureAndDamagedKeys) {
    const WineRegistryHive hive = ParseWineRegistry(
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
        "[Software\\\\Lockheed Martin\\\\Prepar3D v4] 1796585397\n#time=1dd85b82db02b52\n"
        "\"SetupPath\"=\"C:\\\\P3D v4\\\\\"\n\n[Software\\\\Wow6432Node\\\\Test] 1796585398\n#link\n"
        "@=\"default value\"\n\"P3D3\"=str(2):\"%ProgramFiles%\\\\P3D3\"\n");
    EXPECT_EQ(hive.arch, WineArch::Win64);
    EXPECT_EQ(ReadWineValue(hive, "SOFTWARE\\lockheed martin\\PREPAR3D V4", "setuppath", k64, true), "C:\\P3D v4\\");
    EXPECT_EQ(ReadWineValue(hive, "Software\\Test", "", k32, true), "default value");
    EXPECT_EQ(ReadWineValue(hive, "Software\\Test", "P3D3", k32, true), "%ProgramFiles%\\P3D3");
    EXPECT_EQ(ReadWineValue(hive, "Software\\Test", "Absent", k32, true), std::nullopt);

    // The prefix's architecture, and key lines that cannot be read.
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
        std::optional<std::string> value;
    } cases[] = {
        {"quote and backslash", "\"say \\\"hi\\\" \\\\ end\"", "say \"hi\" \\ end"},
        {"\\x: Latin-1", "\"Pr\\xe9par3D\"", "Pr\xc3\xa9par3D"},
        {"\\x: wide", "\"\\x4e2d\\x6587\"", "\xe4\xb8\xad\xe6\x96\x87"},
        {"\\x takes four digits at most", "\"\\x00e91\"", "\xc3\xa9\x31"},  // \x31: "1"
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
