#include <gtest/gtest.h>

#include "engine/SimulatorGuard.h"
#include "platform/PathSeparator.h"
#include "platform/PeVersionReader.h"
#include "sim/Caption.h"
#include "sim/FolderJudgement.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

TEST(CaptionTest, CaptionPerSimulatorAndBuild) {
    const std::string folder = std::string("sims") + kSep;
    const struct {
        SimVersion sim;
        FileVersion fsx, prepar3D;  // of the folder's FSX.exe and Prepar3D.exe; zero: none
        const char* shown;          // after "Orvanta Installer v12.5"
    } cases[] = {
        // clang-format off
        {0, {10, 0, 61637, 0}, {}, ""},                        {1, {10, 0, 60905, 0}, {}, " (FSX-RTM)"},
        {1, {10, 0, 61355, 0}, {}, " (FSX-SP1)"},              {1, {10, 0, 61357, 0}, {}, " (FSX-SP1)"},
        {1, {10, 0, 61472, 0}, {}, " (FSX-SP2)"},              {1, {10, 0, 61637, 0}, {}, " (FSX-XPack)"},
        {1, {10, 0, 61356, 0}, {}, " (FSX-Unknown)"},          {1, {10, 0, 62607, 0}, {}, " (FSX-Unknown)"},
        {1, {}, {}, " (FSX-Unknown)"},                         {2, {10, 0, 62615, 0}, {}, " (FSX-SE)"},
        {3, {}, {4, 5, 12, 30293}, " (P3D v4.5)"},             {4, {}, {3, 10, 0, 0}, " (P3D v3.10)"},
        {5, {}, {2, 4, 1408, 0}, " (P3D v2.4)"},               {6, {}, {4, 5, 12, 30293}, " (P3D v4.5)"},
        {6, {10, 0, 61637, 0}, {}, " (P3D v0.0)"},             {7, {10, 0, 61637, 0}, {4, 5, 12, 30293}, ""},
        // clang-format on
    };
    // One set of versions changed row by row: the caption reads them each time.
    test::FakeFileVersions versions;
    for (const auto& c : cases) {
        versions.versions[folder + "FSX.exe"] = c.fsx;
        versions.versions[folder + "Prepar3D.exe"] = c.prepar3D;
        EXPECT_EQ(BuildCaption(versions, c.sim, folder), std::string("Orvanta Installer v12.5") + c.shown)
            << c.sim << " " << c.fsx.build;
    }
}

TEST(FolderJudgementTest, ChosenFoldersAreJudgedByExecutableVersionAndScenery) {
    enum Scenery { kNoScenery, kFolder, kFile };
    const struct {
        const char* name;
        FileVersion prepar3D, fsx;  // zero: the executable has no version information
        bool hasPrepar3D, hasFsx;
        Scenery scenery;
        FolderVerdict verdict;
        SimVersion sim;
    } cases[] = {
        {"Prepar3D v1", {1, 5, 12, 0}, {}, true, false, kFolder, FolderVerdict::Selected, 3},
        {"Prepar3D v2", {2, 0, 0, 0}, {}, true, false, kFolder, FolderVerdict::Selected, 4},
        {"Prepar3D v3", {3, 4, 0, 0}, {}, true, false, kFolder, FolderVerdict::Selected, 5},
        {"Prepar3D v4", {4, 5, 12, 0}, {}, true, false, kFolder, FolderVerdict::Selected, 6},
        {"Prepar3D v5", {5, 0, 0, 0}, {}, true, false, kFolder, FolderVerdict::Prepar3DV5, 0},
        {"FSX Acceleration", {}, {10, 0, 61637, 0}, false, true, kFolder, FolderVerdict::Selected, 1},
        {"FSX, last boxed build", {}, {10, 0, 62606, 0}, false, true, kFolder, FolderVerdict::Selected, 1},
        {"FSX, first Steam build", {}, {10, 0, 62607, 0}, false, true, kFolder, FolderVerdict::Selected, 2},
        {"FSX of major 9", {}, {9, 0, 61637, 0}, false, true, kFolder, FolderVerdict::Invalid, 0},
        {"Prepar3D without version", {}, {}, true, false, kFolder, FolderVerdict::Invalid, 0},
        {"both: judged as Prepar3D only", {}, {10, 0, 61637, 0}, true, true, kFolder, FolderVerdict::Invalid, 0},
        {"no Scenery folder", {4, 0, 0, 0}, {10, 0, 61637, 0}, true, true, kNoScenery, FolderVerdict::Invalid, 0},
        {"a file named Scenery", {4, 0, 0, 0}, {}, true, false, kFile, FolderVerdict::Invalid, 0},
        {"Scenery only", {}, {}, false, false, kFolder, FolderVerdict::Invalid, 0},
    };
    test::TempDir dir;
    test::FakePlatform fake;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = dir / ("sim" + std::to_string(n++));
        const std::string slash = folder + kSep;
        if (c.hasPrepar3D) test::WriteBytes(slash + "Prepar3D.exe", "MZ");
        if (c.hasFsx) test::WriteBytes(slash + "FSX.exe", "MZ");
        if (c.scenery == kFolder) test::MakeFolder(slash + "Scenery");
        if (c.scenery == kFile) test::WriteBytes(slash + "Scenery", "");
        fake.versions.versions[slash + "Prepar3D.exe"] = c.prepar3D;
        fake.versions.versions[slash + "FSX.exe"] = c.fsx;
        // A folder given with its separator keeps a single one.
        for (const std::string& chosen : {folder, slash}) {
            const FolderJudgement j = JudgeSimFolder(fake.fs(), fake.versions, chosen);
            EXPECT_EQ(j.verdict, c.verdict);
            EXPECT_EQ(j.sim, c.sim);
            EXPECT_EQ(j.folder, slash);
            // The refusals' texts are the start-up's and the selection window's to check.
            EXPECT_EQ(j.message.empty(), c.verdict == FolderVerdict::Selected);
        }
    }
}

