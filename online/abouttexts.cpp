#include "abouttexts.h"

namespace AboutTexts {

QString builtInVersion()
{
    return QStringLiteral("TALVEX VIDEO PLAYER_V1.6.2_RUVIQE");
}

QString shownVersion(const QString &builtIn)
{
    const int underscore = builtIn.indexOf(QLatin1Char('_'));
    return underscore < 0 ? builtIn : builtIn.mid(underscore + 1);
}

QString yearLine(QString line)
{
    line.replace(QLatin1String("2020"), QLatin1String("2023"));
    line.replace(QLatin1String("2021"), QLatin1String("2023"));
    return line;
}

QString aboutLabel(const QString &yearLineCell, const QString &captionCell, const QString &version)
{
    const QString about = yearLine(yearLineCell) + QStringLiteral("<br /><br />") +
                          QString(captionCell).remove(QLatin1Char('"'));
    return QStringLiteral("%1 %2<br /><br /><br /><br /><br /><br />").arg(about, version);
}

QString noticeText()
{
    return QStringLiteral("This software uses FFmpeg which is licensed under LGPLv2.1.<br /><br />"
                          "                     This software uses NSIS which is licensed under "
                          "zlib/libpng license.");
}

} // namespace AboutTexts
