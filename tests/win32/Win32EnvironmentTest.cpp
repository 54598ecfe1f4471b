#include <gtest/gtest.h>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const std::string& name, const std::string* value) : name_(ToWide(name)) {
        const DWORD size = ::GetEnvironmentVariableW(name_.c_str(), nullptr, 0);
        if (size > 0) {
            old_.assign(size, L'\0');
            old_.resize(::GetEnvironmentVariableW(name_.c_str(), old_.data(), size));
            hadOld_ = true;
        }
        ::SetEnvironmentVariableW(name_.c_str(), value ? ToWide(*value).c_str() : nullptr);
        if (value && value->empty()) ::SetEnvironmentVariableW(name_.c_str(), L"");
    }
    ~ScopedVariable() { ::SetEnvironmentVariableW(name_.c_str(), hadOld_ ? old_.c_str() : nullptr); }

private:
    std::wstring name_;
    std::wstring old_;
    bool hadOld_ = false;
};

TEST(Win32EnvironmentTest, ArgumentTextFollowsTheProgramName) {
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\Program Files\\Orvanta\\Orvanta.exe\" /nodetect"), L"/nodetect");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Orvanta.exe   / NoDetect /x "), L"/ NoDetect /x ");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Orvanta.exe\t/a"), L"/a");
    EXPECT_TRUE(ArgumentsAfterProgramName(L"\"C:\\a b\\x.exe\"").empty());
    EXPECT_TRUE(ArgumentsAfterProgramName(L"x.exe").empty());
    EXPECT_TRUE(ArgumentsAfterProgramName(L"\"C:\\unterminated").empty());
    EXPECT_TRUE(ArgumentsAfterProgramName(std::wstring()).empty());
}

TEST(Win32EnvironmentTest, GivenCommandLineTextWinsOverTheProcesses) {
    Win32Environment given("/nodetect");
    EXPECT_EQ(given.CommandLineText(), "/nodetect");
    Win32Environment own;
    // This test program's own arguments, never its name.
    EXPECT_EQ(own.CommandLineText().find("orvanta_tests"), std::string::npos);
}

TEST(Win32EnvironmentTest, OneInstanceAtATime) {
    test::TempDir dir;
    const std::string hostLock = dir / "instance.lock";  // the user's own is for real runs
    auto first = std::make_unique<Win32Environment>("", hostLock);
    ASSERT_TRUE(first->AcquireSingleInstanceLock());
    EXPECT_TRUE(first->AcquireSingleInstanceLock()) << "asking again keeps the lock";
    {
        Win32Environment second("", hostLock);
        EXPECT_FALSE(second.AcquireSingleInstanceLock());
    }
    first.reset();
    Win32Environment third("", hostLock);
    EXPECT_TRUE(third.AcquireSingleInstanceLock()) << "the lock goes with its holder";
}

// Under Wine the host's lock file is locked as well, and one that cannot be locked refuses.
TEST(Win32EnvironmentTest, UnderWineTheHostLockIsTakenToo) {
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
        GTEST_SKIP() << "Windows has no host lock";
    }
    test::TempDir dir;
    WineHostLock first, second, unreachable;
    EXPECT_EQ(first.Acquire(dir / "host.lock"), WineHostLock::Outcome::Taken);
    EXPECT_EQ(second.Acquire(dir / "host.lock"), WineHostLock::Outcome::Refused);
    EXPECT_EQ(unreachable.Acquire(dir / "gone\\host.lock"), WineHostLock::Outcome::Refused);
}

TEST(Win32EnvironmentTest, VariablesRoundTripInUtf8) {
    Win32Environment env;
    const std::string value = "C:\\Users\\J\xC3\xBCrgen\\\xE6\x9D\xB1";
    {
        ScopedVariable v("ORVANTA_TEST_VAR", &value);
        EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), value);
    }
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), std::nullopt);
    const std::string empty;
    ScopedVariable v("ORVANTA_TEST_VAR", &empty);
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), std::string());
}

TEST(Win32EnvironmentTest, LocalAppDataComesWithoutTrailingSeparator) {
    Win32Environment env;
    const std::string set = "C:\\users\\x\\AppData\\Local\\";
    {
        ScopedVariable v("LOCALAPPDATA", &set);
        EXPECT_EQ(env.LocalAppDataFolder(), "C:\\users\\x\\AppData\\Local");
    }
    ScopedVariable unset("LOCALAPPDATA", nullptr);
    const std::string fallback = env.LocalAppDataFolder();  // the shell's folder
    EXPECT_FALSE(fallback.empty());
    EXPECT_NE(fallback.back(), '\\');
}

TEST(Win32EnvironmentTest, ProgramFolderHoldsTheProgram) {
    Win32Environment env;
    const std::string folder = env.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(test::FileExists(folder + "\\orvanta_tests.exe"));
}

TEST(Win32RegionalFormatTest, RendersDatesAndTimesWithTheirNumbers) {
    Win32RegionalFormat regional;
    const std::string date = regional.ShortDate(2021, 3, 27);
    EXPECT_NE(date.find("27"), std::string::npos) << date;
    EXPECT_NE(date.find('3'), std::string::npos) << date;
    const std::string time = regional.Time(14, 5, 9);
    EXPECT_NE(time.find("05"), std::string::npos) << time;
    EXPECT_NE(time.find("09"), std::string::npos) << time;
    EXPECT_NE(regional.ShortDate(2021, 2, 30), "") << "an impossible date still renders";
}

}  // namespace
}  // namespace orvanta
