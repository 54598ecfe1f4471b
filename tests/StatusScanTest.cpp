#include <gtest/gtest.h>

#include "status/FileList.h"
#include "status/FileStatus.h"
#include "status/MagvarStatus.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

using test::EngineFixture;
using test::PackageBuilder;
using test::SimFolderBuilder;

// Package files are "BGL " + the list line: 12 bytes.
class StatusScanTest : public ::testing::Test, protected EngineFixture {
protected:
    void SetUp() override {
        PackageBuilder package;
        package.apx = {"APX47180"};                                      // area 0502, Europe
        package.atx = {"ATX05021"};                                      // 0502, Europe
        package.nvx = {"NVX05021", "NVX05031", "NVX11070", "NVX06000"};  // 0502, 0503 Africa, 1107, 0600
        SimFolderBuilder simulator;
        simulator
            .Add("0502", "APX47180.bgl", "SIM APX47180")         // same length
            .Add("0502", "ATX05021.bgl", "SIM ATX05021")         // same length
            .Add("0502", "NVX05021.bgl", "SIM NVX05021")         // same length
            .Add("0503", "NVX05031.bgl", "SIM NVX05031 longer")  // other length
            .Add("1107", "NVX11070.bgl.bglbckup", "original");   // backup without destination
        ASSERT_TRUE(Build(package, simulator)) << errorLog;
        for (const char* name : {"APX47180", "ATX05021", "NVX05021", "NVX05031"}) {
            const std::string category = std::string(name).substr(0, 3);
            test::SetLocalModifiedTime(Source(category, std::string(name) + ".bgl"), 2023, 5, 10, 9, 0, 0);
        }
        test::SetLocalModifiedTime(Dest("0502", "APX47180.bgl"), 2023, 5, 10, 23, 59, 0);  // same day, later
        test::SetLocalModifiedTime(Dest("0502", "ATX05021.bgl"), 2023, 5, 9, 9, 0, 0);     // a day older
        test::SetLocalModifiedTime(Dest("0502", "NVX05021.bgl"), 2023, 5, 11, 9, 0, 0);    // a day newer
        test::SetLocalModifiedTime(Dest("0503", "NVX05031.bgl"), 2023, 5, 10, 9, 0, 0);    // same day
    }
};

TEST_F(StatusScanTest, ClassifiesByLengthAndCalendarDay) {
    ASSERT_TRUE(RefreshFileStatus(fs(), state, All()).packageIntact);
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{6, 1, 3, 1, 2}));
    EXPECT_EQ(state.UpToDateList, (std::vector<std::string>{Dest("0502", "APX47180.bgl")}));
    // Scan order: APX, ATX, NVX, each in list order; the two updatable lists pair up.
    EXPECT_EQ(state.UpdatableDestList,
              (std::vector<std::string>{Dest("0502", "ATX05021.bgl"), Dest("0502", "NVX05021.bgl"),
                                        Dest("0503", "NVX05031.bgl")}));
    EXPECT_EQ(state.UpdatableSourceList,
              (std::vector<std::string>{Source("ATX", "ATX05021.bgl"), Source("NVX", "NVX05021.bgl"),
                                        Source("NVX", "NVX05031.bgl")}));
    // A backup without its destination is both deinstallable and missing; the list holds
    // the destination, not the backup.
    EXPECT_EQ(state.DeinstallableList, (std::vector<std::string>{Dest("1107", "NVX11070.bgl")}));
    EXPECT_EQ(state.MissingDestList,
              (std::vector<std::string>{Dest("1107", "NVX11070.bgl"), Dest("0600", "NVX06000.bgl")}));
}

TEST_F(StatusScanTest, ForceFullMakesEveryExistingDestinationUpdatable) {
    StatusSelection selection = All();
    selection.forceFull = true;
    ASSERT_TRUE(RefreshFileStatus(fs(), state, selection).packageIntact);
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{6, 0, 4, 1, 2}));
    EXPECT_EQ(state.UpdatableDestList.front(), Dest("0502", "APX47180.bgl"));
    EXPECT_TRUE(state.UpToDateList.empty());
    EXPECT_EQ(DescribeStatus(state, false).counters[kUpToDate].caption, "None");
}

