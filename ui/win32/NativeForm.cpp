#include "ui/win32/NativeForm.h"

#include <cmath>

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/WinText.h"
#include "ui/Centering.h"

namespace orvanta {

namespace {

constexpr UINT kActivateMessage = WM_APP + 1;  // runs the activate event after activation
constexpr int kFirstControlId = 1000;

COLORREF ToColorRef(const Rgb& c) { return RGB(c.r, c.g, c.b); }

std::wstring PublishedName(const Control& control) {
    std::string name = control.Name();
    if (control.Index() >= 0) name += "(" + std::to_string(control.Index()) + ")";
    return ToWide(name);
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void SetTextIfChanged(HWND window, const std::string& utf8) {
    const std::wstring wide = ToWide(utf8);
    if (WindowText(window) != wide) SetWindowTextW(window, wide.c_str());
}

void SetStyleBit(HWND window, LONG_PTR bit, bool on) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (((style & bit) != 0) != on) SetWindowLongPtrW(window, GWL_STYLE, on ? style | bit : style & ~bit);
}

bool IsLabel(NativeKind kind) {
    return kind == NativeKind::Label || kind == NativeKind::Link || kind == NativeKind::Counter;
}
bool IsPushButton(NativeKind kind) { return kind == NativeKind::Button || kind == NativeKind::DefaultButton; }
bool TakesFocus(NativeKind kind) {
    return kind != NativeKind::Label && kind != NativeKind::Frame && kind != NativeKind::Separator;
}

// A dotted frame around the text of a focused link, drawn over the static's own painting.
void DrawLinkFocus(HWND link) {
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(link, WM_GETFONT, 0, 0)));
    const std::wstring text = WindowText(link);
    RECT around{};
    DrawTextW(dc, text.c_str(), -1, &around, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    RECT client{};
    GetClientRect(link, &client);
    around.right += 2;
    around.bottom += 1;
    IntersectRect(&around, &around, &client);
    DrawFocusRect(dc, &around);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
}

// A static text that takes the focus: Enter and Space send the notification a click sends,
// and the focus shows once the keyboard is in use.
LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter is the link's own, not the window's default button's.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            const LRESULT code = DefSubclassProc(link, message, wParam, lParam);
            return key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN ? code | DLGC_WANTMESSAGE
                                                                                            : code;
        }
        case WM_KEYDOWN:
            if ((wParam == VK_RETURN || wParam == VK_SPACE) && (lParam & (1 << 30)) == 0) {
                SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                             reinterpret_cast<LPARAM>(link));
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: InvalidateRect(link, nullptr, TRUE); break;
        case WM_PAINT: {
            const LRESULT result = DefSubclassProc(link, message, wParam, lParam);
            if (GetFocus() == link && (SendMessageW(link, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
                DrawLinkFocus(link);
            }
            return result;
        }
        default: break;
    }
    return DefSubclassProc(link, message, wParam, lParam);
}

}  // namespace

