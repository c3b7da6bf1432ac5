// The output-settings page in a real window: the folder chooser, the proposed output line,
// typed paths that are created or refused on the page, and screenshots in single and dual view.
#include "browsercatcher.h"
#include "choosertest.h"
#include "dialogtesthelpers.h"
#include "exporttestfiles.h"
#include "filedialog.h"
#include "foldertreemodel.h"
#include "foldertreeview.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

namespace {

using namespace ChooserTest;

using DialogTest::child;

QLineEdit *outputLine(const FormDialog &dialog)
{
    return child<QLineEdit>(dialog, QStringLiteral("os_le"));
}

QLabel *problemLabel(const FormDialog &dialog)
{
    return child<QLabel>(dialog, QStringLiteral("os_la_error"));
}

const QRegularExpression namePattern(QStringLiteral("^(\\d{14})_EditVideo_(\\d{3,})\\.mov$"));

} // namespace

class TstFormDialogOutput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void selectFolderChoosesTheOutputFolder();
    void emptyFolderNameChangesNothing();
    void chosenFolderIsJoinedWithOneSlash_data();
    void chosenFolderIsJoinedWithOneSlash();
    void cancelledChooserKeepsTheFolder();
    void chooserGoesWithTheDialog();
    void reopeningKeepsTheNumberWithANewerTime();
    void typedFolderIsCreatedAndUsedOnce();
    void unusablePathStaysOnThePage_data();
    void unusablePathStaysOnThePage();
    void refusalsSpeakTheUsersLanguage_data();
    void refusalsSpeakTheUsersLanguage();
    void screenshots_data();
    void screenshots();

private:
    QTemporaryDir base{QDir::tempPath() + QStringLiteral("/output-XXXXXX")};
    QString home;
};

