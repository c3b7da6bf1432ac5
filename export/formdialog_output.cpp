// Page 3 of the shared dialog: output settings, the output folder and the output names.
#include "formdialog.h"

#include "appglobals.h"
#include "filedialog.h"
#include "outputname.h"
#include "replacequestion.h"
#include "ui_formdialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStandardPaths>

namespace {

QString problemText(OutputName::Problem problem)
{
    switch (problem) {
    case OutputName::Problem::NoFileName:
        return gLangNotices.value(1);
    case OutputName::Problem::FolderNotCreated:
        return gLangNotices.value(2);
    case OutputName::Problem::FolderNotWritable:
        return gLangNotices.value(3);
    case OutputName::Problem::IsAnInput:
        return gLangNotices.value(7);
    case OutputName::Problem::CannotReplace:
        return gLangNotices.value(10);
    case OutputName::Problem::None:
        break;
    }
    return QString();
}

} // namespace

void FormDialog::setupOutputPage()
{
    outputFolder = OutputName::prepareDefaultFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
    showOutputProblem(QString());
    // a new path asks for a new check
    connect(ui->os_le, &QLineEdit::textEdited, this, [this] { showOutputProblem(QString()); });
}

QString FormDialog::makeOutputFileName() const
{
    return OutputName::fileName(QDateTime::currentDateTime(), outputFileCounter);
}

QString FormDialog::proposedOutputPath() const
{
    // a later number where the name is taken: a proposed name never asks to replace a file
    return OutputName::unusedPath(outputFolder, QDateTime::currentDateTime(), outputFileCounter);
}

void FormDialog::initOutputSetting(bool dual, bool isGroup)
{
    groupMode = isGroup;
    setTitle(gLangEditDialog.value(1));
    showPage(PageOutputSetting);
    ui->os_cb_right->setEnabled(dual);
    ui->os_le->setText(proposedOutputPath());
    showOutputProblem(QString());
}

void FormDialog::setExportInputs(const QStringList &files)
{
    exportInputs = files;
}

void FormDialog::showOutputProblem(const QString &text)
{
    ui->os_la_error->setText(text);
    ui->os_la_error->setVisible(!text.isEmpty());
}

void FormDialog::onSettingSelectFolder()
{
    folderChooser = new FileDialog_C(nullptr);
    folderChooser->applyStyle(currentStyle);
    folderChooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(folderChooser, &FileDialog_C::openFolderName, this, &FormDialog::onGetFolderName);
    folderChooser->setMode(FileDialog_C::SelectSaveFolder);
    folderChooser->show();
}

void FormDialog::onGetFolderName(const QString &folderName)
{
    if (folderName.isEmpty())
        return;
    outputFolder = QString(folderName).replace(QStringLiteral("//"), QStringLiteral("/"));
    ui->os_le->setText(proposedOutputPath());
    showOutputProblem(QString());
}

void FormDialog::onSettingFinished()
{
    // a path that cannot be written stays on this page instead of failing inside ffmpeg
    // nor one that would replace a file the export reads
    const OutputName::Target target = OutputName::prepareTarget(ui->os_le->text(), exportInputs);
    if (target.problem != OutputName::Problem::None) {
        showOutputProblem(problemText(target.problem));
        return;
    }
    // another file of that name goes only when the user says so; until then nothing runs and the
    // line keeps what the user typed
    if (target.exists) {
        askToReplace(target.path);
        return;
    }
    startExport(target.path);
}

void FormDialog::askToReplace(const QString &path)
{
    // made on first use, a window of its own over this page, deleted with the dialog; Cancel
    // leaves the page as it is
    if (!replaceQuestion) {
        replaceQuestion = new ReplaceQuestion(this);
        connect(replaceQuestion, &QDialog::accepted, this,
                [this] { startExport(replaceQuestion->path()); });
    }
    replaceQuestion->ask(path);
}

void FormDialog::startExport(const QString &outputPath)
{
    ui->os_le->setText(outputPath); // the finished page hands this path to the player

    showProcessState(ProcessRunning);
    EditorOutputSetting_t value;
    value.haveAudio = !ui->os_cb_removeAudio->isChecked();
    value.haveGps = !ui->os_cb_removeGPS->isChecked();
    value.mainVideoSide = ui->os_cb_right->isChecked() && ui->os_cb_right->isEnabled() ? 0 : 1;
    value.outputPath = outputPath;
    if (groupMode)
        emit settingFinishedGroup(value, false);
    else
        emit settingFinished(value);
}
