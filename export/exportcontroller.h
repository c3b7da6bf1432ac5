// The main window's side of an export: a single cut, or a group's pieces, joins and the mix of
// both cameras, from the output settings to the runner's last step, with the checks before it and
// the clean-up after it. Knows no window: what it reads of the players, the play bar and the play
// list comes through ExportHost. GUI thread only.
#pragma once

#include "exportcommands.h"
#include "exportfailure.h"
#include "sharedtypes.h"

#include <QObject>
#include <QSize>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class FFmpeg_editor_p;
class WorkFolder;

// What an export reads of the windows, at the moment it needs it.
class ExportHost
{
public:
    virtual ~ExportHost() = default;
    virtual int displayMode() const = 0;                  // 0 main camera only, 1 both
    virtual int pipSwap() const = 0;                      // 1: the second camera is big
    virtual QString editTimeRangeText() const = 0;        // the play bar's "m:s ~ m:s"
    virtual QString mediaPath(bool mainCamera) const = 0; // the player's open file
    virtual QSize videoSize(bool mainCamera) const = 0;   // the player's picture size
    virtual int viewHeight(bool mainCamera) const = 0;    // its view's height on screen
    virtual CameraPicture cameraPicture(bool mainCamera) const = 0;
    virtual int locationCode() const = 0;                    // checked Location 0..7, -1 none
    virtual bool hasPartner() const = 0;                     // the second row pairs the main one
    virtual QString groupPathCell(bool secondRow) const = 0; // "a;b;c;" of a group row
    virtual QString groupSizeCell() const = 0;               // "123MB" of the main row
    virtual QString clipDuration(const QString &path) const = 0; // "hh:mm:ss" of a file's row
};

// Size of the second picture and its white frame in a picture-in-picture output.
struct PipGeometry
{
    int pipW = 0;   // width the second picture is scaled to
    int frame = 0;  // width of the white frame around it, even
    int margin = 0; // pixels kept free above the bottom edge

    // From the big picture's size and its view's height on screen (the picture's own height
    // when the view has none).
    static PipGeometry of(const QSize &picture, int viewHeight);
    // The white rectangle input: " -f lavfi -i color=white:WxH:d=3,format=rgb24 ".
    QString whiteSource() const;
};

// Where a cut over a group's clips begins and ends.
struct GroupCut
{
    int first = 0;       // index of the first clip
    int last = 0;        // index of the last clip
    int startOffset = 0; // seconds into the first clip
    int endOffset = 0;   // seconds into the last clip
    int firstLength = 0; // length of the piece of the first clip
    int length = 0;      // seconds of the whole cut
    bool isValid() const { return firstLength > 0 && last >= first; }

    // A start on a clip boundary begins the next clip; an end on one ends the clip before it;
    // the walk stays inside the list and the end inside the last clip.
    static GroupCut locate(const QVector<int> &durations, int start, int end);
};

class ExportController : public QObject
{
    Q_OBJECT
public:
    // Bytes free on the volume of a folder; -1 when that cannot be read.
    using FreeSpace = std::function<qint64(const QString &folder)>;

    ExportController(ExportHost *host, FFmpeg_editor_p *editor, QObject *parent = nullptr);
    ~ExportController() override;

    // The free-space reading of the group export's check (QStorageInfo by default).
    void setFreeSpace(FreeSpace reading) { freeSpace = std::move(reading); }
    // The files an export of the moment reads: both players' files and the members of the main
    // row's group, and of the second row's while it is the main row's partner.
    QStringList inputFiles() const;

    // single cut
    void onGetVideoInfo(EditorOutputSetting_t value);
    void onEditorSetting(EditorOutputSetting_t value, bool haveAudioCodec, QSize resSize);

    // group export
    void onGetVideoGroupInfo(EditorOutputSetting_t value, bool isSubVideo);
    void onGetIndexVideoGroupInfo(int index, bool isSubVideo);
    void onEditorSettingGroup(EditorOutputSetting_t value, bool haveAudioCodec, int audioIndex,
                              QSize resSize, bool isSubVideo);
    void onProcessGroupOutputSetting(int index, EditorOutputSetting_t value, bool haveAudio,
                                     int audioIndex, QSize resSize, bool isSubVideo);
    void onMixtureVideoGroup(EditorOutputSetting_t value, bool haveAudio, int audioIndex,
                             QSize resSize);
    GroupOutputSetting_t groupOutputSetting() const { return record; }
    // Writes the concat list "clip.txt" of one camera's pieces into the export's own folder.
    bool saveClipList(bool secondCamera);
    // The export's own folder for its part files, pieces, joined files and concat list, as this
    // program and its ffmpeg reach it through its descriptor, with a trailing slash: hidden in
    // the output folder (on its volume), made once the output passed its checks and removed with
    // everything in it by cleanUp(). Empty while there is none.
    QString workFolderPath() const;

    // An export runs: from the output settings to its end (finished, failed or too short).
    bool isExporting() const { return exporting; }
    // The end of an export: removes its own folder with the pieces, joined files and concat list
    // in it; another export may start.
    void cleanUp();
    // Why the last export failed: its own checks, else the runner's step.
    ExportFailure failure() const;

    // "a;b;c;" -> a, b, c.
    static QStringList splitGroup(const QString &cell);

signals:
    // A check before or between the steps failed; failure() says why.
    void exportError(Editor_e error);
    // The range is shorter than one second.
    void cutTooShort();

private:
    struct Pass
    {
        QStringList files;
        GroupCut cut;
        int current = 0;        // index of the clip being cut
        bool keepAudio = false; // every clip of the pass has audio and audio is wanted
        QSize size;             // probed size the pieces are scaled to
        bool isMainCamera = true;
    };

    // Starts an export; false, with nothing touched, while another one runs.
    bool begin();
    void fail(Editor_e error, ExportFailure::Kind kind);
    void fail(Editor_e error, const ExportFailure &why);
    void endTooShort();
    bool checkTarget(const QString &outputPath);
    bool bigIsMainCamera() const;
    QVector<int> durations(const QStringList &files) const;
    void runPiece(Pass &pass, bool isSubVideo);
    void join(bool isSubVideo);
    QString tempPiece(bool isSubVideo, int n) const;
    void removePieces(bool isSubVideo);

    bool hasRoomFor(const QString &folder) const;
    // The export's own folder, shared with the runner; nullptr removes it.
    void setOwnFolder(std::shared_ptr<const WorkFolder> folder);
    QString clipListPath() const;

    ExportHost *host;
    FFmpeg_editor_p *editor;
    ExportFailure ownFailure;
    FreeSpace freeSpace;
    bool exporting = false;

    // the group export of the moment
    EditorOutputSetting_t setting;
    std::shared_ptr<const WorkFolder> ownFolder; // valid while there is one
    Pass mainPass;
    Pass secondPass;
    bool mix = false; // both cameras' groups, the second laid over the first
    GroupOutputSetting_t record;
};
