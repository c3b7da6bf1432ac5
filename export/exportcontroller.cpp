#include "exportcontroller.h"

#include "cuttime.h"
#include "exportlog.h"
#include "ffmpeg_editor_p.h"
#include "ffmpegarguments.h"
#include "outputname.h"
#include "workfolder.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

namespace {

constexpr double spaceFactor = 4.5; // free MB needed per MB of the group
constexpr qint64 bytesPerMb = 1024 * 1024;
const QString clipListName = QStringLiteral("clip.txt");
const QString joinedMain = QStringLiteral("temp2_main.mov");
const QString joinedSecond = QStringLiteral("temp2_sub.mov");

enum RecordIndex
{
    firstMain = 0,
    lastMain = 1,
    firstSecond = 2,
    lastSecond = 3,
    startOffsetMain = 4,
    firstDurationMain = 5,
    endOffsetMain = 7,
    firstLengthMain = 8,
    endOffsetSecond = 9
};

bool isUsablePath(const QString &path)
{
    return !path.isEmpty() && path != QLatin1String("/");
}

// The number before "MB" of a size cell; 0 without one.
qint64 sizeMb(const QString &cell)
{
    const int mb = cell.indexOf(QLatin1String("MB"));
    return mb >= 1 ? cell.left(mb).trimmed().toLongLong() : 0;
}

// The name of a piece of a group's cut in the work folder.
QString pieceName(bool isSubVideo, int n)
{
    return (isSubVideo ? QStringLiteral("temp1_sub_%1.mov") : QStringLiteral("temp1_main_%1.mov"))
        .arg(n);
}

} // namespace

PipGeometry PipGeometry::of(const QSize &picture, int viewHeight)
{
    PipGeometry g;
    const int height = picture.height();
    const int h = viewHeight > 0 ? viewHeight : height;
    g.pipW = picture.width() * 415 / 1120;
    if (h > 0) {
        g.margin = int(float(height) * 38.0f / float(h));
        g.frame = int(float(height) * 8.0f / float(h));
    }
    if (g.frame % 2 != 0)
        g.frame += 1;
    return g;
}

QString PipGeometry::whiteSource() const
{
    return QStringLiteral(" -f lavfi -i color=white:%1x%2:d=3,format=rgb24 ")
        .arg(pipW + frame)
        .arg(pipW * 9 / 16 + frame);
}

GroupCut GroupCut::locate(const QVector<int> &durations, int start, int end)
{
    GroupCut cut;
    if (durations.isEmpty())
        return cut;
    const int lastIndex = durations.size() - 1;
    int s = start;
    int i = 0;
    while (i < lastIndex && s - durations.at(i) >= 0) {
        s -= durations.at(i);
        ++i;
    }
    int e = end;
    int j = 0;
    while (j < lastIndex && e - durations.at(j) >= 1) {
        e -= durations.at(j);
        ++j;
    }
    if (durations.at(j) > 0)
        e = qMin(e, durations.at(j));
    cut.first = i;
    cut.last = j;
    cut.startOffset = s;
    cut.endOffset = e;
    if (j < i)
        return cut;
    cut.firstLength = (i == j ? e : durations.at(i)) - s;
    cut.length = cut.firstLength;
    for (int k = i + 1; k < j; ++k)
        cut.length += durations.at(k);
    if (j > i)
        cut.length += e;
    return cut;
}

ExportController::ExportController(ExportHost *host, FFmpeg_editor_p *editor, QObject *parent)
    : QObject(parent), host(host), editor(editor),
      freeSpace([](const QString &folder) { return QStorageInfo(folder).bytesAvailable(); })
{
}

ExportController::~ExportController() = default;

QStringList ExportController::inputFiles() const
{
    QStringList files{host->mediaPath(true), host->mediaPath(false)};
    // a single file's cell is its path, a group's "a;b;c;"; the second row is cut only as the main
    // row's partner (otherwise it may be any other file of the list)
    files += host->groupPathCell(false).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (host->hasPartner())
        files += host->groupPathCell(true).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    files.removeAll(QString());
    return files;
}

ExportFailure ExportController::failure() const
{
    return ownFailure.kind != ExportFailure::None ? ownFailure : editor->lastFailure();
}

