#pragma once

#include <memory>
#include <string>

#include "app/ProgramState.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/FakeHost.h"
#include "support/Fakes.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "ui/FrmMain.h"

namespace orvanta::test {

// The window program on real temporary folders: a package folder that is the program's
// folder, simulator folders registered in a fake registry, the native file system behind
// a fault injector, and a fake screen that answers from a script.
struct WindowFixture : FakePlatform {
    TempDir dir;
    FaultInjectingFileSystem fs{native->get().fs};
    Platform platform = Over(fs);  // the program sees the native file system through the injector
    ProgramState state;
    FakeHost host;
    std::unique_ptr<frmMain> window;
    std::string pkg;  // package folder, ending with the separator

    WindowFixture();

    // Writes the package and makes its folder the program's folder.
    void WritePackage(const PackageBuilder& package = {});
    // Writes a simulator main folder with its executable and registers it where detection
    // looks for that SimVersion first. Returns the folder with a separator.
    std::string InstallSimulator(SimVersion version, const SimFolderBuilder& simulator = {});
    // Creates the shader cache folder of a SimVersion with some content; returns it.
    std::string MakeShaderCache(SimVersion version);

    // Loads the main window; Start also shows it and runs its first activation.
    frmMain& Load();
    frmMain& Start();
    bool Running() const { return window && window->Form.Loaded(); }

    void Tick(std::initializer_list<int> regions, const std::vector<CheckBox frmMain::*>& boxes = {});
    // The counters at a glance, each caption followed by '?' for the arrow-and-question-mark
    // pointer and '!' for a tooltip, then the enabled buttons.
    std::string Status() const;
};

}  // namespace orvanta::test