HCURSOR CursorOf(MousePointer pointer) {
    switch (pointer) {
        case MousePointer::Hourglass: return LoadCursorW(nullptr, IDC_WAIT);
        case MousePointer::ArrowQuestion: return LoadCursorW(nullptr, IDC_HELP);
        case MousePointer::Hand: return LoadCursorW(nullptr, IDC_HAND);
        case MousePointer::Default: break;
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

struct NativeForm::Slot {
    ControlPlace place;
    int id = 0;
    HWND window = nullptr;
    ATOM nameAtom = 0;
    std::uint64_t copied = 0;
    // What a list shows, to rebuild it only when the model's items changed.
    std::vector<std::string> shownItems;
    bool Tinted() const {
        return IsPushButton(place.kind) && place.model != nullptr && place.model->Style.backColor.has_value();
    }
};

NativeForm::NativeForm(FormModel& form, const std::vector<ControlPlace>& layout, int clientWidth, int clientHeight)
    : form_(form),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight) {
    int id = kFirstControlId;
    for (const ControlPlace& place : layout) {
        auto slot = std::make_unique<Slot>();
        slot->place = place;
        slot->id = id++;
        slots_.push_back(std::move(slot));
    }
}

NativeForm::~NativeForm() {
    Destroy();
    for (auto& [color, brush] : brushes_) DeleteObject(brush);
    for (HFONT font : {normalFont_, boldFont_, underlineFont_, fixedFont_}) {
        if (font != nullptr) DeleteObject(font);
    }
}

int NativeForm::Scale(int designPixels) const { return MulDiv(designPixels, dpi_, 96); }

bool NativeForm::Create(HINSTANCE instance, const wchar_t* className, DWORD style, HWND owner, bool placeFromModel) {
    if (window_ != nullptr) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc)) return false;
    }

    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;

    // The window's text is Arial; the file list uses a fixed-pitch font. Made once: a
    // window closed and opened again (the file list) keeps them.
    if (normalFont_ == nullptr) {
        const int height = -MulDiv(825, dpi_, 7200);
        const auto arial = [&](int weight, BOOL underline) {
            return CreateFontW(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
        };
        normalFont_ = arial(FW_NORMAL, FALSE);
        boldFont_ = arial(FW_BOLD, FALSE);
        underlineFont_ = arial(FW_NORMAL, TRUE);
        fixedFont_ = CreateFontW(-MulDiv(9, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                 L"Courier New");
    }

    // The model's design size when it has one, else the layout's client area.
    int width = 0;
    int heightPx = 0;
    const double perTwip = PixelsPerTwip();
    if (form_.Width() > 0 && form_.Height() > 0) {
        width = static_cast<int>(std::lround(form_.Width() * perTwip));
        heightPx = static_cast<int>(std::lround(form_.Height() * perTwip));
        // The client area is what the layout and the window logic count on (the file list
        // is exactly as high inside as the main window): the frame takes what this
        // system's caption and borders need.
        if (form_.ClientHeight() > 0) {
            RECT frame{0, 0, 100, 100};
            AdjustWindowRectEx(&frame, style, FALSE, 0);
            heightPx = static_cast<int>(std::lround(form_.ClientHeight() * perTwip)) + (frame.bottom - frame.top - 100);
        }
    } else {
        RECT r{0, 0, Scale(clientWidth_), Scale(clientHeight_)};
        AdjustWindowRectEx(&r, style, FALSE, 0);
        width = r.right - r.left;
        heightPx = r.bottom - r.top;
    }
    int left = 0;
    int top = 0;
    keepOnScreen_ = placeFromModel;
    if (placeFromModel) {
        left = static_cast<int>(std::lround(form_.Left() * perTwip));
        top = static_cast<int>(std::lround(form_.Top() * perTwip));
        KeepOnScreen(left, top, width, heightPx);
    } else {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        left = work.left + (work.right - work.left - width) / 2;
        top = work.top + (work.bottom - work.top - heightPx) / 2;
    }
    window_ = CreateWindowExW(0, className, ToWide(form_.Caption()).c_str(), style, left, top, width, heightPx, owner,
                              nullptr, instance, this);
    if (window_ == nullptr) return false;
    GetClientRect(window_, &client_);

    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    const Slot* previous = nullptr;
    for (auto& slot : slots_) {
        const NativeKind kind = slot->place.kind;
        const bool startsGroup = !TakesFocus(kind) || previous == nullptr || !TakesFocus(previous->place.kind) ||
                                 (kind == NativeKind::Option) != (previous->place.kind == NativeKind::Option);
        CreateControl(*slot, instance, startsGroup);
        previous = slot.get();
    }

    copying_ = true;
    CopyForm(true);
    for (auto& slot : slots_) CopySlot(*slot, true);
    copying_ = false;
    RecordPlace();
    // Focus cues hidden or shown by the last input, as for a dialog box.
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
    MarkDefaultButton();
    return true;
}

void NativeForm::CreateControl(Slot& slot, HINSTANCE instance, bool startsGroup) {
    const ControlPlace& p = slot.place;
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (p.kind) {
        case NativeKind::Label:
        case NativeKind::Link:
        case NativeKind::Counter:
            style |= SS_NOTIFY | SS_NOPREFIX | SS_LEFT;
            if (p.model != nullptr && p.model->Style.backColor) style |= SS_CENTERIMAGE;
            break;
        case NativeKind::Frame:
            cls = L"BUTTON";
            style |= BS_GROUPBOX;
            break;
        case NativeKind::Button:
        case NativeKind::DefaultButton:
            cls = L"BUTTON";
            style |= WS_TABSTOP | (slot.Tinted() ? BS_OWNERDRAW : BS_PUSHBUTTON);
            break;
        case NativeKind::CheckBox:
            cls = L"BUTTON";
            style |= WS_TABSTOP | BS_CHECKBOX;
            break;
        case NativeKind::Option:
            cls = L"BUTTON";
            // Automatic, so that the dialog keys tick it; only the checked one is a tab stop.
            style |= WS_TABSTOP | BS_AUTORADIOBUTTON;
            break;
        case NativeKind::CheckedList:
            cls = WC_LISTVIEWW;
            style |= WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case NativeKind::ListBox:
            cls = L"LISTBOX";
            style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case NativeKind::Separator: style |= SS_ETCHEDHORZ; break;
    }
    if (startsGroup) style |= WS_GROUP;
    // Edge anchors: see ControlPlace.
    const int x = Scale(p.x);
    const int y = p.y < 0 ? client_.bottom - Scale(-p.y) : Scale(p.y);
    const int width = p.width > 0 ? Scale(p.width) : client_.right - Scale(-p.width) - x;
    const int height = p.height > 0 ? Scale(p.height) : client_.bottom - Scale(-p.height) - y;
    slot.window = CreateWindowExW(exStyle, cls, L"", style, x, y, width, height, window_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(slot.id)), instance, nullptr);
    if (slot.window == nullptr) return;
    SendMessageW(slot.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(slot)), FALSE);
    if (p.kind == NativeKind::Link || p.kind == NativeKind::Counter) SetWindowSubclass(slot.window, LinkProc, 0, 0);
    if (p.kind == NativeKind::CheckedList) {
        ListView_SetExtendedListViewStyle(slot.window, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = width - GetSystemMetrics(SM_CXVSCROLL) - 4;
        ListView_InsertColumn(slot.window, 0, &column);
    }
    if (p.model == nullptr) return;
    const std::wstring name = PublishedName(*p.model);
    slot.nameAtom = GlobalAddAtomW(name.c_str());
    SetPropW(slot.window, kControlNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(slot.nameAtom)));
    if (tooltip_ != nullptr && IsLabel(p.kind)) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(slot.window);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

