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
    // Any case; only blanks are trimmed.
    const std::pair<const char*, bool> cases[] = {
        // clang-format off
        {"nodetect", true},      {"/  NODETECT  ", true}, {"/foo/ NoDetect /bar", true}, {"else/nodetect", true},
        {"", false},             {"/", false},            {"/nodetect2", false},         {"nodetect x", false},
        {"\tnodetect", false},   {"-nodetect", false},
        // clang-format on
    };
    for (const auto& [text, asks] : cases) EXPECT_EQ(CommandLineAsksNoDetect(text), asks) << text;
}

TEST(StartupTest, TheCycleLabel) {
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
