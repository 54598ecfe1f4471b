#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

namespace orvanta::e2e {

// Waits until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

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
    bool WaitForExit(int timeoutMs, DWORD& exitCode);
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
};

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
RECT RectOf(HWND window);
bool IsEnabled(HWND window);
bool IsShown(HWND window);

// A visible top-level window of the class in the process, or null.
HWND FindProgramWindow(DWORD processId, const wchar_t* className);
HWND WaitForProgramWindow(DWORD processId, const wchar_t* className, int timeoutMs);
// Every visible top-level window of the process, described, for failure reports.
std::string DescribeWindows(DWORD processId);

// A control of a window by the name the window logic gives it ("lblbglnb(2)"), published
// by the program as a window property; null when absent.
HWND ControlByName(HWND form, const std::wstring& name);
std::wstring ControlText(HWND form, const std::wstring& name);

// Clicks a button, check box or option button as the user would, without waiting for the
// program (which may be showing a message box by then).
void ClickButton(HWND button);
// Clicks a label that reports clicks.
void ClickLabel(HWND label);

// Ticks or unticks a list view item in another process: the item structure is written into
// that process's memory. Returns when the program has handled the change.
bool SetListItemChecked(HANDLE process, HWND list, int index, bool checked);
bool ListItemChecked(HWND list, int index);
// Points the system folder browser of another process at a folder (as if the user had
// clicked through to it); OK still has to be pressed.
bool SelectFolderInBrowser(HANDLE process, HWND browser, const std::wstring& folder);
// A visible standard dialog of the process with a child whose text is childText.
HWND FindDialogWithText(DWORD processId, const std::wstring& childText);
int ListItemCount(HWND list);
std::vector<std::wstring> ListBoxLines(HWND listBox);

// A standard message box of the process.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    RECT rect{};
};
bool WaitForMessageBox(DWORD processId, int timeoutMs, MessageBoxSeen& box);
bool HasButton(HWND box, int id);
// Presses the button with the id (IDOK, IDYES, IDNO, ...).
void AnswerMessageBox(HWND box, int id);

// Where a box of that size goes when centred over owner: the halves taken exactly, the
// result rounded half to even. Worked out here independently of the program.
POINT CentredPosition(const RECT& owner, const RECT& box);

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

}  // namespace orvanta::e2e
