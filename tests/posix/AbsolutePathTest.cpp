#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "cli/Cli.h"
#include "platform/posix/PosixEnvironment.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
#include "support/SimFolderBuilder.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

TEST(AbsolutePathTest, RelativePathsHangFromTheCurrentFolderAsWritten) {
    struct Case {
        const char* current;
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"/home/pilot", "Downloads/Orvanta", "/home/pilot/Downloads/Orvanta"},
        {"/home/pilot/", "./pkg/", "/home/pilot/pkg/"},
        {"/home/pilot", ".", "/home/pilot"},
        {"/home/pilot", "", "/home/pilot"},
        {"/home/pilot", "a//./b", "/home/pilot/a/b"},
        {"/home/pilot/link", "../FSX", "/home/pilot/link/../FSX"},  // the link's parent, not /home/pilot
        {"/", "sims/FSX", "/sims/FSX"},
        {"/home/pilot", "/opt/./FSX", "/opt/./FSX"},  // absolute already: as given
    };
    for (const Case& c : cases) EXPECT_EQ(AbsolutePathFrom(c.current, c.path), c.expected) << c.path;
}

// Support reads the logs away from the user's shell: they must name whole paths.
TEST(AbsolutePathTest, RelativeFoldersReachTheLogsAbsolute) {
    test::TempDir dir;
    test::ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    test::PackageBuilder().Write(dir / "pkg");
    test::SimFolderBuilder sim;
    sim.Add("0502", "APX47180.bgl", "the simulator's own");
    sim.executableName = "Prepar3D.exe";
    sim.executableBytes = tools::MakeVersionedExecutable(4, 5, 12, 30293);
    sim.Write(dir / "P3D");
    NativePlatformOptions isolated;
    isolated.instanceLockPath = dir / "instance.lock";

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::ostringstream out, err;
    const int code = cli::RunOrvanta({"--package", "pkg", "--nodetect", "--sim-folder", "./P3D/", "install",
                                      "--regions", "europe", "--categories", "apx", "--log"},
                                     out, err, isolated);
    std::filesystem::current_path(before);

    EXPECT_EQ(code, 0) << err.str();
    const std::string log = test::ReadBytes(dir / "pkg/Installer_Actions.log");
    EXPECT_NE(log.find("Backup rename: " + test::SimSceneryPath(dir / "P3D/", "0502", "APX47180.bgl")),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(dir / "pkg/APXFiles/APX47180.bgl"), std::string::npos) << log;
}

}  // namespace
}  // namespace orvanta
