#include "instructionpages.h"

#include <QFontMetrics>

#include <algorithm>

namespace InstructionPages {

Page forLanguage(int lang)
{
    static const Page pages[] = {
        {QStringLiteral("instruction_en.jpg"), 1945, 4453},
        {QStringLiteral("instruction_de.jpg"), 1980, 4465},
        {QStringLiteral("instruction_fr.jpg"), 1935, 4445},
        {QStringLiteral("instruction_nl.jpg"), 1908, 4385},
        {QStringLiteral("instruction_it.jpg"), 1915, 4395},
        {QStringLiteral("instruction_es.jpg"), 1919, 4409},
        {QStringLiteral("instruction_pt.jpg"), 1920, 4390},
        {QStringLiteral("instruction_ru.jpg"), 1875, 4350},
        {QStringLiteral("instruction_pl.jpg"), 1915, 4386},
        {QStringLiteral("instruction_cs.jpg"), 1990, 4475},
        {QStringLiteral("instruction_ro.jpg"), 1930, 4410},
        {QStringLiteral("instruction_zh_tw.jpg"), 3048, 6771},
    };
    if (lang < 0 || lang >= int(sizeof(pages) / sizeof(pages[0])))
        return pages[0];
    return pages[lang];
}

Page english()
{
    return forLanguage(0);
}

int sectionAt(int value, int s1, int s2, int s3)
{
    if (value >= s3)
        return 3;
    if (value >= s2)
        return 2;
    return value >= s1 ? 1 : 0;
}

Layout layoutFor(int w, int h)
{
    Layout layout;
    layout.contentFrame = QSize(w - 250, h - 90);
    layout.view = QSize(w - 285, h - 125);
    layout.frameWidth = w;
    layout.zoomButtonX = w - 90;
    layout.closeButtonX = w - 50;
    layout.dividingLineHeight = h - 80;
    return layout;
}

QString entryLines(const QString &entry, const QFontMetrics &metrics, int widthPx)
{
    if (metrics.horizontalAdvance(entry) <= widthPx || entry.contains(QLatin1Char('\n')))
        return entry;
    QString best = entry;
    int bestWidth = metrics.horizontalAdvance(entry);
    for (int blank = entry.indexOf(QLatin1Char(' ')); blank > 0;
         blank = entry.indexOf(QLatin1Char(' '), blank + 1)) {
        const QString first = entry.left(blank);
        const QString second = entry.mid(blank + 1);
        const int width =
            std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
        if (width < bestWidth) {
            best = first + QLatin1Char('\n') + second;
            bestWidth = width;
        }
    }
    return best;
}

} // namespace InstructionPages
