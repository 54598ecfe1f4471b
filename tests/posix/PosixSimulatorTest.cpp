#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "WinePrefixWriter.h"
#include "engine/SimulatorGuard.h"
#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PosixRegistry.h"
#include "support/TempDir.h"

extern char** environ;

namespace orvanta {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;

// Values come from the hive and view Windows would read them from; paths map through the
// prefix's drive links; a damaged or missing hive gives no value.
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
        {"\\\\server\\share\\FSX", "\\\\server\\share\\FSX"},
        {"%ProgramFiles%\\P3D", "%ProgramFiles%\\P3D"},
        {"", ""},
    };
    for (const auto& [windows, host] : paths) EXPECT_EQ(registry.ToHostPath(windows), host) << windows;

    test::WriteBytes(dir / "system.reg", "WINE REGISTRY Version 2\n#arch=win32\n[Software\\\\A] 1\n\"V\"=\"C:\\\\cut");
    test::WriteBytes(dir / "user.reg", std::string("\x7f"
                                                   "ELF\0\0\0",
                                                   7));
    for (const std::string& prefix : {dir.path(), dir / "no-prefix"}) {
        PosixRegistry damaged(prefix);
        EXPECT_FALSE(damaged.ReadString(kLM, "Software\\A", "V", k32)) << prefix;
        EXPECT_FALSE(damaged.ReadString(kCU, p3d, "AppPath", k32)) << prefix;
    }
}

TEST(PosixProcessesTest, ReadsAProcFolder) {
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
}

// A process stands for FSX's windows: its image name, as Wine shows it, is FSX.exe in any
// letter case (Windows names ignore case). Prepar3D's rule stays exact.
TEST(PosixProcessesTest, FsxRunsUnderItsNameInAnyCase) {
    struct Case {
        const char* image;
        bool fsxRuns;
        bool prepar3DRuns;
    };
    const Case cases[] = {
        {"FSX.exe", true, false},      {"fsx.exe", true, false},       {"Fsx.Exe", true, false},
        {"FSX.exe.bak", false, false}, {"MyFSX.exe", false, false},    {"FSX", false, false},
        {"Prepar3D.exe", false, true}, {"prepar3d.exe", false, false},
    };
    for (const Case& c : cases) {
        test::TempDir proc;
        test::WriteBytes(proc / "4242/cmdline", std::string("C:\\Sims\\") + c.image + '\0' + "-x" + '\0');
        PosixProcesses processes(proc.path());
        for (SimVersion sim : {1, 2}) EXPECT_EQ(IsSimulatorRunning(processes, sim, "").running, c.fsxRuns) << c.image;
        EXPECT_EQ(IsSimulatorRunning(processes, 6, "").running, c.prepar3DRuns) << c.image;
        EXPECT_EQ(processes.TopLevelWindowExists("Notepad"), false);
    }
}

TEST(PosixProcessesTest, SeesARunningProcessAsWineNamesIt) {
    // A child whose first argument is a Windows path, as a program under Wine shows.
    std::string arg0 = "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\Prepar3D.exe";
    std::string seconds = "30";
    char* argv[] = {arg0.data(), seconds.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, "/bin/sleep", nullptr, nullptr, argv, environ), 0);
    PosixProcesses processes;
    bool seen = false;
    for (int attempt = 0; attempt < 200 && !seen; ++attempt) {
        const std::vector<std::string> names = processes.ProcessImageNames();
        seen = std::find(names.begin(), names.end(), "Prepar3D.exe") != names.end();
        if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace orvanta
