#pragma once

#include <string>

#include "app/ProgramState.h"
#include "platform/Environment.h"
#include "status/FileStatus.h"

namespace orvanta::bench {

// A package and a simulator folder on disk, with the package's catalogue checked.
struct Fixture {
    std::string pkg;  // folders end with '/'
    std::string sim;
    ProgramState state;  // AppFolder, the tables, SelectedSim and SelectedSimFolder
};

// The demo package (1,000 APX + 100 ATX + 100 NVX files over every area, 594 of them
// older in the simulator), written once under /tmp for the whole run.
const Fixture& Demo();

// One area folder holding 640 package files, `replaced` of them older than the package's
// and the rest up to date, beside `unrelated` files of the simulator's own.
const Fixture& Crowded(int replaced, int unrelated);

// Every region and category ticked.
StatusSelection All();

// Puts every replaced file back from its ".bglbckup" backup, as it was before the install.
void UndoInstall(const ProgramState& scanned);

// The regional date format of the logs; the benchmarks write none.
class PlainRegional : public RegionalFormat {
public:
    std::string ShortDate(int y, int m, int d) override;
    std::string Time(int h, int mi, int s) override;
};

}  // namespace orvanta::bench
