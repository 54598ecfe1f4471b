#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "app/Paths.h"
#include "app/Startup.h"
#include "cli/StartupSequence.h"
#include "engine/BackupMigration.h"
#include "engine/Logs.h"
#include "platform/FaultInjectingFileSystem.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/EngineFixture.h"
#include "support/Fakes.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
const char* const kFsxKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
const char* const kP3D4Key = "Software\\Lockheed Martin\\Prepar3D v4";

// A package, and simulator main folders with their executables and Scenery: FSX and
// Prepar3D v4 (registered as a test asks) and Prepar3D v5.
class StartupSequenceTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakePlatform fake;
    FaultInjectingFileSystem faultyFs{fake.fs()};
    Platform platform = fake.Over(faultyFs);
    std::string packageFolder = test::PackageBuilder().Write(dir / "pkg");
    std::string fsx = MakeSim("FSX", "FSX.exe", {10, 0, 61637, 0}),
                p3d = MakeSim("P3D4", "Prepar3D.exe", {4, 5, 12, 0});
    std::string p3d5 = MakeSim("P3D5", "Prepar3D.exe", {5, 0, 28, 0});
    std::string v4Shaders = dir / "appdata/Lockheed Martin/Prepar3D v4/Shaders";

    void SetUp() override {
        fake.env.localAppData = dir / "appdata";
        test::MakeFolder(v4Shaders);
    }
    std::string MakeSim(const std::string& name, const char* exe, FileVersion version) {
        const std::string folder = AddBackslash(dir / name);
        test::WriteBytes(folder + exe, "MZ");
        test::MakeFolder(folder + "Scenery");
        fake.versions.versions[folder + exe] = version;
        return folder;
    }
    void Register(bool withFsx, bool withP3d) {
        fake.registry.values.clear();
        if (withFsx) fake.registry.Set(kLM, kFsxKey, "SetupPath", fsx);
        if (withP3d) fake.registry.Set(kLM, kP3D4Key, "SetupPath", p3d, RegistryView::View64);
    }

    std::string err;
    ProgramState state;

    int Run(const cli::CliOptions& options = {}) {
        std::ostringstream out, errStream;
        cli::CliContext ctx{platform, options, out, errStream, {}, {}, {}};
        ctx.state.AppTitle = kAppTitle;
        ctx.state.AppFolder = packageFolder;
        const int code = cli::RunStartupThroughProtectedCheck(ctx);
        err = errStream.str();
        state = ctx.state;
        return code;
    }
};

// Each refusal in its turn: another instance, a damaged package, a protected Scenery folder.
TEST_F(StartupSequenceTest, RefusalsStopStartUpInTheirTurn) {
    Register(true, false);
    fake.access.granted = -1;
    faultyFs.FailPathsContaining("Cycle.bak", kPermissionDenied);
    const std::string list = test::ReadBytes(packageFolder + "APXFileList.txt");
    test::WriteBytes(packageFolder + "APXFileList.txt", "broken\r\n");
    fake.env.anotherInstanceRuns = true;
    fake.env.lockFileInTheWay = "/tmp/orvanta-installer-1000.lock";  // a pipe there, say
    EXPECT_EQ(Run(), 3);
    EXPECT_EQ(err,
              "Another instance of the Orvanta Installer is already running\nThe program will not start\nThe lock "
              "file cannot be used: /tmp/orvanta-installer-1000.lock\n");
    EXPECT_FALSE(test::FileExists(packageFolder + "Orvanta_Installer.log"));

    fake.env.anotherInstanceRuns = false;
    EXPECT_EQ(Run(), 3);
    EXPECT_EQ(err.rfind("Some necessary files are missing or corrupted\nCheck that", 0), 0u);  // the window's text
    EXPECT_NE(test::ReadBytes(packageFolder + "Orvanta_Installer.log"), "");
    EXPECT_EQ(state.SimFolders[1], "");

    test::WriteBytes(packageFolder + "APXFileList.txt", list);
    EXPECT_EQ(Run(), 3);
    EXPECT_EQ(err,
              "Simulator is installed in a protected directory, not enabling update and uninstall processes. You "
              "may have to change permission rights on your sim folder or preferably install it in a dedicated "
              "unprotected folder (not Program Files (x86)\n");
    EXPECT_EQ(state.SelectedSim, 1);
}

