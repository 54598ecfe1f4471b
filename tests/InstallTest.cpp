#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Install.h"
#include "engine/Logs.h"
#include "engine/Uninstall.h"
#include "engine/WriteProtection.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

using test::PackageBuilder;
using test::SimFolderBuilder;

void MakeReadOnly(const std::string& path) {
    namespace fs = std::filesystem;
    fs::permissions(fs::u8path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

// Package APX47180, ATX05021, NVX05021 (all area 0502); the simulator has its own APX and
// ATX files (the ATX one read-only) and lacks the NVX one.
class InstallTest : public ::testing::Test, protected test::EngineFixture {
protected:
    void SetUp() override {
        SimFolderBuilder simulator;
        simulator.Add("0502", "APX47180.bgl", "original APX file").Add("0502", "ATX05021.bgl", "original ATX, longer");
        ASSERT_TRUE(Build(PackageBuilder{}, simulator)) << errorLog;
        MakeReadOnly(apx());
        ASSERT_TRUE(Scan());
        ASSERT_EQ(state.StatusCounts, (std::array<int, 5>{3, 0, 2, 0, 1}));
    }

    // Scans and keeps the selection for the runs that follow, as the window does.
    bool Scan(StatusSelection selection = All()) {
        selection_ = selection;
        return RefreshFileStatus(fs(), state, selection).packageIntact;
    }

    InstallResult Install(bool log, bool magvar = false, FileSystem* through = nullptr) {
        InstallOptions options;
        options.selection = selection_;
        options.log = log;
        options.magvar = magvar;
        return RunInstall(tools(through ? *through : fs()), state, options, logs());
    }
    UninstallResult Uninstall(bool log, bool restoreMissing, FileSystem* through = nullptr) {
        UninstallOptions options;
        options.selection = selection_;
        options.log = log;
        options.restoreMissing = restoreMissing;
        return RunUninstall(tools(through ? *through : fs()), state, options, logs());
    }

    std::string D(const std::string& path) {
        std::string d;
        EXPECT_TRUE(DescribeFile(fs(), regional, path, d).ok());
        return d;
    }

    StatusSelection selection_ = All();

    std::string apx() const { return Dest("0502", "APX47180.bgl"); }
    std::string atx() const { return Dest("0502", "ATX05021.bgl"); }
    std::string nvx() const { return Dest("0502", "NVX05021.bgl"); }
    std::string apxSource() const { return Source("APX", "APX47180.bgl"); }
    std::string atxSource() const { return Source("ATX", "ATX05021.bgl"); }
};

TEST_F(InstallTest, FirstInstallBacksUpOnceAndReplaces) {
    const std::string apxBefore = D(apx()), atxBefore = D(atx());
    actionsLog = "stale";
    errorLog = "stale";
    const InstallResult r = Install(true);

    EXPECT_EQ(r.replaced, 2);
    EXPECT_EQ(r.errors, 0);
    EXPECT_TRUE(r.Succeeded());
    EXPECT_EQ(r.closing.icon, MsgIcon::Information);
    EXPECT_EQ(r.closing.Text(), "Update has been successfully completed\r\n2 BGL file(s) have been replaced");
    EXPECT_EQ(errorLog, "");
    EXPECT_FALSE(test::FileExists(pkg + kErrorLogName));

    // Missing destinations are never copied; replaced files keep the package's date, so
    // the rescan finds them up to date.
    EXPECT_EQ(test::ReadBytes(apx()), "BGL APX47180");
    EXPECT_EQ(test::ReadBytes(apx() + ".bglbckup"), "original APX file");
    EXPECT_EQ(test::ReadBytes(atx() + ".bglbckup"), "original ATX, longer");
    EXPECT_FALSE(test::FileExists(nvx()));
    ASSERT_TRUE(r.rescan.packageIntact);
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{3, 2, 0, 2, 1}));

    const std::string expected = "Backup rename: " + apx() + apxBefore + " TO " + apx() +
                                 ".bglbckup\r\n"
                                 "Replaced: " +
                                 apx() + " [not existing] BY " + apxSource() + D(apxSource()) +
                                 "\r\n"
                                 "Backup rename: " +
                                 atx() + atxBefore + " TO " + atx() +
                                 ".bglbckup\r\n"
                                 "Replaced: " +
                                 atx() + " [not existing] BY " + atxSource() + D(atxSource()) + "\r\n";
    EXPECT_EQ(actionsLog, expected);
    EXPECT_EQ(test::ReadBytes(pkg + kActionsLogName), expected);
}

