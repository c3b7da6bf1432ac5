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
    const QString copyright = QStringLiteral("\u00a9");
    return line.contains(copyright) ? line : copyright + QLatin1Char(' ') + line;
}

QString aboutLabel(const QString &yearLineCell, const QString &captionCell, const QString &version)
{
    const QString about = yearLine(yearLineCell) + QStringLiteral("<br /><br />") +
                          QString(captionCell).remove(QLatin1Char('"'));
    return QStringLiteral("%1 %2<br /><br /><br /><br /><br /><br />").arg(about, version);
}

QVector<Component> components()
{
    const QString debianBuild = QStringLiteral("LGPL 2.1+ or GPL 2+, as Debian builds it");
    return {
        {QStringLiteral("Qt 5"),
         QStringLiteral("LGPL 3"),
         {QStringLiteral(":/licences/LGPL-3"), QStringLiteral(":/licences/GPL-3")},
         {}},
        {QStringLiteral("libmpv"),
         debianBuild,
         {QStringLiteral(":/licences/libmpv"), QStringLiteral(":/licences/LGPL-2.1"),
          QStringLiteral(":/licences/GPL-2")},
         {}},
        {QStringLiteral("the ffmpeg program"),
         debianBuild,
         {QStringLiteral(":/licences/ffmpeg")},
         {}},
        {QStringLiteral("Leaflet"),
         QStringLiteral("BSD 2-clause"),
         {QStringLiteral(":/licences/leaflet")},
         {}},
        {QStringLiteral("OpenStreetMap data"),
         QStringLiteral("ODbL 1.0"),
         {},
         QStringLiteral("Map data \u00a9 OpenStreetMap contributors, available under the Open "
                        "Database License 1.0: https://www.openstreetmap.org/copyright")},
    };
}

QString noticeText()
{
    QStringList lines;
    for (const Component &part : components())
        lines << QStringLiteral("This software uses %1, licensed under %2.")
                     .arg(part.name, part.licence);
    lines << QStringLiteral("The map shows data \u00a9 OpenStreetMap contributors.");
    return lines.join(QStringLiteral("<br />"));
}

QString licenceText(const std::function<QString(const QString &path)> &read)
{
    QString text;
    for (const Component &part : components()) {
        text += QStringLiteral("==== %1 (%2) ====\n\n").arg(part.name, part.licence);
        if (!part.note.isEmpty())
            text += part.note + QStringLiteral("\n\n");
        for (const QString &file : part.licenceFiles) {
            const QString content = read(file);
            text += content.isNull() ? QStringLiteral("(%1 is missing from this build)").arg(file)
                                     : content.trimmed();
            text += QStringLiteral("\n\n");
        }
    }
    return text;
}

} // namespace AboutTexts
