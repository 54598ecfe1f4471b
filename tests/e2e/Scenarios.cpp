// End-to-end scenarios of Orvanta_Installer.exe, driven from outside as a user would. Each
// crosses every layer once and checks what only a real run shows; what the window logic
// decides is tested through the fake host.
//
// Usage: orvanta_e2e_driver <scenario> <installer exe> <helper folder> <work folder> [shots]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include <shellapi.h>

#include "e2e/WindowDriver.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta::e2e {

namespace {

constexpr wchar_t kMainClass[] = L"OrvantaInstallerMain";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kBrowserTitle[] = L"Select the sim main folder";
constexpr int kEurope = 4;

std::string SceneryFile(const std::string& simFolder, const std::string& area, const std::string& name) {
    return test::SimSceneryPath(simFolder + "\\", area, name + ".bgl");
}

std::string OldContent(const std::string& name) { return "simulator's own " + name + " of an older cycle"; }

// A text value in the registry of the scenarios' prefix, its key made when missing.
void SetValue(const wchar_t* key, const wchar_t* name, const std::string& value, HKEY root = HKEY_CURRENT_USER) {
    const std::wstring text = Widen(value);
    RegSetKeyValueW(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The package: APX47180 (area 0502), ATX05021 (0502), ATX06011 (0601), NVX04021 (0402),
// all dated 01-12-2022. The simulator: APX47180 and NVX04021 older (updatable), ATX05021
// the package's, ATX06011 missing with its backup there.
struct Setup {
    std::string installer;  // the built Orvanta_Installer.exe
    std::string helpers;    // folder of the stand-in FSX.exe
    std::string work;       // the scenarios' own folder
    bool shots;             // photographs the windows for the documentation on the way
    std::string Fsx() const { return work + "\\sim\\FSX"; }
    // Writes the package (with the installer) afresh, and with a simulator FSX too. A failure
    // throws and ends the driver, the scenario failed.
    void Write(const std::string& package, bool withSimulator = true) const {
        std::filesystem::remove_all(std::filesystem::u8path(package));
        test::PackageBuilder p;
        p.atx = {"ATX05021", "ATX06011"};
        p.nvx = {"NVX04021"};
        p.Write(package);
        for (const char* f : {"APXFiles\\APX47180", "ATXFiles\\ATX05021", "ATXFiles\\ATX06011", "NVXFiles\\NVX04021"})
            test::SetLocalModifiedTime(package + "\\" + f + ".bgl", 2022, 12, 1, 10, 0, 0);
        test::WriteBytes(package + "\\Orvanta_Installer.exe", test::ReadBytes(installer));
        if (withSimulator) WriteSimulator(Fsx(), "FSX.exe", package);
    }
    void WriteSimulator(const std::string& folder, const std::string& executable, const std::string& package) const {
        std::filesystem::remove_all(std::filesystem::u8path(folder));
        test::SimFolderBuilder b;
        b.executableName = executable;
        b.executableBytes = test::ReadBytes(helpers + "\\" + b.executableName);
        b.Add("0502", "APX47180.bgl", OldContent("APX47180"))
            .Add("0402", "NVX04021.bgl", OldContent("NVX04021"))
            .Add("0502", "ATX05021.bgl", test::ReadBytes(package + "\\ATXFiles\\ATX05021.bgl"))
            .Add("0601", "ATX06011.bgl.bglbckup", OldContent("ATX06011"))
            .Write(folder);
        test::SetLocalModifiedTime(SceneryFile(folder, "0502", "APX47180"), 2020, 1, 1, 9, 0, 0);
        test::SetLocalModifiedTime(SceneryFile(folder, "0402", "NVX04021"), 2020, 1, 1, 9, 0, 0);
        // Same day, another hour: still the same file.
        test::SetLocalModifiedTime(SceneryFile(folder, "0502", "ATX05021"), 2022, 12, 1, 8, 0, 0);
    }
};

// A program under test and the checks made on it, each printed, the failures counted.
struct Run {
    const Setup& s;
    int& failures;
    Program program;

    bool That(bool ok, const std::string& what) {
        std::printf("    %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        failures += ok ? 0 : 1;
        return ok;
    }
    void Text(HWND window, const std::wstring& control, const std::wstring& text) {
        const auto actual = [&] { return TextOf(ControlByName(window, control)); };
        WaitUntil([&] { return actual() == text; });
        That(actual() == text, Narrow(control) + " \"" + Narrow(actual()) + "\"");
    }
    bool Ticked(HWND form, const std::wstring& box) {
        return That(WaitUntil([&] { return SendMessageW(ControlByName(form, box), BM_GETCHECK, 0, 0) == BST_CHECKED; }),
                    Narrow(box) + " ticked");
    }
    // The main window opens on its region list, on the first item: Space ticks Europe.
    void TickEurope(HWND main) {
        HWND regions = ControlByName(main, L"RegionList");
        Focus(main, L"RegionList");
        Press({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_SPACE});
        That(WaitUntil([&] { return ListView_GetCheckState(regions, kEurope) != 0; }), "Europe ticked");
    }
    bool Focus(HWND form, const std::wstring& control) {
        HWND c = ControlByName(form, control);
        return That(c != nullptr && WaitUntil([&] { return program.Focus() == c; }, 5000),
                    Narrow(control) + " has the focus");
    }
    // Tab, or Shift+Tab where the step holds Shift, from control to control.
    void Tabs(HWND form, std::initializer_list<std::pair<BYTE, const wchar_t*>> steps) {
        for (const auto& [shift, to] : steps) {
            Press({VK_TAB}, shift);
            Focus(form, to);
        }
    }
    // Presses Tab until the control has the focus, each press waited for.
    bool TabTo(HWND form, const std::wstring& control) {
        HWND c = ControlByName(form, control);
        for (int i = 0; i < 30 && c != nullptr && program.Focus() != c; ++i) {
            HWND before = program.Focus();
            Press({VK_TAB});
            WaitUntil([&] { return program.Focus() != before; }, 3000);
        }
        return Focus(form, control);
    }
    // Waits for the message box with that text, checks that it is centred over the window
    // when one is given (to the pixel: the rounding is the unit tests'), and answers it.
    void Box(const std::wstring& text, int button, HWND over = nullptr, const char* shot = nullptr) {
        HWND box = WaitForWindow(program.Id(), kDialogClass, text);
        const std::string what = "box \"" + Narrow(text.substr(0, text.find(L'\r'))) + "\"";
        if (!That(box != nullptr, what + " shown")) return;
        const RECT o = RectOf(over), b = RectOf(box);
        if (over != nullptr) {
            That(std::abs(o.left + o.right - b.left - b.right) <= 1 &&
                     std::abs(o.top + o.bottom - b.top - b.bottom) <= 1,
                 what + " centred over its window");
        }
        if (shot != nullptr) Shot(shot, {over});
        Click(GetDlgItem(box, button));
        That(WaitUntil([&] { return !IsWindowVisible(box); }),
             what + " answered with button " + std::to_string(button));
    }
    // With shots asked for, has the calling script photograph the region around the
    // windows and waits until it has. The request and the answer are files: console output
    // may reach the script late.
    void Shot(const std::string& name, std::initializer_list<HWND> windows) {
        if (!s.shots) return;
        RECT all = RectOf(*windows.begin());
        for (HWND w : windows) {
            const RECT r = RectOf(w);
            UnionRect(&all, &all, &r);
        }
        InflateRect(&all, 12, 12);
        const std::string request = name + " " + std::to_string(std::max(0L, all.left)) + " " +
                                    std::to_string(std::max(0L, all.top)) + " " + std::to_string(all.right - all.left) +
                                    " " + std::to_string(all.bottom - all.top) + "\n";
        DeleteFileW(Widen(s.work + "\\shot-taken").c_str());
        Sleep(300);  // let every window finish painting
        test::WriteBytes(s.work + "\\shot-request.tmp", request);
        MoveFileExW(Widen(s.work + "\\shot-request.tmp").c_str(), Widen(s.work + "\\shot-request").c_str(),
                    MOVEFILE_REPLACE_EXISTING);
        That(WaitUntil([&] { return test::FileExists(s.work + "\\shot-taken"); }), "screenshot " + name);
    }
    // Picks a folder in the program's folder browser (opening it with Set folder when it is
    // not open) and presses OK, until the selection window closes. Under load Wine's browser
    // may refresh its tree between the pick and OK and hand back an item without a
    // file-system path, which the program rightly takes as a cancel; the pick is then made again.
    void ChooseFolder(HWND select, const std::string& folder) {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            HWND browser = WaitForWindow(program.Id(), kDialogClass, kBrowserTitle, 500);
            if (browser == nullptr) Click(ControlByName(select, L"cmdSet"));
            if (browser == nullptr && (browser = WaitForWindow(program.Id(), kDialogClass, kBrowserTitle)) == nullptr) {
                break;
            }
            if (!SelectFolderInBrowser(program.Handle(), browser, Widen(folder))) continue;
            Click(GetDlgItem(browser, IDOK));
            if (WaitUntil([&] { return !IsWindow(select); }, 8000)) return;
        }
        That(false, "folder " + folder + " chosen");
    }
};

// The program file itself (version information, manifest, window subsystem), then a run:
// a package folder whose name is not ASCII, detection switched off, the selection window
// over the main window and the real folder browser taking the FSX folder; the file list
// window; an install with two files held by another program, one for a moment, one for
// good; an uninstall with the restore question. (The program
// needs no DLL beyond the system's, or it would not start in the fresh prefix at all.)
void Main(Run& run) {
    const std::wstring exe = Widen(run.s.installer);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    wchar_t* text = nullptr;
    UINT size = 0;
    run.That(!info.empty() && GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) &&
                 VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) &&
                 fixed->dwFileVersionMS == MAKELONG(5, 12) && fixed->dwProductVersionMS == MAKELONG(5, 12) &&
                 VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                                reinterpret_cast<void**>(&text), &size) &&
                 std::wstring(text) == L"12.05",
             "file and product version 12.5, shown as 12.05");
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC found = image == nullptr ? nullptr : FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    const std::string manifest = found == nullptr
                                     ? ""
                                     : std::string(static_cast<const char*>(LockResource(LoadResource(image, found))),
                                                   SizeofResource(image, found));
    for (const char* part : {"level=\"asInvoker\"", "Microsoft.Windows.Common-Controls", "<dpiAware",
                             "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"}) {
        run.That(manifest.find(part) != std::string::npos, std::string("manifest: ") + part);
    }
    FreeLibrary(image);
    // A window program answers with the subsystem version in the high word; a console one with 0.
    const auto type = SHGetFileInfoW(exe.c_str(), 0, nullptr, 0, SHGFI_EXETYPE);
    run.That(LOWORD(type) == 0x4550 && HIWORD(type) != 0, "window program, no console");

