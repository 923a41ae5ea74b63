#pragma once

#include <array>

// Where the formatted text box puts its inner box and its four edge lines. All
// measures in twips (15 per pixel).
struct EdgeLine
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const EdgeLine&) const = default;
};

struct EdgeLayout
{
    int boxLeft = 0, boxTop = 0, boxWidth = 0, boxHeight = 0;
    bool whiteSurface = false;     // the control's own surface is painted white
    std::array<EdgeLine, 4> lines; // 0 top, 1 bottom, 2 left, 3 right
};

inline constexpr int kTwipsPerPixel = 15;

// width, height: the control's inner size; lineWidthPx: the current width of the
// lines in pixels (the focus width while focused); linesShown: flat and borderless.
EdgeLayout ComputeEdgeLayout(int width, int height, int lineWidthPx, bool linesShown, int topMargin);