TEST_F(InstallTest, SecondInstallKeepsTheFirstBackup) {
    ASSERT_EQ(Install(false).errors, 0);
    // Force-full makes the installed files updatable again.
    StatusSelection force = All();
    force.forceFull = true;
    ASSERT_TRUE(Scan(force));
    ASSERT_EQ(state.StatusCounts[kUpdatable], 2);
    test::SetLocalModifiedTime(apx(), 2020, 1, 2, 3, 4, 5);  // tell the installed file's description apart
    const std::string installed = D(apx());

    InstallOptions options;
    options.selection = force;
    options.log = true;
    const InstallResult r = RunInstall(tools(), state, options, logs());
    EXPECT_EQ(r.replaced, 2);
    EXPECT_EQ(test::ReadBytes(apx() + ".bglbckup"), "original APX file");
    EXPECT_EQ(actionsLog.find("Backup rename: "), std::string::npos);
    EXPECT_EQ(actionsLog.rfind("Replaced: " + apx() + installed + " BY ", 0), 0u) << actionsLog;
    // The rescan runs without force-full: the option is unticked by the run.
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{3, 2, 0, 2, 1}));
}

TEST_F(InstallTest, UnchangedLinesFollowTheReplacedFiles) {
    ASSERT_EQ(Install(false).errors, 0);
    ASSERT_TRUE(Scan());
    const InstallResult r = Install(true);  // nothing updatable now
    EXPECT_EQ(r.replaced, 0);
    EXPECT_EQ(r.closing.Text(), "Update has been successfully completed\r\n0 BGL file(s) have been replaced");
    EXPECT_EQ(actionsLog, "Unchanged: " + apx() + D(apx()) + "\r\nUnchanged: " + atx() + D(atx()) + "\r\n");
}

TEST_F(InstallTest, MagvarTableIsBackedUpOnceAndCountsAsOneFile) {
    const std::string magvar = test::SimMagvarPath(sim);
    const std::string before = D(magvar);
    ASSERT_TRUE(Scan(StatusSelection{}));  // no region: only the magvar table is asked for
    InstallResult r = Install(true, true);
    EXPECT_EQ(r.replaced, 1);
    EXPECT_EQ(r.closing.lines[1], "1 BGL file(s) have been replaced");
    EXPECT_EQ(test::ReadBytes(magvar), test::ReadBytes(pkg + "magdec.bgl"));
    EXPECT_EQ(test::ReadBytes(magvar + ".bak"), test::MagvarBytes(0x2021, 1));
    EXPECT_TRUE(r.magvarAttempted);
    EXPECT_EQ(r.magvarOption.caption, "Magvar table (up to date)");
    // The table's "Replaced: " line describes the destination as it was before the rename.
    EXPECT_EQ(actionsLog, "Backup rename: " + magvar + before + " TO " + magvar +
                              ".bak\r\n"
                              "Replaced: " +
                              magvar + before + " BY " + pkg + "magdec.bgl" + D(pkg + "magdec.bgl") + "\r\n");

    // With the backup present the table is overwritten directly.
    test::WriteBytes(magvar, test::MagvarBytes(0x2000, 0));
    r = Install(false, true);
    EXPECT_EQ(r.replaced, 1);
    EXPECT_EQ(test::ReadBytes(magvar + ".bak"), test::MagvarBytes(0x2021, 1));
}

TEST_F(InstallTest, ErrorRecordsNameTheStepAndTheFiles) {
    // APX: the copy fails after the backup rename; ATX: the backup rename fails; magvar:
    // its copy fails.
    class SelectiveFs : public FaultInjectingFileSystem {
    public:
        using FaultInjectingFileSystem::FaultInjectingFileSystem;
        FsStatus CopyFile(const std::string& s, const std::string& t) override {
            if (t.find("APX47180") != std::string::npos || t.find("magdec") != std::string::npos) {
                return FsStatus::Fail(kDiskFull);
            }
            return FaultInjectingFileSystem::CopyFile(s, t);
        }
        FsStatus RenameFile(const std::string& f, const std::string& t) override {
            if (f.find("ATX05021") != std::string::npos) return FsStatus::Fail(kPermissionDenied);
            return FaultInjectingFileSystem::RenameFile(f, t);
        }
    } selective(fs());

    const std::string atxBefore = D(atx());
    const InstallResult r = Install(false, true, &selective);
    EXPECT_EQ(r.errors, 3);
    EXPECT_EQ(r.replaced, 0);
    EXPECT_EQ(r.closing.icon, MsgIcon::Exclamation);
    EXPECT_EQ(r.closing.Text(),
              "Unable to complete full update\r\n3 BGL file(s) couldn't be updated\r\n"
              "See the Orvanta_Installer.log file for details");
    const std::string expected =
        "Error Id: Unable to update magvar table - Error number: 61\r\n"
        "Error Id: Copying new file replacing old one - Error number: 61\r\n"
        "Original File to be replaced: " +
        apx() +
        " [not existing]\r\n"
        "Source File replacement: " +
        apxSource() + D(apxSource()) +
        "\r\n"
        "\r\n"
        "Error Id: Backing up original file - Error number: 70\r\n"
        "File: " +
        atx() + atxBefore +
        "\r\n"
        "\r\n";
    EXPECT_EQ(errorLog, expected);
    EXPECT_EQ(test::ReadBytes(pkg + kErrorLogName), expected);
    // The APX file is left as a backup only: missing and deinstallable, nothing lost.
    EXPECT_EQ(test::ReadBytes(apx() + ".bglbckup"), "original APX file");
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{3, 0, 1, 1, 2}));
    EXPECT_EQ(test::ReadBytes(atx()), "original ATX, longer");
}

