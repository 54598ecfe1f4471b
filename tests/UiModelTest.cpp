#include <gtest/gtest.h>

#include "ui/Centering.h"
#include "ui/Controls.h"
#include "ui/Host.h"

namespace orvanta {
namespace {

TEST(CenteringTest, MessageBoxOverOwnerCentre) {
    EXPECT_EQ(CenteredMessageBoxPosition({100, 100, 900, 700}, {0, 0, 300, 150}), (ScreenPoint{350, 325}));
    // A box larger than its owner still shares the owner's centre.
    EXPECT_EQ(CenteredMessageBoxPosition({100, 100, 300, 200}, {0, 0, 400, 300}), (ScreenPoint{0, 0}));
}

TEST(CenteringTest, MessageBoxHalvesRoundToEven) {
    // 100 + 400 - 150.5 = 349.5 -> 350; 101 + 400 - 150.5 = 350.5 -> 350.
    EXPECT_EQ(CenteredMessageBoxPosition({100, 0, 900, 0}, {0, 0, 301, 0}).x, 350);
    EXPECT_EQ(CenteredMessageBoxPosition({101, 0, 901, 0}, {0, 0, 301, 0}).x, 350);
    // 0 + 0.5 - 0 = 0.5 -> 0; 0 + 1.5 = 1.5 -> 2; negative halves as well: -0.5 -> 0, -1.5 -> -2.
    EXPECT_EQ(CenteredMessageBoxPosition({0, 0, 1, 3}, {0, 0, 0, 0}), (ScreenPoint{0, 2}));
    EXPECT_EQ(CenteredMessageBoxPosition({0, 0, 0, 0}, {0, 0, 1, 3}), (ScreenPoint{0, -2}));
}

TEST(CenteringTest, SelectionWindowRoundsEachGapThenTruncates) {
    WindowPlace p = CenteredSelectionPlace(1000, 2000, 9000, 7000, 4000, 3000);
    EXPECT_EQ(p.left, 3500);
    EXPECT_EQ(p.top, 4000);
    // Gaps 5001 and 4001 lose their odd twip; fractional gaps are rounded half to even first:
    // 4000.5 -> 4000 -> 2000, 4001.5 -> 4002 -> 2001.
    p = CenteredSelectionPlace(0, 0, 9001, 7001, 4000, 3000);
    EXPECT_EQ(p.left, 2500);
    EXPECT_EQ(p.top, 2000);
    p = CenteredSelectionPlace(0, 0, 8000.5, 7001.5, 4000, 3000);
    EXPECT_EQ(p.left, 2000);
    EXPECT_EQ(p.top, 2001);
    // A selection window wider than the main window: the negative odd gap truncates toward zero.
    p = CenteredSelectionPlace(500, 500, 3000, 3000, 4001, 3000);
    EXPECT_EQ(p.left, 0);
}

TEST(CenteringTest, DisplayBesideTheMainWindow) {
    const WindowPlace p = DisplayPlaceBeside(1200, 900, 8000);
    EXPECT_EQ(p.left, 9225);
    EXPECT_EQ(p.top, 900);
}

TEST(MessageRequestTest, StylesOfTheProgramsBoxes) {
    MessageRequest m;
    m.icon = MsgIcon::Critical;
    EXPECT_EQ(m.Style(), 16);
    m.icon = MsgIcon::Exclamation;
    EXPECT_EQ(m.Style(), 48);
    m.icon = MsgIcon::Information;
    EXPECT_EQ(m.Style(), 64);
    m.icon = MsgIcon::Question;
    m.buttons = MsgButtons::YesNo;
    EXPECT_EQ(m.Style(), 36);
    m.defaultButton = 2;
    EXPECT_EQ(m.Style(), 292);
    m.defaultButton = 1;
    m.icon = MsgIcon::Exclamation;
    m.buttons = MsgButtons::RetryCancel;
    EXPECT_EQ(m.Style(), 53);
    m.lines = {"a", "", "c"};
    EXPECT_EQ(m.Text(), "a\r\n\r\nc");
}

TEST(ControlsTest, CheckBoxRunsItsHandlerOnEveryChangeOnly) {
    ModelRevision rev;
    CheckBox box(rev, "CheckLog");
    int runs = 0;
    box.OnChange = [&] { ++runs; };
    box.SetValue(1);
    box.SetValue(1);  // no change, no handler
    EXPECT_EQ(runs, 1);
    box.Click();
    EXPECT_EQ(box.Value(), 0);
    EXPECT_EQ(runs, 2);
    box.SetEnabled(false);
    box.Click();  // a disabled box takes no click
    EXPECT_EQ(box.Value(), 0);
    box.SetValue(1);  // but the program may still set it
    EXPECT_EQ(runs, 3);
}

TEST(ControlsTest, RevisionTellsWhatChanged) {
    ModelRevision rev;
    Label a(rev, "a");
    Label b(rev, "b");
    a.SetCaption("x");
    const std::uint64_t seen = rev.Value();
    b.SetForeColor(Rgb{1, 2, 3});
    EXPECT_LE(a.Revision(), seen);
    EXPECT_GT(b.Revision(), seen);
    b.SetForeColor(Rgb{1, 2, 3});
    EXPECT_EQ(rev.Value(), b.Revision());  // setting the same value is no change
}

}  // namespace
}  // namespace orvanta
