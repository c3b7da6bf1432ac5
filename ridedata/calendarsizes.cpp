#include "calendarsizes.h"

#include <algorithm>

#include <QStringList>

namespace CalendarSizes {

namespace {
constexpr int basePageHeight = 422;

constexpr int minArrowButton = 8;

int trunc(double value)
{
    return static_cast<int>(value);
}
} // namespace

PanelSizes panelSizes(int height)
{
    const double d = height - basePageHeight;
    PanelSizes s;
    s.calendarHeight = height * 8 / 10;
    s.calendarSideMargin = trunc(d * 0.292);
    s.calendarTopMargin = trunc(d * 0.0365 + 15);
    s.folderLeftMargin = trunc(d * 0.34 + 24);
    s.folderButton = trunc(d * 0.073 + 33);
    // on pages lower than the base the arrows would shrink to a dot: never below their base size
    s.arrowButton = std::max(trunc(d * 0.073 + 8), minArrowButton);
    s.monthTitlePointSize = trunc(d * 0.025 + 10);
    s.yearTitlePointSize = trunc(d * 0.04 + 10);
    s.titleSize = QSize(static_cast<int>(static_cast<float>(height) / 2.35f),
                        static_cast<int>(static_cast<float>(height) / 28.5f + 30.0f));
    return s;
}

QString titleText(int year, int month, bool onlyYear)
{
    static const QStringList months = {
        QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    const QString yearText = QStringLiteral("%1").arg(year, 4, 10, QLatin1Char(' '));
    if (onlyYear)
        return yearText;
    return QStringLiteral("%1 %2").arg(yearText, months.value(month - 1));
}

} // namespace CalendarSizes
