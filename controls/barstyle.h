// Colours and style sheets of the play bar and the second control bar for the two styles.
#pragma once

#include <QColor>
#include <QString>

struct BarPalette
{
    QColor background;
    QColor topLine;
    QColor text;
    QColor mutedText;
    QColor hover;
    QColor pressed;
    QColor groove;
    QColor accent;
    QColor handle;
    QColor field;
    QColor fieldBorder;
    QColor notApplied; // digits of a cut time typed but not applied
};

// Style 1 is the black style; every other value gives the white style's palette.
BarPalette barPalette(int style);
// Sheet for a bar form whose object name is formName; covers its tool buttons, sliders,
// labels, the speed box, the cut editor's fields (those whose property "notApplied" is true in
// their own colour) and its OK and Cancel buttons.
QString barStyleSheet(const BarPalette &palette, const QString &formName);
