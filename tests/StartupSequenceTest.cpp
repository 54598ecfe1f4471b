#include <gtest/gtest.h>

#include <sstream>

#include "app/Paths.h"
#include "cli/StartupSequence.h"
#include "platform/FaultInjectingFileSystem.h"
#include "platform/PathSeparator.h"
#include "support/FakePlatform.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;
const char* const kFsxKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
const char* const kP3D4Key = "Software\\Lockheed Martin\\Prepar3D v4";

class StartupSequenceTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakePlatform fake;
    FaultInjectingFileSystem faultyFs{fake.fs()};
    Platform platform{faultyFs,       fake.env,      fake.regional, fake.registry, fake.versions,
                      fake.processes, fake.settings, fake.shell,    fake.access};
    cli::CliOptions options;
    std::string packageFolder;

    struct Result {
        int code;
        std::string out;
        std::string err;
        ProgramState state;
    };

    void SetUp() override {
        packageFolder = test::PackageBuilder().Write(dir / "pkg");
        fake.access.granted = 0x1F01FF;
        fake.env.localAppData = dir / "appdata";
    }

    // A simulator main folder with its executable and Scenery; the folder ends with the separator.
    std::string MakeSim(const std::string& name, const char* exe, std::uint16_t major, std::uint16_t minor,
                        std::uint16_t build) {
        const std::string folder = AddBackslash(dir / name);
        test::WriteBytes(folder + exe, "MZ");
        test::MakeFolder(folder + "Scenery");
        fake.versions.Set(folder + exe, major, minor, build, 0);
        return folder;
    }

    Result Run() {
        std::ostringstream out, err;
        cli::CliContext ctx{platform, options, out, err, {}, {}, {}};
        ctx.state.AppTitle = kAppTitle;
        ctx.state.AppFolder = packageFolder;
        const int code = cli::RunStartupThroughProtectedCheck(ctx);
        return {code, out.str(), err.str(), ctx.state};
    }
};

TEST_F(StartupSequenceTest, ASecondInstanceIsRefusedBeforeAnythingElse) {
    fake.env.anotherInstanceRuns = true;
    test::WriteBytes(packageFolder + "APXFileList.txt", "broken\r\n");
    const Result r = Run();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "Another instance of the Orvanta Installer is already running\nThe program will not start\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(test::FileExists(packageFolder + "Orvanta_Installer.log"));
    EXPECT_TRUE(fake.registry.reads.empty());
}

TEST_F(StartupSequenceTest, ADamagedPackageWritesTheLogAndStops) {
    test::WriteBytes(packageFolder + "APXFileList.txt", "broken\r\n");
    const Result r = Run();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Some necessary files are missing or corrupted\n"
              "Check that you correctly extracted the package including\n"
              "all files, folder subdirectories and their content\n"
              "See the Orvanta_Installer.log for details\n");
    EXPECT_NE(test::ReadBytes(packageFolder + "Orvanta_Installer.log"), "");
    EXPECT_TRUE(fake.registry.reads.empty());
    EXPECT_EQ(fake.env.lockRequests, 1);
}