void TstFormDialogOutput::initTestCase()
{
    QVERIFY(base.isValid());
    // The screenshot script hands a fresh home of a user's shape; otherwise one of our own.
    home = qEnvironmentVariableIsSet("TALVEX_SCREENSHOT_DIR")
               ? QDir::homePath()
               : base.filePath(QStringLiteral("home"));
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    QVERIFY(QDir().mkpath(home + QStringLiteral("/Desktop")));
    QVERIFY(QDir().mkpath(home + QStringLiteral("/Exports")));
    QFile file(base.filePath(QStringLiteral("plain.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TstFormDialogOutput::cleanup()
{
    if (FileDialog_C *chooser = openChooser()) {
        QPointer<FileDialog_C> guard(chooser);
        chooser->cancleChoose();
        QTRY_VERIFY(!guard);
    }
    gFileDialogPath.clear();
}

void TstFormDialogOutput::selectFolderChoosesTheOutputFolder()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->initOutputSetting(false, false);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QString proposedName = outputLine(*dialog)->text().section(QLatin1Char('/'), -1);
    QVERIFY(namePattern.match(proposedName).hasMatch());

    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_open")), Qt::LeftButton);
    FileDialog_C *chooser = openChooser();
    QVERIFY(chooser);
    QVERIFY(QTest::qWaitForWindowExposed(chooser));
    QCOMPARE(child<QLabel>(*chooser, QStringLiteral("fileOpen_title"))->text(),
             QStringLiteral("Select Save Folder"));
    QCOMPARE(child(*chooser, QStringLiteral("open_btn"))->text(), QStringLiteral("Select"));
    QVERIFY(chooser->testAttribute(Qt::WA_DeleteOnClose));

    // open the home row, select its "Exports" folder, press Select
    auto *tree = child<FileListView_C>(*chooser, QStringLiteral("diskDirList"));
    const int homeRow = treeRowNamed(tree, home + QLatin1Char('/'));
    QVERIFY(homeRow >= 0);
    clickTreeRow(tree, homeRow, true);
    const int exportsRow = treeRowNamed(tree, QStringLiteral("Exports"));
    QVERIFY(exportsRow > homeRow);
    clickTreeRow(tree, exportsRow, false);
    const QString folder = home + QStringLiteral("/Exports");
    QCOMPARE(child<QLabel>(*chooser, QStringLiteral("DirPath"))->text(), folder);
    QPointer<FileDialog_C> guard(chooser);
    QTest::mouseClick(child(*chooser, QStringLiteral("open_btn")), Qt::LeftButton);
    QTRY_VERIFY(!guard);

    const QString line = outputLine(*dialog)->text();
    QVERIFY2(line.startsWith(folder + QLatin1Char('/')), qPrintable(line));
    QVERIFY(namePattern.match(line.mid(folder.size() + 1)).hasMatch());
    QVERIFY(dialog->isVisible());
    QVERIFY(child<QWidget>(*dialog, QStringLiteral("f_os"))->isVisible());

    // the chosen folder is the one "Open Folder" shows after the export
    BrowserCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QSignalSpy settings(dialog.get(), &FormDialog::settingFinished);
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
    QCOMPARE(settings.count(), 1);
    QCOMPARE(settings.at(0).at(0).value<EditorOutputSetting_t>().outputPath, line);
    dialog->showProcessState(FormDialog::ProcessFinished);
    QTest::mouseClick(child(*dialog, QStringLiteral("pv_btn_open")), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.opened.size(), 1);
    QCOMPARE(QDir(catcher.opened.at(0).toLocalFile()), QDir(folder));

    // the folder stays for the next export, whose number has risen
    dialog->initOutputSetting(false, false);
    QVERIFY(outputLine(*dialog)->text().startsWith(folder + QLatin1Char('/')));
    QVERIFY(outputLine(*dialog)->text().endsWith(QStringLiteral("_EditVideo_002.mov")));
}

void TstFormDialogOutput::emptyFolderNameChangesNothing()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->show();
    const QString before = outputLine(*dialog)->text();
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_open")), Qt::LeftButton);
    FileDialog_C *chooser = openChooser();
    QVERIFY(chooser);
    emit chooser->openFolderName(QString());
    QCOMPARE(outputLine(*dialog)->text(), before);
}

void TstFormDialogOutput::chosenFolderIsJoinedWithOneSlash_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("folder");
    QTest::newRow("no separator") << "/media/clips"
                                  << "/media/clips/";
    QTest::newRow("slash") << "/media/clips/"
                           << "/media/clips/";
    QTest::newRow("double slash") << "/media//clips"
                                  << "/media/clips/";
    QTest::newRow("root") << "/"
                          << "/";
}

void TstFormDialogOutput::chosenFolderIsJoinedWithOneSlash()
{
    QFETCH(QString, chosen);
    QFETCH(QString, folder);
    const auto dialog = DialogTest::makeDialog();
    dialog->show();
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_open")), Qt::LeftButton);
    FileDialog_C *chooser = openChooser();
    QVERIFY(chooser);
    emit chooser->openFolderName(chosen);
    const QString line = outputLine(*dialog)->text();
    QVERIFY2(line.startsWith(folder), qPrintable(line));
    QVERIFY2(namePattern.match(line.mid(folder.size())).hasMatch(), qPrintable(line));
}

void TstFormDialogOutput::cancelledChooserKeepsTheFolder()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->show();
    const QString before = outputLine(*dialog)->text();
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_open")), Qt::LeftButton);
    FileDialog_C *chooser = openChooser();
    QVERIFY(chooser);
    QPointer<FileDialog_C> guard(chooser);
    QTest::mouseClick(child(*chooser, QStringLiteral("cancel_btn")), Qt::LeftButton);
    QTRY_VERIFY(!guard);
    QCOMPARE(outputLine(*dialog)->text(), before);
    QVERIFY(dialog->isVisible());
}

void TstFormDialogOutput::chooserGoesWithTheDialog()
{
    auto dialog = DialogTest::makeDialog();
    dialog->show();
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_open")), Qt::LeftButton);
    QPointer<FileDialog_C> chooser = openChooser();
    QVERIFY(chooser);
    dialog.reset();
    QVERIFY(!chooser);
}

