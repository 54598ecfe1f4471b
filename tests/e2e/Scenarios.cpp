// End-to-end scenarios of Orvanta_Installer.exe, driven from outside as a user would.
//
// Usage: orvanta_e2e_driver <scenario> <installer exe> <helper folder> <work folder>
// The scenario's registry entries are written by the calling script before the run.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "e2e/Fixtures.h"
#include "e2e/WindowDriver.h"

namespace orvanta::e2e {

namespace {

constexpr wchar_t kMainClass[] = L"OrvantaInstallerMain";
constexpr wchar_t kSelectClass[] = L"OrvantaInstallerSelect";
constexpr wchar_t kDisplayClass[] = L"OrvantaInstallerDisplay";
constexpr wchar_t kTitle[] = L"Orvanta Installer";
constexpr int kEurope = 4;
constexpr int kWait = 20000;

struct Setup {
    std::string installer;  // the built Orvanta_Installer.exe
    std::string helpers;    // folder of FSX.exe and Prepar3D.exe
    std::string work;       // the scenarios' own folder
    std::string FsxFolder() const { return work + "\\sim\\FSX"; }
    std::string P3dFolder() const { return work + "\\sim\\P3D"; }
    std::string Package(const std::string& name) const { return work + "\\" + name + "\\package"; }
};

// Records the outcome of each check and prints it.
class Checks {
public:
    bool That(bool ok, const std::string& what) {
        std::printf("    %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        if (!ok) ++failures_;
        return ok;
    }
    bool Equal(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
        if (actual == expected) return That(true, what);
        return That(false, what + ": got \"" + Narrow(actual) + "\", expected \"" + Narrow(expected) + "\"");
    }
    int Failures() const { return failures_; }

private:
    int failures_ = 0;
};

std::wstring Lines(std::initializer_list<const wchar_t*> lines) {
    std::wstring text;
    for (const wchar_t* line : lines) {
        if (!text.empty()) text += L"\r\n";
        text += line;
    }
    return text;
}

// Waits for the next message box of the program and checks its title, text, buttons and,
// when over is given, that it is centred over that window.
bool ExpectMessageBox(Checks& checks, Program& program, const std::wstring& title, const std::wstring& text,
                      std::initializer_list<int> buttons, HWND over, MessageBoxSeen& box, const std::string& what) {
    if (!checks.That(WaitForMessageBox(program.Id(), kWait, box),
                     what + ": message box shown (" + DescribeWindows(program.Id()) + ")")) {
        return false;
    }
    bool ok = checks.Equal(box.title, title, what + ": title");
    ok = checks.Equal(box.text, text, what + ": text") && ok;
    for (int id : buttons) ok = checks.That(HasButton(box.window, id), what + ": button " + std::to_string(id)) && ok;
    if (over != nullptr) {
        const POINT expected = CentredPosition(RectOf(over), box.rect);
        ok = checks.That(box.rect.left == expected.x && box.rect.top == expected.y,
                         what + ": centred over its window at (" + std::to_string(expected.x) + "," +
                             std::to_string(expected.y) + "), found at (" + std::to_string(box.rect.left) + "," +
                             std::to_string(box.rect.top) + ")") &&
             ok;
    }
    return ok;
}

void Answer(Program& program, const MessageBoxSeen& box, int id) {
    AnswerMessageBox(box.window, id);
    WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, kWait);
    (void)program;
}

// Starts the installer from the package folder and waits for the end of its start-up (the
// simulator activity label is filled last).
HWND StartToMainWindow(Checks& checks, Program& program, const std::string& package, const std::wstring& args = L"") {
    if (!checks.That(program.Start(Widen(package + "\\Orvanta_Installer.exe"), args), "installer started"))
        return nullptr;
    HWND main = WaitForProgramWindow(program.Id(), kMainClass, kWait);
    if (!checks.That(main != nullptr, "main window shown (" + DescribeWindows(program.Id()) + ")")) return nullptr;
    checks.That(WaitUntil([&] { return !ControlText(main, L"lblFSActivity").empty(); }, kWait),
                "start-up finished (" + DescribeWindows(program.Id()) + ")");
    return main;
}

bool WaitForText(HWND form, const std::wstring& control, const std::wstring& text) {
    return WaitUntil([&] { return ControlText(form, control) == text; }, kWait);
}

void ExpectText(Checks& checks, HWND form, const std::wstring& control, const std::wstring& text) {
    WaitForText(form, control, text);
    checks.Equal(ControlText(form, control), text, Narrow(control));
}

void ExpectCounters(Checks& checks, HWND main, std::initializer_list<const wchar_t*> counters) {
    int i = 0;
    for (const wchar_t* text : counters) ExpectText(checks, main, L"lblbglnb(" + std::to_wstring(i++) + L")", text);
}

void ClickNamed(HWND form, const std::wstring& name) { ClickButton(ControlByName(form, name)); }

// Ticks Europe and the three categories, and checks the standard fixture's counts.
void SelectEuropeAllCategories(Checks& checks, Program& program, HWND main) {
    HWND regions = ControlByName(main, L"RegionList");
    checks.That(ListItemCount(regions) == 8, "eight regions listed");
    checks.That(SetListItemChecked(program.Handle(), regions, kEurope, true), "Europe ticked");
    checks.That(ListItemChecked(regions, kEurope), "Europe shows its tick");
    ExpectText(checks, main, L"Frame_Status", L"Region status [1 region(s) selected]");
    for (const wchar_t* box : {L"CheckAPX", L"CheckATX", L"CheckNVX"}) {
        ClickNamed(main, box);
        checks.That(
            WaitUntil([&] { return SendMessageW(ControlByName(main, box), BM_GETCHECK, 0, 0) == BST_CHECKED; }, kWait),
            Narrow(box) + " ticked");
    }
    ExpectCounters(checks, main, {L"5 files", L"2 files", L"2 files", L"None", L"1 files"});
}

bool CloseProgram(Checks& checks, Program& program, HWND main) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    if (!program.WaitForExit(kWait, code)) {
        return checks.That(false, "program ended on closing (" + DescribeWindows(program.Id()) + ")");
    }
    return checks.That(code == 0, "program ended normally (exit code " + std::to_string(code) + ")");
}

// (a) One detected FSX: caption, counters, install, file lists, uninstall.
void DetectedFsx(const Setup& s, Checks& checks) {
    // The package folder's name is not ASCII: the program must find its files all the same.
    const std::string package = s.work +
                                "\\a\\Donn\xC3\xA9"
                                "es";
    if (!checks.That(WritePackage(package, s.installer) &&
                         WriteSimulator(s.FsxFolder(), s.helpers + "\\FSX.exe", "FSX.exe", package),
                     "fixture written")) {
        return;
    }
    Program program;
    HWND main = StartToMainWindow(checks, program, package);
    if (main == nullptr) return;
    checks.Equal(TextOf(main), L"Orvanta Installer v12.5 (FSX-XPack)", "caption names the FSX service level");
    ExpectText(checks, main, L"lblCycle", L"2213");
    ExpectText(checks, main, L"lblFSActivity", L"Inactive");
    ExpectText(checks, main, L"Frame_Status", L"Region status [No region selected]");
    ExpectText(checks, main, L"CheckMV", L"Magvar table (2022-R3)");
    checks.That(IsEnabled(ControlByName(main, L"CheckMV")), "newer magvar table offered");
    ExpectCounters(checks, main, {L"None", L"None", L"None", L"None", L"None"});
    checks.That(!IsEnabled(ControlByName(main, L"cmdInstall")), "install disabled before any selection");

    SelectEuropeAllCategories(checks, program, main);
    checks.That(IsEnabled(ControlByName(main, L"cmdInstall")), "install enabled");
    checks.That(!IsEnabled(ControlByName(main, L"cmdUninstall")), "uninstall disabled");

    // The updatable files' list, opened beside the main window.
    ClickLabel(ControlByName(main, L"lblbglnb(2)"));
    HWND display = WaitForProgramWindow(program.Id(), kDisplayClass, kWait);
    if (checks.That(display != nullptr, "file list window opened")) {
        checks.Equal(TextOf(display), L"Updatable files [2]", "file list caption");
        const auto lines = ListBoxLines(ControlByName(display, L"DisplayList"));
        checks.That(lines.size() == 2, "two updatable lines");
        if (lines.size() == 2) {
            checks.Equal(lines[0], L"APX47180.bgl [01-01-2020] - Region:0502", "first updatable line");
            checks.Equal(lines[1], L"NVX04021.bgl [01-01-2020] - Region:0402", "second updatable line");
        }
        ExpectText(checks, display, L"lblNFD2", L"01-12-2022");
        checks.That(IsShown(ControlByName(display, L"lblNFD1")), "new file date shown");
        const RECT m = RectOf(main);
        const RECT d = RectOf(display);
        checks.That(d.top == m.top && d.left - m.right >= 1 && d.left - m.right <= 2,
                    "file list beside the main window, 25 twips apart");
        RECT mc{};
        RECT dc{};
        GetClientRect(main, &mc);
        GetClientRect(display, &dc);
        checks.That(mc.bottom == dc.bottom, "file list as high inside as the main window");
    }

    ClickNamed(main, L"cmdInstall");
    MessageBoxSeen box;
    if (ExpectMessageBox(checks, program, kTitle,
                         Lines({L"Update has been successfully completed", L"2 BGL file(s) have been replaced"}),
                         {IDOK}, main, box, "install")) {
        Answer(program, box, IDOK);
    }
    checks.That(WaitUntil([&] { return !IsWindow(display) || !IsWindowVisible(display); }, kWait),
                "file list closed when no updatable file is left");
    const std::string apx = SceneryFile(s.FsxFolder(), "0502", "APX47180");
    checks.That(ReadFile(apx) == PackageContent("APX47180"), "package file installed");
    checks.That(ReadFile(apx + ".bglbckup") == OldContent("APX47180"), "simulator's file kept as backup");
    checks.That(ReadFile(SceneryFile(s.FsxFolder(), "0000", "ATX00001")) == OldContent("ATX00001"),
                "file outside Europe untouched");
    ExpectCounters(checks, main, {L"5 files", L"4 files", L"None", L"2 files", L"1 files"});

    ClickLabel(ControlByName(main, L"lblbglnb(3)"));
    display = WaitForProgramWindow(program.Id(), kDisplayClass, kWait);
    if (checks.That(display != nullptr, "deinstallable list opened")) {
        checks.Equal(TextOf(display), L"Deinstallable files [2]", "deinstallable caption");
        const auto lines = ListBoxLines(ControlByName(display, L"DisplayList"));
        checks.That(lines.size() == 2 && lines[0] == L"APX47180.bgl [01-12-2022] - Region:0502",
                    "deinstallable lines show the installed file's date");
        checks.That(!IsShown(ControlByName(display, L"lblNFD1")), "no new file date for this list");
    }

    ClickNamed(main, L"cmdUninstall");
    if (ExpectMessageBox(
            checks, program, kTitle,
            Lines({L"Restore missing files from backups if available?", L"If [No], backup files will be kept"}),
            {IDYES, IDNO}, main, box, "restore question")) {
        Answer(program, box, IDNO);
    }
    if (ExpectMessageBox(checks, program, kTitle,
                         Lines({L"Uninstall has been successfully completed", L"2 BGL file(s) have been restored"}),
                         {IDOK}, main, box, "uninstall")) {
        Answer(program, box, IDOK);
    }
    checks.That(ReadFile(apx) == OldContent("APX47180") && !Exists(apx + ".bglbckup"), "simulator's file restored");
    checks.That(WaitUntil([&] { return !IsWindow(display) || !IsWindowVisible(display); }, kWait),
                "file list closed when nothing is deinstallable");
    ExpectCounters(checks, main, {L"5 files", L"2 files", L"2 files", L"None", L"1 files"});
    CloseProgram(checks, program, main);
}

// (b) Detection switched off: the selection window, Cancel answered No, then Yes.
void NoDetect(const Setup& s, Checks& checks) {
    const std::string package = s.Package("b");
    if (!checks.That(WritePackage(package, s.installer), "fixture written")) return;
    Program program;
    if (!checks.That(program.Start(Widen(package + "\\Orvanta_Installer.exe"), L"/ NoDetect "), "installer started")) {
        return;
    }
    HWND select = WaitForProgramWindow(program.Id(), kSelectClass, kWait);
    if (!checks.That(select != nullptr, "selection window shown (" + DescribeWindows(program.Id()) + ")")) return;
    HWND main = FindProgramWindow(program.Id(), kMainClass);
    checks.Equal(TextOf(select), L"Sim selection (detection disabled)", "selection caption");
    for (int i = 1; i <= 6; ++i) {
        checks.That(!IsEnabled(ControlByName(select, L"OptSim(" + std::to_wstring(i) + L")")),
                    "option " + std::to_string(i) + " disabled");
    }
    checks.That(!IsEnabled(ControlByName(select, L"cmdSelect")), "Select disabled");
    checks.That(IsEnabled(ControlByName(select, L"cmdSet")) && IsEnabled(ControlByName(select, L"cmdCancel")),
                "Set folder and Cancel usable");
    if (checks.That(main != nullptr && IsShown(main), "main window visible behind")) {
        // Centred over the main window, each halved difference cut to a whole number.
        const RECT m = RectOf(main);
        const RECT w = RectOf(select);
        const long x = m.left + ((m.right - m.left) - (w.right - w.left)) / 2;
        const long y = m.top + ((m.bottom - m.top) - (w.bottom - w.top)) / 2;
        checks.That(w.left == x && w.top == y, "selection window centred over the main window at (" +
                                                   std::to_string(x) + "," + std::to_string(y) + "), found at (" +
                                                   std::to_string(w.left) + "," + std::to_string(w.top) + ")");
        checks.That(!IsEnabled(main), "main window waits for the modal window");
    }

    const std::wstring question = L"Exit the Orvanta Installer ?";
    MessageBoxSeen box;
    ClickNamed(select, L"cmdCancel");
    if (ExpectMessageBox(checks, program, L"Sim version selection", question, {IDYES, IDNO}, select, box, "cancel")) {
        Answer(program, box, IDNO);
    }
    Sleep(300);
    checks.That(program.Running() && IsShown(select), "No keeps the selection window");
    ClickNamed(select, L"cmdCancel");
    if (ExpectMessageBox(checks, program, L"Sim version selection", question, {IDYES, IDNO}, select, box,
                         "cancel again")) {
        Answer(program, box, IDYES);
    }
    DWORD code = 0;
    checks.That(program.WaitForExit(kWait, code), "Yes ends the program");
}

// The program file itself: version information, manifest, icon, window subsystem, and no
// DLL beyond the system's.
void ProgramFile(const Setup& s, Checks& checks) {
    const std::wstring exe = Widen(s.installer);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    if (!checks.That(!info.empty() && GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()),
                     "version information present")) {
        return;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (checks.That(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) && fixed != nullptr,
                    "fixed version block")) {
        checks.That(fixed->dwFileVersionMS == MAKELONG(5, 12) && fixed->dwFileVersionLS == 0, "file version 12.5.0.0");
        checks.That(fixed->dwProductVersionMS == MAKELONG(5, 12) && fixed->dwProductVersionLS == 0,
                    "product version 12.5.0.0");
    }
    const auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr) {
            return std::wstring(L"<absent>");
        }
        return std::wstring(value);
    };
    checks.Equal(text(L"FileVersion"), L"12.05", "FileVersion text");
    checks.Equal(text(L"ProductVersion"), L"12.05", "ProductVersion text");
    checks.Equal(text(L"ProductName"), L"Orvanta Installer", "ProductName");
    checks.Equal(text(L"FileDescription"), L"Orvanta Installer", "FileDescription");
    checks.Equal(text(L"InternalName"), L"Orvanta_Installer", "InternalName");
    checks.Equal(text(L"OriginalFilename"), L"Orvanta_Installer.exe", "OriginalFilename");

    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!checks.That(image != nullptr, "program file loads as resources")) return;
    std::string manifest;
    if (HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
        if (bytes != nullptr) manifest.assign(bytes, SizeofResource(image, found));
    }
    checks.That(manifest.find("level=\"asInvoker\"") != std::string::npos,
                "manifest: runs as invoker, no virtualization");
    checks.That(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
                    manifest.find("version=\"6.0.0.0\"") != std::string::npos,
                "manifest: common controls 6");
    checks.That(manifest.find("<dpiAware") != std::string::npos, "manifest: aware of the screen density");
    std::vector<int> iconSizes;
    if (HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14))) {
        const auto* dir = static_cast<const unsigned char*>(LockResource(LoadResource(image, group)));
        const DWORD length = SizeofResource(image, group);
        // Six bytes of header, then fourteen per image, the width first.
        for (DWORD i = 0; dir != nullptr && length >= 6 && i < (dir[4] | (dir[5] << 8)) && 6 + 14 * i < length; ++i) {
            iconSizes.push_back(dir[6 + 14 * i]);
        }
    }
    checks.That(iconSizes == std::vector<int>{32, 16}, "icon of 32 and 16 pixels");
    checks.That(LoadImageW(image, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0) != nullptr, "icon loads");
    FreeLibrary(image);

    // The headers and the import table, read from the file as it lies on disk.
    const std::string bytes = ReadFile(s.installer);
    const auto at = [&](std::size_t offset, std::size_t width) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < width && offset + i < bytes.size(); ++i) {
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
        }
        return v;
    };
    const std::size_t pe = at(0x3C, 4);
    const std::size_t optional = pe + 24;
    checks.That(at(optional + 68, 2) == IMAGE_SUBSYSTEM_WINDOWS_GUI, "window program, no console");
    const std::size_t sections = optional + at(pe + 20, 2);
    const auto fileOffset = [&](std::uint64_t rva) -> std::size_t {
        for (std::size_t i = 0; i < at(pe + 6, 2); ++i) {
            const std::size_t h = sections + 40 * i;
            const std::uint64_t va = at(h + 12, 4);
            if (rva >= va && rva < va + at(h + 16, 4)) return static_cast<std::size_t>(rva - va + at(h + 20, 4));
        }
        return 0;
    };
    std::vector<std::string> dlls;
    for (std::size_t d = fileOffset(at(optional + 120, 4)); d != 0 && at(d + 12, 4) != 0; d += 20) {
        std::size_t name = fileOffset(at(d + 12, 4));
        std::string dll;
        while (name < bytes.size() && bytes[name] != '\0') dll += static_cast<char>(std::toupper(bytes[name++]));
        dlls.push_back(dll);
    }
    std::string list;
    bool systemOnly = !dlls.empty();
    for (const std::string& dll : dlls) {
        list += dll + " ";
        if (dll.find("LIBSTDC") != std::string::npos || dll.find("LIBGCC") != std::string::npos ||
            dll.find("WINPTHREAD") != std::string::npos) {
            systemOnly = false;
        }
    }
    checks.That(systemOnly, "imports only system DLLs: " + list);
}

