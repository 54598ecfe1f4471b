#include "ui/Controls.h"

#include <utility>

namespace orvanta {

Control::Control(ModelRevision& revision, std::string name, int index)
    : revision_(&revision),
      name_(std::move(name)),
      index_(index) {}

void Control::SetCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    Changed();
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed();
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
}

void Control::SetToolTipText(const std::string& text) {
    if (toolTip_ == text) return;
    toolTip_ = text;
    Changed();
}

void Control::SetPointer(MousePointer pointer) {
    if (pointer_ == pointer) return;
    pointer_ = pointer;
    Changed();
}

void Control::SetForeColor(const std::optional<Rgb>& color) {
    if (foreColor_ == color) return;
    foreColor_ = color;
    Changed();
}

void Control::Click() {
    if (enabled_ && visible_ && OnClick) OnClick();
}

void CheckBox::SetValue(int value) {
    if (value_ == value) return;
    value_ = value;
    Changed();
    if (OnChange) OnChange();
}

void CheckBox::Click() {
    if (!Enabled() || !Visible()) return;
    SetValue(value_ == 1 ? 0 : 1);
}

void OptionButton::SetValue(bool value) {
    if (value_ == value) return;
    value_ = value;
    Changed();
    if (!value) return;
    for (OptionButton* other : Group) {
        if (other != this) other->SetValue(false);
    }
}

void OptionButton::Click() {
    if (Enabled() && Visible()) SetValue(true);
}

void CheckedList::AddItem(const std::string& text) {
    items_.push_back({text, false});
    Changed();
}

void CheckedList::SetSelected(int index, bool checked) {
    Item& item = items_.at(index);
    if (item.checked == checked) return;
    item.checked = checked;
    Changed();
    if (OnItemCheck) OnItemCheck(index);
}

void ListBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    Changed();
}

void ListBox::AddItem(const std::string& text) {
    items_.push_back(text);
    Changed();
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) return;
    if (listIndex_ != index) {
        listIndex_ = index;
        Changed();
    }
    if (index >= 0 && OnClick) OnClick();
}

void FormModel::SetCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    Changed();
}

void FormModel::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed();
}

void FormModel::SetPointer(MousePointer pointer) {
    if (pointer_ == pointer) return;
    pointer_ = pointer;
    Changed();
}

void FormModel::SetLoaded(bool loaded) {
    if (loaded_ == loaded) return;
    loaded_ = loaded;
    if (!loaded) visible_ = false;
    Changed();
}

void FormModel::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
}

void FormModel::Move(double left, double top) {
    if (left_ == left && top_ == top) return;
    left_ = left;
    top_ = top;
    Changed();
}

void FormModel::Resize(double width, double height, double clientHeight) {
    if (width_ == width && height_ == height && clientHeight_ == clientHeight) return;
    width_ = width;
    height_ = height;
    clientHeight_ = clientHeight;
    Changed();
}

void FormModel::SetMinimized(bool minimized) {
    if (minimized_ == minimized) return;
    minimized_ = minimized;
    Changed();
}

}  // namespace orvanta
