#include <gtest/gtest.h>

#include "app/Version.h"
#include "platform/PathSeparator.h"
#include "support/WindowFixture.h"

namespace orvanta {
namespace {

using test::FileExists;
using test::ReadBytes;

constexpr int kEurope = 4;
constexpr int kAfrica = 0;

// A package of three Europe files against a Prepar3D v4 whose APX file is up to date,
// whose ATX file is older and was installed once (its backup exists), and which lacks the
// NVX file, whose backup is there.
class MainWindowRunTest : public ::testing::Test, public test::WindowFixture {
protected:
    std::string sim;
    std::string cache;

    void SetUp() override {
        test::PackageBuilder package;
        package.magvar = test::MagvarBytes(0x2022, 3);
        WritePackage(package);
        sim = InstallSimulator(6, test::SimFolderBuilder()
                                      .Add("0502", "APX47180.bgl", "BGL APX47180")
                                      .Add("0502", "ATX05021.bgl", "installed earlier")
                                      .Add("0502", "ATX05021.bgl.bglbckup", "simulator's own")
                                      .Add("0502", "NVX05021.bgl.bglbckup", "simulator's own nvx"));
        cache = MakeShaderCache(6);
        test::SetLocalModifiedTime(pkg + "APXFiles" + kSep + "APX47180.bgl", 2021, 3, 7, 10, 0, 0);
        test::SetLocalModifiedTime(Dest("APX47180.bgl"), 2021, 3, 7, 15, 30, 0);
        Start();
        ASSERT_TRUE(Running());
    }

