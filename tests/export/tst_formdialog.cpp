// The shared dialog: pages, texts, button signals, the process states and the output hand-over.
#include "browsercatcher.h"
#include "dialogtesthelpers.h"
#include "framelesshelper.h"
#include "skin.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>

#include "processwait.h"

namespace {

enum Opener
{
    Processing,
    Finished,
    DifferentDevices,
    NoDiskSpace,
    Failed,
    OutputSetting,
    OutputSettingGroup,
    LeaveWarning,
    GroupEdit,
    Update,
    BodyData,
    DownloadMetadata,
    SelectMetadataFolder,
    DeleteMetadataFile,
    NetworkError,
    CutWarning,
    SupportEdit,
    SupportShare
};

void open(FormDialog &dialog, int opener)
{
    switch (opener) {
    case Processing:
        dialog.showProcessState(FormDialog::ProcessRunning);
        break;
    case Finished:
        dialog.showProcessState(FormDialog::ProcessFinished);
        break;
    case DifferentDevices:
        dialog.showProcessError(EditorDifferentDevices);
        break;
    case NoDiskSpace:
        dialog.showProcessError(EditorNoDiskSpace);
        break;
    case Failed:
        dialog.showProcessError(EditorFailed);
        break;
    case OutputSetting:
        dialog.initOutputSetting(false, false);
        break;
    case OutputSettingGroup:
        dialog.initOutputSetting(true, true);
        break;
    case LeaveWarning:
        dialog.showLeaveWarning();
        break;
    case GroupEdit:
        dialog.showGroupEdit();
        break;
    case Update:
        dialog.showUpdate(QStringLiteral("TalvexPlayer_1.6.3.exe"));
        break;
    case BodyData:
        dialog.showBodyData(1000, 100, 100, 10000, 0);
        break;
    case DownloadMetadata:
        dialog.showDownloadMetadata();
        break;
    case SelectMetadataFolder:
        dialog.showSelectMetadataFolder();
        break;
    case DeleteMetadataFile:
        dialog.showDeleteMetadataFile();
        break;
    case NetworkError:
        dialog.showNetworkError(3);
        break;
    case CutWarning:
        dialog.showCutWarning();
        break;
    case SupportEdit:
        dialog.showSupportPrompt(true);
        break;
    case SupportShare:
        dialog.showSupportPrompt(false);
        break;
    }
}

const QStringList pageFrames = {"f_pv",
                                "f_pvErr",
                                "f_os",
                                "f_msLeave",
                                "f_groupEdit",
                                "f_dialog_update",
                                "f_dialog_bodydata",
                                "f_downloadMetadata",
                                "f_selectedMetadataFolder",
                                "f_deleteMetadataFile",
                                "f_networkError",
                                "f_cutwarning",
                                "f_supportPrompt"};

QStringList visibleFrames(const FormDialog &dialog)
{
    QStringList shown;
    for (const QString &name : pageFrames) {
        if (dialog.findChild<QWidget *>(name)->isVisibleTo(&dialog))
            shown << name;
    }
    return shown;
}

QString textOf(const FormDialog &dialog, const QString &name)
{
    return dialog.findChild<QWidget *>(name)->property("text").toString();
}

using DialogTest::child;

} // namespace

class TstFormDialog : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void openersShowTheirPage_data();
    void openersShowTheirPage();
    void pageOutsideTheTableShowsOnlyTheTitleBar_data();
    void pageOutsideTheTableShowsOnlyTheTitleBar();
    void buttonsEmitInOrder_data();
    void buttonsEmitInOrder();
    void processingShowsZeroAndTheSpinner();
    void finishedHandsTheOutputToThePlayerAfter800ms();
    void finishedWithoutOutputPathHandsNothingOver();
    void finishedAdvancesTheCounterOnlyOnce_data();
    void finishedAdvancesTheCounterOnlyOnce();
    void errorCodesMapToTheirPages_data();
    void errorCodesMapToTheirPages();
    void unknownProcessCodeKeepsThePage();
    void errorPagesAreCentredOnTheScreen();
    void languagePassSetsPixelFonts_data();
    void languagePassSetsPixelFonts();
    void progressIsClamped_data();
    void progressIsClamped();
    void updatePageProgressAndCounter_data();
    void updatePageProgressAndCounter();
    void outputSettingRecordFromTheFields_data();
    void outputSettingRecordFromTheFields();
    void outputSettingShowsProcessingBeforeItEmits();
    void openFolderShowsTheOutputFolder();
    void dontShowAgainHidesTheSupportPrompt();
    void escapeDoesNotCloseTheProcessingPage();
    void roundedMaskAndDragRule();
    void screenshots_data();
    void screenshots();
};

