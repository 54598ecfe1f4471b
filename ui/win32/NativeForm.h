#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "ui/Controls.h"

namespace orvanta {

// How a model control is drawn on screen. The keyboard moves as in a dialog box: Tab
// through the controls that take the focus, in layout order; the arrow keys within a run of
// them (a label, frame or line ends a run, and a set of options is a run of its own).
enum class NativeKind {
    Label,          // static text; clicks and tooltips reach it
    Link,           // a label that acts on a click: reached by Tab, Enter or Space clicks it
    Counter,        // a link only while its model shows a pointer that asks for a click
    Frame,          // group box
    Button,         // push button; owner-drawn when its design gives it a back colour
    DefaultButton,  // push button that Enter presses when no other button has the focus
    CheckBox,       // check box whose value only the model changes
    Option,         // option button; arrow keys tick the next enabled one, the model decides
    CheckedList,    // list view with a check box per item
    ListBox,        // plain list, fixed-pitch font
    Separator,      // an etched line; no model
};

// One control of a window's layout: the model it shows, its kind and its place in pixels
// at 96 dots per inch (scaled to the screen's density when created). A negative y counts
// from the bottom of the client area; a width or height of 0 or less reaches to that
// distance from the right or bottom edge, so that a window's real frame never clips it.
struct ControlPlace {
    Control* model = nullptr;
    NativeKind kind = NativeKind::Label;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Native notifications turned into the window's own events. Each is optional.
struct FormEvents {
    std::function<void()> activate;    // the window became the active window
    std::function<void()> close;       // close box or Alt+F4; the window stays until unloaded
    std::function<void()> sessionEnd;  // logoff or shutdown: the window has to go now
    std::function<void()> afterEvent;  // after every event procedure: copy the models
    // The mouse moves over a control (the model's own mouse-move event, if any). True when
    // the event set the cursor, which then stays.
    std::function<bool(Control&)> mouseMove;
};

HCURSOR CursorOf(MousePointer pointer);

// The name under which each control's model name is published as a window property, so
// that test drivers find controls by the names the window logic uses ("lblbglnb(2)").
inline constexpr wchar_t kControlNameProperty[] = L"OrvantaControlName";

// A top-level window over a FormModel: creates the controls of its layout, copies the
// models onto them and turns notifications into clicks on the models. It decides nothing.
class NativeForm {
public:
    NativeForm(FormModel& form, const std::vector<ControlPlace>& layout, int clientWidth, int clientHeight);
    ~NativeForm();
    NativeForm(const NativeForm&) = delete;
    NativeForm& operator=(const NativeForm&) = delete;

    FormEvents Events;

    // Creates the window (hidden) with its controls; the window class is registered once.
    // The size is the model's; the place is the model's when placeFromModel, else the
    // middle of the screen.
    bool Create(HINSTANCE instance, const wchar_t* className, DWORD style, HWND owner, bool placeFromModel);
    void Destroy();
    HWND Handle() const { return window_; }
    HWND HandleOf(const Control& control) const;

    // Copies every change of the models since the last copy onto the controls.
    void CopyModel();
    // Copies, then paints what is invalid now, while an event holds the thread.
    void PaintNow();
    // Places the window where the model says (twips), or keeps the system's place.
    void ApplyModelPlace();

    // While a modal window is up, this window takes no input whatever its model says.
    void SetBlockedByModal(bool blocked);

    // The push button that Enter would press shows the default button's frame: the one with
    // the focus, else the window's default button. Run after keys and clicks.
    void MarkDefaultButton();

    // Pixels of the screen per twip.
    double PixelsPerTwip() const { return dpi_ / 1440.0; }

private:
    struct Slot;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    Slot* SlotOf(HWND control);
    Slot* SlotOfId(int id);
    void CreateControl(Slot& slot, HINSTANCE instance, bool startsGroup);
    // The focus back where it was when the window was last left, or on its first control.
    void RestoreFocus();
    Slot* ButtonForEnter();
    void KeepOnScreen(int& left, int& top, int width, int height) const;
    void CopySlot(Slot& slot, bool all);
    void CopyForm(bool all);
    void RecordPlace();
    HBRUSH BrushFor(const Rgb& color);
    HFONT FontFor(const Slot& slot) const;
    int Scale(int designPixels) const;
    bool Notify(const NMHDR& header);
    void Command(int id, int code);
    void DrawTintedButton(const DRAWITEMSTRUCT& item);
    bool SetCursorFor(HWND under);
    void RunEventThenCopy(const std::function<void()>& event);

    FormModel& form_;
    std::vector<std::unique_ptr<Slot>> slots_;
    int clientWidth_;
    int clientHeight_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    int dpi_ = 96;
    HFONT normalFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    HFONT underlineFont_ = nullptr;
    HFONT fixedFont_ = nullptr;
    std::vector<std::pair<COLORREF, HBRUSH>> brushes_;
    std::uint64_t copiedFormRevision_ = 0;
    bool copying_ = false;
    bool blocked_ = false;
    bool keepOnScreen_ = false;  // placed from the model: never partly off the screen
    HWND focus_ = nullptr;       // the control that last had the focus
    // Geometry last written into the model, so that our own moves are not fed back.
    RECT recorded_{};
    RECT client_{};
};

}  // namespace orvanta