void TstFormDialogOutput::reopeningKeepsTheNumberWithANewerTime()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->initOutputSetting(false, false);
    const auto first = namePattern.match(outputLine(*dialog)->text().section('/', -1));
    QTest::qWait(1100); // the name's time has whole seconds
    dialog->initOutputSetting(true, false);
    const auto second = namePattern.match(outputLine(*dialog)->text().section('/', -1));
    QVERIFY(first.hasMatch() && second.hasMatch());
    QCOMPARE(second.captured(2), first.captured(2));
    QVERIFY(second.captured(1) > first.captured(1));
}

void TstFormDialogOutput::typedFolderIsCreatedAndUsedOnce()
{
    const auto dialog = DialogTest::makeDialog();
    BrowserCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const QString typedFolder = base.filePath(QStringLiteral("typed/new folder"));
    QVERIFY(!QFileInfo::exists(typedFolder));
    dialog->initOutputSetting(false, true);
    dialog->show();
    QSignalSpy group(dialog.get(), &FormDialog::settingFinishedGroup);
    QLineEdit *line = outputLine(*dialog);
    line->clear();
    QTest::keyClicks(line, QStringLiteral("  ") + base.filePath(QStringLiteral("typed//")) +
                               QStringLiteral("new folder/by hand.mov "));
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);

    QCOMPARE(group.count(), 1);
    const QString expected = typedFolder + QStringLiteral("/by hand.mov");
    QCOMPARE(group.at(0).at(0).value<EditorOutputSetting_t>().outputPath, expected);
    QCOMPARE(group.at(0).at(1).toBool(), false);
    QVERIFY(QFileInfo(typedFolder).isDir());
    QVERIFY(!QFileInfo::exists(expected)); // the export writes it, not the page

    // the finished page hands over the same file; "Open Folder" still shows the output folder
    QSignalSpy media(dialog.get(), &FormDialog::mediaFileTriggered);
    dialog->showProcessState(FormDialog::ProcessFinished);
    QVERIFY(media.wait(5000));
    QCOMPARE(media.at(0).at(0).value<QList<QUrl>>(), QList<QUrl>{QUrl::fromLocalFile(expected)});
    QTest::mouseClick(child(*dialog, QStringLiteral("pv_btn_open")), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.opened.size(), 1);
    const QString outputFolder = DialogTest::defaultOutputFolder();
    QCOMPARE(QDir(catcher.opened.at(0).toLocalFile()), QDir(outputFolder));

    // the next proposal is in the output folder again
    dialog->initOutputSetting(false, false);
    QVERIFY(line->text().startsWith(outputFolder));
}

void TstFormDialogOutput::unusablePathStaysOnThePage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString noName = QStringLiteral("Please enter a file name after the folder.");
    const QString cannotCreate =
        QStringLiteral("The output folder cannot be created. Please choose another folder.");
    QTest::newRow("empty line") << QString() << noName;
    QTest::newRow("only blanks") << QStringLiteral("   ") << noName;
    QTest::newRow("folder without name") << base.filePath(QStringLiteral("Exports/")) << noName;
    QTest::newRow("blank name") << base.filePath(QStringLiteral("Exports/  ")) << noName;
    QTest::newRow("an existing folder") << base.path() << noName;
    QTest::newRow("folder below a file")
        << base.filePath(QStringLiteral("plain.txt/sub/clip.mov")) << cannotCreate;
    QTest::newRow("read-only folder") << base.filePath(QStringLiteral("locked/clip.mov"))
                                      << QStringLiteral("The output folder is not writable. "
                                                        "Please choose another folder.");
}

