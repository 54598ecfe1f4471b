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
        if (!withSimulator) return;
        std::filesystem::remove_all(std::filesystem::u8path(Fsx()));
        test::SimFolderBuilder b;
        b.executableName = "FSX.exe";
        b.executableBytes = test::ReadBytes(helpers + "\\" + b.executableName);
        b.Add("0502", "APX47180.bgl", OldContent("APX47180"))
            .Add("0402", "NVX04021.bgl", OldContent("NVX04021"))
            .Add("0502", "ATX05021.bgl", test::ReadBytes(package + "\\ATXFiles\\ATX05021.bgl"))
            .Add("0601", "ATX06011.bgl.bglbckup", OldContent("ATX06011"))
            .Write(Fsx());
        test::SetLocalModifiedTime(SceneryFile(Fsx(), "0502", "APX47180"), 2020, 1, 1, 9, 0, 0);
        test::SetLocalModifiedTime(SceneryFile(Fsx(), "0402", "NVX04021"), 2020, 1, 1, 9, 0, 0);
        // Same day, another hour: still the same file.
        test::SetLocalModifiedTime(SceneryFile(Fsx(), "0502", "ATX05021"), 2022, 12, 1, 8, 0, 0);
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

    // Room on the screen for the file list window beside it.
    SetWindowPos(main, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LVITEMW europe{};
    europe.stateMask = LVIS_STATEIMAGEMASK;
    europe.state = INDEXTOSTATEIMAGEMASK(2);
    run.That(RemoteCopy(run.program.Handle(), &europe, sizeof(europe))
                 .Send(ControlByName(main, L"RegionList"), LVM_SETITEMSTATE, kEurope),
             "Europe ticked");
    for (const wchar_t* box : {L"CheckAPX", L"CheckATX", L"CheckNVX"}) {
        Click(ControlByName(main, box));
        run.That(WaitUntil([&] { return SendMessageW(ControlByName(main, box), BM_GETCHECK, 0, 0) == BST_CHECKED; }),
                 Narrow(box) + " ticked");
    }
    run.Text(main, L"lblbglnb(2)", L"2 files");  // updatable
    run.Shot("main-window", {main});

    Click(ControlByName(main, L"lblbglnb(2)"));
    HWND display = WaitForWindow(run.program.Id(), L"OrvantaInstallerDisplay");
    RECT m = RectOf(main), d = RectOf(display), mc{}, dc{};
    GetClientRect(main, &mc);
    GetClientRect(display, &dc);
    // 25 twips are one or two pixels.
    run.That(m.left == 40 && m.top == 40 && display && d.top == m.top && d.left - m.right >= 1 &&
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

}  // namespace

}  // namespace orvanta::e2e

int wmain(int argc, wchar_t** argv) {
    using namespace orvanta::e2e;
    const std::map<std::string, std::function<void(Run&)>> scenarios = {
        {"main", Main},
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
