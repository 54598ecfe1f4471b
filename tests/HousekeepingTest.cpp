#include <gtest/gtest.h>

#include <filesystem>

#include "housekeeping/LaunchCounter.h"
#include "housekeeping/ShaderCache.h"
#include "platform/NativePlatform.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

class ShaderCacheTest : public ::testing::Test {
protected:
    FileSystem& fs() { return native->get().fs; }
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    test::TempDir dir;
    std::string cache = dir / "Shaders";
};

TEST_F(ShaderCacheTest, CleansOnlyAfterAChangeWithTheOptionTickedAndAnExistingFolder) {
    test::MakeFolder(cache);
    struct Case {
        std::string folder;
        bool ticked, changed, clean;
    };
    const Case cases[] = {{cache, true, true, true},
                          {cache, false, true, false},
                          {cache, true, false, false},
                          {"", true, true, false},
                          {dir / "Gone", true, true, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(ShouldCleanShaderCache(fs(), c.folder, c.ticked, c.changed), c.clean)
            << c.folder << c.ticked << c.changed;
    }
}

TEST_F(ShaderCacheTest, EmptiesNestedAndReadOnlyContentAndKeepsTheFolder) {
    namespace stdfs = std::filesystem;
    test::WriteBytes(cache + kSep + "a.vsh", "x");
    test::WriteBytes(cache + kSep + ".hidden", "x");
    test::WriteBytes(dir / "Shaders/sub/deeper/b.psh", "x");
    test::WriteBytes(dir / "Shaders/sub/c.psh", "x");
    stdfs::permissions(stdfs::u8path(dir / "Shaders/sub/c.psh"), stdfs::perms::owner_read);
    stdfs::permissions(stdfs::u8path(dir / "Shaders/sub/deeper"), stdfs::perms::owner_read | stdfs::perms::owner_exec);
    stdfs::permissions(stdfs::u8path(cache), stdfs::perms::owner_read | stdfs::perms::owner_exec);
    test::WriteBytes(dir / "outside.txt", "keep");

    EXPECT_EQ(CleanShaderCache(fs(), cache), std::vector<std::string>{});
    EXPECT_TRUE(fs().IsFolder(cache));
    std::vector<FolderEntry> left;
    ASSERT_TRUE(fs().ListFolder(cache, left).ok());
    EXPECT_TRUE(left.empty()) << left.front().name;
    EXPECT_EQ(test::ReadBytes(dir / "outside.txt"), "keep");
}

TEST(LaunchCounterTest, CountsFromAFreshStoreAndPromptsEveryFourth) {
    test::MemorySettings settings;
    EXPECT_EQ(CountUpdateLaunch(settings), 1);
    EXPECT_EQ((settings.values[{"KestrelInstall", "Used", "OrvantaUpdateLaunch"}]), "1");
    EXPECT_FALSE(IsDonationDue(1));
    EXPECT_EQ(CountUpdateLaunch(settings), 2);
    EXPECT_EQ(CountUpdateLaunch(settings), 3);
    const std::int32_t fourth = CountUpdateLaunch(settings);
    EXPECT_EQ(fourth, 4);
    EXPECT_TRUE(IsDonationDue(fourth));
    EXPECT_TRUE(IsDonationDue(8));
    EXPECT_FALSE(IsDonationDue(-1));
    EXPECT_EQ(DonationPrompt().icon, MsgIcon::Question);
    EXPECT_EQ(DonationPrompt().Text(),
              "Thank you for your continued confidence. To help me continue this work, would you consider making a "
              "small onetime donation now (if not already done)?");
}

TEST(LaunchCounterTest, UnreadableOrOverflowingCountIsNotWritten) {
    test::MemorySettings settings;
    const auto key =
        std::make_tuple(std::string("KestrelInstall"), std::string("Used"), std::string("OrvantaUpdateLaunch"));
    settings.values[key] = "many";
    EXPECT_EQ(CountUpdateLaunch(settings), -1);
    EXPECT_EQ(settings.values[key], "many");
    EXPECT_EQ(settings.writes, 0);

    settings.values[key] = "2147483647";
    EXPECT_EQ(CountUpdateLaunch(settings), -1);
    EXPECT_EQ(settings.writes, 0);

    settings.values[key] = " 7 ";
    EXPECT_EQ(CountUpdateLaunch(settings), 8);

    settings.failRead = true;
    EXPECT_EQ(CountUpdateLaunch(settings), -1);
    settings.failRead = false;
    settings.failWrite = true;
    EXPECT_EQ(CountUpdateLaunch(settings), -1);
}

TEST(LaunchCounterTest, ParsesSignedDecimalTextOnly) {
    std::int32_t v = 0;
    EXPECT_TRUE(ParseCount("-2147483648", v));
    EXPECT_EQ(v, -2147483647 - 1);
    EXPECT_TRUE(ParseCount("+12", v));
    EXPECT_EQ(v, 12);
    for (const char* bad : {"", " ", "-", "1.5", "12a", "2147483648", "0x10", "99999999999999999999"}) {
        EXPECT_FALSE(ParseCount(bad, v)) << bad;
    }
}

}  // namespace
}  // namespace orvanta
