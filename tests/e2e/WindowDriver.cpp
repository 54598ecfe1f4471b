#include "e2e/WindowDriver.h"

#include <commctrl.h>
#include <shlobj.h>

namespace orvanta::e2e {

namespace {

// Published by the program under this name (ui/win32/NativeForm.h); the driver keeps its
// own copy so that it tests the program from outside.
constexpr wchar_t kControlNameProperty[] = L"OrvantaControlName";
constexpr wchar_t kDialogClass[] = L"#32770";

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// Calls visit for each child of the window until it returns true; that child, or null.
HWND FindChild(HWND parent, const std::function<bool(HWND)>& visit) {
    struct Search {
        const std::function<bool(HWND)>* visit;
        HWND found = nullptr;
    } search{&visit};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (!(*s->visit)(child)) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    // Sends the message with the copy as its last parameter; true when it was handled in
    // time and answered non-zero.
    bool Send(HWND window, UINT message, WPARAM wParam) const {
        DWORD_PTR result = 0;
        return address_ != nullptr &&
               SendMessageTimeoutW(window, message, wParam, Address(), SMTO_NORMAL, 30000, &result) != 0 && result != 0;
    }

private:
    HANDLE process_;
    char* address_ = nullptr;
};

// The text of the item the browser's tree shows selected, read from the program's memory.
std::wstring SelectedFolderName(HANDLE process, HWND browser) {
    HWND tree = FindChild(browser, [](HWND w) { return ClassOf(w) == WC_TREEVIEWW; });
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr) return {};
    wchar_t text[MAX_PATH] = {};
    const std::vector<char> zeros(sizeof(TVITEMW) + sizeof(text));
    RemoteCopy remote(process, zeros.data(), zeros.size());
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
    query.cchTextMax = MAX_PATH - 1;
    WriteProcessMemory(process, remote.At(0), &query, sizeof(query), nullptr);
    if (!remote.Send(tree, TVM_GETITEMW, 0)) return {};
    ReadProcessMemory(process, remote.At(sizeof(TVITEMW)), text, sizeof(text) - sizeof(wchar_t), nullptr);
    return text;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
    return true;
}

Program::~Program() {
    Kill();
    if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
}

bool Program::Start(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info_) != FALSE;
}

bool Program::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD& exitCode) {
    if (info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, kWait) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(info_.hProcess, &exitCode) != FALSE;
}

void Program::Kill() {
    if (!Running()) return;
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT is carried across processes; GetWindowText would not ask the program.
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className) {
    struct Search {
        DWORD processId;
        const wchar_t* className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s->processId && IsWindowVisible(window) &&
                (s->className == nullptr || ClassOf(window) == s->className)) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const wchar_t* className) {
    HWND found = nullptr;
    WaitUntil([&] {
        const auto windows = WindowsOf(processId, className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    });
    return found;
}

HWND WaitForDialog(DWORD processId, const std::wstring& childText, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : WindowsOf(processId, kDialogClass)) {
                if (FindChild(dialog, [&](HWND child) { return TextOf(child) == childText; }) != nullptr) {
                    found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    // Let the box finish its activation (and the program's centring) before it is measured.
    Sleep(100);
    return found;
}

std::string DescribeWindows(DWORD processId) {
    std::string out;
    for (HWND window : WindowsOf(processId)) {
        out += "[" + Narrow(ClassOf(window)) + "] \"" + Narrow(TextOf(window)) + "\"";
        if (HWND text = GetDlgItem(window, 0xFFFF)) out += " text \"" + Narrow(TextOf(text)) + "\"";
        out += "; ";
    }
    return out.empty() ? "no window" : out;
}

HWND ControlByName(HWND form, const std::wstring& name) {
    return FindChild(form, [&](HWND control) {
        const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(control, kControlNameProperty)));
        wchar_t published[128] = {};
        return atom != 0 && GlobalGetAtomNameW(atom, published, 128) > 0 && name == published;
    });
}

std::wstring ControlText(HWND form, const std::wstring& name) {
    HWND control = ControlByName(form, name);
    return control != nullptr ? TextOf(control) : L"<no " + name + L">";
}

void Click(HWND control) {
    HWND parent = GetParent(control);
    if (ClassOf(parent) == kDialogClass) {
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

bool CheckListItem(HANDLE process, HWND list, int index) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(2);
    // Returns once the program has run its handler (a status scan).
    return RemoteCopy(process, &item, sizeof(item)).Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index));
}

bool SelectFolderInBrowser(HANDLE process, HWND browser, const std::wstring& folder) {
    const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
    // The browser may still be filling its tree: ask again until the folder shows selected.
    return WaitUntil([&] {
        RemoteCopy(process, folder.c_str(), (folder.size() + 1) * sizeof(wchar_t))
            .Send(browser, BFFM_SETSELECTIONW, TRUE);
        return WaitUntil([&] { return SelectedFolderName(process, browser) == name; }, 2000);
    });
}

POINT CentredPosition(const RECT& owner, const RECT& box) {
    // Twice the exact position is a whole number; halve it, a half going to the even side.
    const auto halveToEven = [](long twice) {
        long down = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
        if (twice % 2 != 0 && down % 2 != 0) ++down;
        return down;
    };
    return {halveToEven(2 * owner.left + (owner.right - owner.left) - (box.right - box.left)),
            halveToEven(2 * owner.top + (owner.bottom - owner.top) - (box.bottom - box.top))};
}

std::wstring Widen(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                     utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

}  // namespace orvanta::e2e
