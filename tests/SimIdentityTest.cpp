#include <gtest/gtest.h>

#include "app/Paths.h"
#include "platform/PathSeparator.h"
#include "sim/Caption.h"
#include "sim/FolderJudgement.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(CaptionTest, ServiceLevelsByBuild) {
    test::FakeFileVersions versions;
    const std::pair<std::uint16_t, const char*> table[] = {
        {60905, "RTM"},   {61355, "SP1"},     {61357, "SP1"},     {61472, "SP2"},
        {61637, "XPack"}, {61356, "Unknown"}, {62607, "Unknown"}, {0, "Unknown"},
    };
    for (const auto& [build, level] : table) {
        versions.Set("FSX.exe", 10, 0, build, 0);
        EXPECT_EQ(FsxServiceLevel(versions, "FSX.exe"), level) << build;
    }
    EXPECT_EQ(FsxServiceLevel(versions, "absent.exe"), "Unknown");
}

TEST(CaptionTest, Prepar3DVersionText) {
    test::FakeFileVersions versions;
    versions.Set("P.exe", 4, 5, 12, 30293);
    EXPECT_EQ(Prepar3DVersionText(versions, "P.exe"), "v4.5");
    versions.Set("P.exe", 3, 10, 0, 0);
    EXPECT_EQ(Prepar3DVersionText(versions, "P.exe"), "v3.10");
    EXPECT_EQ(Prepar3DVersionText(versions, "none.exe"), "v0.0");
}

TEST(CaptionTest, CaptionPerSelectedSimulator) {
    test::FakeFileVersions versions;
    const std::string folder = std::string("sims") + kSep;
    versions.Set(folder + "FSX.exe", 10, 0, 61637, 0);
    versions.Set(folder + "Prepar3D.exe", 4, 5, 12, 30293);
    EXPECT_EQ(BuildCaption(versions, 0, ""), "Orvanta Installer v12.5");
    EXPECT_EQ(BuildCaption(versions, 1, folder), "Orvanta Installer v12.5 (FSX-XPack)");
    EXPECT_EQ(BuildCaption(versions, 2, folder), "Orvanta Installer v12.5 (FSX-SE)");
    for (SimVersion v = 3; v <= 6; ++v)
        EXPECT_EQ(BuildCaption(versions, v, folder), "Orvanta Installer v12.5 (P3D v4.5)");
    EXPECT_EQ(BuildCaption(versions, 4, std::string("elsewhere") + kSep), "Orvanta Installer v12.5 (P3D v0.0)");
    // The version is read each time the caption is built, never remembered.
    versions.Set(folder + "FSX.exe", 10, 0, 61472, 0);
    EXPECT_EQ(BuildCaption(versions, 1, folder), "Orvanta Installer v12.5 (FSX-SP2)");
    EXPECT_EQ(BuildCaption(versions, 7, folder), "Orvanta Installer v12.5");
}

class FolderJudgementTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakePlatform fake;

    std::string Make(const std::string& name, std::initializer_list<const char*> exes, bool scenery = true) {
        const std::string folder = dir / name;
        test::MakeFolder(folder);
        for (const char* exe : exes) test::WriteBytes(folder + kSep + exe, "MZ");
        if (scenery) test::MakeFolder(folder + kSep + "Scenery");
        return folder;
    }
    void Version(const std::string& folder, const char* exe, std::uint16_t major, std::uint16_t minor,
                 std::uint16_t build) {
        fake.versions.Set(AddBackslash(folder) + exe, major, minor, build, 0);
    }
    FolderJudgement Judge(const std::string& folder) { return JudgeSimFolder(fake.fs(), fake.versions, folder); }
};

TEST_F(FolderJudgementTest, Prepar3DMajorsOneToFourAreVersionsThreeToSix) {
    const std::string p3d = Make("P3D", {"Prepar3D.exe"});
    for (std::uint16_t major = 1; major <= 4; ++major) {
        Version(p3d, "Prepar3D.exe", major, 5, 12);
        const FolderJudgement j = Judge(p3d);
        EXPECT_EQ(j.verdict, FolderVerdict::Selected);
        EXPECT_EQ(j.sim, major + 2);
        EXPECT_EQ(j.folder, p3d + kSep);
        EXPECT_EQ(j.message, "");
    }
    // A folder given with its separator keeps a single one.
    EXPECT_EQ(Judge(p3d + kSep).folder, p3d + kSep);
}

