#include "ui/Centering.h"

#include <cmath>
#include <cstdint>

namespace orvanta {

double RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) return lower + 1;
    if (fraction < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

ScreenPoint CenteredMessageBoxPosition(const ScreenRect& owner, const ScreenRect& box) {
    const double ownerWidth = static_cast<double>(owner.right) - owner.left;
    const double ownerHeight = static_cast<double>(owner.bottom) - owner.top;
    const double boxWidth = static_cast<double>(box.right) - box.left;
    const double boxHeight = static_cast<double>(box.bottom) - box.top;
    const double x = owner.left + ownerWidth / 2 - boxWidth / 2;
    const double y = owner.top + ownerHeight / 2 - boxHeight / 2;
    return {static_cast<int>(RoundHalfEven(x)), static_cast<int>(RoundHalfEven(y))};
}

namespace {

int InsideAlong(int start, int size, int low, int high) {
    if (start + size > high) start = high - size;
    return start < low ? low : start;
}

}  // namespace

ScreenPoint PlaceInsideWorkArea(const ScreenRect& window, const ScreenRect& work) {
    return {InsideAlong(window.left, window.right - window.left, work.left, work.right),
            InsideAlong(window.top, window.bottom - window.top, work.top, work.bottom)};
}

WindowPlace CenteredSelectionPlace(double ownerLeft, double ownerTop, double ownerWidth, double ownerHeight,
                                   double width, double height) {
    const auto widthGap = static_cast<std::int64_t>(RoundHalfEven(ownerWidth - width));
    const auto heightGap = static_cast<std::int64_t>(RoundHalfEven(ownerHeight - height));
    // Whole window units halved as whole numbers, truncating toward zero.
    return {ownerLeft + static_cast<double>(widthGap / 2),   // NOLINT(bugprone-integer-division)
            ownerTop + static_cast<double>(heightGap / 2)};  // NOLINT(bugprone-integer-division)
}

WindowPlace DisplayPlaceBeside(double ownerLeft, double ownerTop, double ownerWidth) {
    return {ownerLeft + ownerWidth + 25, ownerTop};
}

}  // namespace orvanta
