#include <gtest/gtest.h>

#include "platform/PathSeparator.h"
#include "support/WindowFixture.h"
#include "ui/FrmSelect.h"

namespace orvanta {
namespace {

using test::FileExists;
using test::ReadBytes;

class MainWindowStartTest : public ::testing::Test, public test::WindowFixture {};

const char* const kPackageFailureLines[4] = {
    "Some necessary files are missing or corrupted", "Check that you correctly extracted the package including",
    "all files, folder subdirectories and their content", "See the Orvanta_Installer.log for details"};

TEST_F(MainWindowStartTest, SecondInstanceIsRefusedBeforeTheWindowShows) {
    WritePackage();
    InstallSimulator(6);
    env.anotherInstanceRuns = true;
    Start();
    EXPECT_FALSE(Running());
    ASSERT_EQ(host.messages.size(), 1u);
    const MessageRequest& m = host.messages[0];
    EXPECT_FALSE(m.centred);
    EXPECT_EQ(m.title, "Orvanta Installer");
    EXPECT_EQ(m.Style(), 48);
    EXPECT_EQ(m.lines, (std::vector<std::string>{"Another instance of the Orvanta Installer is already running",
                                                 "The program will not start"}));
    EXPECT_EQ(host.journal,
              (std::vector<std::string>{"message:Another instance of the Orvanta Installer is already running",
                                        "unloaded:Main"}));
    EXPECT_FALSE(FileExists(pkg + "Orvanta_Installer.log"));
}

TEST_F(MainWindowStartTest, DamagedPackageIsReportedOnceTheWindowShows) {
    test::PackageBuilder package;
    package.writeMagvar = false;
    WritePackage(package);
    const std::string sim = InstallSimulator(6, test::SimFolderBuilder().Add("0502", "APX47180.bgl.p3dini", "old"));
    window = std::make_unique<frmMain>(platform, state, host);
    window->Load();
    // The load step has written the log and set the bare caption, but said nothing yet.
    EXPECT_EQ(window->Form.Caption(), "Orvanta Installer v12.5");
    EXPECT_EQ(ReadBytes(pkg + "Orvanta_Installer.log"), "Missing magdec.bgl file\r\n");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(window->lblCycle.Caption(), "----");
    window->Show();
    window->Form_Activate();

    EXPECT_FALSE(Running());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].Style(), 16);
    EXPECT_EQ(host.messages[0].owner, FormId::Main);
    EXPECT_TRUE(host.messages[0].centred);
    EXPECT_EQ(host.messages[0].lines, std::vector<std::string>(kPackageFailureLines, kPackageFailureLines + 4));
    EXPECT_TRUE(host.modalShows.empty());
    // Nothing in the simulator was touched.
    EXPECT_TRUE(FileExists(test::SimSceneryPath(sim, "0502", "APX47180.bgl.p3dini")));
}

