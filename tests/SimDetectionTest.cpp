#include <gtest/gtest.h>

#include <map>

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
const std::string kP3D2Key = "Software\\Lockheed Martin\\Prepar3D v2";
const std::string kP3D3Key = "Software\\Lockheed Martin\\Prepar3D v3";
const std::string kP3D4Key = "Software\\Lockheed Martin\\Prepar3D v4";

struct Value {
    RegistryRoot root;
    std::string key;
    const char* name;
    std::string data;  // a leading '@' stands for the test folder and a separator
    RegistryView view;
};

TEST(SimDetectionTest, EachVersionsFolderFromTheRegistry) {
    using namespace std::string_literals;
    const std::string sep(1, kSep);
    const struct {
        const char* name;
        std::vector<Value> values;
        FileVersion fsx;                   // of FSX/FSX.exe
        std::map<int, const char*> found;  // version -> folder; every other version finds none
    } cases[] = {
        {"each version from its keys, the separator added, text after a NUL dropped",
         {{kLM, kFsxKey, "SetupPath", "@FSX", k32},
          {kCU, kP3D2Key, "AppPath", "@P3D" + sep, k32},
          {kLM, kP3D4Key, "SetupPath", "@P3D\0junk"s, k64}},
         {10, 0, 61637, 0},
         {{1, "FSX"}, {4, "P3D"}, {6, "P3D"}}},
        {"a boxed FSX below the Steam Edition build",
         {{kLM, kFsxKey, "SetupPath", "@FSX", k32}},
         {10, 0, 62606, 0},
         {{1, "FSX"}}},
        {"a boxed FSX of a Steam Edition build is the Steam Edition, whose keys are then not read",
         {{kLM, kFsxKey, "SetupPath", "@FSX", k32}, {kLM, kFsxSeKey, "SetupPath", "@FSX2", k32}},
         {10, 0, 62607, 0},
         {{2, "FSX"}}},
        {"only major 10 can be the Steam Edition",
         {{kLM, kFsxKey, "SetupPath", "@FSX", k32}},
         {11, 0, 62607, 0},
         {{1, "FSX"}}},
        {"no version information: boxed", {{kLM, kFsxKey, "SetupPath", "@FSX", k32}}, {}, {{1, "FSX"}}},
        {"the Steam Edition's own keys, whatever the build; the first that names a folder wins",
         {{kLM, kDovetailKey, "Install_Path", "@FSX", k32}, {kCU, kDovetailKey, "AppPath", "@FSX2", k32}},
         {10, 0, 60905, 0},
         {{2, "FSX"}}},
        {"a folder without the executable lets the next key answer",
         {{kLM, kP3D1Key, "SetupPath", "@NoExe", k32},
          {kCU, kP3D1Key, "AppPath", "@P3D", k32},
          {kLM, kFsxKey, "SetupPath", "@NoExe", k32}},
         {},
         {{3, "P3D"}}},
        {"a folder without a Scenery folder (in any case) is dropped after the lookups",
         {{kLM, kP3D1Key, "SetupPath", "@Bare", k32},
          {kCU, kP3D1Key, "AppPath", "@P3D", k32},
          {kLM, kP3D2Key, "SetupPath", "@Lower", k32},
          {kLM, kP3D3Key, "SetupPath", "@File", k32}},
         {},
         {{4, "Lower"}}},
        {"only Prepar3D v4 reads the 64-bit view",
         {{kLM, kP3D1Key, "SetupPath", "@P3D", k64},
          {kLM, kP3D2Key, "SetupPath", "@P3D", k64},
          {kLM, kP3D3Key, "SetupPath", "@P3D", k64},
          {kLM, kP3D4Key, "SetupPath", "@P3D", k32},
          {kCU, kP3D4Key, "AppPath", "@P3D", k32},
          {kLM, kFsxKey, "SetupPath", "@FSX", k64}},
         {10, 0, 61637, 0},
         {}},
        {"Windows paths are mapped to host folders", {{kLM, kP3D4Key, "SetupPath", "Q:\\P3D", k64}}, {}, {{6, "P3D"}}},
    };
    test::TempDir dir;
    for (const char* fsx : {"FSX", "FSX2"}) test::WriteBytes(dir / fsx + sep + "FSX.exe", "MZ");
    for (const char* p3d : {"P3D", "Bare", "Lower", "File"}) test::WriteBytes(dir / p3d + sep + "Prepar3D.exe", "MZ");
    for (const char* scenery : {"FSX/Scenery", "FSX2/Scenery", "P3D/Scenery", "NoExe/Scenery", "Lower/scenery"}) {
        test::MakeFolder(dir / scenery);
    }
    test::WriteBytes(dir / "File/Scenery", "not a folder");

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakePlatform fake;
        fake.registry.drives['Q'] = dir.path();  // a letter no test folder lies on
        for (const Value& v : c.values) {
            const std::string data = v.data[0] == '@' ? dir.path() + sep + v.data.substr(1) : v.data;
            fake.registry.Set(v.root, v.key, v.name, data, v.view);
        }
        fake.versions.versions[dir / "FSX/FSX.exe"] = c.fsx;
        ProgramState state;
        state.SimFolders[3] = "stale";
        DetectSimulators(fake.platform, state);
        for (int v = 1; v <= 6; ++v) {
            const auto found = c.found.find(v);
            EXPECT_EQ(state.SimFolders[v], found == c.found.end() ? "" : dir / found->second + sep) << v;
        }
    }
}

TEST(ShaderCacheFolderTest, EachVersionsExistingFolderOrNone) {
    const struct {
        SimVersion version;
        std::vector<const char*> existing;
        const char* found;  // nullptr: none
    } cases[] = {
        {1, {}, nullptr},
        {1, {"Microsoft/FSX/Shaders"}, "Microsoft/FSX/Shaders"},
        {2, {}, nullptr},
        {2, {"Microsoft/FSX/Shaders"}, "Microsoft/FSX/Shaders"},  // the Steam Edition falls back to FSX's
        {2, {"Microsoft/FSX/Shaders", "Microsoft/FSX-SE/Shaders"}, "Microsoft/FSX-SE/Shaders"},
        {3,
         {"Lockheed Martin/Prepar3D/Shaders", "Lockheed Martin/Prepar3D v4/Shaders"},
         "Lockheed Martin/Prepar3D/Shaders"},
        {4, {"Lockheed Martin/Prepar3D/Shaders"}, nullptr},
        {4, {"Lockheed Martin/Prepar3D v2/Shaders"}, "Lockheed Martin/Prepar3D v2/Shaders"},
        {5, {"Lockheed Martin/Prepar3D v3/Shaders"}, "Lockheed Martin/Prepar3D v3/Shaders"},
        {6, {"Lockheed Martin/Prepar3D v4/Shaders"}, "Lockheed Martin/Prepar3D v4/Shaders"},
        {0, {"Microsoft/FSX/Shaders"}, nullptr},
        {7, {"Lockheed Martin/Prepar3D v4/Shaders"}, nullptr},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        test::FakePlatform fake;
        fake.env.localAppData = dir.path();
        for (const char* folder : c.existing) test::MakeFolder(dir / folder);
        EXPECT_EQ(ShaderCacheFolder(fake.fs(), fake.env, c.version), c.found ? dir / c.found : "")
            << c.version << " " << (c.found ? c.found : "none");
    }
}

}  // namespace
}  // namespace orvanta
