// The day file list in a real window: header rows, highlight, loading, stop and painting.
#include "filedatelistitem.h"
#include "filedatelistmodel.h"
#include "filedatelistview.h"
#include "formfiledatelistview.h"
#include "testsupport.h"

#include <QSignalSpy>

#include <memory>

namespace {
const QColor blue(0x2e, 0xa7, 0xe0);
const QColor clickedBackground(0x70, 0x50, 0x23);
const QColor plainBackground(0x32, 0x32, 0x32);

bool near(const QColor &a, const QColor &b, int tolerance = 6)
{
    return TestSupport::isNear(a, b, tolerance);
}

const QStringList twoStarts = {"20240315083000.TXT", "20240315083012.TXT", "20240315091000.TXT"};
} // namespace

class TstFormFileDateListView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void headersOpenRunsOfOneMinute_data();
    void headersOpenRunsOfOneMinute();
    void modelAnswersOnlyItsRows();
    void metricsGrowWithTheViewHeight_data();
    void metricsGrowWithTheViewHeight();
    void pressHighlightsOneFileRow();
    void headerRowsIgnorePresses();
    void doubleClickLoadsTheFile();
    void stopForgetsTheLoadedFile();
    void listSizeReachesEveryRow();
    void paintsHeadersAndFlags();

private:
    FileDateListView *view() const { return form_->listView(); }
    FileDateListModel *model() const { return view()->listModel(); }
    QPoint rowCentre(int row) const { return view()->visualRect(model()->index(row)).center(); }
    QStringList rowTexts() const;
    // As a user's double click arrives: press and release, then the double click.
    void doubleClick(const QPoint &at) const;

    std::unique_ptr<FormFileDateListView> form_;
};

void TstFormFileDateListView::init()
{
    form_ = std::make_unique<FormFileDateListView>();
    form_->resize(456, 203);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->setListSize(456, 203);
}

void TstFormFileDateListView::cleanup()
{
    form_.reset();
}

void TstFormFileDateListView::doubleClick(const QPoint &at) const
{
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, at);
}

// "h hh:mm" for a header, "f name" for a file row, "*" after a loaded one.
QStringList TstFormFileDateListView::rowTexts() const
{
    QStringList texts;
    for (int row = 0; row < model()->rowCount(); ++row) {
        const QModelIndex index = model()->index(row);
        if (index.data(FileDateListRole::isHeader).toBool())
            texts << QStringLiteral("h ") + index.data(FileDateListRole::timeText).toString();
        else
            texts << QStringLiteral("f ") + index.data(FileDateListRole::fileName).toString() +
                         (index.data(FileDateListRole::isLoaded).toBool() ? QStringLiteral("*")
                                                                          : QString());
    }
    return texts;
}

void TstFormFileDateListView::headersOpenRunsOfOneMinute_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("empty") << QStringList() << QStringList();
    QTest::newRow("two start times")
        << twoStarts
        << QStringList{"h 08:30", "f 20240315083000", "f 20240315083012", "h 09:10",
                       "f 20240315091000"};
    QTest::newRow("a minute that comes back gets a second header")
        << QStringList{"20240315083000.TXT", "20240315091000.TXT", "20240315083012.TXT"}
        << QStringList{"h 08:30",          "f 20240315083000", "h 09:10",
                       "f 20240315091000", "h 08:30",          "f 20240315083012"};
    QTest::newRow("short names") << QStringList{"abc", "202403150"}
                                 << QStringList{"h :", "f abc", "h 0:", "f 20240"};
}

void TstFormFileDateListView::headersOpenRunsOfOneMinute()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, rows);
    form_->setFileList({"20240101000000.TXT"});
    form_->setFileList(names); // replaces the earlier rows
    QCOMPARE(rowTexts(), rows);
    for (int row = 0; row < model()->rowCount(); ++row) {
        const QModelIndex index = model()->index(row);
        const bool header = index.data(FileDateListRole::isHeader).toBool();
        QCOMPARE(index.data(Qt::SizeHintRole).toSize(), header ? QSize(390, 34) : QSize(390, 30));
    }
}

void TstFormFileDateListView::modelAnswersOnlyItsRows()
{
    form_->setFileList(twoStarts);
    QVERIFY(!model()->data(model()->index(5), FileDateListRole::fileName).isValid());
    QVERIFY(!model()->data(model()->index(0), Qt::DisplayRole).isValid());
    QVERIFY(!model()->setData(QModelIndex(), true, FileDateListRole::click));
    QVERIFY(!model()->setData(model()->index(1), true, Qt::EditRole));
    QCOMPARE(model()->getItem(5), nullptr);
    QCOMPARE(model()->getItem(-1), nullptr);
    model()->addItem(nullptr);
    QCOMPARE(model()->rowCount(), 5);
}

void TstFormFileDateListView::metricsGrowWithTheViewHeight_data()
{
    QTest::addColumn<int>("viewHeight");
    QTest::addColumn<QList<int>>("expected");
    // header and file pixel sizes, header icon w x h, loaded icon w x h, icon x's and top
    QTest::newRow("s = 0") << 198 << QList<int>{16, 13, 14, 13, 11, 10, 150, 120, 10};
    QTest::newRow("s = 300") << 498 << QList<int>{32, 29, 26, 25, 23, 22, 109, 60, 5};
    QTest::newRow("s = -20") << 178 << QList<int>{14, 11, 13, 12, 10, 9, 152, 124, 10};
}

