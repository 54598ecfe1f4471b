#pragma once

#include <deque>
#include <string>

#include "app/ProgramState.h"
#include "platform/Platform.h"
#include "sim/FolderJudgement.h"
#include "ui/Controls.h"
#include "ui/Host.h"

namespace orvanta {

// The simulator version selection window, shown modally during start-up when no
// simulator was selected by itself. On return, SelectedSim holds the choice or 0.
class frmSelect {
public:
    static constexpr const char* kTitle = kSelectionTitle;
    // Design size, twips.
    static constexpr double kWidth = 4620;
    static constexpr double kHeight = 4080;
    static constexpr double kClientHeight = 3675;

    frmSelect(Platform& platform, ProgramState& state, Host& host);
    frmSelect(const frmSelect&) = delete;
    frmSelect& operator=(const frmSelect&) = delete;

    FormModel Form{FormId::Select};
    Frame FrameSim;
    CommandButton cmdSet;
    CommandButton cmdCancel;
    CommandButton cmdSelect;
    // Option of SimVersion index, 1 to 6.
    OptionButton& OptSim(int index) { return optSim_.at(static_cast<std::size_t>(index - 1)); }
    const OptionButton& OptSim(int index) const { return optSim_.at(static_cast<std::size_t>(index - 1)); }

    // Loads the window (runs Form_Load); touching the window does this.
    void Load();
    // Unloads the window, which ends the modal wait.
    void Unload();

    void Form_Load();
    void cmdSelect_Click();
    void cmdCancel_Click();
    void cmdSet_Click();
    // The window's close box: closes without a choice.
    void Form_QueryUnload();

private:
    MsgAnswer Ask(std::vector<std::string> lines, MsgIcon icon, MsgButtons buttons);

    Platform& platform_;
    ProgramState& state_;
    Host& host_;
    std::deque<OptionButton> optSim_;
};

}  // namespace orvanta
