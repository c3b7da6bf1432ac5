// Per-file summaries of the ride-data files of a 7- or 28-day window.
#pragma once

#include "sharedtypes.h"

#include <QStringList>
#include <QVector>

#include <optional>

// One element per readable ride-data file of files (full paths), in list order. Entries that do
// not end in ".txt" or ".TXT", unreadable or empty files and files without one whole record are
// left out. altitude carries the ride's climb: the sum of the rises between successive records
// that both have a non-zero altitude, in metres.
QVector<PlaybackInfo2_t> summarizeRideFiles(const QStringList &files);
// The element of one entry of files as above; nothing when the entry gives none.
std::optional<PlaybackInfo2_t> summarizeRideFile(const QString &entry);
