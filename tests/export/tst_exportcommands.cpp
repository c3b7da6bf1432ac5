#include "exportcommands.h"
#include "ffmpegarguments.h"
#include "testsupport.h"

#include <QApplication>

namespace {

const CameraPicture mainCamera{0.2, 0.0, -1};  // brightness 0.17, saturation 1, rotation 0
const CameraPicture secondCamera{0.0, 0.5, 1}; // brightness 0, saturation 1.8, flipped: 180

QString pipTail(bool haveAudio)
{
    return QStringLiteral("-map \"[body2]\" ") +
           (haveAudio ? QStringLiteral("-map 0:a -c:a copy ") : QString()) +
           QStringLiteral("-b:v 20000K -c:v mpeg4 -vtag xvid -qscale:v 6");
}

} // namespace

class TstExportCommands : public QObject
{
    Q_OBJECT

private slots:
    void pictureValuesAreScaled_data()
    {
        QTest::addColumn<double>("brightness");
        QTest::addColumn<double>("saturation");
        QTest::addColumn<int>("flip");
        QTest::addColumn<QString>("filter");
        QTest::newRow("neutral, flip absent")
            << 0.0 << 0.0 << -1 << "eq=brightness=0:saturation=1,rotate=0*(PI/180)";
        QTest::newRow("brightness 0.2")
            << 0.2 << 0.0 << 0 << "eq=brightness=0.17:saturation=1,rotate=0*(PI/180)";
        QTest::newRow("brightness 1 stays")
            << 1.0 << 0.0 << 0 << "eq=brightness=1:saturation=1,rotate=0*(PI/180)";
        QTest::newRow("negative brightness")
            << -0.4 << 0.0 << 0 << "eq=brightness=-0.34:saturation=1,rotate=0*(PI/180)";
        QTest::newRow("saturation 0.5")
            << 0.0 << 0.5 << 0 << "eq=brightness=0:saturation=1.8,rotate=0*(PI/180)";
        QTest::newRow("saturation -0.5")
            << 0.0 << -0.5 << 0 << "eq=brightness=0:saturation=0.55,rotate=0*(PI/180)";
        QTest::newRow("four significant digits")
            << 0.1234 << 0.1234 << -1
            << "eq=brightness=0.10489:saturation=1.34808,rotate=0*(PI/180)";
        // the export turns the picture exactly when the view shows it turned
        QTest::newRow("flip off (setting 0)")
            << 0.0 << 0.0 << 0 << "eq=brightness=0:saturation=1,rotate=0*(PI/180)";
        QTest::newRow("flip on (setting 1)")
            << 0.0 << 0.0 << 1 << "eq=brightness=0:saturation=1,rotate=180*(PI/180)";
    }
    void pictureValuesAreScaled()
    {
        QFETCH(double, brightness);
        QFETCH(double, saturation);
        QFETCH(int, flip);
        QFETCH(QString, filter);
        const QString command =
            ExportCommands::editorCommand(CameraPicture{brightness, saturation, flip}, 0, 1);
        QCOMPARE(command,
                 QStringLiteral("-ss 0 -t 1 -vf \"%1\" -b:v 20000K -acodec copy ").arg(filter));
    }

    void cutCommandHasItsPiecesInOrder()
    {
        QCOMPARE(ExportCommands::editorCommand(mainCamera, 65, 30),
                 QStringLiteral("-ss 65 -t 30 -vf "
                                "\"eq=brightness=0.17:saturation=1,rotate=0*(PI/180)\" "
                                "-b:v 20000K -acodec copy "));
    }