constexpr wchar_t kBrowserTitle[] = L"Select the sim main folder";

// Picks a folder in the program's folder browser (opening it with Set folder when it is not
// open) and presses OK, until the program reacts. Under load Wine's browser may refresh its
// tree between the pick and OK and hand back an item without a file-system path, which the
// program rightly takes as a cancel; the pick is then made again.
bool ChooseFolder(Checks& checks, Program& program, HWND select, const std::string& folder,
                  const std::function<bool()>& reacted) {
    for (int attempt = 1; attempt <= 3; ++attempt) {
        HWND browser = FindDialogWithText(program.Id(), kBrowserTitle);
        if (browser == nullptr) {
            ClickNamed(select, L"cmdSet");
            WaitUntil([&] { return (browser = FindDialogWithText(program.Id(), kBrowserTitle)) != nullptr; }, kWait);
        }
        if (browser == nullptr) break;
        if (!SelectFolderInBrowser(program.Handle(), browser, Widen(folder))) continue;
        AnswerMessageBox(browser, IDOK);
        if (WaitUntil(reacted, 8000)) {
            return checks.That(true, "folder " + folder + " chosen" + (attempt > 1 ? " at a later attempt" : ""));
        }
    }
    return checks.That(false, "folder " + folder + " chosen (" + DescribeWindows(program.Id()) + ")");
}

