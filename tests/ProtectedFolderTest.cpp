#include <gtest/gtest.h>

#include <map>

#include "platform/FaultInjectingFileSystem.h"
#include "platform/PathSeparator.h"
#include "sim/ProtectedFolder.h"
#include "support/FakePlatform.h"
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

    bool Exists(const std::string& path) override {
        auto it = hidden_.find(path);
        if (it != hidden_.end() && it->second > 0) {
            --it->second;
            return false;
        }
        return FaultInjectingFileSystem::Exists(path);
    }
    FsStatus CopyFile(const std::string& source, const std::string& target) override {
        FsStatus st = FaultInjectingFileSystem::CopyFile(source, target);
        hidden_[target] = hideChecksAfterWrite;
        return st;
    }
    FsStatus RenameFile(const std::string& from, const std::string& to) override {
        FsStatus st = FaultInjectingFileSystem::RenameFile(from, to);
        hidden_[to] = hideChecksAfterWrite;
        return st;
    }

private:
    std::map<std::string, int> hidden_;
};

class ProtectedFolderTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakePlatform fake;
    SlowFileSystem slow{fake.fs()};
    Platform platform{slow,           fake.env,      fake.regional, fake.registry, fake.versions,
                      fake.processes, fake.settings, fake.shell,    fake.access};
    ProgramState state;
    std::string scenery;

    void SetUp() override {
        state.AppFolder = dir / "pkg" + kSep;
        state.SelectedSimFolder = dir / "sim" + kSep;
        scenery = state.SelectedSimFolder + "Scenery" + kSep;
        test::WriteBytes(state.AppFolder + "Cycle.txt", "2213\r\n");
        test::MakeFolder(scenery);
    }
    bool ProbesLeft() { return test::FileExists(scenery + "Cycle.txt") || test::FileExists(scenery + "Cycle.bak"); }
};

TEST_F(ProtectedFolderTest, ModifyRightsMustAllBeGranted) {
    test::FakeAccessControl access;
    access.granted = kModifyRights;
    EXPECT_TRUE(HasModifyAccess(access, state.SelectedSimFolder));
    EXPECT_EQ(access.asked, std::vector<std::string>{state.SelectedSimFolder + "Scenery"});
    access.granted = kFullControl;
    EXPECT_TRUE(HasModifyAccess(access, state.SelectedSimFolder));
    for (int bit = 0; bit < 32; ++bit) {
        const std::int64_t one = std::int64_t{1} << bit;
        if ((kModifyRights & one) == 0) continue;
        access.granted = kFullControl & ~one;
        EXPECT_FALSE(HasModifyAccess(access, state.SelectedSimFolder)) << std::hex << one;
    }
    // -1 means "cannot tell", though its bits would all match.
    access.granted = -1;
    EXPECT_FALSE(HasModifyAccess(access, state.SelectedSimFolder));
}

TEST_F(ProtectedFolderTest, GrantedAccessWritesNoProbe) {
    fake.access.granted = kFullControl;
    EXPECT_TRUE(IsSceneryWritable(platform, state));
    EXPECT_EQ(slow.OperationCount(), 0);
    EXPECT_FALSE(ProbesLeft());
}

TEST_F(ProtectedFolderTest, MissingDeleteRightLetsTheWriteTestDecide) {
    fake.access.granted = kFullControl & ~kDelete;
    EXPECT_TRUE(IsSceneryWritable(platform, state));
    EXPECT_GT(slow.OperationCount(), 0);
    EXPECT_FALSE(ProbesLeft());
    EXPECT_TRUE(fake.env.sleeps.empty());
    EXPECT_EQ(test::ReadBytes(state.AppFolder + "Cycle.txt"), "2213\r\n");  // the source stays

    slow.FailPathsContaining("Cycle.txt", kPermissionDenied);
    EXPECT_FALSE(IsSceneryWritable(platform, state));
}

TEST_F(ProtectedFolderTest, UnknownAccessThenWriteTest) {
    fake.access.granted = -1;
    // Probes left by an interrupted earlier test are cleared first.
    test::WriteBytes(scenery + "Cycle.txt", "old");
    test::WriteBytes(scenery + "Cycle.bak", "old");
    EXPECT_TRUE(IsSceneryWritable(platform, state));
    EXPECT_FALSE(ProbesLeft());
    EXPECT_EQ(slow.Journal().front(), "DeleteFile " + scenery + "Cycle.txt");
}

TEST_F(ProtectedFolderTest, EachFailingStepGivesFalse) {
    fake.access.granted = -1;
    // Operations in order: copy, rename, delete.
    slow.FailOperation(1, kPermissionDenied);
    EXPECT_FALSE(IsSceneryWritable(platform, state));
    EXPECT_FALSE(ProbesLeft());

    slow.ClearFaults();
    slow.FailPathsContaining("Cycle.bak", kPermissionDenied);  // the rename
    EXPECT_FALSE(IsSceneryWritable(platform, state));
    EXPECT_TRUE(test::FileExists(scenery + "Cycle.txt"));  // left for the next test to clear

    slow.ClearFaults();
    EXPECT_TRUE(IsSceneryWritable(platform, state));
    EXPECT_FALSE(ProbesLeft());

    // The final delete fails: False, and the moved probe stays.
    const int before = slow.OperationCount();
    slow.FailOperation(before + 3, kPermissionDenied);
    EXPECT_FALSE(IsSceneryWritable(platform, state));
    EXPECT_TRUE(test::FileExists(scenery + "Cycle.bak"));

    // A leftover that cannot be removed ends the test at once.
    slow.ClearFaults();
    slow.FailPathsContaining("Cycle.bak", kPermissionDenied);
    const int ops = slow.OperationCount();
    EXPECT_FALSE(IsSceneryWritable(platform, state));
    EXPECT_EQ(slow.OperationCount(), ops + 1);
}

TEST_F(ProtectedFolderTest, NoSceneryFolderOrNoPackageCycleFileIsNotWritable) {
    fake.access.granted = -1;
    state.SelectedSimFolder = dir / "nosim" + kSep;
    EXPECT_FALSE(IsSceneryWritable(platform, state));
    state.SelectedSimFolder = dir / "sim" + kSep;
    state.AppFolder = dir / "nopkg" + kSep;
    EXPECT_FALSE(IsSceneryWritable(platform, state));
}

TEST_F(ProtectedFolderTest, WaitsUpToFiveTimesAHundredMillisecondsPerFile) {
    fake.access.granted = -1;
    slow.hideChecksAfterWrite = 3;
    EXPECT_TRUE(IsSceneryWritable(platform, state));
    EXPECT_EQ(fake.env.sleeps, (std::vector<int>{100, 100, 100, 100, 100, 100}));
    EXPECT_FALSE(ProbesLeft());

    fake.env.sleeps.clear();
    slow.hideChecksAfterWrite = 100;  // the copy never shows within the waits
    EXPECT_FALSE(IsSceneryWritable(platform, state));
    EXPECT_EQ(fake.env.sleeps, (std::vector<int>(5, 100)));
}

}  // namespace
}  // namespace orvanta
