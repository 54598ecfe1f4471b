#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <thread>

#include "WinePrefixWriter.h"
#include "cli/Cli.h"
#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixFileVersions.h"
#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PosixRegistry.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
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

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& args, const NativePlatformOptions& platform = {}) {
    std::ostringstream out, err;
    const int code = cli::RunOrvanta(args, out, err, platform);
    return {code, out.str(), err.str()};
}

TEST(CliDetectTest, ListsWhatAWinePrefixHolds) {
    test::TempDir dir;
    const std::string prefix = dir / "wine";
    const std::string outside = dir / "outside";
    // Boxed FSX registered, but its build makes it the Steam Edition.
    test::WriteBytes(prefix + "/drive_c/FSX/FSX.exe", Exe(10, 0, 62615));
    test::MakeFolder(prefix + "/drive_c/FSX/SCENERY");
    // Prepar3D v4 in the 64-bit view, with a trailing separator.
    test::WriteBytes(prefix + "/drive_c/Program Files/Lockheed Martin/Prepar3D v4/Prepar3D.exe", Exe(4, 5, 12, true));
    test::MakeFolder(prefix + "/drive_c/Program Files/Lockheed Martin/Prepar3D v4/Scenery");
    // Prepar3D v3 registered in the 64-bit view only: v3 is looked for in the 32-bit one.
    test::WriteBytes(prefix + "/drive_c/P3D3/Prepar3D.exe", Exe(3, 4, 22));
    test::MakeFolder(prefix + "/drive_c/P3D3/Scenery");
    // Prepar3D v2 for the user, outside the prefix on the z: drive, under a long folder name.
    std::string longFolder = outside;
    for (int i = 0; i < 8; ++i) longFolder += "/" + std::string(150, static_cast<char>('a' + i));
    test::WriteBytes(longFolder + "/Prepar3D.exe", Exe(2, 5, 0));
    test::MakeFolder(longFolder + "/scenery");
    std::string longWindows = "Z:" + longFolder;
    std::replace(longWindows.begin(), longWindows.end(), '/', '\\');
    ASSERT_GT(longWindows.size(), 1100u);
    // Prepar3D v1 whose folder lacks the executable.
    test::MakeFolder(prefix + "/drive_c/P3D1/Scenery");

    test::WinePrefixWriter w;
    w.machine = {
        {"Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", "SetupPath", "C:\\FSX"},
        {"Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", "C:\\Program Files\\Lockheed Martin\\Prepar3D v4\\"},
        {"Software\\Lockheed Martin\\Prepar3D v3", "SetupPath", "C:\\P3D3"},
        {"Software\\Wow6432Node\\LockheedMartin\\Prepar3D", "SetupPath", "C:\\P3D1"},
    };
    w.user = {{"Software\\Lockheed Martin\\Prepar3D v2", "AppPath", longWindows}};
    w.Write(prefix);

    const CliRun r = RunCli({"detect", "--wine-prefix", prefix});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "1\tFlight Simulator X\t-\n"
              "2\tFSX Steam Edition\t" +
                  prefix +
                  "/drive_c/FSX/\n"
                  "3\tPrepar3D v1\t-\n"
                  "4\tPrepar3D v2\t" +
                  longFolder +
                  "/\n"
                  "5\tPrepar3D v3\t-\n"
                  "6\tPrepar3D v4\t" +
                  prefix + "/drive_c/Program Files/Lockheed Martin/Prepar3D v4/\n");

    const CliRun off = RunCli({"detect", "--nodetect", "--wine-prefix", prefix});
    EXPECT_EQ(off.code, 0);
    EXPECT_EQ(std::count(off.out.begin(), off.out.end(), '-'), 6);
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
    // FSX's window classes stand for a running FSX.exe.
    EXPECT_TRUE(processes.TopLevelWindowExists("FS98MAIN"));
    EXPECT_TRUE(processes.TopLevelWindowExists("UIPCMAIN"));
    EXPECT_FALSE(processes.TopLevelWindowExists("Notepad"));
    PosixProcesses empty(dir / "absent");
    EXPECT_TRUE(empty.ProcessImageNames().empty());
    EXPECT_FALSE(empty.TopLevelWindowExists("FS98MAIN"));
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

TEST(CliWinePrefixTest, TheOnlyDetectedSimulatorIsChosenAndTheLockIsHonoured) {
    test::TempDir dir;
    test::ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    test::ScopedEnv appData("LOCALAPPDATA", dir / "appdata");
    NativePlatformOptions isolated;
    isolated.instanceLockPath = dir / "instance.lock";
    test::PackageBuilder().Write(dir / "pkg");
    const std::string prefix = dir / "wine";
    test::WriteBytes(prefix + "/drive_c/Program Files/Lockheed Martin/Prepar3D v4/Prepar3D.exe", Exe(4, 5, 12, true));
    test::MakeFolder(prefix + "/drive_c/Program Files/Lockheed Martin/Prepar3D v4/Scenery");
    test::WinePrefixWriter w;
    w.machine = {
        {"Software\\Lockheed Martin\\Prepar3D v4", "SetupPath", "C:\\Program Files\\Lockheed Martin\\Prepar3D v4"}};
    w.Write(prefix);

    const std::vector<std::string> args = {"--package", dir / "pkg", "--wine-prefix", prefix, "status"};
    CliRun r = RunCli(args, isolated);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Orvanta Installer v12.5 (P3D v4.5)");

    // While another instance holds the lock, the command refuses to start.
    PosixEnvironment other("", prefix, isolated.instanceLockPath);
    ASSERT_TRUE(other.AcquireSingleInstanceLock());
    r = RunCli(args, isolated);
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Another instance of the Orvanta Installer is already running\nThe program will not start\n");
    // detect takes no lock.
    EXPECT_EQ(RunCli({"detect", "--wine-prefix", prefix}).code, 0);
}

}  // namespace
}  // namespace orvanta
