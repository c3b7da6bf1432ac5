// The question before an export replaces a file, on the output-settings page in a real window:
// Replace starts the export; Cancel, Escape, Return and closing run nothing, change nothing and
// leave the page as the user typed it; proposed names never ask.
#include "choosertest.h"
#include "dialoglook.h"
#include "dialogtesthelpers.h"
#include "filedialog.h"
#include "replacequestion.h"
#include "testsupport.h"

#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

namespace {

using DialogTest::child;

QLineEdit *outputLine(const FormDialog &dialog)
{
    return child<QLineEdit>(dialog, QStringLiteral("os_le"));
}

// The question of the dialog, made when first asked; null until then.
ReplaceQuestion *question(const FormDialog &dialog)
{
    return dialog.findChild<ReplaceQuestion *>();
}

bool isAsking(const FormDialog &dialog)
{
    const ReplaceQuestion *asked = question(dialog);
    return asked && asked->isVisible();
}

bool isOnPage(const FormDialog &dialog, const char *frame)
{
    return child<QWidget>(dialog, QLatin1String(frame))->isVisible();
}

} // namespace

class TstReplaceQuestion : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void existingOutputAsksFirst_data();
    void existingOutputAsksFirst();
    void newOutputDoesNotAsk();
    void proposedNamesNeverAsk();
    void questionSpeaksTheUsersLanguage_data();
    void questionSpeaksTheUsersLanguage();
    void longPathsAreShownInTwoLines_data();
    void longPathsAreShownInTwoLines();

private:
    // A dialog on page 3 whose line holds typed, after a click on OK.
    std::unique_ptr<FormDialog> clickOkWith(const QString &typed, bool group);

    QTemporaryDir base{QDir::tempPath() + QStringLiteral("/replace-XXXXXX")};
    QString existing;
    QByteArray existingBytes;
};

void TstReplaceQuestion::initTestCase()
{
    QVERIFY(base.isValid());
    existing = base.filePath(QStringLiteral("old trip.mov"));
    existingBytes = QByteArray("the only copy of what happened ") + QByteArray(4096, '\x7f');
    TestSupport::writeFile(existing, existingBytes);
}

void TstReplaceQuestion::cleanup()
{
    DialogTest::setLanguage(LangEnglish);
}

std::unique_ptr<FormDialog> TstReplaceQuestion::clickOkWith(const QString &typed, bool group)
{
    auto dialog = DialogTest::makeDialog();
    dialog->initOutputSetting(false, group);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        return dialog;
    QLineEdit *line = outputLine(*dialog);
    line->clear();
    QTest::keyClicks(line, typed);
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
    return dialog;
}

void TstReplaceQuestion::existingOutputAsksFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("group");
    for (bool group : {false, true}) {
        const char *road = group ? "group" : "single cut";
        for (const char *answer : {"Replace", "Cancel", "Escape", "Return", "close"})
            QTest::addRow("%s, %s", road, answer) << QString::fromLatin1(answer) << group;
    }
}

