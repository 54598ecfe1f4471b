#include "support/WindowFixture.h"

#include <cstring>

#include "platform/PathSeparator.h"
#include "sim/SimTable.h"

namespace orvanta::test {

WindowFixture::WindowFixture() { env.localAppData = dir / "LocalAppData"; }

FileVersion DefaultVersionOf(SimVersion version) {
    switch (version) {
        case 1: return {10, 0, 61637, 0};
        case 2: return {10, 0, 62615, 0};
        default: return {static_cast<std::uint16_t>(version - 2), 5, 12, 30293};
    }
}

void WindowFixture::WritePackage(const PackageBuilder& package) {
    pkg = package.Write(dir / "pkg");
    env.programFolder = dir / "pkg";
}

std::string WindowFixture::InstallSimulator(SimVersion version, const SimFolderBuilder& simulator,
                                            FileVersion executableVersion) {
    const SimVersionInfo* info = FindSimInfo(version);
    SimFolderBuilder builder = simulator;
    builder.executableName = info->executable;
    builder.executableBytes = "MZ";
    const std::string folder = builder.Write(dir / ("sim" + std::to_string(version)));
    const RegistryLookup& lookup = info->lookups[0];
    registry.Set(lookup.root, lookup.key, lookup.valueName, folder.substr(0, folder.size() - 1), lookup.view);
    versions.versions[folder + info->executable] =
        executableVersion.IsZero() ? DefaultVersionOf(version) : executableVersion;
    return folder;
}

std::string WindowFixture::MakeShaderCache(SimVersion version) {
    std::string relative = FindSimInfo(version)->shaderFolder;
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    const std::string folder = dir / ("LocalAppData/" + relative);
    WriteBytes(folder + kSep + "shader1.bin", "s1");
    WriteBytes(folder + kSep + "sub" + kSep + "shader2.bin", "s2");
    return folder;
}

frmMain& WindowFixture::Start() {
    window = std::make_unique<frmMain>(platform, state, host);
    if (!host.statusLine) host.statusLine = [this] { return window->lblMess.Caption(); };
    window->Load();
    window->Show();
    window->Form_Activate();
    return *window;
}

void WindowFixture::Close() { window->Unload(); }

void WindowFixture::Tick(std::initializer_list<int> regions, std::initializer_list<const char*> categories) {
    for (int r : regions) window->RegionList.SetSelected(r, true);
    for (const char* c : categories) {
        CheckBox& box = std::strcmp(c, "APX") == 0   ? window->CheckAPX
                        : std::strcmp(c, "ATX") == 0 ? window->CheckATX
                                                     : window->CheckNVX;
        if (!box.Ticked()) box.Click();
    }
}

}  // namespace orvanta::test
