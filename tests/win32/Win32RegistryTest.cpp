#include <gtest/gtest.h>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Settings.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "sim/SimDetection.h"

namespace orvanta {
namespace {

// A key of its own under HKLM\Software in one registry view, removed afterwards.
class TestKey {
public:
    TestKey(HKEY root, const std::string& name, REGSAM view) : root_(root), name_(ToWide(name)), view_(view) {
        const LSTATUS status = ::RegCreateKeyExW(root_, name_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS | view_, nullptr, &key_, nullptr);
        EXPECT_EQ(status, ERROR_SUCCESS) << name;
    }
    ~TestKey() {
        if (key_ != nullptr) ::RegCloseKey(key_);
        ::RegDeleteKeyExW(root_, name_.c_str(), view_, 0);
    }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    // Stores the text with its terminating NUL, as programs normally do, or without it.
    void SetText(const std::string& value, const std::string& text, bool withNul = true, DWORD type = REG_SZ) {
        const std::wstring wide = ToWide(text);
        const DWORD bytes = static_cast<DWORD>((wide.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
        ASSERT_EQ(
            ::RegSetValueExW(key_, ToWide(value).c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.c_str()), bytes),
            ERROR_SUCCESS);
    }
    void SetNumber(const std::string& value, DWORD number) { SetRaw(value, REG_DWORD, &number, sizeof number); }
    void SetRaw(const std::string& value, DWORD type, const void* data, std::size_t bytes) {
        ASSERT_EQ(::RegSetValueExW(key_, ToWide(value).c_str(), 0, type, static_cast<const BYTE*>(data),
                                   static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
    }

private:
    HKEY root_;
    std::wstring name_;
    REGSAM view_;
    HKEY key_ = nullptr;
};

std::string UniqueKeyName() { return "Software\\OrvantaTest-" + std::to_string(::GetCurrentProcessId()); }

std::string WithNul(const std::string& s) { return s + std::string(1, '\0'); }

TEST(Win32RegistryTest, EachViewAnswersWithItsOwnValues) {
    const std::string name = UniqueKeyName();
    TestKey key32(HKEY_LOCAL_MACHINE, name, KEY_WOW64_32KEY);
    TestKey key64(HKEY_LOCAL_MACHINE, name, KEY_WOW64_64KEY);
    key32.SetText("SetupPath", "C:\\FSX32\\");
    key64.SetText("SetupPath", "D:\\P3D v4");
    key64.SetText("Only64", "x");
    Win32Registry registry;
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, name, "SetupPath", RegistryView::Default32),
              WithNul("C:\\FSX32\\"));
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, name, "SetupPath", RegistryView::View64),
              WithNul("D:\\P3D v4"));
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, name, "Only64", RegistryView::View64), WithNul("x"));
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, name, "Only64", RegistryView::Default32), std::nullopt);
}

TEST(Win32RegistryTest, TextComesBackAsStored) {
    const std::string name = UniqueKeyName();
    TestKey key(HKEY_LOCAL_MACHINE, name, KEY_WOW64_32KEY);
    std::string longText = "C:\\Sim\\M\xC3\xBCnchen\\";
    while (longText.size() < 1500) longText += "abcdefghij";
    key.SetText("Long", longText);
    key.SetText("NoNul", "C:\\FSX", false);
    key.SetText("Expand", "%LOCALAPPDATA%\\Sim", true, REG_EXPAND_SZ);
    key.SetText("Empty", "");
    Win32Registry registry;
    auto read = [&](const std::string& value) {
        return registry.ReadString(RegistryRoot::LocalMachine, name, value, RegistryView::Default32);
    };
    EXPECT_EQ(read("Long"), WithNul(longText)) << "longer than the first buffer, read whole";
    // Stored without its NUL: the registry may add one on the way out, nothing else.
    const auto noNul = read("NoNul");
    ASSERT_TRUE(noNul.has_value());
    EXPECT_TRUE(*noNul == "C:\\FSX" || *noNul == WithNul("C:\\FSX")) << *noNul;
    EXPECT_EQ(read("Expand"), WithNul("%LOCALAPPDATA%\\Sim")) << "never expanded";
    EXPECT_EQ(read("Empty"), WithNul(""));
    EXPECT_EQ(read("Absent"), std::nullopt);
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, name + "\\Absent", "Long", RegistryView::Default32),
              std::nullopt);
    EXPECT_EQ(registry.ToHostPath("C:\\FSX\\"), "C:\\FSX\\");
}

