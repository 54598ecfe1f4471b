#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "WinePrefixWriter.h"
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

}  // namespace
}  // namespace orvanta
