#include <gtest/gtest.h>

#include "engine/SimulatorGuard.h"
#include "platform/posix/PosixProcesses.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// On Linux a process stands for FSX's windows: its image name, as Wine shows it, is
// FSX.exe in any letter case (Windows names ignore case). Prepar3D's rule stays exact.
TEST(PosixFsxGuardTest, FsxRunsUnderItsNameInAnyCase) {
    struct Case {
        const char* image;
        bool fsxRuns;
        bool prepar3DRuns;
    };
    const Case cases[] = {
        {"FSX.exe", true, false}, {"fsx.exe", true, false},      {"FSX.EXE", true, false},
        {"Fsx.Exe", true, false}, {"FSX.exe.bak", false, false}, {"MyFSX.exe", false, false},
        {"FSX", false, false},    {"Prepar3D.exe", false, true}, {"prepar3d.exe", false, false},
    };
    for (const Case& c : cases) {
        test::TempDir proc;
        test::WriteBytes(proc / "4242/cmdline", std::string("C:\\Sims\\") + c.image + '\0' + "-x" + '\0');
        PosixProcesses processes(proc.path());
        for (SimVersion sim : {1, 2}) EXPECT_EQ(IsSimulatorRunning(processes, sim, "").running, c.fsxRuns) << c.image;
        EXPECT_EQ(IsSimulatorRunning(processes, 6, "").running, c.prepar3DRuns) << c.image;
    }
}

}  // namespace
}  // namespace orvanta
