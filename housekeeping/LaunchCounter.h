#pragma once

#include <cstdint>
#include <string>

#include "app/Message.h"
#include "platform/Settings.h"

namespace orvanta {

inline constexpr const char* kCounterApplication = "KestrelInstall";
inline constexpr const char* kCounterSection = "Used";
inline constexpr const char* kCounterKey = "OrvantaUpdateLaunch";

// Adds one to the per-user count of successful installs and returns the new count; -1
// when the count could not be read, converted, increased or stored (nothing is written
// when the failure comes before the write).
std::int32_t CountUpdateLaunch(Settings& settings);

// The donation prompt follows every fourth counted install, never a failed count.
bool IsDonationDue(std::int32_t count);

// Question icon, Yes and No with No as default; Yes opens kDonationUrl (app/Version.h).
MessageText DonationPrompt();

// The text converted as the count is: optional blanks around an optionally signed run of
// decimal digits within the 32-bit range. False for anything else.
bool ParseCount(const std::string& text, std::int32_t& value);

}  // namespace orvanta
