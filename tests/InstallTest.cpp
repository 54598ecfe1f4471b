#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "engine/Install.h"
#include "engine/Logs.h"
#include "engine/Uninstall.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

using Counts = std::array<int, 5>;

void MakeReadOnly(const std::string& path) {
    namespace fs = std::filesystem;
    fs::permissions(fs::u8path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

// Log lines as the logs hold them, each followed by CR LF.
std::string Crlf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// Fails copies to, renames from, deletions of and attribute changes of paths that match a
// pattern (empty: none).
struct SelectiveFs : FaultInjectingFileSystem {
    using FaultInjectingFileSystem::FaultInjectingFileSystem;
    std::string copies, renames, deletions, attributes;
    int code = kPermissionDenied;  // of the renames

    static bool Hit(const std::string& pattern, const std::string& path) {
        return !pattern.empty() && std::regex_search(path, std::regex(pattern));
    }
    FsStatus CopyFile(const std::string& s, const std::string& t, bool flush) override {
        return Hit(copies, t) ? FsStatus::Fail(kDiskFull) : FaultInjectingFileSystem::CopyFile(s, t, flush);
    }
    FsStatus RenameFile(const std::string& f, const std::string& t) override {
        return Hit(renames, f) ? FsStatus::Fail(code) : FaultInjectingFileSystem::RenameFile(f, t);
    }
    FsStatus DeleteFile(const std::string& p) override {
        return Hit(deletions, p) ? FsStatus::Fail(kPermissionDenied) : FaultInjectingFileSystem::DeleteFile(p);
    }
    FsStatus SetNormalAttributes(const std::string& p) override {
        return Hit(attributes, p) ? FsStatus::Fail(kPermissionDenied)
                                  : FaultInjectingFileSystem::SetNormalAttributes(p);
    }
};

// Package APX47180, ATX05021, NVX05021 (all area 0502); the simulator has its own APX
// (read-only) and ATX files and lacks the NVX one.
class InstallTest : public ::testing::Test, protected test::EngineFixture {
protected:
    void SetUp() override {
        test::SimFolderBuilder simulator;
        simulator.Add("0502", "APX47180.bgl", "original APX file").Add("0502", "ATX05021.bgl", "original ATX, longer");
        ASSERT_TRUE(Build(test::PackageBuilder{}, simulator)) << errorLog;
        apx = Dest("0502", "APX47180.bgl"), atx = Dest("0502", "ATX05021.bgl");
        apxSource = Source("APX", "APX47180.bgl"), atxSource = Source("ATX", "ATX05021.bgl");
        // Dates that every log line's description below names: " [date time-size]", the
        // time left out at midnight.
        test::SetLocalModifiedTime(apx, 2019, 5, 4, 10, 20, 30);
        test::SetLocalModifiedTime(atx, 2019, 5, 4, 0, 0, 0);
        test::SetLocalModifiedTime(apxSource, 2023, 1, 2, 3, 4, 5);
        test::SetLocalModifiedTime(atxSource, 2023, 2, 1, 0, 0, 0);
        MakeReadOnly(apx);
        ASSERT_TRUE(Scan());
        ASSERT_EQ(state.StatusCounts, (Counts{3, 0, 2, 0, 1}));
    }

    // Scans and keeps the selection for the runs that follow, as the window does.
    bool Scan(StatusSelection selection = All()) {
        selection_ = selection;
        return RefreshFileStatus(fs(), state, selection).packageIntact;
    }
    InstallResult Install(bool log, bool magvar = false, FileSystem* through = nullptr) {
        return RunInstall({through ? *through : fs(), regional}, state, {selection_, magvar, log},
                          {errorLog, actionsLog});
    }
    UninstallResult Uninstall(bool log, bool restoreMissing, FileSystem* through = nullptr) {
        return RunUninstall({through ? *through : fs(), regional}, state, {selection_, log, restoreMissing},
                            {errorLog, actionsLog});
    }
    std::string Log(const char* name) const { return test::ReadBytes(pkg + name); }

    StatusSelection selection_ = All();
    std::string apx, atx, apxSource, atxSource;
    // The files' descriptions: the simulator's own, and the package's (which installed
    // files keep, as a copy keeps the date).
    const std::string apxOwn = " [4.5.2019 10h20m30-17]", atxOwn = " [4.5.2019-20]";
    const std::string apxNew = " [2.1.2023 3h4m5-12]", atxNew = " [1.2.2023-12]";
};

TEST_F(InstallTest, BacksUpOnceReplacesAndLogs) {
    actionsLog = errorLog = "stale";
    EXPECT_EQ(Install(true).replaced, 2);
    EXPECT_EQ(errorLog, "");
    EXPECT_FALSE(test::FileExists(pkg + kErrorLogName));
    // Missing destinations are never copied; replaced files keep the package's date, so
    // the rescan finds them up to date (the counts are checked after the last run below).
    EXPECT_EQ(test::ReadBytes(apx), "BGL APX47180");
    EXPECT_EQ(test::ReadBytes(apx + ".bglbckup"), "original APX file");
    EXPECT_EQ(test::ReadBytes(atx + ".bglbckup"), "original ATX, longer");
    EXPECT_FALSE(test::FileExists(Dest("0502", "NVX05021.bgl")));
    // The log file holds what the run logged (a stale text in memory is cleared first).
    EXPECT_EQ(Log(kActionsLogName), Crlf({"Backup rename: " + apx + apxOwn + " TO " + apx + ".bglbckup",
                                          "Replaced: " + apx + " [not existing] BY " + apxSource + apxNew,
                                          "Backup rename: " + atx + atxOwn + " TO " + atx + ".bglbckup",
                                          "Replaced: " + atx + " [not existing] BY " + atxSource + atxNew}));

    // Nothing updatable: the log lists the up-to-date files.
    EXPECT_EQ(Install(true).replaced, 0);
    EXPECT_EQ(Log(kActionsLogName), Crlf({"Unchanged: " + apx + apxNew, "Unchanged: " + atx + atxNew}));

    // Force-full makes the installed files updatable again; the first backup stays.
    StatusSelection force = All();
    force.forceFull = true;
    ASSERT_TRUE(Scan(force));
    test::SetLocalModifiedTime(apx, 2020, 1, 2, 0, 0, 1);  // tell the installed file's description apart
    EXPECT_EQ(Install(true).replaced, 2);
    EXPECT_EQ(test::ReadBytes(apx + ".bglbckup"), "original APX file");
    EXPECT_EQ(actionsLog.rfind("Replaced: " + apx + " [2.1.2020 0h0m1-12] BY ", 0), 0u) << actionsLog;
    // The rescan runs without force-full: the option is unticked by the run.
    EXPECT_EQ(state.StatusCounts, (Counts{3, 2, 0, 2, 1}));
}

TEST_F(InstallTest, MagvarTableIsCopiedAsideOnceAndCountsAsOneFile) {
    const std::string magvar = test::SimMagvarPath(sim);
    test::SetLocalModifiedTime(magvar, 2021, 6, 30, 23, 59, 59);
    test::SetLocalModifiedTime(pkg + "magdec.bgl", 2022, 7, 1, 0, 0, 0);
    MakeReadOnly(magvar);                  // replaced in place, which Windows refuses for a read-only file
    ASSERT_TRUE(Scan(StatusSelection{}));  // no region: only the magvar table is asked for
    InstallResult r = Install(true, true);
    EXPECT_EQ(r.errors, 0) << errorLog;
    EXPECT_EQ(test::ReadBytes(magvar), test::ReadBytes(pkg + "magdec.bgl"));
    EXPECT_EQ(test::ReadBytes(magvar + ".bak"), test::MagvarBytes(0x2021, 1));
    EXPECT_TRUE(r.magvarAttempted);
    EXPECT_EQ(r.magvarOption.caption, "Magvar table (up to date)");
    // The table's "Replaced: " line describes the destination as it was before the copy.
    const std::string before = " [30.6.2021 23h59m59-200]";
    EXPECT_EQ(actionsLog, Crlf({"Backup rename: " + magvar + before + " TO " + magvar + ".bak",
                                "Replaced: " + magvar + before + " BY " + pkg + "magdec.bgl [1.7.2022-200]"}));

    // With the backup present the table is overwritten directly.
    test::WriteBytes(magvar, test::MagvarBytes(0x2000, 0));
    EXPECT_EQ(Install(false, true).replaced, 1);
    EXPECT_EQ(test::ReadBytes(magvar + ".bak"), test::MagvarBytes(0x2021, 1));
}

TEST_F(InstallTest, ErrorRecordsNameTheStepAndTheFiles) {
    // APX: the copy fails after the backup rename; ATX: the backup rename fails; magvar:
    // its copy fails.
    SelectiveFs selective(fs());
    selective.copies = "APX47180|magdec";
    selective.renames = "ATX05021";
    const InstallResult r = Install(false, true, &selective);
    EXPECT_EQ(r.replaced, 0);
    EXPECT_EQ(r.closing.lines[1], "3 BGL file(s) couldn't be updated");  // the magvar table counts
    EXPECT_EQ(Log(kErrorLogName),
              Crlf({"Error Id: Unable to update magvar table - Error number: 61",
                    "Error Id: Copying new file replacing old one - Error number: 61",
                    "Original File to be replaced: " + apx + " [not existing]",
                    "Source File replacement: " + apxSource + apxNew, "",
                    "Error Id: Backing up original file - Error number: 70", "File: " + atx + atxOwn, ""}));

    // A write protection that cannot be cleared stops that file before its backup.
    SelectiveFs noAttributes(fs());
    noAttributes.attributes = ".";
    MakeReadOnly(atx);
    ASSERT_TRUE(Scan());
    EXPECT_EQ(Install(false, false, &noAttributes).errors, 1);
    EXPECT_EQ(errorLog,
              Crlf({"Error Id: Removing file write protection - Error number: 0", "File: " + atx + atxOwn, ""}));
    EXPECT_FALSE(test::FileExists(atx + ".bglbckup"));
}

TEST_F(InstallTest, UninstallRecordsFailuresThenRestoresMissingFilesOnlyWhenTheUserAsks) {
    ASSERT_EQ(Install(false).errors, 0);
    // Uninstall leaves the magvar table and its backup alone.
    const std::string magvar = test::SimMagvarPath(sim);
    test::WriteBytes(magvar + ".bak", "the simulator's own table");
    SelectiveFs selective(fs());
    selective.deletions = "APX47180";
    selective.renames = "ATX05021";
    selective.code = kFileExists;
    UninstallResult r = Uninstall(false, false, &selective);
    EXPECT_EQ(r.restored, 0);
    EXPECT_EQ(r.closing.icon, MsgIcon::Exclamation);
    EXPECT_EQ(r.closing.Text(),
              "Unable to complete full uninstall\r\n2 BGL file(s) couldn't be restored\r\n"
              "See the Orvanta_Installer.log file for details");
    EXPECT_EQ(Log(kErrorLogName), Crlf({"Error Id: Deleting updated file - Error number: 70", "File: " + apx + apxNew,
                                        "", "Error Id: Restoring original file from backup - Error number: 58",
                                        "Original File to be restored: " + atx + " [not existing]",
                                        "Backup File replacement: " + atx + ".bglbckup" + atxOwn, ""}));

    // The ATX file is gone and its backup stays, as a kill between the backup rename and
    // the end of the copy leaves them, with the copy's temporary file beside them.
    test::WriteBytes(atx + kPartialCopySuffix, "first half of the new fi");
    test::WriteBytes(apx + kPartialCopySuffix, "stale");
    MakeReadOnly(apx);
    ASSERT_TRUE(Scan());
    r = Uninstall(true, false);  // No
    EXPECT_EQ(r.restored, 1);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(test::ReadBytes(apx), "original APX file");
    EXPECT_FALSE(test::FileExists(atx));
    EXPECT_FALSE(test::FileExists(atx + kPartialCopySuffix));
    EXPECT_FALSE(test::FileExists(apx + kPartialCopySuffix));
    EXPECT_EQ(Log(kActionsLogName),
              Crlf({"Deleting: " + apx + apxNew, "Restoring file from: " + apx + ".bglbckup" + apxOwn}));

    r = Uninstall(true, true);  // Yes: a file missing in the simulator only gets the restoring line
    EXPECT_EQ(r.restored, 1);
    EXPECT_EQ(test::ReadBytes(atx), "original ATX, longer");
    EXPECT_EQ(Log(kActionsLogName), Crlf({"Restoring file from: " + atx + ".bglbckup" + atxOwn}));
    EXPECT_EQ(test::ReadBytes(magvar), test::MagvarBytes(0x2021, 1));
    EXPECT_EQ(test::ReadBytes(magvar + ".bak"), "the simulator's own table");
}

#ifndef _WIN32
// What users' folders hold at the names a run uses: a link (dangling or not), a folder or a
// FIFO at the backup name, a twin of the name in another case. That file gets an error;
// nothing of the simulator's is lost, replaced or put in a file's place.
TEST_F(InstallTest, OddObjectsAtTheNamesARunUsesStopThatFileAlone) {
    namespace fs = std::filesystem;
    const std::string backup = apx + ".bglbckup", twin = Dest("0502", "apx47180.bgl"), outside = dir / "outside";
    test::WriteBytes(outside, "not the simulator's");
    const std::pair<const char*, std::function<void()>> odd[] = {
        {"dangling link", [&] { fs::create_symlink(dir / "nowhere", backup); }},
        {"link to a file", [&] { fs::create_symlink(outside, backup); }},
        {"folder", [&] { test::MakeFolder(backup + "/inner"); }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(backup.c_str(), 0600), 0); }},
        {"case twin", [&] { test::WriteBytes(twin, "twin"); }},
    };
    StatusSelection apxOnly = All();
    apxOnly.categories = {true, false, false};
    for (const auto& [name, make] : odd) {
        SCOPED_TRACE(name);
        make();
        ASSERT_TRUE(Scan(apxOnly));
        EXPECT_EQ(Install(false).errors, 1);
        EXPECT_EQ(errorLog,
                  Crlf({"Error Id: Backing up original file - Error number: 58", "File: " + apx + apxOwn, ""}));
        EXPECT_EQ(test::ReadBytes(apx), "original APX file");
        fs::remove_all(backup);
        fs::remove(twin);
    }
    EXPECT_EQ(test::ReadBytes(outside), "not the simulator's");

    // The same odd objects where an installed file's backup should be.
    ASSERT_EQ(Install(false).errors, 0);
    fs::rename(backup, dir / "kept");
    for (const auto& [name, make] : odd) {
        if (std::string(name) == "dangling link") continue;  // no backup there to restore
        SCOPED_TRACE(name);
        make();
        if (!test::FileExists(backup)) fs::copy(dir / "kept", backup);  // a twin beside a real backup
        ASSERT_TRUE(Scan(apxOnly));
        EXPECT_EQ(Uninstall(false, true).errors, 1);
        EXPECT_EQ(errorLog.rfind("Error Id: Restoring original file from backup - Error number: ", 0), 0u);
        EXPECT_EQ(test::ReadBytes(apx), "BGL APX47180");
        fs::remove_all(backup);
        fs::remove(twin);
    }
    EXPECT_EQ(test::ReadBytes(outside), "not the simulator's");
}
#endif