TEST_F(StartupSequenceTest, ASingleDetectedSimulatorIsChosenByItselfOrTheUserChooses) {
    Result r = Run();
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "orvanta: no simulator was detected; choose a simulator folder with --sim-folder DIR\n");

    const std::string p3d = MakeSim("P3D4", "Prepar3D.exe", 4, 5, 12);
    fake.registry.Set(kLM, kP3D4Key, "SetupPath", p3d, k64);
    test::MakeFolder(dir / "appdata/Lockheed Martin/Prepar3D v4/Shaders");
    r = Run();
    EXPECT_EQ(r.code, cli::kStartupGoesOn) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.state.SelectedSim, 6);
    EXPECT_EQ(r.state.SelectedSimFolder, p3d);
    EXPECT_EQ(r.state.ShaderFolder, dir / "appdata/Lockheed Martin/Prepar3D v4/Shaders");
    EXPECT_EQ(r.state.Table(FileCategory::APX).size(), 1u);  // the package catalogue is built
    EXPECT_EQ(fake.access.asked, std::vector<std::string>{p3d + "Scenery"});

    const std::string fsx = MakeSim("FSX", "FSX.exe", 10, 0, 61637);
    fake.registry.Set(kLM, kFsxKey, "SetupPath", fsx, k32);
    const std::string detected =
        "Detected simulators:\n1\tFlight Simulator X\t" + fsx + "\n6\tPrepar3D v4\t" + p3d + "\n";
    r = Run();
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "orvanta: 2 simulators were detected; choose one with --sim N or --sim-folder DIR\n" + detected);
    EXPECT_EQ(r.state.SelectedSim, 0);
    options.sim = 3;
    r = Run();
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "orvanta: simulator 3 (Prepar3D v1) was not detected\n" + detected);
    options.sim = 1;
    r = Run();
    EXPECT_EQ(r.code, cli::kStartupGoesOn) << r.err;
    EXPECT_EQ(r.state.SelectedSimFolder, fsx);
    EXPECT_EQ(r.state.ShaderFolder, "");  // FSX has none here

    options.noDetect = true;
    options.sim = std::nullopt;
    r = Run();
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "orvanta: simulator detection is off; choose a simulator folder with --sim-folder DIR\n");
    EXPECT_TRUE(r.state.NoDetect);
    options.sim = 6;
    r = Run();
    EXPECT_EQ(r.err, "orvanta: simulator 6 (Prepar3D v4) was not detected (detection is off)\n");
}

TEST_F(StartupSequenceTest, SimFolderIsJudgedLikeSetFolder) {
    options.simFolder = MakeSim("P3D5", "Prepar3D.exe", 5, 0, 28);
    Result r = Run();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(
        r.err,
        "The Orvanta package is not compatible with P3Dv5\nClick Retry to select another folder or Cancel to exit\n");
    EXPECT_TRUE(fake.access.asked.empty());  // refused before the protected-folder check

    options.simFolder = dir / "nothing";
    r = Run();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(
        r.err,
        "Invalid folder, unknown or inactive simulator\nClick Retry to select another folder or Cancel to exit\n");

    const std::string se = MakeSim("FSXSE", "FSX.exe", 10, 0, 62615);
    options.simFolder = se.substr(0, se.size() - 1);  // without the separator
    test::MakeFolder(dir / "appdata/Microsoft/FSX/Shaders");
    r = Run();
    EXPECT_EQ(r.code, cli::kStartupGoesOn) << r.err;
    EXPECT_EQ(r.state.SelectedSim, 2);
    EXPECT_EQ(r.state.SelectedSimFolder, se);
    EXPECT_EQ(r.state.ShaderFolder, dir / "appdata/Microsoft/FSX/Shaders");  // the FSX fallback
}

TEST_F(StartupSequenceTest, AProtectedSceneryFolderStopsStartUp) {
    const std::string fsx = MakeSim("FSX", "FSX.exe", 10, 0, 61637);
    fake.registry.Set(kLM, kFsxKey, "SetupPath", fsx, k32);
    fake.access.granted = -1;
    faultyFs.FailPathsContaining("Cycle.bak", kPermissionDenied);
    Result r = Run();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Simulator is installed in a protected directory, not enabling update and uninstall processes. You "
              "may have to change permission rights on your sim folder or preferably install it in a dedicated "
              "unprotected folder (not Program Files (x86)\n");
    EXPECT_EQ(r.state.SelectedSim, 1);

    faultyFs.ClearFaults();
    r = Run();
    EXPECT_EQ(r.code, cli::kStartupGoesOn) << r.err;
    EXPECT_FALSE(test::FileExists(fsx + "Scenery" + kSep + "Cycle.txt"));
    EXPECT_FALSE(test::FileExists(fsx + "Scenery" + kSep + "Cycle.bak"));
}

}  // namespace
}  // namespace orvanta
