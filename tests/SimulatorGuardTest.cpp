#include <gtest/gtest.h>

#include "engine/SimulatorGuard.h"
#include "support/FakePlatform.h"

namespace orvanta {
namespace {

TEST(SimulatorGuardTest, FsxIsRecognisedByEitherWindowClass) {
    for (SimVersion sim : {1, 2}) {
        for (const char* cls : {"UIPCMAIN", "FS98MAIN"}) {
            test::FakeProcesses p;
            p.windowClasses = {cls};
            p.processNames = {"Prepar3D.exe"};  // not looked at for FSX
            EXPECT_TRUE(IsSimulatorRunning(p, sim, "").running) << sim << cls;
            // Both classes are always asked, in this order.
            EXPECT_EQ(p.windowQueries, (std::vector<std::string>{"UIPCMAIN", "FS98MAIN"}));
            EXPECT_EQ(p.processQueries, 0);
        }
        test::FakeProcesses none;
        none.windowClasses = {"fs98main", "OtherWindow"};
        EXPECT_FALSE(IsSimulatorRunning(none, sim, "").running);
    }
}

TEST(SimulatorGuardTest, Prepar3DIsRecognisedByItsExactProcessName) {
    for (SimVersion sim : {3, 4, 5, 6, 0, 7}) {
        test::FakeProcesses p;
        p.windowClasses = {"FS98MAIN", "UIPCMAIN"};  // an FSX window does not count for Prepar3D
        p.processNames = {"explorer.exe", "prepar3d.exe", "PREPAR3D.EXE", "Prepar3D.exe.bak", " Prepar3D.exe"};
        EXPECT_FALSE(IsSimulatorRunning(p, sim, "").running) << sim;
        EXPECT_TRUE(p.windowQueries.empty());
        p.processNames.push_back("Prepar3D.exe");
        EXPECT_TRUE(IsSimulatorRunning(p, sim, "").running) << sim;
    }
}

TEST(SimulatorGuardTest, LabelAndMessage) {
    test::FakeProcesses p;
    SimulatorActivity a = IsSimulatorRunning(p, 6, "Installation");
    EXPECT_FALSE(a.running);
    EXPECT_EQ(a.labelCaption, "Inactive");
    EXPECT_EQ(a.labelColour, (LabelColour{0, 96, 0}));
    EXPECT_EQ(a.message, "");

    p.processNames = {"Prepar3D.exe"};
    a = IsSimulatorRunning(p, 6, "");  // label refresh only
    EXPECT_TRUE(a.running);
    EXPECT_EQ(a.labelCaption, "Active");
    EXPECT_EQ(a.labelColour, (LabelColour{192, 0, 0}));
    EXPECT_EQ(a.message, "");

    a = IsSimulatorRunning(p, 6, "Installation");
    EXPECT_EQ(a.message,
              "Installation cannot be performed while the simulator is running\r\nClose the simulator and retry");
    a = IsSimulatorRunning(p, 3, "Uninstall");
    EXPECT_EQ(a.message,
              "Uninstall cannot be performed while the simulator is running\r\nClose the simulator and retry");
}

TEST(SimulatorGuardTest, IsProcessRunningComparesExactly) {
    test::FakeProcesses p;
    EXPECT_FALSE(IsProcessRunning(p, "FSX.exe"));
    p.processNames = {"fsx.exe", "FSX.EXE"};
    EXPECT_FALSE(IsProcessRunning(p, "FSX.exe"));
    p.processNames.push_back("FSX.exe");
    EXPECT_TRUE(IsProcessRunning(p, "FSX.exe"));
    EXPECT_FALSE(IsProcessRunning(p, ""));
}

}  // namespace
}  // namespace orvanta