TEST(Win32RegistryTest, CurrentUserIsReadToo) {
    const std::string name = UniqueKeyName();
    TestKey key(HKEY_CURRENT_USER, name, 0);
    key.SetText("AppPath", "E:\\Games\\FSX\\");
    Win32Registry registry;
    EXPECT_EQ(registry.ReadString(RegistryRoot::CurrentUser, name, "AppPath", RegistryView::Default32),
              WithNul("E:\\Games\\FSX\\"));
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, name, "AppPath", RegistryView::Default32), std::nullopt);
}

// Detection reads a folder from a value of any type: the text before the first NUL.
TEST(Win32RegistryTest, EveryTypeIsReadAsText) {
    const std::string name = UniqueKeyName();
    TestKey key(HKEY_CURRENT_USER, name, 0);
    const char binary[] = "C:\\Jeux\\FSX\xE9\0junk";
    key.SetRaw("Binary", REG_BINARY, binary, sizeof binary - 1);
    key.SetRaw("None", REG_NONE, binary, 8);
    const wchar_t multi[] = L"D:\\P3D\0E:\\Other\0";
    key.SetRaw("Multi", REG_MULTI_SZ, multi, sizeof multi);
    key.SetNumber("Number", 0x5C3A43);  // "C:\" in its bytes
    Win32Registry registry;
    const auto read = [&](const char* value) {
        return TrimAtNul(
            registry.ReadString(RegistryRoot::CurrentUser, name, value, RegistryView::Default32).value_or("?"));
    };
    if (::GetACP() == 1252) EXPECT_EQ(read("Binary"), "C:\\Jeux\\FSX\xC3\xA9");
    EXPECT_EQ(read("None"), "C:\\Jeux\\");
    EXPECT_EQ(read("Multi"), "D:\\P3D");
    EXPECT_EQ(read("Number"), "C:\\");
}

class Win32SettingsTest : public ::testing::Test {
protected:
    ~Win32SettingsTest() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ToWide("Software\\VB and VBA Program Settings\\" + app).c_str());
    }
    std::string app = "OrvantaTest-" + std::to_string(::GetCurrentProcessId());
    Win32Settings settings;
};

TEST_F(Win32SettingsTest, AbsentSettingGivesTheDefaultAndSavedOneComesBack) {
    EXPECT_EQ(settings.Get(app, "Used", "OrvantaUpdateLaunch", "0"), "0");
    ASSERT_TRUE(settings.Save(app, "Used", "OrvantaUpdateLaunch", "1"));
    EXPECT_EQ(settings.Get(app, "Used", "OrvantaUpdateLaunch", "0"), "1");
    ASSERT_TRUE(settings.Save(app, "Used", "OrvantaUpdateLaunch", "12"));
    EXPECT_EQ(settings.Get(app, "Used", "OrvantaUpdateLaunch", "0"), "12");
    EXPECT_EQ(settings.Get(app, "Used", "Other", "dflt"), "dflt");
    EXPECT_EQ(settings.Get(app, "Other", "OrvantaUpdateLaunch", "0"), "0");
    ASSERT_TRUE(settings.Save(app, "Used", "Name", "J\xC3\xBCrgen"));
    EXPECT_EQ(settings.Get(app, "Used", "Name", ""), "J\xC3\xBCrgen");
}

TEST_F(Win32SettingsTest, ValueLivesWhereEarlierVersionsKeptIt) {
    ASSERT_TRUE(settings.Save(app, "Used", "OrvantaUpdateLaunch", "7"));
    wchar_t text[16] = {};
    DWORD bytes = sizeof text;
    DWORD type = REG_NONE;
    const std::wstring key = ToWide("Software\\VB and VBA Program Settings\\" + app + "\\Used");
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"OrvantaUpdateLaunch", RRF_RT_ANY, &type, text, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"7");

    // A count an earlier version stored is read as it is, even without its terminating NUL.
    TestKey earlier(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\" + app + "\\Used", 0);
    earlier.SetText("Stored", "41", false);
    EXPECT_EQ(settings.Get(app, "Used", "Stored", "0"), "41");
    // A value that is no text cannot be read as a setting.
    earlier.SetNumber("Binary", 5);
    EXPECT_EQ(settings.Get(app, "Used", "Binary", "0"), std::nullopt);
}

}  // namespace
}  // namespace orvanta