HFONT NativeForm::FontFor(const Slot& slot) const {
    if (slot.place.kind == NativeKind::ListBox) return fixedFont_;
    if (slot.place.model != nullptr) {
        if (slot.place.model->Style.bold) return boldFont_;
        if (slot.place.model->Style.underline) return underlineFont_;
    }
    return normalFont_;
}

void NativeForm::Destroy() {
    if (window_ == nullptr) return;
    for (auto& slot : slots_) {
        if (slot->window != nullptr) RemovePropW(slot->window, kControlNameProperty);
        if (slot->nameAtom != 0) GlobalDeleteAtom(slot->nameAtom);
        slot->window = nullptr;
        slot->nameAtom = 0;
        slot->copied = 0;
        slot->shownItems.clear();
    }
    HWND window = window_;
    window_ = nullptr;
    tooltip_ = nullptr;
    focus_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

HWND NativeForm::HandleOf(const Control& control) const {
    for (const auto& slot : slots_) {
        if (slot->place.model == &control) return slot->window;
    }
    return nullptr;
}

NativeForm::Slot* NativeForm::SlotOf(HWND control) {
    for (auto& slot : slots_) {
        if (slot->window == control && control != nullptr) return slot.get();
    }
    return nullptr;
}

NativeForm::Slot* NativeForm::SlotOfId(int id) {
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(slots_.size())) return nullptr;
    return slots_[static_cast<std::size_t>(index)].get();
}