// The file description behind every path in the logs, and the log writer.
TEST(LogsTest, DescriptionGivesDateTimeAndLengthAndLeavesTheTimeOutAtMidnight) {
    test::EngineFixture f;
    const struct {
        int hour, minute, second;
        const char* bytes;
        const char* expected;
    } cases[] = {
        {14, 5, 9, "12345", " [7.3.2021 14h5m9-5]"}, {0, 0, 0, "", " [7.3.2021-0]"},
        {0, 0, 1, "", " [7.3.2021 0h0m1-0]"},        {0, 1, 0, "", " [7.3.2021 0h1m0-0]"},
        {1, 0, 0, "", " [7.3.2021 1h0m0-0]"},
    };
    const std::string file = f.dir / "a.bgl";
    std::string d;
    for (const auto& c : cases) {
        test::WriteBytes(file, c.bytes);
        test::SetLocalModifiedTime(file, 2021, 3, 7, c.hour, c.minute, c.second);
        ASSERT_TRUE(DescribeFile(f.fs(), f.regional, file, d).ok());
        EXPECT_EQ(d, c.expected);
    }
    ASSERT_TRUE(DescribeFile(f.fs(), f.regional, f.dir / "none.bgl", d).ok());
    EXPECT_EQ(d, " [not existing]");

    // The log replaces the whole file; where it cannot go, nothing happens.
    const std::string folder = f.dir.path() + kSep;
    WriteErrorLog(f.fs(), folder, "first line\r\nsecond line\r\n");
    WriteErrorLog(f.fs(), folder, "last\r\n");
    EXPECT_EQ(test::ReadBytes(folder + "Orvanta_Installer.log"), "last\r\n");
    test::MakeFolder(f.dir / "sub/Orvanta_Installer.log");
    WriteErrorLog(f.fs(), folder + "sub" + kSep, "text\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::u8path(f.dir / "sub")), {}), 1);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(f.dir / "sub/Orvanta_Installer.log")));
#ifndef _WIN32
    // A link at the log's name, dangling here, is replaced: nothing is made where it points.
    test::MakeFolder(f.dir / "pkg");
    std::filesystem::create_symlink(f.dir / "outside.log", f.dir / "pkg/Orvanta_Installer.log");
    WriteErrorLog(f.fs(), folder + "pkg" + kSep, "text\r\n");
    EXPECT_FALSE(test::FileExists(f.dir / "outside.log"));
    EXPECT_EQ(test::ReadBytes(f.dir / "pkg/Orvanta_Installer.log"), "text\r\n");
#endif
}

}  // namespace
}  // namespace orvanta