TEST_F(MainWindowStartTest, ReadyWithTheOnlyDetectedSimulator) {
    test::PackageBuilder package;
    package.magvar = test::MagvarBytes(0x2022, 3);
    WritePackage(package);
    const std::string sim = InstallSimulator(6, test::SimFolderBuilder().Add("0502", "APX47180.bgl.p3dini", "old"));
    MakeShaderCache(6);
    host.statusLine = [this] {
        return window->lblMess.Caption() + (window->Form.Pointer() == MousePointer::Hourglass ? "|hourglass" : "");
    };
    frmMain& w = Start();

    ASSERT_TRUE(Running());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.modalShows.empty());
    EXPECT_TRUE(w.SimAutoSelected);
    EXPECT_EQ(state.SelectedSim, 6);
    EXPECT_EQ(state.SelectedSimFolder, sim);
    EXPECT_EQ(w.Form.Caption(), "Orvanta Installer v12.5 (P3D v4.5)");
    EXPECT_EQ(w.lblCycle.Caption(), "2213");
    EXPECT_EQ(w.Frame_Status.Caption(), "Region status [No region selected]");
    EXPECT_EQ(w.CheckMV.Caption(), "Magvar table (2022-R3)");
    EXPECT_TRUE(w.CheckMV.Enabled());
    EXPECT_EQ(w.lblFSActivity.Caption(), "Inactive");
    EXPECT_EQ(w.lblFSActivity.ForeColor(), (Rgb{0, 96, 0}));
    EXPECT_TRUE(w.CheckCleanSF.Enabled());
    EXPECT_FALSE(w.cmdInstall.Enabled());
    EXPECT_FALSE(w.cmdUninstall.Enabled());
    // The old backup has its new name; the status line showed the migration under the
    // hourglass, then was emptied.
    EXPECT_TRUE(FileExists(test::SimSceneryPath(sim, "0502", "APX47180.bgl.bglbckup")));
    EXPECT_FALSE(FileExists(test::SimSceneryPath(sim, "0502", "APX47180.bgl.p3dini")));
    EXPECT_EQ(host.repaintedStatus,
              (std::vector<std::string>{" Updating backup file extensions, please wait|hourglass", ""}));
    EXPECT_EQ(w.Form.Pointer(), MousePointer::Default);

    // Coming back to the window later repeats nothing.
    w.Form_Activate();
    EXPECT_EQ(host.repaintedStatus.size(), 2u);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(MainWindowStartTest, DesignTimeTexts) {
    frmMain w(platform, state, host);
    const std::vector<std::pair<const Control*, std::string>> expected = {
        {&w.Frame_Region, "Region selector"},
        {&w.Frame_Status, "Region status [No region selected]"},
        {&w.lbl(0), "Available files"},
        {&w.lbl(3), "Deinstallable"},
        {&w.lbl(5), "Simulator activity"},
        {&w.Frame_Update_Selection, "Update selection (install and uninstall)"},
        {&w.CheckMV, "Magvar table"},
        {&w.CheckNVX, "En route navaids"},
        {&w.CheckAPX, "Airport data (see documentation)"},
        {&w.CheckATX, "Airways, en route and RNAV fixes"},
        {&w.Frame_Options, "Options"},
        {&w.CheckForceFull, "Force full install "},
        {&w.CheckCleanSF, "Clean shader files on exit"},
        {&w.CheckLog, "Log install actions (support)"},
        {&w.Label2, "See documentation for option functions"},
        {&w.Label1, "AIRAC Cycle:"},
        {&w.lblDoc, "Documentation"},
        {&w.cmdInstall, "Install selection"},
        {&w.cmdUninstall, "Uninstall selection"},
        {&w.lblMess, ""},
    };
    for (const auto& [control, caption] : expected) EXPECT_EQ(control->Caption(), caption) << control->Name();
    ASSERT_EQ(w.RegionList.ListCount(), 8);
    EXPECT_EQ(w.RegionList.ItemText(0), "Africa");
    EXPECT_EQ(w.RegionList.ItemText(3), "Australasia-Oceania");
    EXPECT_EQ(w.RegionList.ItemText(7), "Russia");
}

TEST_F(MainWindowStartTest, ShaderOptionDisabledWithoutShaderFolder) {
    WritePackage();
    test::SimFolderBuilder simulator;
    simulator.magvar = test::MagvarBytes(0x2023, 0);  // newer than the package's
    InstallSimulator(1, simulator);
    frmMain& w = Start();
    ASSERT_TRUE(Running());
    EXPECT_EQ(w.Form.Caption(), "Orvanta Installer v12.5 (FSX-XPack)");
    EXPECT_FALSE(w.CheckCleanSF.Enabled());
    EXPECT_EQ(state.ShaderFolder, "");
    EXPECT_EQ(w.CheckMV.Caption(), "Magvar table (up to date)");
    EXPECT_FALSE(w.CheckMV.Enabled());
}

TEST_F(MainWindowStartTest, SeveralSimulatorsAskTheUserInACentredModalWindow) {
    WritePackage();
    InstallSimulator(2);
    const std::string p3d3 = InstallSimulator(5);
    MakeShaderCache(5);
    window = std::make_unique<frmMain>(platform, state, host);
    window->Load();
    window->Form.Move(1000, 800);
    window->Form.Resize(9000, 7001, 6500);
    std::vector<int> enabled;
    int preselected = 0;
    host.modalScript.push_back([&](frmSelect& s) {
        for (int i = 1; i <= 6; ++i) {
            if (s.OptSim(i).Enabled()) enabled.push_back(i);
            if (s.OptSim(i).Value()) preselected = i;
        }
        s.OptSim(5).Click();
        s.cmdSelect.Click();
    });
    window->Show();
    window->Form_Activate();

    ASSERT_TRUE(Running());
    EXPECT_EQ(enabled, (std::vector<int>{2, 5}));
    EXPECT_EQ(preselected, 2);
    ASSERT_EQ(host.modalShows.size(), 1u);
    EXPECT_EQ(host.modalShows[0].caption, "Sim version selection");
    // Centred: gaps rounded to whole twips, then halved toward zero.
    ASSERT_EQ(frmSelect::kWidth, 4620);
    ASSERT_EQ(frmSelect::kHeight, 4080);
    EXPECT_EQ(host.modalShows[0].left, 1000 + 4380 / 2);
    EXPECT_EQ(host.modalShows[0].top, 800 + 2921 / 2);
    EXPECT_EQ(state.SelectedSim, 5);
    EXPECT_EQ(state.SelectedSimFolder, p3d3);
    EXPECT_FALSE(window->SimAutoSelected);
    EXPECT_EQ(window->Form.Caption(), "Orvanta Installer v12.5 (P3D v3.5)");
    EXPECT_TRUE(window->CheckCleanSF.Enabled());
    EXPECT_FALSE(state.ShaderFolder.empty());
}

