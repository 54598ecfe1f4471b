#pragma once

// Drives the window program from outside, as a user would: finds its windows and
// controls, clicks, reads texts, ticks list items and picks folders in its browser.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

namespace orvanta::e2e {

constexpr int kWait = 20000;  // milliseconds

// Waits until the condition holds or the time is up; true when it held.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kWait) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
    return true;
}

inline std::wstring Widen(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }
inline std::string Narrow(const std::wstring& wide) { return std::filesystem::path(wide).u8string(); }

// A program started by the driver, ended on destruction if still running.
class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (info_.hProcess == nullptr) return;
        if (TerminateProcess(info_.hProcess, 99)) WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    bool Start(const std::wstring& exe, const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
        return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                              &startup, &info_) != FALSE;
    }
    // True when it ends in time with exit code 0.
    bool EndsCleanly() {
        DWORD code = 1;
        return WaitForSingleObject(info_.hProcess, kWait) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(info_.hProcess, &code) && code == 0;
    }
    DWORD Id() const { return info_.dwProcessId; }
    // The control that has the keyboard focus in the program's windows.
    HWND Focus() const {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return GetGUIThreadInfo(info_.dwThreadId, &gui) ? gui.hwndFocus : nullptr;
    }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
};

// Published by the program under this name (ui/win32/NativeForm.h); the driver keeps its
// own copy so that it tests the program from outside.
constexpr wchar_t kControlNameProperty[] = L"OrvantaControlName";

inline std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// The first child of the window the test accepts, or null.
inline HWND FindChild(HWND parent, const std::function<bool(HWND)>& test) {
    for (HWND child = nullptr; (child = FindWindowExW(parent, child, nullptr, nullptr)) != nullptr;) {
        if (test(child)) return child;
    }
    return nullptr;
}

// A copy of some bytes in another process's memory, freed when it goes.
class RemoteCopy {
public:
    RemoteCopy(HANDLE process, const void* bytes, std::size_t size) : process_(process) {
        address_ = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        if (address_ != nullptr) WriteProcessMemory(process, address_, bytes, size, nullptr);
    }
    ~RemoteCopy() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteCopy(const RemoteCopy&) = delete;
    RemoteCopy& operator=(const RemoteCopy&) = delete;
    char* At(std::size_t offset) const { return address_ + offset; }
    // Sends the message with the copy as its last parameter; true when handled in time and
    // answered non-zero.
    bool Send(HWND window, UINT message, WPARAM wParam) const {
        DWORD_PTR result = 0;
        return address_ != nullptr &&
               SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(address_), SMTO_NORMAL, 30000,
                                   &result) != 0 &&
               result != 0;
    }

private:
    HANDLE process_;
    char* address_ = nullptr;
};

inline std::wstring TextOf(HWND window) {
    // WM_GETTEXT is carried across processes; GetWindowText would not ask the program.
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

inline RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The visible top-level windows of the process, of the class when one is given.
inline std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className = nullptr) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == processId && IsWindowVisible(window)) found.push_back(window);
    }
    return found;
}

// The first such window with a child showing the text (any, without a text), waited for.
inline HWND WaitForWindow(DWORD processId, const wchar_t* className, const std::wstring& childText = L"",
                          int timeoutMs = kWait) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : WindowsOf(processId, className)) {
                if (childText.empty() || FindChild(window, [&](HWND c) { return TextOf(c) == childText; })) {
                    found = window;
                }
            }
            return found != nullptr;
        },
        timeoutMs);
    // Let a box finish its activation (and the program's centring) before it is measured.
    if (found != nullptr && !childText.empty()) Sleep(100);
    return found;
}

// A control by the name the window logic gives it ("lblbglnb(2)"), published by the program.
inline HWND ControlByName(HWND form, const std::wstring& name) {
    return FindChild(form, [&](HWND control) {
        const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(control, kControlNameProperty)));
        wchar_t published[128] = {};
        return atom != 0 && GlobalGetAtomNameW(atom, published, 128) > 0 && name == published;
    });
}

// Clicks as the user would, without waiting for the program (which may show a box by then).
inline void Click(HWND control) {
    HWND parent = GetParent(control);
    if (ClassOf(parent) == L"#32770") {
        // A dialog takes a button's command from anyone, active or not.
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    } else if (_wcsicmp(ClassOf(control).c_str(), L"Button") == 0) {
        PostMessageW(control, BM_CLICK, 0, 0);
    } else {
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
}

// Presses the keys in turn, the modifier held around them: the active window's focus gets them.
inline void Press(std::initializer_list<BYTE> keys, BYTE held = 0) {
    if (held != 0) keybd_event(held, 0, 0, 0);
    for (BYTE key : keys) {
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
    if (held != 0) keybd_event(held, 0, KEYEVENTF_KEYUP, 0);
}

// Points the folder browser of another process at a folder and waits until its tree shows
// the folder selected (read from the program's memory).
inline bool SelectFolderInBrowser(HANDLE process, HWND browser, const std::wstring& folder) {
    const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
    const auto selected = [&]() -> std::wstring {
        HWND tree = FindChild(browser, [](HWND w) { return ClassOf(w) == WC_TREEVIEWW; });
        TVITEMW query{};
        query.mask = TVIF_TEXT;
        query.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        wchar_t text[MAX_PATH] = {};
        const std::vector<char> zeros(sizeof(TVITEMW) + sizeof(text));
        RemoteCopy remote(process, zeros.data(), zeros.size());
        query.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
        query.cchTextMax = MAX_PATH - 1;
        WriteProcessMemory(process, remote.At(0), &query, sizeof(query), nullptr);
        if (query.hItem == nullptr || !remote.Send(tree, TVM_GETITEMW, 0)) return {};
        ReadProcessMemory(process, remote.At(sizeof(TVITEMW)), text, sizeof(text) - sizeof(wchar_t), nullptr);
        return text;
    };
    // The browser may still be filling its tree: ask again until the folder shows selected.
    return WaitUntil([&] {
        RemoteCopy(process, folder.c_str(), (folder.size() + 1) * sizeof(wchar_t))
            .Send(browser, BFFM_SETSELECTIONW, TRUE);
        return WaitUntil([&] { return selected() == name; }, 2000);
    });
}

}  // namespace orvanta::e2e