bool ExportController::begin()
{
    // a second export would take the runner from the first, and its clean-up the first one's
    // part file and work folder: it is not started, and the first one goes on unharmed
    if (exporting || editor->isRunning()) {
        qCWarning(lcExport) << "An export runs already: another one is not started";
        return false;
    }
    exporting = true;
    ownFailure = ExportFailure();
    setOwnFolder(nullptr);
    return true;
}

void ExportController::endTooShort()
{
    cleanUp();
    emit cutTooShort();
}

void ExportController::fail(Editor_e error, ExportFailure::Kind kind)
{
    fail(error, ExportFailure{kind, QString()});
}

void ExportController::fail(Editor_e error, const ExportFailure &why)
{
    ownFailure = why;
    emit exportError(error);
}

bool ExportController::checkTarget(const QString &outputPath)
{
    if (outputPath.trimmed().isEmpty()) {
        fail(EditorFailed, ExportFailure::Other);
        return false;
    }
    const OutputName::Target target = OutputName::prepareTarget(outputPath, inputFiles());
    switch (target.problem) {
    case OutputName::Problem::None:
        // the export's files live in a folder of its own until the output is complete; making it
        // removes what exports that died left in the folder
        setOwnFolder(std::make_shared<const WorkFolder>(QFileInfo(target.path).absolutePath()));
        if (!ownFolder->isValid()) {
            setOwnFolder(nullptr);
            fail(EditorFailed, ExportFailure::FolderNotWritable);
            return false;
        }
        return true;
    case OutputName::Problem::NoFileName:
    case OutputName::Problem::IsAnInput:
        fail(EditorFailed, ExportFailure::Other);
        return false;
    case OutputName::Problem::FolderNotCreated:
    case OutputName::Problem::FolderNotWritable:
        fail(EditorFailed, ExportFailure::FolderNotWritable);
        return false;
    case OutputName::Problem::CannotReplace:
        // what the rename at the end would meet
        fail(EditorFailed, ExportFailures::notSaved(target.path, qt_error_string(EPERM)));
        return false;
    }
    return true;
}

bool ExportController::bigIsMainCamera() const
{
    // the second camera is big only while it shows the main row's partner
    return !(host->displayMode() == 1 && host->pipSwap() == 1 && host->hasPartner());
}

QStringList ExportController::splitGroup(const QString &cell)
{
    QStringList files;
    QString rest = cell;
    int cut = rest.indexOf(QLatin1Char(';'));
    while (cut >= 1) {
        files.append(rest.left(cut));
        rest = rest.mid(cut + 1);
        cut = rest.indexOf(QLatin1Char(';'));
    }
    return files;
}

QVector<int> ExportController::durations(const QStringList &files) const
{
    QVector<int> seconds;
    for (const QString &file : files)
        seconds.append(ExportCommands::formatTimeToSeconds(host->clipDuration(file)));
    return seconds;
}

// ---- single cut ----

void ExportController::onGetVideoInfo(EditorOutputSetting_t value)
{
    if (!begin())
        return;
    if (!checkTarget(value.outputPath))
        return;
    const QString file = host->mediaPath(bigIsMainCamera());
    if (!isUsablePath(file)) {
        fail(EditorFailed, ExportFailure::Other);
        return;
    }
    editor->probeVideo(QLatin1Char(' ') + FfmpegArguments::quotedPath(file), value);
}

