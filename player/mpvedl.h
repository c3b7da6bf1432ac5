// mpv EDL timelines: several files played as one clip with one clock.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// "edl://" followed by one entry per file, joined by ";". Each path is written as "%N%path"
// with N its length in UTF-8 bytes, which keeps blanks, "#", "%", ";", "," and non-ASCII safe.
// When lengthsSec holds a positive length for a member, the member is cut to ",0,<length>".
QString buildEdl(const QStringList &paths, const QVector<double> &lengthsSec);