TEST_F(StartupSequenceTest, TheSimulatorIsTheOnlyDetectedOneOrTheUsersChoice) {
    const std::string detected =
        "Detected simulators:\n1\tFlight Simulator X\t" + fsx + "\n6\tPrepar3D v4\t" + p3d + "\n";
    const std::string none = "orvanta: no simulator was detected; choose a simulator folder with --sim-folder DIR\n";
    const std::string two = "orvanta: 2 simulators were detected; choose one with --sim N or --sim-folder DIR\n";
    const std::string off = "orvanta: simulator detection is off; choose a simulator folder with --sim-folder DIR\n";
    const struct {
        const char* name;
        bool fsx, p3d;  // registered
        std::optional<int> sim;
        std::string simFolder;  // empty: none
        bool noDetect;
        int code;
        SimVersion chosen;
        std::string folder, err;
    } cases[] = {
        // clang-format off
        {"nothing detected", false, false, {}, "", false, 2, 0, "", none},
        {"the only one detected", false, true, {}, "", false, cli::kStartupGoesOn, 6, p3d, ""},
        {"two detected", true, true, {}, "", false, 2, 0, "", two + detected},
        {"--sim of one not detected", true, true, 3, "", false, 2, 0, "",
          "orvanta: simulator 3 (Prepar3D v1) was not detected\n" + detected},
        {"--sim of a detected one", true, true, 1, "", false, cli::kStartupGoesOn, 1, fsx, ""},
        {"detection off", true, true, {}, "", true, 2, 0, "", off},
        {"detection off, --sim", true, true, 6, "", true, 2, 0, "",
         "orvanta: simulator 6 (Prepar3D v4) was not detected (detection is off)\n"},
        {"--sim-folder of Prepar3D v5", false, true, {}, p3d5, false, 3, 0, "",
         "The Orvanta package is not compatible with P3Dv5\nClick Retry to select another folder or Cancel to exit\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Register(c.fsx, c.p3d);
        cli::CliOptions options;
        options.sim = c.sim;
        if (!c.simFolder.empty()) options.simFolder = c.simFolder;
        options.noDetect = c.noDetect;
        EXPECT_EQ(Run(options), c.code);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(state.SelectedSim, c.chosen);
        EXPECT_EQ(state.SelectedSimFolder, c.folder);
        EXPECT_EQ(state.ShaderFolder, c.chosen == 6 ? v4Shaders : "");
    }
}

TEST(CommandLineTest, NoDetectIsAWholeTokenBetweenSlashes) {
    // Any case; only blanks are trimmed.
    const std::pair<const char*, bool> cases[] = {
        // clang-format off
        {"nodetect", true},      {"/  NODETECT  ", true}, {"/foo/ NoDetect /bar", true}, {"else/nodetect", true},
        {"", false},             {"/", false},            {"/nodetect2", false},         {"nodetect x", false},
        {"\tnodetect", false},   {"-nodetect", false},
        // clang-format on
    };
    for (const auto& [text, asks] : cases) EXPECT_EQ(CommandLineAsksNoDetect(text), asks) << text;
}

TEST(StartupTest, TheCycleLabel) {
    test::TempDir dir;
    auto native = MakeNativePlatform({});
    const std::string folder = dir.path() + kSep;
    const std::pair<std::optional<std::string>, const char*> cases[] = {
        {std::nullopt, "NA"},
        {"", "NA"},            // no line
        {"\r\n2213\r\n", ""},  // an empty first line shows empty
        {" 2213 rev 2 \r\nsecond\r\n", " 2213 rev 2 "},
        {"2301", "2301"},
    };
    for (const auto& [content, label] : cases) {
        if (content) test::WriteBytes(folder + "Cycle.txt", *content);
        EXPECT_EQ(ReadCycleLabel(native->get().fs, folder), label) << content.value_or("(absent)");
    }
}

// APX47180 and ATX05021 lie in area 0502 (Europe); APX00010, ATX00001 and NVX00001 in
// area 0000 (America (North)).
const test::PackageBuilder kPackage{{"APX47180", "APX00010"}, {"ATX05021", "ATX00001"}, {"NVX00001"}, "2213\r\n", {}};

enum Outcome { kRenamed, kLeft, kDeleted };

TEST(BackupMigrationTest, OldNamesPerSimulatorTableAndRegion) {
    const struct {
        const char* name;
        SimVersion sim;
        const char* area;
        const char* file;
        bool currentBackup;  // a .bglbckup of the same file is there already
        Outcome outcome;
    } cases[] = {
        {"P3D, APX in Europe: .p3dini", 6, "0502", "APX47180.bgl.p3dini", false, kRenamed},
        {"an old name in another case", 6, "0502", "APX47180.bgl.P3DINI", false, kRenamed},
        {"P3D leaves FSX's .raxini", 3, "0502", "APX47180.bgl.raxini", false, kLeft},
        {"APX elsewhere: .ilsbckup", 6, "0000", "APX00010.bgl.ilsbckup", false, kRenamed},
        {"APX elsewhere: not .p3dini", 6, "0000", "APX00010.bgl.p3dini", false, kLeft},
        {"ATX in Europe", 4, "0502", "ATX05021.bgl.p3dini", false, kRenamed},
        {"ATX elsewhere: left", 6, "0000", "ATX00001.bgl.p3dini", false, kLeft},
        {"NVX in any region", 6, "0000", "NVX00001.bgl.p3dini", false, kRenamed},
        {"FSX: .raxini", 1, "0502", "APX47180.bgl.raxini", false, kRenamed},
        {"FSX SE: .raxini", 2, "0000", "NVX00001.bgl.raxini", false, kRenamed},
        {"FSX leaves .p3dini", 2, "0502", "APX47180.bgl.p3dini", false, kLeft},
        {"FSX, APX elsewhere: .ilsbckup", 1, "0000", "APX00010.bgl.ilsbckup", false, kRenamed},
        {"the current backup wins", 5, "0502", "APX47180.bgl.p3dini", true, kDeleted},
        {"obsolete 0501", 6, "0501", "0501INT_T.BGL", false, kDeleted},
        {"obsolete 0502", 1, "0502", "0502INT_T.BGL", false, kDeleted},
        {"obsolete 0600", 6, "0600", "0600INT_T.BGL", false, kDeleted},
        {"obsolete 0601", 6, "0601", "0601INT_T.BGL", false, kDeleted},
        {"obsolete 0602", 6, "0602", "0602INT_T.BGL", false, kDeleted},
        {"0603 is not obsolete", 6, "0603", "0603INT_T.BGL", false, kLeft},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::EngineFixture m;
        const std::string file = c.file;
        const std::string current = file.substr(0, 12) + ".bglbckup";
        test::SimFolderBuilder simulator;
        simulator.Add(c.area, file, "old");
        if (c.currentBackup) simulator.Add(c.area, current, "current");
        ASSERT_TRUE(m.Build(kPackage, simulator, c.sim));
        EXPECT_EQ(MigrateBackupExtensions(m.fs(), m.state, m.errorLog), 0);
        EXPECT_FALSE(test::FileExists(m.pkg + kErrorLogName)) << "the last run's log stays without a failure";
        EXPECT_EQ(test::FileExists(m.Dest(c.area, file)), c.outcome == kLeft);
        const char* backup = c.currentBackup ? "current" : c.outcome == kRenamed ? "old" : "";  // "": none
        EXPECT_EQ(test::ReadBytes(m.Dest(c.area, current)), backup);
    }
}

TEST(BackupMigrationTest, FailuresAreCountedRecordedAndLogged) {
    test::EngineFixture m;
    test::SimFolderBuilder simulator;
    simulator.Add("0502", "APX47180.bgl.p3dini", "old")
        .Add("0502", "APX47180.bgl.bglbckup", "current")  // the deletion of the old one fails
        .Add("0000", "NVX00001.bgl.p3dini", "nvx")        // the rename fails
        .Add("0501", "0501INT_T.BGL", "obsolete");        // the deletion fails
    ASSERT_TRUE(m.Build(kPackage, simulator, 6));
    FaultInjectingFileSystem faulty(m.fs());
    faulty.FailPathsContaining("APX47180.bgl.p3dini", kPermissionDenied);
    faulty.FailPathsContaining("NVX00001.bgl.p3dini", kFileExists);
    faulty.FailPathsContaining("0501INT_T.BGL", kPermissionDenied);
    m.errorLog = "stale";
    EXPECT_EQ(MigrateBackupExtensions(faulty, m.state, m.errorLog), 3);
    // The log file holds what the run logged (the stale text cleared first).
    EXPECT_EQ(test::ReadBytes(m.pkg + kErrorLogName),
              "ERROR Renaming backup file: " + m.Dest("0502", "APX47180.bgl.p3dini") +
                  "\r\nError number: 70\r\n\r\nERROR Renaming backup file: " + m.Dest("0000", "NVX00001.bgl.p3dini") +
                  "\r\nError number: 58\r\n\r\nERROR Killing old file: " + m.Dest("0501", "0501INT_T.BGL") +
                  "\r\nError number: 70\r\n\r\n");
}

}  // namespace
}  // namespace orvanta