// Detection switched off, the simulator chosen with Set folder: a folder without a
// simulator is refused (Retry), then the Prepar3D v4 folder is taken.
void SetFolder(const Setup& s, Checks& checks) {
    const std::string package = s.Package("set-folder");
    if (!checks.That(WritePackage(package, s.installer) &&
                         WriteSimulator(s.P3dFolder(), s.helpers + "\\Prepar3D.exe", "Prepar3D.exe", package),
                     "fixture written")) {
        return;
    }
    Program program;
    checks.That(program.Start(Widen(package + "\\Orvanta_Installer.exe"), L"/nodetect"), "installer started");
    HWND select = WaitForProgramWindow(program.Id(), kSelectClass, kWait);
    if (!checks.That(select != nullptr, "selection window shown")) return;

    const std::wstring invalid = Lines(
        {L"Invalid folder, unknown or inactive simulator", L"Click Retry to select another folder or Cancel to exit"});
    ChooseFolder(checks, program, select, s.work + "\\sim",
                 [&] { return FindDialogWithText(program.Id(), invalid) != nullptr; });
    MessageBoxSeen box;
    if (ExpectMessageBox(checks, program, L"Sim version selection", invalid, {IDRETRY, IDCANCEL}, select, box,
                         "invalid folder")) {
        Answer(program, box, IDRETRY);
    }
    // Retry opens the browser again, by itself.
    checks.That(WaitUntil([&] { return FindDialogWithText(program.Id(), kBrowserTitle) != nullptr; }, kWait),
                "browser shown again on Retry");
    ChooseFolder(checks, program, select, s.P3dFolder(),
                 [&] { return FindProgramWindow(program.Id(), kSelectClass) == nullptr; });
    HWND main = WaitForProgramWindow(program.Id(), kMainClass, kWait);
    if (!checks.That(main != nullptr, "main window")) return;
    checks.That(WaitUntil([&] { return !ControlText(main, L"lblFSActivity").empty(); }, kWait), "start-up finished");
    checks.Equal(TextOf(main), L"Orvanta Installer v12.5 (P3D v4.5)", "caption names the chosen Prepar3D");
    CloseProgram(checks, program, main);
}

