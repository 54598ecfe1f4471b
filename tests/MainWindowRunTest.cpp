#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "app/Version.h"
#include "platform/PathSeparator.h"
#include "support/WindowFixture.h"

namespace orvanta {
namespace {

using test::FileExists;
using Lines = std::vector<std::string>;
using Action = std::function<void(frmMain&)>;
using Boxes = std::vector<CheckBox frmMain::*>;

constexpr int kEurope = 4;
constexpr auto kApx = &frmMain::CheckAPX;
constexpr auto kAtx = &frmMain::CheckATX;
constexpr auto kNvx = &frmMain::CheckNVX;
const std::string kInstalling = "repaint  Installing..please wait [disabled] [hourglass]";

// A package of four Europe files against a Prepar3D v4: APX47180 up to date, APX47995
// older, ATX05021 installed once (its backup exists) and older, NVX05021 missing with its
// backup there. The magvar table of the package is newer.
struct RunFixture : test::WindowFixture {
    std::string sim;
    std::string cache;

    RunFixture() {
        test::PackageBuilder package;
        package.apx = {"APX47180", "APX47995"};
        WritePackage(package);
        sim = InstallSimulator(6, test::SimFolderBuilder()
                                      .Add("0502", "APX47180.bgl", "BGL APX47180")
                                      .Add("0600", "APX47995.bgl", "older two")
                                      .Add("0502", "ATX05021.bgl", "installed earlier")
                                      .Add("0502", "ATX05021.bgl.bglbckup", "simulator's own")
                                      .Add("0502", "NVX05021.bgl.bglbckup", "simulator's own nvx"));
        cache = MakeShaderCache(6);
        test::SetLocalModifiedTime(Source("APX", "APX47180"), 2021, 3, 7, 10, 0, 0);
        test::SetLocalModifiedTime(test::SimSceneryPath(sim, "0502", "APX47180.bgl"), 2021, 3, 7, 15, 30, 0);
        test::SetLocalModifiedTime(Source("APX", "APX47995"), 2022, 12, 31, 8, 0, 0);
        test::SetLocalModifiedTime(Source("ATX", "ATX05021"), 2022, 12, 29, 8, 0, 0);
        Start();
    }
    std::string Source(const std::string& category, const std::string& name) const {
        return pkg + category + "Files" + kSep + name + ".bgl";
    }
    bool CacheEmptied() const { return !FileExists(cache + kSep + "sub" + kSep + "shader.bin"); }
    // Ticks Europe and the categories, and forgets the journal so far.
    void Select(const Boxes& boxes) {
        Tick({kEurope}, boxes);
        host.journal.clear();
    }
};

class MainWindowRunTest : public ::testing::Test, public RunFixture {};

TEST_F(MainWindowRunTest, StatusFollowsRegionsCategoriesAndTheMagvarOption) {
    std::vector<std::string> regions;
    for (int i = 0; i < window->RegionList.ListCount(); ++i) regions.push_back(window->RegionList.ItemText(i));
    EXPECT_EQ(regions, (Lines{"Africa", "America (North)", "America (South)", "Australasia-Oceania", "Europe",
                              "Far East", "Middle East", "Russia"}));
    Tick({kEurope});
    EXPECT_EQ(window->Frame_Status.Caption(), "Region status [1 region(s) selected]");
    EXPECT_EQ(Status(), "None None None None None");
    Tick({}, {kApx});
    EXPECT_EQ(Status(), "2 files 1 files?! 1 files?! None None +install");
    window->CheckMV.Click();
    window->CheckMV.Click();  // something is updatable: the button stays
    EXPECT_EQ(Status(), "2 files 1 files?! 1 files?! None None +install");
    Tick({}, {kAtx, kNvx});
    EXPECT_EQ(Status(), "4 files 1 files?! 2 files?! 2 files?! 1 files?! +install +uninstall");

    for (auto box : {kApx, kAtx, kNvx}) ((*window).*box).Click();
    EXPECT_EQ(Status(), "None None None None None");
    window->CheckMV.Click();  // the magvar table alone is something to install
    EXPECT_EQ(Status(), "None None None None None +install");
    Tick({}, {kNvx});  // also after a scan that finds nothing updatable
    EXPECT_EQ(Status(), "1 files None None 1 files?! 1 files?! +install +uninstall");
    window->RegionList.SetSelected(kEurope, false);
    EXPECT_EQ(window->Frame_Status.Caption(), "Region status [No region selected]");
    EXPECT_EQ(Status(), "None None None None None +install");
    window->CheckMV.Click();
    EXPECT_EQ(Status(), "None None None None None");
    EXPECT_EQ(host.journal.size(), 3u);  // start-up's only
}

TEST_F(MainWindowRunTest, OptionsExplainThemselvesOnceEachAndTheDocumentationOpens) {
    host.journal.clear();
    for (int round = 0; round < 2; ++round) {
        for (auto box : {&frmMain::CheckLog, &frmMain::CheckForceFull, &frmMain::CheckCleanSF}) {
            ((*window).*box).Click();
            ((*window).*box).Click();
        }
    }
    EXPECT_EQ(host.journal, (Lines{"Main 64: This will log all program actions in an Installer_Actions.log file. Only "
                                   "use this option on request for support",
                                   "Main 64: This will update all selected files regardless of date/time stamp. Only "
                                   "use in case of an incomplete update",
                                   "Main 64: This option will make the shader cache is cleared on exit if significant "
                                   "changes occured"}));

    // The documentation: the package's PDF, or the web address without one or when the
    // shell cannot open it.
    window->lblDoc.Click();
    test::WriteBytes(pkg + "Orvanta_Package.pdf", "%PDF");
    window->lblDoc.Click();
    shell.fails = true;
    window->lblDoc.Click();
    EXPECT_EQ(shell.opened,
              (Lines{kDocumentationUrl, pkg + "Orvanta_Package.pdf", pkg + "Orvanta_Package.pdf", kDocumentationUrl}));
}

// Refused while the simulator runs; a run with an error unticks Force full, rescans without
// it and counts nothing; the next clean run counts and, being the fourth, asks for a donation.
// An uninstall with a file missing asks, while busy, whether to restore it.
TEST_F(MainWindowRunTest, FromTheRefusalsThroughAnErrorAndTheDonationPromptToTheRestoreQuestionAndACutShortRun) {
    settings.Save("KestrelInstall", "Used", "OrvantaUpdateLaunch", "3");
    Select({kApx, kAtx, &frmMain::CheckForceFull});
    processes.processNames = {"Prepar3D.exe"};
    window->cmdInstall.Click();
    window->cmdUninstall.Click();
    processes.processNames.clear();
    fs.FailPathsContaining("APX47995.bgl.bglbckup", kPermissionDenied);
    window->cmdInstall.Click();
    EXPECT_EQ(host.journal,
              (Lines{"Main 64: Installation cannot be performed while the simulator is running / Close the simulator "
                     "and retry",
                     "Main 64: Uninstall cannot be performed while the simulator is running / Close the simulator and "
                     "retry",
                     kInstalling, "repaint ",
                     "Main 48: Unable to complete full update / 1 BGL file(s) couldn't be updated / See the "
                     "Orvanta_Installer.log file for details"}));
    EXPECT_EQ(window->CheckForceFull.Value(), 0);
    EXPECT_EQ(Status(), "3 files 2 files?! 1 files?! 2 files?! None +install +uninstall");

    fs.ClearFaults();
    Tick({}, {&frmMain::CheckMV, &frmMain::CheckLog});
    host.journal.clear();
    host.answers = {kAnswerOk, kAnswerYes};
    window->cmdInstall.Click();
    EXPECT_EQ(host.journal, (Lines{kInstalling, "repaint ",
                                   "Main 64: Update has been successfully completed / 2 BGL file(s) have been replaced",
                                   "Main 292: Thank you for your continued confidence. To help me continue this work, "
                                   "would you consider making a small onetime donation now (if not already done)?"}));
    EXPECT_EQ(shell.opened, (Lines{kDonationUrl}));
    EXPECT_EQ(window->CheckMV.Caption(), "Magvar table (up to date)");
    EXPECT_TRUE(!window->CheckMV.Enabled() && window->CheckMV.Value() == 0);
    EXPECT_TRUE(FileExists(pkg + "Installer_Actions.log"));

    Tick({}, {kNvx});
    host.journal.clear();
    host.answers = {kAnswerYes};
    window->cmdUninstall.Click();
    EXPECT_EQ(
        host.journal,
        (Lines{"repaint  Uninstalling..please wait [disabled] [hourglass]",
               "Main 36: Restore missing files from backups if available? / If [No], backup files will be kept",
               "repaint ", "Main 64: Uninstall has been successfully completed / 4 BGL file(s) have been restored"}));
    EXPECT_EQ(Status(), "4 files 1 files?! 3 files?! None None +install");  // rescanned

    // An install cut short (the guard passes, the closing refresh fails) leaves the window usable.
    processes.throwOnQuery = processes.processQueries + 2;
    window->cmdInstall.Click();
    EXPECT_TRUE(window->Form.Enabled());
    EXPECT_EQ(window->Form.Pointer(), MousePointer::Default);
    EXPECT_EQ(host.journal.back(), "repaint ");
}

// The session ends while a message is open: the exit path runs inside the box, and nothing
// starts once the box returns, neither the uninstall it asked about nor the install's count.
TEST_F(MainWindowRunTest, SessionEndingUnderAMessageStartsNothingAfterIt) {
    Select({kAtx, kNvx, &frmMain::CheckCleanSF});
    host.duringNextBox = [&] { window->Unload(); };
    host.answers = {kAnswerYes};
    window->cmdUninstall.Click();
    EXPECT_EQ(test::ReadBytes(test::SimSceneryPath(sim, "0502", "ATX05021.bgl")), "installed earlier");
    EXPECT_FALSE(window->SignificantChanges || CacheEmptied());

    RunFixture t;
    t.settings.Save("KestrelInstall", "Used", "OrvantaUpdateLaunch", "3");
    t.Select({kApx});
    t.host.duringNextBox = [&] { t.window->Unload(); };
    t.window->cmdInstall.Click();
    EXPECT_EQ(t.settings.Get("KestrelInstall", "Used", "OrvantaUpdateLaunch", ""), "3");
}

TEST_F(MainWindowRunTest, PackageFileGoneEndsTheProgram) {
    const std::string gone =
        "Main 16: Some files in the provided package are missing or corrupted / Extract again "
        "the package then relaunch the installer from it";
    std::remove(Source("APX", "APX47180").c_str());
    Select({kAtx});
    window->CheckAPX.Click();  // a scan finds it gone
    EXPECT_FALSE(Running());
    EXPECT_EQ(host.journal, (Lines{gone, "unloaded Main"}));

    // Gone before an install: the run changed files, so the exit path empties the cache.
    RunFixture t;
    t.Select({kAtx, &frmMain::CheckCleanSF});
    std::remove(t.Source("ATX", "ATX05021").c_str());
    t.host.journal.clear();
    t.window->cmdInstall.Click();
    EXPECT_EQ(t.host.journal,
              (Lines{kInstalling, "repaint ", gone, "repaint  Clearing shader cache before exiting", "unloaded Main"}));
    EXPECT_TRUE(t.CacheEmptied());
}

TEST(MainWindowExitTest, ShaderCacheEmptiedOnlyAfterAChangeWithTheOptionTicked) {
    const struct {
        const char* name;
        std::function<void(RunFixture&)> run;
        bool emptied;
    } cases[] = {
        {"no run", [](RunFixture&) {}, false},
        {"after an uninstall", [](RunFixture& t) { t.window->cmdUninstall.Click(); }, true},
        {"option unticked at closing",
         [](RunFixture& t) {
             t.window->cmdInstall.Click();
             t.window->CheckCleanSF.Click();
         },
         false},
        {"runs refused while the simulator runs",
         [](RunFixture& t) {
             t.processes.processNames = {"Prepar3D.exe"};
             t.window->cmdInstall.Click();
             t.window->cmdUninstall.Click();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunFixture t;
        t.Select({kAtx, &frmMain::CheckCleanSF});
        c.run(t);
        t.window->Unload();
        EXPECT_EQ(t.CacheEmptied(), c.emptied);
    }
}

// ---- The file list window ----

TEST_F(MainWindowRunTest, FileListBesideTheMainWindowFollowsClicksAndRescans) {
    frmDisplay& display = window->Display;
    window->lblbglnb(3).Click();  // "None"
    EXPECT_FALSE(display.Form.Loaded());
    Select({kApx, kAtx, kNvx});
    window->lblbglnb(0).Click();  // never a list
    EXPECT_FALSE(display.Form.Loaded());
    window->Form.Move(600, 450);
    window->lblbglnb(2).Click();
    ASSERT_TRUE(display.Form.Visible());
    EXPECT_EQ(host.journal, Lines{"shown Display"});
    EXPECT_TRUE(display.Form.Left() == 600 + 9600 + 25 && display.Form.Top() == 450);
    EXPECT_EQ(display.Form.ClientHeight(), frmMain::kClientHeight);
    EXPECT_EQ(display.Form.Caption(), "Updatable files [2]");
    EXPECT_EQ(display.DisplayList.ListCount(), 2);
    EXPECT_TRUE(display.lblNFD1.Visible() && display.lblNFD2.Visible());
    // The first line is selected at once and shows the date of the package's file.
    EXPECT_EQ(display.lblNFD2.Caption(), "31-12-2022");
    display.DisplayList.SetListIndex(1);
    EXPECT_EQ(display.lblNFD2.Caption(), "29-12-2022");

    display.Form.Move(100, 100);  // the user moved it
    window->lblbglnb(1).Click();
    EXPECT_EQ(display.Form.Caption(), "Up-to-date files [1]");
    EXPECT_EQ(display.DisplayList.ListCount(), 1);
    EXPECT_FALSE(display.lblNFD1.Visible() || display.lblNFD2.Visible());
    EXPECT_EQ(display.Form.Left(), 100);
    window->lblbglnb(4).Click();
    display.DisplayList.SetListIndex(0);  // only the updatable list shows a date
    EXPECT_EQ(display.lblNFD2.Caption(), "29-12-2022");

    // A rescan refills it, the first line selected again.
    window->lblbglnb(2).Click();
    display.DisplayList.SetListIndex(1);
    fs.FailPathsContaining("APX47995.bgl.bglbckup", kPermissionDenied);
    window->cmdInstall.Click();
    EXPECT_EQ(display.Form.Caption(), "Updatable files [1]");
    EXPECT_EQ(display.DisplayList.ListCount(), 1);
    EXPECT_EQ(display.lblNFD2.Caption(), "31-12-2022");
}

TEST(MainWindowFileListTest, ClosesWhenItsListEmptiesOrNothingIsSelected) {
    const struct {
        const char* name;
        int list;
        Action action;
    } cases[] = {
        {"all updatable files installed", 2, [](frmMain& w) { w.cmdInstall.Click(); }},
        {"every category unticked", 4,
         [](frmMain& w) {
             for (auto box : {kApx, kAtx, kNvx}) (w.*box).Click();
         }},
        {"the last region unticked", 4, [](frmMain& w) { w.RegionList.SetSelected(kEurope, false); }},
        {"closed by the user", 4, [](frmMain& w) { w.Display.Form_QueryUnload(); }},
        {"the main window closed", 4, [](frmMain& w) { w.Unload(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunFixture t;
        t.Select({kApx, kAtx, kNvx});
        t.window->lblbglnb(c.list).Click();
        c.action(*t.window);
        EXPECT_FALSE(t.window->Display.Form.Loaded() || t.state.DisplayOpen);
        EXPECT_EQ(t.state.DisplayedStatus, 0);
        EXPECT_NE(std::find(t.host.journal.begin(), t.host.journal.end(), "unloaded Display"), t.host.journal.end());
    }
}

}  // namespace
}  // namespace orvanta
