#include <gtest/gtest.h>

#include "engine/SimulatorGuard.h"
#include "support/Fakes.h"

namespace orvanta {
namespace {

// FSX is recognised by either of its window classes, Prepar3D by its exact process name;
// neither by the other's sign.
TEST(SimulatorGuardTest, EachSimulatorByItsOwnSign) {
    using Names = std::vector<std::string>;
    const Names nearMisses = {"prepar3d.exe", "PREPAR3D.EXE", "Prepar3D.exe.bak", " Prepar3D.exe"};
    const struct {
        const char* name;
        std::vector<SimVersion> sims;
        std::set<std::string> windowClasses;
        Names processes;
        bool running;
    } cases[] = {
        {"FSX main window", {1, 2}, {"FS98MAIN"}, {}, true},
        {"FSX's other window", {1, 2}, {"UIPCMAIN"}, {}, true},
        {"window classes match exactly", {1, 2}, {"fs98main", "OtherWindow"}, {"Prepar3D.exe"}, false},
        {"Prepar3D", {3, 4, 5, 6, 0, 7}, {}, {"explorer.exe", "Prepar3D.exe"}, true},
        {"process names match exactly", {3, 6}, {"FS98MAIN", "UIPCMAIN"}, nearMisses, false},
    };
    for (const auto& c : cases) {
        for (SimVersion sim : c.sims) {
            test::FakeProcesses p;
            p.windowClasses = c.windowClasses;
            p.processNames = c.processes;
            const SimulatorActivity a = IsSimulatorRunning(p, sim, "");
            EXPECT_EQ(a.running, c.running) << c.name << " " << sim;
            // Red when active, green when not; the texts are the window's to check.
            EXPECT_EQ(a.labelColour, (c.running ? LabelColour{192, 0, 0} : LabelColour{0, 96, 0})) << c.name;
        }
    }
}

}  // namespace
}  // namespace orvanta
