#include "dashcam.h"
#include "formmeterobject.h"
#include "formwatermarkview.h"
#include "mapwatermark.h"
#include "overlaydrop.h"
#include "overlayrender.h"
#include "skin.h"
#include "testsupport.h"
#include "videowidget.h"
#include "watermarkview.h"

#include "../views/overlaysamples.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

namespace {

// A plain blue clip, so that overlay pixels stand out in the output.
bool makeBlueClip(const QString &path, double seconds, bool withAudio)
{
    return TestSupport::makeLavfiClip(
        path, QStringLiteral("color=c=blue:s=320x240:r=25:d=%1").arg(seconds), seconds, withAudio);
}

using OverlayDrop::dropItem;

int colourDistance(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

} // namespace

class TstFormWatermarkView : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QVector<VideoInfo_t> samples_ = OverlaySamples::drive(10);

    QString path(const QString &name) const { return dir_.filePath(name); }

    // An editor on sample as the main window opens it, with the preview's video known.
    std::unique_ptr<FormWatermarkView> openEditor(const QString &sample)
    {
        auto editor = std::make_unique<FormWatermarkView>();
        editor->setSampleVideo(sample);
        editor->setButtonStyle(0);
        editor->initDashcam();
        editor->setSpeedUnit(SpeedKmh);
        editor->show();
        editor->setData(samples_);
        if (!QTest::qWaitForWindowExposed(editor.get()))
            return nullptr;
        const bool known = QTest::qWaitFor(
            [&]() {
                const DashcamStatistics stats = editor->previewPlayer()->statistics();
                return stats.width > 0 && stats.durationMs > 0;
            },
            10000);
        if (!known)
            return nullptr;
        return editor;
    }

    QWidget *child(FormWatermarkView *editor, const QString &name)
    {
        return editor->previewPlayer()->getVideoWidget()->findChild<QWidget *>(name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        QVERIFY(makeBlueClip(path(QStringLiteral("sample.mp4")), 10, true));
        QVERIFY(makeBlueClip(path(QStringLiteral("silent.mp4")), 10, false));
        QVERIFY(makeBlueClip(path(QStringLiteral("short.mp4")), 1.5, true));
    }
    void cleanupTestCase() { QDir::setCurrent(oldCwd_); }

    void frameCounts_data()
    {
        QTest::addColumn<qint64>("durationMs");
        QTest::addColumn<int>("frames");
        QTest::newRow("60 s") << qint64(60000) << 472;
        QTest::newRow("10 s") << qint64(10000) << 72;
        QTest::newRow("2 s") << qint64(2000) << 8;
        QTest::newRow("1.9 s") << qint64(1900) << 0;
    }
    void frameCounts()
    {
        QFETCH(qint64, durationMs);
        QFETCH(int, frames);
        QCOMPARE(OverlayRender::frameCount(durationMs), frames);
    }

    void frameNames()
    {
        QCOMPARE(OverlayRender::frameFileName(0), QStringLiteral("example_000.png"));
        QCOMPARE(OverlayRender::frameFileName(471), QStringLiteral("example_471.png"));
        QCOMPARE(OverlayRender::frameFileName(1000), QStringLiteral("example_1000.png"));
    }

    void boundsLeaveOutPositionsWithoutFix()
    {
        QVector<VideoInfo_t> samples{
            OverlaySamples::sample(25.1, 121.2), OverlaySamples::sample(0, 0),
            OverlaySamples::sample(25.3, 121.1), OverlaySamples::sample(25.2, 121.3)};
        samples[1].latDecimalText.clear();
        const DrawInfo_t b = OverlayRender::trackBounds(samples);
        QCOMPARE(b.maxY, 25.3);
        QCOMPARE(b.minY, 25.1);
        QCOMPARE(b.maxX, 121.3);
        QCOMPARE(b.minX, 121.1);
    }

    void overlayCommandKeepsAudioOptional()
    {
        const OverlayRender::OverlayCommand c =
            OverlayRender::overlayCommand(QStringLiteral("/tmp/a b.mp4"), 10);
        QCOMPARE(c.output, QStringLiteral("fffffff.mov"));
        QVERIFY(c.input.contains(QStringLiteral("-y -i \"/tmp/a b.mp4\"")));
        QVERIFY(c.args.startsWith(QStringLiteral("-framerate 8 -i example_%03d.png")));
        QVERIFY(c.args.contains(QStringLiteral("-map 0:a? -c:a copy")));
        QVERIFY(c.args.indexOf(QStringLiteral("-c:v mpeg4")) <
                c.args.indexOf(QStringLiteral("-vtag xvid")));
    }

    void dragListOffersThreeItems_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("image");
        QTest::newRow("map") << 1 << "mapWaterMark" << false;
        QTest::newRow("dashboard") << 2 << "dashboard" << false;
        QTest::newRow("picture") << 3 << "QLabelImage" << true;
    }
    void dragListOffersThreeItems()
    {
        QFETCH(int, column);
        WatermarkView view;
        WatermarkModel *model = view.watermarkModel();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->item(1), model->item(2));
        const QModelIndex row1 = model->index(1);
        QCOMPARE(row1.data(Qt::SizeHintRole).toSize(), QSize(400, 133));
        QCOMPARE(row1.data(WatermarkModel::Image2Role).toString(),
                 getStylePath() + QStringLiteral("adjustbar_4x_blue"));
        QCOMPARE(row1.data(WatermarkModel::Anchor3Role).toPoint(), QPoint(332, 0));
        QVERIFY(model->index(0).data(WatermarkModel::TitleRole).toBool());

