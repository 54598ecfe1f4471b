#include "ui/FrmDisplay.h"

#include "status/FileList.h"

namespace orvanta {

namespace {

constexpr Rgb kRed{255, 0, 0};

}  // namespace

frmDisplay::frmDisplay(Platform& platform, ProgramState& state, Host& host)
    : DisplayList(Form.Revision(), "DisplayList"),
      lblNFD1(Form.Revision(), "lblNFD1"),
      lblNFD2(Form.Revision(), "lblNFD2"),
      platform_(platform),
      state_(state),
      host_(host) {
    DisplayList.OnClick = [this] { DisplayList_Click(); };
    lblNFD1.SetCaption(kNewFileDateLabel);
    lblNFD1.SetVisible(false);
    lblNFD2.SetForeColor(kRed);
    lblNFD2.SetVisible(false);
}

void frmDisplay::Load(double ownerClientHeight) {
    if (Form.Loaded()) return;
    Form.Resize(kWidth, ownerClientHeight + kFrameHeight, ownerClientHeight);
    Form.SetLoaded(true);
    Form_Load();
}

void frmDisplay::Show() {
    if (!Form.Loaded() || Form.Visible()) return;
    Form.SetVisible(true);
    host_.FormShown(FormId::Display);
}

void frmDisplay::Unload() {
    if (!Form.Loaded()) return;
    Form_Unload();
    Form.SetLoaded(false);
    host_.FormUnloaded(FormId::Display);
}

void frmDisplay::Form_Load() {
    RunEvent([&] {
        state_.DisplayOpen = true;
        DisplayCaption();
        DisplayBGLList();
    });
}

void frmDisplay::Form_Unload() {
    state_.DisplayOpen = false;
    state_.DisplayedStatus = 0;
}

void frmDisplay::Form_QueryUnload() {
    RunEvent([&] { Unload(); });
}

void frmDisplay::DisplayCaption() {
    lblNFD1.SetVisible(false);
    lblNFD2.SetVisible(false);
    const std::optional<std::string> caption = DisplayCaptionText(state_, state_.DisplayedStatus);
    if (!caption) return;
    Form.SetCaption(*caption);
    if (ShowsNewFileDate(state_.DisplayedStatus)) {
        lblNFD1.SetVisible(true);
        lblNFD2.SetVisible(true);
    }
}

void frmDisplay::DisplayBGLList() {
    DisplayList.SetVisible(false);
    DisplayList.Clear();
    for (const std::string& line : DisplayLines(platform_.fs, state_, state_.DisplayedStatus))
        DisplayList.AddItem(line);
    DisplayList.SetVisible(true);
    // Selecting the first line shows its new file date at once.
    if (state_.DisplayedStatus == kUpdatable && DisplayList.ListCount() > 0) DisplayList.SetListIndex(0);
}

void frmDisplay::DisplayList_Click() {
    RunEvent([&] {
        if (state_.DisplayedStatus != kUpdatable) return;
        const int i = DisplayList.ListIndex();
        if (i >= 0) lblNFD2.SetCaption(NewFileDate(platform_.fs, state_, i));
    });
}

}  // namespace orvanta
