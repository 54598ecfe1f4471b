#include <gtest/gtest.h>

#include "platform/posix/PosixEnvironment.h"

namespace orvanta {
namespace {

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
