#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "platform/PathSeparator.h"
#include "support/WindowFixture.h"
#include "ui/Centering.h"
#include "ui/FrmSelect.h"

namespace orvanta {
namespace {

using test::FileExists;
using Lines = std::vector<std::string>;

const std::string kMigrating = "repaint  Updating backup file extensions, please wait [hourglass]";

// A sound package and a Prepar3D v4 with (unless told otherwise) a shader cache and a
// backup under its old name, which the start-up migration renames.
struct StartFixture : test::WindowFixture {
    std::string sim;

    explicit StartFixture(bool shaderCache = true) {
        WritePackage();
        sim = InstallSimulator(6, test::SimFolderBuilder().Add("0502", "APX47180.bgl.p3dini", "old"));
        if (shaderCache) MakeShaderCache(6);
    }
};

TEST(MainWindowStartTest, ReadyWithTheOnlyDetectedSimulator) {
    for (const bool shaderCache : {true, false}) {
        SCOPED_TRACE(shaderCache ? "with a shader cache" : "without one");
        StartFixture t(shaderCache);
        frmMain& w = t.Start();
        ASSERT_TRUE(t.Running());
        EXPECT_EQ(t.host.journal, (Lines{"shown Main", kMigrating, "repaint "}));
        EXPECT_EQ(w.Form.Caption(), "Orvanta Installer v12.5 (P3D v4.5)");
        EXPECT_EQ(w.lblCycle.Caption(), "2213");
        EXPECT_EQ(w.CheckMV.Caption(), "Magvar table (2022-R3)");
        EXPECT_TRUE(w.CheckMV.Enabled());
        EXPECT_EQ(w.CheckCleanSF.Enabled(), shaderCache);  // nothing to clean without one
        EXPECT_EQ(w.lblFSActivity.Caption(), "Inactive");
        EXPECT_EQ(w.Form.Pointer(), MousePointer::Default);
        w.Form_Activate();  // coming back to the window later repeats nothing
        EXPECT_EQ(t.host.journal.size(), 3u);
    }
}

// Every refusal shows one box (none when the user gave up in the selection window), ends
// the program and leaves the simulator as it was.
TEST(MainWindowRefusalTest, EndsTheProgramBeforeAnythingChanges) {
    using Arrange = std::function<void(StartFixture&)>;
    struct Case {
        const char* name;
        Arrange arrange;
        const char* caption;
        bool errorLog;
        Lines journal;
    };
    const Arrange secondInstance = [](StartFixture& t) {  // or a pipe at the lock's name
        t.env.anotherInstanceRuns = true;
        t.env.lockFileInTheWay = "/tmp/orvanta-installer-1000.lock";
    };
    const Arrange damaged = [](StartFixture& t) { std::remove((t.pkg + "magdec.bgl").c_str()); };
    const Arrange cancelled = [](StartFixture& t) {  // No keeps the window, Yes closes it
        t.registry.values.clear();
        t.host.answers = {kAnswerNo, kAnswerYes};
        t.host.modalScript.push_back([](frmSelect& s) {
            s.cmdCancel.Click();
            s.cmdCancel.Click();
        });
    };
    const Arrange protectedFolder = [](StartFixture& t) {
        t.access.granted = 0x1201BF;  // every Modify right but delete
        t.fs.FailPathsContaining(std::string("Scenery") + kSep + "Cycle.txt", kPermissionDenied);
    };
    const Arrange oldBackupLocked = [](StartFixture& t) { t.fs.FailPathsContaining(".p3dini", kPermissionDenied); };
    const Arrange sessionEnded = [](StartFixture& t) {  // as the user chose a folder
        t.registry.values.clear();
        t.host.browseAnswers.push_back(t.dir / "sim6");
        t.host.modalScript.push_back([&t](frmSelect& s) {
            s.cmdSet.Click();
            t.window->Unload();
        });
    };
    const char* bare = "Orvanta Installer v12.5";
    const char* p3d = "Orvanta Installer v12.5 (P3D v4.5)";
    const std::string modal = "modal Sim selection (none detected) at 2490,1537:";
    const std::string exit = "Select 36: Exit the Orvanta Installer ?";
    const std::string refused =
        "Screen 48: Another instance of the Orvanta Installer is already running / The program will not start / "
        "The lock file cannot be used: /tmp/orvanta-installer-1000.lock";
    const std::string damagedBox =
        "Main 16: Some necessary files are missing or corrupted / Check that you correctly extracted the package "
        "including / all files, folder subdirectories and their content / See the Orvanta_Installer.log for details";
    const std::string protectedBox =
        "Main 16: Simulator is installed in a protected directory, not enabling update and uninstall processes. You "
        "may have to change permission rights on your sim folder or preferably install it in a dedicated unprotected "
        "folder (not Program Files (x86)";
    const std::string migrationBox =
        "Main 16: 1 backup files couldn't be renamed with a .bglbckup extension. A manual renaming is required "
        "before using the installer / See the Orvanta_Installer.log file for details";
    const Case cases[] = {
        {"second instance", secondInstance, "", false, {refused}},
        {"damaged package", damaged, bare, true, {"shown Main", damagedBox}},
        {"selection cancelled twice", cancelled, bare, false, {"shown Main", modal, exit, exit, "unloaded Select"}},
        {"protected folder", protectedFolder, p3d, false, {"shown Main", protectedBox}},
        {"migration failure", oldBackupLocked, p3d, true, {"shown Main", kMigrating, "repaint ", migrationBox}},
        {"session ended in the selection window",
         sessionEnded,
         bare,
         false,
         {"shown Main", modal, "browse Select Select the sim main folder", "unloaded Select"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartFixture t;
        c.arrange(t);
        t.Start();
        EXPECT_FALSE(t.Running());
        Lines journal = c.journal;
        journal.push_back("unloaded Main");
        EXPECT_EQ(t.host.journal, journal);
        EXPECT_EQ(t.window->Form.Caption(), c.caption);
        EXPECT_EQ(FileExists(t.pkg + "Orvanta_Installer.log"), c.errorLog);
        EXPECT_FALSE(FileExists(test::SimSceneryPath(t.sim, "0502", "APX47180.bgl.bglbckup")));  // not migrated
    }
}

TEST(MainWindowSelectionTest, SeveralSimulatorsAskTheUserInACentredModalWindow) {
    for (const SimVersion choice : {5, 2}) {
        SCOPED_TRACE(choice);
        StartFixture t;
        t.registry.values.clear();
        t.InstallSimulator(2);
        t.InstallSimulator(5);
        t.MakeShaderCache(5);  // only Prepar3D v3 has one
        t.Load();
        t.window->Form.Move(1000, 800);
        t.window->Form.Resize(9000, 7001, 6500);  // the gaps 4380 and 2921 halve to 2190 and 1460
        t.host.modalScript.push_back([&](frmSelect& s) {
            s.OptSim(choice).Click();
            s.cmdSelect.Click();
        });
        t.window->Show();
        t.window->Form_Activate();
        ASSERT_TRUE(t.Running());
        EXPECT_EQ(t.host.journal, (Lines{"shown Main", "modal Sim version selection at 3190,2260: 2* 5 Frame Select",
                                         "unloaded Select", kMigrating, "repaint "}));
        EXPECT_EQ(t.state.SelectedSim, choice);
        EXPECT_EQ(t.window->CheckCleanSF.Enabled(), choice == 5);
        EXPECT_EQ(t.window->Form.Caption(),
                  choice == 5 ? "Orvanta Installer v12.5 (P3D v3.5)" : "Orvanta Installer v12.5 (FSX-SE)");
    }
}

// With detection switched off the selection window always asks; Set folder tries folders
// until one holds a supported simulator, or the user gives up.
TEST(MainWindowSelectionTest, SetFolderRetriesUntilAValidFolderOrCancel) {
    const std::string browse = "browse Select Select the sim main folder";
    const std::string invalid =
        "Select 53: Invalid folder, unknown or inactive simulator / Click Retry to select "
        "another folder or Cancel to exit";
    struct Case {
        const char* name;
        Lines folders;
        std::deque<MsgAnswer> answers;
        Lines journal;
        SimVersion sim;
    };
    const Case cases[] = {
        {"no simulator, then one",
         {"pkg", "sim6"},
         {kAnswerRetry},
         {browse, invalid, browse, "unloaded Select", kMigrating, "repaint "},
         6},
        {"no simulator, cancelled", {"pkg"}, {kAnswerCancel}, {browse, invalid, "unloaded Select", "unloaded Main"}, 0},
        {"browser cancelled", {}, {}, {browse, "unloaded Select", "unloaded Main"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartFixture t;
        for (const std::string& f : c.folders) t.host.browseAnswers.push_back(t.dir / f);
        t.host.answers = c.answers;
        t.host.modalScript.push_back([](frmSelect& s) { s.cmdSet.Click(); });
        t.env.commandLine = "/  NODETECT ";
        t.Start();
        Lines journal = {"shown Main", "modal Sim selection (detection disabled) at 2490,1537:"};
        journal.insert(journal.end(), c.journal.begin(), c.journal.end());
        EXPECT_EQ(t.host.journal, journal);
        EXPECT_EQ(t.state.SelectedSim, c.sim);
        EXPECT_EQ(t.state.SelectedSimFolder, c.sim != 0 ? t.sim : "");
    }
}

// The captions that say what a control acts on: a swapped one would have the user install
// the wrong category or update the wrong simulator.
TEST(MainWindowStartTest, ControlsSayWhatTheyActOn) {
    test::WindowFixture t;
    frmMain m(t.platform, t.state, t.host);
    frmSelect s(t.platform, t.state, t.host);
    std::string captions;
    for (const Control* c : std::initializer_list<const Control*>{
             &m.CheckMV,   &m.CheckNVX,   &m.CheckAPX,     &m.CheckATX,  &m.CheckForceFull, &m.CheckCleanSF,
             &m.CheckLog,  &m.cmdInstall, &m.cmdUninstall, &m.lbl(0),    &m.lbl(1),         &m.lbl(2),
             &m.lbl(3),    &m.lbl(4),     &m.lbl(5),       &s.OptSim(1), &s.OptSim(2),      &s.OptSim(3),
             &s.OptSim(4), &s.OptSim(5),  &s.OptSim(6),    &s.cmdSet,    &s.cmdCancel,      &s.cmdSelect}) {
        captions += c->Caption() + "|";
    }
    EXPECT_EQ(captions,
              "Magvar table|En route navaids|Airport data (see documentation)|Airways, en route and RNAV fixes|Force "
              "full install |Clean shader files on exit|Log install actions (support)|Install selection|Uninstall "
              "selection|Available files|Up-to-date files|Updatable files|Deinstallable|Missing destination|Simulator "
              "activity|Flight Simulator X|FSX Steam Edition|Prepar3D v1|Prepar3D v2|Prepar3D v3|Prepar3D v4|Set "
              "folder|Cancel|Select|");
}

TEST(CenteringTest, MessageBoxOverTheOwnersCentreRoundedHalfToEven) {
    const struct {
        const char* name;
        ScreenRect owner;
        ScreenRect box;
        ScreenPoint at;
    } cases[] = {
        {"800 by 600 at (100, 100), box 300 by 150", {100, 100, 900, 700}, {0, 0, 300, 150}, {350, 325}},
        {"box larger than its owner", {100, 100, 300, 200}, {0, 0, 400, 300}, {0, 0}},
        {"349.5 up to 350", {100, 0, 900, 0}, {0, 0, 301, 0}, {350, 0}},
        {"350.5 down to 350", {101, 0, 901, 0}, {0, 0, 301, 0}, {350, 0}},
        {"0.5 down to 0, 1.5 up to 2", {0, 0, 1, 3}, {0, 0, 0, 0}, {0, 2}},
        {"-0.5 up to 0, -1.5 down to -2", {0, 0, 0, 0}, {0, 0, 1, 3}, {0, -2}},
    };
    for (const auto& c : cases) EXPECT_EQ(CenteredMessageBoxPosition(c.owner, c.box), c.at) << c.name;
}

TEST(CenteringTest, AWindowPlacedByTheProgramMovesJustEnoughToLieInsideTheWorkArea) {
    const ScreenRect screen{0, 0, 1024, 768};
    const struct {
        const char* name;
        ScreenRect window;
        ScreenRect work;
        ScreenPoint at;
    } cases[] = {
        {"inside: stays", {100, 100, 500, 400}, screen, {100, 100}},
        {"past the right and bottom edges: on them", {834, 500, 1227, 968}, screen, {631, 300}},
        {"past the left and top edges", {-50, -20, 350, 280}, screen, {0, 0}},
        {"a second monitor below a task bar", {2800, 10, 3200, 310}, {1024, 40, 2944, 1080}, {2544, 40}},
        {"larger than the area: top left corner inside", {500, 500, 1700, 1400}, screen, {0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(PlaceInsideWorkArea(c.window, c.work), c.at) << c.name;
}

TEST(CenteringTest, SelectionWindowRoundsEachGapThenHalvesTowardZero) {
    const struct {
        const char* name;
        double owner[4];  // left, top, width, height
        double size[2];
        double left, top;
    } cases[] = {
        {"even gaps", {1000, 2000, 9000, 7000}, {4000, 3000}, 3500, 4000},
        {"odd gaps lose their odd twip", {0, 0, 9001, 7001}, {4000, 3000}, 2500, 2000},
        {"4000.5 rounds to 4000, 4001.5 to 4002", {0, 0, 8000.5, 7001.5}, {4000, 3000}, 2000, 2001},
        {"4000.75 rounds up to 4001, halved to 2000", {0, 0, 8000.75, 7000}, {4000, 3000}, 2000, 2000},
        {"a negative odd gap", {500, 500, 3000, 3000}, {4001, 3000}, 0, 500},
    };
    for (const auto& c : cases) {
        const WindowPlace p =
            CenteredSelectionPlace(c.owner[0], c.owner[1], c.owner[2], c.owner[3], c.size[0], c.size[1]);
        EXPECT_EQ(p.left, c.left) << c.name;
        EXPECT_EQ(p.top, c.top) << c.name;
    }
}

}  // namespace
}  // namespace orvanta
