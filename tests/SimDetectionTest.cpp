#include <gtest/gtest.h>

#include <algorithm>

#include "app/Paths.h"
#include "platform/PathSeparator.h"
#include "sim/SimDetection.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;

const std::string kFsxKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
const std::string kFsxSeKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator - Steam Edition\\10.0";
const std::string kDovetailKey = "Software\\DovetailGames\\FSX";
const std::string kP3D1Key = "Software\\LockheedMartin\\Prepar3D";
const std::string kP3D4Key = "Software\\Lockheed Martin\\Prepar3D v4";

class SimDetectionTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakePlatform fake;
    ProgramState state;

    // A simulator main folder with its executable and, unless told otherwise, "Scenery".
    // Returns the folder without a trailing separator, as a registry value may hold it.
    std::string MakeSim(const std::string& name, const std::string& exe, bool scenery = true) {
        const std::string folder = dir / name;
        test::WriteBytes(folder + kSep + exe, "MZ");
        if (scenery) test::MakeFolder(folder + kSep + "Scenery");
        return folder;
    }
    std::string F(const std::string& folder) { return AddBackslash(folder); }
    bool WasRead(const std::string& keyPart) {
        return std::any_of(fake.registry.reads.begin(), fake.registry.reads.end(),
                           [&](const std::string& r) { return r.find(keyPart) != std::string::npos; });
    }
    void Detect() { DetectSimulators(fake.platform, state); }
};

TEST_F(SimDetectionTest, NothingRegisteredDetectsNothing) {
    state.SimFolders[3] = "stale";
    Detect();
    for (const std::string& f : state.SimFolders) EXPECT_EQ(f, "");
    // Every lookup of the table was tried, in order.
    EXPECT_EQ(fake.registry.reads.size(), 2u + 4u + 2u * 4u);
    EXPECT_EQ(fake.registry.reads.front(), "HKLM|" + kFsxKey + "|SetupPath|32");
    EXPECT_EQ(fake.registry.reads[1], "HKCU|" + kFsxKey + "|AppPath|32");
    EXPECT_EQ(fake.registry.reads[2], "HKLM|" + kFsxSeKey + "|SetupPath|32");
    EXPECT_EQ(fake.registry.reads[4], "HKLM|" + kDovetailKey + "|Install_Path|32");
    EXPECT_EQ(fake.registry.reads[5], "HKCU|" + kDovetailKey + "|AppPath|32");
    EXPECT_EQ(fake.registry.reads[6], "HKLM|" + kP3D1Key + "|SetupPath|32");
    EXPECT_EQ(fake.registry.reads[7], "HKCU|" + kP3D1Key + "|AppPath|32");
    EXPECT_EQ(fake.registry.reads[12], "HKLM|" + kP3D4Key + "|SetupPath|64");
    EXPECT_EQ(fake.registry.reads[13], "HKCU|" + kP3D4Key + "|AppPath|64");
}

TEST_F(SimDetectionTest, EachVersionFromItsKeysWithTheSeparatorAdded) {
    const std::string fsx = MakeSim("FSX", "FSX.exe");
    const std::string p3d2 = MakeSim("P3D2", "Prepar3D.exe");
    const std::string p3d4 = MakeSim("P3D4", "Prepar3D.exe");
    fake.registry.Set(kLM, kFsxKey, "SetupPath", fsx, k32);  // no trailing separator
    fake.registry.Set(kCU, "Software\\Lockheed Martin\\Prepar3D v2", "AppPath", F(p3d2), k32);
    fake.registry.Set(kLM, kP3D4Key, "SetupPath", p3d4 + std::string(1, '\0') + "junk", k64);
    Detect();
    EXPECT_EQ(state.SimFolders[1], F(fsx));
    EXPECT_EQ(state.SimFolders[2], "");
    EXPECT_EQ(state.SimFolders[4], F(p3d2));
    EXPECT_EQ(state.SimFolders[6], F(p3d4));  // text after a NUL is not part of it
}