TEST_F(FolderJudgementTest, Prepar3DFiveAndLaterAreRefused) {
    const std::string p3d = Make("P3D5", {"Prepar3D.exe"});
    for (std::uint16_t major : {5, 6, 65535}) {
        Version(p3d, "Prepar3D.exe", major, 0, 0);
        const FolderJudgement j = Judge(p3d);
        EXPECT_EQ(j.verdict, FolderVerdict::Prepar3DV5);
        EXPECT_EQ(j.sim, 0);
        EXPECT_EQ(j.reason, "The Orvanta package is not compatible with P3Dv5");
        EXPECT_EQ(j.message,
                  "The Orvanta package is not compatible with P3Dv5\r\n"
                  "Click Retry to select another folder or Cancel to exit");
    }
}

TEST_F(FolderJudgementTest, FsxSplitsAtTheSteamEditionBuild) {
    const std::string fsx = Make("FSX", {"FSX.exe"});
    const std::pair<std::uint16_t, SimVersion> cases[] = {{61637, 1}, {62606, 1}, {62607, 2}, {62615, 2}, {0, 1}};
    for (const auto& [build, sim] : cases) {
        Version(fsx, "FSX.exe", 10, 0, build);
        const FolderJudgement j = Judge(fsx);
        EXPECT_EQ(j.verdict, FolderVerdict::Selected) << build;
        EXPECT_EQ(j.sim, sim) << build;
    }
}

TEST_F(FolderJudgementTest, AnythingElseIsInvalid) {
    const std::string invalid =
        "Invalid folder, unknown or inactive simulator\r\n"
        "Click Retry to select another folder or Cancel to exit";
    auto expectInvalid = [&](const std::string& folder, const char* why) {
        const FolderJudgement j = Judge(folder);
        EXPECT_EQ(j.verdict, FolderVerdict::Invalid) << why;
        EXPECT_EQ(j.sim, 0) << why;
        EXPECT_EQ(j.message, invalid) << why;
        EXPECT_EQ(j.reason, "Invalid folder, unknown or inactive simulator") << why;
    };
    const std::string noScenery = Make("NoScenery", {"Prepar3D.exe", "FSX.exe"}, false);
    Version(noScenery, "Prepar3D.exe", 4, 0, 0);
    Version(noScenery, "FSX.exe", 10, 0, 61637);
    expectInvalid(noScenery, "executables without Scenery");

    const std::string p3dNoVersion = Make("P3D0", {"Prepar3D.exe"});
    expectInvalid(p3dNoVersion, "Prepar3D.exe without version information");

    // A folder with both executables is judged as Prepar3D only, even when FSX would pass.
    const std::string both = Make("Both", {"Prepar3D.exe", "FSX.exe"});
    Version(both, "FSX.exe", 10, 0, 61637);
    expectInvalid(both, "both executables, Prepar3D without version");

    const std::string fsx9 = Make("FSX9", {"FSX.exe"});
    Version(fsx9, "FSX.exe", 9, 0, 61637);
    expectInvalid(fsx9, "FSX of major 9");

    expectInvalid(Make("Empty", {}), "Scenery only");
    expectInvalid(dir / "Absent", "no folder");
    expectInvalid("", "empty text");
}

TEST_F(FolderJudgementTest, ASceneryFileIsNotASceneryFolder) {
    const std::string p3d = Make("P3D", {"Prepar3D.exe"}, false);
    test::WriteBytes(p3d + kSep + "Scenery", "");
    Version(p3d, "Prepar3D.exe", 4, 0, 0);
    EXPECT_EQ(Judge(p3d).verdict, FolderVerdict::Invalid);
}

}  // namespace
}  // namespace orvanta