// (c) A damaged package: the four-line message and the error log.
void DamagedPackage(const Setup& s, Checks& checks) {
    const std::string package = s.Package("c");
    if (!checks.That(WritePackage(package, s.installer) &&
                         DeleteFileW(Widen(package + "\\ATXFiles\\ATX06011.bgl").c_str()) != FALSE,
                     "fixture written, one listed file removed")) {
        return;
    }
    Program program;
    checks.That(program.Start(Widen(package + "\\Orvanta_Installer.exe"), L""), "installer started");
    HWND main = WaitForProgramWindow(program.Id(), kMainClass, kWait);
    checks.That(main != nullptr, "main window shown");
    MessageBoxSeen box;
    if (ExpectMessageBox(checks, program, kTitle,
                         Lines({L"Some necessary files are missing or corrupted",
                                L"Check that you correctly extracted the package including",
                                L"all files, folder subdirectories and their content",
                                L"See the Orvanta_Installer.log for details"}),
                         {IDOK}, main, box, "package message")) {
        if (main != nullptr) checks.Equal(TextOf(main), L"Orvanta Installer v12.5", "caption without simulator");
        const std::string log = ReadFile(package + "\\Orvanta_Installer.log");
        checks.That(log.find("ATX06011") != std::string::npos, "error log names the missing file");
        Answer(program, box, IDOK);
    }
    DWORD code = 0;
    checks.That(program.WaitForExit(kWait, code), "program ended after the message");
}