void TstFormDialog::cleanup()
{
    DialogTest::setLanguage(LangEnglish);
    gSupportPromptHidden = false;
}

void TstFormDialog::openersShowTheirPage_data()
{
    QTest::addColumn<int>("opener");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("textWidget");
    QTest::addColumn<QString>("text");

    const QSize small(700, 350);
    QTest::newRow("0 processing en")
        << int(Processing) << 0 << "f_pv" << QSize(456, 469) << "Process Video"
        << "pv_la_msg"
        << "Processing Video...\nPlease Wait.";
    QTest::newRow("0 finished en")
        << int(Finished) << 0 << "f_pv" << QSize(456, 469) << "Process Video"
        << "pv_la_msg"
        << "Finished.";
    QTest::newRow("1 devices en")
        << int(DifferentDevices) << 0 << "f_pvErr" << small << "Process Video"
        << "pvErr_la_msg"
        << "Unable to edit.Video Clips Grouping not matched\n(Video clips in the playlist are not "
           "from the same device).\nMake sure that Video Clips Grouping are from the same "
           "device\nbefore editing.";
    QTest::newRow("1 failed en") << int(Failed) << 0 << "f_pvErr" << small << "Process Video"
                                 << "pvErr_la_msg"
                                 << "Unable to edit.";
    QTest::newRow("2 disk space en")
        << int(NoDiskSpace) << 0 << "f_pvErr" << small << "Process Video"
        << "pvErr_la_msg"
        << "Insufficient disk space.\nPlease re-select the output/destination drive.";
    QTest::newRow("3 output setting en")
        << int(OutputSetting) << 0 << "f_os" << QSize(513, 469) << "Output Setting"
        << "os_la"
        << "Audio & Data";
    QTest::newRow("4 leave en") << int(LeaveWarning) << 0 << "f_msLeave" << small << "Notice"
                                << "msLeaver_la_msg"
                                << "You Haven't Output Your Video Yet,\nAre You Sure to Leave "
                                   "Without Saving?";
    QTest::newRow("5 group en") << int(GroupEdit) << 0 << "f_groupEdit" << small << "Notice"
                                << "groupEdit_tv"
                                << "Please ungroup the files before editing.";
    QTest::newRow("6 update en") << int(Update) << 0 << "f_dialog_update" << small
                                 << "Update Version: TalvexPlayer_1.6.3"
                                 << "update_tv"
                                 << "0%";
    QTest::newRow("7 body data en")
        << int(BodyData) << 0 << "f_dialog_bodydata" << QSize(469, 463) << "Body Data"
        << "bodydata_cancelBtn"
        << "Cancel";
    QTest::newRow("8 download en")
        << int(DownloadMetadata) << 0 << "f_downloadMetadata" << small << "Notice"
        << "downloadMetadata_tv"
        << "<html><head/><body><p>You have new data, </p><p>do you want to "
           "download?</p></body></html>";
    QTest::newRow("9 select folder en")
        << int(SelectMetadataFolder) << 0 << "f_selectedMetadataFolder" << small << "Notice"
        << "selectedMetadataForder_tv"
        << "We can't find any file in your computer/storage,\nplease select the folder by "
           "manual.\nPress the OK button to select the folder.";
    QTest::newRow("10 delete en") << int(DeleteMetadataFile) << 0 << "f_deleteMetadataFile" << small
                                  << "Notice"
                                  << "deleteMetadataFile_tv"
                                  << "Are you sure to delete the files?";
    QTest::newRow("11 network en")
        << int(NetworkError) << 0 << "f_networkError" << small << "Notice"
        << "networkError_tv"
        << "Upload failed, please check your internet connection. \nError:3\nOK: Back to the "
           "first page.\nCancel: Exit the share mode.";
    QTest::newRow("12 cut en") << int(CutWarning) << 0 << "f_cutwarning" << small << "Notice"
                               << "cutwarning_tv"
                               << "The video length needs to more than the 1 second.";
    QTest::newRow("13 edit en") << int(SupportEdit) << 0 << "f_supportPrompt" << small << "Notice"
                                << "supportPrompt_comtent"
                                << "The Edit function only supports the main video.";
    QTest::newRow("13 share en") << int(SupportShare) << 0 << "f_supportPrompt" << small << "Notice"
                                 << "supportPrompt_comtent"
                                 << "The Share function only supports the main video.";

    // Chinese: the same composition of the table's Chinese cells
    const int zh = LangChinese;
    auto ed = [zh](int i) { return DialogTest::cell(QStringLiteral("Edit dialog"), i, zh); };
    auto ex = [zh](int i) { return DialogTest::cell(QStringLiteral("Exit edit mode"), i, zh); };
    const QString nl = QStringLiteral("\n");
    QVERIFY(!ed(12).isEmpty() && ed(12) != QLatin1String("Process Video"));
    QTest::newRow("0 processing zh") << int(Processing) << zh << "f_pv" << QSize(456, 469) << ed(12)
                                     << "pv_la_msg" << formatMultilineText(ed(13) + nl + ed(14));
    QTest::newRow("1 devices zh") << int(DifferentDevices) << zh << "f_pvErr" << small << ed(12)
                                  << "pvErr_la_msg"
                                  << ed(31) + formatMultilineText(ed(32)) + nl +
                                         formatMultilineText(ed(33));
    QTest::newRow("1 failed zh") << int(Failed) << zh << "f_pvErr" << small << ed(12)
                                 << "pvErr_la_msg" << ed(31);
    QTest::newRow("2 disk space zh") << int(NoDiskSpace) << zh << "f_pvErr" << small << ed(12)
                                     << "pvErr_la_msg" << formatMultilineText(ed(30));
    QTest::newRow("3 output setting zh") << int(OutputSetting) << zh << "f_os" << QSize(513, 469)
                                         << ed(1) << "os_cb_removeGPS" << ed(4);
    QTest::newRow("4 leave zh") << int(LeaveWarning) << zh << "f_msLeave" << small << ex(1)
                                << "msLeaver_la_msg" << ex(2) + nl + formatMultilineText(ex(3));
    QTest::newRow("5 group zh") << int(GroupEdit) << zh << "f_groupEdit" << small << ex(1)
                                << "groupEdit_tv" << formatMultilineText(ed(17));
    QTest::newRow("6 update zh") << int(Update) << zh << "f_dialog_update" << small
                                 << "Update Version: TalvexPlayer_1.6.3"
                                 << "update_tv"
                                 << "0%";
    QTest::newRow("7 body data zh") << int(BodyData) << zh << "f_dialog_bodydata" << QSize(469, 463)
                                    << ed(18) << "bodydata_okBtn" << ed(10);
    QTest::newRow("8 download zh") << int(DownloadMetadata) << zh << "f_downloadMetadata" << small
                                   << ex(1) << "downloadMetadata_btn_ok"
                                   << "OK";
    QTest::newRow("9 select folder zh")
        << int(SelectMetadataFolder) << zh << "f_selectedMetadataFolder" << small << ex(1)
        << "selectedMetadataForder_tv" << formatMultilineText(ed(20) + nl + ed(21) + nl + ed(22));
    QTest::newRow("10 delete zh") << int(DeleteMetadataFile) << zh << "f_deleteMetadataFile"
                                  << small << ex(1) << "deleteMetadataFile_tv"
                                  << formatMultilineText(ed(19));
    QTest::newRow("11 network zh")
        << int(NetworkError) << zh << "f_networkError" << small << ex(1) << "networkError_tv"
        << formatMultilineText(ed(23) + nl + "Error:3" + nl + ed(24) + nl + ed(25));
    QTest::newRow("12 cut zh") << int(CutWarning) << zh << "f_cutwarning" << small << ex(1)
                               << "cutwarning_tv" << ed(26);
    QTest::newRow("13 edit zh") << int(SupportEdit) << zh << "f_supportPrompt" << small << ex(1)
                                << "supportPrompt_checkbox_tv" << ed(29);
    QTest::newRow("13 share zh") << int(SupportShare) << zh << "f_supportPrompt" << small << ex(1)
                                 << "supportPrompt_comtent" << ed(27);
}

