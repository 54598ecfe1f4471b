#include <gtest/gtest.h>

#include "ui/Centering.h"

namespace orvanta {
namespace {

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
