#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "platform/win32/WineHostLock.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(Win32EnvironmentTest, ArgumentsFoldersAndVariablesInUtf8) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"\"C:\\Program Files\\Orvanta\\Orvanta.exe\" /nodetect", L"/nodetect"},
        {L"Orvanta.exe   / NoDetect /x ", L"/ NoDetect /x "},
        {L"Orvanta.exe\t/a", L"/a"},
        {L"\"C:\\a b\\x.exe\"", L""},
        {L"\"C:\\unterminated", L""},
        {L"", L""},
    };
    for (const auto& [line, arguments] : cases) EXPECT_EQ(ArgumentsAfterProgramName(line), arguments) << ToUtf8(line);
    EXPECT_EQ(Win32Environment("/nodetect").CommandLineText(), "/nodetect");
    EXPECT_EQ(Win32Environment().CommandLineText().find("orvanta_tests"), std::string::npos);  // never its name

    Win32Environment env;
    ::SetEnvironmentVariableW(L"ORVANTA_TEST_VAR", L"C:\\Users\\J\u00FCrgen\\\u6771");
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), "C:\\Users\\J\xC3\xBCrgen\\\xE6\x9D\xB1");
    ::SetEnvironmentVariableW(L"ORVANTA_TEST_VAR", L"");
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), std::string());
    ::SetEnvironmentVariableW(L"ORVANTA_TEST_VAR", nullptr);
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), std::nullopt);
    {
        test::ScopedEnv set("LOCALAPPDATA", "C:\\users\\x\\AppData\\Local\\");
        EXPECT_EQ(env.LocalAppDataFolder(), "C:\\users\\x\\AppData\\Local");
    }
    test::ScopedEnv unset("LOCALAPPDATA", "");
    const std::string fallback = env.LocalAppDataFolder();  // the shell's folder
    ASSERT_FALSE(fallback.empty());
    EXPECT_NE(fallback.back(), '\\');
    EXPECT_TRUE(test::FileExists(env.ProgramFolder() + "\\orvanta_tests.exe"));
}

TEST(Win32EnvironmentTest, OneInstanceAtATime) {
    test::TempDir dir;
    const std::string hostLock = dir / "instance.lock";  // the user's own is for real runs
    auto holder = std::make_unique<Win32Environment>("", hostLock);
    ASSERT_TRUE(holder->AcquireSingleInstanceLock());
    EXPECT_TRUE(holder->AcquireSingleInstanceLock()) << "asking again keeps the lock";
    EXPECT_FALSE(Win32Environment("", hostLock).AcquireSingleInstanceLock());
    holder.reset();
    EXPECT_TRUE(Win32Environment("", hostLock).AcquireSingleInstanceLock()) << "the lock goes with its holder";

    // Under Wine the host's lock file is locked as well, and one that cannot be locked refuses.
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) return;
    WineHostLock first, second, unreachable;
    EXPECT_EQ(first.Acquire(dir / "host.lock"), WineHostLock::Outcome::Taken);
    EXPECT_EQ(second.Acquire(dir / "host.lock"), WineHostLock::Outcome::Refused);
    EXPECT_EQ(unreachable.Acquire(dir / "gone\\host.lock"), WineHostLock::Outcome::Refused);
}

TEST(Win32RegionalFormatTest, RendersDatesAndTimesWithTheirNumbers) {
    Win32RegionalFormat regional;
    const std::string date = regional.ShortDate(2021, 3, 27);
    for (const char* part : {"27", "3", "2021"}) EXPECT_NE(date.find(part), std::string::npos) << date;
    const std::string time = regional.Time(14, 5, 9);  // minutes before seconds in every locale
    EXPECT_LT(time.find("05"), time.find("09")) << time;
    EXPECT_NE(time.find("09"), std::string::npos) << time;
    EXPECT_NE(regional.ShortDate(2021, 2, 30), "") << "an impossible date still renders";
}

}  // namespace
}  // namespace orvanta
