// The play bar: playback buttons, position, speed, volume and zoom in play mode, and the cut
// editor (range slider, start and end fields, OK and Cancel) in edit mode.
// It knows no player: it emits what the user asks for and shows the state it is given.
#pragma once

#include "cuttime.h"
#include "sharedtypes.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <utility>

class SliderStyle;
class QLineEdit;

namespace Ui {
class FormControl;
}

class FormControl : public QWidget
{
    Q_OBJECT
public:
    explicit FormControl(QWidget *parent = nullptr);
    ~FormControl() override;

    // "%1:%2 ~ %3:%4" of the start and end minute and second fields as the user left them.
    QString getEditTimeRangeLeftText() const;
    // Sets the range label next to "Cut Time" (cut short, with the whole text as its tooltip, when
    // the bar is narrow).
    void setEditTimeRangeLeftText(const QString &text);
    // Writes the four fields without firing their change signals; none is then marked as not
    // applied, and a typing in one of them is over.
    void setEditTimeRangeText(const QString &startMin, const QString &startSec,
                              const QString &endMin, const QString &endSec);
    // The cut editor's range slider (its spanChanged reports the span in units of 10 ms).
    SliderStyle *editSlider() const;
    OP_Mode opMode() const;

public slots:
    void setPlayState(MediaPlayerStatus state);
    void setDuration(qint64 durationMs);
    void setPosition(qint64 positionMs);
    // Play (0) or edit (1) layout; edit mode starts with the whole clip selected. Either way the
    // fields show the span in force.
    void setOP_Mode(OP_Mode mode);
    // The list's answer to checkGroupTime: true moves the cut start one second earlier.
    void checkGroupTimeResult(bool isSameValue);
    void applyLanguage();
    // 0 white, 1 black.
    void applyStyle(int style);

signals:
    void playPauseClicked();
    void stop();
    void previous();
    void next();
    void stepBackward();
    void stepForward();
    void positionSliderMoved(int hundredths);
    void speedChanged(double speed);
    void volumeChanged(int volume);
    void muteChanged(bool muted);
    void zoomChanged(int tenths);
    void fullScreenClicked();
    void pipClicked();
    void syncClicked();
    void editModeRequested();
    // Emitted by OK with the cut start and end as "mm:ss", before OK or warning is decided.
    void checkGroupTime(QString timeStart, QString timeEnd);
    void editOk();
    // Cancel: the main window asks whether to leave edit mode.
    void edit_cancel();
    // OK on a cut shorter than one second (or unreadable times).
    void edit_warning();

public:
    // The cut range label and the four time fields of a span in hundredths of a second. A span
    // set from typed fields leaves the fields as typed.
    void onEditSpanChanged(int lower, int upper);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectPlayPage();
    void connectEditPage();
    void onPositionAction();
    // A cut time applies while its two fields form a valid time; while they do not, its fields
    // keep the typed digits, marked as not applied, and the span is the one in force when the
    // typing in the field began (CutTime::spanWhileTyping).
    void onTimeEdited(QLineEdit *field, CutTime::Bound bound);
    // The field's edit is done (Tab, Return, focus lost): an applied time is written out in full.
    void onTimeEditFinished(CutTime::Bound bound);
    // Ends the typing in a field: the times it applied are written out in full; digits not
    // applied stay, marked.
    void endTyping();
    CutTime::TimeFields typedFields(CutTime::Bound bound) const;
    // Writes a time's fields from the span in force.
    void showAppliedTime(CutTime::Bound bound);
    void setTimeFields(CutTime::Bound bound, const QString &minutes, const QString &seconds);
    void markNotApplied(CutTime::Bound bound, bool on);
    bool isNotApplied(CutTime::Bound bound) const;
    // The minute and second field of a time.
    std::pair<QLineEdit *, QLineEdit *> timeFields(CutTime::Bound bound) const;
    void onEditOkClicked();
    void updateIcons();
    // "Play" or "Pause" as the play button's tooltip, after the play state.
    void updatePlayToolTip();
    void updateTimeLabel();
    // Sizes the cut editor's texts to the bar's width (see CutBarFit).
    void fitEditPage();

    std::unique_ptr<Ui::FormControl> ui;
    MediaPlayerStatus playState_ = StoppedState;
    qint64 durationMs_ = 0;
    qint64 positionMs_ = 0;
    // The field being typed in, and what was in force when the typing in it began.
    struct Typing
    {
        QLineEdit *field = nullptr;
        CutTime::Bound bound = CutTime::Bound::Start;
        CutTime::Span entry;
        bool otherRefused = false; // the other time's digits did not apply
    };

    QString rangeText_;              // the range label's whole text
    bool applyingTypedTime_ = false; // the span follows typed fields: they stay as typed
    std::optional<Typing> typing_;   // none while no field is being typed in
};
