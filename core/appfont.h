// The application font: "Arial", or the CJK font while the language is Chinese.
#pragma once

#include <QFont>
#include <QString>

// Copy of the shared font after setting the shared font's weight (75 bold, else 50).
QFont getAppFont(bool bold);
QString getAppFontFamily();
// font with the application family; weightMode 0: bold for Chinese, 1: by bold, else unchanged.
QFont applyAppFont(QFont font, int weightMode, bool bold);
// The play list's mark font from the bundle.
QFont loadCoffeeFont();
// The largest pixel size from largestPx down to smallestPx at which every line of text is at most
// widthPx wide in font's family and weight; smallestPx when none is.
int pixelSizeToFit(QFont font, const QString &text, int widthPx, int largestPx, int smallestPx);
// Chooses the shared font for a language and makes it the application's default font.
void setAppFontForLanguage(int language);
