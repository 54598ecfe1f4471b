#include <gtest/gtest.h>

#include <random>

#include "platform/WineRegistryParser.h"

namespace orvanta {
namespace {

constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;

// Lines as Wine 8 writes them (taken from a prefix after `wine reg add`).
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
    "#time=1dd85b82de97a2e\n"
    "\"SetupPath\"=str(2):\"%ProgramFiles%\\\\P3D3\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1796585397\n"
    "#time=1dd85b82dc581be\n"
    "\"SetupPath\"=\"C:\\\\FSX\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Test] 1796585398\n"
    "#time=1dd85b82e423038\n"
    "@=\"default value\"\n"
    "\"Bin\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\n"
    "  18,19,1a\n"
    "\"Dw\"=dword:12345678\n"
    "\"Multi\"=str(7):\"a\\0b\\0\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Wine\\\\Ports] 1796585380\n"
    "#time=1dd85b8231e72d4\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,45,00\n";

TEST(WineRegistryParserTest, ReadsWhatWineWrites) {
    const WineRegistryHive hive = ParseWineRegistry(kSystemReg64);
    EXPECT_EQ(hive.arch, WineArch::Win64);
    EXPECT_EQ(ReadWineValue(hive, "Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", k64, true),
              "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\");
    // str(2): an expand string, given unexpanded.
    EXPECT_EQ(ReadWineValue(hive, "Software\\Lockheed Martin\\Prepar3D v3", "SetupPath", k32, true),
              "%ProgramFiles%\\P3D3");
    EXPECT_EQ(hive.Find("software\\wow6432node\\lockheed martin\\prepar3d v3", "setuppath")->type, kRegExpandSz);
    // The default value, binary data over a continuation line, a dword, embedded NULs.
    EXPECT_EQ(ReadWineValue(hive, "Software\\Test", "", k32, true), "default value");
    std::string bin;
    for (int i = 1; i <= 0x1a; ++i) bin += static_cast<char>(i);
    EXPECT_EQ(ReadWineValue(hive, "Software\\Test", "Bin", k32, true), bin);
    EXPECT_EQ(ReadWineValue(hive, "Software\\Test", "Dw", k32, true), std::string("\x78\x56\x34\x12", 4));
    EXPECT_EQ(ReadWineValue(hive, "Software\\Test", "Multi", k32, true), std::string("a\0b\0", 4));
    // Keys and value names ignore case.
    EXPECT_EQ(ReadWineValue(hive, "SOFTWARE\\lockheed martin\\PREPAR3D V4", "setuppath", k64, true),
              "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\");
}

TEST(WineRegistryParserTest, ThirtyTwoBitViewOfA64BitPrefixIsTheWow6432Node) {
    const WineRegistryHive hive = ParseWineRegistry(kSystemReg64);
    // Prepar3D v4 lives in the 64-bit view only; FSX in the 32-bit one only.
    EXPECT_FALSE(ReadWineValue(hive, "Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", k32, true));
    EXPECT_EQ(
        ReadWineValue(hive, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", "SetupPath", k32, true),
        "C:\\FSX");
    EXPECT_FALSE(
        ReadWineValue(hive, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", "SetupPath", k64, true));
    // The user's hive has one view: no redirection there.
    EXPECT_EQ(WineKeyForView(hive, "Software\\X", k32, false), "software\\x");
    EXPECT_EQ(WineKeyForView(hive, "Software\\X", k32, true), "software\\wow6432node\\x");
    EXPECT_EQ(WineKeyForView(hive, "Software\\Wow6432Node\\X", k32, true), "software\\wow6432node\\x");
    EXPECT_EQ(WineKeyForView(hive, "System\\X", k32, true), "system\\x");
    EXPECT_EQ(WineKeyForView(hive, "SoftwareX\\Y", k32, true), "softwarex\\y");
}

TEST(WineRegistryParserTest, A32BitPrefixHasOneView) {
    const std::string text =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\Machine\n"
        "#arch=win32\n"
        "[Software\\\\Lockheed Martin\\\\Prepar3D v4] 1\n"
        "\"SetupPath\"=\"C:\\\\P3D\"\n";
    const WineRegistryHive hive = ParseWineRegistry(text);
    EXPECT_EQ(hive.arch, WineArch::Win32);
    EXPECT_EQ(ReadWineValue(hive, "Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", k32, true), "C:\\P3D");
    EXPECT_EQ(ReadWineValue(hive, "Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", k64, true), "C:\\P3D");
}

TEST(WineRegistryParserTest, WithoutArchLineAWow6432NodeMeans64Bit) {
    const std::string base = "WINE REGISTRY Version 2\n[Software\\\\A] 1\n\"V\"=\"a\"\n";
    EXPECT_EQ(ParseWineRegistry(base).arch, WineArch::Win32);
    EXPECT_EQ(ParseWineRegistry(base + "[Software\\\\Wow6432Node\\\\A] 1\n\"V\"=\"b\"\n").arch, WineArch::Win64);
    EXPECT_EQ(ParseWineRegistry(base + "[Software\\\\Wow6432NodeX] 1\n").arch, WineArch::Win32);
}

TEST(WineRegistryParserTest, Escapes) {
    const std::string text =
        "WINE REGISTRY Version 2\n"
        "[Software\\\\Esc\\[1\\]] 1\n"
        "\"Quote\"=\"say \\\"hi\\\" \\\\ end\"\n"
        "\"Latin\"=\"Pr\\xe9par3D\"\n"     // é
        "\"Wide\"=\"\\x4e2d\\x6587\"\n"    // 中文
        "\"HexThenDigit\"=\"\\x00e91\"\n"  // é then the digit 1: four digits at most
        "\"Pair\"=\"\\xd83d\\xde00\"\n"    // one character beyond the BMP
        "\"Lone\"=\"\\xd83dx\"\n"          // a lone surrogate becomes U+FFFD
        "\"Controls\"=\"a\\tb\\nc\\r\\a\\b\\e\\f\\v\"\n"
        "\"Octal\"=\"\\0\\101\\7\"\n"
        "\"Raw\"=\"Pr\xc3\xa9par3D\"\n"  // UTF-8 written as is passes through
        "\"Name \\\"q\\\"\"=\"named\"\n";
    const WineRegistryHive hive = ParseWineRegistry(text);
    auto read = [&](const std::string& name) { return ReadWineValue(hive, "Software\\Esc[1]", name, k32, true); };
    EXPECT_EQ(read("Quote"), "say \"hi\" \\ end");
    EXPECT_EQ(read("Latin"), "Pr\xc3\xa9par3D");
    EXPECT_EQ(read("Wide"), "\xe4\xb8\xad\xe6\x96\x87");
    EXPECT_EQ(read("HexThenDigit"),
              "\xc3\xa9"
              "1");
    EXPECT_EQ(read("Pair"), "\xf0\x9f\x98\x80");
    EXPECT_EQ(read("Lone"), "\xef\xbf\xbdx");
    EXPECT_EQ(read("Controls"), "a\tb\nc\r\a\b\x1b\f\v");
    EXPECT_EQ(read("Octal"), std::string("\0A\7", 3));
    EXPECT_EQ(read("Raw"), "Pr\xc3\xa9par3D");
    EXPECT_EQ(read("Name \"q\""), "named");
}

TEST(WineRegistryParserTest, StringTypesWrittenAsHexAreDecoded) {
    // Wine writes a string without its terminating NUL as hex(1) or hex(2), in UTF-16.
    const std::string text =
        "WINE REGISTRY Version 2\n"
        "[Software\\\\H] 1\n"
        "\"Sz\"=hex(1):43,00,3a,00,5c,00,e9,00\n"
        "\"Exp\"=hex(2):43,00,3a,00,5c,00,\\\n"
        "  44,00\n"
        "\"Other\"=hex(6):43,00\n";
    const WineRegistryHive hive = ParseWineRegistry(text);
    EXPECT_EQ(ReadWineValue(hive, "Software\\H", "Sz", k32, true), "C:\\\xc3\xa9");
    EXPECT_EQ(ReadWineValue(hive, "Software\\H", "Exp", k32, true), "C:\\D");
    EXPECT_EQ(ReadWineValue(hive, "Software\\H", "Other", k32, true), std::string("C\0", 2));
}

TEST(WineRegistryParserTest, ALongValueIsReadWhole) {
    const std::string folder = "C:\\" + std::string(5000, 'L');
    std::string escaped = "C:\\\\" + std::string(5000, 'L');
    const WineRegistryHive hive =
        ParseWineRegistry("WINE REGISTRY Version 2\n[Software\\\\L] 1\n\"SetupPath\"=\"" + escaped + "\"\n");
    EXPECT_EQ(ReadWineValue(hive, "Software\\L", "SetupPath", k32, true), folder);
}

TEST(WineRegistryParserTest, CrLfLinesAndALaterValueWins) {
    const WineRegistryHive hive = ParseWineRegistry(
        "WINE REGISTRY Version 2\r\n[Software\\\\A] 1\r\n\"V\"=\"one\"\r\n[software\\\\a] 2\r\n\"v\"=\"two\"\r\n");
    EXPECT_EQ(ReadWineValue(hive, "Software\\A", "V", k32, true), "two");
}

TEST(WineRegistryParserTest, DamagedLinesGiveNoValueAndSpareTheirNeighbours) {
    const std::string text =
        "WINE REGISTRY Version 2\n"
        "\"Orphan\"=\"before any key\"\n"
        "[Software\\\\A] 1\n"
        "\"Good1\"=\"ok\"\n"
        "\"Unclosed\"=\"C:\\\\P3D\n"
        "\"Trailing\"=\"x\" junk\n"
        "\"BadType\"=wat:1\n"
        "\"BadHex\"=hex:01,zz\n"
        "\"BadDword\"=dword:123456789\n"
        "\"NoEquals\" \"x\"\n"
        "\"EndsInEscape\"=\"abc\\\n"
        "\"Good2\"=\"ok\"\n"
        "[Software\\\\Unclosed\n"
        "\"Lost\"=\"not filed under A\"\n"
        "[Software\\\\B] 1\n"
        "\"Cut\"=hex:01,02,\\\n";  // the file ends inside a continuation
    const WineRegistryHive hive = ParseWineRegistry(text);
    for (const char* name :
         {"Orphan", "Unclosed", "Trailing", "BadType", "BadHex", "BadDword", "NoEquals", "EndsInEscape", "Lost"}) {
        EXPECT_FALSE(ReadWineValue(hive, "Software\\A", name, k32, true)) << name;
    }
    EXPECT_EQ(ReadWineValue(hive, "Software\\A", "Good1", k32, true), "ok");
    EXPECT_EQ(ReadWineValue(hive, "Software\\A", "Good2", k32, true), "ok");
    EXPECT_FALSE(ReadWineValue(hive, "Software\\B", "Cut", k32, true));
}

TEST(WineRegistryParserTest, NotARegistryFileGivesNothing) {
    EXPECT_TRUE(ParseWineRegistry("").keys.empty());
    EXPECT_TRUE(ParseWineRegistry("REGEDIT4\n[Software\\\\A]\n\"V\"=\"a\"\n").keys.empty());
    EXPECT_TRUE(ParseWineRegistry(std::string("\0\0\0", 3)).keys.empty());
}

TEST(WineRegistryParserTest, EveryTruncationAndByteFlipIsSurvived) {
    // Under the sanitizers this proves the parser stays inside its text whatever it gets;
    // the values that remain readable must be exactly the ones written.
    const std::string text = kSystemReg64;
    for (std::size_t n = 0; n <= text.size(); ++n) {
        const WineRegistryHive hive = ParseWineRegistry(std::string_view(text).substr(0, n));
        const auto v = ReadWineValue(hive, "Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", k64, true);
        if (v) {
            EXPECT_EQ(*v, "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\") << n;
        }
    }
    std::mt19937 random(2213);
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = text;
        for (int flips = 0; flips < 4; ++flips) {
            damaged[random() % damaged.size()] = static_cast<char>(random() % 256);
        }
        ParseWineRegistry(damaged);
    }
}

}  // namespace
}  // namespace orvanta
