#include <gtest/gtest.h>

#include <filesystem>

#include "app/ProgramState.h"
#include "package/AreaGrid.h"
#include "package/PackageCheck.h"
#include "package/PathScheme.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

using test::PackageBuilder;
using test::TempDir;

class PackageCheckTest : public ::testing::Test {
protected:
    // Runs the check on the package and answers the error log's lines.
    std::vector<std::string> Check(const PackageBuilder& builder) {
        EXPECT_EQ(builder.Write(dir / "pkg"), state.AppFolder);
        CheckPackage(fs(), state, errorLog);
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < errorLog.size()) {
            std::size_t end = errorLog.find("\r\n", start);
            EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
            if (end == std::string::npos) break;
            lines.push_back(errorLog.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
    FileSystem& fs() { return native->get().fs; }
    std::string Source(const char* folder, const std::string& line) {
        return state.AppFolder + folder + kSep + line + ".bgl";
    }

    void SetUp() override { state.AppFolder = dir / "pkg" + kSep; }

    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    TempDir dir;
    ProgramState state;
    std::string errorLog = "left over\r\n";
};

TEST_F(PackageCheckTest, SoundPackageFillsTablesAndLeavesNoError) {
    PackageBuilder b;
    b.apx = {"APX47180", "APX47185", "APX95630"};
    b.atx = {"ATX05021"};
    b.nvx = {"NVX00001", "NVX11070"};
    EXPECT_TRUE(Check(b).empty());
    EXPECT_EQ(errorLog, "");
    const PackageTable& apx = state.Table(FileCategory::APX);
    ASSERT_EQ(apx.size(), 3u);
    EXPECT_EQ(apx[0].FileName, "APX47180.bgl");
    EXPECT_EQ(apx[0].Area, "0502");
    EXPECT_EQ(apx[0].Region, 4);
    EXPECT_EQ(apx[1].Area, "0502");
    EXPECT_EQ(apx[2].Area, "1107");
    EXPECT_EQ(apx[2].Region, 3);
    ASSERT_EQ(state.Table(FileCategory::ATX).size(), 1u);
    EXPECT_EQ(state.Table(FileCategory::ATX)[0].Area, "0502");
    ASSERT_EQ(state.Table(FileCategory::NVX).size(), 2u);
    EXPECT_EQ(state.Table(FileCategory::NVX)[0].Area, "0000");
    EXPECT_EQ(state.Table(FileCategory::NVX)[0].Region, 1);
    EXPECT_EQ(state.Table(FileCategory::NVX)[1].Area, "1107");
}

TEST_F(PackageCheckTest, MalformedLinesAreReportedAsRead) {
    PackageBuilder b;
    b.apx = {"apx47180", "APX47180 ", "APX47180.bgl", "", "APX4718", "APX471800", "ATX05021", "APX47180"};
    const auto lines = Check(b);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Wrong apx47180 file in APXFileList");
    EXPECT_EQ(lines[1], "Wrong APX47180  file in APXFileList");
    EXPECT_EQ(lines[2], "Wrong APX47180.bgl file in APXFileList");
    EXPECT_EQ(lines[3], "Wrong  file in APXFileList");
    EXPECT_EQ(lines[4], "Wrong APX4718 file in APXFileList");
    EXPECT_EQ(lines[5], "Wrong APX471800 file in APXFileList");
    EXPECT_EQ(lines[6], "Wrong ATX05021 file in APXFileList");
    // Every line counts in the table, rejected ones as empty entries.
    ASSERT_EQ(state.Table(FileCategory::APX).size(), 8u);
    EXPECT_EQ(state.Table(FileCategory::APX)[0].FileName, "");
    EXPECT_EQ(state.Table(FileCategory::APX)[7].FileName, "APX47180.bgl");
}

TEST_F(PackageCheckTest, AreaRulesOfBothFamilies) {
    PackageBuilder b;
    b.apx = {"APX47995", "APX47985", "APX96000", "APX00000"};
    b.atx = {"ATX00081", "ATX12001", "ATX11079"};
    const auto lines = Check(b);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Invalid file name: " + Source("APXFiles", "APX47985"));
    EXPECT_EQ(lines[1], "Invalid file name: " + Source("APXFiles", "APX96000"));
    EXPECT_EQ(lines[2], "Invalid file name: " + Source("ATXFiles", "ATX00081"));
    EXPECT_EQ(lines[3], "Invalid file name: " + Source("ATXFiles", "ATX12001"));
    EXPECT_EQ(state.Table(FileCategory::APX)[0].Area, "0600");  // 4799.5 rounds to the even 4800
    EXPECT_EQ(state.Table(FileCategory::APX)[0].Region, 4);
    EXPECT_EQ(state.Table(FileCategory::APX)[3].Area, "0000");
    EXPECT_EQ(state.Table(FileCategory::ATX)[2].Area, "1107");
}

TEST_F(PackageCheckTest, MissingListedFileIsReportedWithItsFullPathAndNoAreaCheck) {
    PackageBuilder b;
    b.apx = {"APX47985"};  // would be an invalid area, but the file is missing first
    b.Write(dir / "pkg");
    std::filesystem::remove(std::filesystem::u8path(Source("APXFiles", "APX47985")));
    CheckPackage(fs(), state, errorLog);
    std::vector<std::string> lines;
    if (errorLog.size() > 2) lines.push_back(errorLog.substr(0, errorLog.size() - 2));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Missing file: " + Source("APXFiles", "APX47985"));
}

TEST_F(PackageCheckTest, MissingFixedFilesComeFirstAndAMissingListIsNotAReadError) {
    PackageBuilder b;
    b.writeCycle = false;
    b.writeMagvar = false;
    b.writeLists[0] = b.writeLists[1] = b.writeLists[2] = false;
    EXPECT_EQ(Check(b), (std::vector<std::string>{"Missing Cycle.txt text file", "Missing magdec.bgl file",
                                                  "Missing APXFileList.txt file", "Missing ATXFileList.txt file",
                                                  "Missing NVXFileList.txt file"}));
}

TEST_F(PackageCheckTest, ProblemsAreListedInPackageOrder) {
    PackageBuilder b;
    b.writeMagvar = false;
    b.apx = {"APX47180", "bad"};
    b.atx = {"ATX00081"};
    b.nvx = {"NVX1"};
    EXPECT_EQ(Check(b), (std::vector<std::string>{"Missing magdec.bgl file", "Wrong bad file in APXFileList",
                                                  "Invalid file name: " + Source("ATXFiles", "ATX00081"),
                                                  "Wrong NVX1 file in NVXFileList"}));
}

TEST_F(PackageCheckTest, CapacityCountsOnlyLinesThatMatch) {
    PackageBuilder b;
    b.atx.clear();
    for (int i = 0; i < 100; ++i) b.atx.push_back("ATX0502" + std::to_string(i % 10));
    b.nvx = b.atx;
    for (auto& l : b.nvx) l.replace(0, 3, "NVX");
    b.atx.push_back("ATX05021");    // line 101 matches: the list is unreadable
    b.nvx.push_back("not a line");  // line 101 does not match: only a wrong-line report
    const auto lines = Check(b);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Error reading ATXFileList.txt file");
    EXPECT_EQ(lines[1], "Wrong not a line file in NVXFileList");
}

TEST_F(PackageCheckTest, ApxListHoldsAThousandEntries) {
    PackageBuilder b;
    b.apx.clear();
    for (int i = 0; i < 1000; ++i) {
        // Distinct names whose cells all lie in the grid.
        const std::string digits = std::to_string(100000 + (i / 60) * 1000 + (i % 60) * 10);
        b.apx.push_back("APX" + digits.substr(1));
    }
    EXPECT_TRUE(Check(b).empty());
    EXPECT_EQ(state.Table(FileCategory::APX).size(), 1000u);
    b.apx.push_back("APX47180");
    EXPECT_EQ(Check(b), std::vector<std::string>{"Error reading APXFileList.txt file"});
}

TEST_F(PackageCheckTest, ListWithoutLinesIsUnreadable) {
    PackageBuilder b;
    b.atx.clear();
    b.nvx.clear();
    const auto lines = Check(b);  // ATX and NVX lists exist but are empty
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Error reading ATXFileList.txt file", "Error reading NVXFileList.txt file"}));
}

TEST_F(PackageCheckTest, ListFolderInPlaceOfAListIsUnreadable) {
    PackageBuilder b;
    b.apx = {"APX47180"};
    b.atx = {"ATX05021"};
    b.nvx = {"NVX05021"};
    b.writeLists[2] = false;
    const std::string root = b.Write(dir / "pkg");
    test::MakeFolder(root + "NVXFileList.txt");
    state.AppFolder = root;
    CheckPackage(fs(), state, errorLog);
    EXPECT_EQ(errorLog, "Error reading NVXFileList.txt file\r\n");
}

TEST(RegionOfAreaTest, GridCornersAndOutside) {
    EXPECT_EQ(RegionOfArea(0), 1);
    EXPECT_EQ(RegionOfArea(2), 3);
    EXPECT_EQ(RegionOfArea(502), 4);
    EXPECT_EQ(RegionOfArea(503), 0);
    EXPECT_EQ(RegionOfArea(702), 6);
    EXPECT_EQ(RegionOfArea(902), 5);
    EXPECT_EQ(RegionOfArea(1100), 7);
    EXPECT_EQ(RegionOfArea(1107), 3);
    EXPECT_EQ(RegionOfArea(8), -1);
    EXPECT_EQ(RegionOfArea(1200), -1);
    EXPECT_EQ(RegionOfArea(-1), -1);
    EXPECT_EQ(RegionOfArea(9999), -1);
}

TEST(PathSchemeTest, PathsOfAnEntryAndTheMagvarTable) {
    PackageEntry e{"APX47180.bgl", "0502", 4};
    const std::string s(1, kSep);
    const std::string pkg = "P" + s;
    const std::string sim = "S" + s;
    EXPECT_EQ(SourcePath(pkg, FileCategory::APX, e), "P" + s + "APXFiles" + s + "APX47180.bgl");
    const std::string dest = DestinationPath(sim, e);
    EXPECT_EQ(dest, "S" + s + "Scenery" + s + "0502" + s + "scenery" + s + "APX47180.bgl");
    EXPECT_EQ(BackupPath(dest), dest + ".bglbckup");
    EXPECT_EQ(MagvarSourcePath(pkg), "P" + s + "magdec.bgl");
    const std::string mv = MagvarDestinationPath(sim);
    EXPECT_EQ(mv, "S" + s + "Scenery" + s + "base" + s + "Scenery" + s + "magdec.bgl");
    EXPECT_EQ(MagvarBackupPath(mv), mv + ".bak");
}

}  // namespace
}  // namespace orvanta
