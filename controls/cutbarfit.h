// How the cut editor's texts give way to its range slider in a narrow play bar: first a smaller
// font for the "Cut Time" label, the range label and the four time fields, then the "Cut Time"
// label and last the range label cut short. The slider keeps its least width.
#pragma once

#include <functional>

namespace CutBarFit {

constexpr int leastSliderPx = 120;
constexpr int smallestFontPx = 9;

// Widths of the parts that give way, at one font size.
struct Widths
{
    int labelPx = 0;  // the "Cut Time" label's whole text
    int rangePx = 0;  // the range label's whole text
    int fieldsPx = 0; // the four time fields
};

struct Plan
{
    int fontPx = 0;
    // The labels' widths; a label narrower than its whole text shows it elided.
    int labelPx = 0;
    int rangePx = 0;
};

// roomPx: what the bar leaves to the parts that give way once everything of a fixed size and the
// slider's least width are placed. measure gives the parts' widths at a font size in pixels.
// The largest font from largestFontPx down to smallestFontPx at which the whole texts fit;
// else the smallest font with the labels cut to the room the fields leave.
Plan plan(int roomPx, int largestFontPx, const std::function<Widths(int fontPx)> &measure);

} // namespace CutBarFit
