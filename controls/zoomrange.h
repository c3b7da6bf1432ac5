// Range of the zoom sliders: tenths of the picture's magnification, 10 (1.0x) to 100 (10.0x).
#pragma once

namespace ZoomRange {
constexpr int minimum = 10;
constexpr int maximum = 100;
constexpr int pageStep = 10;
// The zoom sliders are cleared to their maximum less this (1.0x, no zoom).
constexpr int clearOffset = 90;
} // namespace ZoomRange
