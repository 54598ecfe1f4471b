#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/WinText.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(Win32CommandTest, NonAsciiPackageFolderReachesTheCommandWhole) {
    const std::string program = Win32Environment().ProgramFolder() + "\\..\\orvanta.exe";
    ASSERT_TRUE(test::FileExists(program));
    test::TempDir dir;
    test::PackageBuilder b;
    b.cycle = "2213\r\n";
    const std::string package = dir / "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC pkg";
    b.Write(package);
    // Started by the shell from a wide command line, as a user's console would start it.
    const std::wstring command = L"\"\"" + ToWide(program) + L"\" --package \"" + ToWide(package) + L"\" check > \"" +
                                 ToWide(dir / "out.txt") + L"\" 2>&1\"";
    const int code = ::_wsystem(command.c_str());
    std::string out = test::ReadBytes(dir / "out.txt");
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out, "Package OK\nAPX: 1 files\nATX: 1 files\nNVX: 1 files\nAIRAC Cycle: 2213\n");
}

}  // namespace
}  // namespace orvanta
