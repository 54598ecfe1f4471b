#include <gtest/gtest.h>

#include <windows.h>
#include <algorithm>
#include <cstdlib>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/WinText.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"
#include "ui/win32/Win32Program.h"

namespace orvanta {
namespace {

constexpr int kEurope = 4;  // the region of the package's area 0502

// The window program on its real windows (Wine's null display driver), over the fakes of
// the window tests: one detected FSX with a shader cache, a package with one file per
// category that the simulator lacks.
class Win32ProgramTest : public ::testing::Test, protected test::WindowFixture {
protected:
    void SetUp() override {
        WritePackage();
        InstallSimulator(1);
        shaders = MakeShaderCache(1);
        program = std::make_unique<Win32Program>(GetModuleHandleW(nullptr), platform, state);
        ASSERT_TRUE(program->Start());
        main = FindWindowW(L"OrvantaInstallerMain", nullptr);
        ASSERT_NE(main, nullptr);
        // The first activation runs the rest of the start-up from the message loop.
        for (int i = 0; i < 500 && program->Main().lblFSActivity.Caption().empty(); ++i) Pump();
        ASSERT_EQ(program->Main().lblFSActivity.Caption(), "Inactive");
    }
    void TearDown() override {
        program.reset();
        Pump();  // the quit message of an ended program, so that it reaches no later test
    }

    static void Pump() {
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }

    std::unique_ptr<Win32Program> program;
    std::string shaders;
    HWND main = nullptr;
};

TEST_F(Win32ProgramTest, HandOverTheDocumentationThenSessionEndRunsTheExitPath) {
    frmMain& logic = program->Main();
    HWND doc = FindWindowExW(main, nullptr, L"STATIC", L"Documentation");
    ASSERT_NE(doc, nullptr);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    for (int move = 1; move <= 3; ++move) {
        EXPECT_TRUE(SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(doc), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
            << "move " << move;
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND)) << "move " << move;
    }
    // An install ran and the cleaning option is ticked: the exit path empties the cache.
    logic.ExplainCleanSF = false;
    logic.CheckCleanSF.SetValue(1);
    logic.SignificantChanges = true;
    logic.RegionList.SetSelected(kEurope, true);
    logic.CheckAPX.SetValue(1);
    logic.lblbglnb(kMissingDestination).Click();
    HWND list = FindWindowW(L"OrvantaInstallerDisplay", nullptr);
    ASSERT_NE(list, nullptr);
    // The file list is an ordinary window: no owner to float above, hide or minimise it.
    EXPECT_EQ(GetWindow(list, GW_OWNER), nullptr);

    // Asking changes nothing and never refuses; another program may still cancel the logoff.
    EXPECT_TRUE(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(logic.Form.Loaded());
    EXPECT_TRUE(test::FileExists(shaders + "\\sub\\shader.bin"));

    SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(logic.Form.Loaded());
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_FALSE(state.DisplayOpen);
    EXPECT_TRUE(test::FileExists(shaders));
    EXPECT_FALSE(test::FileExists(shaders + "\\sub"));
}

TEST(Win32CommandTest, NonAsciiPackageFolderReachesTheCommandWhole) {
    const std::string program = Win32Environment().ProgramFolder() + "\\..\\orvanta.exe";
    ASSERT_TRUE(test::FileExists(program));
    test::TempDir dir;
    test::PackageBuilder b;
    b.cycle = "2213\r\n";
    const std::string package = dir / "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC pkg";
    b.Write(package);
    // Started by the shell from a wide command line, as a user's console would start it.
    const std::wstring command = L"\"\"" + ToWide(program) + L"\" --package \"" + ToWide(package) + L"\" check > \"" +
                                 ToWide(dir / "out.txt") + L"\" 2>&1\"";
    const int code = ::_wsystem(command.c_str());
    std::string out = test::ReadBytes(dir / "out.txt");
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out, "Package OK\nAPX: 1 files\nATX: 1 files\nNVX: 1 files\nAIRAC Cycle: 2213\n");
}

}  // namespace
}  // namespace orvanta