void TstFormDialog::openersShowTheirPage()
{
    QFETCH(int, opener);
    QFETCH(int, lang);
    QFETCH(QString, frame);
    QFETCH(QString, textWidget);
    DialogTest::setLanguage(lang);
    const auto dialog = DialogTest::makeDialog();
    open(*dialog, opener);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

    QCOMPARE(visibleFrames(*dialog), QStringList{frame});
    QTEST(dialog->size(), "size");
    QTEST(textOf(*dialog, QStringLiteral("la_title")), "title");
    QTEST(textOf(*dialog, textWidget), "text");
    QCOMPARE(child<QWidget>(*dialog, frame)->geometry(), QRect(QPoint(0, 44), dialog->size()));
    const bool closeShown = opener == OutputSetting;
    QCOMPARE(child(*dialog, QStringLiteral("btn_close"))->isVisible(), closeShown);
    QCOMPARE(child<QWidget>(*dialog, QStringLiteral("titleIcon"))->isVisible(), opener == BodyData);
}

void TstFormDialog::pageOutsideTheTableShowsOnlyTheTitleBar_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("14") << 14;
    QTest::newRow("-1") << -1;
}

void TstFormDialog::pageOutsideTheTableShowsOnlyTheTitleBar()
{
    QFETCH(int, page);
    const auto dialog = DialogTest::makeDialog();
    dialog->show();
    dialog->showPage(page);
    QVERIFY(visibleFrames(*dialog).isEmpty());
    QVERIFY(!child(*dialog, QStringLiteral("btn_close"))->isVisible());
    QVERIFY(child<QWidget>(*dialog, QStringLiteral("frame"))->isVisible());
}