TEST_F(MainWindowStartTest, NoSimulatorChosenEndsTheProgramWithoutAMessageOfItsOwn) {
    WritePackage();
    host.answers = {kAnswerYes};
    std::string caption;
    host.modalScript.push_back([&](frmSelect& s) {
        caption = s.Form.Caption();
        s.cmdCancel.Click();
    });
    Start();
    EXPECT_FALSE(Running());
    EXPECT_EQ(caption, "Sim selection (none detected)");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].Text(), "Exit the Orvanta Installer ?");
    EXPECT_EQ(window->Form.Caption(), "Orvanta Installer v12.5");
}

TEST_F(MainWindowStartTest, NoDetectAlwaysAsksAndAFolderCanBeChosen) {
    WritePackage();
    const std::string sim = InstallSimulator(6);
    env.commandLine = "/  NODETECT ";
    std::string caption;
    host.browseAnswers = {sim.substr(0, sim.size() - 1)};
    host.modalScript.push_back([&](frmSelect& s) {
        caption = s.Form.Caption();
        s.cmdSet.Click();
    });
    frmMain& w = Start();
    ASSERT_TRUE(Running());
    EXPECT_TRUE(state.NoDetect);
    EXPECT_EQ(caption, "Sim selection (detection disabled)");
    EXPECT_EQ(state.SelectedSim, 6);
    EXPECT_EQ(state.SelectedSimFolder, sim);
    EXPECT_TRUE(state.SimFolders[6].empty());  // a chosen folder is not a detected one
    EXPECT_EQ(w.Form.Caption(), "Orvanta Installer v12.5 (P3D v4.5)");
}

TEST_F(MainWindowStartTest, ProtectedFolderEndsTheProgramBeforeAnythingChanges) {
    WritePackage();
    const std::string sim = InstallSimulator(6, test::SimFolderBuilder().Add("0502", "APX47180.bgl.p3dini", "old"));
    access.granted = 0x1201BF;  // every Modify right but delete
    fs.FailPathsContaining(std::string("Scenery") + kSep + "Cycle.txt", kPermissionDenied);
    Start();
    EXPECT_FALSE(Running());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].Style(), 16);
    EXPECT_EQ(host.messages[0].Text(),
              "Simulator is installed in a protected directory, not enabling update and uninstall processes. You may "
              "have to change permission rights on your sim folder or preferably install it in a dedicated "
              "unprotected folder (not Program Files (x86)");
    EXPECT_TRUE(FileExists(test::SimSceneryPath(sim, "0502", "APX47180.bgl.p3dini")));
    EXPECT_TRUE(host.repaintedStatus.empty());
}

TEST_F(MainWindowStartTest, WriteTestRescuesAFolderTheAccessCheckRefuses) {
    WritePackage();
    const std::string sim = InstallSimulator(6);
    access.granted = -1;
    Start();
    EXPECT_TRUE(Running());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(FileExists(sim + "Scenery" + kSep + "Cycle.txt"));
    EXPECT_FALSE(FileExists(sim + "Scenery" + kSep + "Cycle.bak"));
}

TEST_F(MainWindowStartTest, MigrationFailureEndsTheProgramWithItsCount) {
    WritePackage();
    const std::string sim = InstallSimulator(
        6,
        test::SimFolderBuilder().Add("0502", "APX47180.bgl.p3dini", "old").Add("0502", "NVX05021.bgl.p3dini", "old"));
    fs.FailPathsContaining(".p3dini", kPermissionDenied);
    Start();
    EXPECT_FALSE(Running());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].Style(), 16);
    EXPECT_EQ(host.messages[0].lines,
              (std::vector<std::string>{"2 backup files couldn't be renamed with a .bglbckup extension. A manual "
                                        "renaming is required before using the installer",
                                        "See the Orvanta_Installer.log file for details"}));
    EXPECT_NE(ReadBytes(pkg + "Orvanta_Installer.log").find("ERROR Renaming backup file: "), std::string::npos);
    EXPECT_EQ(window->Form.Pointer(), MousePointer::Default);
    EXPECT_EQ(window->lblMess.Caption(), "");
}

}  // namespace
}  // namespace orvanta
