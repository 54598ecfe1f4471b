#pragma once

#include <deque>
#include <functional>
#include <string>

#include "app/Message.h"
#include "app/ProgramState.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/FrmDisplay.h"
#include "ui/Host.h"

namespace orvanta {

struct StatusSelection;

// The main window: regions, categories, options, the five status counters, install and
// uninstall. Its load and first activation are the program's start-up; unloading it ends
// the program.
class frmMain {
public:
    // Design size, twips; the native layer reports the real geometry through Form.
    static constexpr double kWidth = 9600;
    static constexpr double kHeight = 7155;
    static constexpr double kClientHeight = 6645;

    frmMain(Platform& platform, ProgramState& state, Host& host);
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    FormModel Form{FormId::Main};

    Frame Frame_Region;
    CheckedList RegionList;

    Frame Frame_Status;
    // Row labels 0..5: the five counters' names and "Simulator activity".
    Label& lbl(int index) { return lbl_.at(static_cast<std::size_t>(index)); }
    // Counters 0..4, by FileStatus index.
    Label& lblbglnb(int index) { return lblbglnb_.at(static_cast<std::size_t>(index)); }
    Label lblFSActivity;

    Frame Frame_Update_Selection;
    CheckBox CheckMV;
    CheckBox CheckNVX;
    CheckBox CheckAPX;
    CheckBox CheckATX;

    Frame Frame_Options;
    CheckBox CheckForceFull;
    CheckBox CheckCleanSF;
    CheckBox CheckLog;
    Label Label2;

    Label Label1;
    Label lblCycle;
    Label lblDoc;
    CommandButton cmdInstall;
    CommandButton cmdUninstall;
    Label lblMess;

    // The file list window, owned by this window.
    frmDisplay Display;

    // Form-level state.
    std::string ErrorLogText;
    std::string ActionsLogText;
    bool FirstActivation = false;
    bool SimAutoSelected = false;
    bool SignificantChanges = false;
    bool ExplainForceFull = false;
    bool ExplainLog = false;
    bool ExplainCleanSF = false;
    int SelectedRegionCount = 0;

    // Loads the window (runs Form_Load). The window may unload itself while loading.
    void Load();
    // Makes the loaded window visible; the native layer then activates it.
    void Show();
    // Closes the window: Form_QueryUnload, Form_Unload, then the program ends.
    void Unload();

    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload();
    void Form_Unload();

    void RegionList_ItemCheck(int index);
    void RefreshRegionStatus();
    // Rescans and shows the result. False when the scan ended the program.
    bool RefreshFileStatus();
    void ResetFileStatus();

    void CheckAPX_Click();
    void CheckATX_Click();
    void CheckNVX_Click();
    void CheckMV_Click();
    void CheckForceFull_Click();
    void CheckLog_Click();
    void CheckCleanSF_Click();
    void lblbglnb_Click(int index);
    void lblDoc_Click();
    void lblDoc_MouseMove();
    void cmdInstall_Click();
    void cmdUninstall_Click();

    // Puts the text into the status line and has it painted at once.
    void ShowStatusMessage(const std::string& text);
    // Refreshes the activity label; with an operation name, a running simulator also
    // refuses the operation with a message. True when the simulator runs.
    bool IsSimulatorRunning(const std::string& operationName);
    // Sets the magvar option from the comparison of the two tables.
    void RefreshMagvarStatus();
    void UpdateCaption();

private:
    void CategoryChanged();
    void OfferDonation();
    void InstallSelection();
    void UninstallSelection();
    // Runs an install or uninstall; whatever cuts it short, the window leaves the busy state.
    void RunBusy(const std::function<void()>& run);
    StatusSelection CurrentSelection() const;
    // Counters, buttons, the open file list window and the activity label, from the counts
    // and lists of the last scan.
    void ShowFileStatus();
    void EnterBusyState(const char* statusText);
    void LeaveBusyState();
    // Ends the program after a package file went missing during a scan.
    void EndForMissingPackageFile();
    MsgAnswer ShowMessage(const MessageText& message, MsgButtons buttons = MsgButtons::Ok, int defaultButton = 1);
    MsgAnswer ShowMessage(MsgIcon icon, std::vector<std::string> lines);
    void Explain(bool& flag, const char* text);
    // While a change waits for a file that another program holds, the status line names it.
    void ShowHeldFile(const std::string& path);

    Platform& platform_;
    ProgramState& state_;
    Host& host_;
    std::deque<Label> lbl_;
    std::deque<Label> lblbglnb_;
    bool unloading_ = false;
    std::string statusBeforeWait_;
};

}  // namespace orvanta