void TstFormDialog::buttonsEmitInOrder_data()
{
    QTest::addColumn<int>("opener");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("signalNames");
    QTest::addColumn<bool>("staysOpen");

    const QStringList none;
    const QStringList closed{"closed"};
    QTest::newRow("0 OK") << int(Finished) << "pv_btn_ok"
                          << QStringList{"completeFinished", "closed"} << false;
    QTest::newRow("1 OK") << int(DifferentDevices) << "pvErr_btn_retry" << none << false;
    QTest::newRow("1 failed OK") << int(Failed) << "pvErr_btn_retry" << none << false;
    QTest::newRow("2 OK") << int(NoDiskSpace) << "pvErr_btn_retry" << none << false;
    QTest::newRow("3 OK") << int(OutputSetting) << "os_btn_ok" << QStringList{"settingFinished"}
                          << true;
    QTest::newRow("3 OK group") << int(OutputSettingGroup) << "os_btn_ok"
                                << QStringList{"settingFinishedGroup"} << true;
    QTest::newRow("3 Cancel") << int(OutputSetting) << "os_btn_cancel" << none << false;
    QTest::newRow("3 close") << int(OutputSetting) << "btn_close" << none << false;
    QTest::newRow("4 Yes") << int(LeaveWarning) << "msLeave_btn_ok"
                           << QStringList{"edit_cancel", "closed"} << false;
    QTest::newRow("4 No") << int(LeaveWarning) << "msLeave_btn_cancel" << none << false;
    QTest::newRow("5 OK") << int(GroupEdit) << "groupEdit_btn_ok" << closed << false;
    QTest::newRow("7 OK") << int(BodyData) << "bodydata_okBtn"
                          << QStringList{"saveBodyDataTriggered", "closed"} << false;
    QTest::newRow("7 Cancel") << int(BodyData) << "bodydata_cancelBtn" << closed << false;
    QTest::newRow("8 OK") << int(DownloadMetadata) << "downloadMetadata_btn_ok"
                          << QStringList{"downloadOkTriggered", "closed"} << false;
    QTest::newRow("8 Cancel") << int(DownloadMetadata) << "downloadMetadata_btn_cancel" << closed
                              << false;
    QTest::newRow("9 OK") << int(SelectMetadataFolder) << "selectedMetadataFolder_btn_ok"
                          << QStringList{"selectedSourceOkTriggered", "closed"} << false;
    QTest::newRow("9 Cancel") << int(SelectMetadataFolder) << "selectedMetadataFolder_btn_cancel"
                              << closed << false;
    QTest::newRow("10 OK") << int(DeleteMetadataFile) << "deleteMetadataFile_btn_ok"
                           << QStringList{"deleteMetadataFileOkTriggered", "closed"} << false;
    QTest::newRow("10 Cancel") << int(DeleteMetadataFile) << "deleteMetadataFile_btn_cancel"
                               << closed << false;
    QTest::newRow("11 OK") << int(NetworkError) << "networkError_btn_ok"
                           << QStringList{"networkErrorOkTriggered", "closed"} << false;
    QTest::newRow("11 Cancel") << int(NetworkError) << "networkError_btn_cancel"
                               << QStringList{"networkErrorCancelTriggered", "closed"} << false;
    QTest::newRow("12 OK") << int(CutWarning) << "cutwarning_btn_ok" << none << false;
    QTest::newRow("12 Cancel") << int(CutWarning) << "cutwarning_btn_cancel" << none << false;
    QTest::newRow("13 OK") << int(SupportShare) << "supportPrompt_okbtn"
                           << QStringList{"clickSupportPrompt"} << false;
}