    std::string LaunchCount() {
        return settings.Get("KestrelInstall", "Used", "OrvantaUpdateLaunch", "absent").value_or("unreadable");
    }
    std::string Dest(const std::string& name) const { return test::SimSceneryPath(sim, "0502", name); }
    std::vector<std::string> Counters() {
        std::vector<std::string> out;
        for (int i = 0; i < 5; ++i) out.push_back(Counter(i));
        return out;
    }
    // Records the window's busy look at every repaint of the status line.
    std::vector<std::string> WatchBusyState() {
        host.statusLine = [this] {
            std::string look = window->lblMess.Caption();
            look += window->Form.Enabled() ? "|enabled" : "|disabled";
            look += window->Form.Pointer() == MousePointer::Hourglass ? "|hourglass" : "|default";
            return look;
        };
        return {};
    }
};

using Lines = std::vector<std::string>;

TEST_F(MainWindowRunTest, CountersFollowRegionsAndCategories) {
    window->RegionList.SetSelected(kEurope, true);
    EXPECT_EQ(window->Frame_Status.Caption(), "Region status [1 region(s) selected]");
    EXPECT_EQ(Counters(), Lines(5, "None"));

    window->CheckAPX.Click();
    EXPECT_EQ(Counters(), (Lines{"1 files", "1 files", "None", "None", "None"}));
    EXPECT_EQ(window->lblbglnb(1).Pointer(), MousePointer::ArrowQuestion);
    EXPECT_EQ(window->lblbglnb(1).ToolTipText(), "Click to show list");
    EXPECT_EQ(window->lblbglnb(2).Pointer(), MousePointer::Default);
    EXPECT_EQ(window->lblbglnb(0).Pointer(), MousePointer::Default);  // never a click target
    EXPECT_FALSE(window->cmdInstall.Enabled());

    window->CheckATX.Click();
    window->CheckNVX.Click();
    EXPECT_EQ(Counters(), (Lines{"3 files", "1 files", "1 files", "2 files", "1 files"}));
    EXPECT_TRUE(window->cmdInstall.Enabled());
    EXPECT_TRUE(window->cmdUninstall.Enabled());

    window->RegionList.SetSelected(kAfrica, true);  // no file there
    EXPECT_EQ(window->Frame_Status.Caption(), "Region status [2 region(s) selected]");
    EXPECT_EQ(Counter(0), "3 files");

    // Unticking every category shows the empty status without scanning.
    window->CheckAPX.Click();
    window->CheckATX.Click();
    window->CheckNVX.Click();
    EXPECT_EQ(Counters(), Lines(5, "None"));
    EXPECT_EQ(window->lblbglnb(1).Pointer(), MousePointer::Default);
    EXPECT_EQ(window->lblbglnb(1).ToolTipText(), "");
    EXPECT_EQ(window->lblbglnb(4).ForeColor(), (Rgb{0, 128, 0}));
    EXPECT_FALSE(window->cmdUninstall.Enabled());
    EXPECT_FALSE(window->cmdInstall.Enabled());
    window->CheckMV.Click();  // the magvar table alone is something to install
    EXPECT_TRUE(window->cmdInstall.Enabled());
    window->CheckNVX.Click();
    EXPECT_EQ(Counter(4), "1 files");

    window->RegionList.SetSelected(kEurope, false);
    window->RegionList.SetSelected(kAfrica, false);
    EXPECT_EQ(window->Frame_Status.Caption(), "Region status [No region selected]");
    EXPECT_EQ(Counters(), Lines(5, "None"));
    EXPECT_FALSE(window->cmdUninstall.Enabled());
    EXPECT_TRUE(window->cmdInstall.Enabled());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(MainWindowRunTest, MagvarOptionAndTheInstallButton) {
    Tick({kEurope}, {"APX"});
    EXPECT_FALSE(window->cmdInstall.Enabled());
    window->CheckMV.Click();
    EXPECT_TRUE(window->cmdInstall.Enabled());
    window->CheckMV.Click();  // nothing updatable: the button goes again
    EXPECT_FALSE(window->cmdInstall.Enabled());
    Tick({}, {"ATX"});
    window->CheckMV.Click();
    window->CheckMV.Click();  // something updatable: the button stays
    EXPECT_TRUE(window->cmdInstall.Enabled());
}

TEST_F(MainWindowRunTest, OptionsExplainThemselvesOnceEach) {
    const std::string forceText =
        "This will update all selected files regardless of date/time stamp. Only use in case of an incomplete update";
    const std::string logText =
        "This will log all program actions in an Installer_Actions.log file. Only use this option on request for "
        "support";
    const std::string shaderText =
        "This option will make the shader cache is cleared on exit if significant changes occured";
    for (int round = 0; round < 2; ++round) {
        window->CheckLog.Click();
        window->CheckLog.Click();
        window->CheckForceFull.Click();
        window->CheckForceFull.Click();
        window->CheckCleanSF.Click();
        window->CheckCleanSF.Click();
    }
    ASSERT_EQ(host.messages.size(), 3u);
    EXPECT_EQ(host.messages[0].Text(), logText);
    EXPECT_EQ(host.messages[1].Text(), forceText);
    EXPECT_EQ(host.messages[2].Text(), shaderText);
    for (const MessageRequest& m : host.messages) {
        EXPECT_EQ(m.Style(), 64);
        EXPECT_EQ(m.title, "Orvanta Installer");
    }
    // With no region ticked, force-full scans nothing.
    EXPECT_EQ(Counter(0), "None");
}

TEST_F(MainWindowRunTest, ForceFullRescansWhenSomethingIsSelected) {
    Tick({kEurope}, {"APX", "ATX"});
    EXPECT_EQ(Counter(1), "1 files");
    window->CheckForceFull.Click();
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(Counter(1), "None");
    EXPECT_EQ(Counter(2), "2 files");
    window->CheckForceFull.Click();
    EXPECT_EQ(Counter(1), "1 files");
    EXPECT_EQ(Counter(2), "1 files");
}

TEST_F(MainWindowRunTest, InstallFromClickToClosingMessage) {
    Tick({kEurope}, {"APX", "ATX", "NVX"});
    window->CheckMV.Click();
    window->CheckLog.Click();  // its explanation
    WatchBusyState();
    window->cmdInstall.Click();

    ASSERT_EQ(host.repaintedStatus.size(), 4u);  // two of them at start-up
    EXPECT_EQ(host.repaintedStatus[2], " Installing..please wait|disabled|hourglass");
    EXPECT_EQ(host.repaintedStatus[3], "|enabled|default");
    ASSERT_EQ(host.messages.size(), 2u);
    const MessageRequest& closing = host.messages[1];
    EXPECT_EQ(closing.Style(), 64);
    EXPECT_EQ(closing.title, "Orvanta Installer");
    EXPECT_EQ(closing.lines, (Lines{"Update has been successfully completed", "2 BGL file(s) have been replaced"}));
    // Files: the ATX file replaced, its older backup kept; the magvar table backed up once.
    EXPECT_EQ(ReadBytes(Dest("ATX05021.bgl")), "BGL ATX05021");
    EXPECT_EQ(ReadBytes(Dest("ATX05021.bgl.bglbckup")), "simulator's own");
    EXPECT_FALSE(FileExists(Dest("NVX05021.bgl")));
    EXPECT_EQ(ReadBytes(test::SimMagvarPath(sim)), test::MagvarBytes(0x2022, 3));
    EXPECT_TRUE(FileExists(test::SimMagvarPath(sim) + ".bak"));
    EXPECT_NE(ReadBytes(pkg + "Installer_Actions.log").find("Replaced: " + Dest("ATX05021.bgl")), std::string::npos);
    EXPECT_FALSE(FileExists(pkg + "Orvanta_Installer.log"));
    // What the window shows afterwards.
    EXPECT_EQ(Counters(), (Lines{"3 files", "2 files", "None", "2 files", "1 files"}));
    EXPECT_EQ(window->CheckMV.Caption(), "Magvar table (up to date)");
    EXPECT_FALSE(window->CheckMV.Enabled());
    EXPECT_EQ(window->CheckMV.Value(), 0);
    EXPECT_FALSE(window->cmdInstall.Enabled());
    EXPECT_TRUE(window->Form.Enabled());
    EXPECT_TRUE(window->SignificantChanges);
    EXPECT_EQ(LaunchCount(), "1");
}

TEST_F(MainWindowRunTest, InstallWithErrorsPointsToTheLog) {
    Tick({kEurope}, {"ATX"});
    window->CheckForceFull.Click();  // explanation; APX is not ticked, so one file
    Tick({}, {"APX"});
    EXPECT_EQ(Counter(2), "2 files");
    fs.FailPathsContaining("APX47180.bgl.bglbckup", kPermissionDenied);
    window->cmdInstall.Click();

    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].Style(), 48);
    EXPECT_EQ(host.messages[1].lines, (Lines{"Unable to complete full update", "1 BGL file(s) couldn't be updated",
                                             "See the Orvanta_Installer.log file for details"}));
    const std::string log = ReadBytes(pkg + "Orvanta_Installer.log");
    EXPECT_EQ(log.rfind("Error Id: Backing up original file - Error number: 70\r\nFile: " + Dest("APX47180.bgl"), 0),
              0u);
    // Force-full is unticked by the run (its explanation is not shown again) and the
    // normal comparison applies.
    EXPECT_EQ(window->CheckForceFull.Value(), 0);
    EXPECT_EQ(Counter(2), "None");
    EXPECT_EQ(Counter(1), "2 files");
    EXPECT_EQ(LaunchCount(), "absent");  // a failed install is not counted
}

TEST_F(MainWindowRunTest, RunningSimulatorRefusesBothRunsAndChangesNothing) {
    Tick({kEurope}, {"ATX", "NVX"});
    window->ErrorLogText = "kept";
    processes.processNames = {"explorer.exe", "Prepar3D.exe"};
    window->cmdInstall.Click();
    window->cmdUninstall.Click();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].Style(), 64);
    EXPECT_EQ(host.messages[0].lines, (Lines{"Installation cannot be performed while the simulator is running",
                                             "Close the simulator and retry"}));
    EXPECT_EQ(host.messages[1].lines[0], "Uninstall cannot be performed while the simulator is running");
    EXPECT_EQ(window->lblFSActivity.Caption(), "Active");
    EXPECT_EQ(window->lblFSActivity.ForeColor(), (Rgb{192, 0, 0}));
    EXPECT_EQ(window->ErrorLogText, "kept");
    EXPECT_FALSE(window->SignificantChanges);
    EXPECT_EQ(ReadBytes(Dest("ATX05021.bgl")), "installed earlier");
    EXPECT_TRUE(host.repaintedStatus.size() == 2u);  // only the start-up migration's
}

