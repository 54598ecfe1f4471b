#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "WinePrefixWriter.h"
#include "platform/WineRegistryParser.h"
#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PosixRegistry.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;

// Values come from the hive and view Windows would read them from; paths map through the
// prefix's drive links; a missing hive gives no value.
TEST(PosixRegistryTest, ReadsAPrefixAsWindowsWould) {
    test::TempDir dir;
    test::WinePrefixWriter w;
    const std::string fsx = "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
    const std::string p3d = "Software\\Lockheed Martin\\Prepar3D v4";
    w.machine = {{"Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", "SetupPath", "C:\\FSX"},
                 {p3d, "SetupPath", "C:\\P3D\\"}};
    w.user = {{p3d, "AppPath", "D:\\P3D v4"}};
    w.Write(dir.path());
    test::MakeFolder(dir / "elsewhere/games");
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "dosdevices/D:").c_str()), 0);  // an upper-case link
    PosixRegistry registry(dir.path());
    struct Case {
        RegistryRoot root;
        const std::string& key;
        const char* name;
        RegistryView view;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {kLM, fsx, "SetupPath", k32, "C:\\FSX"},   {kLM, fsx, "SetupPath", k64, std::nullopt},
        {kLM, p3d, "SetupPath", k64, "C:\\P3D\\"}, {kLM, p3d, "SetupPath", k32, std::nullopt},
        {kCU, p3d, "AppPath", k32, "D:\\P3D v4"},  // the user's hive has no 32-bit node
        {kCU, p3d, "AppPath", k64, "D:\\P3D v4"},  {kLM, p3d, "AppPath", k64, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(registry.ReadString(c.root, c.key, c.name, c.view), c.value) << c.name;
    const std::pair<const char*, std::string> paths[] = {
        {"C:\\Program Files\\P3D", dir / "drive_c/Program Files/P3D"},
        {"c:\\FSX\\", dir / "drive_c/FSX/"},
        {"C:\\", dir / "drive_c/"},
        {"Z:\\home\\pilot\\FSX", "/home/pilot/FSX"},
        {"C:\\..\\..\\x\\.\\FSX\\..\\P3D", dir / "drive_c/x/P3D"},  // ".." stops at the drive's root
        {"d:\\games\\P3D", dir / "elsewhere/games/P3D"},
        {"Q:\\FSX", "Q:\\FSX"},  // unknown drives stay as they are
        {"%ProgramFiles%\\P3D", "%ProgramFiles%\\P3D"},
        {"", ""},
    };
    for (const auto& [windows, host] : paths) EXPECT_EQ(registry.ToHostPath(windows), host) << windows;

    EXPECT_FALSE(PosixRegistry(dir / "no-prefix").ReadString(kCU, p3d, "AppPath", k32));
}

TEST(PosixProcessesTest, ReadsAProcFolderAndSeesFsxWindowsAsItsProcess) {
    test::TempDir dir;
    test::WriteBytes(dir / "101/cmdline", std::string("C:\\P3D v4\\Prepar3D.exe\0", 23));
    test::WriteBytes(dir / "102/cmdline", std::string("Z:\\sims\\FSX\\FSX.exe\0", 20));
    test::WriteBytes(dir / "103/cmdline", "");
    test::WriteBytes(dir / "103/comm", "kthreadd\n");  // no command line: the kernel's name
    test::WriteBytes(dir / "105/cmdline", std::string("/usr/bin/bash\0-c\0", 17));
    test::WriteBytes(dir / "106/cmdline", std::string("\0", 1));
    test::WriteBytes(dir / "106/comm", "zombie\n");
    test::WriteBytes(dir / "self/cmdline", std::string("not-a-pid\0", 10));
    test::MakeFolder(dir / "104");  // ended meanwhile: nothing to read
    PosixProcesses processes(dir.path());
    std::vector<std::string> names = processes.ProcessImageNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"FSX.exe", "Prepar3D.exe", "bash", "kthreadd", "zombie"}));
    PosixProcesses empty(dir / "absent");
    EXPECT_TRUE(empty.ProcessImageNames().empty());
    EXPECT_FALSE(empty.TopLevelWindowExists("FS98MAIN"));
    names = PosixProcesses().ProcessImageNames();  // the system's own: this test program is among them
    EXPECT_NE(std::find(names.begin(), names.end(), "orvanta_tests"), names.end());

    // FSX's windows stand for a process whose image, as Wine shows it, is FSX.exe in any
    // letter case (Windows names ignore case); no other window is ever seen.
    const std::pair<const char*, bool> cases[] = {{"FSX.exe", true},      {"fsx.exe", true},    {"Fsx.Exe", true},
                                                  {"FSX.exe.bak", false}, {"MyFSX.exe", false}, {"FSX", false}};
    for (const auto& [image, runs] : cases) {
        test::TempDir proc;
        test::WriteBytes(proc / "4242/cmdline", std::string("C:\\Sims\\") + image + '\0' + "-x" + '\0');
        PosixProcesses processes(proc.path());
        for (const char* window : {"FS98MAIN", "UIPCMAIN"})
            EXPECT_EQ(processes.TopLevelWindowExists(window), runs) << image;
        EXPECT_FALSE(processes.TopLevelWindowExists("Notepad")) << image;
    }
}

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
