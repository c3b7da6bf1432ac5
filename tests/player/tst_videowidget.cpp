// VideoWidget: picture settings reaching mpv, the flipped picture, overlay drops.
#include "dashcam.h"
#include "formdashcampreview.h"
#include "mpvcore.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TstVideoWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void pictureSettingsReachMpv_data();
    void pictureSettingsReachMpv();
    void verticalFlipTurnsPicture();
    void hiddenViewStillOpensAndDrawsWhenShown();
    void viewOutlivesItsPlayer();
    void droppedItemBecomesChild_data();
    void droppedItemBecomesChild();
    void otherDragsAreRefused();

private:
    QTemporaryDir dir;
    QString clipPath;
};

namespace {

QMimeData *itemMime(const QString &text, const QPixmap &pixmap, const QPoint &hotSpot)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << pixmap << hotSpot;
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("application/x-dnditemdata"), data);
    mime->setText(text);
    return mime;
}

QImage pausedPicture(FormDashcamPreview &preview)
{
    QTest::qWait(100); // let the last frame reach the view
    return preview.getDashcam()->getVideoWidget()->grabFramebuffer();
}

// testsrc is colourful; an empty view is one colour.
bool isFlat(const QImage &picture)
{
    return picture.pixelColor(picture.width() / 8, picture.height() / 8) ==
           picture.pixelColor(picture.width() * 7 / 8, picture.height() / 8);
}

} // namespace

void TstVideoWidget::initTestCase()
{
    QVERIFY(dir.isValid());
    clipPath = dir.filePath(QStringLiteral("clip_F.mp4"));
    QVERIFY(TestSupport::makeClip(clipPath, 2.0));
}

void TstVideoWidget::pictureSettingsReachMpv_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("brightness") << "brightness" << 0.5 << QByteArray("brightness") << QVariant(50);
    QTest::newRow("brightness clamped")
        << "brightness" << 3.0 << QByteArray("brightness") << QVariant(100);
    QTest::newRow("contrast") << "contrast" << -0.25 << QByteArray("contrast") << QVariant(-25);
    QTest::newRow("saturation") << "saturation" << -1.0 << QByteArray("saturation")
                                << QVariant(-100);
    QTest::newRow("zoom doubles") << "zoom" << 2.0 << QByteArray("video-zoom") << QVariant(1.0);
    QTest::newRow("zoom to fit") << "zoom" << 1.0 << QByteArray("video-zoom") << QVariant(0.0);
    QTest::newRow("zero zoom ignored")
        << "zoom" << 0.0 << QByteArray("video-zoom") << QVariant(0.0);
    QTest::newRow("pan") << "pan" << 0.25 << QByteArray("video-pan-x") << QVariant(0.25);
    QTest::newRow("flip") << "flip" << 1.0 << QByteArray("video-rotate") << QVariant(180);
}

void TstVideoWidget::pictureSettingsReachMpv()
{
    QFETCH(QString, setting);
    QFETCH(double, value);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    MpvCore core({{"vo", "null"}, {"ao", "null"}});
    VideoWidget view(&core);
    if (setting == QLatin1String("brightness"))
        view.onSetBrightness(value);
    else if (setting == QLatin1String("contrast"))
        view.setContrast(value);
    else if (setting == QLatin1String("saturation"))
        view.setSaturation(value);
    else if (setting == QLatin1String("zoom"))
        view.setZoom(value);
    else if (setting == QLatin1String("pan"))
        view.setPan(value, -value);
    else
        view.setVerticalFlip(value != 0.0);
    QCOMPARE(core.property(property.constData()).toDouble(), expected.toDouble());
    if (setting == QLatin1String("brightness"))
        QCOMPARE(view.brightness(), expected.toDouble() / 100.0);
    if (setting == QLatin1String("pan"))
        QCOMPARE(core.property("video-pan-y").toDouble(), -value);
}

void TstVideoWidget::verticalFlipTurnsPicture()
{
    FormDashcamPreview preview;
    preview.resize(320, 240);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    Dashcam *player = preview.getDashcam();
    QSignalSpy opened(player, &Dashcam::durationChanged);
    player->setMedia({QUrl::fromLocalFile(clipPath)});
    QVERIFY(opened.wait(10000));
    QImage upright;
    QTRY_VERIFY_WITH_TIMEOUT(!isFlat(upright = pausedPicture(preview)), 10000);
    player->getVideoWidget()->setVerticalFlip(true);
    const QPoint topLeft(upright.width() / 10, upright.height() / 10);
    const QPoint bottomRight(upright.width() - 1 - topLeft.x(), upright.height() - 1 - topLeft.y());
    QTRY_COMPARE(pausedPicture(preview).pixelColor(bottomRight), upright.pixelColor(topLeft));
    QVERIFY(upright.pixelColor(topLeft) != upright.pixelColor(bottomRight));
    TestSupport::saveScreenshot(&preview, QStringLiteral("videowidget_flipped"));
}

