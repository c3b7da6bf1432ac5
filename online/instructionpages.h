// The instruction window's numbers: the manual picture of each language with its section rows,
// the section under a scroll position and the window's layout for a size.
#pragma once

#include <QRect>
#include <QString>

namespace InstructionPages {

struct Page
{
    QString imageFile; // in the skin folder
    int section2 = 0;  // first picture row of section 2 (section 1 starts at 0)
    int section3 = 0;
};

// The row of lang (Zq_Language); any value outside 0..11 gives the English row.
Page forLanguage(int lang);
Page english();

// Section 1..3 shown at scroll value, for sections starting at s1 <= s2 <= s3; 0 above s1.
int sectionAt(int value, int s1, int s2, int s3);

// Sizes and positions that follow a window of w x h.
struct Layout
{
    QSize contentFrame;
    QSize view;
    int frameWidth = 0;
    int zoomButtonX = 0;
    int closeButtonX = 0;
    int dividingLineHeight = 0;
};
Layout layoutFor(int w, int h);

} // namespace InstructionPages
