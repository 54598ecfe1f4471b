// End-to-end scenarios of Orvanta_Installer.exe, driven from outside as a user would. Each
// crosses every layer once; what the window logic decides is tested through the fake host.
//
// Usage: orvanta_e2e_driver <scenario> <installer exe> <helper folder> <work folder> [shots]
// The calling script registers FSX under <work folder>\sim\FSX and sets the install count
// to 3 before the run.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include <shellapi.h>

#include "e2e/WindowDriver.h"
#include "support/PackageBuilder.h"
#include "support/SimFolderBuilder.h"
#include "support/TempDir.h"

namespace orvanta::e2e {

namespace {

constexpr wchar_t kMainClass[] = L"OrvantaInstallerMain";
constexpr wchar_t kSelectClass[] = L"OrvantaInstallerSelect";
constexpr wchar_t kDisplayClass[] = L"OrvantaInstallerDisplay";
constexpr wchar_t kTitle[] = L"Orvanta Installer";
constexpr wchar_t kBrowserTitle[] = L"Select the sim main folder";
constexpr int kEurope = 4;
constexpr int kMiddleEast = 6;  // no file there

std::string SceneryFile(const std::string& simFolder, const std::string& area, const std::string& name) {
    return test::SimSceneryPath(simFolder + "\\", area, name + ".bgl");
}

std::string OldContent(const std::string& name) { return "simulator's own " + name + " of an older cycle"; }

void RemoveTree(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::u8path(folder), ignored);
}

// The package and simulator the scenarios work on. Package: APX47180 (area 0502),
// ATX05021 (0502), ATX06011 (0601), NVX04021 (0402), all dated 01-12-2022, and a magvar
// table of 2022-R3. Simulator: APX47180 and NVX04021 older (updatable), ATX05021 the
// package's (up to date), ATX06011 missing with its backup there, an older magvar table.
// So Europe with all three categories gives 4 available, 1 up to date, 2 updatable,
// 1 deinstallable, 1 missing.
struct Setup {
    std::string installer;  // the built Orvanta_Installer.exe
    std::string helpers;    // folder of the stand-ins FSX.exe and Prepar3D.exe
    std::string work;       // the scenarios' own folder
    bool shots;             // photographs the windows for the documentation on the way
    std::string Sim(const std::string& name) const { return work + "\\sim\\" + name; }
    std::string Package(const std::string& name) const { return work + "\\" + name; }
    // Writes the package (with the installer), and the simulator ("FSX" or "P3D") when one
    // is named, afresh.
    bool Write(const std::string& package, const std::string& sim = "") const {
        try {
            RemoveTree(package);
            test::PackageBuilder p;
            p.atx = {"ATX05021", "ATX06011"};
            p.nvx = {"NVX04021"};
            p.Write(package);
            for (const char* f :
                 {"APXFiles\\APX47180", "ATXFiles\\ATX05021", "ATXFiles\\ATX06011", "NVXFiles\\NVX04021"})
                test::SetLocalModifiedTime(package + "\\" + f + ".bgl", 2022, 12, 1, 10, 0, 0);
            test::WriteBytes(package + "\\Orvanta_Installer.exe", test::ReadBytes(installer));
            if (sim.empty()) return true;
            RemoveTree(Sim(sim));
            test::SimFolderBuilder b;
            b.executableName = sim == "FSX" ? "FSX.exe" : "Prepar3D.exe";
            b.executableBytes = test::ReadBytes(helpers + "\\" + b.executableName);
            b.Add("0502", "APX47180.bgl", OldContent("APX47180"))
                .Add("0402", "NVX04021.bgl", OldContent("NVX04021"))
                .Add("0502", "ATX05021.bgl", test::ReadBytes(package + "\\ATXFiles\\ATX05021.bgl"))
                .Add("0601", "ATX06011.bgl.bglbckup", OldContent("ATX06011"))
                .Write(Sim(sim));
            test::SetLocalModifiedTime(SceneryFile(Sim(sim), "0502", "APX47180"), 2020, 1, 1, 9, 0, 0);
            test::SetLocalModifiedTime(SceneryFile(Sim(sim), "0402", "NVX04021"), 2020, 1, 1, 9, 0, 0);
            // Same day, another hour: still the same file.
            test::SetLocalModifiedTime(SceneryFile(Sim(sim), "0502", "ATX05021"), 2022, 12, 1, 8, 0, 0);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
};

// Prints each check and counts the failures.
class Checks {
public:
    bool That(bool ok, const std::string& what) {
        std::printf("    %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        failures_ += ok ? 0 : 1;
        return ok;
    }
    bool Equal(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
        return That(actual == expected, what + (actual == expected ? "" : ": got \"" + Narrow(actual) + "\""));
    }
    int Failures() const { return failures_; }

private:
    int failures_ = 0;
};

// A program under test and the checks made on it.
struct Run {
    const Setup& s;
    Checks& checks;
    Program program;

    Run(const Setup& setup, Checks& c) : s(setup), checks(c) {}

    // Starts the installer of the package folder and waits for its main window; with
    // ready, also for the end of its start-up (the activity label is filled last).
    HWND Start(const std::string& package, const std::wstring& args = L"", bool ready = true) {
        if (!checks.That(program.Start(Widen(package + "\\Orvanta_Installer.exe"), args), "installer started")) {
            return nullptr;
        }
        HWND main = WaitForWindow(program.Id(), kMainClass);
        checks.That(main != nullptr, "main window shown" + (main ? "" : " (" + DescribeWindows(program.Id()) + ")"));
        if (main != nullptr && ready) {
            checks.That(WaitUntil([&] { return !ControlText(main, L"lblFSActivity").empty(); }), "start-up finished");
        }
        return main;
    }
    // Waits for the message box with that text, checks its title, buttons and place (centred
    // over the window when one is given), and answers it with the first button listed.
    bool Box(const std::wstring& text, std::initializer_list<int> buttons, HWND over,
             const std::wstring& title = kTitle, const char* shot = nullptr) {
        HWND box = WaitForDialog(program.Id(), text);
        const std::string what = "box \"" + Narrow(text.substr(0, text.find(L'\r'))) + "\"";
        if (!checks.That(box != nullptr, what + (box ? "" : " shown (" + DescribeWindows(program.Id()) + ")"))) {
            return false;
        }
        checks.Equal(TextOf(box), title, what + ": title");
        for (int id : buttons) checks.That(GetDlgItem(box, id) != nullptr, what + ": button " + std::to_string(id));
        if (over != nullptr) {
            const POINT at = CentredPosition(RectOf(over), RectOf(box));
            checks.That(RectOf(box).left == at.x && RectOf(box).top == at.y, what + ": centred over its window");
        }
        if (shot != nullptr) Shot(shot, {over});
        Click(GetDlgItem(box, *buttons.begin()));
        return WaitUntil([&] { return !IsWindowVisible(box); });
    }
    void Text(HWND form, const std::wstring& control, const std::wstring& text) {
        WaitUntil([&] { return ControlText(form, control) == text; });
        checks.Equal(ControlText(form, control), text, Narrow(control));
    }
    void Counters(HWND main, std::initializer_list<const wchar_t*> counters) {
        int i = 0;
        for (const wchar_t* text : counters) Text(main, L"lblbglnb(" + std::to_wstring(i++) + L")", text);
    }
    void Tick(HWND form, const wchar_t* box) {
        Click(ControlByName(form, box));
        checks.That(WaitUntil([&] { return SendMessageW(ControlByName(form, box), BM_GETCHECK, 0, 0) == BST_CHECKED; }),
                    Narrow(box) + " ticked");
    }
    bool Ends(const std::string& what) {
        DWORD code = 1;
        return checks.That(program.WaitForExit(code) && code == 0, what);
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
        const std::string request = std::to_string(std::max(0L, all.left)) + " " +
                                    std::to_string(std::max(0L, all.top)) + " " + std::to_string(all.right - all.left) +
                                    " " + std::to_string(all.bottom - all.top);
        DeleteFileW(Widen(s.work + "\\shot-taken").c_str());
        Sleep(300);  // let every window finish painting
        test::WriteBytes(s.work + "\\shot-request.tmp", name + " " + request + "\n");
        MoveFileExW(Widen(s.work + "\\shot-request.tmp").c_str(), Widen(s.work + "\\shot-request").c_str(),
                    MOVEFILE_REPLACE_EXISTING);
        checks.That(WaitUntil([&] { return test::FileExists(s.work + "\\shot-taken"); }), "screenshot " + name);
    }
    // Picks a folder in the program's folder browser (opening it with Set folder when it is
    // not open) and presses OK, until the program reacts. Under load Wine's browser may
    // refresh its tree between the pick and OK and hand back an item without a file-system
    // path, which the program rightly takes as a cancel; the pick is then made again.
    void ChooseFolder(HWND select, const std::string& folder, const std::function<bool()>& reacted) {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            HWND browser = WaitForDialog(program.Id(), kBrowserTitle, 500);
            if (browser == nullptr) Click(ControlByName(select, L"cmdSet"));
            if (browser == nullptr && (browser = WaitForDialog(program.Id(), kBrowserTitle)) == nullptr) break;
            if (!SelectFolderInBrowser(program.Handle(), browser, Widen(folder))) continue;
            Click(GetDlgItem(browser, IDOK));
            if (WaitUntil(reacted, 8000)) {
                checks.That(true, "folder " + folder + " chosen");
                return;
            }
        }
        checks.That(false, "folder " + folder + " chosen (" + DescribeWindows(program.Id()) + ")");
    }
};

bool IsBesideAndAsHigh(HWND main, HWND display) {
    RECT m = RectOf(main), d = RectOf(display), mc{}, dc{};
    GetClientRect(main, &mc);
    GetClientRect(display, &dc);
    // 25 twips are one or two pixels.
    return d.top == m.top && d.left - m.right >= 1 && d.left - m.right <= 2 && mc.bottom == dc.bottom;
}

// The program file itself: version information, manifest and window subsystem. (It needs
// no DLL beyond the system's, or it would not start in the fresh prefix at all.)
void ProgramFile(const Setup& s, Checks& checks) {
    const std::wstring exe = Widen(s.installer);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (!checks.That(!info.empty() &&
                         GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) &&
                         VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size),
                     "version information present")) {
        return;
    }
    checks.That(fixed->dwFileVersionMS == MAKELONG(5, 12) && fixed->dwFileVersionLS == 0 &&
                    fixed->dwProductVersionMS == MAKELONG(5, 12) && fixed->dwProductVersionLS == 0,
                "file and product version 12.5.0.0");
    std::string texts;
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription", L"InternalName",
                                L"OriginalFilename"}) {
        wchar_t* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        texts +=
            (VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &size) ? Narrow(value) : "-") +
            "|";
    }
    checks.That(texts == "12.05|12.05|Orvanta Installer|Orvanta Installer|Orvanta_Installer|Orvanta_Installer.exe|",
                "version texts " + texts);
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC found = image == nullptr ? nullptr : FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    const std::string manifest = found == nullptr
                                     ? ""
                                     : std::string(static_cast<const char*>(LockResource(LoadResource(image, found))),
                                                   SizeofResource(image, found));
    for (const char* part : {"level=\"asInvoker\"", "Microsoft.Windows.Common-Controls", "<dpiAware"}) {
        checks.That(manifest.find(part) != std::string::npos, std::string("manifest: ") + part);
    }
    FreeLibrary(image);
    // A window program answers with the subsystem version in the high word; a console one with 0.
    const auto type = SHGetFileInfoW(exe.c_str(), 0, nullptr, 0, SHGFI_EXETYPE);
    checks.That(LOWORD(type) == 0x4550 && HIWORD(type) != 0, "window program, no console");
}

