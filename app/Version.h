#pragma once

#include <string>

namespace orvanta {

// "12.5": the program version as the caption shows it.
inline std::string ProgramVersionText() {
    return std::to_string(ORVANTA_VERSION_MAJOR) + "." + std::to_string(ORVANTA_VERSION_MINOR);
}

// "Orvanta Installer v12.5": the caption without a simulator part.
inline std::string CaptionBase() { return std::string("Orvanta Installer v") + ProgramVersionText(); }

inline constexpr const char* kDonationUrl = ORVANTA_DONATION_URL;
inline constexpr const char* kDocumentationUrl = ORVANTA_DOC_URL;

}  // namespace orvanta
