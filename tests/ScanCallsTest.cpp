#include <gtest/gtest.h>

#include "package/PathScheme.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

// Every tick of a region or a category rescans, and each file system call costs far more
// on Windows and under Wine than here: the scan asks each path once, for existence, length
// and date together, whatever class the file falls in.
TEST(ScanCallsTest, EachSourceBackupAndDestinationIsAskedOnce) {
    test::EngineFixture f;
    test::PackageBuilder package;
    package.apx = {"APX47180", "APX47185"};
    package.nvx = {"NVX05021", "NVX11070"};
    test::SimFolderBuilder simulator;
    simulator
        .Add("0502", "APX47180.bgl", "SIM APX47180")  // up to date (dates below)
        .Add("0502", "APX47185.bgl", "SIM APX47185")  // updatable, backed up
        .Add("0502", "APX47185.bgl.bglbckup", "original")
        .Add("0502", "ATX05021.bgl", "longer than the package's")  // updatable
        .Add("1107", "NVX11070.bgl.bglbckup", "original");         // backup only
    ASSERT_TRUE(f.Build(package, simulator)) << f.errorLog;
    test::SetLocalModifiedTime(f.Source("APX", "APX47180.bgl"), 2023, 5, 10, 9, 0, 0);
    test::SetLocalModifiedTime(f.Dest("0502", "APX47180.bgl"), 2023, 5, 10, 18, 0, 0);
    test::SetLocalModifiedTime(f.Dest("0502", "APX47185.bgl"), 2020, 1, 1, 9, 0, 0);

    FaultInjectingFileSystem counting(f.fs());
    ASSERT_TRUE(RefreshFileStatus(counting, f.state, f.All()).packageIntact);
    EXPECT_EQ(f.state.StatusCounts, (std::array<int, kStatusCount>{5, 1, 2, 2, 2}));
    int entries = 0;
    for (FileCategory category : kAllCategories) {
        for (const PackageEntry& entry : f.state.Table(category)) {
            ++entries;
            const std::string destination = DestinationPath(f.sim, entry);
            for (const std::string& path : {SourcePath(f.pkg, category, entry), destination, BackupPath(destination)}) {
                EXPECT_EQ(counting.TimesAsked(path), 1) << path;
            }
        }
    }
    EXPECT_EQ(counting.PathsAsked(), static_cast<std::size_t>(3 * entries));
}

}  // namespace
}  // namespace orvanta
