#include "ui/FrmMain.h"

#include "app/Paths.h"
#include "app/Startup.h"
#include "app/StartupMessages.h"
#include "app/Version.h"
#include "engine/BackupMigration.h"
#include "engine/Install.h"
#include "engine/Logs.h"
#include "engine/SimulatorGuard.h"
#include "engine/Uninstall.h"
#include "housekeeping/LaunchCounter.h"
#include "housekeeping/ShaderCache.h"
#include "package/PackageCheck.h"
#include "platform/TextLines.h"
#include "sim/Caption.h"
#include "sim/ProtectedFolder.h"
#include "sim/SimDetection.h"
#include "status/FileStatus.h"
#include "status/MagvarStatus.h"
#include "ui/Centering.h"
#include "ui/FrmSelect.h"

namespace orvanta {

namespace {

constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kDarkRed{128, 0, 0};
constexpr Rgb kLinkBlue{0, 0, 255};
constexpr Rgb kLightYellow{255, 255, 192};
constexpr Rgb kDarkGrey{64, 64, 64};
constexpr Rgb kLightGreen{192, 255, 192};
constexpr Rgb kLightPink{255, 192, 203};

constexpr const char* kCycleDesignText = "----";
constexpr const char* kDocumentationFile = "Orvanta_Package.pdf";

constexpr const char* kActivityRowLabel = "Simulator activity";

}  // namespace

frmMain::frmMain(Platform& platform, ProgramState& state, Host& host)
    : Frame_Region(Form.Revision(), "Frame_Region"),
      RegionList(Form.Revision(), "RegionList"),
      Frame_Status(Form.Revision(), "Frame_Status"),
      lblFSActivity(Form.Revision(), "lblFSActivity"),
      Frame_Update_Selection(Form.Revision(), "Frame_Update_Selection"),
      CheckMV(Form.Revision(), "CheckMV"),
      CheckNVX(Form.Revision(), "CheckNVX"),
      CheckAPX(Form.Revision(), "CheckAPX"),
      CheckATX(Form.Revision(), "CheckATX"),
      Frame_Options(Form.Revision(), "Frame_Options"),
      CheckForceFull(Form.Revision(), "CheckForceFull"),
      CheckCleanSF(Form.Revision(), "CheckCleanSF"),
      CheckLog(Form.Revision(), "CheckLog"),
      Label2(Form.Revision(), "Label2"),
      Label1(Form.Revision(), "Label1"),
      lblCycle(Form.Revision(), "lblCycle"),
      lblDoc(Form.Revision(), "lblDoc"),
      cmdInstall(Form.Revision(), "cmdInstall"),
      cmdUninstall(Form.Revision(), "cmdUninstall"),
      lblMess(Form.Revision(), "lblMess"),
      Display(platform, state, host),
      platform_(platform),
      state_(state),
      host_(host) {
    Form.Resize(kWidth, kHeight, kClientHeight);

    Frame_Region.SetCaption("Region selector");
    for (const char* name : kRegionNames) RegionList.AddItem(name);

    Frame_Status.SetCaption(RegionStatusCaption(0));
    for (int i = 0; i < 6; ++i) {
        lbl_.emplace_back(Form.Revision(), "lbl", i);
        lbl_.back().SetCaption(i < kStatusCount ? kStatusLabelNames[i] : kActivityRowLabel);
    }
    for (int i = 0; i < kStatusCount; ++i) {
        lblbglnb_.emplace_back(Form.Revision(), "lblbglnb", i);
        lblbglnb_.back().SetCaption("None");
    }
    lblbglnb(kMissingDestination).SetForeColor(kGreen);

    Frame_Update_Selection.SetCaption("Update selection (install and uninstall)");
    CheckMV.SetCaption("Magvar table");
    CheckNVX.SetCaption("En route navaids");
    CheckAPX.SetCaption("Airport data (see documentation)");
    CheckATX.SetCaption("Airways, en route and RNAV fixes");

    Frame_Options.SetCaption("Options");
    CheckForceFull.SetCaption("Force full install ");
    CheckCleanSF.SetCaption("Clean shader files on exit");
    CheckLog.SetCaption("Log install actions (support)");
    Label2.SetCaption("See documentation for option functions");
    Label2.SetForeColor(kDarkRed);

    Label1.SetCaption("AIRAC Cycle:");
    lblCycle.SetCaption(kCycleDesignText);
    lblCycle.Style.bold = true;
    lblDoc.SetCaption("Documentation");
    lblDoc.SetForeColor(kLinkBlue);
    lblDoc.Style.underline = true;
    cmdInstall.SetCaption("Install selection");
    cmdInstall.Style.backColor = kLightGreen;
    cmdInstall.SetEnabled(false);
    cmdUninstall.SetCaption("Uninstall selection");
    cmdUninstall.Style.backColor = kLightPink;
    cmdUninstall.SetEnabled(false);
    lblMess.SetForeColor(kLightYellow);
    lblMess.Style.backColor = kDarkGrey;

    RegionList.OnItemCheck = [this](int index) { RegionList_ItemCheck(index); };
    CheckAPX.OnChange = [this] { CheckAPX_Click(); };
    CheckATX.OnChange = [this] { CheckATX_Click(); };
    CheckNVX.OnChange = [this] { CheckNVX_Click(); };
    CheckMV.OnChange = [this] { CheckMV_Click(); };
    CheckForceFull.OnChange = [this] { CheckForceFull_Click(); };
    CheckLog.OnChange = [this] { CheckLog_Click(); };
    CheckCleanSF.OnChange = [this] { CheckCleanSF_Click(); };
    for (int i = 0; i < kStatusCount; ++i) lblbglnb(i).OnClick = [this, i] { lblbglnb_Click(i); };
    lblDoc.OnClick = [this] { lblDoc_Click(); };
    cmdInstall.OnClick = [this] { cmdInstall_Click(); };
    cmdUninstall.OnClick = [this] { cmdUninstall_Click(); };
    platform_.fs.SetHoldNotice([this](const std::string& path) { ShowHeldFile(path); });
}

frmMain::~frmMain() { platform_.fs.SetHoldNotice({}); }

// ---- Loading, activation and closing ----

void frmMain::Load() {
    if (Form.Loaded() || unloading_) return;
    Form.SetLoaded(true);
    Form_Load();
}

void frmMain::Show() {
    if (!Form.Loaded() || Form.Visible()) return;
    Form.SetVisible(true);
    host_.FormShown(FormId::Main);
}

void frmMain::Unload() {
    if (!Form.Loaded() || unloading_) return;
    unloading_ = true;
    Form_QueryUnload();
    Form_Unload();
    Form.SetLoaded(false);
    host_.FormUnloaded(FormId::Main);
}

void frmMain::Form_Load() {
    RunEvent([&] {
        state_.AppTitle = kAppTitle;
        state_.AppFolder = AddBackslash(platform_.env.ProgramFolder());
        FirstActivation = true;

        if (!platform_.env.AcquireSingleInstanceLock()) {
            MessageRequest request;
            request.centred = false;  // the window is not visible yet
            request.title = state_.AppTitle;
            request.lines = {kAnotherInstanceLines.begin(), kAnotherInstanceLines.end()};
            const std::string lockFile = platform_.env.LockFileInTheWay();
            if (!lockFile.empty()) request.lines.push_back(LockFileInTheWayLine(lockFile));
            request.icon = MsgIcon::Exclamation;
            host_.ShowMessage(request);
            Unload();
            return;
        }

        state_.NoDetect = CommandLineAsksNoDetect(platform_.env.CommandLineText());
        CheckPackage(platform_.fs, state_, ErrorLogText);
        if (!ErrorLogText.empty()) {
            UpdateCaption();
            WriteErrorLog(platform_.fs, state_.AppFolder, ErrorLogText);
            return;
        }

        lblCycle.SetCaption(ReadCycleLabel(platform_.fs, state_.AppFolder));
        if (!state_.NoDetect) {
            DetectSimulators(platform_, state_);
            int detected = 0;
            SimVersion only = kNoSim;
            for (int i = kFirstSim; i <= kLastSim; ++i) {
                if (state_.SimFolders[i].empty()) continue;
                ++detected;
                only = static_cast<SimVersion>(i);
            }
            if (detected == 1) {
                SimAutoSelected = true;
                state_.SelectedSim = only;
                state_.SelectedSimFolder = state_.SimFolders[only];
                state_.ShaderFolder = ShaderCacheFolder(platform_.fs, platform_.env, only);
                if (state_.ShaderFolder.empty()) CheckCleanSF.SetEnabled(false);
            }
        }
        UpdateCaption();
        ExplainForceFull = true;
        ExplainLog = true;
        ExplainCleanSF = true;
    });
}

void frmMain::Form_Activate() {
    RunEvent([&] {
        if (!FirstActivation || !Form.Loaded()) return;
        FirstActivation = false;

        if (!ErrorLogText.empty()) {
            ShowMessage(MsgIcon::Critical, {kPackageDamagedLines.begin(), kPackageDamagedLines.end()});
            Unload();
            return;
        }

        if (!SimAutoSelected) {
            frmSelect select(platform_, state_, host_);
            select.Load();
            const WindowPlace place = CenteredSelectionPlace(Form.Left(), Form.Top(), Form.Width(), Form.Height(),
                                                             select.Form.Width(), select.Form.Height());
            select.Form.Move(place.left, place.top);
            select.Form.SetVisible(true);
            host_.ShowModal(select);
            // A session that ended meanwhile has closed the program: nothing more starts.
            if (state_.SelectedSim == kNoSim || !Form.Loaded()) {
                Unload();
                return;
            }
            UpdateCaption();
            state_.ShaderFolder = ShaderCacheFolder(platform_.fs, platform_.env, state_.SelectedSim);
            if (state_.ShaderFolder.empty()) CheckCleanSF.SetEnabled(false);
        }

        if (!IsSceneryWritable(platform_, state_)) {
            ShowMessage(MsgIcon::Critical, {kProtectedFolderMessage});
            Unload();
            return;
        }

        // The hourglass first: the status line's repaint puts both on the screen before the
        // migration holds the thread.
        Form.SetPointer(MousePointer::Hourglass);
        ShowStatusMessage(kMigratingText);
        const int failures = MigrateBackupExtensions(platform_.fs, state_, ErrorLogText);
        Form.SetPointer(MousePointer::Default);
        ShowStatusMessage("");
        if (failures > 0) {
            ShowMessage(MigrationFailureMessage(failures));
            Unload();
            return;
        }

        RefreshMagvarStatus();
        IsSimulatorRunning("");
    });
}

void frmMain::Form_QueryUnload() {
    RunEvent([&] {
        if (!ShouldCleanShaderCache(platform_.fs, state_.ShaderFolder, CheckCleanSF.Ticked(), SignificantChanges)) {
            return;
        }
        ShowStatusMessage(kCleaningShadersText);
        CleanShaderCache(platform_.fs, state_.ShaderFolder);
    });
}

void frmMain::Form_Unload() {
    RunEvent([&] { Display.Unload(); });
}

// ---- Regions, categories and the status display ----

void frmMain::RegionList_ItemCheck(int) {
    RunEvent([&] { RefreshRegionStatus(); });
}

void frmMain::RefreshRegionStatus() {
    SelectedRegionCount = 0;
    for (int i = 0; i < RegionList.ListCount(); ++i) {
        if (RegionList.Selected(i)) ++SelectedRegionCount;
    }
    Frame_Status.SetCaption(RegionStatusCaption(SelectedRegionCount));
    if (SelectedRegionCount >= 1) {
        RefreshFileStatus();
        return;
    }
    ResetFileStatus();
    if (state_.DisplayOpen) Display.Unload();
}

StatusSelection frmMain::CurrentSelection() const {
    StatusSelection selection;
    for (int i = 0; i < kRegionCount && i < RegionList.ListCount(); ++i) selection.regions[i] = RegionList.Selected(i);
    selection.categories[static_cast<int>(FileCategory::APX)] = CheckAPX.Ticked();
    selection.categories[static_cast<int>(FileCategory::ATX)] = CheckATX.Ticked();
    selection.categories[static_cast<int>(FileCategory::NVX)] = CheckNVX.Ticked();
    selection.forceFull = CheckForceFull.Value() != 0;
    return selection;
}

bool frmMain::RefreshFileStatus() {
    const ScanResult scan = orvanta::RefreshFileStatus(platform_.fs, state_, CurrentSelection());
    if (!scan.packageIntact) {
        EndForMissingPackageFile();
        return false;
    }
    ShowFileStatus();
    return true;
}

void frmMain::ShowFileStatus() {
    const StatusView view = DescribeStatus(state_, CheckMV.Ticked());
    for (int i = 0; i < kStatusCount; ++i) {
        const CounterView& counter = view.counters[i];
        Label& label = lblbglnb(i);
        label.SetCaption(counter.caption);
        if (i == kAvailable) continue;
        label.SetPointer(counter.clickable ? MousePointer::ArrowQuestion : MousePointer::Default);
        label.SetToolTipText(counter.tooltip);
    }
    cmdInstall.SetEnabled(view.installEnabled);
    cmdUninstall.SetEnabled(view.uninstallEnabled);
    if (state_.DisplayOpen) {
        if (state_.StatusCounts[state_.DisplayedStatus] < 1) {
            Display.Unload();
        } else {
            Display.DisplayCaption();
            Display.DisplayBGLList();
        }
    }
    IsSimulatorRunning("");
}

void frmMain::ResetFileStatus() {
    orvanta::ResetFileStatus(state_);
    for (int i = 0; i < kStatusCount; ++i) {
        Label& label = lblbglnb(i);
        label.SetCaption("None");
        if (i == kAvailable) continue;
        label.SetPointer(MousePointer::Default);
        label.SetToolTipText("");
    }
    lblbglnb(kMissingDestination).SetForeColor(kGreen);
    cmdInstall.SetEnabled(CheckMV.Ticked());
    cmdUninstall.SetEnabled(false);
}

void frmMain::EndForMissingPackageFile() {
    ShowMessage(MissingPackageFileMessage());
    Unload();
}

void frmMain::CheckAPX_Click() {
    RunEvent([&] { CategoryChanged(); });
}

void frmMain::CheckATX_Click() {
    RunEvent([&] { CategoryChanged(); });
}

void frmMain::CheckNVX_Click() {
    RunEvent([&] { CategoryChanged(); });
}

void frmMain::CategoryChanged() {
    if (!CheckAPX.Ticked() && !CheckATX.Ticked() && !CheckNVX.Ticked()) {
        ResetFileStatus();
        if (state_.DisplayOpen) Display.Unload();
        return;
    }
    RefreshFileStatus();
}

// ---- Options ----

void frmMain::CheckMV_Click() {
    RunEvent([&] {
        if (CheckMV.Ticked()) {
            cmdInstall.SetEnabled(true);
        } else if (lblbglnb(kUpdatable).Caption() == "None") {
            cmdInstall.SetEnabled(false);
        }
    });
}

void frmMain::Explain(bool& flag, const char* text) {
    if (!flag) return;
    ShowMessage(MsgIcon::Information, {text});
    flag = false;
}

void frmMain::CheckForceFull_Click() {
    RunEvent([&] {
        if (CheckForceFull.Ticked()) {
            Explain(ExplainForceFull,
                    "This will update all selected files regardless of date/time stamp. Only use in case of an "
                    "incomplete update");
        }
        if (Form.Loaded() && SelectedRegionCount >= 1 &&
            (CheckNVX.Ticked() || CheckAPX.Ticked() || CheckATX.Ticked())) {
            RefreshFileStatus();
        }
    });
}

void frmMain::CheckLog_Click() {
    RunEvent([&] {
        if (!CheckLog.Ticked()) return;
        Explain(ExplainLog,
                "This will log all program actions in an Installer_Actions.log file. Only use this option on "
                "request for support");
    });
}

void frmMain::CheckCleanSF_Click() {
    RunEvent([&] {
        if (!CheckCleanSF.Ticked()) return;
        Explain(ExplainCleanSF,
                "This option will make the shader cache is cleared on exit if significant changes occured");
    });
}

void frmMain::lblDoc_Click() {
    RunEvent([&] {
        // A document the shell cannot open (its path too long for it, say) gives way to the
        // web page.
        const std::string document = state_.AppFolder + kDocumentationFile;
        if (!platform_.fs.Exists(document) || !platform_.shell.Open(document)) {
            (void)platform_.shell.Open(kDocumentationUrl);
        }
    });
}

void frmMain::lblDoc_MouseMove() {
    RunEvent([&] { host_.SetCursor(MousePointer::Hand); });
}

void frmMain::lblbglnb_Click(int index) {
    RunEvent([&] {
        if (index <= kAvailable || index >= kStatusCount || state_.StatusCounts[index] < 1) return;
        state_.DisplayedStatus = index;
        if (state_.DisplayOpen) {
            Display.DisplayCaption();
            Display.DisplayBGLList();
            return;
        }
        Display.Load(Form.ClientHeight());
        const WindowPlace place = DisplayPlaceBeside(Form.Left(), Form.Top(), Form.Width());
        Display.Form.Move(place.left, place.top);
        Display.Show();
    });
}

// ---- Install and uninstall ----

void frmMain::EnterBusyState(const char* statusText) {
    // Disabled before the repaint, so that the painted window already looks busy.
    Form.SetPointer(MousePointer::Hourglass);
    Form.SetEnabled(false);
    ShowStatusMessage(statusText);
}

void frmMain::LeaveBusyState() {
    Form.SetEnabled(true);
    Form.SetPointer(MousePointer::Default);
    ShowStatusMessage("");
}

void frmMain::RunBusy(const std::function<void()>& run) {
    try {
        run();
    } catch (...) {
        // A run cut short must not leave the window disabled for good.
        if (Form.Loaded() && !Form.Enabled()) LeaveBusyState();
        throw;
    }
}

void frmMain::cmdInstall_Click() {
    RunEvent([&] { RunBusy([&] { InstallSelection(); }); });
}

void frmMain::InstallSelection() {
    if (IsSimulatorRunning(kInstallOperationName)) return;
    EnterBusyState(kInstallingText);

    InstallOptions options;
    options.selection = CurrentSelection();
    options.magvar = CheckMV.Ticked();
    options.log = CheckLog.Ticked();
    const InstallResult result =
        RunInstall({platform_.fs, platform_.regional}, state_, options, {ErrorLogText, ActionsLogText});
    // Set before anything below can end the program: files may have changed, and the exit
    // path cleans the shader cache only after a change.
    SignificantChanges = true;
    if (result.magvarAttempted) {
        if (result.magvarOption.untick) CheckMV.SetValue(0);
        CheckMV.SetEnabled(result.magvarOption.enabled);
        CheckMV.SetCaption(result.magvarOption.caption);
    }
    if (CheckForceFull.Ticked()) CheckForceFull.SetValue(0);
    if (!Form.Loaded()) return;  // the unticked option's own rescan ended the program
    if (!result.rescan.packageIntact) {
        LeaveBusyState();
        EndForMissingPackageFile();
        return;
    }
    ShowFileStatus();
    LeaveBusyState();
    ShowMessage(result.closing);
    // Not once the session has ended under the message: the count is a change too.
    if (result.Succeeded() && Form.Loaded()) OfferDonation();
}

void frmMain::cmdUninstall_Click() {
    RunEvent([&] { RunBusy([&] { UninstallSelection(); }); });
}

void frmMain::UninstallSelection() {
    if (IsSimulatorRunning(kUninstallOperationName)) return;
    EnterBusyState(kUninstallingText);

    UninstallOptions options;
    options.selection = CurrentSelection();
    options.log = CheckLog.Ticked();
    if (UninstallAsksRestore(state_)) {
        options.restoreMissing = ShowMessage(RestoreQuestion(), MsgButtons::YesNo, 1) == kAnswerYes;
        // The session ended while the question was open: the exit path has run, and the
        // process may end at any moment. Nothing changed, so nothing counts as a change.
        if (!Form.Loaded()) return;
    }
    const UninstallResult result =
        RunUninstall({platform_.fs, platform_.regional}, state_, options, {ErrorLogText, ActionsLogText});
    SignificantChanges = true;
    if (!result.rescan.packageIntact) {
        LeaveBusyState();
        EndForMissingPackageFile();
        return;
    }
    ShowFileStatus();
    LeaveBusyState();
    ShowMessage(result.closing);
}

void frmMain::OfferDonation() {
    const std::int32_t count = CountUpdateLaunch(platform_.settings);
    if (!IsDonationDue(count)) return;
    if (ShowMessage(DonationPrompt(), MsgButtons::YesNo, 2) == kAnswerYes) (void)platform_.shell.Open(kDonationUrl);
}

// ---- Shared pieces ----

void frmMain::ShowStatusMessage(const std::string& text) {
    lblMess.SetCaption(text);
    host_.RepaintNow(FormId::Main);
}

void frmMain::ShowHeldFile(const std::string& path) {
    if (path.empty()) {
        ShowStatusMessage(statusBeforeWait_);
        return;
    }
    statusBeforeWait_ = lblMess.Caption();
    ShowStatusMessage(HeldFileText(path));
}

bool frmMain::IsSimulatorRunning(const std::string& operationName) {
    const SimulatorActivity activity =
        orvanta::IsSimulatorRunning(platform_.processes, state_.SelectedSim, operationName);
    lblFSActivity.SetCaption(activity.labelCaption);
    lblFSActivity.SetForeColor(Rgb{activity.labelColour.red, activity.labelColour.green, activity.labelColour.blue});
    if (activity.running && !activity.message.empty()) ShowMessage(MsgIcon::Information, SplitLines(activity.message));
    return activity.running;
}

void frmMain::RefreshMagvarStatus() {
    const MagvarOption option = orvanta::RefreshMagvarStatus(platform_.fs, state_);
    if (option.untick) CheckMV.SetValue(0);
    CheckMV.SetEnabled(option.enabled);
    CheckMV.SetCaption(option.caption);
}

void frmMain::UpdateCaption() {
    Form.SetCaption(BuildCaption(platform_.versions, state_.SelectedSim, state_.SelectedSimFolder));
}

MsgAnswer frmMain::ShowMessage(const MessageText& message, MsgButtons buttons, int defaultButton) {
    MessageRequest request;
    request.owner = FormId::Main;
    request.title = state_.AppTitle;
    request.lines = message.lines;
    request.icon = message.icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return host_.ShowMessage(request);
}

MsgAnswer frmMain::ShowMessage(MsgIcon icon, std::vector<std::string> lines) {
    MessageRequest request;
    request.owner = FormId::Main;
    request.title = state_.AppTitle;
    request.lines = std::move(lines);
    request.icon = icon;
    return host_.ShowMessage(request);
}

}  // namespace orvanta