// The existing file is named and nothing is sent on until the user answers; only Replace sends
// the path on, and every other answer leaves the page, its line and the file as they were.
void TstReplaceQuestion::existingOutputAsksFirst()
{
    QFETCH(QString, answer);
    QFETCH(bool, group);
    // blanks and a doubled slash as a user may type them: the line keeps them until Replace
    const QString typed =
        QStringLiteral(" ") +
        QString(existing).replace(QStringLiteral("/old"), QStringLiteral("//old")) +
        QStringLiteral(" ");
    auto dialog = clickOkWith(typed, group);
    QSignalSpy single(dialog.get(), &FormDialog::settingFinished);
    QSignalSpy grouped(dialog.get(), &FormDialog::settingFinishedGroup);
    QSignalSpy &sent = group ? grouped : single;

    ReplaceQuestion *asked = question(*dialog);
    QVERIFY(asked);
    QVERIFY(QTest::qWaitForWindowExposed(asked));
    QVERIFY(asked->isModal());
    QCOMPARE(asked->path(), existing);
    const QString message = child<QLabel>(*asked, QStringLiteral("replace_tv"))->text();
    QVERIFY2(message.startsWith(existing + QLatin1Char('\n')), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("Do you want to replace it?")));
    auto *cancel = child<QPushButton>(*asked, QStringLiteral("replace_btn_cancel"));
    auto *replace = child<QPushButton>(*asked, QStringLiteral("replace_btn_ok"));
    QVERIFY(cancel->isDefault());
    QVERIFY(!replace->isDefault());
    QCOMPARE(sent.count(), 0);
    QVERIFY(isOnPage(*dialog, "f_os"));

    if (answer == "Replace")
        QTest::mouseClick(replace, Qt::LeftButton);
    else if (answer == "Cancel")
        QTest::mouseClick(cancel, Qt::LeftButton);
    else if (answer == "Escape")
        QTest::keyClick(asked, Qt::Key_Escape);
    else if (answer == "Return")
        QTest::keyClick(asked, Qt::Key_Return);
    else
        asked->close();
    QTRY_VERIFY(!asked->isVisible());

    QCOMPARE((group ? single : grouped).count(), 0);
    if (answer == "Replace") {
        QCOMPARE(sent.count(), 1);
        const auto value = sent.at(0).at(0).value<EditorOutputSetting_t>();
        QCOMPARE(value.outputPath, existing);
        QVERIFY(isOnPage(*dialog, "f_pv"));
        QCOMPARE(outputLine(*dialog)->text(), existing); // the path the finished page hands on
    } else {
        QCoreApplication::processEvents(); // whatever the answer queued has run
        QCOMPARE(sent.count(), 0);
        QVERIFY(dialog->isVisible());
        QVERIFY(isOnPage(*dialog, "f_os"));
        QVERIFY(!isOnPage(*dialog, "f_pv"));
        QCOMPARE(outputLine(*dialog)->text(), typed);
        // the page still works: OK asks again
        QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
        QTRY_VERIFY(asked->isVisible());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTRY_VERIFY(!asked->isVisible());
        QCOMPARE(sent.count(), 0);
    }
    // the page only asks: the file is the export's to replace
    QCOMPARE(TestSupport::contentOf(existing), existingBytes);
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("old trip.mov")});
}

// A folder that exists with a new name in it, and one the page makes: no question.
void TstReplaceQuestion::newOutputDoesNotAsk()
{
    for (const QString &path : {base.filePath(QStringLiteral("new trip.mov")),
                                base.filePath(QStringLiteral("made/new trip.mov"))}) {
        auto dialog = clickOkWith(path, false);
        QVERIFY(!isAsking(*dialog));
        QVERIFY(isOnPage(*dialog, "f_pv"));
    }
    QVERIFY(QDir(base.filePath(QStringLiteral("made"))).removeRecursively());
}

// The names the page proposes skip those that are taken, so that OK on them never asks.
void TstReplaceQuestion::proposedNamesNeverAsk()
{
    const QString folder = base.filePath(QStringLiteral("proposals"));
    QVERIFY(QDir().mkpath(folder));
    // the first number's name is taken for the next minute, as a file and as a broken link
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 60; ++s) {
        const QString taken = OutputName::join(folder, OutputName::fileName(now.addSecs(s), 1));
        if (s % 2 == 0)
            TestSupport::writeFile(taken, "an earlier export");
        else
            QVERIFY(QFile::link(folder + QStringLiteral("/gone"), taken));
    }
    auto dialog = DialogTest::makeDialog();
    QSignalSpy sent(dialog.get(), &FormDialog::settingFinished);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_open")), Qt::LeftButton);
    QPointer<FileDialog_C> chooser = ChooserTest::openChooser();
    QVERIFY(chooser);
    emit chooser->openFolderName(folder);
    chooser->close();
    QTRY_VERIFY(!chooser);
    const QString proposed = outputLine(*dialog)->text();
    QVERIFY2(proposed.startsWith(folder + QLatin1Char('/')), qPrintable(proposed));
    QVERIFY2(!OutputName::namesAnEntry(proposed), qPrintable(proposed));

    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
    QVERIFY(!isAsking(*dialog));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(0).value<EditorOutputSetting_t>().outputPath, proposed);
    QVERIFY(QDir(folder).removeRecursively());
}

void TstReplaceQuestion::questionSpeaksTheUsersLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < LanguageCount; ++language)
        QTest::addRow("language %d", language) << language;
}

