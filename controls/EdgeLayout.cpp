#include "controls/EdgeLayout.h"

EdgeLayout ComputeEdgeLayout(int width, int height, int lineWidthPx, bool linesShown, int topMargin)
{
    const int w = linesShown ? lineWidthPx : 0;
    int a = 0;
    int b = 0;
    if (w == 1) {
        b = kTwipsPerPixel;
    } else if (w != 0) {
        a = kTwipsPerPixel;
        b = (w - 1) * kTwipsPerPixel;
    }

    EdgeLayout out;
    out.boxLeft = w * kTwipsPerPixel;
    out.boxWidth = width - 2 * out.boxLeft;
    out.boxTop = height >= 2 * topMargin ? w * kTwipsPerPixel + topMargin : 0;
    out.whiteSurface = out.boxTop > 0;
    out.boxHeight = height - 2 * out.boxTop;
    out.lines[0] = {0, a, width, a};
    out.lines[1] = {0, height - b, width, height - b};
    out.lines[2] = {a, 0, a, height};
    out.lines[3] = {width - b, 0, width - b, height};
    return out;
}
