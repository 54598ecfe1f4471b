#include <gtest/gtest.h>

#include "engine/Logs.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// A regional format with fixed, recognisable renderings.
class FixedRegional : public RegionalFormat {
public:
    std::string ShortDate(int y, int m, int d) override {
        return std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
    }
    std::string Time(int h, int mi, int s) override {
        return std::to_string(h) + "h" + std::to_string(mi) + "m" + std::to_string(s);
    }
};

class LogsTest : public ::testing::Test {
protected:
    FileSystem& fs() { return native->get().fs; }
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    FixedRegional regional;
    test::TempDir dir;
    std::string folder = dir.path() + kSep;
};

TEST_F(LogsTest, DescribeFileGivesDateTimeAndLength) {
    const std::string file = folder + "a.bgl";
    test::WriteBytes(file, "12345");
    test::SetLocalModifiedTime(file, 2021, 3, 7, 14, 5, 9);
    std::string d;
    ASSERT_TRUE(DescribeFile(fs(), regional, file, d).ok());
    EXPECT_EQ(d, " [7.3.2021 14h5m9-5]");
}

TEST_F(LogsTest, DescribeFileLeavesTimeOutAtExactMidnight) {
    const std::string file = folder + "b.bgl";
    test::WriteBytes(file, "");
    test::SetLocalModifiedTime(file, 2020, 12, 31, 0, 0, 0);
    std::string d;
    ASSERT_TRUE(DescribeFile(fs(), regional, file, d).ok());
    EXPECT_EQ(d, " [31.12.2020-0]");
    test::SetLocalModifiedTime(file, 2020, 12, 31, 0, 0, 1);
    ASSERT_TRUE(DescribeFile(fs(), regional, file, d).ok());
    EXPECT_EQ(d, " [31.12.2020 0h0m1-0]");
}

TEST_F(LogsTest, DescribeMissingFileAndFolder) {
    std::string d;
    ASSERT_TRUE(DescribeFile(fs(), regional, folder + "none.bgl", d).ok());
    EXPECT_EQ(d, " [not existing]");
    test::MakeFolder(folder + "sub");
    ASSERT_TRUE(DescribeFile(fs(), regional, folder + "sub", d).ok());
    EXPECT_NE(d, " [not existing]");  // a folder exists for the path test
}

TEST_F(LogsTest, WriteReplacesTheWholeFile) {
    WriteErrorLog(fs(), folder, "first line\r\nsecond line\r\n");
    EXPECT_EQ(test::ReadBytes(folder + "Orvanta_Installer.log"), "first line\r\nsecond line\r\n");
    WriteErrorLog(fs(), folder, "x\r\n");
    EXPECT_EQ(test::ReadBytes(folder + "Orvanta_Installer.log"), "x\r\n");
    WriteActionsLog(fs(), folder, "Unchanged: y\r\n");
    EXPECT_EQ(test::ReadBytes(folder + "Installer_Actions.log"), "Unchanged: y\r\n");
}

TEST_F(LogsTest, WriteFailureIsSilentAndLeavesOthersAlone) {
    test::MakeFolder(folder + "Orvanta_Installer.log");  // a folder where the log should go
    WriteErrorLog(fs(), folder, "text\r\n");             // must neither throw nor crash
    EXPECT_TRUE(fs().IsFolder(folder + "Orvanta_Installer.log"));
    WriteErrorLog(fs(), folder + "missing" + kSep, "text\r\n");
    EXPECT_FALSE(test::FileExists(folder + "missing"));
}

TEST_F(LogsTest, NonAsciiTextRoundTripsInThePlatformEncoding) {
    WriteActionsLog(fs(), folder, "Replaced: caf\xC3\xA9\r\n");
    const std::string bytes = test::ReadBytes(folder + "Installer_Actions.log");
#ifdef _WIN32
    EXPECT_EQ(bytes, "Replaced: caf\xE9\r\n");  // ANSI code page 1252 in the test prefix
#else
    EXPECT_EQ(bytes, "Replaced: caf\xC3\xA9\r\n");
#endif
}

}  // namespace
}  // namespace orvanta
