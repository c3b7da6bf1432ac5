// Exports onto a FAT memory card through FUSE, as a user mounts one where the kernel has no vfat,
// from the real main window's play bar: the file ffmpeg wrote is whole, with the trailer after it,
// and only such a file is "Finished.".
#include "exporttestfiles.h"
#include "fatcard.h"
#include "metadataparser.h"
#include "playbarexport.h"

#include <QTemporaryDir>

using namespace PlayBarExport;

class TstCardExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void exportOntoAFatCard_data();
    void exportOntoAFatCard();

private:
    QTemporaryDir dir_;
    QString oldCwd_;
};

void TstCardExport::initTestCase()
{
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_.path())); // settings file and clip.txt stay here
}

void TstCardExport::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
}

void TstCardExport::exportOntoAFatCard_data()
{
    QTest::addColumn<bool>("group");
    QTest::newRow("a GPS clip's cut") << false;
    QTest::newRow("a group's join") << true;
}

void TstCardExport::exportOntoAFatCard()
{
    QFETCH(bool, group);
    FATCARD_OR_SKIP(card);
    QStringList sources;
    for (int i = 0; i < (group ? 3 : 1); ++i) {
        sources << dir_.filePath(QStringLiteral("20261207170%100_F.mp4").arg(i * 3));
        const int seconds = group ? 3 : 8;
        QVERIFY(ExportTestFiles::makeSourceWithTrailer(sources.last(), seconds,
                                                       ExportTestFiles::makeSamples(seconds)));
    }
    const QString output = card.root() + QStringLiteral("/cut.mov");
    {
        MainWindow w;
        QVERIFY(showWindow(w));
        if (group)
            playGroup(w, sources);
        else
            openFile(w, sources.first());
        if (QTest::currentTestFailed())
            return;
        ExportEnd end(w);
        startCut(w, output);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(end.reached(), exportTimeoutMs);
        QVERIFY2(end.isFinished(), qPrintable(end.errorText()));
        QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->getMediaPath(), output, 20000);
    } // the player lets the card's file go
    QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 6.0) < 0.2);
    QVector<VideoInfo_t> samples;
    QVERIFY(MetadataParser().loadMetadata(output, nullptr, &samples, nullptr, nullptr, nullptr,
                                          nullptr, false) != DashcamTypes::none);
    QVERIFY(samples.size() >= 6); // a record for each second of the span
    QCOMPARE(QDir(card.root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"cut.mov"});
    QFile::remove(QStringLiteral("clip.txt"));
}

TALVEX_TEST_MAIN(TstCardExport)
#include "tst_cardexport.moc"