void TstFormFileDateListView::metricsGrowWithTheViewHeight()
{
    QFETCH(int, viewHeight);
    QFETCH(QList<int>, expected);
    const FileDateListRows::Metrics m = FileDateListRows::metrics(viewHeight, QRect(0, 0, 390, 30));
    const QList<int> actual = {m.headerPixelSize,     m.filePixelSize,      m.headerIcon.width(),
                               m.headerIcon.height(), m.loadedIcon.width(), m.loadedIcon.height(),
                               m.headerIconAt.x(),    m.loadedIconAt.x(),   m.headerIconAt.y()};
    QCOMPARE(actual, expected);
}

void TstFormFileDateListView::pressHighlightsOneFileRow()
{
    form_->setFileList(twoStarts);
    QSignalSpy presses(model(), &FileDateListModel::clickEvent);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowCentre(2));
    QCOMPARE(presses.count(), 1);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowCentre(4));
    QList<bool> clicked;
    for (int row = 0; row < model()->rowCount(); ++row)
        clicked << model()->index(row).data(FileDateListRole::isClicked).toBool();
    QCOMPARE(clicked, (QList<bool>{false, false, false, false, true}));
}

void TstFormFileDateListView::headerRowsIgnorePresses()
{
    form_->setFileList(twoStarts);
    QSignalSpy presses(model(), &FileDateListModel::clickEvent);
    QSignalSpy doubles(model(), &FileDateListModel::clickDoubleEvent);
    QSignalSpy files(form_.get(), &FormFileDateListView::selectedFile_trigger);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowCentre(0));
    doubleClick(rowCentre(3));
    QCOMPARE(presses.count(), 0);
    QCOMPARE(doubles.count(), 0);
    QCOMPARE(files.count(), 0);
    QCOMPARE(model()->index(3).data(FileDateListRole::isClicked).toBool(), false);
}

void TstFormFileDateListView::doubleClickLoadsTheFile()
{
    form_->setFileList(twoStarts);
    QSignalSpy files(form_.get(), &FormFileDateListView::selectedFile_trigger);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowCentre(1));
    doubleClick(rowCentre(2));
    QCOMPARE(files.count(), 1);
    QCOMPARE(files.at(0).at(0).toString(), QStringLiteral("20240315083012"));
    QCOMPARE(rowTexts(), (QStringList{"h 08:30", "f 20240315083000", "f 20240315083012*", "h 09:10",
                                      "f 20240315091000"}));
    // the double click's press moved the highlight too
    QCOMPARE(model()->index(1).data(FileDateListRole::isClicked).toBool(), false);
    QCOMPARE(model()->index(2).data(FileDateListRole::isClicked).toBool(), true);

    doubleClick(rowCentre(4));
    QCOMPARE(files.count(), 2);
    QCOMPARE(files.at(1).at(0).toString(), QStringLiteral("20240315091000"));
    QCOMPARE(model()->index(2).data(FileDateListRole::isLoaded).toBool(), false);

    // a refill of the same day marks the loaded file again, with no highlight
    form_->setFileList(twoStarts);
    QCOMPARE(rowTexts().last(), QStringLiteral("f 20240315091000*"));
    QCOMPARE(model()->index(4).data(FileDateListRole::isClicked).toBool(), false);
}

void TstFormFileDateListView::stopForgetsTheLoadedFile()
{
    form_->setFileList(twoStarts);
    doubleClick(rowCentre(1));
    QCOMPARE(model()->index(1).data(FileDateListRole::isLoaded).toBool(), true);
    emit form_->stopTrigger();
    QCOMPARE(model()->index(1).data(FileDateListRole::isLoaded).toBool(), false);
    QCOMPARE(model()->index(1).data(FileDateListRole::isClicked).toBool(), true); // stays
    form_->setFileList(twoStarts);
    QVERIFY(!rowTexts().join(QString()).contains(QLatin1Char('*')));
}

void TstFormFileDateListView::listSizeReachesEveryRow()
{
    form_->setFileList(twoStarts);
    form_->setListSize(300, 150);
    auto *frame = form_->findChild<QWidget *>(QStringLiteral("gridWidget"));
    QCOMPARE(frame->size(), QSize(300, 150));
    for (int row = 0; row < model()->rowCount(); ++row)
        QCOMPARE(model()->index(row).data(FileDateListRole::viewSize).toSize(), QSize(294, 144));
}

void TstFormFileDateListView::paintsHeadersAndFlags()
{
    // the page's frame colour behind the list
    form_->setStyleSheet(QStringLiteral("FormFileDateListView{background:#262626;}"));
    form_->setFileList(twoStarts);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowCentre(4));
    doubleClick(rowCentre(2));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowCentre(1));
    TestSupport::saveScreenshot(form_.get(), QStringLiteral("ridedata-day-file-list"));

    const QImage image = view()->viewport()->grab().toImage();
    const QRect highlighted = view()->visualRect(model()->index(1));
    const QRect plain = view()->visualRect(model()->index(4));
    QVERIFY(near(image.pixelColor(highlighted.left() + 3, highlighted.center().y()),
                 clickedBackground));
    QVERIFY(near(image.pixelColor(plain.left() + 3, plain.center().y()), plainBackground));
    // the header's time is drawn in blue
    const QRect header = view()->visualRect(model()->index(3));
    bool blueText = false;
    for (int x = header.left(); x < header.right() && !blueText; ++x)
        for (int y = header.top(); y < header.bottom() && !blueText; ++y)
            blueText = near(image.pixelColor(x, y), blue, 20);
    QVERIFY(blueText);
}

TALVEX_TEST_MAIN(TstFormFileDateListView)
#include "tst_formfiledatelistview.moc"
