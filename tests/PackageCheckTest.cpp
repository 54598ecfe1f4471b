#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/ProgramState.h"
#include "package/AreaGrid.h"
#include "package/PackageCheck.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

using Lines = std::vector<std::string>;

// Count list lines in the grid (distinct APX names, or ATX and NVX names of area 0502),
// then the extra line if any.
Lines Numbered(const std::string& prefix, int count, const char* extra = nullptr) {
    Lines lines;
    for (int i = 0; i < count; ++i) {
        const std::string digits = std::to_string(100000 + (i / 60) * 1000 + (i % 60) * 10);
        lines.push_back(prefix + (prefix == "APX" ? digits.substr(1) : "0502" + std::to_string(i % 10)));
    }
    if (extra) lines.push_back(extra);
    return lines;
}

enum Damage { kNone, kRemoved, kEmptied, kFolder };

TEST(PackageCheckTest, FindingsInPackageOrder) {
    const struct {
        const char* name;
        Lines apx, atx, nvx;  // empty: one sound line
        Lines damaged;        // files of the written package, relative to it
        Damage damage;
        Lines findings;
    } cases[] = {
        // clang-format off
        {"a sound package", {"APX47180", "APX95630"}, {}, {}, {}, kNone, {}},
        {"each kind of finding, in package order",
         {"apx47180", "APX47180 ", "APX47180.bgl", "", "APX4718", "APX471800", "ATX05021", "APX47180"},
         {"ATX00081"}, {"NVX1"}, {"magdec.bgl"}, kRemoved,
         {"Missing magdec.bgl file", "Wrong apx47180 file in APXFileList", "Wrong APX47180  file in APXFileList",
          "Wrong APX47180.bgl file in APXFileList", "Wrong  file in APXFileList", "Wrong APX4718 file in APXFileList",
          "Wrong APX471800 file in APXFileList", "Wrong ATX05021 file in APXFileList",
          "Invalid file name: <pkg>/ATXFiles/ATX00081.bgl", "Wrong NVX1 file in NVXFileList"}},
        {"areas outside the grid", {"APX47995", "APX47985", "APX96000"}, {"ATX12001", "ATX11079"}, {}, {}, kNone,
         {"Invalid file name: <pkg>/APXFiles/APX47985.bgl", "Invalid file name: <pkg>/APXFiles/APX96000.bgl",
          "Invalid file name: <pkg>/ATXFiles/ATX12001.bgl"}},
        {"a missing listed file, its area not judged", {"APX47180", "APX47985"}, {}, {}, {"APXFiles/APX47985.bgl"},
         kRemoved, {"Missing file: <pkg>/APXFiles/APX47985.bgl"}},
        {"missing fixed files; a missing list is no read error", {}, {}, {},
         {"Cycle.txt", "magdec.bgl", "APXFileList.txt", "ATXFileList.txt", "NVXFileList.txt"}, kRemoved,
         {"Missing Cycle.txt text file", "Missing magdec.bgl file", "Missing APXFileList.txt file",
          "Missing ATXFileList.txt file", "Missing NVXFileList.txt file"}},
        {"capacity counts only the lines that match", {}, Numbered("ATX", 100, "ATX05021"),
         Numbered("NVX", 100, "not a line"), {}, kNone,
         {"Error reading ATXFileList.txt file", "Wrong not a line file in NVXFileList"}},
        {"a thousand APX files", Numbered("APX", 1000), {}, {}, {}, kNone, {}},
        {"a thousand and one", Numbered("APX", 1001), {}, {}, {}, kNone, {"Error reading APXFileList.txt file"}},
        {"lists without lines", {}, {}, {}, {"ATXFileList.txt", "NVXFileList.txt"}, kEmptied,
         {"Error reading ATXFileList.txt file", "Error reading NVXFileList.txt file"}},
        {"a folder in place of a list", {}, {}, {}, {"NVXFileList.txt"}, kFolder, {"Error reading NVXFileList.txt file"}},
        // clang-format on
    };
    // Each row's package is written, damaged as the row asks, then checked; the findings show
    // the package folder as "<pkg>/" and separators as '/'.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        test::PackageBuilder builder;
        if (!c.apx.empty()) builder.apx = c.apx;
        if (!c.atx.empty()) builder.atx = c.atx;
        if (!c.nvx.empty()) builder.nvx = c.nvx;
        ProgramState state;
        state.AppFolder = builder.Write(dir / "pkg");
        for (const std::string& name : c.damaged) {
            const std::string path = state.AppFolder + test::NativeRelative(name);
            std::filesystem::remove(std::filesystem::u8path(path));
            if (c.damage == kEmptied) test::WriteBytes(path, "");
            if (c.damage == kFolder) test::MakeFolder(path);
        }
        std::string log = "left over\r\n", findings;
        CheckPackage(MakeNativePlatform({})->get().fs, state, log);
        for (std::size_t at; (at = log.find(state.AppFolder)) != std::string::npos;) {
            log.replace(at, state.AppFolder.size(), "<pkg>/");
        }
        std::replace(log.begin(), log.end(), kSep, '/');
        for (const std::string& line : c.findings) findings += line + "\r\n";
        EXPECT_EQ(log, findings);
    }
}

