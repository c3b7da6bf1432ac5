#include "appfont.h"

#include "appglobals.h"
#include "sharedtypes.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>

namespace {
QFont *sharedFont = nullptr;
QString sharedFamily;

QFont &appFont()
{
    if (!sharedFont) {
        sharedFont = new QFont(QStringLiteral("Arial"));
        sharedFamily = QStringLiteral("Arial");
    }
    return *sharedFont;
}

QString firstFamilyOfResourceFont(const QString &path)
{
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families =
        id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    return families.value(0);
}

QString chineseFamily()
{
    static const QString family = [] {
        const QString bundled =
            firstFamilyOfResourceFont(QStringLiteral(":/font/NotoSansCJKscLight.otf"));
        return bundled.isEmpty() ? QStringLiteral("Noto Sans CJK SC") : bundled;
    }();
    return family;
}
} // namespace

QFont getAppFont(bool bold)
{
    QFont &font = appFont();
    font.setWeight(bold ? 75 : 50);
    return font;
}

QString getAppFontFamily()
{
    appFont();
    return sharedFamily;
}

QFont applyAppFont(QFont font, int weightMode, bool bold)
{
    font.setFamily(getAppFontFamily());
    if (weightMode == 0)
        font.setWeight(gLanguage == LangChinese ? 75 : 50);
    else if (weightMode == 1)
        font.setWeight(bold ? 75 : 50);
    return font;
}

int pixelSizeToFit(QFont font, const QString &text, int widthPx, int largestPx, int smallestPx)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int px = largestPx; px > smallestPx; --px) {
        font.setPixelSize(px);
        const QFontMetrics metrics(font);
        if (std::all_of(lines.begin(), lines.end(), [&](const QString &line) {
                return metrics.horizontalAdvance(line) <= widthPx;
            }))
            return px;
    }
    return smallestPx;
}

QFont loadCoffeeFont()
{
    static const QString family = firstFamilyOfResourceFont(QStringLiteral(":/font/zqcoffee.ttf"));
    return QFont(family);
}

void setAppFontForLanguage(int language)
{
    QFont &font = appFont();
    sharedFamily = language == LangChinese ? chineseFamily() : QStringLiteral("Arial");
    font.setFamily(sharedFamily);
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QFont defaultFont = QGuiApplication::font();
        defaultFont.setFamily(sharedFamily);
        QGuiApplication::setFont(defaultFont);
    }
}
