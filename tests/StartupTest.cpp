#include <gtest/gtest.h>

#include "app/Paths.h"
#include "app/Startup.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(CommandLineTest, NoDetectWhereverTheTokenStands) {
    EXPECT_TRUE(CommandLineAsksNoDetect("nodetect"));
    EXPECT_TRUE(CommandLineAsksNoDetect("/nodetect"));
    EXPECT_TRUE(CommandLineAsksNoDetect("/  NODETECT  "));
    EXPECT_TRUE(CommandLineAsksNoDetect("/foo/ NoDetect /bar"));
    EXPECT_TRUE(CommandLineAsksNoDetect("something else/nodetect"));
}

TEST(CommandLineTest, OnlyTheWholeWordCounts) {
    EXPECT_FALSE(CommandLineAsksNoDetect(""));
    EXPECT_FALSE(CommandLineAsksNoDetect("/"));
    EXPECT_FALSE(CommandLineAsksNoDetect("/nodetect2"));
    EXPECT_FALSE(CommandLineAsksNoDetect("/no-detect"));
    EXPECT_FALSE(CommandLineAsksNoDetect("nodetect x"));
    EXPECT_FALSE(CommandLineAsksNoDetect("\tnodetect"));  // only blanks are trimmed
    EXPECT_FALSE(CommandLineAsksNoDetect("-nodetect"));
}

TEST(AddBackslashTest, AppendsThePlatformSeparatorOnce) {
    const std::string s(1, kSep);
    EXPECT_EQ(AddBackslash("C"), "C" + s);
    EXPECT_EQ(AddBackslash("C" + s), "C" + s);
    EXPECT_EQ(AddBackslash(""), s);
}

TEST(CycleLabelTest, FirstLineUnchangedOrNA) {
    test::TempDir dir;
    auto native = MakeNativePlatform({});
    FileSystem& fs = native->get().fs;
    const std::string folder = dir.path() + kSep;
    EXPECT_EQ(ReadCycleLabel(fs, folder), "NA");  // absent
    test::WriteBytes(folder + "Cycle.txt", "");
    EXPECT_EQ(ReadCycleLabel(fs, folder), "NA");  // no line
    test::WriteBytes(folder + "Cycle.txt", "\r\n2213\r\n");
    EXPECT_EQ(ReadCycleLabel(fs, folder), "");  // an empty first line shows empty
    test::WriteBytes(folder + "Cycle.txt", " 2213 rev 2 \r\nsecond\r\n");
    EXPECT_EQ(ReadCycleLabel(fs, folder), " 2213 rev 2 ");
    test::WriteBytes(folder + "Cycle.txt", "2301");
    EXPECT_EQ(ReadCycleLabel(fs, folder), "2301");
}

}  // namespace
}  // namespace orvanta
