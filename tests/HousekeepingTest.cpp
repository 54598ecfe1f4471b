#include <gtest/gtest.h>

#include <optional>

#include "housekeeping/LaunchCounter.h"
#include "support/Fakes.h"

namespace orvanta {
namespace {

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
}

}  // namespace
}  // namespace orvanta