TEST_F(InstallTest, WriteProtectionFailureIsRecordedWithErrorNumberZero) {
    class NoAttributes : public FaultInjectingFileSystem {
    public:
        using FaultInjectingFileSystem::FaultInjectingFileSystem;
        FsStatus SetNormalAttributes(const std::string&) override { return FsStatus::Fail(kPermissionDenied); }
    } noAttributes(fs());
    const std::string apxBefore = D(apx());
    const InstallResult r = Install(false, false, &noAttributes);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.replaced, 1);
    EXPECT_EQ(errorLog,
              "Error Id: Removing file write protection - Error number: 0\r\nFile: " + apx() + apxBefore + "\r\n\r\n");
    EXPECT_EQ(test::ReadBytes(apx()), "original APX file");
    EXPECT_FALSE(test::FileExists(apx() + ".bglbckup"));
}

TEST(WriteProtectionTest, ClearsReadOnlyAndAnswersTrueWhenNothingToDo) {
    test::TempDir dir;
    auto native = MakeNativePlatform({});
    FileSystem& fs = native->get().fs;
    const std::string file = dir / "f.bgl";
    EXPECT_TRUE(ClearWriteProtection(fs, file));  // no file
    test::WriteBytes(file, "x");
    EXPECT_TRUE(ClearWriteProtection(fs, file));
    MakeReadOnly(file);
    std::uint32_t attributes = 0;
    ASSERT_TRUE(fs.GetAttributes(file, attributes).ok());
    ASSERT_NE(attributes & kAttrReadOnly, 0u);
    EXPECT_TRUE(ClearWriteProtection(fs, file));
    ASSERT_TRUE(fs.GetAttributes(file, attributes).ok());
    EXPECT_EQ(attributes & kAttrReadOnly, 0u);
}

class UninstallTest : public InstallTest {
protected:
    void SetUp() override {
        InstallTest::SetUp();
        ASSERT_EQ(Install(false).errors, 0);
        ASSERT_TRUE(Scan());
    }
};

TEST_F(UninstallTest, NoQuestionWithoutMissingFiles) {
    // Only the two installed files in the selection: nothing is missing.
    StatusSelection selection = All();
    selection.categories[static_cast<int>(FileCategory::NVX)] = false;
    ASSERT_TRUE(Scan(selection));
    EXPECT_FALSE(UninstallAsksRestore(state));
    UninstallOptions options;
    options.selection = selection;
    const UninstallResult r = RunUninstall(tools(), state, options, logs());
    EXPECT_EQ(r.restored, 2);
    EXPECT_EQ(r.closing.Text(), "Uninstall has been successfully completed\r\n2 BGL file(s) have been restored");
    EXPECT_EQ(test::ReadBytes(apx()), "original APX file");
    EXPECT_EQ(test::ReadBytes(atx()), "original ATX, longer");
    EXPECT_FALSE(test::FileExists(apx() + ".bglbckup"));
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{2, 0, 2, 0, 0}));
}

TEST_F(UninstallTest, AnswerNoKeepsBackupsOfMissingFiles) {
    ASSERT_TRUE(fs().DeleteFile(atx()).ok());
    ASSERT_TRUE(Scan());
    ASSERT_TRUE(UninstallAsksRestore(state));
    EXPECT_EQ(RestoreQuestion().Text(),
              "Restore missing files from backups if available?\r\nIf [No], backup files will be kept");
    EXPECT_EQ(RestoreQuestion().icon, MsgIcon::Question);

    const std::string apxInstalled = D(apx()), apxBackup = D(apx() + ".bglbckup");
    const UninstallResult r = Uninstall(true, false);
    EXPECT_EQ(r.restored, 1);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(test::ReadBytes(apx()), "original APX file");
    EXPECT_FALSE(test::FileExists(atx()));
    EXPECT_EQ(test::ReadBytes(atx() + ".bglbckup"), "original ATX, longer");
    EXPECT_EQ(actionsLog, "Deleting: " + apx() + apxInstalled + "\r\nRestoring file from: " + apx() + ".bglbckup" +
                              apxBackup + "\r\n");
    EXPECT_EQ(test::ReadBytes(pkg + kActionsLogName), actionsLog);
}

