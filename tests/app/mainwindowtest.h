// Helpers of the end-to-end tests that build the real MainWindow.
#pragma once

#include "appglobals.h"
#include "choosertest.h"
#include "dashcam.h"
#include "exportcontroller.h"
#include "ffmpeg_editor_p.h"
#include "formdialog.h"
#include "formlist.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include <functional>
#include <utility>

namespace MainWindowTest {

constexpr int pathColumn = 6;    // the list's hidden column with the file path
constexpr int finishedText = 15; // "Finished." in the language table's "Edit dialog" section

// Shows w at size and waits until it is exposed; false when the window was not exposed.
inline bool showWindow(MainWindow &w, const QSize &size = QSize(1600, 860))
{
    w.resize(size);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    return true;
}

// The window's menu action of that object name, or nullptr.
inline QAction *action(MainWindow &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name));
}

// The file paths of the list's rows, top to bottom.
inline QStringList listedPaths(FormList *list)
{
    QStringList paths;
    const QTableWidget *table = list->table();
    for (int row = 0; row < table->rowCount(); ++row) {
        if (const QTableWidgetItem *item = table->item(row, pathColumn))
            paths << item->text();
    }
    return paths;
}

// Adds clip through the list's Add button and the chooser, which opens in its folder, and waits
// until the main player has it.
inline void addThroughChooser(MainWindow &w, const QString &clip)
{
    gFileDialogPath = QFileInfo(clip).path();
    QTest::mouseClick(w.formList()->addButton(), Qt::LeftButton);
    QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
    QVERIFY(chooser);
    auto *files = chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    const QString name = QFileInfo(clip).fileName();
    QTRY_VERIFY(!files->findItems(name, Qt::MatchExactly).isEmpty());
    QTableWidgetItem *item = files->findItems(name, Qt::MatchExactly).first();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::NoModifier,
                      files->visualItemRect(item).center());
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("open_btn")),
                      Qt::LeftButton);
    QTRY_VERIFY(!chooser);
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), clip, 15000);
}

// A GPS trailer as exports append it: marker, one 121-byte record per second from 10:15:00 on
// 7 December 2026, cut signature. position(second) gives the record's latitude and longitude
// fields, padded with '0' to their 14 bytes.
inline QByteArray gpsTrailer(int seconds,
                             const std::function<std::pair<QByteArray, QByteArray>(int)> &position)
{
    QByteArray bytes(22, 'C');
    for (int i = 0; i < seconds; ++i) {
        const QByteArray time = QDateTime(QDate(2026, 12, 7), QTime(10, 15, i))
                                    .toString(QStringLiteral("yyyyMMddhhmmss"))
                                    .toLatin1();
        const auto [lat, lon] = position(i);
        bytes += "GPSDATA--" + time + lat.leftJustified(14, '0') + lon.leftJustified(14, '0');
        for (double value : {40.0, 0.0, 0.0, 0.0, 1.0})
            bytes += QByteArray::number(value, 'f', 12).left(14);
    }
    return bytes + "fmt....NOVATEK.....?inf....trim....?";
}

// Writes a 640x360 clip of seconds at path with trailer appended; true on success.
inline bool makeClipWithTrailer(const QString &path, int seconds, const QByteArray &trailer)
{
    if (!TestSupport::makeClip(path, seconds, QStringLiteral("640x360")))
        return false;
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(trailer) == trailer.size();
}

// The end of an export in any form: the finished page, an error page, or a failure signal of the
// controller or the runner, so that a failure that reaches no page ends the wait at once.
class ExportEnd
{
public:
    explicit ExportEnd(MainWindow &w)
        : dialog_(w.formDialog()),
          controllerFailed_(w.exportController(), &ExportController::exportError),
          runnerFailed_(w.exportRunner(), &FFmpeg_editor_p::editorErrorTriggered)
    {
    }
    bool reached() const
    {
        return isFinished() || isErrorPage() || !controllerFailed_.isEmpty() ||
               !runnerFailed_.isEmpty();
    }
    bool isFinished() const
    {
        return dialog_->findChild<QWidget *>(QStringLiteral("f_pv"))->isVisible() &&
               dialog_->findChild<QLabel *>(QStringLiteral("pv_la_msg"))->text() ==
                   gLangEditDialog.value(finishedText);
    }
    bool isErrorPage() const
    {
        return dialog_->findChild<QWidget *>(QStringLiteral("f_pvErr"))->isVisible();
    }
    QString errorText() const
    {
        return dialog_->findChild<QLabel *>(QStringLiteral("pvErr_la_msg"))->text();
    }

private:
    FormDialog *dialog_;
    QSignalSpy controllerFailed_;
    QSignalSpy runnerFailed_;
};

} // namespace MainWindowTest
