#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>
#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include "app/Version.h"
#include "cli/Cli.h"
#include "cli/Selection.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& args, const NativePlatformOptions& options = {}) {
    std::ostringstream out, err;
    const int code = cli::RunOrvanta(args, out, err, options);
    return {code, out.str(), err.str()};
}

// The command as a user runs it, across every layer: a package (APX47180, ATX05021,
// NVX05021, all in area 0502, Europe) and a Prepar3D v4 folder with its own APX and ATX
// files and an older magvar table. Lock, settings and local application data live in the
// test's folder; the guard reads the machine's processes, where no test starts Prepar3D.exe.
class CliTest : public ::testing::Test {
protected:
    CliTest() : config_("XDG_CONFIG_HOME", dir / "config"), appData_("LOCALAPPDATA", dir / "appdata") {
        isolated.instanceLockPath = dir / "instance.lock";
        test::PackageBuilder package;
        package.magvar = test::MagvarBytes(0x2022, 3);
        package.Write(dir / "pkg");
        test::SimFolderBuilder simulator;
        simulator.Add("0502", "APX47180.bgl", "original APX file").Add("0502", "ATX05021.bgl", "original ATX file");
        simulator.magvar = test::MagvarBytes(0x2021, 1);
        simulator.executableName = "Prepar3D.exe";
        simulator.executableBytes = tools::MakeVersionedExecutable(4, 5, 12, 30293);
        sim = simulator.Write(dir / "sim");
        // On Windows the store is the registry, shared by every test: start each from zero.
        StoreCount("0");
    }

    static std::string StoredCount() {
        auto native = MakeNativePlatform({});
        return native->get().settings.Get("KestrelInstall", "Used", "OrvantaUpdateLaunch", "absent").value_or("?");
    }
    static void StoreCount(const std::string& value) {
        auto native = MakeNativePlatform({});
        ASSERT_TRUE(native->get().settings.Save("KestrelInstall", "Used", "OrvantaUpdateLaunch", value));
    }

    CliRun Run(std::vector<std::string> args) {
        std::vector<std::string> all = {"--package", dir / "pkg", "--nodetect", "--sim-folder", dir / "sim"};
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(all, isolated);
    }
    std::string Dest(const std::string& name) const { return test::SimSceneryPath(sim, "0502", name); }

    test::TempDir dir;
    test::ScopedEnv config_, appData_;
    NativePlatformOptions isolated;
    std::string sim;
};

