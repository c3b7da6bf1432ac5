#include "cutbarfit.h"

#include <algorithm>

namespace CutBarFit {

Plan plan(int roomPx, int largestFontPx, const std::function<Widths(int fontPx)> &measure)
{
    const int smallest = std::min(smallestFontPx, largestFontPx);
    Widths widths; // the last measured: at the smallest font once the loop ends
    for (int px = largestFontPx; px >= smallest; --px) {
        widths = measure(px);
        if (widths.labelPx + widths.rangePx + widths.fieldsPx <= roomPx)
            return {px, widths.labelPx, widths.rangePx};
    }
    const int left = std::max(roomPx - widths.fieldsPx, 0);
    const int rangePx = std::min(widths.rangePx, left);
    return {smallest, std::min(widths.labelPx, left - rangePx), rangePx};
}

} // namespace CutBarFit