// One detected FSX, a package folder whose name is not ASCII: start-up, the file list, an
// install with an error and again, the donation prompt, an uninstall with the restore
// question, and the shader cache emptied on exit.
void Main(const Setup& s, Checks& checks) {
    const std::string package = s.work + "\\Donn\xC3\xA9" + "es";
    char appData[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", appData, MAX_PATH);
    const std::string shaders = std::string(appData) + "\\Microsoft\\FSX\\Shaders";
    RemoveTree(shaders);
    test::WriteBytes(shaders + "\\nested\\ShaderCache.bin", "compiled");
    if (!checks.That(s.Write(package, "FSX"), "fixture written")) return;
    Run run(s, checks);
    HWND main = run.Start(package);
    if (main == nullptr) return;
    // Room on the screen for the file list window beside it.
    SetWindowPos(main, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    checks.Equal(TextOf(main), L"Orvanta Installer v12.5 (FSX-XPack)", "caption");
    run.Text(main, L"lblCycle", L"2213");
    Click(ControlByName(main, L"CheckCleanSF"));
    run.Box(L"This option will make the shader cache is cleared on exit if significant changes occured", {IDOK}, main);
    for (int region : {kEurope, kMiddleEast}) {
        checks.That(CheckListItem(run.program.Handle(), ControlByName(main, L"RegionList"), region), "region ticked");
    }
    for (const wchar_t* box : {L"CheckAPX", L"CheckATX", L"CheckNVX"}) run.Tick(main, box);
    run.Counters(main, {L"4 files", L"1 files", L"2 files", L"1 files", L"1 files"});
    run.Shot("main-window", {main});

    Click(ControlByName(main, L"lblbglnb(2)"));
    HWND display = WaitForWindow(run.program.Id(), kDisplayClass);
    if (checks.That(display != nullptr, "file list window opened")) {
        checks.Equal(TextOf(display), L"Updatable files [2]", "file list caption");
        checks.That(SendMessageW(ControlByName(display, L"DisplayList"), LB_GETCOUNT, 0, 0) == 2, "two lines listed");
        run.Text(display, L"lblNFD2", L"01-12-2022");
        checks.That(IsBesideAndAsHigh(main, display), "beside the main window, as high inside");
        run.Shot("file-list-window", {main, display});
    }

    // The simulator holds one file open: the install reports it and the log tells more.
    const std::string nvx = SceneryFile(s.Sim("FSX"), "0402", "NVX04021");
    HANDLE held = CreateFileW(Widen(nvx).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Click(ControlByName(main, L"cmdInstall"));
    run.Box(
        L"Unable to complete full update\r\n1 BGL file(s) couldn't be updated\r\nSee the Orvanta_Installer.log file "
        L"for details",
        {IDOK}, main);
    checks.That(test::FileExists(package + "\\Orvanta_Installer.log"), "error log written in the package folder");
    checks.Equal(TextOf(display), L"Updatable files [1]", "file list refilled");
    CloseHandle(held);
    Click(ControlByName(main, L"cmdInstall"));
    run.Box(L"Update has been successfully completed\r\n1 BGL file(s) have been replaced", {IDOK}, main, kTitle,
            "centred-message-box");
    // The script counted three earlier installs: this one asks, with No preselected.
    const std::wstring donation =
        L"Thank you for your continued confidence. To help me continue this work, would you "
        L"consider making a small onetime donation now (if not already done)?";
    HWND prompt = WaitForDialog(run.program.Id(), donation);
    checks.That(prompt != nullptr && (GetWindowLongPtrW(GetDlgItem(prompt, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON),
                "donation prompt with No preselected");
    run.Box(donation, {IDNO, IDYES}, main);
    checks.That(WaitUntil([&] { return !IsWindowVisible(display); }), "file list closed when nothing is updatable");
    const std::string apx = SceneryFile(s.Sim("FSX"), "0502", "APX47180");
    checks.That(test::ReadBytes(apx) == "BGL APX47180" && test::ReadBytes(apx + ".bglbckup") == OldContent("APX47180"),
                "package file installed, the simulator's kept as backup");
    run.Counters(main, {L"4 files", L"3 files", L"None", L"3 files", L"1 files"});

    Click(ControlByName(main, L"cmdUninstall"));
    run.Box(L"Restore missing files from backups if available?\r\nIf [No], backup files will be kept", {IDYES, IDNO},
            main);
    run.Box(L"Uninstall has been successfully completed\r\n3 BGL file(s) have been restored", {IDOK}, main);
    checks.That(test::ReadBytes(apx) == OldContent("APX47180") &&
                    test::ReadBytes(SceneryFile(s.Sim("FSX"), "0601", "ATX06011")) == OldContent("ATX06011"),
                "simulator's files restored, the missing one too");
    checks.That(test::FileExists(shaders + "\\nested\\ShaderCache.bin"), "shader cache kept while the program runs");
    PostMessageW(main, WM_CLOSE, 0, 0);
    run.Ends("program ended on closing");
    checks.That(std::filesystem::is_empty(std::filesystem::u8path(shaders)), "shader folder kept and emptied");
}

// Detection switched off while Prepar3D runs: the selection window over the main window,
// Cancel answered No, Set folder refusing a folder without a simulator, then taking the
// Prepar3D v4 folder; the install is refused while the simulator runs.
void Selection(const Setup& s, Checks& checks) {
    const std::string package = s.Package("selection");
    if (!checks.That(s.Write(package, "P3D"), "fixture written")) return;
    Program simulator;
    checks.That(simulator.Start(Widen(s.Sim("P3D") + "\\Prepar3D.exe"), L""), "Prepar3D.exe running");
    Run run(s, checks);
    HWND main = run.Start(package, L"/ NoDetect ", false);
    HWND select = WaitForWindow(run.program.Id(), kSelectClass);
    if (!checks.That(main != nullptr && select != nullptr, "selection window shown over the main window")) return;
    checks.Equal(TextOf(select), L"Sim selection (detection disabled)", "selection caption");
    const RECT m = RectOf(main), w = RectOf(select);
    checks.That(w.left == m.left + ((m.right - m.left) - (w.right - w.left)) / 2 &&
                    w.top == m.top + ((m.bottom - m.top) - (w.bottom - w.top)) / 2,
                "selection window centred over the main window");
    checks.That(!IsWindowEnabled(main), "main window waits for the modal window");
    run.Shot("selection-window", {main});
    Click(ControlByName(select, L"cmdCancel"));
    run.Box(L"Exit the Orvanta Installer ?", {IDNO, IDYES}, select, L"Sim version selection");

    const std::wstring invalid =
        L"Invalid folder, unknown or inactive simulator\r\nClick Retry to select another folder or Cancel to exit";
    run.ChooseFolder(select, s.work + "\\sim", [&] { return WaitForDialog(run.program.Id(), invalid, 0) != nullptr; });
    run.Box(invalid, {IDRETRY, IDCANCEL}, select, L"Sim version selection");
    checks.That(WaitForDialog(run.program.Id(), kBrowserTitle) != nullptr, "Retry opens the browser again");
    run.ChooseFolder(select, s.Sim("P3D"), [&] { return !IsWindow(select); });
    checks.That(WaitUntil([&] { return !ControlText(main, L"lblFSActivity").empty(); }), "start-up finished");
    checks.Equal(TextOf(main), L"Orvanta Installer v12.5 (P3D v4.5)", "caption names the chosen Prepar3D");
    run.Text(main, L"lblFSActivity", L"Active");
    run.Tick(main, L"CheckMV");
    Click(ControlByName(main, L"cmdInstall"));
    run.Box(L"Installation cannot be performed while the simulator is running\r\nClose the simulator and retry", {IDOK},
            main);
    checks.That(!test::FileExists(s.Sim("P3D") + "\\Scenery\\base\\Scenery\\magdec.bak"), "nothing installed");
    simulator.Kill();
    PostMessageW(main, WM_CLOSE, 0, 0);
    run.Ends("program ended on closing");
}

// A second instance is refused before any window shows, the first goes on; a damaged
// package is reported once the window shows.
void Refusals(const Setup& s, Checks& checks) {
    const std::string sound = s.Package("sound");
    const std::string damaged = s.Package("damaged");
    if (!checks.That(s.Write(sound, "FSX") && s.Write(damaged) &&
                         DeleteFileW(Widen(damaged + "\\ATXFiles\\ATX06011.bgl").c_str()),
                     "fixtures written, one listed file removed")) {
        return;
    }
    Run first(s, checks);
    HWND main = first.Start(sound);
    Run second(s, checks);
    second.program.Start(Widen(damaged + "\\Orvanta_Installer.exe"), L"");
    second.Box(L"Another instance of the Orvanta Installer is already running\r\nThe program will not start", {IDOK},
               nullptr);
    checks.That(WindowsOf(second.program.Id(), kMainClass).empty(), "no window of the second instance");
    second.Ends("second instance ended");
    checks.That(first.program.Running() && IsWindowVisible(main), "first instance still running");
    PostMessageW(main, WM_CLOSE, 0, 0);
    first.Ends("first instance ended on closing");

    Run again(s, checks);
    HWND shown = again.Start(damaged, L"", false);
    again.Box(
        L"Some necessary files are missing or corrupted\r\nCheck that you correctly extracted the package "
        L"including\r\nall files, folder subdirectories and their content\r\nSee the Orvanta_Installer.log for "
        L"details",
        {IDOK}, shown);
    checks.That(test::ReadBytes(damaged + "\\Orvanta_Installer.log").find("ATX06011") != std::string::npos,
                "error log names the missing file");
    again.Ends("program ended after the message");
}

// Run by scripts/e2e-wine while the orvanta command on the host holds the lock: the
// program refuses to start.
void HostLockHeld(const Setup& s, Checks& checks) {
    const std::string package = s.Package("host-lock");
    if (!checks.That(s.Write(package), "fixture written")) return;
    Run run(s, checks);
    run.program.Start(Widen(package + "\\Orvanta_Installer.exe"), L"");
    run.Box(L"Another instance of the Orvanta Installer is already running\r\nThe program will not start", {IDOK},
            nullptr);
    checks.That(WindowsOf(run.program.Id(), kMainClass).empty(), "no main window");
    run.Ends("program ended after the message");
}

}  // namespace

}  // namespace orvanta::e2e

int wmain(int argc, wchar_t** argv) {
    using namespace orvanta::e2e;
    const std::map<std::string, std::function<void(const Setup&, Checks&)>> scenarios = {
        {"program-file", ProgramFile}, {"main", Main}, {"selection", Selection}, {"refusals", Refusals},
        {"host-lock", HostLockHeld}};  // beside a command holding the lock (scripts/e2e-wine)
    if (argc < 5 || argc > 6 || scenarios.count(Narrow(argv[1])) == 0) {
        std::printf("usage: orvanta_e2e_driver <scenario> <installer exe> <helper folder> <work folder> [shots]\n");
        return 2;
    }
    // Output reaches the calling script at once, line by line.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Checks checks;
    scenarios.at(Narrow(argv[1]))({Narrow(argv[2]), Narrow(argv[3]), Narrow(argv[4]), argc == 6}, checks);
    return checks.Failures() == 0 ? 0 : 1;
}
