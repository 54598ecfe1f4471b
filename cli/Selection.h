#pragma once

#include <optional>
#include <string>

#include "status/FileStatus.h"

namespace orvanta::cli {

// Reads --regions, --categories and --force-full into a scan selection. Regions: an index
// 0-7, the region list text in any case, a short name, or "all"; categories: apx, atx,
// nvx or all (default all). Returns an empty text, or the reason the list was refused.
std::string ParseSelection(const std::optional<std::string>& regions, const std::optional<std::string>& categories,
                           bool forceFull, StatusSelection& selection);

// The list command's STATUS word as a status index 1..4; 0 when unknown.
int ParseListStatus(const std::string& word);

}  // namespace orvanta::cli