        // A press on a cell reaches the view's selection through role 265.
        QVERIFY(!model->setData(row1, QVariant(), Qt::EditRole));
        QVERIFY(model->setData(
            row1, QVariantMap{{QStringLiteral("column"), column}, {QStringLiteral("row"), 2}},
            WatermarkModel::SelectRole));
        QCOMPARE(view.selectedColumn(), column);
        QCOMPARE(view.selectedRow(), 2);

        std::unique_ptr<QMimeData> mime(WatermarkDelegate::itemMimeData(
            column, row1.data(WatermarkModel::Image1Role).toString(), QPoint(-5, 7)));
        QTEST(mime->text(), "text");
        QTEST(mime->hasImage(), "image");
        QByteArray payload = mime->data(QStringLiteral("application/x-dnditemdata"));
        QDataStream stream(&payload, QIODevice::ReadOnly);
        QPixmap pixmap;
        QPoint offset;
        stream >> pixmap >> offset;
        QCOMPARE(pixmap.size(), QSize(120, 120));
        QCOMPARE(offset, QPoint(-5, 7));
    }

    void noVideoSaysSo()
    {
        FormWatermarkView editor;
        editor.setButtonStyle(0);
        editor.initDashcam();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QVERIFY(editor.progressText()->isVisible());
        QVERIFY(editor.progressText()->text().startsWith(QStringLiteral("No video is open")));
        QSignalSpy finished(&editor, &FormWatermarkView::renderFinished);
        editor.pictureshot();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toBool(), false);
    }

    void droppedOverlaysAreSizedAndFilledOnce()
    {
        auto editor = openEditor(path(QStringLiteral("sample.mp4")));
        QVERIFY(editor);
        VideoWidget *view = editor->previewPlayer()->getVideoWidget();
        dropItem(view, 1, QPoint(10, 10));
        dropItem(view, 2, QPoint(0, 200));
        dropItem(view, 4, QPoint(50, 50)); // no such item
        QCOMPARE(editor->objectList().size(), 2);
        auto *map = qobject_cast<MapWaterMark *>(child(editor.get(), OverlayRender::mapObjectName));
        auto *meter =
            qobject_cast<FormMeterObject *>(child(editor.get(), OverlayRender::meterObjectName));
        QVERIFY(map && meter);
        QCOMPARE(map->size(), QSize(130, 120));
        QCOMPARE(map->pos(), QPoint(10, 10));
        QCOMPARE(map->frameCount(), 72);
        QCOMPARE(meter->width(), view->width());
        QCOMPARE(meter->height(), int(view->width() * 120.0 / 790.0));
        QCOMPARE(meter->frameCount(), 72);
        editor->checkWidget(nullptr, map);
        QCOMPARE(editor->objectList().size(), 2);
        // A picture label gets the item's image at video size x 16 / editor size.
        dropItem(view, 3, QPoint(200, 50));
        QCOMPARE(editor->objectList().size(), 3);
        auto *label = qobject_cast<QLabel *>(child(editor.get(), OverlayRender::pictureObjectName));
        QVERIFY(label);
        QCOMPARE(label->pixmap(Qt::ReturnByValue).size(),
                 OverlayRender::pictureSize(QSize(320, 240), editor->size()));
        // The editor's bounds reach the map.
        QCOMPARE(editor->drawInfo().maxX, samples_.last().lon);
    }

    void rendersFramesAndOverlayVideo_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::newRow("with audio") << QStringLiteral("sample.mp4");
        QTest::newRow("silent") << QStringLiteral("silent.mp4");
    }
    void rendersFramesAndOverlayVideo()
    {
        QFETCH(QString, sample);
        QFile::remove(OverlayRender::outputName);
        // Frames of an earlier, longer render.
        QImage stale(8, 8, QImage::Format_ARGB32);
        stale.fill(Qt::red);
        QVERIFY(stale.save(QStringLiteral("example_072.png")));
        QVERIFY(stale.save(QStringLiteral("example_999.png")));

        auto editor = openEditor(path(sample));
        QVERIFY(editor);
        VideoWidget *view = editor->previewPlayer()->getVideoWidget();
        dropItem(view, 1, QPoint(10, 10));
        dropItem(view, 2, QPoint(0, view->height() - 100));
        dropItem(view, 3, QPoint(200, 20));
        QWidget *picture = child(editor.get(), OverlayRender::pictureObjectName);
        const QRect pictureOnView = picture->geometry();
        QWidget *map = child(editor.get(), OverlayRender::mapObjectName);
        QWidget *meter = child(editor.get(), OverlayRender::meterObjectName);
        const QRect mapOnView = map->geometry();
        const QRect meterOnView = meter->geometry();
        const bool withAudio = QString(QTest::currentDataTag()) == QLatin1String("with audio");
        if (withAudio) {
            // The editor shows both overlays: the map's end dot and the dashboard's gauge face.
            auto *mapWidget = qobject_cast<MapWaterMark *>(map);
            const QPoint end =
                mapWidget->mapTo(editor.get(), mapWidget->samplePosition(9).toPoint());
            const QImage shown = editor->grab().toImage();
            QVERIFY(colourDistance(shown.pixelColor(end), QColor(0, 255, 255)) < 90);
            const QPoint gauge =
                meter->mapTo(editor.get(), QPoint(meter->height() / 2, meter->height() / 2));
            QVERIFY(colourDistance(shown.pixelColor(gauge), QColor(0x32, 0x32, 0x32)) > 30);
            TestSupport::saveScreenshot(editor.get(), QStringLiteral("overlay-editor"));
        }

        QSignalSpy commands(editor.get(), &FormWatermarkView::start);
        QSignalSpy finished(editor.get(), &FormWatermarkView::renderFinished);
        editor->pictureshot();
        QVERIFY(editor->isRendering());
        QVERIFY(!view->isVisible());
        QVERIFY(finished.wait(120000));
        QCOMPARE(finished.first().at(0).toBool(), true);
        QVERIFY(!editor->isRendering());
        QVERIFY(view->isVisible());
        QCOMPARE(map->geometry(), mapOnView); // restored after the render
        QCOMPARE(meter->geometry(), meterOnView);
        QCOMPARE(picture->geometry(), pictureOnView);
        QCOMPARE(editor->progressText()->isVisible(), false);

        QVERIFY(QFile::exists(QStringLiteral("example_000.png")));
        QVERIFY(QFile::exists(QStringLiteral("example_071.png")));
        QVERIFY(!QFile::exists(QStringLiteral("example_072.png")));
        QVERIFY(!QFile::exists(QStringLiteral("example_999.png")));
        QCOMPARE(commands.count(), 1);
        QVERIFY(commands.first().first().toString().contains(QStringLiteral("fffffff.mov")));
        QVERIFY(QFileInfo(OverlayRender::outputName).size() > 0);

        // Overlay pixels sit where the widgets were, scaled to the video.
        const double sx = 320.0 / view->width();
        const double sy = 240.0 / view->height();
        const QImage frame(QStringLiteral("example_040.png"));
        QCOMPARE(frame.size(), QSize(320, 240));
        const QPoint inMap(int((mapOnView.x() + 30) * sx), int((mapOnView.y() + 60) * sy));
        const QPoint inMeter(int((meterOnView.x() + meterOnView.width() / 2) * sx),
                             int((meterOnView.y() + meterOnView.height() / 2) * sy));
        const QPoint clear(300, 10);
        QVERIFY(qAlpha(frame.pixel(inMap)) > 0);
        QVERIFY(qAlpha(frame.pixel(inMeter)) > 0);
        QCOMPARE(qAlpha(frame.pixel(clear)), 0);

        QVERIFY(TestSupport::runFfmpeg({QStringLiteral("-ss"), QStringLiteral("5"),
                                        QStringLiteral("-i"), OverlayRender::outputName,
                                        QStringLiteral("-frames:v"), QStringLiteral("1"),
                                        QStringLiteral("out.png")}));
        const QImage out(QStringLiteral("out.png"));
        QCOMPARE(out.size(), QSize(320, 240));
        const QColor plain = out.pixelColor(clear);
        QVERIFY(colourDistance(plain, Qt::blue) < 60);
        QVERIFY(colourDistance(out.pixelColor(inMap), plain) > 40);
        QVERIFY(colourDistance(out.pixelColor(inMeter), plain) > 40);
        const QString shots = QString::fromLocal8Bit(qgetenv("TALVEX_SCREENSHOT_DIR"));
        if (withAudio && !shots.isEmpty()) {
            QFile::remove(QDir(shots).filePath(QStringLiteral("overlay-render-output.png")));
            QVERIFY(QFile::copy(QStringLiteral("out.png"),
                                QDir(shots).filePath(QStringLiteral("overlay-render-output.png"))));
        }
    }

    void tooShortVideoSaysSo()
    {
        auto editor = openEditor(path(QStringLiteral("short.mp4")));
        QVERIFY(editor);
        dropItem(editor->previewPlayer()->getVideoWidget(), 1, QPoint(10, 10));
        QSignalSpy finished(editor.get(), &FormWatermarkView::renderFinished);
        editor->pictureshot();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toBool(), false);
        QVERIFY(editor->progressText()->text().contains(QStringLiteral("too short")));
        QVERIFY(editor->previewPlayer()->getVideoWidget()->isVisible());
    }

    void failedOverlayRunSaysSo()
    {
        QVERIFY(QFile::copy(path(QStringLiteral("sample.mp4")), path(QStringLiteral("gone.mp4"))));
        auto editor = openEditor(path(QStringLiteral("gone.mp4")));
        QVERIFY(editor);
        dropItem(editor->previewPlayer()->getVideoWidget(), 2, QPoint(0, 10));
        QSignalSpy finished(editor.get(), &FormWatermarkView::renderFinished);
        editor->pictureshot();
        QVERIFY(QFile::remove(path(QStringLiteral("gone.mp4"))));
        QVERIFY(finished.wait(120000));
        QCOMPARE(finished.first().at(0).toBool(), false);
        QVERIFY(editor->progressText()->isVisible());
        QVERIFY(editor->progressText()->text().startsWith(
            QStringLiteral("The overlay video could not be made")));
    }

    void closingMidRenderStopsTheWorker()
    {
        QFile::remove(OverlayRender::outputName);
        auto editor = openEditor(path(QStringLiteral("silent.mp4")));
        QVERIFY(editor);
        dropItem(editor->previewPlayer()->getVideoWidget(), 1, QPoint(10, 10));
        editor->pictureshot();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("example_003.png")), 20000);
        FormWatermarkView *raw = editor.release();
        QPointer<FormWatermarkView> alive(raw);
        raw->setAttribute(Qt::WA_DeleteOnClose);
        raw->close();
        QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 10000);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(OverlayRender::outputName));
        QVERIFY(!QFile::exists(QStringLiteral("example_071.png")));
    }
};

TALVEX_TEST_MAIN(TstFormWatermarkView)
#include "tst_formwatermarkview.moc"
