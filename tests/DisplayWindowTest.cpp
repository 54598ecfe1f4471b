#include <gtest/gtest.h>

#include "platform/PathSeparator.h"
#include "support/WindowFixture.h"

namespace orvanta {
namespace {

constexpr int kEurope = 4;
using Lines = std::vector<std::string>;

// Two updatable APX files, one up-to-date ATX file, a missing NVX file, all in Europe.
class DisplayWindowTest : public ::testing::Test, public test::WindowFixture {
protected:
    std::string sim;
    frmDisplay* display = nullptr;

    void SetUp() override {
        test::PackageBuilder package;
        package.apx = {"APX47180", "APX47995"};
        WritePackage(package);
        sim = InstallSimulator(6, test::SimFolderBuilder()
                                      .Add("0502", "APX47180.bgl", "older one")
                                      .Add("0600", "APX47995.bgl", "older two")
                                      .Add("0502", "ATX05021.bgl", "BGL ATX05021"));
        test::SetLocalModifiedTime(Dest("0502", "APX47180.bgl"), 2019, 1, 2, 12, 0, 0);
        test::SetLocalModifiedTime(Dest("0600", "APX47995.bgl"), 2020, 11, 30, 12, 0, 0);
        test::SetLocalModifiedTime(pkg + "APXFiles" + kSep + "APX47180.bgl", 2022, 12, 29, 8, 0, 0);
        test::SetLocalModifiedTime(pkg + "APXFiles" + kSep + "APX47995.bgl", 2022, 12, 31, 8, 0, 0);
        test::SetLocalModifiedTime(pkg + "ATXFiles" + kSep + "ATX05021.bgl", 2022, 5, 6, 8, 0, 0);
        test::SetLocalModifiedTime(Dest("0502", "ATX05021.bgl"), 2022, 5, 6, 23, 0, 0);
        Start();
        ASSERT_TRUE(Running());
        window->Form.Move(600, 450);
        window->Form.Resize(9600, 7155, 6645);
        Tick({kEurope}, {"APX", "ATX", "NVX"});
        display = &window->Display;
    }

    std::string Dest(const std::string& area, const std::string& name) const {
        return test::SimSceneryPath(sim, area, name);
    }
};

TEST_F(DisplayWindowTest, CountersWithoutAListOpenNothing) {
    window->lblbglnb(0).Click();
    window->lblbglnb(3).Click();  // "None"
    EXPECT_FALSE(display->Form.Loaded());
    EXPECT_FALSE(state.DisplayOpen);
    EXPECT_EQ(state.DisplayedStatus, 0);
}

TEST_F(DisplayWindowTest, UpdatableListBesideTheMainWindowWithTheNewFileDate) {
    window->lblbglnb(2).Click();
    ASSERT_TRUE(display->Form.Visible());
    EXPECT_TRUE(state.DisplayOpen);
    EXPECT_EQ(state.DisplayedStatus, 2);
    EXPECT_EQ(display->Form.Caption(), "Updatable files [2]");
    EXPECT_EQ(display->Form.Left(), 600 + 9600 + 25);
    EXPECT_EQ(display->Form.Top(), 450);
    EXPECT_EQ(display->Form.ClientHeight(), 6645);
    EXPECT_EQ(display->DisplayList.Items(),
              (Lines{"APX47180.bgl [02-01-2019] - Region:0502", "APX47995.bgl [30-11-2020] - Region:0600"}));
    EXPECT_TRUE(display->lblNFD1.Visible());
    EXPECT_EQ(display->lblNFD1.Caption(), "New file date: ");
    EXPECT_TRUE(display->lblNFD2.Visible());
    EXPECT_EQ(display->lblNFD2.ForeColor(), (Rgb{255, 0, 0}));
    // The first line is selected at once and shows its package file's date.
    EXPECT_EQ(display->DisplayList.ListIndex(), 0);
    EXPECT_EQ(display->lblNFD2.Caption(), "29-12-2022");
    display->DisplayList.SetListIndex(1);
    EXPECT_EQ(display->lblNFD2.Caption(), "31-12-2022");
    EXPECT_EQ(host.journal.back(), "shown:Display");
}

TEST_F(DisplayWindowTest, SwitchingListsInPlace) {
    window->lblbglnb(2).Click();
    display->Form.Move(100, 100);  // the user moved it
    window->lblbglnb(1).Click();
    EXPECT_EQ(display->Form.Caption(), "Up-to-date files [1]");
    EXPECT_FALSE(display->lblNFD1.Visible());
    EXPECT_FALSE(display->lblNFD2.Visible());
    EXPECT_EQ(display->Form.Left(), 100);
    EXPECT_EQ(display->DisplayList.Items(), (Lines{"ATX05021.bgl [06-05-2022] - Region:0502"}));
    window->lblbglnb(4).Click();
    EXPECT_EQ(display->Form.Caption(), "Missing destination files [1]");
    EXPECT_EQ(display->DisplayList.Items(), (Lines{"NVX05021.bgl - Region:0502"}));
    display->DisplayList.SetListIndex(0);  // only the updatable list shows a date
    EXPECT_FALSE(display->lblNFD2.Visible());
}

TEST_F(DisplayWindowTest, FollowsRescansAndClosesAtZero) {
    window->lblbglnb(2).Click();
    // One file cannot be replaced: the list is refilled with it alone.
    fs.FailPathsContaining("APX47995.bgl.bglbckup", kPermissionDenied);
    window->cmdInstall.Click();
    ASSERT_TRUE(display->Form.Loaded());
    EXPECT_EQ(display->Form.Caption(), "Updatable files [1]");
    EXPECT_EQ(display->DisplayList.Items(), (Lines{"APX47995.bgl [30-11-2020] - Region:0600"}));
    fs.ClearFaults();
    window->cmdInstall.Click();
    EXPECT_FALSE(display->Form.Loaded());
    EXPECT_FALSE(state.DisplayOpen);
    EXPECT_EQ(state.DisplayedStatus, 0);

    window->lblbglnb(3).Click();
    EXPECT_EQ(display->Form.Caption(), "Deinstallable files [2]");
    host.answers = {kAnswerNo};  // the NVX file is missing in the simulator
    window->cmdUninstall.Click();
    EXPECT_FALSE(display->Form.Loaded());
}

TEST_F(DisplayWindowTest, ClosesWhenNothingIsSelectedAnyMore) {
    window->lblbglnb(1).Click();
    window->CheckATX.Click();  // the up-to-date list is empty now
    EXPECT_FALSE(display->Form.Loaded());

    window->lblbglnb(2).Click();
    window->CheckAPX.Click();
    window->CheckNVX.Click();
    EXPECT_FALSE(display->Form.Loaded());

    window->CheckNVX.Click();
    window->lblbglnb(4).Click();
    ASSERT_TRUE(display->Form.Loaded());
    window->RegionList.SetSelected(kEurope, false);
    EXPECT_FALSE(display->Form.Loaded());

    window->RegionList.SetSelected(kEurope, true);
    window->lblbglnb(4).Click();
    display->Form_QueryUnload();  // the user closes it
    EXPECT_FALSE(state.DisplayOpen);
    window->lblbglnb(4).Click();
    Close();
    EXPECT_FALSE(display->Form.Loaded());
    EXPECT_EQ(host.journal[host.journal.size() - 2], "unloaded:Display");
    EXPECT_EQ(host.journal.back(), "unloaded:Main");
}

}  // namespace
}  // namespace orvanta
