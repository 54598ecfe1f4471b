#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "package/PackageTypes.h"

namespace orvanta {

// The region of a scenery area given as the integer value of its XXYY digits (502 for
// 0502); -1 for every value outside the 12 by 8 grid.
std::int16_t RegionOfArea(std::int16_t areaCode);

// The area code of a well-formed list line ("APX47180", "ATX05021"). `area` receives the
// four characters the rule produces (empty when the APX rule finds no valid cell); the
// result tells whether the area lies in the grid.
bool AreaOfLine(FileCategory category, const std::string& line, std::string& area);

}  // namespace orvanta
