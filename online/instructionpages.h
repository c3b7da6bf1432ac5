// The instruction window's numbers: the manual picture of each language with its section rows,
// the section under a scroll position, the window's layout for a size and the contents entries'
// lines.
#pragma once

#include <QRect>
#include <QString>

class QFontMetrics;

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

// A contents entry wider than widthPx in metrics' font on two lines, broken at the blank that
// leaves the narrower longer line; an entry that fits, holds its own line breaks or has no blank
// is kept.
QString entryLines(const QString &entry, const QFontMetrics &metrics, int widthPx);

} // namespace InstructionPages
