#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "platform/PathSeparator.h"
#include "sim/ProtectedFolder.h"
#include "support/WindowFixture.h"
#include "ui/FrmSelect.h"

namespace orvanta {
namespace {

using test::FileExists;
using Lines = std::vector<std::string>;

const std::string kMigrating = "repaint  Updating backup file extensions, please wait [hourglass]";
const std::string kNoneDetected = "modal Sim selection (none detected) at 2490,1537:";

// A sound package and a Prepar3D v4 with a shader cache and a backup under its old name,
// which the start-up migration renames.
struct StartFixture : test::WindowFixture {
    std::string sim;

    StartFixture() {
        WritePackage();
        sim = InstallSimulator(6, test::SimFolderBuilder().Add("0502", "APX47180.bgl.p3dini", "old"));
        MakeShaderCache(6);
    }
    bool Migrated() const { return FileExists(test::SimSceneryPath(sim, "0502", "APX47180.bgl.bglbckup")); }
};

class MainWindowStartTest : public ::testing::Test, public StartFixture {};

TEST_F(MainWindowStartTest, ReadyWithTheOnlyDetectedSimulator) {
    frmMain& w = Start();
    ASSERT_TRUE(Running());
    EXPECT_EQ(host.journal, (Lines{"shown Main", kMigrating, "repaint "}));
    EXPECT_EQ(state.SelectedSimFolder, sim);
    EXPECT_EQ(w.Form.Caption(), "Orvanta Installer v12.5 (P3D v4.5)");
    EXPECT_EQ(w.lblCycle.Caption(), "2213");
    EXPECT_EQ(Status(), "None None None None None");
    EXPECT_EQ(w.CheckMV.Caption(), "Magvar table (2022-R3)");
    EXPECT_TRUE(w.CheckMV.Enabled());
    EXPECT_EQ(w.lblFSActivity.Caption(), "Inactive");
    EXPECT_EQ(w.lblFSActivity.ForeColor(), (Rgb{0, 96, 0}));
    EXPECT_TRUE(w.CheckCleanSF.Enabled());
    EXPECT_EQ(w.Form.Pointer(), MousePointer::Default);
    EXPECT_TRUE(Migrated());

    // Coming back to the window later repeats nothing.
    w.Form_Activate();
    EXPECT_EQ(host.journal.size(), 3u);
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
    const Arrange secondInstance = [](StartFixture& t) { t.env.anotherInstanceRuns = true; };
    const Arrange damaged = [](StartFixture& t) { std::remove((t.pkg + "magdec.bgl").c_str()); };
    const auto noSimulator = [](std::deque<MsgAnswer> answers, int cancels) -> Arrange {
        return [=](StartFixture& t) {
            t.registry.values.clear();
            t.host.answers = answers;
            t.host.modalScript.push_back([=](frmSelect& s) {
                for (int i = 0; i < cancels; ++i) s.cmdCancel.Click();
            });
        };
    };
    const Arrange protectedFolder = [](StartFixture& t) {
        t.access.granted = 0x1201BF;  // every Modify right but delete
        t.fs.FailPathsContaining(std::string("Scenery") + kSep + "Cycle.txt", kPermissionDenied);
    };
    const Arrange oldBackupLocked = [](StartFixture& t) { t.fs.FailPathsContaining(".p3dini", kPermissionDenied); };
    const char* bare = "Orvanta Installer v12.5";
    const char* p3d = "Orvanta Installer v12.5 (P3D v4.5)";
    const std::string exit = "Select 36: Exit the Orvanta Installer ?";
    const std::string refused =
        "Screen 48: Another instance of the Orvanta Installer is already running / The program will not start";
    const std::string damagedBox =
        "Main 16: Some necessary files are missing or corrupted / Check that you correctly extracted the package "
        "including / all files, folder subdirectories and their content / See the Orvanta_Installer.log for details";
    const std::string protectedBox = std::string("Main 16: ") + kProtectedFolderMessage;
    const std::string migrationBox =
        "Main 16: 1 backup files couldn't be renamed with a .bglbckup extension. A manual renaming is required "
        "before using the installer / See the Orvanta_Installer.log file for details";
    const Arrange closed = noSimulator({}, 0);
    const Arrange cancelled = noSimulator({kAnswerNo, kAnswerYes}, 2);  // No keeps the window, Yes closes it
    // Each journal then ends with the main window unloaded.
    const Case cases[] = {
        {"second instance", secondInstance, "", false, {refused}},
        {"damaged package", damaged, bare, true, {"shown Main", damagedBox}},
        {"selection window closed", closed, bare, false, {"shown Main", kNoneDetected, "unloaded Select"}},
        {"cancelled twice", cancelled, bare, false, {"shown Main", kNoneDetected, exit, exit, "unloaded Select"}},
        {"protected folder", protectedFolder, p3d, false, {"shown Main", protectedBox}},
        {"migration failure", oldBackupLocked, p3d, true, {"shown Main", kMigrating, "repaint ", migrationBox}},
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
        EXPECT_FALSE(t.Migrated());
        EXPECT_EQ(t.window->Form.Pointer(), MousePointer::Default);
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
    const std::string modal = "modal Sim selection (detection disabled) at 2490,1537:";
    const std::string browse = "browse Select Select the sim main folder";
    const std::string retry = " / Click Retry to select another folder or Cancel to exit";
    const std::string v5 = "Select 53: The Orvanta package is not compatible with P3Dv5" + retry;
    const std::string invalid = "Select 53: Invalid folder, unknown or inactive simulator" + retry;
    const Lines chosen = {"unloaded Select", kMigrating, "repaint "};
    const Lines gaveUp = {"unloaded Select", "unloaded Main"};
    struct Case {
        const char* name;
        Lines folders;
        std::deque<MsgAnswer> answers;
        Lines journal;
        SimVersion sim;
    };
    const Case cases[] = {
        {"the detected Prepar3D v4 folder", {"sim6"}, {}, {browse}, 6},
        {"Prepar3D v5, then v4", {"p3d5", "sim6"}, {kAnswerRetry}, {browse, v5, browse}, 6},
        {"unknown FSX, then the Steam Edition", {"fsx9", "fsxse"}, {kAnswerRetry}, {browse, invalid, browse}, 2},
        {"no Scenery folder, cancelled", {"bare"}, {kAnswerCancel}, {browse, invalid}, 0},
        {"browser cancelled", {}, {}, {browse}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartFixture t;
        const auto make = [&](const char* name, const char* exe, FileVersion version, bool scenery = true) {
            test::WriteBytes(t.dir / name + kSep + exe, "MZ");
            if (scenery) test::MakeFolder(t.dir / name + kSep + "Scenery");
            t.versions.versions[t.dir / name + kSep + exe] = version;
        };
        make("p3d5", "Prepar3D.exe", {5, 0, 28, 0});
        make("bare", "Prepar3D.exe", {4, 0, 0, 0}, false);
        make("fsx9", "FSX.exe", {9, 0, 0, 0});
        make("fsxse", "FSX.exe", {10, 0, 62607, 0});
        for (const std::string& f : c.folders) t.host.browseAnswers.push_back(t.dir / f);
        t.host.answers = c.answers;
        t.host.modalScript.push_back([](frmSelect& s) { s.cmdSet.Click(); });
        t.env.commandLine = "/  NODETECT ";
        t.Start();
        Lines journal = {"shown Main", modal};
        journal.insert(journal.end(), c.journal.begin(), c.journal.end());
        const Lines& end = c.sim != 0 ? chosen : gaveUp;
        journal.insert(journal.end(), end.begin(), end.end());
        EXPECT_EQ(t.host.journal, journal);
        EXPECT_EQ(t.state.SelectedSim, c.sim);
        EXPECT_TRUE(t.state.SimFolders[6].empty());  // detection did not run
        if (c.sim != 0) {
            EXPECT_EQ(t.state.SelectedSimFolder, t.dir / c.folders.back() + kSep);
        }
    }
}

// What the user reads and sees of a control before anything runs: its caption, its text
// and back colours ("fg"/"bg" and the colour in hexadecimal), bold ("b") or underlined ("u").
std::string Look(const Control& c) {
    const auto hex = [](const Rgb& rgb) {
        char text[8];
        std::snprintf(text, sizeof text, "%02x%02x%02x", rgb.r, rgb.g, rgb.b);
        return std::string(text);
    };
    return c.Caption() + (c.ForeColor() ? " fg" + hex(*c.ForeColor()) : "") +
           (c.Style.backColor ? " bg" + hex(*c.Style.backColor) : "") + (c.Style.bold ? " b" : "") +
           (c.Style.underline ? " u" : "") + "|";
}
template <class... Controls>
std::string Looks(const Controls&... controls) {
    return (Look(controls) + ...);
}

TEST_F(MainWindowStartTest, DesignTextsAndLooks) {
    frmMain m(platform, state, host);
    EXPECT_EQ(
        Looks(m.Frame_Region, m.Frame_Status, m.lbl(0), m.lbl(3), m.lbl(5), m.lblbglnb(4), m.Frame_Update_Selection,
              m.CheckMV, m.CheckNVX, m.CheckAPX, m.CheckATX, m.Frame_Options, m.CheckForceFull, m.CheckCleanSF,
              m.CheckLog, m.Label2, m.Label1, m.lblCycle, m.lblDoc, m.cmdInstall, m.cmdUninstall, m.lblMess,
              m.Display.lblNFD1, m.Display.lblNFD2),
        "Region selector|Region status [No region selected]|Available files|Deinstallable|Simulator activity|None "
        "fg008000|Update selection (install and uninstall)|Magvar table|En route navaids|Airport data (see "
        "documentation)|Airways, en route and RNAV fixes|Options|Force full install |Clean shader files on "
        "exit|Log install actions (support)|See documentation for option functions fg800000|AIRAC "
        "Cycle:|---- b|Documentation fg0000ff u|Install selection bgc0ffc0|Uninstall selection bgffc0cb| "
        "fgffffc0 bg404040|New file date: | fgff0000|");
    frmSelect s(platform, state, host);
    EXPECT_EQ(Looks(s.FrameSim, s.OptSim(1), s.OptSim(2), s.OptSim(3), s.OptSim(6), s.cmdSet, s.cmdCancel, s.cmdSelect),
              "Select simulator version to be updated|Flight Simulator X|FSX Steam Edition|Prepar3D v1|Prepar3D "
              "v4|Set folder|Cancel|Select|");
}

TEST_F(MainWindowStartTest, ShaderOptionDisabledWithoutShaderFolder) {
    registry.values.clear();
    InstallSimulator(1);
    Start();
    ASSERT_TRUE(Running());
    EXPECT_FALSE(window->CheckCleanSF.Enabled());
    EXPECT_EQ(window->Form.Caption(), "Orvanta Installer v12.5 (FSX-XPack)");
}

}  // namespace
}  // namespace orvanta
