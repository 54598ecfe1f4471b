#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/posix/PosixEnvironment.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// Two commands started with different environments still meet at one lock, and so does
// the window program under Wine, which builds the name from the user id alone.
TEST(PosixInstanceLockTest, TheLockFileIsFixedPerUser) {
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/elsewhere"), tmp("TMPDIR", "/var/elsewhere"), home("HOME", "/x");
    EXPECT_EQ(DefaultInstanceLockPath(), "/tmp/orvanta-installer-" + std::to_string(::getuid()) + ".lock");
}

TEST(PosixInstanceLockTest, ALockThatCannotBeTakenRefuses) {
    struct Case {
        const char* name;
        const char* file;
        std::function<void(const std::string& file)> prepare;
        bool heldByAnother;
        bool taken;
    };
    const Case cases[] = {
        {"free", "a.lock", nullptr, false, true},
        {"left by an instance that ended", "a.lock", [](const std::string& f) { test::WriteBytes(f, ""); }, false,
         true},
        {"held by another instance", "a.lock", nullptr, true, false},
        {"in a folder that does not exist", "gone/a.lock", nullptr, false, false},
        {"a folder", "a.lock", [](const std::string& f) { test::MakeFolder(f); }, false, false},
        {"a link, which could lead anywhere", "a.lock",
         [](const std::string& f) { std::filesystem::create_symlink(f + ".target", f); }, false, false},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string file = dir / c.file;
        if (c.prepare) c.prepare(file);
        PosixEnvironment other("", "", file);
        if (c.heldByAnother) {
            ASSERT_TRUE(other.AcquireSingleInstanceLock()) << c.name;
        }
        PosixEnvironment env("", "", file);
        EXPECT_EQ(env.AcquireSingleInstanceLock(), c.taken) << c.name;
    }
}

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

}  // namespace
}  // namespace orvanta
