#include <gtest/gtest.h>

#include <map>

#include "platform/PathSeparator.h"
#include "support/WindowFixture.h"
#include "ui/FrmSelect.h"

namespace orvanta {
namespace {

using Lines = std::vector<std::string>;

struct SelectFixture : test::WindowFixture {
    frmSelect window{platform, state, host};

    // The options enabled, '*' after the checked one.
    std::string Options() const {
        std::string out;
        for (int i = 1; i <= 6; ++i) {
            if (window.OptSim(i).Enabled()) out += std::to_string(i) + (window.OptSim(i).Value() ? "*" : "");
        }
        return out;
    }
    // A simulator main folder with the executable of the given version.
    std::string SimFolder(const std::string& name, const char* executable, FileVersion version, bool scenery = true) {
        const std::string folder = dir / name;
        test::WriteBytes(folder + kSep + executable, "MZ");
        if (scenery) test::MakeFolder(folder + kSep + "Scenery");
        versions.versions[folder + kSep + executable] = version;
        return folder;
    }
};

class SelectWindowTest : public ::testing::Test, public SelectFixture {};

TEST_F(SelectWindowTest, DetectedVersionsEnabledAndTheLowestPreselected) {
    state.SimFolders[2] = "/sims/fsxse/";
    state.SimFolders[5] = "/sims/p3dv3/";
    window.Load();
    EXPECT_EQ(Options(), "2*5");
    EXPECT_EQ(window.Form.Caption(), "Sim version selection");
    EXPECT_TRUE(window.FrameSim.Enabled());
    window.OptSim(5).Click();
    EXPECT_EQ(Options(), "25*");
    window.cmdSelect.Click();
    EXPECT_EQ(state.SelectedSim, 5);
    EXPECT_EQ(state.SelectedSimFolder, "/sims/p3dv3/");
    EXPECT_EQ(host.journal, Lines{"unloaded Select"});
}

TEST_F(SelectWindowTest, NothingDetectedLeavesSetFolderAndCancel) {
    for (const bool noDetect : {false, true}) {
        state.NoDetect = noDetect;
        frmSelect w(platform, state, host);
        w.Load();
        EXPECT_EQ(w.Form.Caption(), noDetect ? "Sim selection (detection disabled)" : "Sim selection (none detected)");
        EXPECT_FALSE(w.FrameSim.Enabled());
        EXPECT_TRUE(w.cmdSet.Enabled() && w.cmdCancel.Enabled());
        w.cmdSelect.Click();  // disabled: nothing happens
        EXPECT_TRUE(w.Form.Loaded());
    }
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
    EXPECT_EQ(host.journal, (Lines{"Select 36: Exit the Orvanta Installer ?", "Select 36: Exit the Orvanta Installer ?",
                                   "unloaded Select"}));
}

TEST_F(SelectWindowTest, CloseBoxLeavesNoChoice) {
    state.SimFolders[4] = "/sims/p3dv2/";
    window.Load();
    window.Form_QueryUnload();
    EXPECT_FALSE(window.Form.Loaded());
    EXPECT_EQ(state.SelectedSim, 0);
}

TEST_F(SelectWindowTest, SetFolderRetriesUntilAValidFolderOrCancel) {
    const std::string browse = "browse Select Select the sim main folder";
    const std::string retry = " / Click Retry to select another folder or Cancel to exit";
    const std::string v5 = "Select 53: The Orvanta package is not compatible with P3Dv5" + retry;
    const std::string invalid = "Select 53: Invalid folder, unknown or inactive simulator" + retry;
    struct Case {
        const char* name;
        Lines folders;
        std::deque<MsgAnswer> answers;
        Lines journal;
        SimVersion chosen;
    };
    const Case cases[] = {
        {"Prepar3D v5, then v4", {"p3d5", "p3d4"}, {kAnswerRetry}, {browse, v5, browse, "unloaded Select"}, 6},
        {"no Scenery folder, cancelled", {"bare"}, {kAnswerCancel}, {browse, invalid}, 0},
        {"unknown FSX, then the Steam Edition", {"fsx9", "fsxse"}, {kAnswerRetry}, {browse, invalid, browse,
                                                                                   "unloaded Select"}, 2},
        {"browser cancelled", {}, {}, {browse}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectFixture t;
        const std::map<std::string, std::string> folders = {
            {"p3d5", t.SimFolder("p3d5", "Prepar3D.exe", {5, 0, 28, 0})},
            {"p3d4", t.SimFolder("p3d4", "Prepar3D.exe", {4, 5, 12, 30293})},
            {"bare", t.SimFolder("bare", "Prepar3D.exe", {4, 0, 0, 0}, false)},
            {"fsx9", t.SimFolder("fsx9", "FSX.exe", {9, 0, 0, 0})},
            {"fsxse", t.SimFolder("fsxse", "FSX.exe", {10, 0, 62607, 0})}};
        for (const std::string& f : c.folders) t.host.browseAnswers.push_back(folders.at(f));
        t.host.answers = c.answers;
        t.state.NoDetect = true;
        t.state.SelectedSim = 4;  // an earlier choice does not survive an attempt
        t.window.Load();
        t.window.cmdSet.Click();
        EXPECT_EQ(t.host.journal, c.journal);
        EXPECT_EQ(t.state.SelectedSim, c.chosen);
        EXPECT_EQ(t.window.Form.Loaded(), c.chosen == 0);
        if (c.chosen != 0) {
            EXPECT_EQ(t.state.SelectedSimFolder, folders.at(c.folders.back()) + kSep);
        }
    }
}

}  // namespace
}  // namespace orvanta