TEST_F(MainWindowRunTest, UninstallAsksAboutMissingFilesAndRestores) {
    Tick({kEurope}, {"ATX", "NVX"});
    window->CheckLog.Click();
    host.answers = {kAnswerYes};
    WatchBusyState();
    window->cmdUninstall.Click();

    ASSERT_EQ(host.messages.size(), 3u);
    const MessageRequest& question = host.messages[1];
    EXPECT_EQ(question.Style(), 36);
    EXPECT_EQ(question.lines,
              (Lines{"Restore missing files from backups if available?", "If [No], backup files will be kept"}));
    EXPECT_EQ(host.messages[2].Style(), 64);
    EXPECT_EQ(host.messages[2].lines,
              (Lines{"Uninstall has been successfully completed", "2 BGL file(s) have been restored"}));
    // The question came while the window was busy.
    EXPECT_EQ(host.journal[host.journal.size() - 4], "repaint: Uninstalling..please wait|disabled|hourglass");
    EXPECT_EQ(host.journal[host.journal.size() - 3], "message:Restore missing files from backups if available?");
    EXPECT_EQ(ReadBytes(Dest("ATX05021.bgl")), "simulator's own");
    EXPECT_EQ(ReadBytes(Dest("NVX05021.bgl")), "simulator's own nvx");
    EXPECT_FALSE(FileExists(Dest("ATX05021.bgl.bglbckup")));
    EXPECT_NE(ReadBytes(pkg + "Installer_Actions.log").find("Deleting: " + Dest("ATX05021.bgl")), std::string::npos);
    EXPECT_EQ(Counters(), (Lines{"2 files", "None", "2 files", "None", "None"}));
    EXPECT_FALSE(window->cmdUninstall.Enabled());
    EXPECT_TRUE(window->SignificantChanges);
    EXPECT_EQ(LaunchCount(), "absent");  // uninstall neither counts nor asks for a donation
}