TEST_F(SimDetectionTest, SteamEditionThresholdBothWays) {
    const std::string fsx = MakeSim("FSX", "FSX.exe");
    fake.registry.Set(kLM, kFsxKey, "SetupPath", fsx, k32);
    fake.versions.Set(F(fsx) + "FSX.exe", 10, 0, 62606, 0);
    Detect();
    EXPECT_EQ(state.SimFolders[1], F(fsx));
    EXPECT_EQ(state.SimFolders[2], "");
    EXPECT_TRUE(WasRead(kFsxSeKey));

    // A registered boxed FSX that is really the Steam Edition moves to version 2, and the
    // Steam Edition's own keys are then not read.
    fake.registry.reads.clear();
    fake.versions.Set(F(fsx) + "FSX.exe", 10, 0, 62607, 0);
    Detect();
    EXPECT_EQ(state.SimFolders[1], "");
    EXPECT_EQ(state.SimFolders[2], F(fsx));
    EXPECT_FALSE(WasRead(kFsxSeKey));
    EXPECT_FALSE(WasRead(kDovetailKey));

    // Only major 10 counts; a file without version information stays version 1.
    fake.versions.Set(F(fsx) + "FSX.exe", 11, 0, 62607, 0);
    Detect();
    EXPECT_EQ(state.SimFolders[1], F(fsx));
    fake.versions.Set(F(fsx) + "FSX.exe", 0, 0, 0, 0);
    Detect();
    EXPECT_EQ(state.SimFolders[1], F(fsx));
}

TEST_F(SimDetectionTest, SteamEditionOwnKeysAreTakenWithoutAVersionTest) {
    const std::string se = MakeSim("FSXSE", "FSX.exe");
    const std::string other = MakeSim("Other", "FSX.exe");
    fake.versions.Set(F(se) + "FSX.exe", 10, 0, 60905, 0);  // an old build does not matter here
    fake.registry.Set(kCU, kDovetailKey, "AppPath", other, k32);
    fake.registry.Set(kLM, kDovetailKey, "Install_Path", se, k32);
    Detect();
    EXPECT_EQ(state.SimFolders[2], F(se));  // the first lookup that gives a folder wins
    EXPECT_EQ(state.SimFolders[1], "");
    EXPECT_FALSE(WasRead("|" + kDovetailKey + "|AppPath"));
}

TEST_F(SimDetectionTest, AFolderWithoutTheExecutableGivesNoEntry) {
    const std::string p3d = MakeSim("P3D1", "Prepar3D.exe");
    const std::string noExe = dir / "NoExe";
    test::MakeFolder(noExe + kSep + "Scenery");
    fake.registry.Set(kLM, kP3D1Key, "SetupPath", noExe, k32);  // first row: no executable
    fake.registry.Set(kCU, kP3D1Key, "AppPath", p3d, k32);      // so the second row is asked
    fake.registry.Set(kLM, kFsxKey, "SetupPath", noExe, k32);
    Detect();
    EXPECT_EQ(state.SimFolders[3], F(p3d));
    EXPECT_EQ(state.SimFolders[1], "");
}

TEST_F(SimDetectionTest, AFolderWithoutSceneryIsDroppedAfterAllLookups) {
    const std::string bare = MakeSim("Bare", "Prepar3D.exe", /*scenery=*/false);
    const std::string full = MakeSim("Full", "Prepar3D.exe");
    fake.registry.Set(kLM, kP3D1Key, "SetupPath", bare, k32);
    fake.registry.Set(kCU, kP3D1Key, "AppPath", full, k32);
    Detect();
    // The first row gave a folder, so the second was not asked; then the folder was dropped.
    EXPECT_EQ(state.SimFolders[3], "");
    EXPECT_FALSE(WasRead("HKCU|" + kP3D1Key));
    // A "scenery" folder in any case counts; a file of that name does not.
    const std::string lower = dir / "Lower";
    test::WriteBytes(lower + kSep + "Prepar3D.exe", "MZ");
    test::MakeFolder(lower + kSep + "scenery");
    const std::string file = dir / "File";
    test::WriteBytes(file + kSep + "Prepar3D.exe", "MZ");
    test::WriteBytes(file + kSep + "Scenery", "not a folder");
    fake.registry.Set(kLM, "Software\\Lockheed Martin\\Prepar3D v2", "SetupPath", lower, k32);
    fake.registry.Set(kLM, "Software\\Lockheed Martin\\Prepar3D v3", "SetupPath", file, k32);
    Detect();
    EXPECT_EQ(state.SimFolders[4], F(lower));
    EXPECT_EQ(state.SimFolders[5], "");
}