TEST_F(StatusScanTest, ScansOnlyTickedRegionsAndCategories) {
    StatusSelection selection;
    selection.regions[0] = true;  // Africa: only NVX05031
    selection.categories.fill(true);
    ASSERT_TRUE(RefreshFileStatus(fs(), state, selection).packageIntact);
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{1, 0, 1, 0, 0}));

    selection = StatusSelection{};
    selection.regions[4] = true;  // Europe, APX and ATX unticked
    selection.categories[static_cast<int>(FileCategory::NVX)] = true;
    ASSERT_TRUE(RefreshFileStatus(fs(), state, selection).packageIntact);
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{2, 0, 1, 0, 1}));
    EXPECT_EQ(state.UpdatableDestList, (std::vector<std::string>{Dest("0502", "NVX05021.bgl")}));

    // Nothing ticked: the empty status, and the lists are emptied.
    ASSERT_TRUE(RefreshFileStatus(fs(), state, StatusSelection{}).packageIntact);
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{}));
    EXPECT_TRUE(state.UpdatableDestList.empty());
}

TEST_F(StatusScanTest, MissingPackageFileStopsTheScanAndKeepsTheLastResult) {
    ASSERT_TRUE(RefreshFileStatus(fs(), state, All()).packageIntact);
    const auto counts = state.StatusCounts;
    const auto updatable = state.UpdatableDestList;
    ASSERT_TRUE(fs().DeleteFile(Source("NVX", "NVX05031.bgl")).ok());
    const ScanResult r = RefreshFileStatus(fs(), state, All());
    EXPECT_FALSE(r.packageIntact);
    EXPECT_EQ(r.missingSource, Source("NVX", "NVX05031.bgl"));
    EXPECT_EQ(state.StatusCounts, counts);
    EXPECT_EQ(state.UpdatableDestList, updatable);
    EXPECT_EQ(MissingPackageFileMessage().Text(),
              "Some files in the provided package are missing or corrupted\r\n"
              "Extract again the package then relaunch the installer from it");
}

TEST_F(StatusScanTest, CountersAndButtonsFollowTheCounts) {
    ASSERT_TRUE(RefreshFileStatus(fs(), state, All()).packageIntact);
    StatusView view = DescribeStatus(state, false);
    EXPECT_EQ(view.counters[kAvailable].caption, "6 files");
    EXPECT_FALSE(view.counters[kAvailable].clickable);  // never opens a list
    EXPECT_EQ(view.counters[kUpdatable].caption, "3 files");
    EXPECT_TRUE(view.counters[kUpdatable].clickable);
    EXPECT_EQ(view.counters[kUpdatable].tooltip, "Click to show list");
    EXPECT_TRUE(view.installEnabled);
    EXPECT_TRUE(view.uninstallEnabled);

    ResetFileStatus(state);
    view = DescribeStatus(state, false);
    for (const CounterView& c : view.counters) {
        EXPECT_EQ(c.caption, "None");
        EXPECT_FALSE(c.clickable);
        EXPECT_EQ(c.tooltip, "");
    }
    EXPECT_FALSE(view.installEnabled);
    EXPECT_FALSE(view.uninstallEnabled);
    EXPECT_TRUE(DescribeStatus(state, true).installEnabled);  // the magvar option alone

    EXPECT_EQ(RegionStatusCaption(0), "Region status [No region selected]");
    EXPECT_EQ(RegionStatusCaption(8), "Region status [8 region(s) selected]");
}

TEST_F(StatusScanTest, FileListLinesAndCaptions) {
    ASSERT_TRUE(RefreshFileStatus(fs(), state, All()).packageIntact);
    state.DisplayedStatus = kUpdatable;
    EXPECT_EQ(DisplayCaptionText(state, kUpdatable), "Updatable files [3]");
    EXPECT_EQ(DisplayCaptionText(state, kUpToDate), "Up-to-date files [1]");
    EXPECT_EQ(DisplayCaptionText(state, kDeinstallable), "Deinstallable files [1]");
    EXPECT_EQ(DisplayCaptionText(state, kMissingDestination), "Missing destination files [2]");
    EXPECT_FALSE(DisplayCaptionText(state, kAvailable).has_value());
    EXPECT_TRUE(ShowsNewFileDate(kUpdatable));
    EXPECT_FALSE(ShowsNewFileDate(kDeinstallable));

    // Existing destinations show their own date; the new file date is the package's.
    EXPECT_EQ(
        DisplayLines(fs(), state, kUpdatable),
        (std::vector<std::string>{"ATX05021.bgl [09-05-2023] - Region:0502", "NVX05021.bgl [11-05-2023] - Region:0502",
                                  "NVX05031.bgl [10-05-2023] - Region:0503"}));
    EXPECT_EQ(NewFileDate(fs(), state, 1), "10-05-2023");
    EXPECT_EQ(NewFileDate(fs(), state, 3), "");
    EXPECT_EQ(DisplayLines(fs(), state, kMissingDestination),
              (std::vector<std::string>{"NVX11070.bgl - Region:1107", "NVX06000.bgl - Region:0600"}));
    // A deinstallable file whose destination is gone (only the backup is left) is listed
    // without a date instead of failing.
    EXPECT_EQ(DisplayLines(fs(), state, kDeinstallable), (std::vector<std::string>{"NVX11070.bgl - Region:1107"}));
    EXPECT_TRUE(DisplayLines(fs(), state, 0).empty());
}

