#include <gtest/gtest.h>

#include <sstream>

#include "cli/Cli.h"
#include "platform/PathSeparator.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

// The command's start-up on real folders and executables, as a user runs it.
class CliStartupTest : public ::testing::Test {
protected:
    CliStartupTest() : config_("XDG_CONFIG_HOME", dir / "config") {
        isolated.instanceLockPath = dir / "instance.lock";
        test::PackageBuilder().Write(dir / "pkg");
    }

    std::string MakeSim(const std::string& name, const char* exe, std::uint16_t major, std::uint16_t minor,
                        std::uint16_t build) {
        const std::string folder = dir / name;
        test::WriteBytes(folder + kSep + exe, tools::MakeVersionedExecutable(major, minor, build, 0));
        test::MakeFolder(folder + kSep + "Scenery");
        return folder;
    }

    struct CliRun {
        int code;
        std::string out;
        std::string err;
    };
    CliRun Run(std::vector<std::string> args) {
        std::vector<std::string> all = {"--package", dir / "pkg", "--nodetect"};
        all.insert(all.end(), args.begin(), args.end());
        std::ostringstream out, err;
        const int code = cli::RunOrvanta(all, out, err, isolated);
        return {code, out.str(), err.str()};
    }

    test::TempDir dir;
    test::ScopedEnv config_;
    NativePlatformOptions isolated;
};

TEST_F(CliStartupTest, APrepar3DV5FolderIsRefused) {
    const CliRun r = Run({"--sim-folder", MakeSim("P3D5", "Prepar3D.exe", 5, 0, 28), "status", "--regions", "all"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "The Orvanta package is not compatible with P3Dv5\n"
              "Click Retry to select another folder or Cancel to exit\n");
}

TEST_F(CliStartupTest, AFolderThatIsNoSimulatorIsRefused) {
    const CliRun r = Run({"--sim-folder", MakeSim("FSX9", "FSX.exe", 9, 0, 0), "status"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Invalid folder, unknown or inactive simulator\n"
              "Click Retry to select another folder or Cancel to exit\n");
}

TEST_F(CliStartupTest, TheVersionDecidesWhichFsxTheFolderIs) {
    CliRun r = Run({"--sim-folder", MakeSim("SE", "FSX.exe", 10, 0, 62607), "status"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Orvanta Installer v12.5 (FSX-SE)");
    r = Run({"--sim-folder", MakeSim("Boxed", "FSX.exe", 10, 0, 61472), "status"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Orvanta Installer v12.5 (FSX-SP2)");
}

TEST_F(CliStartupTest, WithoutAChoiceTheCommandAsksForOne) {
    const CliRun r = Run({"status"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "orvanta: simulator detection is off; choose a simulator folder with --sim-folder DIR\n");
}

}  // namespace
}  // namespace orvanta