    void pipCommandOfEveryLocation_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("haveAudio");
        QTest::addColumn<QString>("overlay");
        const QStringList overlays{
            "[a0][2] overlay=(main_w-overlay_w)/2:0 [body];"
            "[body][b1] overlay=(main_w-overlay_w)/2:5 [body2]\" ",
            "[a0][2] overlay=(main_w-overlay_w)/2:main_h-overlay_h-20 [body]; "
            "[body][b1] overlay=(main_w-overlay_w)/2:main_h-overlay_h-20-5 [body2]\" ",
            "[a0][2] overlay=0:(main_h-overlay_h-20)/2 [body]; "
            "[body][b1] overlay=5:(main_h-overlay_h-20)/2 [body2]\" ",
            "[a0][2] overlay=0:0 [body]; [body][b1] overlay=5:5 [body2]\" ",
            "[a0][2] overlay=0:main_h-overlay_h-20 [body]; "
            "[body][b1] overlay=5:main_h-overlay_h-20-5 [body2]\" ",
            "[a0][2] overlay=main_w-overlay_w:(main_h-overlay_h-20)/2 [body]; "
            "[body][b1] overlay=main_w-overlay_w-5:(main_h-overlay_h-20)/2 [body2]\" ",
            "[a0][2] overlay=main_w-overlay_w:0 [body]; "
            "[body][b1] overlay=main_w-overlay_w-5:5 [body2]\" ",
            "[a0][2] overlay=main_w-overlay_w:main_h-overlay_h-20 [body]; "
            "[body][b1] overlay=main_w-overlay_w-5:main_h-overlay_h-20-5 [body2]\" ",
        };
        for (int position = 0; position < overlays.size(); ++position) {
            for (bool audio : {false, true}) {
                QTest::addRow("code %d %s", position, audio ? "audio" : "no audio")
                    << position << audio << overlays.at(position);
            }
        }
    }
    void pipCommandOfEveryLocation()
    {
        QFETCH(int, position);
        QFETCH(bool, haveAudio);
        QFETCH(QString, overlay);
        const QString head =
            QStringLiteral("-ss 65 -t 30 -filter_complex "
                           "\"[0]eq=brightness=0.17:saturation=1,rotate=0*(PI/180) [a0]; "
                           "[1]eq=brightness=0:saturation=1.8,rotate=180*(PI/180) [a1]; "
                           "[a1]scale=w=474:h=-1:force_original_aspect_ratio=decrease [b1]; ");
        QCOMPARE(ExportCommands::editorCommandPip(mainCamera, secondCamera, position, haveAudio, 65,
                                                  30, 474, 5, 20),
                 head + overlay + pipTail(haveAudio));
    }

    void mixtureCommandOfEveryLocation_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("haveAudio");
        QTest::addColumn<QString>("overlay");
        const QStringList overlays{
            "[0][2] overlay=(main_w-overlay_w)/2:0:enable='between(t,0,75)' [body]; "
            "[body][c1] overlay=(main_w-overlay_w)/2:5:enable='between(t,0,75)' [body2]\" ",
            "[0][2] overlay=(main_w-overlay_w)/2:main_h-overlay_h-20:enable='between(t,0,75)' "
            "[body]; [body][c1] overlay=(main_w-overlay_w)/2:main_h-overlay_h-20-5:"
            "enable='between(t,0,75)' [body2]\" ",
            "[0][2] overlay=0:(main_h-overlay_h-20)/2:enable='between(t,0,75)' [body]; "
            "[body][c1] overlay=5:(main_h-overlay_h-20)/2:enable='between(t,0,75)' [body2]\" ",
            "[0][2] overlay=0:0:enable='between(t,0,75)' [body]; "
            "[body][c1] overlay=5:5:enable='between(t,0,75)' [body2]\" ",
            "[0][2] overlay=0:main_h-overlay_h-20:enable='between(t,0,75)' [body]; "
            "[body][c1] overlay=5:main_h-overlay_h-20-5:enable='between(t,0,75)' [body2]\" ",
            "[0][2] overlay=main_w-overlay_w:(main_h-overlay_h-20)/2:enable='between(t,0,75)' "
            "[body]; [body][c1] overlay=main_w-overlay_w-5:(main_h-overlay_h-20)/2:"
            "enable='between(t,0,75)' [body2]\" ",
            "[0][2] overlay=main_w-overlay_w:0:enable='between(t,0,75)' [body]; "
            "[body][c1] overlay=main_w-overlay_w-5:5:enable='between(t,0,75)' [body2]\" ",
            "[0][2] overlay=main_w-overlay_w:main_h-overlay_h-20:enable='between(t,0,75)' "
            "[body]; [body][c1] overlay=main_w-overlay_w-5:main_h-overlay_h-20-5:"
            "enable='between(t,0,75)' [body2]\" ",
        };
        for (int position = 0; position < overlays.size(); ++position) {
            for (bool audio : {false, true}) {
                QTest::addRow("code %d %s", position, audio ? "audio" : "no audio")
                    << position << audio << overlays.at(position);
            }
        }
    }
    void mixtureCommandOfEveryLocation()
    {
        QFETCH(int, position);
        QFETCH(bool, haveAudio);
        QFETCH(QString, overlay);
        const QString head = QStringLiteral(
            "-filter_complex \"[1]scale=w=474:h=-1:force_original_aspect_ratio=decrease [c1]; ");
        QCOMPARE(ExportCommands::getCommandMixture(position, haveAudio, 75, 474, 5, 20),
                 head + overlay + pipTail(haveAudio));
    }

    void locationOutsideTheMenuIsRejected_data()
    {
        QTest::addColumn<int>("position");
        QTest::newRow("negative") << -1;
        QTest::newRow("eight") << 8;
    }
    void locationOutsideTheMenuIsRejected()
    {
        QFETCH(int, position);
        QVERIFY(ExportCommands::editorCommandPip(mainCamera, secondCamera, position, true, 0, 5,
                                                 474, 5, 20)
                    .isNull());
        QVERIFY(ExportCommands::getCommandMixture(position, true, 5, 474, 5, 20).isNull());
    }

    void groupPieceTexts_data()
    {
        QTest::addColumn<bool>("timed");
        QTest::addColumn<bool>("keepAudio");
        QTest::addColumn<QString>("expected");
        const QString scale = "-filter_complex \"[0]scale=w=1920:h=-1:"
                              "force_original_aspect_ratio=decrease [body2]\" -map \"[body2]\" ";
        QTest::newRow("first piece with audio")
            << true << true
            << "-ss 50 -t 10 " + scale +
                   "-map 0:a -c:a copy -c:v mpeg4 -vtag xvid -qscale:v 6 -b:v 20000K ";
        QTest::newRow("middle piece without audio")
            << false << false << scale + "-c:v mpeg4 -vtag xvid -qscale:v 6 -b:v 20000K ";
    }
    void groupPieceTexts()
    {
        QFETCH(bool, timed);
        QFETCH(bool, keepAudio);
        QFETCH(QString, expected);
        QCOMPARE(ExportCommands::groupPieceCommand(timed, 50, 10, 1920, keepAudio), expected);
    }

    void joinTexts_data()
    {
        QTest::addColumn<bool>("dualView");
        QTest::addColumn<bool>("keepAudio");
        QTest::addColumn<QString>("expected");
        QTest::newRow("single view with audio")
            << false << true
            << "-filter_complex \"[0]eq=brightness=0.17:saturation=1,rotate=0*(PI/180) "
               "[v0];[v0]scale=w=1280:h=-1:force_original_aspect_ratio=decrease [body2]\" "
               "-map \"[body2]\" -map 0:a -c:a copy -c:v mpeg4 -vtag xvid -qscale:v 6  "
               "-b:v 20000K";
        QTest::newRow("dual view without audio")
            << true << false
            << "-filter_complex \"[0]scale=w=1280:h=-1:force_original_aspect_ratio=decrease "
               "[body2]\" -map \"[body2]\" -c:v mpeg4 -vtag xvid -qscale:v 6  -b:v 20000K";
    }
    void joinTexts()
    {
        QFETCH(bool, dualView);
        QFETCH(bool, keepAudio);
        QFETCH(QString, expected);
        QCOMPARE(ExportCommands::joinCommand(dualView, mainCamera, 1280, keepAudio), expected);
        QCOMPARE(ExportCommands::joinInput(QStringLiteral("/tmp/a \"b\"/clip.txt")),
                 QStringLiteral(" -f concat -safe 0 -i \"/tmp/a \\\"b\\\"/clip.txt\" "));
    }

    void timeTextsToSeconds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("hh:mm:ss") << "00:01:05" << 65;
        QTest::newRow("mm:ss") << "01:05" << 65;
        QTest::newRow("one hour") << "1:00:00" << 3600;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("four fields") << "1:2:3:4" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading colon") << ":05" << 0;
        QTest::newRow("non-numeric field") << "xx:30" << 30;
        QTest::newRow("empty last field of mm:ss") << "01:05:" << 65;
        QTest::newRow("empty last field of hh:mm:ss") << "1:2:3:" << 3723;
        QTest::newRow("empty last of one field") << "05:" << 0;
    }
    void timeTextsToSeconds()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        QCOMPARE(ExportCommands::formatTimeToSeconds(text), seconds);
    }

    // The filter graphs stay one argument each; paths keep blanks, quotes and non-ASCII text.
    void argumentTextsSplitWhereThePiecesPutBlanks()
    {
        const QString path = QStringLiteral("/tmp/a dir/\"q\" \\ Größe.mov");
        const QStringList args =
            FfmpegArguments::split(FfmpegArguments::inputText(path) +
                                   ExportCommands::getCommandMixture(3, true, 75, 474, 5, 20));
        QCOMPARE(args.mid(0, 3), (QStringList{"-i", path, "-filter_complex"}));
        QCOMPARE(args.at(3),
                 QStringLiteral("[1]scale=w=474:h=-1:force_original_aspect_ratio=decrease [c1]; "
                                "[0][2] overlay=0:0:enable='between(t,0,75)' [body]; "
                                "[body][c1] overlay=5:5:enable='between(t,0,75)' [body2]"));
        QCOMPARE(args.mid(4),
                 (QStringList{"-map", "[body2]", "-map", "0:a", "-c:a", "copy", "-b:v", "20000K",
                              "-c:v", "mpeg4", "-vtag", "xvid", "-qscale:v", "6"}));
        QCOMPARE(FfmpegArguments::firstQuoted(FfmpegArguments::inputText(path)), path);
        QCOMPARE(FfmpegArguments::firstQuoted(QStringLiteral(" -i \"\" ")), QString());
    }
};

TALVEX_TEST_MAIN(TstExportCommands)
#include "tst_exportcommands.moc"
