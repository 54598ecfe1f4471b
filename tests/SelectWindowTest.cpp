#include <gtest/gtest.h>

#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/FakeHost.h"
#include "support/WindowFixture.h"
#include "ui/FrmSelect.h"

namespace orvanta {
namespace {

class SelectWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    ProgramState state;
    test::FakeHost host;
    frmSelect window{native->get(), state, host};

    std::vector<int> EnabledOptions() const {
        std::vector<int> out;
        for (int i = 1; i <= 6; ++i) {
            if (window.OptSim(i).Enabled()) out.push_back(i);
        }
        return out;
    }
    int CheckedOption() const {
        for (int i = 1; i <= 6; ++i) {
            if (window.OptSim(i).Value()) return i;
        }
        return 0;
    }
};

TEST_F(SelectWindowTest, DesignTimeTexts) {
    EXPECT_EQ(window.Form.Caption(), "Sim version selection");
    EXPECT_EQ(window.FrameSim.Caption(), "Select simulator version to be updated");
    EXPECT_EQ(window.OptSim(1).Caption(), "Flight Simulator X");
    EXPECT_EQ(window.OptSim(2).Caption(), "FSX Steam Edition");
    EXPECT_EQ(window.OptSim(6).Caption(), "Prepar3D v4");
    EXPECT_EQ(window.cmdSet.Caption(), "Set folder");
    EXPECT_EQ(window.cmdCancel.Caption(), "Cancel");
    EXPECT_EQ(window.cmdSelect.Caption(), "Select");
    EXPECT_TRUE(EnabledOptions().empty());
}

TEST_F(SelectWindowTest, DetectedVersionsEnabledAndLowestPreselected) {
    state.SimFolders[2] = "/sims/fsxse/";
    state.SimFolders[5] = "/sims/p3dv3/";
    window.Load();
    EXPECT_EQ(EnabledOptions(), (std::vector<int>{2, 5}));
    EXPECT_EQ(CheckedOption(), 2);
    EXPECT_EQ(window.Form.Caption(), "Sim version selection");
    EXPECT_TRUE(window.cmdSelect.Enabled());
    EXPECT_TRUE(window.FrameSim.Enabled());

    window.OptSim(5).Click();
    window.cmdSelect.Click();
    EXPECT_EQ(state.SelectedSim, 5);
    EXPECT_EQ(state.SelectedSimFolder, "/sims/p3dv3/");
    EXPECT_FALSE(window.Form.Loaded());
    EXPECT_EQ(host.journal.back(), "unloaded:Select");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SelectWindowTest, NothingDetectedCaptions) {
    window.Load();
    EXPECT_EQ(window.Form.Caption(), "Sim selection (none detected)");
    EXPECT_FALSE(window.FrameSim.Enabled());
    EXPECT_FALSE(window.cmdSelect.Enabled());
    EXPECT_TRUE(window.cmdSet.Enabled());
    EXPECT_TRUE(window.cmdCancel.Enabled());
    EXPECT_EQ(CheckedOption(), 0);

    ProgramState noDetect;
    noDetect.NoDetect = true;
    frmSelect other(native->get(), noDetect, host);
    other.Load();
    EXPECT_EQ(other.Form.Caption(), "Sim selection (detection disabled)");
    other.cmdSelect.Click();  // disabled: nothing happens
    EXPECT_TRUE(other.Form.Loaded());
}

TEST_F(SelectWindowTest, CancelAnsweredNoKeepsTheWindowYesCloses) {
    state.SimFolders[1] = "/sims/fsx/";
    window.Load();
    state.SelectedSim = 3;  // whatever was there before
    host.answers = {kAnswerNo, kAnswerYes};
    window.cmdCancel.Click();
    EXPECT_TRUE(window.Form.Loaded());
    EXPECT_EQ(state.SelectedSim, 3);
    window.cmdCancel.Click();
    EXPECT_FALSE(window.Form.Loaded());
    EXPECT_EQ(state.SelectedSim, 0);

    ASSERT_EQ(host.messages.size(), 2u);
    const MessageRequest& m = host.messages[0];
    EXPECT_EQ(m.title, "Sim version selection");
    EXPECT_EQ(m.Text(), "Exit the Orvanta Installer ?");
    EXPECT_EQ(m.Style(), 36);
    EXPECT_EQ(m.owner, FormId::Select);
    EXPECT_TRUE(m.centred);
}

TEST_F(SelectWindowTest, CloseBoxLeavesNoChoice) {
    state.SimFolders[4] = "/sims/p3dv2/";
    window.Load();
    window.Form_QueryUnload();
    EXPECT_FALSE(window.Form.Loaded());
    EXPECT_EQ(state.SelectedSim, 0);
}

// "Set folder" on real folders.
class SelectFolderTest : public ::testing::Test, public test::WindowFixture {
protected:
    frmSelect window{platform, state, host};

