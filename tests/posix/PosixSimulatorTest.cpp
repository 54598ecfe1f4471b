#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "WinePrefixWriter.h"
#include "engine/SimulatorGuard.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixFileVersions.h"
#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PosixRegistry.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

extern char** environ;

namespace orvanta {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;

std::string Exe(std::uint16_t major, std::uint16_t minor, std::uint16_t build, bool pe32Plus = false) {
    tools::PeImageSpec s;
    s.pe32Plus = pe32Plus;
    s.major = major;
    s.minor = minor;
    s.build = build;
    return tools::MakePeImage(s);
}

TEST(PosixRegistryTest, ReadsBothHivesAndViewsOfAPrefix) {
    test::TempDir dir;
    test::WinePrefixWriter w;
    w.machine = {
        {"Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", "SetupPath", "C:\\FSX"},
        {"Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\"},
    };
    w.user = {{"Software\\Lockheed Martin\\Prepar3D v2", "AppPath", "D:\\Prépar3D v2"}};
    w.Write(dir.path());
    PosixRegistry registry(dir.path());
    EXPECT_EQ(
        registry.ReadString(kLM, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", "SetupPath", k32),
        "C:\\FSX");
    EXPECT_FALSE(
        registry.ReadString(kLM, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", "SetupPath", k64));
    EXPECT_EQ(registry.ReadString(kLM, "Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", k64),
              "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\");
    EXPECT_FALSE(registry.ReadString(kLM, "Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", k32));
    // The user's hive has no 32-bit node.
    EXPECT_EQ(registry.ReadString(kCU, "Software\\Lockheed Martin\\Prepar3D v2", "AppPath", k32), "D:\\Prépar3D v2");
    EXPECT_EQ(registry.ReadString(kCU, "Software\\Lockheed Martin\\Prepar3D v2", "AppPath", k64), "D:\\Prépar3D v2");
    EXPECT_FALSE(registry.ReadString(kLM, "Software\\Lockheed Martin\\Prepar3D v2", "AppPath", k32));
}

TEST(PosixRegistryTest, MissingOrDamagedFilesGiveNoValue) {
    test::TempDir dir;
    PosixRegistry absent(dir / "no-prefix");
    EXPECT_FALSE(absent.ReadString(kLM, "Software\\A", "V", k32));
    EXPECT_FALSE(absent.ReadString(kCU, "Software\\A", "V", k32));

    test::WriteBytes(dir / "p/system.reg",
                     "WINE REGISTRY Version 2\n#arch=win32\n[Software\\\\A] 1\n\"V\"=\"C:\\\\cut");
    test::WriteBytes(dir / "p/user.reg", std::string("\x7f"
                                                     "ELF\0\0\0",
                                                     7));
    PosixRegistry damaged(dir / "p");
    EXPECT_FALSE(damaged.ReadString(kLM, "Software\\A", "V", k32));
    EXPECT_FALSE(damaged.ReadString(kCU, "Software\\A", "V", k32));
}

TEST(PosixRegistryTest, WindowsPathsMapThroughTheDriveLinks) {
    test::TempDir dir;
    test::WinePrefixWriter().Write(dir.path());
    test::MakeFolder(dir / "elsewhere/games");
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "dosdevices/D:").c_str()), 0);  // an upper-case link
    PosixRegistry registry(dir.path());
    EXPECT_EQ(registry.ToHostPath("C:\\Program Files\\P3D"), dir / "drive_c/Program Files/P3D");
    EXPECT_EQ(registry.ToHostPath("c:\\FSX\\"), dir / "drive_c/FSX/");
    EXPECT_EQ(registry.ToHostPath("C:\\"), dir / "drive_c/");
    EXPECT_EQ(registry.ToHostPath("Z:\\home\\pilot\\FSX"), "/home/pilot/FSX");
    EXPECT_EQ(registry.ToHostPath("d:\\games\\P3D"), dir / "elsewhere/games/P3D");
    // Unknown drives and paths without a drive come back unchanged.
    EXPECT_EQ(registry.ToHostPath("Q:\\FSX"), "Q:\\FSX");
    EXPECT_EQ(registry.ToHostPath("\\\\server\\share\\FSX"), "\\\\server\\share\\FSX");
    EXPECT_EQ(registry.ToHostPath("%ProgramFiles%\\P3D"), "%ProgramFiles%\\P3D");
    EXPECT_EQ(registry.ToHostPath(""), "");
}

TEST(PosixFileVersionsTest, ReadsGeneratedExecutablesFromDisk) {
    test::TempDir dir;
    PosixFileSystem fs;
    PosixFileVersions versions(fs);
    test::WriteBytes(dir / "FSX/FSX.exe", Exe(10, 0, 61637));
    test::WriteBytes(dir / "P3D/Prepar3D.exe", Exe(4, 5, 12, true));
    test::WriteBytes(dir / "text.exe", "not a program");
    EXPECT_EQ(versions.Read(dir / "FSX/FSX.exe"), (FileVersion{10, 0, 61637, 0}));
    EXPECT_EQ(versions.Read(dir / "fsx/fsx.EXE"), (FileVersion{10, 0, 61637, 0}));  // Windows names ignore case
    EXPECT_EQ(versions.Read(dir / "P3D/Prepar3D.exe"), (FileVersion{4, 5, 12, 0}));
    EXPECT_TRUE(versions.Read(dir / "text.exe").IsZero());
    EXPECT_TRUE(versions.Read(dir / "absent.exe").IsZero());
    EXPECT_TRUE(versions.Read(dir / "FSX").IsZero());
}

TEST(PosixProcessesTest, ImageNameIsTheFileNameOfTheFirstArgument) {
    EXPECT_EQ(ImageNameOf(std::string("C:\\Program Files\\P3D\\Prepar3D.exe\0-x\0", 37), "Prepar3D.exe\n"),
              "Prepar3D.exe");
    EXPECT_EQ(ImageNameOf(std::string("/usr/bin/bash\0-c\0", 17), "bash\n"), "bash");
    EXPECT_EQ(ImageNameOf("FSX.exe", ""), "FSX.exe");
    EXPECT_EQ(ImageNameOf("", "kworker/0:1\n"), "kworker/0:1");  // no command line: the kernel's name
    EXPECT_EQ(ImageNameOf(std::string("\0", 1), "zombie\n"), "zombie");
}

TEST(PosixProcessesTest, ReadsAProcFolder) {
    test::TempDir dir;
    test::WriteBytes(dir / "101/cmdline", std::string("C:\\P3D v4\\Prepar3D.exe\0", 23));
    test::WriteBytes(dir / "102/cmdline", std::string("Z:\\sims\\FSX\\FSX.exe\0", 20));
    test::WriteBytes(dir / "103/cmdline", "");
    test::WriteBytes(dir / "103/comm", "kthreadd\n");
    test::WriteBytes(dir / "self/cmdline", std::string("not-a-pid\0", 10));
    test::MakeFolder(dir / "104");  // ended meanwhile: nothing to read
    PosixProcesses processes(dir.path());
    std::vector<std::string> names = processes.ProcessImageNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"FSX.exe", "Prepar3D.exe", "kthreadd"}));
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