TEST_F(SimDetectionTest, OnlyTheV4LookupsUseThe64BitView) {
    const std::string p3d = MakeSim("P3D", "Prepar3D.exe");
    for (const char* key : {"Software\\LockheedMartin\\Prepar3D", "Software\\Lockheed Martin\\Prepar3D v2",
                            "Software\\Lockheed Martin\\Prepar3D v3"}) {
        fake.registry.Set(kLM, key, "SetupPath", p3d, k64);
    }
    fake.registry.Set(kLM, kP3D4Key, "SetupPath", p3d, k32);
    fake.registry.Set(kCU, kP3D4Key, "AppPath", p3d, k32);
    fake.registry.Set(kLM, kFsxKey, "SetupPath", MakeSim("FSX", "FSX.exe"), k64);
    Detect();
    for (const std::string& f : state.SimFolders) EXPECT_EQ(f, "");
    for (const std::string& read : fake.registry.reads) {
        const bool v4 = read.find(kP3D4Key) != std::string::npos;
        EXPECT_EQ(read.substr(read.size() - 2), v4 ? "64" : "32") << read;
    }
}

TEST_F(SimDetectionTest, RegistryPathsPassThroughTheHostMapping) {
    const std::string drive = dir / "drive_c";
    test::MakeFolder(drive);
    fake.registry.drives['C'] = drive;
    test::WriteBytes(drive + kSep + "Sims" + kSep + "P3D v4" + kSep + "Prepar3D.exe", "MZ");
    test::MakeFolder(drive + kSep + "Sims" + kSep + "P3D v4" + kSep + "Scenery");
    fake.registry.Set(kLM, kP3D4Key, "SetupPath", "C:\\Sims\\P3D v4", k64);
    Detect();
    EXPECT_EQ(state.SimFolders[6], drive + kSep + "Sims" + kSep + "P3D v4" + kSep);
}

TEST_F(SimDetectionTest, AnEmptyValueNamesNoFolder) {
    // With a separator added, an empty value would name the root folder of the drive.
    fake.registry.Set(kLM, kFsxKey, "SetupPath", "", k32);
    fake.registry.Set(kCU, kFsxKey, "AppPath", std::string("\0\0", 2), k32);
    const RegistryLookup lm{kLM, kFsxKey.c_str(), "SetupPath", k32};
    const RegistryLookup cu{kCU, kFsxKey.c_str(), "AppPath", k32};
    EXPECT_EQ(ReadSimFolder(fake.registry, fake.fs(), lm, "FSX.exe"), "");
    EXPECT_EQ(ReadSimFolder(fake.registry, fake.fs(), cu, "FSX.exe"), "");
}

TEST(TrimAtNulTest, TextBeforeTheFirstNul) {
    EXPECT_EQ(TrimAtNul(""), "");
    EXPECT_EQ(TrimAtNul("abc"), "abc");
    EXPECT_EQ(TrimAtNul(std::string("abc\0def\0", 8)), "abc");
    EXPECT_EQ(TrimAtNul(std::string("\0abc", 4)), "");
    EXPECT_EQ(TrimAtNul(std::string(1024, '\0')), "");
}

class ShaderCacheFolderTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::FakePlatform fake;
    std::string Folder(const std::string& relative) { return dir / relative; }
    std::string Shader(SimVersion v) { return ShaderCacheFolder(fake.fs(), fake.env, v); }
    void SetUp() override { fake.env.localAppData = dir.path(); }
};

TEST_F(ShaderCacheFolderTest, ExistingFolderOrEmpty) {
    EXPECT_EQ(Shader(1), "");
    test::MakeFolder(Folder("Microsoft/FSX/Shaders"));
    test::MakeFolder(Folder("Lockheed Martin/Prepar3D/Shaders"));
    test::MakeFolder(Folder("Lockheed Martin/Prepar3D v4/Shaders"));
    EXPECT_EQ(Shader(1), Folder("Microsoft/FSX/Shaders"));
    EXPECT_EQ(Shader(3), Folder("Lockheed Martin/Prepar3D/Shaders"));
    EXPECT_EQ(Shader(4), "");
    EXPECT_EQ(Shader(6), Folder("Lockheed Martin/Prepar3D v4/Shaders"));
    EXPECT_EQ(Shader(0), "");
    EXPECT_EQ(Shader(7), "");
}

TEST_F(ShaderCacheFolderTest, SteamEditionFallsBackToTheFsxFolder) {
    EXPECT_EQ(Shader(2), "");
    test::MakeFolder(Folder("Microsoft/FSX/Shaders"));
    EXPECT_EQ(Shader(2), Folder("Microsoft/FSX/Shaders"));
    test::MakeFolder(Folder("Microsoft/FSX-SE/Shaders"));
    EXPECT_EQ(Shader(2), Folder("Microsoft/FSX-SE/Shaders"));
}

TEST_F(ShaderCacheFolderTest, NoLocalApplicationDataFolderGivesEmpty) {
    fake.env.localAppData = "";
    EXPECT_EQ(Shader(1), "");
}

}  // namespace
}  // namespace orvanta
