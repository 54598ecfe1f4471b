#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

namespace orvanta::e2e {

constexpr int kWait = 20000;  // milliseconds

// Waits until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kWait);

// A program started by the driver, ended on destruction if still running.
class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start(const std::wstring& exe, const std::wstring& arguments);
    bool Running() const;
    // Waits for the end; false when it did not end in time.
    bool WaitForExit(DWORD& exitCode);
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
};

std::wstring TextOf(HWND window);
RECT RectOf(HWND window);

// The visible top-level windows of the process, of the class when one is given.
std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className = nullptr);
// The first such window, waited for; null when none came in time.
HWND WaitForWindow(DWORD processId, const wchar_t* className);
// A standard dialog (message box, folder browser) of the process with a child showing the
// text, waited for; null when none came in time.
HWND WaitForDialog(DWORD processId, const std::wstring& childText, int timeoutMs = kWait);
// Every visible top-level window of the process with its text, for failure reports.
std::string DescribeWindows(DWORD processId);

// A control of a window by the name the window logic gives it ("lblbglnb(2)"), published
// by the program as a window property; null when absent.
HWND ControlByName(HWND form, const std::wstring& name);
std::wstring ControlText(HWND form, const std::wstring& name);
// Clicks a button, check box, label or dialog button as the user would, without waiting
// for the program (which may be showing a message box by then).
void Click(HWND control);

// Ticks a list view item of another process: the item structure is written into that
// process's memory. Returns when the program has handled the change.
bool CheckListItem(HANDLE process, HWND list, int index);
// Points the system folder browser of another process at a folder, as if the user had
// clicked through to it, and waits until the browser shows it selected.
bool SelectFolderInBrowser(HANDLE process, HWND browser, const std::wstring& folder);

// Where a box goes when centred over owner: the halves taken exactly, the result rounded
// half to even. Worked out here independently of the program.
POINT CentredPosition(const RECT& owner, const RECT& box);

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

}  // namespace orvanta::e2e