TEST_F(UninstallTest, AnswerYesRestoresMissingFilesFromBackups) {
    ASSERT_TRUE(fs().DeleteFile(atx()).ok());
    ASSERT_TRUE(Scan());
    const std::string atxBackup = D(atx() + ".bglbckup");
    MakeReadOnly(apx());
    const UninstallResult r = Uninstall(true, true);
    EXPECT_EQ(r.restored, 2);
    EXPECT_EQ(test::ReadBytes(apx()), "original APX file");
    EXPECT_EQ(test::ReadBytes(atx()), "original ATX, longer");
    // A file missing in the simulator only gets the restoring line.
    EXPECT_NE(actionsLog.find("Restoring file from: " + atx() + ".bglbckup" + atxBackup + "\r\n"), std::string::npos);
    EXPECT_EQ(actionsLog.find("Deleting: " + atx()), std::string::npos);
    // Never touched: the magvar table.
    EXPECT_FALSE(test::FileExists(test::SimMagvarPath(sim) + ".bak"));
}

TEST_F(UninstallTest, LeftoverOfACopyCutShortIsRemoved) {
    // A kill between the backup rename and the end of the copy: no destination, its backup,
    // and the copy's temporary file beside them.
    ASSERT_TRUE(fs().DeleteFile(atx()).ok());
    test::WriteBytes(atx() + kPartialCopySuffix, "first half of the new fi");
    test::WriteBytes(apx() + kPartialCopySuffix, "stale");
    ASSERT_TRUE(Scan());
    const UninstallResult r = Uninstall(false, true);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(test::ReadBytes(atx()), "original ATX, longer");
    EXPECT_EQ(test::ReadBytes(apx()), "original APX file");
    EXPECT_FALSE(test::FileExists(atx() + kPartialCopySuffix));
    EXPECT_FALSE(test::FileExists(apx() + kPartialCopySuffix));
}

TEST_F(UninstallTest, RestoreAnswerIsIgnoredWhenNoQuestionIsDue) {
    StatusSelection selection = All();
    selection.categories[static_cast<int>(FileCategory::NVX)] = false;
    ASSERT_TRUE(Scan(selection));
    ASSERT_TRUE(fs().DeleteFile(atx()).ok());  // gone since the scan
    UninstallOptions options;
    options.selection = selection;
    options.restoreMissing = true;
    const UninstallResult r = RunUninstall(tools(), state, options, logs());
    EXPECT_EQ(r.restored, 1);
    EXPECT_EQ(r.errors, 0);
    EXPECT_FALSE(test::FileExists(atx()));
}

TEST_F(UninstallTest, FailuresAreRecordedAndTheRunGoesOn) {
    class Selective : public FaultInjectingFileSystem {
    public:
        using FaultInjectingFileSystem::FaultInjectingFileSystem;
        FsStatus DeleteFile(const std::string& p) override {
            if (p.find("APX47180") != std::string::npos) return FsStatus::Fail(kPermissionDenied);
            return FaultInjectingFileSystem::DeleteFile(p);
        }
        FsStatus RenameFile(const std::string& f, const std::string& t) override {
            if (f.find("ATX05021") != std::string::npos) return FsStatus::Fail(kFileExists);
            return FaultInjectingFileSystem::RenameFile(f, t);
        }
    } selective(fs());
    const std::string apxNow = D(apx()), atxBackup = D(atx() + ".bglbckup");
    const UninstallResult r = Uninstall(false, false, &selective);
    EXPECT_EQ(r.errors, 2);
    EXPECT_EQ(r.restored, 0);
    EXPECT_EQ(r.closing.Text(),
              "Unable to complete full uninstall\r\n2 BGL file(s) couldn't be restored\r\n"
              "See the Orvanta_Installer.log file for details");
    const std::string expected = "Error Id: Deleting updated file - Error number: 70\r\nFile: " + apx() + apxNow +
                                 "\r\n\r\n"
                                 "Error Id: Restoring original file from backup - Error number: 58\r\n"
                                 "Original File to be restored: " +
                                 atx() +
                                 " [not existing]\r\n"
                                 "Backup File replacement: " +
                                 atx() + ".bglbckup" + atxBackup + "\r\n\r\n";
    EXPECT_EQ(errorLog, expected);
    EXPECT_EQ(test::ReadBytes(pkg + kErrorLogName), expected);
    // The ATX file can still be restored later: missing and deinstallable.
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{3, 1, 0, 2, 2}));
    EXPECT_EQ(Uninstall(false, true).restored, 2);
    EXPECT_EQ(test::ReadBytes(atx()), "original ATX, longer");
}

}  // namespace
}  // namespace orvanta