void TstVideoWidget::hiddenViewStillOpensAndDrawsWhenShown()
{
    FormDashcamPreview preview;
    Dashcam *player = preview.getDashcam();
    QSignalSpy info(player, &Dashcam::fileInfoChanged);
    player->setMedia({QUrl::fromLocalFile(clipPath)});
    QVERIFY(info.wait(10000));
    QCOMPARE(info.first().first().value<FileInfo_t>().resolution, QStringLiteral("320x240"));
    player->setPosition(100);
    QTRY_COMPARE(player->positionMs(), qint64(1000));

    preview.resize(320, 240);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTRY_VERIFY(player->getVideoWidget()->hasRenderContext());
    // The picture arrives once mpv has moved its output to the view.
    QTRY_VERIFY_WITH_TIMEOUT(!isFlat(pausedPicture(preview)), 10000);
    QCOMPARE(player->positionMs(), qint64(1000));
}

void TstVideoWidget::viewOutlivesItsPlayer()
{
    QWidget holder;
    auto player = std::make_unique<Dashcam>();
    QPointer<VideoWidget> view = player->getVideoWidget();
    view->setParent(&holder);
    holder.resize(160, 120);
    view->resize(160, 120);
    holder.show();
    QVERIFY(QTest::qWaitForWindowExposed(&holder));
    QTRY_VERIFY(view->hasRenderContext());
    player.reset();
    QVERIFY(view); // laid out elsewhere, the view stays with its holder
    QVERIFY(!view->hasRenderContext());
    view->onSetBrightness(0.5);
    view->setZoom(2.0);
    QVERIFY(!view->grabFramebuffer().isNull());

    // A view nobody took goes with its player.
    auto alone = std::make_unique<Dashcam>();
    QPointer<VideoWidget> orphan = alone->getVideoWidget();
    alone.reset();
    QVERIFY(!orphan);
}

void TstVideoWidget::droppedItemBecomesChild_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("created");
    QTest::newRow("known item") << "QLabelImage" << true;
    QTest::newRow("unknown item") << "somethingElse" << false;
}

void TstVideoWidget::droppedItemBecomesChild()
{
    QFETCH(QString, text);
    QFETCH(bool, created);
    MpvCore core({{"vo", "null"}, {"ao", "null"}});
    VideoWidget view(&core);
    view.resize(320, 240);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QPixmap dragged;
    view.setOverlayFactory([&](const QString &itemText, const QPixmap &pixmap, QWidget *parent) {
        dragged = pixmap;
        if (itemText != QLatin1String("QLabelImage"))
            return static_cast<QWidget *>(nullptr);
        auto *label = new QLabel(parent);
        label->setObjectName(itemText);
        label->setPixmap(pixmap);
        return static_cast<QWidget *>(label);
    });
    QList<QWidget *> placed;
    connect(&view, &VideoWidget::objectMapWaterMarkTriggered, this,
            [&](QDropEvent *, QWidget *widget) { placed << widget; });

    QPixmap pixmap(40, 30);
    pixmap.fill(Qt::red);
    std::unique_ptr<QMimeData> mime(itemMime(text, pixmap, QPoint(10, 5)));
    QDragEnterEvent enter(QPoint(100, 80), Qt::CopyAction, mime.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&view, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 80), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &drop);

    QCOMPARE(dragged.size(), QSize(40, 30));
    auto *label = view.findChild<QLabel *>(QStringLiteral("QLabelImage"));
    QCOMPARE(label != nullptr, created);
    QCOMPARE(placed.size(), created ? 1 : 0);
    if (!created)
        return;
    QCOMPARE(label->pos(), QPoint(90, 75));
    QVERIFY(label->isVisible());
    QVERIFY(label->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(placed.first(), label);
}

void TstVideoWidget::otherDragsAreRefused()
{
    MpvCore core({{"vo", "null"}, {"ao", "null"}});
    VideoWidget view(&core);
    bool asked = false;
    view.setOverlayFactory([&](const QString &, const QPixmap &, QWidget *) {
        asked = true;
        return static_cast<QWidget *>(nullptr);
    });
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(clipPath)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &drop);
    QVERIFY(!asked);
}

TALVEX_TEST_MAIN(TstVideoWidget)
#include "tst_videowidget.moc"