// FSX is recognised by either of its window classes, Prepar3D by its exact process name;
// neither by the other's sign.
TEST(SimulatorGuardTest, EachSimulatorByItsOwnSign) {
    using Names = std::vector<std::string>;
    const Names nearMisses = {"prepar3d.exe", "PREPAR3D.EXE", "Prepar3D.exe.bak", " Prepar3D.exe"};
    const struct {
        const char* name;
        std::vector<SimVersion> sims;
        std::set<std::string> windowClasses;
        Names processes;
        bool running;
    } cases[] = {
        {"FSX main window", {1, 2}, {"FS98MAIN"}, {}, true},
        {"FSX's other window", {1, 2}, {"UIPCMAIN"}, {}, true},
        {"window classes match exactly", {1, 2}, {"fs98main", "OtherWindow"}, {"Prepar3D.exe"}, false},
        {"Prepar3D", {3, 4, 5, 6, 0, 7}, {}, {"explorer.exe", "Prepar3D.exe"}, true},
        {"process names match exactly", {3, 6}, {"FS98MAIN", "UIPCMAIN"}, nearMisses, false},
    };
    for (const auto& c : cases) {
        for (SimVersion sim : c.sims) {
            test::FakeProcesses p;
            p.windowClasses = c.windowClasses;
            p.processNames = c.processes;
            const SimulatorActivity a = IsSimulatorRunning(p, sim, "");
            EXPECT_EQ(a.running, c.running) << c.name << " " << sim;
            // Red when active, green when not; the texts are the window's to check.
            EXPECT_EQ(a.labelColour, (c.running ? LabelColour{192, 0, 0} : LabelColour{0, 96, 0})) << c.name;
        }
    }
}

FileVersion ReadBytes(const std::string& bytes) {
    return ReadPeFileVersion(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(PeVersionReaderTest, ReadsTheFileVersionOfEachKindOfExecutable) {
    const struct {
        const char* name;
        // PE32+, the four numbers, a version resource, its fixed block, language, an icon
        // before it that holds the fixed block's signature, strings after the block.
        tools::PeImageSpec spec;
        FileVersion version;  // zero: none found
    } cases[] = {
        {"PE32", {false, 10, 0, 61637, 0}, {10, 0, 61637, 0}},
        {"PE32+", {true, 4, 5, 12, 30293}, {4, 5, 12, 30293}},
        {"full 16-bit numbers", {false, 65535, 1, 65534, 65535}, {65535, 1, 65534, 65535}},
        {"after an icon holding the signature, in German", {true, 3, 4, 5, 6, true, true, 0x407, true}, {3, 4, 5, 6}},
        {"language neutral, no strings", {true, 3, 4, 5, 6, true, true, 0, false, false}, {3, 4, 5, 6}},
        {"no version resource", {true, 1, 2, 3, 4, false, true, 0x409, true}, {}},
        {"a version resource with strings only", {true, 1, 2, 3, 4, true, false}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadBytes(tools::MakePeImage(c.spec)), c.version) << c.name;
    for (const char* notAnExecutable : {"", "MZ", "This is a text file, not a program.\r\n"}) {
        EXPECT_TRUE(ReadBytes(notAnExecutable).IsZero()) << notAnExecutable;
    }
}

TEST(PeVersionReaderTest, StructuresPointingOutsideTheFileGiveZero) {
    tools::PeImageLayout at;
    const std::string good = tools::MakePeImage({false, 10, 0, 62615, 0}, &at);
    ASSERT_EQ(ReadBytes(good), (FileVersion{10, 0, 62615, 0}));
    const struct {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
        int size;  // bytes written, little-endian
    } cases[] = {
        {"PE header beyond the end", 0x3C, 0xFFFFFFF0u, 4},
        {"no PE signature", at.peHeader + 1, 'X', 1},
        {"neither PE32 nor PE32+", at.optionalHeader, 0x07, 1},
        {"version data outside every section", at.versionDataEntry, 0x7FFFFFF0u, 4},
        {"data size beyond the section", at.versionDataEntry + 4, 0xFFFFFFFFu, 4},
        {"section data beyond the end", at.sectionTable + 20, 0x7FFFFF00u, 4},
        {"the section has no data in the file", at.sectionTable + 16, 0, 4},
        {"no fixed block signature", at.fixedInfo, 0, 4},
        {"255 entries in a 1-entry root", at.resourceSection + 12, 0x00FF00FFu, 4},
    };
    for (const auto& c : cases) {
        std::string b = good;
        for (int i = 0; i < c.size; ++i) b[c.offset + i] = static_cast<char>((c.value >> (8 * i)) & 0xFF);
        EXPECT_TRUE(ReadBytes(b).IsZero()) << c.name;
    }
}

TEST(PeVersionReaderTest, EveryTruncationGivesZeroOrTheWholeVersion) {
    tools::PeImageLayout at;
    const std::string good = tools::MakePeImage({true, 2, 4, 1408, 0}, &at);
    for (std::size_t n = 0; n < good.size(); ++n) {
        const FileVersion v = ReadBytes(good.substr(0, n));
        EXPECT_TRUE(v.IsZero() || (n >= at.fixedInfo + 52 && v == FileVersion{2, 4, 1408, 0})) << n;
    }
}

}  // namespace
}  // namespace orvanta