// (d) A second instance is refused; the first goes on.
void SecondInstance(const Setup& s, Checks& checks) {
    const std::string package = s.Package("d");
    if (!checks.That(WritePackage(package, s.installer) &&
                         WriteSimulator(s.FsxFolder(), s.helpers + "\\FSX.exe", "FSX.exe", package),
                     "fixture written")) {
        return;
    }
    Program first;
    HWND main = StartToMainWindow(checks, first, package);
    if (main == nullptr) return;
    Program second;
    checks.That(second.Start(Widen(package + "\\Orvanta_Installer.exe"), L""), "second instance started");
    MessageBoxSeen box;
    if (ExpectMessageBox(
            checks, second, kTitle,
            Lines({L"Another instance of the Orvanta Installer is already running", L"The program will not start"}),
            {IDOK}, nullptr, box, "refusal")) {
        checks.That(FindProgramWindow(second.Id(), kMainClass) == nullptr, "second instance shows no main window");
        Answer(second, box, IDOK);
    }
    DWORD code = 0;
    checks.That(second.WaitForExit(kWait, code), "second instance ended");
    checks.That(first.Running() && IsShown(main), "first instance still running");
    CloseProgram(checks, first, main);
}

// (d') Run by scripts/e2e-wine while the orvanta command on the host holds the lock: the
// program refuses to start.
void HostLockHeld(const Setup& s, Checks& checks) {
    const std::string package = s.Package("host-lock");
    if (!checks.That(WritePackage(package, s.installer), "fixture written")) return;
    Program program;
    checks.That(program.Start(Widen(package + "\\Orvanta_Installer.exe"), L""), "program started");
    MessageBoxSeen box;
    if (ExpectMessageBox(
            checks, program, kTitle,
            Lines({L"Another instance of the Orvanta Installer is already running", L"The program will not start"}),
            {IDOK}, nullptr, box, "refusal")) {
        checks.That(FindProgramWindow(program.Id(), kMainClass) == nullptr, "no main window");
        Answer(program, box, IDOK);
    }
    DWORD code = 0;
    checks.That(program.WaitForExit(kWait, code), "program ended after the message");
}

