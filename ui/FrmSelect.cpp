#include "ui/FrmSelect.h"

#include "app/Paths.h"
#include "sim/FolderJudgement.h"

namespace orvanta {

namespace {

const char* const kOptionCaptions[6] = {"Flight Simulator X", "FSX Steam Edition", "Prepar3D v1",
                                        "Prepar3D v2",        "Prepar3D v3",       "Prepar3D v4"};

}  // namespace

frmSelect::frmSelect(Platform& platform, ProgramState& state, Host& host)
    : FrameSim(Form.Revision(), "FrameSim"),
      cmdSet(Form.Revision(), "cmdSet"),
      cmdCancel(Form.Revision(), "cmdCancel"),
      cmdSelect(Form.Revision(), "cmdSelect"),
      platform_(platform),
      state_(state),
      host_(host) {
    Form.SetCaption(kTitle);
    Form.Resize(kWidth, kHeight, kClientHeight);
    FrameSim.SetCaption("Select simulator version to be updated");
    cmdSet.SetCaption("Set folder");
    cmdCancel.SetCaption("Cancel");
    cmdSelect.SetCaption("Select");
    for (int i = kFirstSim; i <= kLastSim; ++i) {
        optSim_.emplace_back(Form.Revision(), "OptSim", i);
        optSim_.back().SetCaption(kOptionCaptions[i - 1]);
        optSim_.back().SetEnabled(false);
    }
    for (OptionButton& option : optSim_) {
        for (OptionButton& other : optSim_) {
            if (&other != &option) option.Group.push_back(&other);
        }
    }
    cmdSet.OnClick = [this] { cmdSet_Click(); };
    cmdCancel.OnClick = [this] { cmdCancel_Click(); };
    cmdSelect.OnClick = [this] { cmdSelect_Click(); };
}

void frmSelect::Load() {
    if (Form.Loaded()) return;
    Form.SetLoaded(true);
    // The window exists from here on, so its model holds its real size when it is placed.
    host_.PrepareModal(*this);
    Form_Load();
}

void frmSelect::Unload() {
    if (!Form.Loaded()) return;
    Form.SetLoaded(false);
    host_.FormUnloaded(FormId::Select);
}

void frmSelect::Form_Load() {
    RunEvent([&] {
        int first = 0;
        for (int i = kFirstSim; i <= kLastSim; ++i) {
            if (state_.SimFolders[i].empty()) continue;
            OptSim(i).SetEnabled(true);
            if (first == 0) first = i;
        }
        if (first != 0) {
            OptSim(first).SetValue(true);
            return;
        }
        FrameSim.SetEnabled(false);
        cmdSelect.SetEnabled(false);
        Form.SetCaption(state_.NoDetect ? "Sim selection (detection disabled)" : "Sim selection (none detected)");
    });
}

void frmSelect::cmdSelect_Click() {
    RunEvent([&] {
        for (int i = kFirstSim; i <= kLastSim; ++i) {
            if (!OptSim(i).Value()) continue;
            state_.SelectedSim = static_cast<SimVersion>(i);
            state_.SelectedSimFolder = state_.SimFolders[i];
            break;
        }
        Unload();
    });
}

void frmSelect::cmdCancel_Click() {
    RunEvent([&] {
        if (Ask({"Exit the Orvanta Installer ?"}, MsgIcon::Question, MsgButtons::YesNo) == kAnswerNo) return;
        state_.SelectedSim = kNoSim;
        Unload();
    });
}

void frmSelect::cmdSet_Click() {
    RunEvent([&] {
        for (;;) {
            state_.SelectedSim = kNoSim;
            const std::string chosen = host_.BrowseForFolder(FormId::Select, "", "Select the sim main folder");
            if (chosen.empty()) return;
            const FolderJudgement judgement = JudgeSimFolder(platform_.fs, platform_.versions, chosen);
            if (judgement.verdict == FolderVerdict::Selected) {
                state_.SelectedSim = judgement.sim;
                state_.SelectedSimFolder = judgement.folder;
                Unload();
                return;
            }
            if (Ask({judgement.reason, kRetryOrCancelLine}, MsgIcon::Exclamation, MsgButtons::RetryCancel) !=
                kAnswerRetry) {
                return;
            }
        }
    });
}

void frmSelect::Form_QueryUnload() {
    RunEvent([&] { Unload(); });
}

MsgAnswer frmSelect::Ask(std::vector<std::string> lines, MsgIcon icon, MsgButtons buttons) {
    MessageRequest request;
    request.owner = FormId::Select;
    request.title = kTitle;
    request.lines = std::move(lines);
    request.icon = icon;
    request.buttons = buttons;
    return host_.ShowMessage(request);
}

}  // namespace orvanta
