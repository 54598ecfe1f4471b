#include <gtest/gtest.h>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "sim/SimDetection.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// A "Cycle.txt" or list line with a letter of the ANSI code page reaches the label as that
// letter, and goes back into a log as the byte it was.
TEST(AnsiTextTest, TextFileBytesSurviveTheWayThroughTheProgram) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the test prefix is expected to use code page 1252";
    test::TempDir dir;
    Win32FileSystem fs;
    test::WriteBytes(dir / "Cycle.txt", "AIRAC 2213 \xE9t\xE9\r\nAPX4718\xE9\r\n");
    std::string line;
    bool hasLine = false;
    ASSERT_TRUE(fs.ReadFirstLine(dir / "Cycle.txt", line, hasLine).ok());
    EXPECT_EQ(line, "AIRAC 2213 \xC3\xA9t\xC3\xA9");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs.ReadLines(dir / "Cycle.txt", lines).ok());
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_TRUE(fs.WriteTextFile(dir / "Orvanta_Installer.log", "Wrong " + lines[1] + " file in APX\r\n").ok());
    EXPECT_EQ(test::ReadBytes(dir / "Orvanta_Installer.log"), "Wrong APX4718\xE9 file in APX\r\n");
}

// Detection reads a folder from a value of any type: the text before the first NUL.
TEST(RegistryValueTypeTest, EveryTypeIsReadAsText) {
    const std::wstring key = L"Software\\OrvantaTypes-" + std::to_wstring(::GetCurrentProcessId());
    HKEY handle = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
        ERROR_SUCCESS);
    const auto set = [&](const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
        EXPECT_EQ(::RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
    };
    const char binary[] = "C:\\Jeux\\FSX\xE9\0junk";
    set(L"Binary", REG_BINARY, binary, sizeof binary - 1);
    set(L"None", REG_NONE, binary, 8);
    const wchar_t multi[] = L"D:\\P3D\0E:\\Other\0";
    set(L"Multi", REG_MULTI_SZ, multi, sizeof multi);
    const DWORD number = 0x5C3A43;  // "C:\" in its bytes
    set(L"Number", REG_DWORD, &number, sizeof number);
    ::RegCloseKey(handle);

    Win32Registry registry;
    const auto read = [&](const char* name) {
        const auto value = registry.ReadString(RegistryRoot::CurrentUser, ToUtf8(key), name, RegistryView::Default32);
        return value ? TrimAtNul(*value) : std::string("(absent)");
    };
    if (::GetACP() == 1252) {
        EXPECT_EQ(read("Binary"), "C:\\Jeux\\FSX\xC3\xA9");
    }
    EXPECT_EQ(read("None"), "C:\\Jeux\\");
    EXPECT_EQ(read("Multi"), "D:\\P3D");
    EXPECT_EQ(read("Number"), "C:\\");
    EXPECT_EQ(read("Absent"), "(absent)");
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
}  // namespace orvanta
