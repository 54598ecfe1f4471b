#include <gtest/gtest.h>

#include "engine/BackupMigration.h"
#include "engine/Logs.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

// APX47180 and ATX05021 lie in area 0502 (Europe); APX00010, ATX00001 and NVX00001 in
// area 0000 (America (North)).
const test::PackageBuilder kPackage{{"APX47180", "APX00010"}, {"ATX05021", "ATX00001"}, {"NVX00001"}, "2213\r\n", {}};

enum Outcome { kRenamed, kLeft, kDeleted };

TEST(BackupMigrationTest, OldNamesPerSimulatorTableAndRegion) {
    const struct {
        const char* name;
        SimVersion sim;
        const char* area;
        const char* file;
        bool currentBackup;  // a .bglbckup of the same file is there already
        Outcome outcome;
    } cases[] = {
        {"P3D, APX in Europe: .p3dini", 6, "0502", "APX47180.bgl.p3dini", false, kRenamed},
        {"an old name in another case", 6, "0502", "APX47180.bgl.P3DINI", false, kRenamed},
        {"P3D leaves FSX's .raxini", 3, "0502", "APX47180.bgl.raxini", false, kLeft},
        {"APX elsewhere: .ilsbckup", 6, "0000", "APX00010.bgl.ilsbckup", false, kRenamed},
        {"APX elsewhere: not .p3dini", 6, "0000", "APX00010.bgl.p3dini", false, kLeft},
        {"ATX in Europe", 4, "0502", "ATX05021.bgl.p3dini", false, kRenamed},
        {"ATX elsewhere: left", 6, "0000", "ATX00001.bgl.p3dini", false, kLeft},
        {"NVX in any region", 6, "0000", "NVX00001.bgl.p3dini", false, kRenamed},
        {"FSX: .raxini", 1, "0502", "APX47180.bgl.raxini", false, kRenamed},
        {"FSX SE: .raxini", 2, "0000", "NVX00001.bgl.raxini", false, kRenamed},
        {"FSX leaves .p3dini", 2, "0502", "APX47180.bgl.p3dini", false, kLeft},
        {"FSX, APX elsewhere: .ilsbckup", 1, "0000", "APX00010.bgl.ilsbckup", false, kRenamed},
        {"the current backup wins", 5, "0502", "APX47180.bgl.p3dini", true, kDeleted},
        {"obsolete 0501", 6, "0501", "0501INT_T.BGL", false, kDeleted},
        {"obsolete 0502", 1, "0502", "0502INT_T.BGL", false, kDeleted},
        {"obsolete 0600", 6, "0600", "0600INT_T.BGL", false, kDeleted},
        {"obsolete 0601", 6, "0601", "0601INT_T.BGL", false, kDeleted},
        {"obsolete 0602", 6, "0602", "0602INT_T.BGL", false, kDeleted},
        {"0603 is not obsolete", 6, "0603", "0603INT_T.BGL", false, kLeft},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::EngineFixture m;
        const std::string file = c.file;
        const std::string current = file.substr(0, 12) + ".bglbckup";
        test::SimFolderBuilder simulator;
        simulator.Add(c.area, file, "old");
        if (c.currentBackup) simulator.Add(c.area, current, "current");
        ASSERT_TRUE(m.Build(kPackage, simulator, c.sim));
        EXPECT_EQ(MigrateBackupExtensions(m.fs(), m.state, m.errorLog), 0);
        EXPECT_EQ(test::FileExists(m.Dest(c.area, file)), c.outcome == kLeft);
        const char* backup = c.currentBackup ? "current" : c.outcome == kRenamed ? "old" : "";  // "": none
        EXPECT_EQ(test::ReadBytes(m.Dest(c.area, current)), backup);
    }
}

TEST(BackupMigrationTest, FailuresAreCountedRecordedAndLogged) {
    test::EngineFixture m;
    test::SimFolderBuilder simulator;
    simulator.Add("0502", "APX47180.bgl.p3dini", "old")
        .Add("0502", "APX47180.bgl.bglbckup", "current")  // the deletion of the old one fails
        .Add("0000", "NVX00001.bgl.p3dini", "nvx")        // the rename fails
        .Add("0501", "0501INT_T.BGL", "obsolete");        // the deletion fails
    ASSERT_TRUE(m.Build(kPackage, simulator, 6));
    FaultInjectingFileSystem faulty(m.fs());
    faulty.FailPathsContaining("APX47180.bgl.p3dini", kPermissionDenied);
    faulty.FailPathsContaining("NVX00001.bgl.p3dini", kFileExists);
    faulty.FailPathsContaining("0501INT_T.BGL", kPermissionDenied);
    m.errorLog = "stale";
    EXPECT_EQ(MigrateBackupExtensions(faulty, m.state, m.errorLog), 3);
    // The log file holds what the run logged (the stale text cleared first).
    EXPECT_EQ(test::ReadBytes(m.pkg + kErrorLogName),
              "ERROR Renaming backup file: " + m.Dest("0502", "APX47180.bgl.p3dini") +
                  "\r\nError number: 70\r\n\r\nERROR Renaming backup file: " + m.Dest("0000", "NVX00001.bgl.p3dini") +
                  "\r\nError number: 58\r\n\r\nERROR Killing old file: " + m.Dest("0501", "0501INT_T.BGL") +
                  "\r\nError number: 70\r\n\r\n");
}

}  // namespace
}  // namespace orvanta