TEST_F(MainWindowRunTest, UninstallAnsweredNoKeepsTheMissingFilesBackup) {
    Tick({kEurope}, {"ATX", "NVX"});
    host.answers = {kAnswerNo};
    window->cmdUninstall.Click();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].lines[1], "1 BGL file(s) have been restored");
    EXPECT_FALSE(FileExists(Dest("NVX05021.bgl")));
    EXPECT_TRUE(FileExists(Dest("NVX05021.bgl.bglbckup")));
    EXPECT_EQ(Counter(3), "1 files");
}

TEST_F(MainWindowRunTest, UninstallWithoutMissingFilesAsksNothingAndReportsErrors) {
    Tick({kEurope}, {"ATX"});
    fs.FailPathsContaining(std::string("ATX05021.bgl"), kPermissionDenied);
    window->cmdUninstall.Click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].Style(), 48);
    EXPECT_EQ(host.messages[0].lines, (Lines{"Unable to complete full uninstall", "1 BGL file(s) couldn't be restored",
                                             "See the Orvanta_Installer.log file for details"}));
    EXPECT_NE(ReadBytes(pkg + "Orvanta_Installer.log").find("Error Id: "), std::string::npos);
    EXPECT_TRUE(window->SignificantChanges);
}

TEST_F(MainWindowRunTest, DonationPromptAfterTheFourthInstallOnly) {
    settings.Save("KestrelInstall", "Used", "OrvantaUpdateLaunch", "2");
    Tick({kEurope}, {"ATX"});
    window->cmdInstall.Click();  // third install
    EXPECT_EQ(host.messages.size(), 1u);
    window->CheckForceFull.Click();  // explanation
    host.answers = {kAnswerOk, kAnswerYes};
    window->cmdInstall.Click();  // fourth
    ASSERT_EQ(host.messages.size(), 4u);
    const MessageRequest& prompt = host.messages[3];
    EXPECT_EQ(prompt.Style(), 292);
    EXPECT_EQ(prompt.Text(),
              "Thank you for your continued confidence. To help me continue this work, would you consider making a "
              "small onetime donation now (if not already done)?");
    EXPECT_EQ(shell.opened, (Lines{kDonationUrl}));
    EXPECT_EQ(LaunchCount(), "4");

    window->CheckForceFull.Click();
    window->cmdInstall.Click();  // fifth: no prompt
    EXPECT_EQ(host.messages.size(), 5u);
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(MainWindowRunTest, DocumentationOpensThePackagePdfOrTheWebAddress) {
    window->lblDoc.Click();
    test::WriteBytes(pkg + "Orvanta_Package.pdf", "%PDF");
    window->lblDoc.Click();
    EXPECT_EQ(shell.opened, (Lines{kDocumentationUrl, pkg + "Orvanta_Package.pdf"}));
    window->lblDoc_MouseMove();
    EXPECT_EQ(host.cursors, std::vector<MousePointer>{MousePointer::Hand});
}

TEST_F(MainWindowRunTest, PackageFileGoneDuringTheRunEndsTheProgram) {
    test::WriteBytes(pkg + "APXFiles" + kSep + "APX47180.bgl", "");
    std::remove((pkg + "APXFiles" + kSep + "APX47180.bgl").c_str());
    Tick({kEurope}, {"ATX"});
    EXPECT_TRUE(Running());
    window->CheckAPX.Click();
    EXPECT_FALSE(Running());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].Style(), 16);
    EXPECT_EQ(host.messages[0].lines, (Lines{"Some files in the provided package are missing or corrupted",
                                             "Extract again the package then relaunch the installer from it"}));
    EXPECT_EQ(Counter(0), "1 files");  // not updated by the failed scan
}

