#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Install.h"
#include "engine/Uninstall.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

using test::PackageBuilder;
using test::SimFolderBuilder;

// A small package over a simulator that has its own APX (read-only) and ATX files, an
// older magvar table, and lacks the NVX file.
struct Scenario : test::EngineFixture {
    std::vector<std::pair<std::string, std::string>> originals;  // sim tree before anything ran

    Scenario() {
        SimFolderBuilder simulator;
        simulator.Add("0502", "APX47180.bgl", "original APX file").Add("0502", "ATX05021.bgl", "original ATX file");
        PackageBuilder package;
        package.apx = {"APX47180", "APX47185"};
        EXPECT_TRUE(Build(package, simulator));
        originals = test::SnapshotTree(dir / "sim");
        namespace stdfs = std::filesystem;
        stdfs::permissions(stdfs::u8path(Dest("0502", "APX47180.bgl")), stdfs::perms::owner_write,
                           stdfs::perm_options::remove);
        EXPECT_TRUE(RefreshFileStatus(fs(), state, All()).packageIntact);
    }

    InstallResult Install(FileSystem& through, int* loopEnd = nullptr, FaultInjectingFileSystem* counter = nullptr) {
        InstallOptions options;
        options.selection = All();
        options.magvar = true;
        options.log = true;
        RunProgress progress = [&](int done, int total, const std::string&) {
            if (done == total && loopEnd != nullptr && counter != nullptr) *loopEnd = counter->OperationCount();
        };
        return RunInstall(tools(through), state, options, logs(), progress);
    }

    UninstallResult Uninstall(FileSystem& through, int* loopEnd = nullptr,
                              FaultInjectingFileSystem* counter = nullptr) {
        UninstallOptions options;
        options.selection = All();
        options.log = true;
        options.restoreMissing = true;
        RunProgress progress = [&](int done, int total, const std::string&) {
            if (done == total && loopEnd != nullptr && counter != nullptr) *loopEnd = counter->OperationCount();
        };
        return RunUninstall(tools(through), state, options, logs(), progress);
    }

    // Every original simulator file is at its place or at its backup, with its bytes.
    void ExpectNothingLost(const std::string& context) {
        for (const auto& [relative, bytes] : originals) {
            const std::string path = dir / ("sim/" + relative);
            const bool magvar = relative.find("magdec.bgl") != std::string::npos;
            const std::string backup = path + (magvar ? ".bak" : ".bglbckup");
            EXPECT_TRUE(test::ReadBytes(path) == bytes || test::ReadBytes(backup) == bytes)
                << context << ": " << relative << " lost";
        }
    }

    // A clean uninstall answered Yes brings back the simulator's own files byte for byte.
    // The magvar table is never uninstalled: its original stays as the ".bak" backup.
    void ExpectCleanUninstallRestores(const std::string& context) {
        ASSERT_TRUE(RefreshFileStatus(fs(), state, All()).packageIntact);
        const UninstallResult r = Uninstall(fs());
        EXPECT_EQ(r.errors, 0) << context << "\n" << errorLog;
        auto now = test::SnapshotTree(dir / "sim");
        auto expected = originals;
        const std::string magvar = "Scenery/base/Scenery/magdec.bgl";
        auto drop = [&](auto& tree, const std::string& name) {
            tree.erase(std::remove_if(tree.begin(), tree.end(), [&](const auto& f) { return f.first == name; }),
                       tree.end());
        };
        std::string originalMagvar;
        for (const auto& f : originals) {
            if (f.first == magvar) originalMagvar = f.second;
        }
        const std::string magvarNow = test::ReadBytes(dir / ("sim/" + magvar));
        const std::string magvarBackup = test::ReadBytes(dir / ("sim/" + magvar + ".bak"));
        EXPECT_TRUE(magvarNow == originalMagvar || magvarBackup == originalMagvar) << context;
        drop(now, magvar);
        drop(now, magvar + ".bak");
        drop(expected, magvar);
        EXPECT_EQ(now, expected) << context;
    }
};