    // A simulator main folder with the executable of the given version; without Scenery
    // when asked.
    std::string SimFolder(const std::string& name, const char* executable, FileVersion version, bool scenery = true) {
        const std::string folder = dir / name;
        test::WriteBytes(folder + kSep + executable, "MZ");
        if (scenery) test::MakeFolder(folder + kSep + "Scenery");
        versions.versions[folder + kSep + executable] = version;
        return folder;
    }

    void SetUp() override {
        state.NoDetect = true;
        window.Load();
    }
};

const std::vector<std::string> kRetryP3D5 = {"The Orvanta package is not compatible with P3Dv5",
                                             "Click Retry to select another folder or Cancel to exit"};
const std::vector<std::string> kRetryInvalid = {"Invalid folder, unknown or inactive simulator",
                                                "Click Retry to select another folder or Cancel to exit"};

TEST_F(SelectFolderTest, Prepar3DV5RefusedThenRetryWithAValidFolder) {
    const std::string v5 = SimFolder("p3d5", "Prepar3D.exe", {5, 0, 28, 0});
    const std::string v4 = SimFolder("p3d4", "Prepar3D.exe", {4, 5, 12, 30293});
    host.browseAnswers = {v5, v4};
    host.answers = {kAnswerRetry};
    window.cmdSet.Click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].lines, kRetryP3D5);
    EXPECT_EQ(host.messages[0].Style(), 53);
    EXPECT_EQ(host.messages[0].title, "Sim version selection");
    EXPECT_EQ(host.messages[0].owner, FormId::Select);
    ASSERT_EQ(host.browseRequests.size(), 2u);
    EXPECT_EQ(host.browseRequests[0].title, "Select the sim main folder");
    EXPECT_EQ(host.browseRequests[0].startFolder, "");
    EXPECT_EQ(host.browseRequests[0].owner, FormId::Select);
    EXPECT_EQ(state.SelectedSim, 6);
    EXPECT_EQ(state.SelectedSimFolder, v4 + kSep);
    EXPECT_FALSE(window.Form.Loaded());
}

TEST_F(SelectFolderTest, InvalidFolderCancelKeepsTheWindowOpen) {
    const std::string noScenery = SimFolder("p3d", "Prepar3D.exe", {4, 0, 0, 0}, false);
    host.browseAnswers = {noScenery};
    host.answers = {kAnswerCancel};
    window.cmdSet.Click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].lines, kRetryInvalid);
    EXPECT_TRUE(window.Form.Loaded());
    EXPECT_EQ(state.SelectedSim, 0);

    // A cancelled browser says nothing and leaves the window as it is.
    window.cmdSet.Click();
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(window.Form.Loaded());

    // Its own Cancel is the way out: No keeps it, Yes ends.
    host.answers = {kAnswerNo, kAnswerYes};
    window.cmdCancel.Click();
    EXPECT_TRUE(window.Form.Loaded());
    window.cmdCancel.Click();
    EXPECT_FALSE(window.Form.Loaded());
    EXPECT_EQ(state.SelectedSim, 0);
}

TEST_F(SelectFolderTest, FsxBuildsTellBoxedFromSteamEdition) {
    const std::string boxed = SimFolder("fsx", "FSX.exe", {10, 0, 61637, 0});
    host.browseAnswers = {boxed};
    window.cmdSet.Click();
    EXPECT_EQ(state.SelectedSim, 1);

    frmSelect again(platform, state, host);
    again.Load();
    const std::string steam = SimFolder("fsxse", "FSX.exe", {10, 0, 62607, 0});
    const std::string unknown = SimFolder("fsx9", "FSX.exe", {9, 0, 0, 0});
    host.browseAnswers = {unknown, steam};
    host.answers = {kAnswerRetry};
    again.cmdSet.Click();
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(state.SelectedSim, 2);
    EXPECT_EQ(state.SelectedSimFolder, steam + kSep);
}

TEST_F(SelectFolderTest, EveryAttemptStartsFromNoChoice) {
    state.SelectedSim = 4;  // a detected option picked earlier does not survive a failed attempt
    host.browseAnswers = {dir.path()};
    host.answers = {kAnswerCancel};
    window.cmdSet.Click();
    EXPECT_EQ(state.SelectedSim, 0);
}

}  // namespace
}  // namespace orvanta
