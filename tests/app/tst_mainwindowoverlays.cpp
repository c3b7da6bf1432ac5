#include "appglobals.h"
#include "dashcam.h"
#include "formwatermarkview.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "mapwatermark.h"
#include "overlayrender.h"
#include "skin.h"
#include "testsupport.h"
#include "videowidget.h"
#include "watermarkview.h"

#include "../export/exporttestfiles.h"
#include "../export/overlaydrop.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

namespace {

void dropMap(VideoWidget *view, const QPoint &pos)
{
    OverlayDrop::dropItem(view, 1, pos);
}

FormWatermarkView *openEditor()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *editor = qobject_cast<FormWatermarkView *>(w))
            return editor;
    }
    return nullptr;
}

} // namespace

using MainWindowTest::showWindow;

class TstMainWindowOverlays : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString first_;
    QString second_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        first_ = dir_.filePath(QStringLiteral("20261207101500_F.mov"));
        second_ = dir_.filePath(QStringLiteral("20261207102000_F.mov"));
        QVERIFY(ExportTestFiles::makeSourceWithTrailer(first_, 6, ExportTestFiles::makeSamples(6)));
        QVector<VideoInfo_t> moved = ExportTestFiles::makeSamples(4);
        for (VideoInfo_t &vi : moved) {
            vi.lon += 1.0;
            vi.lonDecimalText = QString::number(vi.lon, 'f', 6);
        }
        QVERIFY(ExportTestFiles::makeSourceWithTrailer(second_, 4, moved));
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd_); }

    void hiddenEntryOpensEditorOnTheMainFile()
    {
        MainWindow w;
        QVERIFY(showWindow(w));
        auto *action = w.findChild<QAction *>(QStringLiteral("actionWatermark"));
        QVERIFY(action);
        QVERIFY(!action->isVisible());

        QSignalSpy reported(w.mainDashcam(), &Dashcam::MediaChanged);
        w.mainDashcam()->setMedia({QUrl::fromLocalFile(first_)});
        QVERIFY(reported.wait(10000));
        QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);

        // The menu entry's branch, as the hidden action would run it.
        w.triggerMenu(action);
        QPointer<FormWatermarkView> editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->sampleVideo(), first_);
        QVERIFY(editor->testAttribute(Qt::WA_DeleteOnClose));
        QTRY_VERIFY_WITH_TIMEOUT(editor->previewPlayer()->statistics().width > 0, 10000);
        const DrawInfo_t bounds = editor->drawInfo();
        QVERIFY(bounds.maxX > bounds.minX);

        // Overlays dropped on the editor's preview get the file's trip data.
        dropMap(editor->previewPlayer()->getVideoWidget(), QPoint(10, 10));
        QCOMPARE(editor->objectList().size(), 1);
        auto *map = qobject_cast<MapWaterMark *>(editor->objectList().first());
        QVERIFY(map);
        QCOMPARE(map->frameCount(), 5 * 8);

        // A newly opened file reaches the open editor.
        QSignalSpy again(w.mainDashcam(), &Dashcam::MediaChanged);
        w.mainDashcam()->setMedia({QUrl::fromLocalFile(second_)});
        QVERIFY(again.wait(10000));
        QVERIFY(editor->drawInfo().minX > bounds.maxX);

        editor->close();
        QTRY_VERIFY(editor.isNull());
    }

    void dropOnTheMainViewCreatesTheOverlay()
    {
        MainWindow w;
        QVERIFY(showWindow(w));
        VideoWidget *view = w.mainDashcam()->getVideoWidget();
        QSignalSpy dropped(view, &VideoWidget::objectMapWaterMarkTriggered);
        dropMap(view, QPoint(20, 30));
        QCOMPARE(dropped.count(), 1);
        auto *map = view->findChild<MapWaterMark *>(OverlayRender::mapObjectName);
        QVERIFY(map);
        QCOMPARE(map->pos(), QPoint(20, 30));
    }
};

TALVEX_TEST_MAIN(TstMainWindowOverlays)
#include "tst_mainwindowoverlays.moc"