void NativeForm::CopyModel() {
    if (window_ == nullptr || copying_) return;
    copying_ = true;
    CopyForm(false);
    for (auto& slot : slots_) CopySlot(*slot, false);
    copying_ = false;
    // A control that the model disabled or hid took the keyboard focus with it.
    if (GetActiveWindow() == window_ && GetFocus() == nullptr && IsWindowEnabled(window_)) RestoreFocus();
}

void NativeForm::PaintNow() {
    CopyModel();
    if (window_ != nullptr) RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void NativeForm::SetBlockedByModal(bool blocked) {
    blocked_ = blocked;
    if (window_ != nullptr) EnableWindow(window_, form_.Enabled() && !blocked_);
}

void NativeForm::CopyForm(bool all) {
    // The enabled state is compared with the screen every time: a message box re-enables
    // its owner when it closes, whatever the model says.
    const bool enabled = form_.Enabled() && !blocked_;
    if ((IsWindowEnabled(window_) != FALSE) != enabled) EnableWindow(window_, enabled);
    if (!all && form_.RevisionValue() == copiedFormRevision_) return;
    copiedFormRevision_ = form_.RevisionValue();
    SetTextIfChanged(window_, form_.Caption());
    ApplyModelPlace();
    // The pointer shows at once where the mouse is, even while an event holds the thread, and
    // the hourglass goes as soon as the work ends: the window under the mouse sets its pointer
    // as if the mouse had moved.
    POINT cursor{};
    if (GetCursorPos(&cursor)) {
        HWND under = WindowFromPoint(cursor);
        if (under == window_ || IsChild(window_, under)) {
            const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
            SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
        }
    }
}

void NativeForm::CopySlot(Slot& slot, bool all) {
    Control* model = slot.place.model;
    if (model == nullptr || slot.window == nullptr) return;
    if (!all && model->Revision() == slot.copied) return;
    slot.copied = model->Revision();
    HWND w = slot.window;
    switch (slot.place.kind) {
        case NativeKind::Link:
        case NativeKind::Counter:
            // A counter that opens nothing is passed by.
            SetStyleBit(w, WS_TABSTOP,
                        slot.place.kind == NativeKind::Link || model->Pointer() != MousePointer::Default);
            SetTextIfChanged(w, model->Caption());
            break;
        case NativeKind::Label:
        case NativeKind::Frame:
        case NativeKind::Button:
        case NativeKind::DefaultButton: SetTextIfChanged(w, model->Caption()); break;
        case NativeKind::CheckBox:
            SetTextIfChanged(w, model->Caption());
            SendMessageW(w, BM_SETCHECK, static_cast<CheckBox*>(model)->Ticked() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case NativeKind::Option:
            SetTextIfChanged(w, model->Caption());
            SendMessageW(w, BM_SETCHECK, static_cast<OptionButton*>(model)->Value() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case NativeKind::CheckedList: {
            auto* list = static_cast<CheckedList*>(model);
            std::vector<std::string> items;
            for (int i = 0; i < list->ListCount(); ++i) items.push_back(list->ItemText(i));
            if (items != slot.shownItems) {
                ListView_DeleteAllItems(w);
                for (int i = 0; i < list->ListCount(); ++i) {
                    std::wstring text = ToWide(items[static_cast<std::size_t>(i)]);
                    LVITEMW item{};
                    item.mask = LVIF_TEXT;
                    item.iItem = i;
                    item.pszText = text.data();
                    ListView_InsertItem(w, &item);
                }
                // Space ticks the focused item: the keyboard starts on the first one.
                if (!items.empty()) ListView_SetItemState(w, 0, LVIS_FOCUSED, LVIS_FOCUSED);
                slot.shownItems = std::move(items);
            }
            for (int i = 0; i < list->ListCount(); ++i) {
                if ((ListView_GetCheckState(w, i) != FALSE) != list->Selected(i)) {
                    ListView_SetCheckState(w, i, list->Selected(i));
                }
            }
            break;
        }
        case NativeKind::ListBox: {
            auto* list = static_cast<ListBox*>(model);
            if (list->Items() != slot.shownItems) {
                SendMessageW(w, WM_SETREDRAW, FALSE, 0);
                SendMessageW(w, LB_RESETCONTENT, 0, 0);
                for (const std::string& line : list->Items()) {
                    SendMessageW(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(line).c_str()));
                }
                SendMessageW(w, WM_SETREDRAW, TRUE, 0);
                InvalidateRect(w, nullptr, TRUE);
                slot.shownItems = list->Items();
            }
            if (SendMessageW(w, LB_GETCURSEL, 0, 0) != list->ListIndex()) {
                SendMessageW(w, LB_SETCURSEL, static_cast<WPARAM>(list->ListIndex()), 0);
            }
            break;
        }
        case NativeKind::Separator: break;
    }
    if ((IsWindowEnabled(w) != FALSE) != model->Enabled()) EnableWindow(w, model->Enabled());
    // The style bit, not IsWindowVisible: a child of a window not yet shown counts as hidden.
    const bool shown = (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != model->Visible()) ShowWindow(w, model->Visible() ? SW_SHOWNA : SW_HIDE);
    // Colours and pointers are read when drawn; a repaint picks up a changed colour.
    InvalidateRect(w, nullptr, TRUE);
}

void NativeForm::ApplyModelPlace() {
    if (window_ == nullptr || IsIconic(window_)) return;
    const double perTwip = PixelsPerTwip();
    int left = static_cast<int>(std::lround(form_.Left() * perTwip));
    int top = static_cast<int>(std::lround(form_.Top() * perTwip));
    if (left == recorded_.left && top == recorded_.top) return;
    RECT now{};
    GetWindowRect(window_, &now);
    KeepOnScreen(left, top, now.right - now.left, now.bottom - now.top);
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeForm::KeepOnScreen(int& left, int& top, int width, int height) const {
    if (!keepOnScreen_) return;
    RECT r{left, top, left + width, top + height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const ScreenPoint inside =
        PlaceInsideWorkArea({r.left, r.top, r.right, r.bottom}, {work.left, work.top, work.right, work.bottom});
    left = inside.x;
    top = inside.y;
}

void NativeForm::RestoreFocus() {
    HWND target = focus_;
    const LONG_PTR usable = WS_TABSTOP | WS_VISIBLE;
    if (target == nullptr || !IsChild(window_, target) ||
        (GetWindowLongPtrW(target, GWL_STYLE) & (usable | WS_DISABLED)) != usable) {
        target = GetNextDlgTabItem(window_, nullptr, FALSE);
    }
    if (target == nullptr) return;
    focus_ = target;
    SetFocus(target);
    MarkDefaultButton();
}

NativeForm::Slot* NativeForm::ButtonForEnter() {
    Slot* focused = SlotOf(GetFocus());
    if (focused != nullptr && IsPushButton(focused->place.kind)) return focused;
    for (auto& slot : slots_) {
        if (slot->place.kind == NativeKind::DefaultButton) return slot.get();
    }
    return nullptr;
}

void NativeForm::MarkDefaultButton() {
    const Slot* pressed = ButtonForEnter();
    for (auto& slot : slots_) {
        // A tinted button draws itself and has no default frame.
        if (!IsPushButton(slot->place.kind) || slot->Tinted() || slot->window == nullptr) continue;
        const LONG_PTR type = slot.get() == pressed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((GetWindowLongPtrW(slot->window, GWL_STYLE) & BS_TYPEMASK) != type) {
            SendMessageW(slot->window, BM_SETSTYLE, static_cast<WPARAM>(type), TRUE);
        }
    }
}

void NativeForm::RecordPlace() {
    if (window_ == nullptr) return;
    form_.SetMinimized(IsIconic(window_) != FALSE);
    if (IsIconic(window_)) return;
    RECT outer{};
    RECT client{};
    if (!GetWindowRect(window_, &outer) || !GetClientRect(window_, &client)) return;
    recorded_ = outer;
    const double twips = 1440.0 / dpi_;
    form_.Move(outer.left * twips, outer.top * twips);
    form_.Resize((outer.right - outer.left) * twips, (outer.bottom - outer.top) * twips, client.bottom * twips);
}

HBRUSH NativeForm::BrushFor(const Rgb& color) {
    const COLORREF ref = ToColorRef(color);
    for (auto& [c, brush] : brushes_) {
        if (c == ref) return brush;
    }
    HBRUSH brush = CreateSolidBrush(ref);
    brushes_.emplace_back(ref, brush);
    return brush;
}

bool NativeForm::SetCursorFor(HWND under) {
    if (form_.Pointer() != MousePointer::Default) {
        SetCursor(CursorOf(form_.Pointer()));
        return true;
    }
    Slot* slot = SlotOf(under);
    if (slot == nullptr || slot->place.model == nullptr) return false;
    if (slot->place.model->Pointer() == MousePointer::Default) return false;
    SetCursor(CursorOf(slot->place.model->Pointer()));
    return true;
}

void NativeForm::RunEventThenCopy(const std::function<void()>& event) {
    // The control the user acted on gets the focus back after whatever the event shows.
    HWND focus = GetFocus();
    if (window_ != nullptr && focus != nullptr && IsChild(window_, focus)) focus_ = focus;
    if (event) event();
    if (Events.afterEvent) Events.afterEvent();
}

void NativeForm::Command(int id, int code) {
    Slot* slot = SlotOfId(id);
    if (slot == nullptr || slot->place.model == nullptr) return;
    Control* model = slot->place.model;
    switch (slot->place.kind) {
        case NativeKind::Label:
        case NativeKind::Link:
        case NativeKind::Counter:
            if (code == STN_CLICKED) RunEventThenCopy([model] { model->Click(); });
            break;
        case NativeKind::Button:
        case NativeKind::DefaultButton:
        case NativeKind::CheckBox:
            if (code == BN_CLICKED) RunEventThenCopy([model] { model->Click(); });
            break;
        case NativeKind::Option:
            if (code != BN_CLICKED) break;
            RunEventThenCopy([model] { model->Click(); });
            // The button ticked itself; the model has the last word on the whole set.
            for (auto& other : slots_) {
                if (other->place.kind == NativeKind::Option) CopySlot(*other, true);
            }
            break;
        case NativeKind::ListBox:
            if (code == LBN_SELCHANGE) {
                const int index = static_cast<int>(SendMessageW(slot->window, LB_GETCURSEL, 0, 0));
                auto* list = static_cast<ListBox*>(model);
                RunEventThenCopy([list, index] { list->SetListIndex(index); });
            }
            break;
        default: break;
    }
}

bool NativeForm::Notify(const NMHDR& header) {
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        static_assert(sizeof(info.szText) / sizeof(wchar_t) >= 80, "tooltip buffer");
        Slot* slot = SlotOf(reinterpret_cast<HWND>(header.idFrom));
        const std::wstring text =
            (slot != nullptr && slot->place.model != nullptr) ? ToWide(slot->place.model->ToolTipText()) : L"";
        lstrcpynW(info.szText, text.c_str(), static_cast<int>(sizeof(info.szText) / sizeof(wchar_t)));
        info.lpszText = info.szText;
        return true;
    }
    if (header.code != LVN_ITEMCHANGED || copying_) return false;
    Slot* slot = SlotOf(header.hwndFrom);
    if (slot == nullptr || slot->place.kind != NativeKind::CheckedList) return false;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE) || !((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) return false;
    auto* list = static_cast<CheckedList*>(slot->place.model);
    const int index = change.iItem;
    if (index < 0 || index >= list->ListCount()) return false;
    // State image 2 is the ticked box, 1 the empty one.
    const bool checked = ((change.uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
    if (list->Selected(index) != checked)
        RunEventThenCopy([list, index, checked] { list->SetSelected(index, checked); });
    return true;
}

void NativeForm::DrawTintedButton(const DRAWITEMSTRUCT& item) {
    Slot* slot = SlotOf(item.hwndItem);
    if (slot == nullptr || slot->place.model == nullptr) return;
    const Control& model = *slot->place.model;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    FillRect(item.hDC, &r, BrushFor(*model.Style.backColor));
    DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, disabled
                               ? GetSysColor(COLOR_GRAYTEXT)
                               : (model.ForeColor() ? ToColorRef(*model.ForeColor()) : GetSysColor(COLOR_BTNTEXT)));
    HGDIOBJ old = SelectObject(item.hDC, FontFor(*slot));
    RECT text = r;
    if (pressed) OffsetRect(&text, 1, 1);
    const std::wstring caption = ToWide(model.Caption());
    DrawTextW(item.hDC, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, old);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        InflateRect(&r, -4, -4);
        DrawFocusRect(item.hDC, &r);
    }
}

LRESULT CALLBACK NativeForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<NativeForm*>(create->lpCreateParams)->window_ = window;
    }
    auto* self = reinterpret_cast<NativeForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT NativeForm::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0 && !copying_) Command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            if (Notify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
            break;
        case WM_DRAWITEM: DrawTintedButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            Slot* slot = SlotOf(reinterpret_cast<HWND>(lParam));
            const Control* model = slot != nullptr ? slot->place.model : nullptr;
            if (model != nullptr && model->ForeColor()) SetTextColor(dc, ToColorRef(*model->ForeColor()));
            if (model != nullptr && model->Style.backColor) {
                SetBkColor(dc, ToColorRef(*model->Style.backColor));
                return reinterpret_cast<LRESULT>(BrushFor(*model->Style.backColor));
            }
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_SETCURSOR: {
            HWND under = reinterpret_cast<HWND>(wParam);
            if (HIWORD(lParam) == WM_MOUSEMOVE && Events.mouseMove) {
                Slot* slot = SlotOf(under);
                // A cursor the event set stays, also when it was already showing: the
                // default handling would put the class arrow back on every move.
                if (slot != nullptr && slot->place.model != nullptr && IsWindowEnabled(window_) &&
                    Events.mouseMove(*slot->place.model)) {
                    return TRUE;
                }
            }
            if (SetCursorFor(under)) return TRUE;
            break;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window_, focus)) focus_ = focus;
                break;
            }
            PostMessageW(window_, kActivateMessage, 0, 0);
            // As a dialog box: the focus goes to a control, not to the window itself.
            if (HIWORD(wParam) != 0) break;
            RestoreFocus();
            return 0;
        case WM_SETFOCUS: RestoreFocus(); return 0;
        // The dialog keys of the message loop: an arrow key names the next control of its
        // run, Tab asks for the next tab stop.
        case WM_NEXTDLGCTL: {
            HWND target =
                lParam != 0 ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
            if (target != nullptr && IsChild(window_, target) && (GetWindowLongPtrW(target, GWL_STYLE) & WS_TABSTOP)) {
                SetFocus(target);
            }
            return 0;
        }
        case DM_GETDEFID: {
            const Slot* button = ButtonForEnter();
            return button != nullptr ? MAKELRESULT(button->id, DC_HASDEFID) : 0;
        }
        case kActivateMessage: RunEventThenCopy(Events.activate); return 0;
        case WM_CLOSE: RunEventThenCopy(Events.close); return 0;
        // Closing is never refused; the exit path runs once the session really ends, as the
        // process may be ended as soon as WM_ENDSESSION returns.
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE) RunEventThenCopy(Events.sessionEnd);
            return 0;
        case WM_MOVE:
        case WM_SIZE: RecordPlace(); break;
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace orvanta
