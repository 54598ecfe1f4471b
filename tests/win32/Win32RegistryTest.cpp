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

// Values come back as stored, NUL and all (detection cuts at the first one), from the view
// and the root asked for only; a value of any type is read as text.
TEST(Win32RegistryTest, EachViewAndRootAnswersWithItsOwnValues) {
    const std::string name = UniqueKeyName();
    TestKey key32(HKEY_LOCAL_MACHINE, name, KEY_WOW64_32KEY);
    TestKey key64(HKEY_LOCAL_MACHINE, name, KEY_WOW64_64KEY);
    TestKey user(HKEY_CURRENT_USER, name, 0);
    std::string longText = "C:\\Sim\\M\xC3\xBCnchen\\";
    while (longText.size() < 1500) longText += "abcdefghij";
    key32.SetText("SetupPath", longText);
    key32.SetText("Expand", "%LOCALAPPDATA%\\Sim", true, REG_EXPAND_SZ);
    key64.SetText("SetupPath", "D:\\P3D v4");
    user.SetText("AppPath", "E:\\Games\\FSX\\", false);
    const char binary[] = "C:\\Jeux\\FSX\xE9\0junk";
    user.SetRaw("Binary", REG_BINARY, binary, sizeof binary - 1);
    const wchar_t multi[] = L"D:\\P3D\0E:\\Other\0";
    user.SetRaw("Multi", REG_MULTI_SZ, multi, sizeof multi);
    user.SetNumber("Number", 0x5C3A43);  // "C:\" in its bytes
    Win32Registry registry;
    const auto read = [&](RegistryRoot root, const char* value, RegistryView view = RegistryView::Default32) {
        const auto text = registry.ReadString(root, name, value, view);
        return text ? TrimAtNul(*text) : std::string("(absent)");
    };
    constexpr RegistryRoot kLM = RegistryRoot::LocalMachine, kCU = RegistryRoot::CurrentUser;
    EXPECT_EQ(registry.ReadString(kLM, name, "SetupPath", RegistryView::Default32), longText + '\0');
    EXPECT_EQ(read(kLM, "SetupPath", RegistryView::View64), "D:\\P3D v4");
    EXPECT_EQ(read(kLM, "Expand"), "%LOCALAPPDATA%\\Sim") << "never expanded";
    EXPECT_EQ(read(kCU, "AppPath"), "E:\\Games\\FSX\\");  // stored without its NUL
    EXPECT_EQ(read(kLM, "AppPath"), "(absent)");
    if (::GetACP() == 1252) EXPECT_EQ(read(kCU, "Binary"), "C:\\Jeux\\FSX\xC3\xA9");
    EXPECT_EQ(read(kCU, "Multi"), "D:\\P3D");
    EXPECT_EQ(read(kCU, "Number"), "C:\\");
    EXPECT_EQ(registry.ReadString(kLM, name + "\\Absent", "SetupPath", RegistryView::Default32), std::nullopt);
    EXPECT_EQ(registry.ToHostPath("C:\\FSX\\"), "C:\\FSX\\");
}

class Win32SettingsTest : public ::testing::Test {
protected:
    ~Win32SettingsTest() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ToWide("Software\\VB and VBA Program Settings\\" + app).c_str());
    }
    std::string app = "OrvantaTest-" + std::to_string(::GetCurrentProcessId());
    Win32Settings settings;
};

// The count lives where earlier versions kept it, as text, and comes back as saved.
TEST_F(Win32SettingsTest, SavedValuesComeBackFromWhereEarlierVersionsKeptThem) {
    EXPECT_EQ(settings.Get(app, "Used", "OrvantaUpdateLaunch", "0"), "0");
    ASSERT_TRUE(settings.Save(app, "Used", "OrvantaUpdateLaunch", "7"));
    EXPECT_EQ(settings.Get(app, "Used", "OrvantaUpdateLaunch", "0"), "7");
    EXPECT_EQ(settings.Get(app, "Other", "OrvantaUpdateLaunch", "0"), "0");
    ASSERT_TRUE(settings.Save(app, "Used", "Name", "J\xC3\xBCrgen"));
    EXPECT_EQ(settings.Get(app, "Used", "Name", ""), "J\xC3\xBCrgen");
    wchar_t text[16] = {};
    DWORD bytes = sizeof text, type = REG_NONE;
    const std::string key = "Software\\VB and VBA Program Settings\\" + app + "\\Used";
    ASSERT_EQ(
        ::RegGetValueW(HKEY_CURRENT_USER, ToWide(key).c_str(), L"OrvantaUpdateLaunch", RRF_RT_ANY, &type, text, &bytes),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"7");

    // Stored by an earlier version without its NUL: read as it is; a number is no setting.
    TestKey earlier(HKEY_CURRENT_USER, key, 0);
    earlier.SetText("Stored", "41", false);
    EXPECT_EQ(settings.Get(app, "Used", "Stored", "0"), "41");
    earlier.SetNumber("Binary", 5);
    EXPECT_EQ(settings.Get(app, "Used", "Binary", "0"), std::nullopt);
}

}  // namespace
}  // namespace orvanta
