#include <gtest/gtest.h>

#include "platform/NativePlatform.h"
#include "support/FakeHost.h"
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

}  // namespace
}  // namespace orvanta
