#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

// The windows of the program. The native layer draws one window per id.
enum class FormId { Main, Select, Display };

enum class MousePointer { Default, Hourglass, ArrowQuestion, Hand };

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// Counts every change of a window's model. Each control remembers the count of its own
// last change, so the native layer copies only what moved since its last look.
class ModelRevision {
public:
    std::uint64_t Value() const { return value_; }
    std::uint64_t Bump() { return ++value_; }

private:
    std::uint64_t value_ = 0;
};

// Fixed looks chosen when the window is designed; never changed at run time.
struct DesignStyle {
    bool bold = false;
    bool underline = false;
    std::optional<Rgb> backColor;  // the system's colour when empty
};

// What every control has. A kind that does not show a property simply ignores it.
class Control {
public:
    Control(ModelRevision& revision, std::string name, int index = -1);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    Control(Control&&) = default;

    const std::string& Name() const { return name_; }
    // Position in its control array, -1 for a single control.
    int Index() const { return index_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(const std::string& text);
    MousePointer Pointer() const { return pointer_; }
    void SetPointer(MousePointer pointer);
    // The text colour; the system's colour when empty.
    const std::optional<Rgb>& ForeColor() const { return foreColor_; }
    void SetForeColor(const std::optional<Rgb>& color);

    DesignStyle Style;

    // The user's click on the control: runs OnClick when the control is enabled and
    // visible (the window system sends no click to a disabled control).
    virtual void Click();
    std::function<void()> OnClick;

    // The model count at this control's last change.
    std::uint64_t Revision() const { return changedAt_; }

protected:
    void Changed() { changedAt_ = revision_->Bump(); }

private:
    ModelRevision* revision_;
    std::string name_;
    int index_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string toolTip_;
    MousePointer pointer_ = MousePointer::Default;
    std::optional<Rgb> foreColor_;
    std::uint64_t changedAt_ = 0;
};

class Label : public Control {
public:
    using Control::Control;
};

class Frame : public Control {
public:
    using Control::Control;
};

class CommandButton : public Control {
public:
    using Control::Control;
};

// A check box: value 1 ticked, 0 unticked. Every change of the value, by the user or by the
// program, runs the change handler, as the window system does.
class CheckBox : public Control {
public:
    using Control::Control;

    int Value() const { return value_; }
    bool Ticked() const { return value_ == 1; }
    void SetValue(int value);
    // The user's click: toggles the value of an enabled, visible box.
    void Click() override;

    std::function<void()> OnChange;

private:
    int value_ = 0;
};

// One of a group of option buttons; checking one clears the others of its group.
class OptionButton : public Control {
public:
    using Control::Control;

    bool Value() const { return value_; }
    void SetValue(bool value);
    // The user's click on an enabled option.
    void Click() override;

    std::vector<OptionButton*> Group;  // the other members, set by the window

private:
    bool value_ = false;
};

// A list whose items carry check boxes. Changing an item's check state runs the handler
// with the item's index; the handler sees the new state.
class CheckedList : public Control {
public:
    using Control::Control;

    void AddItem(const std::string& text);
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& ItemText(int index) const { return items_.at(index).text; }
    bool Selected(int index) const { return items_.at(index).checked; }
    void SetSelected(int index, bool checked);

    std::function<void(int)> OnItemCheck;

private:
    struct Item {
        std::string text;
        bool checked = false;
    };
    std::vector<Item> items_;
};

// A plain list box with one selected line (-1 for none). Selecting a line, by the user or
// by the program, runs the click handler, as the window system does.
class ListBox : public Control {
public:
    using Control::Control;

    void Clear();
    void AddItem(const std::string& text);
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const { return items_.at(index); }
    const std::vector<std::string>& Items() const { return items_; }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index);

    std::function<void()> OnClick;

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

// A window's own properties. Geometry is in twips (1/1440 inch) and may be fractional
// at display densities where a pixel is not a whole number of twips.
// Runs an event procedure so that nothing it throws reaches the window system.
template <class Procedure>
void RunEvent(Procedure&& procedure) noexcept {
    try {
        procedure();
    } catch (...) {
        // An event ends where it failed; the window stays usable.
    }
}

class FormModel {
public:
    explicit FormModel(FormId id) : id_(id) {}
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    FormId Id() const { return id_; }
    ModelRevision& Revision() { return revision_; }
    std::uint64_t RevisionValue() const { return revision_.Value(); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    MousePointer Pointer() const { return pointer_; }
    void SetPointer(MousePointer pointer);

    // Loaded: the window exists (its load step has run and it has not been unloaded).
    // Visible: it is shown on screen.
    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    void SetLoaded(bool loaded);
    void SetVisible(bool visible);

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    double ClientHeight() const { return clientHeight_; }
    void Move(double left, double top);
    // Outer size and the height of the client area below the caption.
    void Resize(double width, double height, double clientHeight);
    // The window is minimised (message boxes are then not centred over it).
    bool Minimized() const { return minimized_; }
    void SetMinimized(bool minimized);

private:
    void Changed() { revision_.Bump(); }

    FormId id_;
    ModelRevision revision_;
    std::string caption_;
    bool enabled_ = true;
    MousePointer pointer_ = MousePointer::Default;
    bool loaded_ = false;
    bool visible_ = false;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    double clientHeight_ = 0;
    bool minimized_ = false;
};

}  // namespace orvanta
