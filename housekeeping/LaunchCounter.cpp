#include "housekeeping/LaunchCounter.h"

#include <limits>

namespace orvanta {

bool ParseCount(const std::string& text, std::int32_t& value) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return false;
    const std::size_t end = text.find_last_not_of(" \t") + 1;
    bool negative = false;
    if (text[begin] == '+' || text[begin] == '-') {
        negative = text[begin] == '-';
        ++begin;
    }
    if (begin == end) return false;
    std::int64_t magnitude = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return false;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<std::int32_t>::max()) return false;
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

std::int32_t CountUpdateLaunch(Settings& settings) {
    const auto stored = settings.Get(kCounterApplication, kCounterSection, kCounterKey, "0");
    if (!stored) return -1;
    std::int32_t count = 0;
    if (!ParseCount(*stored, count)) return -1;
    if (count == std::numeric_limits<std::int32_t>::max()) return -1;
    ++count;
    if (!settings.Save(kCounterApplication, kCounterSection, kCounterKey, std::to_string(count))) return -1;
    return count;
}

bool IsDonationDue(std::int32_t count) { return count != -1 && count % 4 == 0; }

MessageText DonationPrompt() {
    return {MsgIcon::Question,
            {"Thank you for your continued confidence. To help me continue this work, would you consider making a "
             "small onetime donation now (if not already done)?"}};
}

}  // namespace orvanta
