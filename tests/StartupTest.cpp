#include <gtest/gtest.h>

#include <optional>

#include "app/Paths.h"
#include "app/Startup.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(CommandLineTest, NoDetectIsAWholeTokenBetweenSlashes) {
    for (const char* text :
         {"nodetect", "/nodetect", "/  NODETECT  ", "/foo/ NoDetect /bar", "something else/nodetect"}) {
        EXPECT_TRUE(CommandLineAsksNoDetect(text)) << text;
    }
    // Only blanks are trimmed.
    for (const char* text : {"", "/", "/nodetect2", "/no-detect", "nodetect x", "\tnodetect", "-nodetect"}) {
        EXPECT_FALSE(CommandLineAsksNoDetect(text)) << text;
    }
}

TEST(StartupTest, AddBackslashAndTheCycleLabel) {
    const std::string s(1, kSep);
    EXPECT_EQ(AddBackslash("C"), "C" + s);
    EXPECT_EQ(AddBackslash("C" + s), "C" + s);
    EXPECT_EQ(AddBackslash(""), s);

    test::TempDir dir;
    auto native = MakeNativePlatform({});
    const std::string folder = dir.path() + kSep;
    const std::pair<std::optional<std::string>, const char*> cases[] = {
        {std::nullopt, "NA"},
        {"", "NA"},            // no line
        {"\r\n2213\r\n", ""},  // an empty first line shows empty
        {" 2213 rev 2 \r\nsecond\r\n", " 2213 rev 2 "},
        {"2301", "2301"},
    };
    for (const auto& [content, label] : cases) {
        if (content) test::WriteBytes(folder + "Cycle.txt", *content);
        EXPECT_EQ(ReadCycleLabel(native->get().fs, folder), label) << content.value_or("(absent)");
    }
}

}  // namespace
}  // namespace orvanta
