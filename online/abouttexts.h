// Texts of the About window: the built-in version and the lines made from the language table.
#pragma once

#include <QString>

namespace AboutTexts {

// Product name, "_V", version number, "_", build code.
QString builtInVersion();
// The part after the first underscore: "V1.6.2_RUVIQE".
QString shownVersion(const QString &builtIn);
// The year line with 2020 or 2021 shown as 2023.
QString yearLine(QString line);
// First tab: year line, an empty line, the caption (double quotes removed), a blank, the version,
// then six line breaks (rich text).
QString aboutLabel(const QString &yearLineCell, const QString &captionCell, const QString &version);
// The open-source notice of the licence tab (rich text).
QString noticeText();

} // namespace AboutTexts