void ExportController::onEditorSetting(EditorOutputSetting_t value, bool haveAudioCodec,
                                       QSize resSize)
{
    Q_UNUSED(resSize)
    const auto range = CutTime::parseRangeText(host->editTimeRangeText());
    if (!range) {
        fail(EditorFailed, ExportFailure::Other);
        return;
    }
    const int start = range->startSec;
    const int duration = range->endSec - range->startSec;
    if (duration < CutTime::minimumCutSec) {
        endTooShort();
        return;
    }
    const bool dual = host->displayMode() == 1;
    const bool bigIsMain = bigIsMainCamera();
    const QString mainInput = host->mediaPath(bigIsMain);
    const QString secondInput = dual ? host->mediaPath(!bigIsMain) : QString();
    if (!haveAudioCodec)
        value.haveAudio = false;
    if (!host->hasPartner())
        value.mainVideoSide = 1;
    if (mainInput.isEmpty() || value.outputPath.isEmpty()) {
        fail(EditorFailed, ExportFailure::Other);
        return;
    }
    editor->setKeepGps(value.haveGps);

    QString input;
    QString args;
    if (dual && isUsablePath(mainInput) && isUsablePath(secondInput) && value.mainVideoSide == 0) {
        const int code = host->locationCode();
        if (code >= 0 && code < ExportCommands::locationCount) {
            const PipGeometry g =
                PipGeometry::of(host->videoSize(bigIsMain), host->viewHeight(bigIsMain));
            input = FfmpegArguments::inputText(mainInput) +
                    FfmpegArguments::inputText(secondInput).mid(1) + g.whiteSource().mid(1);
            args = ExportCommands::editorCommandPip(
                host->cameraPicture(bigIsMain), host->cameraPicture(!bigIsMain), code,
                value.haveAudio, start, duration, g.pipW, g.frame / 2, g.margin);
        }
    }
    if (args.isEmpty()) {
        // one camera: the big picture's, or the other one when only that is open
        const bool useSecond =
            !isUsablePath(mainInput) && isUsablePath(secondInput) && value.mainVideoSide == 0;
        input = FfmpegArguments::inputText(useSecond ? secondInput : mainInput);
        args = ExportCommands::editorCommand(
            host->cameraPicture(useSecond ? !bigIsMain : bigIsMain), start, duration);
        if (!value.haveAudio)
            args += QStringLiteral(" -an ");
    }
    editor->run(input, args, value.outputPath);
}

// ---- group export ----

void ExportController::onGetVideoGroupInfo(EditorOutputSetting_t value, bool isSubVideo)
{
    if (isSubVideo) {
        // the main camera's group is joined: its pieces go, the second camera's probes begin
        removePieces(false);
        if (secondPass.files.isEmpty()) {
            fail(EditorFailed, ExportFailure::Other);
            return;
        }
        editor->probeGroupVideo(QLatin1Char(' ') +
                                    FfmpegArguments::quotedPath(secondPass.files.first()),
                                setting, 0, secondPass.files.size(), true);
        return;
    }

    if (!begin())
        return;
    mainPass = Pass();
    secondPass = Pass();
    record = GroupOutputSetting_t();
    mix = false;

    const bool partner = host->hasPartner();
    if (!partner)
        value.mainVideoSide = 1;
    setting = value;
    editor->setMode(0);
    if (!checkTarget(value.outputPath))
        return;
    const QString outputFolder = QFileInfo(value.outputPath).absolutePath();

    const bool dual = host->displayMode() == 1;
    const bool swap = host->pipSwap() == 1;
    QString mainText = host->groupPathCell(false);
    QString secondText;
    if (dual && partner && value.mainVideoSide == 0) {
        secondText = host->groupPathCell(true);
        if (swap)
            std::swap(mainText, secondText);
    } else if (dual && partner && swap) {
        mainText = host->groupPathCell(true);
    }
    mainPass.files = splitGroup(mainText);
    mainPass.isMainCamera = bigIsMainCamera();
    secondPass.files = splitGroup(secondText);
    secondPass.isMainCamera = !mainPass.isMainCamera;
    record.mainFiles = mainPass.files;

    // only the group on screen is cut
    if (mainPass.files.value(0) != host->mediaPath(mainPass.isMainCamera)) {
        fail(EditorFailed, ExportFailure::Other);
        return;
    }
    if (!hasRoomFor(outputFolder)) {
        fail(EditorNoDiskSpace, ExportFailure::DiskFull);
        return;
    }
    if (!editor->loadMetadataList(mainPass.files)) {
        fail(EditorDifferentDevices, ExportFailure::Other);
        return;
    }
    if (mainPass.files.isEmpty()) {
        fail(EditorFailed, ExportFailure::Other);
        return;
    }
    // the cut is placed before any probe, so that a second group that does not reach it leaves
    // the export of one camera
    const auto range = CutTime::parseRangeText(host->editTimeRangeText());
    if (!range) {
        fail(EditorFailed, ExportFailure::Other);
        return;
    }
    if (range->endSec - range->startSec < CutTime::minimumCutSec) {
        endTooShort();
        return;
    }
    mainPass.cut = GroupCut::locate(durations(mainPass.files), range->startSec, range->endSec);
    if (!mainPass.cut.isValid()) {
        fail(EditorFailed, ExportFailure::Other);
        return;
    }
    if (!secondPass.files.isEmpty()) {
        secondPass.cut =
            GroupCut::locate(durations(secondPass.files), range->startSec, range->endSec);
        mix = secondPass.cut.isValid();
    }
    if (!mix) {
        secondPass.files.clear();
        setting.mainVideoSide = 1;
    }
    record.secondFiles = secondPass.files;
    record.workFolder = workFolderPath();
    editor->probeGroupVideo(QLatin1Char(' ') + FfmpegArguments::quotedPath(mainPass.files.first()),
                            setting, 0, mainPass.files.size(), false);
}

