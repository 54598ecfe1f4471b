#pragma once

#include <cstddef>
#include <string>

namespace orvanta::tools {

// A package and a simulator folder that look like the real thing: files spread over every
// region, some of the simulator's files equal to the package's, some older, some absent.
struct DemoSpec {
    int apx = 1000;
    int atx = 100;
    int nvx = 100;
    unsigned seed = 2213;
    std::size_t minFileSize = 2 * 1024;
    std::size_t maxFileSize = 24 * 1024;
    std::string cycle = "2213";
};

struct DemoSimSummary {
    int upToDate = 0;
    int updatable = 0;
    int missing = 0;
};

// Writes Cycle.txt, magdec.bgl, the three lists and the listed files into packageFolder.
void WriteDemoPackage(const std::string& packageFolder, const DemoSpec& spec);

// Writes a boxed FSX main folder (FSX.exe of build 61637, Scenery with the area folders,
// an older magvar table) whose scenery files relate to the package's as described above.
DemoSimSummary WriteDemoSimulator(const std::string& packageFolder, const std::string& simFolder, const DemoSpec& spec);

// The list line of the i-th file of a category, spread over the 96 scenery areas.
std::string DemoListLine(const char* prefix, int i);

}  // namespace orvanta::tools
