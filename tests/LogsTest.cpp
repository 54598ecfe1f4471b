#include <gtest/gtest.h>

#include "engine/Logs.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

class LogsTest : public ::testing::Test {
protected:
    FileSystem& fs() { return native->get().fs; }
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    test::FixedRegional regional;
    test::TempDir dir;
    std::string folder = dir.path() + kSep;
};

TEST_F(LogsTest, DescriptionGivesDateTimeAndLengthAndLeavesTheTimeOutAtMidnight) {
    const struct {
        int hour, minute, second;
        const char* bytes;
        const char* expected;
    } cases[] = {
        {14, 5, 9, "12345", " [7.3.2021 14h5m9-5]"}, {0, 0, 0, "", " [7.3.2021-0]"},
        {0, 0, 1, "", " [7.3.2021 0h0m1-0]"},        {0, 1, 0, "", " [7.3.2021 0h1m0-0]"},
        {1, 0, 0, "", " [7.3.2021 1h0m0-0]"},
    };
    const std::string file = folder + "a.bgl";
    std::string d;
    for (const auto& c : cases) {
        test::WriteBytes(file, c.bytes);
        test::SetLocalModifiedTime(file, 2021, 3, 7, c.hour, c.minute, c.second);
        ASSERT_TRUE(DescribeFile(fs(), regional, file, d).ok());
        EXPECT_EQ(d, c.expected);
    }
    ASSERT_TRUE(DescribeFile(fs(), regional, folder + "none.bgl", d).ok());
    EXPECT_EQ(d, " [not existing]");
}

TEST_F(LogsTest, WriteReplacesTheWholeFileAndFailsSilently) {
    WriteErrorLog(fs(), folder, "first line\r\nsecond line\r\n");
    WriteErrorLog(fs(), folder, "x\r\n");
    EXPECT_EQ(test::ReadBytes(folder + "Orvanta_Installer.log"), "x\r\n");
    // Text in the platform's encoding: the ANSI code page (1252 in the test prefix) on Windows.
    WriteActionsLog(fs(), folder, "Replaced: caf\xC3\xA9\r\n");
#ifdef _WIN32
    EXPECT_EQ(test::ReadBytes(folder + "Installer_Actions.log"), "Replaced: caf\xE9\r\n");
#else
    EXPECT_EQ(test::ReadBytes(folder + "Installer_Actions.log"), "Replaced: caf\xC3\xA9\r\n");
#endif

    test::MakeFolder(folder + "sub" + kSep + "Orvanta_Installer.log");  // a folder where the log should go
    WriteErrorLog(fs(), folder + "sub" + kSep, "text\r\n");             // must neither throw nor crash
    EXPECT_TRUE(fs().IsFolder(folder + "sub" + kSep + "Orvanta_Installer.log"));
}

}  // namespace
}  // namespace orvanta
