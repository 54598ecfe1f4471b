#pragma once

namespace orvanta {

// Rounds to the nearest whole number, an exact half going to the even neighbour.
double RoundHalfEven(double value);

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint& o) const { return x == o.x && y == o.y; }
};

// Where a window goes so that it lies inside the work area, moved just enough along each
// axis. One larger than the area keeps its top left corner inside, so that its caption and
// system menu stay reachable. Pixels.
ScreenPoint PlaceInsideWorkArea(const ScreenRect& window, const ScreenRect& work);

// Where a message box goes so that its centre lies on the owner window's centre: halves
// taken exactly, the result rounded half to even. Pixels.
ScreenPoint CenteredMessageBoxPosition(const ScreenRect& owner, const ScreenRect& box);

struct WindowPlace {
    double left = 0;
    double top = 0;
};

// The selection window's place over the main window: each size difference rounded to a
// whole window unit first, then halved with the fraction dropped (toward zero). Twips.
WindowPlace CenteredSelectionPlace(double ownerLeft, double ownerTop, double ownerWidth, double ownerHeight,
                                   double width, double height);

// The file list window's place: beside the main window's right edge with a gap of 25
// twips, top edges aligned.
WindowPlace DisplayPlaceBeside(double ownerLeft, double ownerTop, double ownerWidth);

}  // namespace orvanta
