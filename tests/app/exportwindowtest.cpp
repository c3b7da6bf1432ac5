#include "exportwindowtest.h"

#include "appglobals.h"
#include "exporttestfiles.h"
#include "testsupport.h"

#include <QtTest>

namespace {

QStringList filesIn(const QTemporaryDir &dir, std::initializer_list<const char *> names)
{
    QStringList paths;
    for (const char *name : names)
        paths << dir.filePath(QString::fromLatin1(name));
    return paths;
}

} // namespace

ExportWindowTest::ExportWindowTest(Recordings made) : made_(made)
{
    clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
    longClip_ = dir_.filePath(QStringLiteral("20261207110000_F.mp4"));
    groupClips_ =
        filesIn(dir_, {"20261207120000_F.mp4", "20261207120300_F.mp4", "20261207120600_F.mp4"});
    pair_ = filesIn(dir_, {"20261207130000_F.mp4", "20261207130000_R.mp4"});
    pairedGroups_ = filesIn(dir_, {"20261207150000_F.mp4", "20261207150300_F.mp4",
                                   "20261207150000_R.mp4", "20261207150300_R.mp4"});
    tinyClip_ = dir_.filePath(QStringLiteral("20261207160000_F.mp4"));
    trailerClip_ = dir_.filePath(QStringLiteral("20261207120900_F.mp4"));
    bigClips_ = filesIn(dir_, {"20261207140000_F.mp4", "20261207140300_F.mp4"});
}

void ExportWindowTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path()); // settings file, clip.txt and outputs stay here
    if (made_ & Clip)
        QVERIFY(TestSupport::makeClip(clip_, 8, QStringLiteral("1280x720")));
    if (made_ & GroupClips) {
        for (const QString &path : qAsConst(groupClips_))
            QVERIFY(TestSupport::makeClip(path, 3, QStringLiteral("640x360")));
    }
    if (made_ & Pair) {
        for (const QString &path : qAsConst(pair_))
            QVERIFY(TestSupport::makeClip(path, 4, QStringLiteral("640x360")));
    }
    if (made_ & PairedGroups) {
        for (const QString &path : qAsConst(pairedGroups_))
            QVERIFY(TestSupport::makeClip(path, 4, QStringLiteral("640x360")));
    }
    if (made_ & TinyClip) {
        QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=s=64x36:r=1:d=10", "-c:v",
                                        "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                        tinyClip_}));
    }
    if (made_ & BigClips) {
        for (const QString &path : qAsConst(bigClips_)) {
            QVERIFY(TestSupport::runFfmpeg(
                {"-f", "lavfi", "-i",
                 "testsrc=size=320x180:rate=25:duration=3,noise=alls=20:allf=t", "-c:v", "libx264",
                 "-preset", "ultrafast", "-qp", "0", "-pix_fmt", "yuv420p", path}));
        }
    }
    if (made_ & TrailerClip) {
        QVERIFY(ExportTestFiles::makeSourceWithTrailer(trailerClip_, 3,
                                                       ExportTestFiles::makeSamples(3)));
    }
    if (made_ & LongClip) {
        QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=s=64x36:r=1:d=3800", "-c:v",
                                        "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                        longClip_}));
    }
}

void ExportWindowTest::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
}

void ExportWindowTest::init()
{
    gDisplayMode = 0;
    gSupportPromptHidden = false;
}
