// Checks of the main window's export tests: the window pictured with its dialogs, the content of
// files and folders before and after an export, and an ffmpeg stand-in for the runs it changes.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QStringList>

#include <initializer_list>

class MainWindow;
class QWidget;

namespace ExportChecks {

// The main window with the dialogs drawn where they stand over it, the last one on top.
QImage windowWithDialog(MainWindow *window, std::initializer_list<QWidget *> dialogs);
QImage windowWithDialog(MainWindow *window, QWidget *dialog);

// A checksum of each file's content, to show that none of them changed by a byte.
QMap<QString, QByteArray> checksums(const QStringList &paths);

// Every entry of a folder, hidden ones included: a link by its target, a folder by its kind, a
// file by a checksum of its content.
QMap<QString, QByteArray> folderState(const QString &folder);

// An ffmpeg stand-in in FFmpeg/ under the working directory, removed with the object.
class StandIn
{
public:
    explicit StandIn(const QByteArray &script, bool executable = true);
    ~StandIn();
    StandIn(const StandIn &) = delete;
    StandIn &operator=(const StandIn &) = delete;
    bool isWritten() const { return written_; }

private:
    static QString path();
    bool written_ = false;
};

} // namespace ExportChecks
