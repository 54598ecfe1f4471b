#include "e2e/WindowDriver.h"

#include <commctrl.h>
#include <shlobj.h>

namespace orvanta::e2e {

namespace {

// Published by the program under this name (ui/win32/NativeForm.h); the driver keeps its
// own copy so that it tests the program from outside.
constexpr wchar_t kControlNameProperty[] = L"OrvantaControlName";
constexpr wchar_t kMessageBoxClass[] = L"#32770";
// The text control of a standard message box.
constexpr int kMessageBoxTextId = 0xFFFF;

struct Search {
    DWORD processId = 0;
    const wchar_t* className = nullptr;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->className != nullptr && ClassOf(window) != search->className) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className) {
    Search search;
    search.processId = processId;
    search.className = className;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct NameSearch {
    std::wstring name;
    HWND found = nullptr;
};

BOOL CALLBACK MatchName(HWND control, LPARAM data) {
    auto* search = reinterpret_cast<NameSearch*>(data);
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(control, kControlNameProperty)));
    if (atom == 0) return TRUE;
    wchar_t name[128] = {};
    if (GlobalGetAtomNameW(atom, name, 128) > 0 && search->name == name) {
        search->found = control;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

Program::~Program() {
    Kill();
    if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
}

bool Program::Start(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info_) != FALSE;
}

bool Program::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(int timeoutMs, DWORD& exitCode) {
    if (info_.hProcess == nullptr) return false;
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(info_.hProcess, &exitCode);
    return true;
}

void Program::Kill() {
    if (!Running()) return;
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT is carried across processes; GetWindowText would not ask the program.
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got =
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool IsEnabled(HWND window) { return window != nullptr && IsWindowEnabled(window) != FALSE; }
bool IsShown(HWND window) { return window != nullptr && IsWindowVisible(window) != FALSE; }

HWND FindProgramWindow(DWORD processId, const wchar_t* className) {
    // FindWindowW answers for any process; the class and the owner process together name it.
    for (HWND window = FindWindowW(className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

HWND WaitForProgramWindow(DWORD processId, const wchar_t* className, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProgramWindow(processId, className)) != nullptr; }, timeoutMs);
    return found;
}

std::string DescribeWindows(DWORD processId) {
    std::string out;
    for (HWND window : TopLevelWindows(processId, nullptr)) {
        out += "[" + Narrow(ClassOf(window)) + "] \"" + Narrow(TextOf(window)) + "\"";
        if (ClassOf(window) == kMessageBoxClass) {
            if (HWND text = GetDlgItem(window, kMessageBoxTextId)) out += " text \"" + Narrow(TextOf(text)) + "\"";
        }
        out += "; ";
    }
    return out.empty() ? "no window" : out;
}

HWND ControlByName(HWND form, const std::wstring& name) {
    NameSearch search;
    search.name = name;
    if (form != nullptr) EnumChildWindows(form, MatchName, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ControlText(HWND form, const std::wstring& name) {
    HWND control = ControlByName(form, name);
    return control != nullptr ? TextOf(control) : L"<no " + name + L">";
}

void ClickButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ClickLabel(HWND label) {
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

namespace {

// A copy of some bytes in another process's memory, freed when it goes.
class RemoteCopy {
public:
    RemoteCopy(HANDLE process, const void* bytes, std::size_t size) : process_(process) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (address_ != nullptr && !WriteProcessMemory(process, address_, bytes, size, nullptr)) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
            address_ = nullptr;
        }
    }
    ~RemoteCopy() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteCopy(const RemoteCopy&) = delete;
    RemoteCopy& operator=(const RemoteCopy&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    bool Ok() const { return address_ != nullptr; }
    char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Read(std::size_t offset, void* into, std::size_t size) const {
        return address_ != nullptr && ReadProcessMemory(process_, At(offset), into, size, nullptr) != FALSE;
    }

private:
    HANDLE process_;
    void* address_ = nullptr;
};

struct TextSearch {
    std::wstring text;
    bool found = false;
};

BOOL CALLBACK MatchText(HWND control, LPARAM data) {
    auto* search = reinterpret_cast<TextSearch*>(data);
    if (TextOf(control) != search->text) return TRUE;
    search->found = true;
    return FALSE;
}

}  // namespace

bool SetListItemChecked(HANDLE process, HWND list, int index, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    RemoteCopy remote(process, &item, sizeof(item));
    DWORD_PTR result = 0;
    // Returns once the program has run its handler (a status scan).
    return remote.Ok() &&
           SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), remote.Address(), SMTO_NORMAL, 30000,
                               &result) != 0 &&
           result != 0;
}

namespace {

BOOL CALLBACK FindTree(HWND child, LPARAM data) {
    if (ClassOf(child) != WC_TREEVIEWW) return TRUE;
    *reinterpret_cast<HWND*>(data) = child;
    return FALSE;
}

// The name of the folder the browser's tree shows selected, read from the program's memory.
std::wstring SelectedFolderName(HANDLE process, HWND browser) {
    HWND tree = nullptr;
    EnumChildWindows(browser, FindTree, reinterpret_cast<LPARAM>(&tree));
    if (tree == nullptr) return {};
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr) return {};
    constexpr int kChars = 260;
    std::vector<char> block(sizeof(TVITEMW) + kChars * sizeof(wchar_t), 0);
    RemoteCopy remote(process, block.data(), block.size());
    if (!remote.Ok()) return {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
    query.cchTextMax = kChars;
    WriteProcessMemory(process, remote.At(0), &query, sizeof(query), nullptr);
    DWORD_PTR ok = 0;
    if (!SendMessageTimeoutW(tree, TVM_GETITEMW, 0, remote.Address(), SMTO_NORMAL, 10000, &ok) || !ok) return {};
    wchar_t text[kChars] = {};
    remote.Read(sizeof(TVITEMW), text, sizeof(text) - sizeof(wchar_t));
    return text;
}

}  // namespace

bool SelectFolderInBrowser(HANDLE process, HWND browser, const std::wstring& folder) {
    const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
    // The browser may still be filling its tree: ask again until the folder shows selected.
    return WaitUntil(
        [&] {
            RemoteCopy remote(process, folder.c_str(), (folder.size() + 1) * sizeof(wchar_t));
            DWORD_PTR result = 0;
            if (!remote.Ok() || !SendMessageTimeoutW(browser, BFFM_SETSELECTIONW, TRUE, remote.Address(), SMTO_NORMAL,
                                                     30000, &result)) {
                return false;
            }
            return WaitUntil([&] { return SelectedFolderName(process, browser) == name; }, 2000);
        },
        20000);
}

HWND FindDialogWithText(DWORD processId, const std::wstring& childText) {
    for (HWND dialog : TopLevelWindows(processId, kMessageBoxClass)) {
        TextSearch search;
        search.text = childText;
        EnumChildWindows(dialog, MatchText, reinterpret_cast<LPARAM>(&search));
        if (search.found) return dialog;
    }
    return nullptr;
}

bool ListItemChecked(HWND list, int index) {
    const auto state = SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

int ListItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::wstring> ListBoxLines(HWND listBox) {
    std::vector<std::wstring> lines;
    const auto count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) break;
        std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
        const auto got =
            SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
        line.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        lines.push_back(line);
    }
    return lines;
}

bool WaitForMessageBox(DWORD processId, int timeoutMs, MessageBoxSeen& box) {
    HWND found = nullptr;
    if (!WaitUntil(
            [&] {
                const auto boxes = TopLevelWindows(processId, kMessageBoxClass);
                found = boxes.empty() ? nullptr : boxes.front();
                return found != nullptr && GetDlgItem(found, kMessageBoxTextId) != nullptr;
            },
            timeoutMs)) {
        return false;
    }
    // Let the box finish its activation (and the program's centring) before measuring it.
    Sleep(100);
    box.window = found;
    box.title = TextOf(found);
    box.text = TextOf(GetDlgItem(found, kMessageBoxTextId));
    box.rect = RectOf(found);
    return true;
}

bool HasButton(HWND box, int id) { return GetDlgItem(box, id) != nullptr; }

void AnswerMessageBox(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

POINT CentredPosition(const RECT& owner, const RECT& box) {
    // Twice the exact position is a whole number; halve it, a half going to the even side.
    auto halveToEven = [](long twice) {
        long down = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
        if (twice % 2 != 0 && down % 2 != 0) ++down;
        return down;
    };
    const long x2 = 2 * owner.left + (owner.right - owner.left) - (box.right - box.left);
    const long y2 = 2 * owner.top + (owner.bottom - owner.top) - (box.bottom - box.top);
    return {halveToEven(x2), halveToEven(y2)};
}

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

}  // namespace orvanta::e2e
