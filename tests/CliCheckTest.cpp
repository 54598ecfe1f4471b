#include <gtest/gtest.h>

#include <sstream>

#include "cli/Cli.h"
#include "platform/PathSeparator.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int code = cli::RunOrvanta(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(CliCheckTest, SoundPackagePrintsCountsAndCycle) {
    test::TempDir dir;
    test::PackageBuilder b;
    b.apx = {"APX47180", "APX47185"};
    b.atx = {"ATX05021"};
    b.nvx = {"NVX05021", "NVX05031", "NVX11070"};
    b.cycle = "AIRAC 2213\r\n";
    b.Write(dir / "pkg");
    const CliRun r = RunCli({"--package", dir / "pkg", "check"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Package OK\nAPX: 2 files\nATX: 1 files\nNVX: 3 files\nAIRAC Cycle: AIRAC 2213\n");
}

TEST(CliCheckTest, DamagedPackagePrintsFindingsWritesLogAndExits3) {
    test::TempDir dir;
    test::PackageBuilder b;
    b.writeMagvar = false;
    b.apx = {"APX47180", "APX4718x"};
    b.atx = {"ATX05021"};
    b.nvx = {"NVX05021"};
    const std::string root = b.Write(dir / "pkg");
    const CliRun r = RunCli({"check", "--package=" + dir / "pkg"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "Missing magdec.bgl file\nWrong APX4718x file in APXFileList\n");
    EXPECT_EQ(test::ReadBytes(root + "Orvanta_Installer.log"),
              "Missing magdec.bgl file\r\nWrong APX4718x file in APXFileList\r\n");
}

TEST(CliCheckTest, UsageErrorsExit2AndHelpAndVersionExit0) {
    EXPECT_EQ(RunCli({}).code, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).code, 2);
    EXPECT_EQ(RunCli({"check", "--bogus"}).code, 2);
    EXPECT_EQ(RunCli({"--package"}).code, 2);
    EXPECT_EQ(RunCli({"--sim", "7", "status"}).code, 2);
    EXPECT_EQ(RunCli({"check", "--magvar"}).code, 2);
    EXPECT_EQ(RunCli({"uninstall", "--restore-missing", "--keep-missing"}).code, 2);
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: orvanta"), std::string::npos);
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "Orvanta Installer v12.5\n");
}

}  // namespace
}  // namespace orvanta