TEST_F(MainWindowRunTest, PackageFileGoneBeforeAnInstallEndsTheProgramAfterTheRun) {
    Tick({kEurope}, {"ATX"});
    window->CheckCleanSF.Click();
    std::remove((pkg + "ATXFiles" + kSep + "ATX05021.bgl").c_str());
    window->cmdInstall.Click();
    EXPECT_FALSE(Running());
    ASSERT_EQ(host.messages.size(), 2u);  // the option's explanation, then the package message
    EXPECT_EQ(host.messages[1].lines[0], "Some files in the provided package are missing or corrupted");
    EXPECT_NE(ReadBytes(pkg + "Orvanta_Installer.log").find("Copying new file replacing old one"), std::string::npos);
    // The simulator's file went to its backup before the copy failed: a change, so the
    // exit path cleaned the cache.
    EXPECT_FALSE(FileExists(cache + kSep + "shader1.bin"));
    EXPECT_EQ(LaunchCount(), "absent");
}

TEST_F(MainWindowRunTest, AnInstallCutShortLeavesTheWindowUsable) {
    Tick({kEurope}, {"ATX"});
    processes.throwOnQuery = processes.processQueries + 2;  // the guard passes, the closing refresh fails
    window->cmdInstall.Click();
    EXPECT_TRUE(window->Form.Enabled());
    EXPECT_EQ(window->Form.Pointer(), MousePointer::Default);
    EXPECT_EQ(window->lblMess.Caption(), "");
    EXPECT_TRUE(window->SignificantChanges);
    processes.throwOnQuery = 0;
    window->CheckNVX.Click();  // the window still works
    EXPECT_EQ(Counters(), (Lines{"2 files", "1 files", "None", "2 files", "1 files"}));
    EXPECT_EQ(window->lblFSActivity.Caption(), "Inactive");
}

TEST_F(MainWindowRunTest, ShaderCacheKeptWithoutAChange) {
    window->CheckCleanSF.Click();
    Close();
    EXPECT_TRUE(FileExists(cache + kSep + "sub" + kSep + "shader2.bin"));
    EXPECT_EQ(host.journal.back(), "unloaded:Main");
}

TEST_F(MainWindowRunTest, ShaderCacheKeptWhenTheOnlyRunWasRefused) {
    Tick({kEurope}, {"ATX"});
    window->CheckCleanSF.Click();
    processes.processNames = {"Prepar3D.exe"};
    window->cmdInstall.Click();
    Close();
    EXPECT_TRUE(FileExists(cache + kSep + "shader1.bin"));
}

TEST_F(MainWindowRunTest, ShaderCacheKeptWhenTheOptionIsUntickedAtClosing) {
    Tick({kEurope}, {"ATX"});
    window->CheckCleanSF.Click();
    window->cmdInstall.Click();
    window->CheckCleanSF.Click();
    Close();
    EXPECT_TRUE(FileExists(cache + kSep + "shader1.bin"));
}

TEST_F(MainWindowRunTest, ShaderCacheEmptiedOnExitAfterAnUninstall) {
    Tick({kEurope}, {"ATX"});
    window->CheckCleanSF.Click();
    window->cmdUninstall.Click();
    Close();
    EXPECT_TRUE(fs.IsFolder(cache));
    EXPECT_FALSE(FileExists(cache + kSep + "shader1.bin"));
    EXPECT_FALSE(FileExists(cache + kSep + "sub"));
    EXPECT_EQ(host.repaintedStatus.back(), " Clearing shader cache before exiting");
    EXPECT_EQ(host.journal.back(), "unloaded:Main");
}

}  // namespace
}  // namespace orvanta