void TstFormDialog::buttonsEmitInOrder()
{
    QFETCH(int, opener);
    QFETCH(QString, button);
    const auto dialog = DialogTest::makeDialog();
    QStringList emitted;
    auto record = [&emitted](const char *name) { return [&emitted, name] { emitted << name; }; };
    FormDialog *d = dialog.get();
    connect(d, &FormDialog::settingFinished, d, record("settingFinished"));
    connect(d, &FormDialog::settingFinishedGroup, d, record("settingFinishedGroup"));
    connect(d, &FormDialog::completeFinished, d, record("completeFinished"));
    connect(d, &FormDialog::edit_cancel, d, record("edit_cancel"));
    connect(d, &FormDialog::closed, d, record("closed"));
    connect(d, &FormDialog::saveBodyDataTriggered, d, record("saveBodyDataTriggered"));
    connect(d, &FormDialog::downloadOkTriggered, d, record("downloadOkTriggered"));
    connect(d, &FormDialog::selectedSourceOkTriggered, d, record("selectedSourceOkTriggered"));
    connect(d, &FormDialog::deleteMetadataFileOkTriggered, d,
            record("deleteMetadataFileOkTriggered"));
    connect(d, &FormDialog::networkErrorOkTriggered, d, record("networkErrorOkTriggered"));
    connect(d, &FormDialog::networkErrorCancelTriggered, d, record("networkErrorCancelTriggered"));
    connect(d, &FormDialog::clickSupportPrompt, d, record("clickSupportPrompt"));

    open(*dialog, opener);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(d));
    QTest::mouseClick(child(*dialog, button), Qt::LeftButton);
    QTEST(emitted, "signalNames");
    QTEST(dialog->isVisible(), "staysOpen");
}

void TstFormDialog::processingShowsZeroAndTheSpinner()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->show();
    dialog->onProgressChanged(55);
    dialog->showProcessState(FormDialog::ProcessRunning);
    QCOMPARE(textOf(*dialog, QStringLiteral("pv_la_progress")), QStringLiteral("0%"));
    QCOMPARE(child<QProgressBar>(*dialog, QStringLiteral("pv_pd"))->value(), 0);
    QVERIFY(!child(*dialog, QStringLiteral("pv_btn_ok"))->isVisible());
    QVERIFY(!child(*dialog, QStringLiteral("pv_btn_open"))->isVisible());
    auto *spinner = child<ProcessWait>(*dialog, QStringLiteral("loading_icon"));
    QVERIFY(spinner->isVisible());
    QVERIFY(spinner->isRunning());

    dialog->showProcessState(FormDialog::ProcessFinished);
    QCOMPARE(textOf(*dialog, QStringLiteral("pv_la_progress")), QStringLiteral("100%"));
    QCOMPARE(child<QProgressBar>(*dialog, QStringLiteral("pv_pd"))->value(), 100);
    QVERIFY(child(*dialog, QStringLiteral("pv_btn_ok"))->isVisible());
    QVERIFY(child(*dialog, QStringLiteral("pv_btn_open"))->isVisible());
    QVERIFY(!spinner->isVisible());
    QVERIFY(!spinner->isRunning());
}

void TstFormDialog::finishedHandsTheOutputToThePlayerAfter800ms()
{
    const auto dialog = DialogTest::makeDialog();
    QSignalSpy spy(dialog.get(), &FormDialog::mediaFileTriggered);
    auto *line = child<QLineEdit>(*dialog, QStringLiteral("os_le"));
    line->setText(QStringLiteral("/tmp//talvex exports//clip #1.mov"));
    dialog->showProcessState(FormDialog::ProcessFinished);
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.count(), 1);
    const auto urls = spy.at(0).at(0).value<QList<QUrl>>();
    QCOMPARE(urls.size(), 1);
    QCOMPARE(urls.at(0), QUrl::fromLocalFile(QStringLiteral("/tmp/talvex exports/clip #1.mov")));
    QCOMPARE(urls.at(0).toLocalFile(), QStringLiteral("/tmp/talvex exports/clip #1.mov"));
}

void TstFormDialog::finishedWithoutOutputPathHandsNothingOver()
{
    const auto dialog = DialogTest::makeDialog();
    QSignalSpy spy(dialog.get(), &FormDialog::mediaFileTriggered);
    child<QLineEdit>(*dialog, QStringLiteral("os_le"))->clear();
    dialog->showProcessState(FormDialog::ProcessFinished);
    QVERIFY(!spy.wait(1500));
    QCOMPARE(textOf(*dialog, QStringLiteral("pv_la_msg")), QStringLiteral("Finished."));
}

