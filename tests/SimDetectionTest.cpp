#include <gtest/gtest.h>

#include <map>

#include "app/Paths.h"
#include "platform/PathSeparator.h"
#include "sim/SimDetection.h"
#include "support/Fakes.h"
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
Value LM(const std::string& key, const std::string& data, RegistryView view = k32) {
    return {kLM, key, "SetupPath", data, view};
}
Value CU(const std::string& key, const std::string& data, RegistryView view = k32) {
    return {kCU, key, "AppPath", data, view};
}

TEST(SimDetectionTest, EachVersionsFolderFromTheRegistry) {
    using namespace std::string_literals;
    const std::string sep(1, kSep);
    const struct {
        const char* name;
        std::vector<Value> values;
        FileVersion fsx;                   // of FSX/FSX.exe
        std::map<int, const char*> found;  // version -> folder; every other version finds none
    } cases[] = {
        // clang-format off
        {"the separator added once, text after a NUL dropped",
         {CU(kP3D2Key, "@P3D" + sep), LM(kP3D4Key, "@P3D\0junk"s, k64)}, {}, {{4, "P3D"}, {6, "P3D"}}},
        {"each version's first lookup", {LM(kFsxKey, "@FSX"), LM(kFsxSeKey, "@FSX2"), LM(kP3D1Key, "@P3D"),
         LM(kP3D2Key, "@P3D"), LM(kP3D3Key, "@P3D"), LM(kP3D4Key, "@P3D", k64)}, {10, 0, 61637, 0},
         {{1, "FSX"}, {2, "FSX2"}, {3, "P3D"}, {4, "P3D"}, {5, "P3D"}, {6, "P3D"}}},
        {"each version's second lookup", {CU(kFsxKey, "@FSX"), CU(kFsxSeKey, "@FSX2"), CU(kP3D1Key, "@P3D"),
         CU(kP3D2Key, "@P3D"), CU(kP3D3Key, "@P3D"), CU(kP3D4Key, "@P3D", k64)}, {10, 0, 61637, 0},
         {{1, "FSX"}, {2, "FSX2"}, {3, "P3D"}, {4, "P3D"}, {5, "P3D"}, {6, "P3D"}}},
        {"the Steam Edition's last lookup", {CU(kDovetailKey, "@FSX2")}, {}, {{2, "FSX2"}}},
        {"a boxed FSX below the Steam Edition build", {LM(kFsxKey, "@FSX")}, {10, 0, 62606, 0}, {{1, "FSX"}}},
        {"a boxed FSX of a Steam Edition build is the Steam Edition, whose keys are then not read",
         {LM(kFsxKey, "@FSX"), LM(kFsxSeKey, "@FSX2")}, {10, 0, 62607, 0}, {{2, "FSX"}}},
        {"only major 10 can be the Steam Edition", {LM(kFsxKey, "@FSX")}, {11, 0, 62607, 0}, {{1, "FSX"}}},
        {"no version information: boxed", {LM(kFsxKey, "@FSX")}, {}, {{1, "FSX"}}},
        {"the Steam Edition's own keys, whatever the build; the first that names a folder wins",
         {{kLM, kDovetailKey, "Install_Path", "@FSX", k32}, CU(kDovetailKey, "@FSX2")}, {10, 0, 60905, 0},
         {{2, "FSX"}}},
        {"a folder without the executable lets the next key answer",
         {LM(kP3D1Key, "@NoExe"), CU(kP3D1Key, "@P3D"), LM(kFsxKey, "@NoExe")}, {}, {{3, "P3D"}}},
        {"a folder without a Scenery folder (in any case) is dropped after the lookups",
         {LM(kP3D1Key, "@Bare"), CU(kP3D1Key, "@P3D"), LM(kP3D2Key, "@Lower"), LM(kP3D3Key, "@File"),
         LM(kP3D4Key, "@Bare", k64)}, {},
         {{4, "Lower"}}},
        {"only Prepar3D v4 reads the 64-bit view",
         {LM(kP3D1Key, "@P3D", k64), LM(kP3D2Key, "@P3D", k64), LM(kP3D3Key, "@P3D", k64), LM(kP3D4Key, "@P3D"),
          CU(kP3D4Key, "@P3D"), LM(kFsxKey, "@FSX", k64)}, {10, 0, 61637, 0}, {}},
        // clang-format on
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
    const char *fsx = "Microsoft/FSX/Shaders", *se = "Microsoft/FSX-SE/Shaders";
    const char *v1 = "Lockheed Martin/Prepar3D/Shaders", *v2 = "Lockheed Martin/Prepar3D v2/Shaders";
    const char *v3 = "Lockheed Martin/Prepar3D v3/Shaders", *v4 = "Lockheed Martin/Prepar3D v4/Shaders";
    // The Steam Edition falls back to FSX's folder.
    const struct {
        SimVersion version;
        std::vector<const char*> existing;
        const char* found;  // nullptr: none
    } cases[] = {
        {1, {}, nullptr},   {1, {fsx}, fsx}, {2, {}, nullptr}, {2, {fsx}, fsx}, {2, {fsx, se}, se},  {3, {v1, v4}, v1},
        {4, {v1}, nullptr}, {4, {v2}, v2},   {5, {v3}, v3},    {6, {v4}, v4},   {0, {fsx}, nullptr}, {7, {v4}, nullptr},
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