    const std::string package = run.s.work + "\\Donn\xC3\xA9" + "es";
    const std::string fsx = run.s.Fsx();
    run.s.Write(package);
    run.That(run.program.Start(Widen(package + "\\Orvanta_Installer.exe"), L"/ NoDetect "), "installer started");
    HWND main = WaitForWindow(run.program.Id(), kMainClass);
    HWND select = WaitForWindow(run.program.Id(), L"OrvantaInstallerSelect");
    if (!run.That(main != nullptr && select != nullptr, "selection window shown")) return;
    const RECT sm = RectOf(main), w = RectOf(select);
    run.That(w.left == sm.left + ((sm.right - sm.left) - (w.right - w.left)) / 2 &&
                 w.top == sm.top + ((sm.bottom - sm.top) - (w.bottom - w.top)) / 2 && !IsWindowEnabled(main),
             "selection window centred over the main window, which waits for it");
    run.Shot("selection-window", {main});
    run.ChooseFolder(select, fsx);
    run.Text(main, L"lblFSActivity", L"Inactive");
    // The title names the simulator being updated: the chosen one, set after the window showed.
    run.That(TextOf(main) == L"Orvanta Installer v12.5 (FSX-XPack)", "caption \"" + Narrow(TextOf(main)) + "\"");

    // Room for the file list window beside it (on Wine's null display, 1024 pixels wide, too little).
    const int left = std::min(40, GetSystemMetrics(SM_CXSCREEN) - 1040);
    SetWindowPos(main, nullptr, left, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    run.TickEurope(main);
    for (const wchar_t* box : {L"CheckAPX", L"CheckATX", L"CheckNVX"}) {
        Click(ControlByName(main, box));
        run.Ticked(main, box);
    }
    run.Text(main, L"lblbglnb(2)", L"2 files");  // updatable
    run.Shot("main-window", {main});

    Click(ControlByName(main, L"lblbglnb(2)"));
    HWND display = WaitForWindow(run.program.Id(), L"OrvantaInstallerDisplay");
    RECT m = RectOf(main), d = RectOf(display), mc{}, dc{};
    GetClientRect(main, &mc);
    GetClientRect(display, &dc);
    // 25 twips are one or two pixels.
    run.That(m.left == left && m.top == 40 && display && d.top == m.top && d.left - m.right >= 1 &&
                 d.left - m.right <= 2 && mc.bottom == dc.bottom,
             "main window where it was moved, the file list window beside it, as high inside");
    if (display != nullptr) run.Shot("file-list-window", {main, display});

    // Two files held open without delete sharing, as a virus scanner holds them: APX47180
    // for a moment (the install waits, names it on the status line, and replaces it once it
    // is free), NVX04021 for good (reported after the wait, the simulator's file kept).
    const auto hold = [&](const char* area, const char* name) {
        return CreateFileW(Widen(SceneryFile(fsx, area, name)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    };
    HANDLE brief = hold("0502", "APX47180"), forGood = hold("0402", "NVX04021");
    Click(ControlByName(main, L"cmdInstall"));
    // Read from the window itself: the program's thread is busy waiting.
    const auto status = [&] {
        wchar_t text[128] = {};
        GetWindowTextW(ControlByName(main, L"lblMess"), text, 128);
        return std::wstring(text);
    };
    run.That(WaitUntil([&] { return status() == L" Waiting for APX47180.bgl, in use by another program"; }),
             "status line names the file held");
    CloseHandle(brief);
    run.Box(
        L"Unable to complete full update\r\n1 BGL file(s) couldn't be updated\r\nSee the Orvanta_Installer.log "
        L"file for details",
        IDOK, main, "centred-message-box");
    CloseHandle(forGood);
    run.That(test::ReadBytes(SceneryFile(fsx, "0502", "APX47180")) ==
                     test::ReadBytes(package + "\\APXFiles\\APX47180.bgl") &&
                 test::ReadBytes(SceneryFile(fsx, "0402", "NVX04021")) == OldContent("NVX04021") &&
                 test::ReadBytes(package + "\\Orvanta_Installer.log")
                         .rfind("Error Id: Backing up original file - Error number: 70\r\nFile: ", 0) == 0,
             "the file held for a moment replaced, the one held for good kept and its failure logged");

    Click(ControlByName(main, L"cmdUninstall"));
    run.Box(L"Restore missing files from backups if available?\r\nIf [No], backup files will be kept", IDYES);
    run.Box(L"Uninstall has been successfully completed\r\n2 BGL file(s) have been restored", IDOK);
    PostMessageW(main, WM_CLOSE, 0, 0);
    run.That(run.program.EndsCleanly(), "program ended on closing");
}

// By keyboard alone: windows open on their first control, arrows tick and move within a frame, Tab
// passes what opens nothing, Enter and Space click, the file list takes the focus and lies on screen.
void Keys(Run& run) {
    const std::string package = run.s.work + "\\keys";
    const std::string p3d = run.s.work + "\\sim\\P3Dv4";
    run.s.Write(package);
    run.s.WriteSimulator(p3d, "Prepar3D.exe", package);
    test::WriteBytes(package + "\\Orvanta_Package.pdf", "documentation");
    SetValue(L"Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0", L"AppPath", run.s.Fsx());
    SetValue(L"Software\\Lockheed Martin\\Prepar3D v4", L"AppPath", p3d);
    // Opening the documentation copies it (Wine's own handler would start the host's browser).
    SetValue(L".pdf", nullptr, "OrvantaDocument", HKEY_CLASSES_ROOT);
    SetValue(L"OrvantaDocument\\shell\\open\\command", nullptr,
             "cmd.exe /c copy \"%1\" \"" + run.s.work + "\\opened.pdf\"", HKEY_CLASSES_ROOT);
    run.That(run.program.Start(Widen(package + "\\Orvanta_Installer.exe"), L""), "installer started");
    HWND main = WaitForWindow(run.program.Id(), kMainClass);
    HWND select = WaitForWindow(run.program.Id(), L"OrvantaInstallerSelect");
    if (!run.Focus(select, L"OptSim(1)")) return;
    run.Tabs(select, {{0, L"cmdSet"}, {VK_SHIFT, L"OptSim(1)"}});  // only the ticked option is a tab stop
    Press({VK_DOWN});
    run.Ticked(select, L"OptSim(6)");
    Press({VK_RETURN});
    run.That(WaitUntil([&] { return TextOf(main) == L"Orvanta Installer v12.5 (P3D v4.5)"; }), "Prepar3D v4 chosen");

    run.TickEurope(main);
    run.TabTo(main, L"CheckNVX");
    Press({VK_SPACE, VK_DOWN});
    run.Focus(main, L"CheckAPX");
    Press({VK_SPACE});
    run.Text(main, L"lblbglnb(2)", L"2 files");  // updatable
    // Up-to-date, deinstallable and missing show "None"; the available files open nothing.
    run.Tabs(main,
             {{VK_SHIFT, L"CheckNVX"}, {VK_SHIFT, L"CheckMV"}, {VK_SHIFT, L"lblbglnb(2)"}, {VK_SHIFT, L"RegionList"}});

    const auto openList = [&](const wchar_t* counter) {
        run.TabTo(main, counter);
        Press({VK_RETURN});
        HWND display = WaitForWindow(run.program.Id(), L"OrvantaInstallerDisplay");
        if (!run.Focus(display, L"DisplayList")) return;
        const RECT d = RectOf(display), m = RectOf(main), screen = RectOf(GetDesktopWindow());
        run.That(d.top == m.top && d.left >= screen.left && d.right <= screen.right,
                 "file list window level with the main window, inside the screen");
        HWND list = ControlByName(display, L"DisplayList");
        const LRESULT line = SendMessageW(list, LB_GETCURSEL, 0, 0);
        Press({VK_DOWN});
        run.That(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == line + 1; }),
                 "Down selects the next line");
        Press({VK_F4}, VK_MENU);
        run.Focus(main, counter);
    };
    openList(L"lblbglnb(2)");

    run.TabTo(main, L"cmdInstall");
    Press({VK_RETURN});
    run.Box(L"Update has been successfully completed\r\n2 BGL file(s) have been replaced", IDOK);
    openList(L"lblbglnb(1)");  // up-to-date
    openList(L"lblbglnb(3)");  // deinstallable

    run.TabTo(main, L"lblDoc");
    Press({VK_SPACE});
    run.That(WaitUntil([&] { return test::ReadBytes(run.s.work + "\\opened.pdf") == "documentation"; }),
             "documentation opened");
    PostMessageW(main, WM_CLOSE, 0, 0);  // the copy has the keyboard now
    run.That(run.program.EndsCleanly(), "program ended on closing");
}

}  // namespace

}  // namespace orvanta::e2e