void TstFormDialog::finishedAdvancesTheCounterOnlyOnce_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("nextSuffix");
    QTest::newRow("finished") << int(FormDialog::ProcessFinished) << "_EditVideo_002.mov";
    QTest::newRow("processing") << int(FormDialog::ProcessRunning) << "_EditVideo_001.mov";
    QTest::newRow("no disk space") << int(FormDialog::ProcessNoDiskSpace) << "_EditVideo_001.mov";
    QTest::newRow("devices") << int(FormDialog::ProcessDifferentDevices) << "_EditVideo_001.mov";
    QTest::newRow("failed") << int(FormDialog::ProcessFailed) << "_EditVideo_001.mov";
}

void TstFormDialog::finishedAdvancesTheCounterOnlyOnce()
{
    QFETCH(int, code);
    QFETCH(QString, nextSuffix);
    const auto dialog = DialogTest::makeDialog();
    auto *line = child<QLineEdit>(*dialog, QStringLiteral("os_le"));
    QVERIFY(line->text().endsWith(QStringLiteral("_EditVideo_001.mov")));
    QVERIFY(line->text().startsWith(DialogTest::defaultOutputFolder()));
    dialog->showProcessState(code);
    dialog->initOutputSetting(false, false);
    QVERIFY2(line->text().endsWith(nextSuffix), qPrintable(line->text()));
}

void TstFormDialog::errorCodesMapToTheirPages_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("code");
    QTest::newRow("failed") << int(EditorFailed) << int(FormDialog::ProcessFailed);
    QTest::newRow("disk space") << int(EditorNoDiskSpace) << int(FormDialog::ProcessNoDiskSpace);
    QTest::newRow("devices") << int(EditorDifferentDevices)
                             << int(FormDialog::ProcessDifferentDevices);
    QTest::newRow("no error is no finish") << int(EditorNoError) << int(FormDialog::ProcessFailed);
}

void TstFormDialog::errorCodesMapToTheirPages()
{
    QFETCH(int, error);
    QTEST(FormDialog::processCodeForError(Editor_e(error)), "code");

    // an export that fails while the processing page waits leaves it for an error page
    const auto dialog = DialogTest::makeDialog();
    dialog->showProcessState(FormDialog::ProcessRunning);
    dialog->show();
    dialog->showProcessError(Editor_e(error));
    QVERIFY(!child<QWidget>(*dialog, QStringLiteral("f_pv"))->isVisible());
    QVERIFY(child<QWidget>(*dialog, QStringLiteral("f_pvErr"))->isVisible());
    QVERIFY(!child<ProcessWait>(*dialog, QStringLiteral("loading_icon"))->isRunning());
    QTest::mouseClick(child(*dialog, QStringLiteral("pvErr_btn_retry")), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
}

void TstFormDialog::unknownProcessCodeKeepsThePage()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->showCutWarning();
    dialog->showProcessState(7);
    QCOMPARE(visibleFrames(*dialog), QStringList{"f_cutwarning"});
    QCOMPARE(textOf(*dialog, QStringLiteral("la_title")), QStringLiteral("Process Video"));
}

void TstFormDialog::errorPagesAreCentredOnTheScreen()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->showCutWarning();
    dialog->move(20, 30);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    dialog->showLeaveWarning();
    QCOMPARE(dialog->pos(), QPoint(20, 30));
    dialog->showProcessError(EditorNoDiskSpace);
    const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
    QVERIFY((dialog->geometry().center() - centre).manhattanLength() <= 2);
}

void TstFormDialog::languagePassSetsPixelFonts_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("bold");
    QTest::newRow("en") << int(LangEnglish) << false;
    QTest::newRow("zh") << int(LangChinese) << true;
}

void TstFormDialog::languagePassSetsPixelFonts()
{
    QFETCH(int, lang);
    QFETCH(bool, bold);
    DialogTest::setLanguage(lang);
    const auto dialog = DialogTest::makeDialog();
    const QFont title = child<QWidget>(*dialog, QStringLiteral("la_title"))->font();
    QCOMPARE(title.pixelSize(), 31);
    QCOMPARE(title.bold(), bold);
    QCOMPARE(title.family(), getAppFontFamily());
    const QFont button = child(*dialog, QStringLiteral("os_btn_ok"))->font();
    QCOMPARE(button.pixelSize(), 23);
    QCOMPARE(button.bold(), bold);
    QCOMPARE(child<QWidget>(*dialog, QStringLiteral("cutwarning_tv"))->font().pixelSize(), 25);
    QCOMPARE(child(*dialog, QStringLiteral("os_cb_right"))->font().pixelSize(), 22);
    // the progress figure keeps the form's font
    QCOMPARE(child<QWidget>(*dialog, QStringLiteral("pv_la_progress"))->font().pointSize(), 55);
}

