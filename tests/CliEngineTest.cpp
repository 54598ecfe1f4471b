#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "app/Version.h"
#include "cli/Cli.h"
#include "cli/Selection.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
#include "support/SimFolderBuilder.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// A package (APX47180, ATX05021, NVX05021, all in area 0502, Europe) and a Prepar3D v4
// folder holding its own APX and ATX files and an older magvar table. The lock, the
// settings and the local application data live in the test's own folder.
class CliEngineTest : public ::testing::Test {
protected:
    CliEngineTest() : config_("XDG_CONFIG_HOME", dir / "config"), appData_("LOCALAPPDATA", dir / "appdata") {
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
        // The Windows store is the registry, shared by every test: start each from zero.
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
        std::ostringstream out, err;
        const int code = cli::RunOrvanta(all, out, err, isolated);
        return {code, out.str(), err.str()};
    }

    std::string Dest(const std::string& name) const { return test::SimSceneryPath(sim, "0502", name); }

    test::TempDir dir;
    test::ScopedEnv config_, appData_;
    NativePlatformOptions isolated;
    std::string sim;
};

TEST_F(CliEngineTest, StatusPrintsTheMainWindowsFigures) {
    const CliRun r = Run({"status", "--regions", "Europe,0"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, CaptionBase() +
                         " (P3D v4.5)\n"
                         "Region status [2 region(s) selected]\n"
                         "Available files: 3 files\n"
                         "Up-to-date files: None\n"
                         "Updatable files: 2 files\n"
                         "Deinstallable: None\n"
                         "Missing destination: 1 files\n"
                         "Magvar table: Magvar table (2022-R3)\n"
                         "Simulator activity: Inactive\n");

    const CliRun none = Run({"status"});
    EXPECT_EQ(none.code, 0) << none.err;
    EXPECT_NE(none.out.find("Region status [No region selected]\nAvailable files: None\n"), std::string::npos);

    const CliRun apxOnly = Run({"status", "--regions", "europe", "--categories", "APX"});
    EXPECT_NE(apxOnly.out.find("Available files: 1 files\nUp-to-date files: None\nUpdatable files: 1 files\n"),
              std::string::npos);
}

TEST_F(CliEngineTest, ListPrintsCaptionAndLines) {
    test::SetLocalModifiedTime(Dest("APX47180.bgl"), 2022, 1, 31, 12, 0, 0);
    test::SetLocalModifiedTime(dir / "pkg/APXFiles/APX47180.bgl", 2023, 2, 28, 12, 0, 0);
    const CliRun r = Run({"list", "updatable", "--regions", "all", "--categories", "apx"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Updatable files [1]\nAPX47180.bgl [31-01-2022] - Region:0502\tNew file date: 28-02-2023\n");

    const CliRun missing = Run({"list", "missing", "--regions", "europe"});
    EXPECT_EQ(missing.out, "Missing destination files [1]\nNVX05021.bgl - Region:0502\n");
    EXPECT_EQ(Run({"list", "everything", "--regions", "europe"}).code, 2);
}

TEST_F(CliEngineTest, InstallThenUninstall) {
    CliRun r = Run({"install", "--regions", "north-america"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Nothing to install\n");

    r = Run({"install", "--regions", "europe", "--log", "--magvar"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Update has been successfully completed\n3 BGL file(s) have been replaced\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::ReadBytes(Dest("APX47180.bgl")), "BGL APX47180");
    EXPECT_EQ(test::ReadBytes(Dest("APX47180.bgl.bglbckup")), "original APX file");
    EXPECT_EQ(test::ReadBytes(test::SimMagvarPath(sim) + ".bak"), test::MagvarBytes(0x2021, 1));
    EXPECT_NE(test::ReadBytes(dir / "pkg/Installer_Actions.log").find("Backup rename: "), std::string::npos);
    EXPECT_EQ(StoredCount(), "1");

    // Now up to date: nothing to do, and the magvar option is no longer available.
    EXPECT_EQ(Run({"install", "--regions", "europe"}).out, "Nothing to install\n");
    r = Run({"install", "--regions", "europe", "--magvar"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("Magvar table (up to date)"), std::string::npos);

    // One installed file gone: kept without the restore answer, restored with it.
    ASSERT_EQ(std::remove(Dest("ATX05021.bgl").c_str()), 0);
    r = Run({"uninstall", "--regions", "europe", "--categories", "apx,atx"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Uninstall has been successfully completed\n1 BGL file(s) have been restored\n");
    EXPECT_EQ(test::ReadBytes(Dest("APX47180.bgl")), "original APX file");
    EXPECT_FALSE(test::FileExists(Dest("ATX05021.bgl")));

    r = Run({"uninstall", "--regions", "europe", "--restore-missing"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Uninstall has been successfully completed\n1 BGL file(s) have been restored\n");
    EXPECT_EQ(test::ReadBytes(Dest("ATX05021.bgl")), "original ATX file");

    EXPECT_EQ(Run({"uninstall", "--regions", "europe"}).out, "Nothing to uninstall\n");
}

TEST_F(CliEngineTest, EveryFourthInstallPrintsTheDonationPrompt) {
    StoreCount("3");
    const CliRun r = Run({"install", "--regions", "europe"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Update has been successfully completed\n2 BGL file(s) have been replaced\n"
              "Thank you for your continued confidence. To help me continue this work, would you consider "
              "making a small onetime donation now (if not already done)?\n" +
                  std::string(kDonationUrl) + "\n");
}

TEST_F(CliEngineTest, RunsWithErrorsExitOne) {
    // A folder where the copy's temporary file would go makes the copy fail.
    test::MakeFolder(Dest("APX47180.bgl.orvanta-partial"));
    CliRun r = Run({"install", "--regions", "europe"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "Unable to complete full update\n1 BGL file(s) couldn't be updated\n"
              "See the Orvanta_Installer.log file for details\n");
    EXPECT_EQ(
        test::ReadBytes(dir / "pkg/Orvanta_Installer.log").rfind("Error Id: Copying new file replacing old one", 0),
        0u);
    EXPECT_EQ(StoredCount(), "0");  // a failed install is not counted

    // The file is left as its backup only; a folder in its place cannot be deleted.
    test::MakeFolder(Dest("APX47180.bgl") + kSep + "inner");
    r = Run({"uninstall", "--regions", "europe", "--keep-missing"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Unable to complete full uninstall\n1 BGL file(s) couldn't be restored\n"), std::string::npos);
}

TEST_F(CliEngineTest, RefusalsAndUsageErrors) {
    CliRun r = Run({"status", "--regions", "atlantis"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("unknown region"), std::string::npos);
    EXPECT_EQ(Run({"status", "--categories", "apx,bgl"}).code, 2);

    // An old backup beside a current one that cannot be deleted (it is a folder): the
    // migration fails and nothing runs.
    test::MakeFolder(Dest("APX47180.bgl.p3dini"));
    test::WriteBytes(Dest("APX47180.bgl.bglbckup"), "current");
    r = Run({"status", "--regions", "europe"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "1 backup files couldn't be renamed with a .bglbckup extension. A manual renaming is required "
              "before using the installer\nSee the Orvanta_Installer.log file for details\n");
    EXPECT_NE(test::ReadBytes(dir / "pkg/Orvanta_Installer.log").find("ERROR Renaming backup file: "),
              std::string::npos);
}

TEST_F(CliEngineTest, CleanShadersEmptiesTheCacheAndKeepsIt) {
    const std::string cache = dir / "appdata/Lockheed Martin/Prepar3D v4/Shaders";
    test::WriteBytes(cache + kSep + "sub" + kSep + "a.vsh", "x");
    test::WriteBytes(cache + kSep + "b.psh", "x");
    const CliRun r = Run({"clean-shaders"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Shader cache emptied: " + cache + "\n");
    EXPECT_TRUE(test::FileExists(cache));
    EXPECT_FALSE(test::FileExists(cache + kSep + "b.psh"));
    EXPECT_FALSE(test::FileExists(cache + kSep + "sub"));
}

TEST(CliSelectionTest, RegionsByIndexTextShortNameOrAll) {
    StatusSelection s;
    EXPECT_EQ(cli::ParseSelection(std::string("0, america (NORTH),far-east"), std::nullopt, false, s), "");
    EXPECT_EQ(s.regions, (std::array<bool, 8>{true, true, false, false, false, true, false, false}));
    EXPECT_EQ(s.categories, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(cli::ParseSelection(std::string("ALL"), std::string("nvx,Apx"), true, s), "");
    EXPECT_EQ(s.SelectedRegionCount(), 8);
    EXPECT_EQ(s.categories, (std::array<bool, 3>{true, false, true}));
    EXPECT_TRUE(s.forceFull);
    EXPECT_EQ(cli::ParseSelection(std::string("Australasia-Oceania,russia,middle-east,south-america"), std::nullopt,
                                  false, s),
              "");
    EXPECT_EQ(s.regions, (std::array<bool, 8>{false, false, true, true, false, false, true, true}));
    EXPECT_NE(cli::ParseSelection(std::string("8"), std::nullopt, false, s), "");
    EXPECT_NE(cli::ParseSelection(std::string("europe,"), std::nullopt, false, s), "");
    EXPECT_EQ(cli::ParseListStatus("up-to-date"), 1);
    EXPECT_EQ(cli::ParseListStatus("missing"), 4);
    EXPECT_EQ(cli::ParseListStatus("Missing"), 0);
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// On a terminal the restore question is asked; Yes is the default answer.
TEST_F(CliEngineTest, TerminalAnswersTheRestoreQuestion) {
    ASSERT_EQ(Run({"install", "--regions", "europe"}).code, 0);
    ASSERT_EQ(std::remove(Dest("ATX05021.bgl").c_str()), 0);
    auto uninstallAnswering = [&](const std::string& typed) {
        const cli::ParseResult parsed = cli::ParseCommandLine(
            {"--package", dir / "pkg", "--nodetect", "--sim-folder", dir / "sim", "uninstall", "--regions", "europe"});
        ASSERT_EQ(parsed.error, "");
        auto native = MakeNativePlatform(isolated);  // holds the instance lock until it goes
        std::ostringstream out, err;
        std::istringstream input(typed);
        cli::CliContext ctx{native->get(), parsed.options, out, err, {}, {}, {}};
        cli::InitProgramState(ctx);
        ctx.terminalInput = &input;
        EXPECT_EQ(cli::RunUninstallCommand(ctx), 0) << err.str();
        EXPECT_EQ(err.str(),
                  "Restore missing files from backups if available?\nIf [No], backup files will be kept\n"
                  "[Y/n] ");
    };
    uninstallAnswering("n\n");
    EXPECT_FALSE(test::FileExists(Dest("ATX05021.bgl")));
    EXPECT_EQ(test::ReadBytes(Dest("APX47180.bgl")), "original APX file");

    ASSERT_EQ(Run({"install", "--regions", "europe", "--categories", "apx"}).code, 0);
    uninstallAnswering("\n");
    EXPECT_EQ(test::ReadBytes(Dest("ATX05021.bgl")), "original ATX file");
}

}  // namespace
}  // namespace orvanta