int wmain(int argc, wchar_t** argv) {
    using namespace orvanta::e2e;
    const std::map<std::string, std::function<void(Run&)>> scenarios = {
        {"main", Main},
        {"keys", Keys},
        // The orvanta command holds the lock (scripts/e2e-wine): the installer refuses before
        // any window shows, and ends.
        {"host-lock", [](Run& run) {
             const std::string package = run.s.work + "\\refused";
             run.s.Write(package, false);
             run.program.Start(Widen(package + "\\Orvanta_Installer.exe"), L"");
             run.Box(L"Another instance of the Orvanta Installer is already running\r\nThe program will not start",
                     IDOK);
             run.That(WindowsOf(run.program.Id(), kMainClass).empty() && run.program.EndsCleanly(),
                      "refused instance ended without a window");
         }}};
    if (argc < 5 || argc > 6 || scenarios.count(Narrow(argv[1])) == 0) {
        std::printf("usage: orvanta_e2e_driver <scenario> <installer exe> <helper folder> <work folder> [shots]\n");
        return 2;
    }
    // Output reaches the calling script at once, line by line.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const Setup setup{Narrow(argv[2]), Narrow(argv[3]), Narrow(argv[4]), argc == 6};
    int failures = 0;
    Run run{setup, failures, {}};
    scenarios.at(Narrow(argv[1]))(run);
    return failures == 0 ? 0 : 1;
}
