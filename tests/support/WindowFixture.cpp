#include "support/WindowFixture.h"

#include <algorithm>

#include "platform/PathSeparator.h"
#include "sim/SimTable.h"

namespace orvanta::test {

WindowFixture::WindowFixture() { env.localAppData = dir / "LocalAppData"; }

void WindowFixture::WritePackage(const PackageBuilder& package) {
    pkg = package.Write(dir / "pkg");
    env.programFolder = dir / "pkg";
}

std::string WindowFixture::InstallSimulator(SimVersion version, const SimFolderBuilder& simulator) {
    const SimVersionInfo* info = FindSimInfo(version);
    SimFolderBuilder builder = simulator;
    builder.executableName = info->executable;
    builder.executableBytes = "MZ";
    const std::string folder = builder.Write(dir / ("sim" + std::to_string(version)));
    const RegistryLookup& lookup = info->lookups[0];
    registry.Set(lookup.root, lookup.key, lookup.valueName, folder.substr(0, folder.size() - 1), lookup.view);
    // FSX with the Acceleration pack, the Steam Edition, or Prepar3D of the version's major.
    versions.versions[folder + info->executable] =
        version == 1   ? FileVersion{10, 0, 61637, 0}
        : version == 2 ? FileVersion{10, 0, 62615, 0}
                       : FileVersion{static_cast<std::uint16_t>(version - 2), 5, 12, 30293};
    return folder;
}

std::string WindowFixture::MakeShaderCache(SimVersion version) {
    std::string relative = FindSimInfo(version)->shaderFolder;
    std::replace(relative.begin(), relative.end(), '\\', kSep);
    const std::string folder = dir / ("LocalAppData/" + relative);
    WriteBytes(folder + kSep + "sub" + kSep + "shader.bin", "compiled");
    return folder;
}

frmMain& WindowFixture::Load() {
    window = std::make_unique<frmMain>(platform, state, host);
    host.look = [this] {
        return window->lblMess.Caption() + (window->Form.Enabled() ? "" : " [disabled]") +
               (window->Form.Pointer() == MousePointer::Hourglass ? " [hourglass]" : "");
    };
    window->Load();
    return *window;
}

frmMain& WindowFixture::Start() {
    Load();
    window->Show();
    window->Form_Activate();
    return *window;
}

void WindowFixture::Tick(std::initializer_list<int> regions, const std::vector<CheckBox frmMain::*>& boxes) {
    for (int r : regions) window->RegionList.SetSelected(r, true);
    for (CheckBox frmMain::*box : boxes) ((*window).*box).SetValue(1);
}

std::string WindowFixture::Status() const {
    std::string s;
    for (int i = 0; i < kStatusCount; ++i) {
        const Label& counter = window->lblbglnb(i);
        s += (i > 0 ? " " : "") + counter.Caption() + (counter.Pointer() == MousePointer::ArrowQuestion ? "?" : "") +
             (counter.ToolTipText().empty() ? "" : "!");
    }
    if (window->cmdInstall.Enabled()) s += " +install";
    if (window->cmdUninstall.Enabled()) s += " +uninstall";
    return s;
}

}  // namespace orvanta::test
