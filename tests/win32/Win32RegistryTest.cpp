#include <gtest/gtest.h>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Settings.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "sim/SimDetection.h"

namespace orvanta {
namespace {

// A key of its own, in HKCU and either view of HKLM, removed afterwards. Text is stored with
// its terminating NUL, as programs normally do, or without it.
class TestKey {
public:
    explicit TestKey(const std::string& name) : name_(ToWide(name)) {}
    ~TestKey() {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, name_.c_str(), view, 0);
        ::RegDeleteKeyExW(HKEY_CURRENT_USER, name_.c_str(), 0, 0);
    }
    void Set(HKEY root, REGSAM view, const std::string& value, DWORD type, const void* data, std::size_t bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(root, name_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExW(key, ToWide(value).c_str(), 0, type, static_cast<const BYTE*>(data),
                                   static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    void SetText(HKEY root, REGSAM view, const std::string& value, const std::string& text, bool withNul = true,
                 DWORD type = REG_SZ) {
        const std::wstring wide = ToWide(text);
        Set(root, view, value, type, wide.c_str(), (wide.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
    }

private:
    std::wstring name_;
};

// Values come back as stored, NUL and all (detection cuts at the first one), from the view
// and the root asked for only; a value of any type is read as text.
TEST(Win32RegistryTest, EachViewAndRootAnswersWithItsOwnValues) {
    const std::string name = "Software\\OrvantaTest-" + std::to_string(::GetCurrentProcessId());
    TestKey key(name);
    std::string longText = "C:\\Sim\\M\xC3\xBCnchen\\";
    while (longText.size() < 1500) longText += "abcdefghij";
    key.SetText(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "SetupPath", longText);
    key.SetText(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "Expand", "%LOCALAPPDATA%\\Sim", true, REG_EXPAND_SZ);
    key.SetText(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "SetupPath", "D:\\P3D v4");
    key.SetText(HKEY_CURRENT_USER, 0, "AppPath", "E:\\Games\\FSX\\", false);
    const char binary[] = "C:\\Jeux\\FSX\xE9\0junk";
    key.Set(HKEY_CURRENT_USER, 0, "Binary", REG_BINARY, binary, sizeof binary - 1);
    const wchar_t multi[] = L"D:\\P3D\0E:\\Other\0";
    key.Set(HKEY_CURRENT_USER, 0, "Multi", REG_MULTI_SZ, multi, sizeof multi);
    const DWORD number = 0x5C3A43;  // "C:\" in its bytes
    key.Set(HKEY_CURRENT_USER, 0, "Number", REG_DWORD, &number, sizeof number);
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
    if (::GetACP() == 1252) {  // the bytes are that code page's
        EXPECT_EQ(read(kCU, "Binary"), "C:\\Jeux\\FSX\xC3\xA9");
    }
    EXPECT_EQ(read(kCU, "Multi"), "D:\\P3D");
    EXPECT_EQ(read(kCU, "Number"), "C:\\");
    EXPECT_EQ(registry.ReadString(kLM, name + "\\Absent", "SetupPath", RegistryView::Default32), std::nullopt);
    EXPECT_EQ(registry.ToHostPath("C:\\FSX\\"), "C:\\FSX\\");
}

// The count lives where earlier versions kept it, as text, and comes back as saved.
TEST(Win32SettingsTest, SavedValuesComeBackFromWhereEarlierVersionsKeptThem) {
    const std::string app = "OrvantaTest-" + std::to_string(::GetCurrentProcessId());
    const std::string key = "Software\\VB and VBA Program Settings\\" + app + "\\Used";
    TestKey appKey("Software\\VB and VBA Program Settings\\" + app), usedKey(key);  // removed inner first
    Win32Settings settings;
    EXPECT_EQ(settings.Get(app, "Used", "OrvantaUpdateLaunch", "0"), "0");
    ASSERT_TRUE(settings.Save(app, "Used", "OrvantaUpdateLaunch", "7"));
    EXPECT_EQ(settings.Get(app, "Used", "OrvantaUpdateLaunch", "0"), "7");
    EXPECT_EQ(settings.Get(app, "Other", "OrvantaUpdateLaunch", "0"), "0");
    ASSERT_TRUE(settings.Save(app, "Used", "Name", "J\xC3\xBCrgen"));
    EXPECT_EQ(settings.Get(app, "Used", "Name", ""), "J\xC3\xBCrgen");
    wchar_t text[16] = {};
    DWORD bytes = sizeof text, type = REG_NONE;
    ASSERT_EQ(
        ::RegGetValueW(HKEY_CURRENT_USER, ToWide(key).c_str(), L"OrvantaUpdateLaunch", RRF_RT_ANY, &type, text, &bytes),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"7");

    // Stored by an earlier version without its NUL: read as it is; a number is no setting.
    usedKey.SetText(HKEY_CURRENT_USER, 0, "Stored", "41", false);
    EXPECT_EQ(settings.Get(app, "Used", "Stored", "0"), "41");
    const DWORD number = 5;
    usedKey.Set(HKEY_CURRENT_USER, 0, "Binary", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(settings.Get(app, "Used", "Binary", "0"), std::nullopt);
}

}  // namespace
}  // namespace orvanta