TEST(AreaGridTest, AreasOfListLinesAndTheirRegions) {
    const struct {
        FileCategory category;
        const char* line;
        const char* area;  // nullptr: outside the grid
        int region;
    } cases[] = {
        {FileCategory::APX, "APX47180", "0502", 4},  {FileCategory::APX, "APX47185", "0502", 4},
        {FileCategory::APX, "APX47995", "0600", 4},  // 4799.5 rounds to the even 4800
        {FileCategory::APX, "APX00075", "0001", 1},  // 7.5 rounds up to 8: the next cell
        {FileCategory::APX, "APX00630", "0007", 3},  {FileCategory::APX, "APX00640", nullptr, 0},
        {FileCategory::APX, "APX47985", nullptr, 0}, {FileCategory::APX, "APX95630", "1107", 3},
        {FileCategory::APX, "APX96000", nullptr, 0}, {FileCategory::APX, "APX00000", "0000", 1},
        {FileCategory::ATX, "ATX05021", "0502", 4},  {FileCategory::ATX, "ATX11079", "1107", 3},
        {FileCategory::ATX, "ATX00081", nullptr, 0}, {FileCategory::ATX, "ATX12001", nullptr, 0},
        {FileCategory::NVX, "NVX05031", "0503", 0},  {FileCategory::NVX, "NVX00001", "0000", 1},
    };
    for (const auto& c : cases) {
        std::string area;
        EXPECT_EQ(AreaOfLine(c.category, c.line, area), c.area != nullptr) << c.line;
        if (c.area == nullptr) continue;
        EXPECT_EQ(area, c.area) << c.line;
        EXPECT_EQ(RegionOfArea(static_cast<std::int16_t>(std::stoi(area))), c.region) << c.line;
    }
    // Every cell of the grid: rows are XX 00 to 11, columns YY 00 to 07, each digit the
    // region of area XXYY.
    const char* grid[12] = {"11313333", "11133333", "11122333", "11122222", "11422222", "14400000",
                            "44400000", "77600000", "77663333", "77553333", "77553333", "77533333"};
    for (int xx = 0; xx < 12; ++xx) {
        for (int yy = 0; yy < 8; ++yy) {
            EXPECT_EQ(RegionOfArea(static_cast<std::int16_t>(xx * 100 + yy)), grid[xx][yy] - '0') << xx << "/" << yy;
        }
    }
    for (int outside : {8, 99, 1200, -1, 9999}) EXPECT_EQ(RegionOfArea(static_cast<std::int16_t>(outside)), -1);
}

}  // namespace
}  // namespace orvanta