void TstFormDialogOutput::unusablePathStaysOnThePage()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    std::unique_ptr<ExportTestFiles::TmpfsMount> readOnly;
    if (QTest::currentDataTag() == QLatin1String("read-only folder")) {
        const QString locked = base.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (QFileInfo(locked).isWritable()) {
            // root writes into any folder, but not into a read-only file system
            readOnly = std::make_unique<ExportTestFiles::TmpfsMount>(locked,
                                                                     QStringLiteral("ro,size=64k"));
            if (!readOnly->isMounted())
                QSKIP(qPrintable(QStringLiteral("this user may write into any folder and ") +
                                 readOnly->problem()));
            QVERIFY(!QFileInfo(locked).isWritable());
        }
    }
    const auto dialog = DialogTest::makeDialog();
    dialog->initOutputSetting(false, false);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QSignalSpy single(dialog.get(), &FormDialog::settingFinished);
    QSignalSpy group(dialog.get(), &FormDialog::settingFinishedGroup);
    outputLine(*dialog)->setText(typed);
    QVERIFY(!problemLabel(*dialog)->isVisible());
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);

    QCOMPARE(single.count() + group.count(), 0);
    QVERIFY(dialog->isVisible());
    QVERIFY(child<QWidget>(*dialog, QStringLiteral("f_os"))->isVisible());
    QVERIFY(!child<QWidget>(*dialog, QStringLiteral("f_pv"))->isVisible());
    QVERIFY(problemLabel(*dialog)->isVisible());
    QCOMPARE(problemLabel(*dialog)->text(), message);
    QCOMPARE(outputLine(*dialog)->text(), typed); // nothing of the user's line is lost

    // editing the line clears the message; a good path then starts the export
    QTest::keyClick(outputLine(*dialog), Qt::Key_End);
    QTest::keyClick(outputLine(*dialog), Qt::Key_Space);
    QVERIFY(!problemLabel(*dialog)->isVisible());
    outputLine(*dialog)->setText(base.filePath(QStringLiteral("Exports/good.mov")));
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
    QCOMPARE(single.count(), 1);
    QVERIFY(child<QWidget>(*dialog, QStringLiteral("f_pv"))->isVisible());
}

void TstFormDialogOutput::refusalsSpeakTheUsersLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < LanguageCount; ++language)
        QTest::addRow("language %d", language) << language;
}

void TstFormDialogOutput::refusalsSpeakTheUsersLanguage()
{
    QFETCH(int, language);
    DialogTest::setLanguage(language);
    const auto dialog = DialogTest::makeDialog();
    dialog->initOutputSetting(false, false);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const struct
    {
        QString typed;
        int text;
    } refusals[] = {{QString(), 1}, {base.filePath(QStringLiteral("plain.txt/sub/clip.mov")), 2}};
    for (const auto &refusal : refusals) {
        outputLine(*dialog)->setText(refusal.typed);
        QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
        const QString shown = problemLabel(*dialog)->text();
        QCOMPARE(shown, DialogTest::cell(QStringLiteral("Notices"), refusal.text, language));
        QVERIFY(!shown.isEmpty());
        if (language != LangEnglish)
            QVERIFY(shown !=
                    DialogTest::cell(QStringLiteral("Notices"), refusal.text, LangEnglish));
    }
    DialogTest::setLanguage(LangEnglish);
}

void TstFormDialogOutput::screenshots_data()
{
    QTest::addColumn<bool>("dual");
    QTest::addColumn<bool>("withProblem");
    QTest::addColumn<QString>("name");
    QTest::newRow("single view") << false << false << "dialog-output-single";
    QTest::newRow("dual view") << true << false << "dialog-output-dual";
    QTest::newRow("folder refused") << true << true << "dialog-output-refused";
}

void TstFormDialogOutput::screenshots()
{
    QFETCH(bool, dual);
    QFETCH(bool, withProblem);
    QFETCH(QString, name);
    const auto dialog = DialogTest::makeDialog();
    dialog->initOutputSetting(dual, false);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    auto *pip = child(*dialog, QStringLiteral("os_cb_right"));
    QVERIFY(pip->isChecked());
    QCOMPARE(pip->isEnabled(), dual);
    if (withProblem) {
        outputLine(*dialog)->setText(base.filePath(QStringLiteral("plain.txt/clip.mov")));
        QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
        QVERIFY(problemLabel(*dialog)->isVisible());
    }
    QTest::qWait(50);
    const QImage image = dialog->grab().toImage();
    QCOMPARE(image.size(), dialog->size() * image.devicePixelRatio());
    TestSupport::saveScreenshot(dialog.get(), name);
}

TALVEX_TEST_MAIN(TstFormDialogOutput)
#include "tst_formdialog_output.moc"
