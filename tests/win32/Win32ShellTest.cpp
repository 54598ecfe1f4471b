#include <gtest/gtest.h>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Shell.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(Win32ShellTest, OpensWhatHasAHandlerAndReportsWhatCannotBeOpened) {
    Win32Shell shell;
    // A program opens by running; the fixture ends at once.
    EXPECT_TRUE(shell.Open(Win32Environment().ProgramFolder() + "\\orvanta_version_fixture.exe"));
    test::TempDir dir;
    EXPECT_FALSE(shell.Open(dir / "absent.pdf"));
}

}  // namespace
}  // namespace orvanta