// (e) Prepar3D selected while a process named Prepar3D.exe runs: the install is refused.
void Prepar3DRunning(const Setup& s, Checks& checks) {
    const std::string package = s.Package("e");
    if (!checks.That(WritePackage(package, s.installer) &&
                         WriteSimulator(s.P3dFolder(), s.helpers + "\\Prepar3D.exe", "Prepar3D.exe", package),
                     "fixture written")) {
        return;
    }
    Program simulator;
    if (!checks.That(simulator.Start(Widen(s.helpers + "\\Prepar3D.exe"), L""), "Prepar3D.exe running")) return;
    Program program;
    HWND main = StartToMainWindow(checks, program, package);
    if (main == nullptr) return;
    checks.Equal(TextOf(main), L"Orvanta Installer v12.5 (P3D v4.5)", "caption names the Prepar3D version");
    ExpectText(checks, main, L"lblFSActivity", L"Active");
    SelectEuropeAllCategories(checks, program, main);

    ClickNamed(main, L"cmdInstall");
    MessageBoxSeen box;
    if (ExpectMessageBox(checks, program, kTitle,
                         Lines({L"Installation cannot be performed while the simulator is running",
                                L"Close the simulator and retry"}),
                         {IDOK}, main, box, "refusal")) {
        Answer(program, box, IDOK);
    }
    const std::string apx = SceneryFile(s.P3dFolder(), "0502", "APX47180");
    checks.That(ReadFile(apx) == OldContent("APX47180") && !Exists(apx + ".bglbckup"), "nothing installed");
    ExpectCounters(checks, main, {L"5 files", L"2 files", L"2 files", L"None", L"1 files"});
    simulator.Kill();
    CloseProgram(checks, program, main);
}