TEST_F(CliTest, CheckPrintsCountsAndCycleOrTheFindings) {
    CliRun r = RunCli({"--package", dir / "pkg", "check"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Package OK\nAPX: 1 files\nATX: 1 files\nNVX: 1 files\nAIRAC Cycle: 2213\n");
    test::WriteBytes(dir / "pkg/Cycle.txt", "2213");  // and then a gigabyte without a line end
    std::filesystem::resize_file(std::filesystem::u8path(dir / "pkg/Cycle.txt"), 1u << 30);
    EXPECT_EQ(RunCli({"--package", dir / "pkg", "check"}).out.size(), r.out.size() - 4 + 4096);

    std::remove((dir / "pkg/magdec.bgl").c_str());
    test::WriteBytes(dir / "pkg/APXFileList.txt", "APX47180\r\nAPX4718x\r\n");
    r = RunCli({"check", "--package=" + dir / "pkg"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "Missing magdec.bgl file\nWrong APX4718x file in APXFileList\n");
    EXPECT_EQ(test::ReadBytes(dir / "pkg/Orvanta_Installer.log"),
              "Missing magdec.bgl file\r\nWrong APX4718x file in APXFileList\r\n");

    // Of huge text files nothing more is read than a label or a list can need.
    std::filesystem::resize_file(std::filesystem::u8path(dir / "pkg/ATXFileList.txt"), 2u << 20);
    r = RunCli({"--package", dir / "pkg", "check"});
    EXPECT_EQ(r.out,
              "Missing magdec.bgl file\nWrong APX4718x file in APXFileList\nError reading ATXFileList.txt file\n");

    // A folder no system takes is no missing file; nor is output that cannot be written
    // (the version to a full disk) a success.
#ifndef _WIN32  // Wine, unlike Windows, reports such a path as absent
    r = RunCli({"--package", dir / std::string(40000, 'p'), "check"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out.rfind("Error reading Cycle.txt file - Error number: 52\n", 0), 0u) << r.out;
#endif
    std::ostream lost(nullptr);
    std::ostringstream err;
    EXPECT_EQ(cli::RunOrvanta({"--version"}, lost, err, isolated), 1);
    EXPECT_EQ(err.str(), "orvanta: cannot write to standard output\n");
}

TEST_F(CliTest, UsageErrorsExitTwo) {
    std::vector<std::vector<std::string>> usageErrors = {
        {},
        {"frobnicate"},
        {"check", "--bogus"},
        {"--package"},
        {"--sim", "7", "status"},
        {"check", "--magvar"},
        {"uninstall", "--restore-missing", "--keep-missing"},
        {"--package", dir / "pkg", "--sim-folder", dir / "sim", "status", "--categories", "apx,bgl"},
        {"--package", dir / "pkg", "--sim-folder", dir / "sim", "list", "everything"},
        {"--package", dir / "pkg", "--nodetect", "status"},  // no simulator chosen
    };
    for (const char* region : {"atlantis", "8", "-1", "eu", "europe,"}) {
        usageErrors.push_back({"--package", dir / "pkg", "--sim-folder", dir / "sim", "status", "--regions", region});
    }
    for (const auto& args : usageErrors) {
        const CliRun r = RunCli(args, isolated);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err, "") << ::testing::PrintToString(args);
    }
    EXPECT_NE(RunCli({"--help"}).out.find("Usage: orvanta"), std::string::npos);
    EXPECT_EQ(RunCli({"--version"}).out, "Orvanta Installer v12.5\n");
}

TEST_F(CliTest, StatusAndListPrintTheWindowsFigures) {
    CliRun r = Run({"status", "--regions", "Europe,0"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Orvanta Installer v12.5 (P3D v4.5)\nRegion status [2 region(s) selected]\nAvailable files: 3 files\n"
              "Up-to-date files: None\nUpdatable files: 2 files\nDeinstallable: None\n"
              "Missing destination: 1 files\nMagvar table: Magvar table (2022-R3)\n"
              "Simulator activity: Inactive\n");

    test::SetLocalModifiedTime(Dest("APX47180.bgl"), 2022, 1, 31, 12, 0, 0);
    test::SetLocalModifiedTime(dir / "pkg/APXFiles/APX47180.bgl", 2023, 2, 28, 12, 0, 0);
    r = Run({"list", "updatable", "--regions", "all", "--categories", "apx"});
    EXPECT_EQ(r.out, "Updatable files [1]\nAPX47180.bgl [31-01-2022] - Region:0502\tNew file date: 28-02-2023\n");
}

TEST_F(CliTest, InstallAndUninstallWithErrorsThenWithout) {
    EXPECT_EQ(Run({"install", "--regions", "north-america"}).out, "Nothing to install\n");

    // A folder in place of the package's APX file: the simulator's APX file is left as it is.
    const std::string apx = dir / "pkg/APXFiles/APX47180.bgl";
    std::filesystem::remove(std::filesystem::u8path(apx));
    test::MakeFolder(apx);
    CliRun r = Run({"install", "--regions", "europe"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Unable to complete full update\n1 BGL file(s) couldn't be updated\n", 0), 0u);
    EXPECT_EQ(test::ReadBytes(dir / "pkg/Orvanta_Installer.log").rfind("Error Id: Copying new file", 0), 0u);
    EXPECT_EQ(test::ReadBytes(Dest("APX47180.bgl")), "original APX file");
    EXPECT_EQ(StoredCount(), "0");  // a failed install is not counted

    // A folder in the ATX file's place cannot be deleted.
    std::filesystem::remove(std::filesystem::u8path(Dest("ATX05021.bgl")));
    test::MakeFolder(Dest("ATX05021.bgl") + kSep + "inner");
    r = Run({"uninstall", "--regions", "europe", "--keep-missing"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Unable to complete full uninstall\n1 BGL file(s) couldn't be restored\n", 0), 0u);

    // Once it is gone, the ATX file comes back from its backup with the restore answer.
    std::filesystem::remove_all(std::filesystem::u8path(Dest("ATX05021.bgl")));
    r = Run({"uninstall", "--regions", "europe", "--restore-missing", "--log"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Uninstall has been successfully completed\n1 BGL file(s) have been restored\n");
    EXPECT_EQ(test::ReadBytes(Dest("ATX05021.bgl")), "original ATX file");
    EXPECT_EQ(test::ReadBytes(dir / "pkg/Installer_Actions.log").rfind("Restoring file from: " + Dest("ATX05021"), 0),
              0u);
    EXPECT_EQ(Run({"uninstall", "--regions", "europe"}).out, "Nothing to uninstall\n");

    // The fourth successful install asks for a donation, on standard output. Folders given
    // relative to the current one reach the log absolute, as support needs them.
    std::filesystem::remove(std::filesystem::u8path(apx));
    test::WriteBytes(apx, "BGL APX47180");
    StoreCount("3");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::u8path(dir.path()));
    r = RunCli({"--package", "pkg", "--nodetect", "--sim-folder", "./sim/", "install", "--regions", "europe",
                "--magvar", "--log"},
               isolated);
    std::filesystem::current_path(before);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Update has been successfully completed\n3 BGL file(s) have been replaced\n"
              "Thank you for your continued confidence. To help me continue this work, would you consider making a "
              "small onetime donation now (if not already done)?\n" +
                  std::string(kDonationUrl) + "\n");
    EXPECT_EQ(StoredCount(), "4");
    const std::string log = test::ReadBytes(dir / "pkg/Installer_Actions.log");
    EXPECT_NE(log.find("Backup rename: " + Dest("APX47180.bgl")), std::string::npos) << log;
    EXPECT_NE(log.find(" BY " + dir / "pkg/APXFiles/APX47180.bgl"), std::string::npos) << log;
    r = Run({"install", "--regions", "europe", "--magvar"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("Magvar table (up to date)"), std::string::npos);
}

TEST_F(CliTest, AFailedMigrationRefusesEveryCommand) {
    // An old backup beside a current one that cannot be deleted (it is a folder).
    test::MakeFolder(Dest("APX47180.bgl.p3dini"));
    test::WriteBytes(Dest("APX47180.bgl.bglbckup"), "current");
    const CliRun r = Run({"status", "--regions", "europe"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("1 backup files couldn't be renamed with a .bglbckup extension.", 0), 0u) << r.err;
}

// On a terminal a run shows its progress on standard error, one line rewritten in place
// and erased before the closing message; uninstall asks the restore question, Yes being
// the default answer.
TEST_F(CliTest, OnATerminalProgressIsShownAndTheRestoreQuestionAsked) {
    auto runOnTerminal = [&](const char* command, const char* typed) {
        const cli::ParseResult parsed = cli::ParseCommandLine(
            {"--package", dir / "pkg", "--nodetect", "--sim-folder", dir / "sim", command, "--regions", "europe"});
        auto native = MakeNativePlatform(isolated);  // holds the instance lock until it goes
        std::ostringstream out, err;
        std::istringstream input(typed);
        cli::CliContext ctx{native->get(), parsed.options, out, err, {}, {}, {}};
        cli::InitProgramState(ctx);
        const bool install = std::string(command) == "install";
        ctx.progressOnTerminal = install;
        ctx.terminalInput = &input;
        EXPECT_EQ(install ? cli::RunInstallCommand(ctx) : cli::RunUninstallCommand(ctx), 0) << err.str();
        return CliRun{0, out.str(), err.str()};
    };
    const std::string question =
        "Restore missing files from backups if available?\nIf [No], backup files will be kept\n[Y/n] ";
    const CliRun installed = runOnTerminal("install", "");
    const std::string widest = "\r1/2  ATX05021.bgl";
    EXPECT_EQ(installed.err, "\r0/2  APX47180.bgl" + widest + "\r2/2" + std::string(widest.size() - 4, ' ') + "\r" +
                                 std::string(widest.size() - 1, ' ') + "\r");
    EXPECT_EQ(installed.out, "Update has been successfully completed\n2 BGL file(s) have been replaced\n");

    std::remove(Dest("ATX05021.bgl").c_str());
    EXPECT_EQ(runOnTerminal("uninstall", "n\n").err, question);
    EXPECT_FALSE(test::FileExists(Dest("ATX05021.bgl")));
    ASSERT_EQ(Run({"install", "--regions", "europe", "--categories", "apx"}).code, 0);
    EXPECT_EQ(runOnTerminal("uninstall", "\n").err, question);
    EXPECT_EQ(test::ReadBytes(Dest("ATX05021.bgl")), "original ATX file");
}

#ifndef _WIN32
// Prepar3D under Wine shows in the process list by its image name: both runs refuse and
// change nothing. (Run on its own by CTest: other tests' runs would be refused meanwhile.)
TEST_F(CliTest, InstallAndUninstallRefuseWhileASimulatorProcessRuns) {
    test::WriteBytes(Dest("ATX05021.bgl.bglbckup"), "backup");
    const std::string image = dir / "Prepar3D.exe";
    const char* argv[] = {image.c_str(), "30", nullptr};
    pid_t simulator = 0;
    ASSERT_EQ(::posix_spawn(&simulator, "/bin/sleep", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    const std::string cmdline = "/proc/" + std::to_string(simulator) + "/cmdline";
    for (int i = 0; i < 500 && test::ReadBytes(cmdline).rfind(image, 0) != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (const char* command : {"install", "uninstall"}) {
        const CliRun r = Run({command, "--regions", "europe", command[0] == 'u' ? "--restore-missing" : "--log"});
        EXPECT_EQ(r.code, 3) << command;
        EXPECT_EQ(r.err, std::string(command[0] == 'i' ? "Installation" : "Uninstall") +
                             " cannot be performed while the simulator is running\nClose the simulator and retry\n");
    }
    ::kill(simulator, SIGKILL);
    ::waitpid(simulator, nullptr, 0);
    EXPECT_EQ(test::ReadBytes(Dest("APX47180.bgl")), "original APX file");
    EXPECT_EQ(test::ReadBytes(Dest("ATX05021.bgl.bglbckup")), "backup");
}

// A FIFO at any name the program reads would hold it for good, the instance lock with it.
// Each command ends, taking the error path of a file it cannot read.
TEST_F(CliTest, NamedPipesAreNeverRead) {
    test::ScopedEnv home("HOME", dir / "home");
    const std::string pkg = dir / "pkg/", prefix = dir / "prefix";
    test::MakeFolder(dir / "home/.steam/steam/steamapps");
    test::MakeFolder(prefix + "/dosdevices");
    const struct {
        std::string path;
        std::vector<std::string> args;  // the package, simulator folder and regions added for the engine's commands
        int code;
        const char* shown;
    } cases[] = {
        {pkg + "Cycle.txt", {"check"}, 0, "AIRAC Cycle: NA"},
        {pkg + "ATXFileList.txt", {"check"}, 3, "Error reading ATXFileList.txt file"},
        {pkg + "magdec.bgl", {"status"}, 0, "Magvar table: Magvar table (NA)"},
        {test::SimMagvarPath(sim), {"status"}, 0, "Magvar table: Magvar table (NA)"},
        {pkg + "APXFiles/APX47180.bgl", {"install"}, 1, "1 BGL file(s) couldn't be updated"},
        {sim + "Prepar3D.exe", {"status"}, 3, "Invalid folder, unknown or inactive simulator"},
        {dir / "config/KestrelInstall.ini", {"install"}, 0, "1 BGL file(s) have been replaced"},
        {dir / "home/.steam/steam/steamapps/libraryfolders.vdf", {"detect"}, 0, "6\tPrepar3D v4\t-"},
        {prefix + "/system.reg", {"--wine-prefix", prefix, "detect"}, 0, "1\tFlight Simulator X\t-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::filesystem::rename(c.path, c.path + ".kept", *std::make_unique<std::error_code>());
        ASSERT_EQ(::mkfifo(c.path.c_str(), 0600), 0);
        std::vector<std::string> args = {"--package", pkg};
        if (c.args.back() == "install" || c.args.back() == "status") {
            args.insert(args.end(), {"--nodetect", "--sim-folder", sim});
        }
        args.insert(args.end(), c.args.begin(), c.args.end());
        if (c.args.back() != "check" && c.args.back() != "detect") args.insert(args.end(), {"--regions", "europe"});
        const CliRun r = RunCli(args, isolated);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE((r.out + r.err).find(c.shown), std::string::npos) << r.out << r.err;
        std::remove(c.path.c_str());
        std::filesystem::rename(c.path + ".kept", c.path, *std::make_unique<std::error_code>());
    }
    EXPECT_EQ(test::ReadBytes(Dest("APX47180.bgl.bglbckup")), "original APX file");
}
#endif

TEST(CliSelectionTest, RegionsAndCategoriesByEveryName) {
    struct Case {
        const char* regions;
        std::optional<std::string> categories;
        std::array<bool, 8> expectedRegions;
        std::array<bool, 3> expectedCategories;
    };
    const Case cases[] = {
        {"0, america (NORTH),far-east", std::nullopt, {1, 1, 0, 0, 0, 1, 0, 0}, {1, 1, 1}},
        {"ALL", std::string("nvx,Apx"), {1, 1, 1, 1, 1, 1, 1, 1}, {1, 0, 1}},
        {"Australasia-Oceania,russia,middle-east,south-america", std::nullopt, {0, 0, 1, 1, 0, 0, 1, 1}, {1, 1, 1}},
        {"africa,north-america,australasia,europe", std::string("atx"), {1, 1, 0, 1, 1, 0, 0, 0}, {0, 1, 0}},
        {"7", std::string("ALL"), {0, 0, 0, 0, 0, 0, 0, 1}, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        StatusSelection s;
        EXPECT_EQ(cli::ParseSelection(std::string(c.regions), c.categories, true, s), "") << c.regions;
        EXPECT_EQ(s.regions, c.expectedRegions) << c.regions;
        EXPECT_EQ(s.categories, c.expectedCategories) << c.regions;
        EXPECT_TRUE(s.forceFull);
    }
    for (const auto& [word, status] :
         {std::pair{"up-to-date", 1}, {"updatable", 2}, {"deinstallable", 3}, {"missing", 4}, {"Missing", 0}}) {
        EXPECT_EQ(cli::ParseListStatus(word), status) << word;
    }
}

}  // namespace
}  // namespace orvanta
