#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "housekeeping/LaunchCounter.h"
#include "housekeeping/ShaderCache.h"
#include "platform/NativePlatform.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(ShaderCacheTest, CleansOnlyAfterAChangeWithTheOptionTickedAndAnExistingFolder) {
    test::TempDir dir;
    const auto native = MakeNativePlatform({});
    FileSystem& fs = native->get().fs;
    const std::string cache = dir / "Shaders";
    const struct {
        const char* name;
        std::string folder;
        bool ticked, changed, clean;
    } cases[] = {
        {"all three", cache, true, true, true},           {"unticked", cache, false, true, false},
        {"no change", cache, true, false, false},         {"no folder known", "", true, true, false},
        {"folder gone", dir / "Gone", true, true, false},
    };
    test::MakeFolder(cache);
    for (const auto& c : cases) EXPECT_EQ(ShouldCleanShaderCache(fs, c.folder, c.ticked, c.changed), c.clean) << c.name;

    namespace stdfs = std::filesystem;
    for (const char* file : {"a.vsh", ".hidden", "sub/deeper/b.psh", "sub/c.psh"}) {
        test::WriteBytes(dir / (std::string("Shaders/") + file), "x");
    }
    test::WriteBytes(dir / "outside.txt", "keep");
    stdfs::permissions(stdfs::u8path(dir / "Shaders/sub/c.psh"), stdfs::perms::owner_read);
    for (const std::string& folder : {dir / "Shaders/sub/deeper", cache}) {
        stdfs::permissions(stdfs::u8path(folder), stdfs::perms::owner_read | stdfs::perms::owner_exec);
    }
    EXPECT_EQ(CleanShaderCache(fs, cache), std::vector<std::string>{});
    std::vector<FolderEntry> left;
    ASSERT_TRUE(fs.ListFolder(cache, left).ok());  // the folder itself stays
    EXPECT_TRUE(left.empty()) << left.front().name;
    EXPECT_EQ(test::ReadBytes(dir / "outside.txt"), "keep");
}

TEST(LaunchCounterTest, CountsInTheSettingsStoreAndPromptsEveryFourth) {
    const auto key =
        std::make_tuple(std::string("KestrelInstall"), std::string("Used"), std::string("OrvantaUpdateLaunch"));
    const struct {
        const char* name;
        std::optional<std::string> stored;  // nullopt: no entry yet
        bool failRead, failWrite;
        std::int32_t count;  // -1: not counted, and nothing written
    } cases[] = {
        // clang-format off
        {"a fresh store", std::nullopt, false, false, 1},     {"blanks around the number", " \t7 ", false, false, 8},
        {"a sign", "+12", false, false, 13},                  {"the smallest count", "-2147483648", false, false, -2147483647},
        {"one below the largest", "2147483646", false, false, 2147483647},
        {"the largest count", "2147483647", false, false, -1}, {"beyond 32 bits", "2147483648", false, false, -1},
        {"far beyond", "99999999999999999999", false, false, -1}, {"not a number", "many", false, false, -1},
        {"blank", " ", false, false, -1},                     {"a sign alone", "-", false, false, -1},
        {"a fraction", "1.5", false, false, -1},              {"trailing letters", "12a", false, false, -1},
        {"hexadecimal", "0x10", false, false, -1},            {"unreadable store", "3", true, false, -1},
        {"unwritable store", "3", false, true, -1},
        // clang-format on
    };
    for (const auto& c : cases) {
        test::MemorySettings settings;
        if (c.stored) settings.values[key] = *c.stored;
        settings.failRead = c.failRead;
        settings.failWrite = c.failWrite;
        EXPECT_EQ(CountUpdateLaunch(settings), c.count) << c.name;
        EXPECT_EQ(settings.values[key], c.count == -1 ? c.stored.value_or("") : std::to_string(c.count)) << c.name;
    }
    for (const auto& [count, due] : {std::pair{1, false}, {3, false}, {4, true}, {8, true}, {-1, false}}) {
        EXPECT_EQ(IsDonationDue(count), due) << count;
    }
    EXPECT_EQ(DonationPrompt().icon, MsgIcon::Question);
    EXPECT_EQ(DonationPrompt().Text(),
              "Thank you for your continued confidence. To help me continue this work, would you consider making a "
              "small onetime donation now (if not already done)?");
}

}  // namespace
}  // namespace orvanta