// Every text in the user's language, the message's line break kept. Shown in the dialog's look:
// its title bar, body and buttons.
void TstReplaceQuestion::questionSpeaksTheUsersLanguage()
{
    QFETCH(int, language);
    DialogTest::setLanguage(language);
    auto dialog = clickOkWith(existing, false);
    ReplaceQuestion *asked = question(*dialog);
    QVERIFY(asked);
    QVERIFY(QTest::qWaitForWindowExposed(asked));
    QCOMPARE(child<QLabel>(*asked, QStringLiteral("la_title"))->text(),
             DialogTest::cell(QStringLiteral("Exit edit mode"), 1, language));
    QCOMPARE(child(*asked, QStringLiteral("replace_btn_cancel"))->text(),
             DialogTest::cell(QStringLiteral("Edit dialog"), 11, language));
    QCOMPARE(child(*asked, QStringLiteral("replace_btn_ok"))->text(),
             DialogTest::cell(QStringLiteral("Notices"), 8, language));
    const QString question = DialogTest::cell(QStringLiteral("Notices"), 9, language);
    QVERIFY(language == LangEnglish ||
            question != DialogTest::cell(QStringLiteral("Notices"), 9, LangEnglish));
    QCOMPARE(child<QLabel>(*asked, QStringLiteral("replace_tv"))->text(),
             existing + QLatin1Char('\n') + QString(question).replace(QStringLiteral("\\n"), "\n"));
    // every text whole in its place
    for (const char *name : {"la_title", "replace_btn_ok", "replace_btn_cancel"}) {
        auto *widget = child<QWidget>(*asked, QLatin1String(name));
        const QString text = widget->property("text").toString();
        QVERIFY2(QFontMetrics(widget->font()).horizontalAdvance(text) < widget->width(), name);
    }

    const QImage shot = asked->grab().toImage();
    QCOMPARE(shot.size(), asked->size() * shot.devicePixelRatio());
    // the orange title bar, the dark body above the message and the page buttons' image
    QVERIFY(TestSupport::isNear(TestSupport::colourAt(shot, asked, asked, QPoint(10, 10)),
                                TestSupport::accent()));
    const auto placeIn = [asked](const QWidget *widget, int height) {
        return QRect(widget->mapTo(asked, QPoint(0, 0)), QSize(widget->width(), height));
    };
    auto *body = child<QWidget>(*asked, QStringLiteral("f_replace"));
    auto *message = child<QWidget>(*asked, QStringLiteral("replace_tv"));
    QVERIFY(TestSupport::colourCount(shot, placeIn(body, message->y())) <= 4);
    auto *cancel = child<QWidget>(*asked, QStringLiteral("replace_btn_cancel"));
    QVERIFY(TestSupport::colourCount(shot, placeIn(cancel, cancel->height())) > 10);
    if (language == LangEnglish || language == LangChinese)
        TestSupport::saveScreenshot(asked, QStringLiteral("export-replace-question-%1")
                                               .arg(language == LangEnglish ? "en" : "zh"));
    QTest::mouseClick(cancel, Qt::LeftButton);
}

void TstReplaceQuestion::longPathsAreShownInTwoLines_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("whole");
    QTest::newRow("short") << "/media/card/DCIM/20261207130000_F.mp4" << true;
    QTest::newRow("long, broken after a slash")
        << "/media/someone/CARD WITH A LONG NAME/DCIM/Movie/Front camera/20261207130000_F.mp4"
        << true;
    QTest::newRow("long name without a slash")
        << "/v/" + QString(70, QLatin1Char('n')) + QStringLiteral(".mov") << true;
    QTest::newRow("longer than two lines")
        << QStringLiteral("/media/first/") + QString(300, QLatin1Char('x')) +
               QStringLiteral("/last name.mov")
        << false;
}

// The path fits the message's width in at most two lines; one too long for two loses its middle.
void TstReplaceQuestion::longPathsAreShownInTwoLines()
{
    QFETCH(QString, path);
    QFETCH(bool, whole);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(DialogLook::messagePixelSize);
    const QFontMetrics metrics(font);
    const int width = 660;
    const QStringList lines = ReplaceQuestion::pathLines(path, metrics, width, 2);
    QVERIFY(!lines.isEmpty() && lines.size() <= 2);
    for (const QString &line : lines)
        QVERIFY2(metrics.horizontalAdvance(line) <= width, qPrintable(line));
    if (whole) {
        QCOMPARE(lines.join(QString()), path);
        // a line broken where a "/" is in its second half ends with it
        for (const QString &line : lines.mid(0, lines.size() - 1)) {
            const int slash = line.lastIndexOf(QLatin1Char('/'));
            if (slash >= 0 && metrics.horizontalAdvance(line.left(slash + 1)) >= width / 2)
                QVERIFY2(line.endsWith(QLatin1Char('/')), qPrintable(line));
        }
        QCOMPARE(lines.size(), metrics.horizontalAdvance(path) <= width ? 1 : 2);
    } else {
        const QString shown = lines.join(QString());
        QVERIFY(shown.startsWith(QStringLiteral("/media/first/")));
        QVERIFY(shown.endsWith(QStringLiteral("/last name.mov")));
        QVERIFY(shown.contains(QChar(0x2026)));
    }
}

TALVEX_TEST_MAIN(TstReplaceQuestion)
#include "tst_replacequestion.moc"