std::string OperationOf(const std::string& journalLine) { return journalLine.substr(0, journalLine.find(' ')); }

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(EngineFaultTest, InstallSurvivesAnySingleFailedOperation) {
    std::vector<std::string> journal;
    int loopEnd = 0;
    {
        Scenario s;
        FaultInjectingFileSystem counter(s.fs());
        const InstallResult r = s.Install(counter, &loopEnd, &counter);
        ASSERT_EQ(r.errors, 0) << s.errorLog;
        ASSERT_EQ(r.replaced, 3);
        journal = counter.Journal();
    }
    ASSERT_GT(loopEnd, 6);

    for (int n = 1; n <= static_cast<int>(journal.size()); ++n) {
        const std::string context = "failing operation " + std::to_string(n) + ": " + journal[n - 1];
        Scenario s;
        FaultInjectingFileSystem faulty(s.fs());
        faulty.FailOperation(n, kDeviceIoError);
        const InstallResult r = s.Install(faulty);
        ASSERT_EQ(faulty.FaultsInjected(), 1) << context;

        if (n <= loopEnd) {
            // Counted once, recorded once, and the run went on to the end.
            EXPECT_EQ(r.errors, 1) << context;
            EXPECT_EQ(CountOf(s.errorLog, "Error Id: "), 1) << context << "\n" << s.errorLog;
            EXPECT_EQ(r.closing.lines.front(), "Unable to complete full update") << context;
            const std::string op = OperationOf(journal[n - 1]);
            const bool magvar =
                journal[n - 1].find("magdec") != std::string::npos && journal[n - 1].find("APX") == std::string::npos;
            std::string step;
            if (magvar) {
                step = "Unable to update magvar table";
            } else if (op == "RenameFile") {
                step = "Backing up original file";
            } else if (op == "CopyFile") {
                step = "Copying new file replacing old one";
            } else if (op == "GetAttributes" || op == "SetNormalAttributes") {
                step = "Removing file write protection";
            }
            if (!step.empty()) {
                EXPECT_EQ(s.errorLog.rfind("Error Id: " + step + " - Error number: ", 0), 0u) << context << "\n"
                                                                                              << s.errorLog;
            }
        } else {
            // Writing the logs or rescanning: silent.
            EXPECT_EQ(r.errors, 0) << context;
        }
        EXPECT_TRUE(r.rescan.packageIntact) << context;
        s.ExpectNothingLost(context);
        s.ExpectCleanUninstallRestores(context);
    }
}

TEST(EngineFaultTest, UninstallSurvivesAnySingleFailedOperation) {
    auto prepare = [](Scenario& s) {
        ASSERT_EQ(s.Install(s.fs()).errors, 0);
        // One installed file gone (restored from its backup by the Yes answer), one read-only.
        ASSERT_TRUE(s.fs().DeleteFile(s.Dest("0502", "ATX05021.bgl")).ok());
        namespace stdfs = std::filesystem;
        stdfs::permissions(stdfs::u8path(s.Dest("0502", "APX47180.bgl")), stdfs::perms::owner_write,
                           stdfs::perm_options::remove);
        ASSERT_TRUE(RefreshFileStatus(s.fs(), s.state, Scenario::All()).packageIntact);
        ASSERT_EQ(s.state.StatusCounts[kDeinstallable], 2);
    };

    std::vector<std::string> journal;
    int loopEnd = 0;
    {
        Scenario s;
        prepare(s);
        FaultInjectingFileSystem counter(s.fs());
        const UninstallResult r = s.Uninstall(counter, &loopEnd, &counter);
        ASSERT_EQ(r.errors, 0) << s.errorLog;
        ASSERT_EQ(r.restored, 2);
        journal = counter.Journal();
    }
    ASSERT_GT(loopEnd, 3);

    for (int n = 1; n <= static_cast<int>(journal.size()); ++n) {
        const std::string context = "failing operation " + std::to_string(n) + ": " + journal[n - 1];
        Scenario s;
        prepare(s);
        FaultInjectingFileSystem faulty(s.fs());
        faulty.FailOperation(n, kPermissionDenied);
        const UninstallResult r = s.Uninstall(faulty);
        ASSERT_EQ(faulty.FaultsInjected(), 1) << context;
        if (n <= loopEnd) {
            EXPECT_EQ(r.errors, 1) << context;
            EXPECT_EQ(CountOf(s.errorLog, "Error Id: "), 1) << context << "\n" << s.errorLog;
            const std::string op = OperationOf(journal[n - 1]);
            std::string step;
            if (op == "DeleteFile") step = "Deleting updated file";
            if (op == "RenameFile") step = "Restoring original file from backup";
            if (op == "GetAttributes" || op == "SetNormalAttributes") step = "Removing file write protection";
            if (!step.empty()) {
                EXPECT_EQ(s.errorLog.rfind("Error Id: " + step + " - Error number: ", 0), 0u) << context << "\n"
                                                                                              << s.errorLog;
            }
        } else {
            EXPECT_EQ(r.errors, 0) << context;
        }
        s.ExpectNothingLost(context);
        s.ExpectCleanUninstallRestores(context);
    }
}

}  // namespace
}  // namespace orvanta