void TstFormDialog::progressIsClamped_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("shown");
    QTest::newRow("inside") << 42 << 42;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("hundred") << 100 << 100;
    QTest::newRow("above") << 150 << 100;
    QTest::newRow("below") << -5 << 0;
}

void TstFormDialog::progressIsClamped()
{
    QFETCH(int, value);
    QFETCH(int, shown);
    const auto dialog = DialogTest::makeDialog();
    dialog->showProcessState(FormDialog::ProcessRunning);
    dialog->onProgressChanged(value);
    QCOMPARE(textOf(*dialog, QStringLiteral("pv_la_progress")), QStringLiteral("%1%").arg(shown));
    QCOMPARE(child<QProgressBar>(*dialog, QStringLiteral("pv_pd"))->value(), shown);
}

void TstFormDialog::updatePageProgressAndCounter_data()
{
    QTest::addColumn<qlonglong>("done");
    QTest::addColumn<qlonglong>("total");
    QTest::addColumn<int>("percent");
    QTest::newRow("quarter") << 50LL << 200LL << 25;
    QTest::newRow("truncated") << 199LL << 200LL << 99;
    QTest::newRow("total 0") << 5LL << 0LL << 0;
    QTest::newRow("more than total") << 300LL << 200LL << 100;
    QTest::newRow("large files") << 3000000000LL << 6000000000LL << 50;
}

void TstFormDialog::updatePageProgressAndCounter()
{
    QFETCH(qlonglong, done);
    QFETCH(qlonglong, total);
    const auto dialog = DialogTest::makeDialog();
    dialog->showUpdate(QStringLiteral("fw.bin"));
    dialog->updateProgress(done, total);
    QTEST(child<QProgressBar>(*dialog, QStringLiteral("update_progress"))->value(), "percent");
    dialog->downloadCount(3, 10);
    QCOMPARE(textOf(*dialog, QStringLiteral("update_tv")), QStringLiteral("7 / 10"));
}

void TstFormDialog::outputSettingRecordFromTheFields_data()
{
    QTest::addColumn<bool>("dual");
    QTest::addColumn<bool>("removeAudio");
    QTest::addColumn<bool>("removeGps");
    QTest::addColumn<bool>("pip");
    QTest::addColumn<int>("side");
    QTest::newRow("one camera, box ticked") << false << false << false << true << 1;
    QTest::newRow("both cameras, box ticked") << true << false << false << true << 0;
    QTest::newRow("both cameras, box clear") << true << true << false << false << 1;
    QTest::newRow("no audio, no gps") << true << true << true << true << 0;
}

void TstFormDialog::outputSettingRecordFromTheFields()
{
    QFETCH(bool, dual);
    QFETCH(bool, removeAudio);
    QFETCH(bool, removeGps);
    QFETCH(bool, pip);
    const auto dialog = DialogTest::makeDialog();
    dialog->initOutputSetting(dual, false);
    QCOMPARE(child(*dialog, QStringLiteral("os_cb_right"))->isEnabled(), dual);
    child(*dialog, QStringLiteral("os_cb_removeAudio"))->setChecked(removeAudio);
    child(*dialog, QStringLiteral("os_cb_removeGPS"))->setChecked(removeGps);
    child(*dialog, QStringLiteral("os_cb_right"))->setChecked(pip);
    const QString line = child<QLineEdit>(*dialog, QStringLiteral("os_le"))->text();
    QSignalSpy spy(dialog.get(), &FormDialog::settingFinished);
    dialog->show();
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    const auto value = spy.at(0).at(0).value<EditorOutputSetting_t>();
    QCOMPARE(value.haveAudio, !removeAudio);
    QCOMPARE(value.haveGps, !removeGps);
    QTEST(int(value.mainVideoSide), "side");
    QCOMPARE(value.outputPath, line);
}

