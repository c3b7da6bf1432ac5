// Files dropped on the play list: the video files kept, each with its existing partner file.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace DropFilter {

// Whether a local path passes the video filter: its lower-cased text contains one of the
// extensions (".mp4", ".mov", ".avi", ...) anywhere, not only at its end.
bool isVideoPath(const QString &path);

// The URLs to open for a drop: local video files and their existing partner files, each once,
// sorted ascending. Non-local URLs and other files are left out.
QList<QUrl> filesToOpen(QList<QUrl> dropped);

} // namespace DropFilter