class MagvarStatusTest : public ::testing::Test, protected EngineFixture {
protected:
    MagvarOption Compare(int packageVersion, int packageRevision, int simVersion, int simRevision) {
        PackageBuilder package;
        package.magvar = test::MagvarBytes(packageVersion, packageRevision);
        SimFolderBuilder simulator;
        simulator.magvar = test::MagvarBytes(simVersion, simRevision);
        EXPECT_TRUE(Build(package, simulator));
        return RefreshMagvarStatus(fs(), state);
    }
};

TEST_F(MagvarStatusTest, NewerPackageTableIsOfferedWithItsStamp) {
    MagvarOption o = Compare(0x2022, 3, 0x2021, 9);
    EXPECT_EQ(o.status, MagvarStatus::Newer);
    EXPECT_EQ(o.caption, "Magvar table (2022-R3)");
    EXPECT_TRUE(o.enabled);
    EXPECT_FALSE(o.untick);
}

TEST_F(MagvarStatusTest, EqualVersionComparesRevisionsUnsigned) {
    MagvarOption o = Compare(0x2022, 200, 0x2022, 3);  // 200 is negative as a signed byte
    EXPECT_EQ(o.status, MagvarStatus::Newer);
    EXPECT_EQ(o.caption, "Magvar table (2022-R200)");
}

TEST_F(MagvarStatusTest, VersionsCompareSignedAndPrintAsSixteenBitHex) {
    // 0x8001 is negative as a signed 16-bit version: older than 0x0100.
    MagvarOption o = Compare(0x8001, 0, 0x0100, 0);
    EXPECT_EQ(o.status, MagvarStatus::NotNewer);
    MagvarStamp s{static_cast<std::int16_t>(0x8001), 7};
    EXPECT_EQ(FormatMagvarStamp(s), "8001-R7");
    EXPECT_EQ(FormatMagvarStamp({0x00AB, 0}), "AB-R0");
}

TEST_F(MagvarStatusTest, IdenticalOrOlderPackageTableIsUpToDate) {
    for (auto [pv, pr, sv, sr] :
         {std::array<int, 4>{0x2022, 3, 0x2022, 3}, {0x2021, 9, 0x2022, 1}, {0x2022, 2, 0x2022, 3}}) {
        MagvarOption o = Compare(pv, pr, sv, sr);
        EXPECT_EQ(o.status, MagvarStatus::NotNewer);
        EXPECT_EQ(o.caption, "Magvar table (up to date)");
        EXPECT_FALSE(o.enabled);
        EXPECT_TRUE(o.untick);
    }
}

TEST_F(MagvarStatusTest, MissingOrShortTableIsUnavailable) {
    PackageBuilder package;
    SimFolderBuilder simulator;
    simulator.writeMagvar = false;
    ASSERT_TRUE(Build(package, simulator));
    MagvarOption o = RefreshMagvarStatus(fs(), state);
    EXPECT_EQ(o.status, MagvarStatus::Unavailable);
    EXPECT_EQ(o.caption, "Magvar table (NA)");
    EXPECT_FALSE(o.enabled);
    EXPECT_TRUE(o.untick);

    test::WriteBytes(test::SimMagvarPath(sim), std::string(135, '\0'));  // one byte short of the stamp
    EXPECT_EQ(RefreshMagvarStatus(fs(), state).status, MagvarStatus::Unavailable);
}

}  // namespace
}  // namespace orvanta
