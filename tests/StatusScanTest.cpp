#include <gtest/gtest.h>

#include "package/PathScheme.h"
#include "platform/FaultInjectingFileSystem.h"
#include "status/FileList.h"
#include "status/FileStatus.h"
#include "status/MagvarStatus.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

using Counts = std::array<int, 5>;
using Paths = std::vector<std::string>;

// Package files are "BGL " + the list line: 12 bytes.
class StatusScanTest : public ::testing::Test, protected test::EngineFixture {
protected:
    void SetUp() override {
        test::PackageBuilder package;
        package.nvx = {"NVX05021", "NVX05031", "NVX11070", "NVX06000"};  // 0502, 0503 Africa, 1107, 0600
        test::SimFolderBuilder simulator;
        simulator
            .Add("0502", "APX47180.bgl", "SIM APX47180")         // same length
            .Add("0502", "ATX05021.bgl", "SIM ATX05021")         // same length
            .Add("0502", "NVX05021.bgl", "SIM NVX05021")         // same length
            .Add("0503", "NVX05031.bgl", "SIM NVX05031 longer")  // other length
            .Add("1107", "NVX11070.bgl.bglbckup", "original");   // backup without destination
        ASSERT_TRUE(Build(package, simulator)) << errorLog;
        for (const std::string name : {"APX47180", "ATX05021", "NVX05021", "NVX05031"}) {
            test::SetLocalModifiedTime(Source(name.substr(0, 3), name + ".bgl"), 2023, 5, 10, 9, 0, 0);
        }
        test::SetLocalModifiedTime(Dest("0502", "APX47180.bgl"), 2023, 5, 10, 23, 59, 0);  // same day, later
        test::SetLocalModifiedTime(Dest("0502", "ATX05021.bgl"), 2023, 5, 9, 9, 0, 0);     // a day older
        test::SetLocalModifiedTime(Dest("0502", "NVX05021.bgl"), 2023, 5, 11, 9, 0, 0);    // a day newer
        test::SetLocalModifiedTime(Dest("0503", "NVX05031.bgl"), 2023, 5, 10, 9, 0, 0);    // same day
    }
};

TEST_F(StatusScanTest, ClassifiesByLengthAndCalendarDayAndListsTheFiles) {
    FaultInjectingFileSystem counting(fs());
    ASSERT_TRUE(RefreshFileStatus(counting, state, All()).packageIntact);
    EXPECT_EQ(state.StatusCounts, (Counts{6, 1, 3, 1, 2}));
    // Every click rescans: each source, backup and destination is asked once, whatever its class.
    EXPECT_EQ(counting.PathsAsked(), 3u * 6);
    EXPECT_EQ(counting.TimesAsked(BackupPath(Dest("0503", "NVX05031.bgl"))), 1);
    // Scan order: APX, ATX, NVX, each in list order; the two updatable lists pair up.
    EXPECT_EQ(state.UpdatableSourceList,
              (Paths{Source("ATX", "ATX05021.bgl"), Source("NVX", "NVX05021.bgl"), Source("NVX", "NVX05031.bgl")}));
    EXPECT_EQ(state.UpdatableDestList[2], Dest("0503", "NVX05031.bgl"));
    // A backup without its destination is both deinstallable and missing: listed (by its
    // destination) without a date. Dated lines are the status command's to check.
    EXPECT_EQ(DisplayLines(fs(), state, kDeinstallable), Paths{"NVX11070.bgl - Region:1107"});
    EXPECT_EQ(DisplayLines(fs(), state, kMissingDestination),
              (Paths{"NVX11070.bgl - Region:1107", "NVX06000.bgl - Region:0600"}));
}

TEST(MagvarStatusTest, PackageTableAgainstTheSimulatorsStamp) {
    using test::MagvarBytes;
    constexpr MagvarStatus kNewer = MagvarStatus::Newer, kNotNewer = MagvarStatus::NotNewer;
    const std::string none, cut(135, '\0');  // cut: one byte short of the stamp
    const struct {
        const char* name;
        std::string package, simulator;  // simulator empty: no table
        MagvarStatus status;
        const char* shown;  // between the caption's brackets
    } cases[] = {
        {"newer version", MagvarBytes(0x2022, 3), MagvarBytes(0x2021, 9), kNewer, "2022-R3"},
        {"same version, revisions unsigned", MagvarBytes(0x2022, 200), MagvarBytes(0x2022, 3), kNewer, "2022-R200"},
        {"the version in hexadecimal", MagvarBytes(0x00AB, 0), MagvarBytes(0x00AA, 5), kNewer, "AB-R0"},
        {"negative versions show 16 bits", MagvarBytes(0x8001, 7), MagvarBytes(0x8000, 9), kNewer, "8001-R7"},
        {"identical", MagvarBytes(0x2022, 3), MagvarBytes(0x2022, 3), kNotNewer, "up to date"},
        {"older version, higher revision", MagvarBytes(0x2021, 9), MagvarBytes(0x2022, 1), kNotNewer, "up to date"},
        {"older revision", MagvarBytes(0x2022, 2), MagvarBytes(0x2022, 3), kNotNewer, "up to date"},
        {"versions compare signed", MagvarBytes(0x8001, 0), MagvarBytes(0x0100, 0), kNotNewer, "up to date"},
        {"no simulator table", MagvarBytes(0x2022, 3), none, MagvarStatus::Unavailable, "NA"},
        {"short simulator table", MagvarBytes(0x2022, 3), cut, MagvarStatus::Unavailable, "NA"},
        {"short package table", cut, MagvarBytes(0x2021, 3), MagvarStatus::Unavailable, "NA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::EngineFixture f;
        test::PackageBuilder package;
        package.magvar = c.package;
        test::SimFolderBuilder simulator;
        simulator.magvar = c.simulator;
        simulator.writeMagvar = !c.simulator.empty();
        ASSERT_TRUE(f.Build(package, simulator));
        const MagvarOption o = RefreshMagvarStatus(f.fs(), f.state);
        EXPECT_EQ(o.status, c.status);
        EXPECT_EQ(o.caption, std::string("Magvar table (") + c.shown + ")");
        EXPECT_EQ(o.untick, c.status != kNewer);  // enabling is checked by the window and command runs
    }
}

}  // namespace
}  // namespace orvanta
