// Texts of the About window: the built-in version, the lines made from the language table and the
// licences of the parts this build contains.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace AboutTexts {

// One part of the build under a licence of its own.
struct Component
{
    QString name;
    QString licence;
    QStringList licenceFiles; // resource paths of its licence texts, in the order shown
    QString note;             // shown when it has no licence file
};

// Product name, "_V", version number, "_", build code.
QString builtInVersion();
// The part after the first underscore: "V1.6.2_RUVIQE".
QString shownVersion(const QString &builtIn);
// The year line with 2020 or 2021 shown as 2023, after a "©" when it has none.
QString yearLine(QString line);
// First tab: year line, an empty line, the caption (double quotes removed), a blank, the version,
// then six line breaks (rich text).
QString aboutLabel(const QString &yearLineCell, const QString &captionCell, const QString &version);
// Qt, libmpv, the ffmpeg program, Leaflet and the OpenStreetMap data the map shows.
QVector<Component> components();
// The licence tab's notice: each part with its licence (rich text).
QString noticeText();
// The licence texts of every part under its heading (plain text); read gives a file's text, or a
// null string when it cannot be read, and such a file is named instead.
QString licenceText(const std::function<QString(const QString &path)> &read);

} // namespace AboutTexts
