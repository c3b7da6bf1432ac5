// The resource bundle as the windows load it: every skin image resolves and is drawable, the mark
// font's badges exist and are not blank.
#include "appfont.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QRawFont>
#include <QSet>

namespace {

const char *const T = ":/image/TALVEXStyle/";
const char *const B = ":/image/blackStyle/";
const char *const W = ":/image/whiteStyle/";
const char *const Q = ":/image/quarrantStyle/";
const char *const R = ":/image/";

struct ImageEntry
{
    const char *folder;
    // as the code writes it: a name without suffix is found by the image reader's suffix probe
    const char *name;
    int width;
    int height;
};

// Every image the windows load by name, with the size it is drawn for.
const ImageEntry namedImages[] = {
    {R, "dividingline.png", 6, 88},
    {R, "gsensor_dividingline.png", 6, 27},
    {R, "map_arrow_central.svg", 50, 50},
    {R, "map_arrow_central_selected.svg", 50, 50},
    {R, "map_icon.png", 82, 106},
    {Q, "Player_Quarrant_line.svg", 1, 22},
    {Q, "Player_Quarrant_square_OR.svg", 179, 44},
    {Q, "bodydata_bodydata_icon.svg", 112, 171},
    {Q, "info_altitude_back", 120, 160},
    {Q, "playback_calendar_arrow_l.svg", 8, 8},
    {Q, "playback_calendar_arrow_r.svg", 8, 8},
    {Q, "playback_chart_date_bg.svg", 500, 32},
    {Q, "sliderball.png", 25, 25},
    {Q, "window_info", 708, 200},
    {Q, "window_list", 456, 203},
    {Q, "window_main", 720, 406},
    {Q, "window_map", 456, 406},
    {T, "about_button01", 180, 52},
    {T, "about_button01_selected", 180, 52},
    {T, "about_button02", 180, 52},
    {T, "about_button02_selected", 180, 52},
    {T, "about_square", 1031, 400},
    {T, "adjustbar_4x_blue", 120, 120},
    {T, "bg_body01.svg", 513, 469},
    {T, "bg_body02.svg", 700, 350},
    {T, "bg_body_instruction.svg", 1165, 580},
    {T, "bg_body_openfolder", 1171, 631},
    {T, "bg_body_share.svg", 1100, 580},
    {T, "bg_title01.svg", 513, 51},
    {T, "bg_title02.svg", 700, 51},
    {T, "bg_title_about_openfolder_instruction", 1165, 51},
    {T, "bodyData_line", 1, 252},
    {T, "bodydata_FEMALE_selected", 120, 29},
    {T, "bodydata_FEMALE_unselect", 120, 29},
    {T, "bodydata_MALE_selected", 120, 29},
    {T, "bodydata_MALE_unselect", 120, 29},
    {T, "bodydata_age", 44, 16},
    {T, "bodydata_bmi", 45, 16},
    {T, "bodydata_height", 74, 16},
    {T, "bodydata_square", 147, 35},
    {T, "bodydata_title_icon", 20, 21},
    {T, "bodydata_weight", 78, 16},
    {T, "info_avg_speed", 37, 37},
    {T, "info_compass", 37, 37},
    {T, "info_information", 9, 89},
    {T, "info_latitude", 37, 37},
    {T, "info_longtitude", 37, 37},
    {T, "info_max_speed", 37, 37},
    {T, "info_speed_01", 400, 400},
    {T, "info_speed_02", 400, 400},
    {T, "info_time", 37, 37},
    {T, "list_add", 22, 22},
    {T, "list_arrow_down", 12, 12},
    {T, "list_arrow_left", 12, 12},
    {T, "list_arrow_right", 12, 12},
    {T, "list_arrow_up", 12, 12},
    {T, "list_group", 24, 22},
    {T, "list_remove", 22, 22},
    {T, "list_ungroup", 24, 22},
    {T, "map_final.svg", 35, 41},
    {T, "map_start.svg", 35, 41},
    {T, "openfile_border_mask", 50, 40},
    {T, "openfile_folder", 27, 20},
    {T, "openfile_folder_selected", 27, 20},
    {T, "openfile_square_l", 411, 571},
    {T, "openfile_square_r", 661, 471},
    {T, "openfile_triangle", 20, 20},
    {T, "openfile_triangle_selected", 20, 20},
    {T, "playback_chart_7days_4weeks", 180, 28},
    {T, "playback_chart_7days_4weeks_selected", 180, 28},
    {T, "playback_chart_icon", 25, 25},
    {T, "playback_chart_icon_selected", 25, 25},
    {T, "playback_chart_line", 1, 1038},
    {T, "playback_chart_line_blue", 1, 27},
    {T, "playback_chart_square_blue", 120, 32},
    {T, "playback_chart_square_gray", 120, 32},
    {T, "playback_info_altitudeDecrease", 35, 35},
    {T, "playback_info_altitudeMax", 35, 35},
    {T, "playback_info_altitudeMin", 35, 35},
    {T, "playback_info_altitudeRising", 35, 35},
    {T, "playback_info_avg_speed", 35, 35},
    {T, "playback_info_body_data", 37, 51},
    {T, "playback_info_body_data_selected", 37, 51},
    {T, "playback_info_calorie_square", 73, 73},
    {T, "playback_info_distance_square", 82, 82},
    {T, "playback_info_duration_square", 82, 82},
    {T, "playback_info_information", 18, 240},
    {T, "playback_info_information_line", 630, 1},
    {T, "playback_info_line", 1, 22},
    {T, "playback_info_line02", 1, 88},
    {T, "playback_info_max_speed", 35, 35},
    {T, "playback_info_square_Blue", 120, 30},
    {T, "playback_list_bike", 14, 13},
    {T, "playback_list_bike_selected", 11, 10},
    {T, "playback_list_line", 440, 1},
    {T, "playback_map_date_bg", 160, 36},
    {T, "playback_map_icon", 25, 25},
    {T, "playback_map_icon_selected", 25, 25},
    {T, "playbar_ball", 25, 25},
    {T, "playbar_last_frame", 18, 18},
    {T, "playbar_last_frame_selected", 18, 18},
    {T, "playbar_next_frame", 18, 18},
    {T, "playbar_next_frame_selected", 18, 18},
    {T, "playbar_pause", 18, 18},
    {T, "playbar_pause_selected", 18, 18},
    {T, "playbar_play", 18, 18},
    {T, "playbar_play_selected", 18, 18},
    {T, "playbar_stop", 18, 18},
    {T, "playbar_stop_selected", 18, 18},
    {T, "pw_button", 125, 43},
    {T, "pw_button02", 125, 43},
    {T, "pw_button_disable", 180, 43},
    {T, "pw_check", 17, 17},
    {T, "pw_loading", 50, 50},
    {T, "pw_output_button_selectfolder", 180, 29},
    {T, "pw_output_button_selectfolder_selected", 180, 29},
    {T, "pw_share_selectfolder", 170, 46},
    {T, "pw_share_selectfolder_selected", 170, 46},
    {T, "pw_share_step_icon", 8, 30},
    {T, "pw_share_youtube_select", 141, 181},
    {T, "pw_share_youtube_unselect", 141, 181},
    {T, "pw_square", 17, 17},
    {T, "pw_square_disable", 17, 17},
    {T, "pw_x", 25, 25},
    {T, "pw_x_selected", 25, 25},
    {T, "pw_zoomin.svg", 25, 25},
    {T, "pw_zoomin_selected.svg", 25, 25},
    {T, "pw_zoonout.svg", 25, 25},
    {T, "pw_zoonout_selected.svg", 25, 25},
    {B, "info_avg_speed.svg", 37, 37},
    {B, "info_compass.svg", 37, 37},
    {B, "info_latitude.svg", 37, 37},
    {B, "info_longtitude.svg", 37, 37},
    {B, "info_max_speed.svg", 37, 37},
    {B, "info_speed_edit_01.svg", 175, 175},
    {B, "info_time.svg", 37, 37},
    {B, "video_info_BG.svg", 790, 120},
    {B, "video_map_BG.svg", 120, 120},
    {W, "information.png", 10, 89},
    {R, "menubarMark", 32, 32},
};

// Images the application needs that are not named by the windows' own layouts: splash, icon,
// the unchecked Location icon, the player backgrounds and the main play bar's buttons.
const ImageEntry ownImages[] = {
    {R, "appicon", 256, 256},
    {R, "menubarUnmark", 32, 32},
    {R, "splash", 750, 418},
    {T, "playback_chart_date_bg", 500, 32},
    {T, "playbar_edit", 24, 24},
    {T, "playbar_edit_selected", 24, 24},
    {T, "playbar_exit_fullscreen", 24, 24},
    {T, "playbar_exit_fullscreen_selected", 24, 24},
    {T, "playbar_fullscreen", 24, 24},
    {T, "playbar_fullscreen_selected", 24, 24},
    {T, "playbar_mute", 24, 24},
    {T, "playbar_mute_selected", 24, 24},
    {T, "playbar_next", 24, 24},
    {T, "playbar_next_selected", 24, 24},
    {T, "playbar_pip", 24, 24},
    {T, "playbar_pip_selected", 24, 24},
    {T, "playbar_previous", 24, 24},
    {T, "playbar_previous_selected", 24, 24},
    {T, "playbar_snapshot", 24, 24},
    {T, "playbar_snapshot_selected", 24, 24},
    {T, "playbar_speed", 24, 24},
    {T, "playbar_speed_selected", 24, 24},
    {T, "playbar_sync", 24, 24},
    {T, "playbar_sync_selected", 24, 24},
    {T, "playbar_volume", 24, 24},
    {T, "playbar_volume_selected", 24, 24},
    {T, "playbar_zoom", 24, 24},
    {T, "playbar_zoom_selected", 24, 24},
    {T, "player_back_edit", 1280, 720},
    {T, "player_back_play", 1280, 720},
};

void addImageRows(const ImageEntry *begin, const ImageEntry *end)
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const ImageEntry *e = begin; e != end; ++e) {
        const QString path = QLatin1String(e->folder) + QLatin1String(e->name);
        QTest::newRow(qPrintable(path)) << path << QSize(e->width, e->height);
    }
}

int visiblePixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += qAlpha(argb.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}

QImage renderText(const QFont &baseFont, const QString &text)
{
    QFont font = baseFont;
    font.setPixelSize(64);
    QImage image(96, 96, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
}

bool isDark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

QRect darkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isDark(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

class TstResources : public QObject
{
    Q_OBJECT
private slots:
    void namedImageLoads_data() { addImageRows(std::begin(namedImages), std::end(namedImages)); }
    void namedImageLoads() { checkImage(); }

    void ownImageLoads_data() { addImageRows(std::begin(ownImages), std::end(ownImages)); }
    void ownImageLoads() { checkImage(); }

    void gaugeLayersArePng_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("dial") << QStringLiteral(":/image/TALVEXStyle/info_speed_01");
        QTest::newRow("sweep") << QStringLiteral(":/image/TALVEXStyle/info_speed_02");
    }
    void gaugeLayersArePng()
    {
        QFETCH(QString, path);
        QImageReader reader(path);
        QVERIFY(reader.canRead());
        QCOMPARE(reader.format(), QByteArray("png"));
    }

    // The dial hides the parked sweep at the bottom and lets it show along the top of the ring.
    void gaugeDialCoversOnlyTheGap()
    {
        const QImage dial(QStringLiteral(":/image/TALVEXStyle/info_speed_01"));
        const QImage sweep(QStringLiteral(":/image/TALVEXStyle/info_speed_02"));
        QCOMPARE(dial.size(), sweep.size());
        const int side = dial.width();
        const QPoint bottomOfRing(side / 2, side - side / 25);
        const QPoint topOfRing(side / 2, side / 25);
        QVERIFY(qAlpha(sweep.pixel(bottomOfRing)) == 255);
        QVERIFY(qAlpha(dial.pixel(bottomOfRing)) == 255);
        QVERIFY(qAlpha(dial.pixel(topOfRing)) == 0);
    }

    // A suffix probe must not have to choose: no folder holds two files of one name.
    void everyNameIsOneFile()
    {
        QSet<QString> seen;
        QDirIterator it(QStringLiteral(":/image"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString key = info.path() + QLatin1Char('/') + info.completeBaseName();
            QVERIFY2(!seen.contains(key), qPrintable(key));
            seen.insert(key);
        }
        QVERIFY(seen.size() >= int(std::size(namedImages) + std::size(ownImages)));
    }

    // The export tells the checked Location by comparing its icon with the check icon.
    void checkIconDiffersFromTheOtherIcon()
    {
        const QImage mark = QIcon(QStringLiteral(":/image/menubarMark")).pixmap(16, 16).toImage();
        const QImage other =
            QIcon(QStringLiteral(":/image/menubarUnmark")).pixmap(16, 16).toImage();
        QVERIFY(!mark.isNull());
        QVERIFY(visiblePixels(mark) > 0);
        QVERIFY(mark != other);
    }

    void coffeeFontFamily()
    {
        const QFont font = loadCoffeeFont();
        QCOMPARE(font.family(), QStringLiteral("zqcoffee"));
        QVERIFY(QRawFont::fromFont(font).isValid());
    }

    void badgeGlyphs_data()
    {
        QTest::addColumn<QString>("glyph");
        QTest::newRow("disc with 1") << QStringLiteral("d");
        QTest::newRow("disc with 2") << QStringLiteral("e");
    }
    void badgeGlyphs()
    {
        QFETCH(QString, glyph);
        const QFont font = loadCoffeeFont();
        QVERIFY(QFontMetrics(font).inFont(glyph.at(0)));
        const QImage image = renderText(font, glyph);
        const QRect disc = darkBounds(image);
        QVERIFY2(disc.width() > 40 && qAbs(disc.width() - disc.height()) <= 2,
                 qPrintable(QStringLiteral("%1x%2").arg(disc.width()).arg(disc.height())));
        // a disc less its numeral: dark all round the rim, light pixels inside
        int dark = 0;
        int lightInside = 0;
        const QPointF centre = QRectF(disc).center();
        const double radius = disc.width() / 2.0;
        for (int y = disc.top(); y <= disc.bottom(); ++y) {
            for (int x = disc.left(); x <= disc.right(); ++x) {
                const double d = QLineF(centre, QPointF(x + 0.5, y + 0.5)).length();
                if (isDark(image, x, y))
                    ++dark;
                else if (d < radius * 0.6)
                    ++lightInside;
            }
        }
        const double discArea = M_PI * radius * radius;
        QVERIFY(dark > discArea * 0.5);
        QVERIFY(lightInside > discArea * 0.08);
    }

    void badgesShowDifferentNumerals()
    {
        const QFont font = loadCoffeeFont();
        QVERIFY(renderText(font, QStringLiteral("d")) != renderText(font, QStringLiteral("e")));
    }

    void cupGlyphIsDrawn()
    {
        const QFont font = loadCoffeeFont();
        QVERIFY(QFontMetrics(font).inFont(QLatin1Char('c')));
        QVERIFY(!darkBounds(renderText(font, QStringLiteral("c"))).isEmpty());
    }

    void blankGlyphsKeepTheirAdvance_data()
    {
        QTest::addColumn<QString>("glyph");
        QTest::newRow("a") << QStringLiteral("a");
        QTest::newRow("b") << QStringLiteral("b");
    }
    void blankGlyphsKeepTheirAdvance()
    {
        QFETCH(QString, glyph);
        const QFont font = loadCoffeeFont();
        QVERIFY(QFontMetrics(font).inFont(glyph.at(0)));
        QVERIFY(QFontMetrics(font).horizontalAdvance(glyph) > 0);
        QVERIFY(darkBounds(renderText(font, glyph)).isEmpty());
    }

private:
    void checkImage()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QImageReader reader(path);
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        QCOMPARE(reader.size(), size);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), size);
        if (!path.endsWith(QLatin1String("menubarUnmark")))
            QVERIFY(visiblePixels(image) > 0);
        else
            QCOMPARE(visiblePixels(image), 0);
    }
};

TALVEX_TEST_MAIN(TstResources)
#include "tst_resources.moc"
