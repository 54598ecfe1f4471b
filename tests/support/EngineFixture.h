#pragma once

#include <memory>
#include <string>

#include "app/ProgramState.h"
#include "engine/RunTypes.h"
#include "package/PackageCheck.h"
#include "platform/NativePlatform.h"
#include "status/FileStatus.h"
#include "support/Fakes.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta::test {

// A package and a simulator folder in a temporary folder, the package checked and the
// simulator selected, as start-up leaves the state.
struct EngineFixture {
    TempDir dir;
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    FixedRegional regional;
    ProgramState state;
    std::string pkg;  // package folder, ending with the separator
    std::string sim;  // simulator folder, ending with the separator
    std::string errorLog;
    std::string actionsLog;

    FileSystem& fs() { return native->get().fs; }

    // Returns false (and leaves the package's findings in errorLog) when the package is damaged.
    bool Build(const PackageBuilder& package, const SimFolderBuilder& simulator, SimVersion version = 6) {
        pkg = package.Write(dir / "pkg");
        sim = simulator.Write(dir / "sim");
        state.AppTitle = kAppTitle;
        state.AppFolder = pkg;
        CheckPackage(fs(), state, errorLog);
        state.SelectedSim = version;
        state.SelectedSimFolder = sim;
        return errorLog.empty();
    }

    static StatusSelection All() {
        StatusSelection s;
        s.regions.fill(true);
        s.categories.fill(true);
        return s;
    }

    std::string Dest(const std::string& area, const std::string& name) const { return SimSceneryPath(sim, area, name); }
    std::string Source(const std::string& category, const std::string& name) const {
        return pkg + category + "Files" + kSep + name;
    }
};

}  // namespace orvanta::test
