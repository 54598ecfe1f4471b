#include "ui/win32/Layouts.h"

namespace orvanta {

std::vector<ControlPlace> MainLayout(frmMain& f) {
    using K = NativeKind;
    std::vector<ControlPlace> places = {
        // Top left: the regions.
        {&f.Frame_Region, K::Frame, 8, 6, 196, 196},
        {&f.RegionList, K::CheckedList, 18, 26, 176, 166},
        // Top right: the status counters and the simulator activity.
        {&f.Frame_Status, K::Frame, 212, 6, 404, 196},
    };
    for (int i = 0; i < 5; ++i) {
        places.push_back({&f.lbl(i), K::Label, 226, 30 + 22 * i, 200, 18});
        places.push_back({&f.lblbglnb(i), K::Counter, 440, 30 + 22 * i, 164, 18});
    }
    const std::vector<ControlPlace> rest = {
        {nullptr, K::Separator, 226, 146, 378, 2},
        {&f.lbl(5), K::Label, 226, 158, 200, 18},
        {&f.lblFSActivity, K::Label, 440, 158, 164, 18},
        // Bottom left: what the install and uninstall take.
        {&f.Frame_Update_Selection, K::Frame, 8, 208, 300, 134},
        {&f.CheckMV, K::CheckBox, 20, 228, 282, 20},
        {&f.CheckNVX, K::CheckBox, 20, 254, 282, 20},
        {&f.CheckAPX, K::CheckBox, 20, 280, 282, 20},
        {&f.CheckATX, K::CheckBox, 20, 306, 282, 20},
        // Bottom right: the options.
        {&f.Frame_Options, K::Frame, 316, 208, 300, 134},
        {&f.CheckForceFull, K::CheckBox, 328, 228, 282, 20},
        {&f.CheckCleanSF, K::CheckBox, 328, 254, 282, 20},
        {&f.CheckLog, K::CheckBox, 328, 280, 282, 20},
        {&f.Label2, K::Label, 330, 312, 280, 18},
        // The row under the frames.
        {&f.Label1, K::Label, 10, 360, 78, 18},
        {&f.lblCycle, K::Label, 88, 360, 70, 18},
        {&f.lblDoc, K::Link, 170, 360, 100, 18},
        {&f.cmdInstall, K::Button, 326, 352, 140, 30},
        {&f.cmdUninstall, K::Button, 474, 352, 142, 30},
        // The status line along the bottom edge, across the whole width.
        {&f.lblMess, K::Label, 0, -24, 0, 0},
    };
    places.insert(places.end(), rest.begin(), rest.end());
    return places;
}

std::vector<ControlPlace> SelectLayout(frmSelect& f) {
    using K = NativeKind;
    std::vector<ControlPlace> places = {{&f.FrameSim, K::Frame, 8, 6, 280, 170}};
    // The options stacked in SimVersion order.
    for (int i = 1; i <= 6; ++i) places.push_back({&f.OptSim(i), K::Option, 22, 26 + 23 * (i - 1), 256, 20});
    places.push_back({&f.cmdSet, K::Button, 8, 190, 90, 28});
    places.push_back({&f.cmdCancel, K::Button, 104, 190, 90, 28});
    places.push_back({&f.cmdSelect, K::DefaultButton, 200, 190, 88, 28});
    return places;
}

std::vector<ControlPlace> DisplayLayout(frmDisplay& f) {
    using K = NativeKind;
    return {
        // The list takes the window down to the date row.
        {&f.DisplayList, K::ListBox, 6, 6, -6, -30},
        {&f.lblNFD1, K::Label, 8, -24, 96, 18},
        {&f.lblNFD2, K::Label, 104, -24, 160, 18},
    };
}

}  // namespace orvanta
