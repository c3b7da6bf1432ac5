// The base of the main window's export test programs: a folder of the program's own, made its
// working directory before the first case (the settings file, clip.txt and the ffmpeg stand-ins
// stay there), with the recordings that its cases cut, made there by ffmpeg. Each case starts
// with the single view and the support prompt not hidden. A program derives from it and
// declares only its cases; QtTest runs this class's initTestCase, cleanupTestCase and init.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

class ExportWindowTest : public QObject
{
    Q_OBJECT
public:
    enum Recording
    {
        Clip = 0x01,
        LongClip = 0x02,
        GroupClips = 0x04,
        Pair = 0x08,
        PairedGroups = 0x10,
        TinyClip = 0x20,
        TrailerClip = 0x40,
        BigClips = 0x80,
    };
    Q_DECLARE_FLAGS(Recordings, Recording)

protected:
    // made: the recordings the program's cases cut; the others are named but not made
    explicit ExportWindowTest(Recordings made);

    QTemporaryDir dir_;
    QString clip_;             // 8 s at 1280x720
    QString longClip_;         // 3800 s at 64x36, a picture a second
    QStringList groupClips_;   // three front files of 3 s at 640x360, 3 minutes apart
    QStringList pair_;         // a front file and its rear partner
    QStringList pairedGroups_; // two front files of 4 s, then their rear partners
    QString tinyClip_;         // 10 s at 64x36, a picture a second: a cut of some KB
    QString trailerClip_;      // a front file with a GPS trailer: another device than groupClips_
    QStringList bigClips_;     // front files of some MB

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

private:
    Recordings made_;
    QString oldCwd_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ExportWindowTest::Recordings)