void TstFormDialog::outputSettingShowsProcessingBeforeItEmits()
{
    const auto dialog = DialogTest::makeDialog();
    QStringList shownAtEmit;
    connect(dialog.get(), &FormDialog::settingFinishedGroup, dialog.get(),
            [&](EditorOutputSetting_t, bool isSubVideo) {
                QVERIFY(!isSubVideo);
                shownAtEmit = visibleFrames(*dialog);
            });
    dialog->initOutputSetting(true, true);
    dialog->show();
    QTest::mouseClick(child(*dialog, QStringLiteral("os_btn_ok")), Qt::LeftButton);
    QCOMPARE(shownAtEmit, QStringList{"f_pv"});
    QCOMPARE(textOf(*dialog, QStringLiteral("pv_la_progress")), QStringLiteral("0%"));
}

void TstFormDialog::openFolderShowsTheOutputFolder()
{
    BrowserCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const auto dialog = DialogTest::makeDialog();
    dialog->showProcessState(FormDialog::ProcessFinished);
    dialog->show();
    QTest::mouseClick(child(*dialog, QStringLiteral("pv_btn_open")), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.opened.size(), 1);
    QCOMPARE(QDir(catcher.opened.at(0).toLocalFile()), QDir(DialogTest::defaultOutputFolder()));
    QVERIFY(dialog->isVisible());
}

void TstFormDialog::dontShowAgainHidesTheSupportPrompt()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->showSupportPrompt(false);
    dialog->show();
    QTest::mouseClick(child(*dialog, QStringLiteral("supportPrompt_okbtn")), Qt::LeftButton);
    QVERIFY(!gSupportPromptHidden);

    dialog->showSupportPrompt(false);
    dialog->show();
    child(*dialog, QStringLiteral("supportPrompt_checkbox_tv"))->setChecked(true);
    QTest::mouseClick(child(*dialog, QStringLiteral("supportPrompt_okbtn")), Qt::LeftButton);
    QVERIFY(gSupportPromptHidden);
}

void TstFormDialog::escapeDoesNotCloseTheProcessingPage()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->showProcessState(FormDialog::ProcessRunning);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    dialog->showProcessError(EditorFailed);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
}

void TstFormDialog::roundedMaskAndDragRule()
{
    const auto dialog = DialogTest::makeDialog();
    dialog->showLeaveWarning();
    dialog->move(100, 100);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QRegion mask = dialog->mask();
    QVERIFY(!mask.contains(QPoint(0, 0)));
    QVERIFY(!mask.contains(QPoint(699, 349)));
    QVERIFY(mask.contains(QPoint(350, 175)));
    QVERIFY(mask.contains(QPoint(10, 0)) || mask.contains(QPoint(15, 0)));

    auto *helper = dialog->findChild<FramelessHelper *>();
    QVERIFY(helper);
    QTest::mousePress(child(*dialog, QStringLiteral("msLeave_btn_cancel")), Qt::LeftButton);
    QVERIFY(!helper->canMove());
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, QPoint(350, 20));
    QVERIFY(helper->canMove());
    const QPoint start = dialog->pos();
    QMouseEvent move(QEvent::MouseMove, QPoint(380, 40), dialog->mapToGlobal(QPoint(380, 40)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.get(), &move);
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, QPoint(380, 40));
    QCOMPARE(dialog->pos(), start + QPoint(30, 20));
}

void TstFormDialog::screenshots_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("opener");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("tag");
    const int pages[][2] = {{0, Processing},   {1, DifferentDevices}, {3, OutputSetting},
                            {4, LeaveWarning}, {7, BodyData},         {11, NetworkError},
                            {13, SupportEdit}};
    for (const auto &page : pages) {
        for (const int lang : {int(LangEnglish), int(LangChinese)}) {
            const QString tag = lang == LangEnglish ? "en" : "zh";
            QTest::newRow(qPrintable(QStringLiteral("page %1 %2").arg(page[0]).arg(tag)))
                << page[0] << page[1] << lang << tag;
        }
    }
}

void TstFormDialog::screenshots()
{
    QFETCH(int, page);
    QFETCH(int, opener);
    QFETCH(int, lang);
    QFETCH(QString, tag);
    DialogTest::setLanguage(lang);
    const auto dialog = DialogTest::makeDialog();
    open(*dialog, opener);
    if (opener == Processing)
        dialog->onProgressChanged(42);
    if (opener == BodyData)
        dialog->showBodyData(34, 5, 9, 150, 1);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::qWait(50);
    const QImage image = dialog->grab().toImage();
    QCOMPARE(image.size(), dialog->size() * image.devicePixelRatio());
    TestSupport::saveScreenshot(dialog.get(),
                                QStringLiteral("dialog-page%1-%2").arg(page).arg(tag));
}

TALVEX_TEST_MAIN(TstFormDialog)
#include "tst_formdialog.moc"