void ExportController::onGetIndexVideoGroupInfo(int index, bool isSubVideo)
{
    const QStringList &files = isSubVideo ? secondPass.files : mainPass.files;
    if (index < files.size())
        editor->probeGroupVideo(QLatin1Char(' ') + FfmpegArguments::quotedPath(files.at(index)),
                                setting, index, files.size(), isSubVideo);
}

void ExportController::onEditorSettingGroup(EditorOutputSetting_t value, bool haveAudioCodec,
                                            int audioIndex, QSize resSize, bool isSubVideo)
{
    Q_UNUSED(value)
    Q_UNUSED(audioIndex)
    // a pass keeps audio only when every one of its clips has some
    const bool audio = setting.haveAudio && haveAudioCodec && editor->everyClipHasAudio();
    if (isSubVideo) {
        secondPass.keepAudio = audio;
        secondPass.size = resSize;
        secondPass.current = secondPass.cut.first;
        record.clip[firstSecond] = secondPass.cut.first;
        record.clip[lastSecond] = secondPass.cut.last;
        record.clip[endOffsetSecond] = secondPass.cut.endOffset;
        runPiece(secondPass, true);
        return;
    }

    mainPass.keepAudio = audio;
    mainPass.size = resSize;
    const GroupCut &cut = mainPass.cut;
    record.clip[firstMain] = cut.first;
    record.clip[lastMain] = cut.last;
    record.clip[startOffsetMain] = cut.startOffset;
    if (cut.first != cut.last)
        record.clip[firstDurationMain] = cut.firstLength + cut.startOffset;
    record.clip[endOffsetMain] = cut.endOffset;
    record.clip[firstLengthMain] = cut.firstLength;

    editor->setProgressKind(mix ? 4 : 1);
    editor->setStep(0);
    int pieces = cut.last - cut.first + 1;
    if (mix)
        pieces += secondPass.cut.last - secondPass.cut.first + 1;
    editor->setProgressStepCount(pieces - 1);
    mainPass.current = cut.first;
    runPiece(mainPass, false);
}

QString ExportController::tempPiece(bool isSubVideo, int n) const
{
    return workFolderPath() + pieceName(isSubVideo, n);
}

void ExportController::runPiece(Pass &pass, bool isSubVideo)
{
    const GroupCut &cut = pass.cut;
    const int k = pass.current;
    const bool isFirst = k == cut.first;
    const bool isLast = k == cut.last;
    int start = 0;
    int length = 0;
    if (isFirst) {
        start = cut.startOffset;
        length = cut.firstLength;
    } else if (isLast) {
        length = cut.endOffset;
    } else {
        editor->setTotalDuration(durations({pass.files.at(k)}).first());
    }
    editor->setStep(isSubVideo ? 2 : 0);
    const QString args = ExportCommands::groupPieceCommand(isFirst || isLast, start, length,
                                                           pass.size.width(), pass.keepAudio);
    editor->runCut(FfmpegArguments::inputText(pass.files.at(k)), args,
                   tempPiece(isSubVideo, k - cut.first), k, cut.last, isSubVideo);
}

void ExportController::onProcessGroupOutputSetting(int index, EditorOutputSetting_t value,
                                                   bool haveAudio, int audioIndex, QSize resSize,
                                                   bool isSubVideo)
{
    Q_UNUSED(value)
    Q_UNUSED(haveAudio)
    Q_UNUSED(audioIndex)
    Q_UNUSED(resSize)
    Pass &pass = isSubVideo ? secondPass : mainPass;
    if (index == 1 || index == 4) {
        if (pass.current < pass.cut.last)
            pass.current += 1;
        runPiece(pass, isSubVideo);
    } else if (index == 2 || index == 5) {
        join(isSubVideo);
    }
}