// (f) The shader cache is emptied on exit after an install with the option ticked.
void ShaderCacheOnExit(const Setup& s, Checks& checks) {
    const std::string package = s.Package("f");
    char appData[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", appData, MAX_PATH);
    const std::string shaders = std::string(appData) + "\\Microsoft\\FSX\\Shaders";
    RemoveTree(shaders);
    const bool cache = WriteFile(shaders + "\\ShaderCache1.bin", "compiled") &&
                       WriteFile(shaders + "\\nested\\deeper\\ShaderCache2.bin", "compiled") &&
                       WriteFile(shaders + "\\nested\\locked.bin", "read-only");
    SetFileAttributesW(Widen(shaders + "\\nested\\locked.bin").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    if (!checks.That(cache && WritePackage(package, s.installer) &&
                         WriteSimulator(s.FsxFolder(), s.helpers + "\\FSX.exe", "FSX.exe", package),
                     "fixture written, shader cache filled")) {
        return;
    }
    Program program;
    HWND main = StartToMainWindow(checks, program, package);
    if (main == nullptr) return;
    checks.That(IsEnabled(ControlByName(main, L"CheckCleanSF")), "shader option available");
    ClickNamed(main, L"CheckCleanSF");
    MessageBoxSeen box;
    if (ExpectMessageBox(checks, program, kTitle,
                         L"This option will make the shader cache is cleared on exit if significant changes occured",
                         {IDOK}, main, box, "option explanation")) {
        Answer(program, box, IDOK);
    }
    SelectEuropeAllCategories(checks, program, main);
    ClickNamed(main, L"cmdInstall");
    if (ExpectMessageBox(checks, program, kTitle,
                         Lines({L"Update has been successfully completed", L"2 BGL file(s) have been replaced"}),
                         {IDOK}, main, box, "install")) {
        Answer(program, box, IDOK);
    }
    // The script counted three earlier installs: this fourth one asks for a donation.
    if (ExpectMessageBox(checks, program, kTitle,
                         L"Thank you for your continued confidence. To help me continue this work, would you consider "
                         L"making a small onetime donation now (if not already done)?",
                         {IDYES, IDNO}, main, box, "donation prompt")) {
        const auto style = GetWindowLongPtrW(GetDlgItem(box.window, IDNO), GWL_STYLE);
        checks.That((style & BS_DEFPUSHBUTTON) == BS_DEFPUSHBUTTON, "donation prompt: No preselected");
        Answer(program, box, IDNO);
    }
    checks.That(Exists(shaders + "\\ShaderCache1.bin"), "cache kept while the program runs");
    CloseProgram(checks, program, main);
    checks.That(IsEmptyFolder(shaders), "shader folder kept and emptied");
}

// Bounding box of the windows, with a margin, as "x y width height".
std::string RegionAround(std::initializer_list<HWND> windows) {
    RECT all{};
    bool first = true;
    for (HWND w : windows) {
        if (w == nullptr) continue;
        const RECT r = RectOf(w);
        if (first) {
            all = r;
            first = false;
        } else {
            UnionRect(&all, &all, &r);
        }
    }
    InflateRect(&all, 12, 12);
    all.left = all.left < 0 ? 0 : all.left;
    all.top = all.top < 0 ? 0 : all.top;
    return std::to_string(all.left) + " " + std::to_string(all.top) + " " + std::to_string(all.right - all.left) + " " +
           std::to_string(all.bottom - all.top);
}

// Asks the calling script to photograph the screen region and waits until it has. The
// request and the answer are files: console output may reach the script late.
void Shot(const Setup& s, Checks& checks, const std::string& name, std::initializer_list<HWND> windows) {
    const std::string request = s.work + "\\shot-request";
    const std::string done = s.work + "\\shot-taken";
    DeleteFileW(Widen(done).c_str());
    Sleep(300);  // let every window finish painting
    WriteFile(request + ".tmp", name + " " + RegionAround(windows) + "\n");
    MoveFileExW(Widen(request + ".tmp").c_str(), Widen(request).c_str(), MOVEFILE_REPLACE_EXISTING);
    checks.That(WaitUntil([&] { return Exists(done); }, kWait), "screenshot " + name + " taken");
}

// Not a test: poses the windows for the documentation's pictures.
void Screenshots(const Setup& s, Checks& checks) {
    const std::string package = s.work + "\\shots\\package";
    if (!checks.That(WritePackage(package, s.installer) &&
                         WriteSimulator(s.FsxFolder(), s.helpers + "\\FSX.exe", "FSX.exe", package),
                     "fixture written")) {
        return;
    }
    {
        Program program;
        HWND main = StartToMainWindow(checks, program, package);
        if (main == nullptr) return;
        // Room on the screen for the file list window beside it.
        SetWindowPos(main, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        HWND regions = ControlByName(main, L"RegionList");
        SetListItemChecked(program.Handle(), regions, kEurope, true);
        SetListItemChecked(program.Handle(), regions, 6, true);
        for (const wchar_t* box : {L"CheckAPX", L"CheckATX", L"CheckNVX"}) ClickNamed(main, box);
        WaitForText(main, L"lblbglnb(4)", L"1 files");
        Shot(s, checks, "main-window", {main});

        ClickLabel(ControlByName(main, L"lblbglnb(2)"));
        HWND display = WaitForProgramWindow(program.Id(), kDisplayClass, kWait);
        Shot(s, checks, "file-list-window", {main, display});
        PostMessageW(display, WM_CLOSE, 0, 0);
        WaitUntil([&] { return !IsWindow(display); }, kWait);

        ClickNamed(main, L"cmdInstall");
        MessageBoxSeen box;
        if (checks.That(WaitForMessageBox(program.Id(), kWait, box), "install message")) {
            Shot(s, checks, "centred-message-box", {main});
            Answer(program, box, IDOK);
        }
        CloseProgram(checks, program, main);
    }
    Program program;
    program.Start(Widen(package + "\\Orvanta_Installer.exe"), L"/nodetect");
    HWND select = WaitForProgramWindow(program.Id(), kSelectClass, kWait);
    HWND main = FindProgramWindow(program.Id(), kMainClass);
    if (checks.That(select != nullptr, "selection window")) Shot(s, checks, "selection-window", {main});
    program.Kill();
}

}  // namespace

int RunScenario(const std::string& name, const Setup& setup) {
    const std::map<std::string, std::function<void(const Setup&, Checks&)>> scenarios = {
        {"fsx", DetectedFsx},
        {"nodetect", NoDetect},
        {"damaged", DamagedPackage},
        {"second-instance", SecondInstance},
        {"p3d-running", Prepar3DRunning},
        {"shaders", ShaderCacheOnExit},
        {"set-folder", SetFolder},
        {"program-file", ProgramFile},
        {"screenshots", Screenshots},
        {"host-lock", HostLockHeld},  // beside a command holding the lock (scripts/e2e-wine)
    };
    const auto it = scenarios.find(name);
    if (it == scenarios.end()) {
        std::printf("unknown scenario %s\n", name.c_str());
        return 2;
    }
    Checks checks;
    it->second(setup, checks);
    return checks.Failures() == 0 ? 0 : 1;
}

}  // namespace orvanta::e2e

int wmain(int argc, wchar_t** argv) {
    using namespace orvanta::e2e;
    if (argc != 5) {
        std::printf("usage: orvanta_e2e_driver <scenario> <installer exe> <helper folder> <work folder>\n");
        return 2;
    }
    // Output reaches the calling script at once, line by line.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Setup setup{Narrow(argv[2]), Narrow(argv[3]), Narrow(argv[4])};
    return RunScenario(Narrow(argv[1]), setup);
}
