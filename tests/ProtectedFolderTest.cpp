#include <gtest/gtest.h>

#include <cstring>

#include "platform/FaultInjectingFileSystem.h"
#include "platform/PathSeparator.h"
#include "sim/ProtectedFolder.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

constexpr std::int64_t kFullControl = 0x1F01FF;
constexpr std::int64_t kDelete = 0x10000;

// Fails chosen operations and can make a freshly written file show up only after a number
// of existence checks, as a slow network share may.
class SlowFileSystem : public FaultInjectingFileSystem {
public:
    using FaultInjectingFileSystem::FaultInjectingFileSystem;
    int hideChecksAfterWrite = 0;

    // The probe checks only the file it wrote last.
    bool Exists(const std::string& path) override {
        if (hiddenChecks_ == 0) return FaultInjectingFileSystem::Exists(path);
        --hiddenChecks_;
        return false;
    }
    FsStatus CopyFile(const std::string& source, const std::string& target, bool flush) override {
        hiddenChecks_ = hideChecksAfterWrite;
        return FaultInjectingFileSystem::CopyFile(source, target, flush);
    }
    FsStatus RenameFile(const std::string& from, const std::string& to) override {
        hiddenChecks_ = hideChecksAfterWrite;
        return FaultInjectingFileSystem::RenameFile(from, to);
    }

private:
    int hiddenChecks_ = 0;
};

TEST(ProtectedFolderTest, ModifyRightsMustAllBeGranted) {
    test::FakeAccessControl access;
    const std::string sim = std::string("sim") + kSep;
    // Full control without one right: each of the eleven Modify rights is needed; delete
    // child, write DAC and write owner are not.
    const std::pair<std::int64_t, bool> cases[] = {
        {0, true},        {0x1, false},      {0x2, false},  {0x4, false},    {0x8, false},
        {0x10, false},    {0x20, false},     {0x80, false}, {0x100, false},  {0x10000, false},
        {0x20000, false}, {0x100000, false}, {0x40, true},  {0x40000, true}, {0x80000, true},
    };
    for (const auto& [missing, granted] : cases) {
        access.granted = kFullControl & ~missing;
        EXPECT_EQ(HasModifyAccess(access, sim), granted) << std::hex << missing;
    }
    access.granted = 0x1301BF;
    EXPECT_TRUE(HasModifyAccess(access, sim));
    access.granted = -1;  // "cannot tell", though its bits would all match
    EXPECT_FALSE(HasModifyAccess(access, sim));
    EXPECT_EQ(access.asked.back(), sim + "Scenery");
}

TEST(ProtectedFolderTest, WithoutModifyRightsAProbeFileDecides) {
    const struct {
        const char* name;
        std::int64_t granted;
        const char* leftover;  // probe files left in Scenery by an interrupted earlier test
        int failOperation;     // the counted operation that fails (the probe's copy, rename, delete); 0: none
        const char* failPath;  // operations on paths holding this fail
        int hide;              // existence checks a written probe stays hidden
        std::string absent;    // "Scenery" or the package's "Cycle.txt"
        bool writable;
        int operations;
        int waits;  // of 100 ms each
        bool probeLeft;
    } cases[] = {
        {"modify rights: no probe", kFullControl, nullptr, 0, nullptr, 0, "", true, 0, 0, false},
        {"no delete right", kFullControl & ~kDelete, nullptr, 0, nullptr, 0, "", true, 3, 0, false},
        {"cannot tell; leftovers cleared first", -1, "Cycle.txt|Cycle.bak", 0, nullptr, 0, "", true, 5, 0, false},
        {"the copy fails", -1, nullptr, 1, nullptr, 0, "", false, 1, 0, false},
        {"the rename fails", -1, nullptr, 0, "Cycle.bak", 0, "", false, 2, 0, true},
        {"the final delete fails", -1, nullptr, 3, nullptr, 0, "", false, 3, 0, true},
        {"a leftover that cannot go ends the test", -1, "Cycle.bak", 0, "Cycle.bak", 0, "", false, 1, 0, true},
        {"late files are waited for", -1, nullptr, 0, nullptr, 3, "", true, 3, 6, false},
        {"five waits at most", -1, nullptr, 0, nullptr, 100, "", false, 1, 5, true},
        {"no Scenery folder", -1, nullptr, 0, nullptr, 0, "Scenery", false, 1, 0, false},
        {"no Cycle.txt in the package", -1, nullptr, 0, nullptr, 0, "Cycle.txt", false, 1, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        test::FakePlatform fake;
        SlowFileSystem slow(fake.fs());
        Platform platform = fake.Over(slow);
        ProgramState state;
        state.AppFolder = dir / "pkg" + kSep;
        state.SelectedSimFolder = dir / "sim" + kSep;
        const std::string scenery = state.SelectedSimFolder + "Scenery" + kSep;
        if (c.absent != "Cycle.txt") test::WriteBytes(state.AppFolder + "Cycle.txt", "2213\r\n");
        if (c.absent != "Scenery") test::MakeFolder(scenery);
        for (const char* name : {"Cycle.txt", "Cycle.bak"}) {
            if (c.leftover && std::strstr(c.leftover, name)) test::WriteBytes(scenery + name, "old");
        }
        fake.access.granted = c.granted;
        if (c.failOperation) slow.FailOperation(c.failOperation, kPermissionDenied);
        if (c.failPath) slow.FailPathsContaining(c.failPath, kPermissionDenied);
        slow.hideChecksAfterWrite = c.hide;

        EXPECT_EQ(IsSceneryWritable(platform, state), c.writable);
        EXPECT_EQ(slow.OperationCount(), c.operations);
        EXPECT_EQ(fake.env.sleeps, std::vector<int>(c.waits, 100));
        EXPECT_EQ(test::FileExists(scenery + "Cycle.txt") || test::FileExists(scenery + "Cycle.bak"), c.probeLeft);
        EXPECT_EQ(test::ReadBytes(state.AppFolder + "Cycle.txt"), c.absent == "Cycle.txt" ? "" : "2213\r\n");
    }
}

}  // namespace
}  // namespace orvanta