bool ExportController::hasRoomFor(const QString &folder) const
{
    const qint64 freeBytes = freeSpace(folder);
    // free space that cannot be read refuses nothing: ffmpeg reports a disk that fills up
    if (freeBytes < 0)
        return true;
    return double(sizeMb(host->groupSizeCell())) * spaceFactor <= double(freeBytes / bytesPerMb);
}

QString ExportController::workFolderPath() const
{
    return ownFolder ? ownFolder->path() + QLatin1Char('/') : QString();
}

void ExportController::setOwnFolder(std::shared_ptr<const WorkFolder> folder)
{
    ownFolder = std::move(folder);
    editor->setWorkFolder(ownFolder);
}

QString ExportController::clipListPath() const
{
    return workFolderPath() + clipListName;
}

bool ExportController::saveClipList(bool secondCamera)
{
    if (!ownFolder)
        return false;
    const GroupCut &cut = (secondCamera ? secondPass : mainPass).cut;
    QString lines;
    for (int n = 0; n <= cut.last - cut.first; ++n)
        lines += QStringLiteral("file '%1'\r\n").arg(tempPiece(secondCamera, n)); // no quote in it
    return ownFolder->writeFile(clipListName, lines.toUtf8());
}

void ExportController::join(bool isSubVideo)
{
    const Pass &pass = isSubVideo ? secondPass : mainPass;
    editor->setKeepGps(setting.haveGps);
    if (!saveClipList(isSubVideo)) {
        fail(EditorFailed, ExportFailure::FolderNotWritable);
        return;
    }
    // each camera's join carries its own picture values, so a mix keeps what the views show
    const QString args = ExportCommands::joinCommand(false, host->cameraPicture(pass.isMainCamera),
                                                     pass.size.width(), pass.keepAudio);
    QString output;
    if (isSubVideo) {
        editor->setMode(6);
        output = workFolderPath() + joinedSecond;
        editor->setStep(3);
    } else if (mix) {
        editor->setMode(3);
        output = workFolderPath() + joinedMain;
        editor->setStep(1);
    } else {
        editor->setMode(7);
        output = setting.outputPath;
        editor->setStep(1);
    }
    editor->setTotalDuration(pass.cut.length);
    editor->run(ExportCommands::joinInput(clipListPath()), args, output);
}

void ExportController::onMixtureVideoGroup(EditorOutputSetting_t value, bool haveAudio,
                                           int audioIndex, QSize resSize)
{
    Q_UNUSED(value)
    Q_UNUSED(haveAudio)
    Q_UNUSED(audioIndex)
    Q_UNUSED(resSize)
    removePieces(true);
    // the big picture is the main pass's joined file, at the main pass's size
    const PipGeometry g = PipGeometry::of(mainPass.size, host->viewHeight(bigIsMainCamera()));
    const QString input = FfmpegArguments::inputText(workFolderPath() + joinedMain) +
                          FfmpegArguments::inputText(workFolderPath() + joinedSecond).mid(1) +
                          g.whiteSource().mid(1);
    // the mix keeps the main pass's audio; the second picture shows while its clip lasts
    QString args =
        ExportCommands::getCommandMixture(host->locationCode(), mainPass.keepAudio,
                                          secondPass.cut.length, g.pipW, g.frame / 2, g.margin);
    if (args.isEmpty()) {
        args = QStringLiteral("-map 0:v ") +
               (mainPass.keepAudio ? QStringLiteral("-map 0:a -c:a copy ") : QString()) +
               QStringLiteral("-c:v mpeg4 -vtag xvid -qscale:v 6 -b:v 20000K");
    }
    editor->setStep(4);
    editor->setTotalDuration(mainPass.cut.length);
    editor->setMode(7);
    editor->run(input, args, setting.outputPath);
}

void ExportController::removePieces(bool isSubVideo)
{
    if (!ownFolder)
        return;
    const GroupCut &cut = (isSubVideo ? secondPass : mainPass).cut;
    for (int n = 0; n <= cut.last - cut.first; ++n)
        ownFolder->removeFile(pieceName(isSubVideo, n));
}

void ExportController::cleanUp()
{
    setOwnFolder(nullptr); // removes the folder with everything in it
    exporting = false;
}
