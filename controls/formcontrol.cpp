#include "formcontrol.h"
#include "ui_formcontrol.h"

#include "appglobals.h"
#include "barstyle.h"
#include "cutbarfit.h"
#include "cuttime.h"
#include "edittexts.h"
#include "jumpclickstyle.h"
#include "skinicon.h"
#include "zoomrange.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int msPerHundredth = 10;
constexpr double speeds[] = {0.25, 0.5, 1.0, 1.5, 2.0, 4.0};
constexpr double normalSpeed = 1.0;
constexpr int iconSide = 18;
// a time field's border, padding, text margins and cursor beside its digits
constexpr int fieldChromePx = 18;
// true on the two fields of a cut time whose typed digits do not apply (read by the style sheet)
constexpr char notAppliedProperty[] = "notApplied";

// A time field as wide as its longest entry of digits in metrics' font.
int fieldWidth(const QLineEdit *field, const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QString(field->maxLength(), QLatin1Char('0'))) + fieldChromePx;
}

// Shows text in label, cut short with the whole text as its tooltip when wider than widthPx.
void showElided(QLabel *label, const QString &text, int widthPx)
{
    // measured as the plan measured it: elidedText counts fractions of a pixel
    const QFontMetrics metrics = label->fontMetrics();
    const QString shown = metrics.horizontalAdvance(text) <= widthPx
                              ? text
                              : metrics.elidedText(text, Qt::ElideRight, widthPx);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
    label->setFixedWidth(widthPx);
}

} // namespace

FormControl::FormControl(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::FormControl>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);

    auto *jumpStyle = new JumpClickStyle;
    jumpStyle->setParent(this);
    ui->sliderPosition->setStyle(jumpStyle);
    ui->sliderVolume->setStyle(jumpStyle);
    ui->sliderZoom->setStyle(jumpStyle);
    ui->sliderZoom->setRange(ZoomRange::minimum, ZoomRange::maximum);
    ui->sliderZoom->setPageStep(ZoomRange::pageStep);
    ui->sliderZoom->setValue(ZoomRange::minimum);
    for (const double speed : speeds)
        ui->comboSpeed->addItem(QString::number(speed) + QLatin1Char('x'), speed);
    ui->comboSpeed->setCurrentIndex(ui->comboSpeed->findData(normalSpeed));
    // entries drawn as a list, not as menu items with a check column
    ui->comboSpeed->setItemDelegate(new QStyledItemDelegate(ui->comboSpeed));

    // Digits only. An emptied field finishes its edit too, and seconds of 60 and more can be
    // typed: they show, marked as not applied, instead of leaving the digits before them in force.
    const auto digits = [](int most) {
        return QRegularExpression(QStringLiteral("\\d{0,%1}").arg(most));
    };
    for (QLineEdit *edit : {ui->editStartMin, ui->editEndMin})
        edit->setValidator(new QRegularExpressionValidator(digits(CutTime::maxMinuteDigits), edit));
    for (QLineEdit *edit : {ui->editStartSec, ui->editEndSec})
        edit->setValidator(new QRegularExpressionValidator(digits(CutTime::maxSecondDigits), edit));

    // the cut editor's texts give way to the slider, never the other way round
    ui->sliderSpan->setMinimumWidth(CutBarFit::leastSliderPx);
    rangeText_ = ui->labelEditTimeRange->text();
    ui->pageEdit->installEventFilter(this);

    connectPlayPage();
    connectEditPage();
    applyLanguage();
    applyStyle(gStyle);
    updateTimeLabel();
}

FormControl::~FormControl()
{
    // Hiding the window as it goes takes the focus from a time field, whose editingFinished would
    // then reach this half-destroyed bar (its form already gone).
    for (const CutTime::Bound bound : {CutTime::Bound::Start, CutTime::Bound::End}) {
        const auto [minutes, seconds] = timeFields(bound);
        minutes->disconnect(this);
        seconds->disconnect(this);
    }
}

void FormControl::connectPlayPage()
{
    connect(ui->btnPlay, &QToolButton::clicked, this, &FormControl::playPauseClicked);
    connect(ui->btnStop, &QToolButton::clicked, this, &FormControl::stop);
    connect(ui->btnPrevious, &QToolButton::clicked, this, &FormControl::previous);
    connect(ui->btnNext, &QToolButton::clicked, this, &FormControl::next);
    connect(ui->btnStepBack, &QToolButton::clicked, this, &FormControl::stepBackward);
    connect(ui->btnStepForward, &QToolButton::clicked, this, &FormControl::stepForward);
    connect(ui->btnFullScreen, &QToolButton::clicked, this, &FormControl::fullScreenClicked);
    connect(ui->btnPip, &QToolButton::clicked, this, &FormControl::pipClicked);
    connect(ui->btnSync, &QToolButton::clicked, this, &FormControl::syncClicked);
    connect(ui->btnEdit, &QToolButton::clicked, this, &FormControl::editModeRequested);
    // Every user move (drag, click, wheel) goes out; positions set by the player do not.
    connect(ui->sliderPosition, &QSlider::actionTriggered, this, &FormControl::onPositionAction);
    connect(ui->sliderVolume, &QSlider::valueChanged, this, &FormControl::volumeChanged);
    connect(ui->sliderZoom, &QSlider::valueChanged, this, &FormControl::zoomChanged);
    connect(ui->btnMute, &QToolButton::toggled, this, [this](bool muted) {
        updateIcons();
        emit muteChanged(muted);
    });
    connect(ui->comboSpeed, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { emit speedChanged(ui->comboSpeed->itemData(index).toDouble()); });
}

void FormControl::connectEditPage()
{
    connect(ui->sliderSpan, &SliderStyle::spanChanged, this, &FormControl::onEditSpanChanged);
    for (const CutTime::Bound bound : {CutTime::Bound::Start, CutTime::Bound::End}) {
        const auto [minutes, seconds] = timeFields(bound);
        for (QLineEdit *edit : {minutes, seconds}) {
            connect(edit, &QLineEdit::textEdited, this,
                    [this, edit, bound] { onTimeEdited(edit, bound); });
            connect(edit, &QLineEdit::editingFinished, this,
                    [this, bound] { onTimeEditFinished(bound); });
        }
    }
    connect(ui->btnEditOk, &QPushButton::clicked, this, &FormControl::onEditOkClicked);
    connect(ui->btnEditCancel, &QPushButton::clicked, this, &FormControl::edit_cancel);
}

QString FormControl::getEditTimeRangeLeftText() const
{
    return QStringLiteral("%1:%2 ~ %3:%4")
        .arg(ui->editStartMin->text(), ui->editStartSec->text(), ui->editEndMin->text(),
             ui->editEndSec->text());
}

void FormControl::setEditTimeRangeLeftText(const QString &text)
{
    // the span's slider sends its bounds on every move; the texts change with whole seconds only
    if (text == rangeText_)
        return;
    rangeText_ = text;
    fitEditPage();
}

void FormControl::setEditTimeRangeText(const QString &startMin, const QString &startSec,
                                       const QString &endMin, const QString &endSec)
{
    typing_.reset();
    setTimeFields(CutTime::Bound::Start, startMin, startSec);
    setTimeFields(CutTime::Bound::End, endMin, endSec);
}

SliderStyle *FormControl::editSlider() const
{
    return ui->sliderSpan;
}

OP_Mode FormControl::opMode() const
{
    return ui->stackedMode->currentWidget() == ui->pageEdit ? OP_Edit : OP_Play;
}

void FormControl::setPlayState(MediaPlayerStatus state)
{
    playState_ = state;
    updateIcons();
    updatePlayToolTip();
}

void FormControl::setDuration(qint64 durationMs)
{
    durationMs_ = std::max<qint64>(durationMs, 0);
    const int hundredths = int(durationMs_ / msPerHundredth);
    ui->sliderPosition->setRange(0, hundredths);
    ui->sliderSpan->setRange(0, hundredths);
    updateTimeLabel();
}

void FormControl::setPosition(qint64 positionMs)
{
    if (ui->sliderPosition->isSliderDown())
        return;
    positionMs_ = std::max<qint64>(positionMs, 0);
    ui->sliderPosition->setValue(int(positionMs_ / msPerHundredth));
    updateTimeLabel();
}

void FormControl::setOP_Mode(OP_Mode mode)
{
    SliderStyle *span = ui->sliderSpan;
    if (mode == OP_Edit) {
        ui->stackedMode->setCurrentWidget(ui->pageEdit);
        span->setSpan(span->minimum(), span->maximum());
    } else {
        ui->stackedMode->setCurrentWidget(ui->pagePlay);
    }
    onEditSpanChanged(span->lowerValue(), span->upperValue());
}

void FormControl::checkGroupTimeResult(bool isSameValue)
{
    if (!isSameValue)
        return;
    const auto start =
        CutTime::startOneSecondEarlier(ui->editStartMin->text(), ui->editStartSec->text());
    if (!start)
        return;
    setEditTimeRangeText(CutTime::minutesField(*start), CutTime::secondsField(*start),
                         ui->editEndMin->text(), ui->editEndSec->text());
}

void FormControl::applyLanguage()
{
    updatePlayToolTip();
    ui->btnStop->setToolTip(editModeText(EditText::Stop));
    ui->btnPrevious->setToolTip(editModeText(EditText::Previous));
    ui->btnNext->setToolTip(editModeText(EditText::Next));
    ui->btnStepBack->setToolTip(editModeText(EditText::PreviousFrame));
    ui->btnStepForward->setToolTip(editModeText(EditText::NextFrame));
    ui->comboSpeed->setToolTip(editModeText(EditText::Speed));
    ui->sliderVolume->setToolTip(editModeText(EditText::Volume));
    ui->btnMute->setToolTip(editModeText(EditText::Mute));
    ui->sliderZoom->setToolTip(editModeText(EditText::Zoom));
    ui->labelZoom->setToolTip(editModeText(EditText::Zoom));
    ui->btnFullScreen->setToolTip(editModeText(EditText::FullScreen));
    ui->btnPip->setToolTip(editModeText(EditText::PictureInPicture));
    ui->btnSync->setToolTip(editModeText(EditText::Sync));
    ui->btnEdit->setToolTip(editModeText(EditText::Edit));
    ui->btnEditOk->setText(editModeText(EditText::Ok));
    ui->btnEditCancel->setText(editModeText(EditText::Cancel));
    fitEditPage();
}

void FormControl::applyStyle(int style)
{
    const BarPalette palette = barPalette(style);
    setStyleSheet(barStyleSheet(palette, objectName()));
    // the speed menu as wide as its widest entry, however narrow the box
    QAbstractItemView *speedList = ui->comboSpeed->view();
    speedList->setMinimumWidth(speedList->sizeHintForColumn(0) + 2 * speedList->frameWidth());
    ui->sliderSpan->setColors(palette.groove, palette.accent, palette.handle);
    updateIcons();
}

void FormControl::onPositionAction()
{
    const int hundredths = ui->sliderPosition->sliderPosition();
    positionMs_ = qint64(hundredths) * msPerHundredth;
    updateTimeLabel();
    emit positionSliderMoved(hundredths);
}

void FormControl::onEditSpanChanged(int lower, int upper)
{
    const int startSec = CutTime::secondsFromHundredths(lower);
    const int endSec = CutTime::secondsFromHundredths(upper);
    setEditTimeRangeLeftText(CutTime::rangeText(startSec, endSec));
    // the digits and the cursor of the field the user types in stay as they are
    if (applyingTypedTime_)
        return;
    setEditTimeRangeText(CutTime::minutesField(startSec), CutTime::secondsField(startSec),
                         CutTime::minutesField(endSec), CutTime::secondsField(endSec));
}

void FormControl::onTimeEdited(QLineEdit *field, CutTime::Bound bound)
{
    SliderStyle *span = ui->sliderSpan;
    const CutTime::Bound other = CutTime::otherBound(bound);
    if (!typing_ || typing_->field != field) {
        typing_ = Typing{field,
                         bound,
                         {span->lowerValue(), span->upperValue(), span->maximum()},
                         isNotApplied(other)};
    }
    const auto typed = CutTime::spanWhileTyping(
        bound, typedFields(bound),
        typing_->otherRefused ? std::optional(typedFields(other)) : std::nullopt, typing_->entry);
    markNotApplied(bound, !typed.applied);
    markNotApplied(other, typing_->otherRefused && !typed.otherApplied);
    const QScopedValueRollback<bool> following(applyingTypedTime_, true);
    span->setSpan(typed.lower, typed.upper);
}

void FormControl::onTimeEditFinished(CutTime::Bound bound)
{
    endTyping();
    // also a field left without typing in it
    if (!isNotApplied(bound))
        showAppliedTime(bound);
}

void FormControl::endTyping()
{
    if (!typing_)
        return;
    const Typing typing = *typing_;
    typing_.reset();
    if (!isNotApplied(typing.bound))
        showAppliedTime(typing.bound);
    const CutTime::Bound other = CutTime::otherBound(typing.bound);
    if (typing.otherRefused && !isNotApplied(other))
        showAppliedTime(other);
}

CutTime::TimeFields FormControl::typedFields(CutTime::Bound bound) const
{
    const auto [minutes, seconds] = timeFields(bound);
    return {minutes->text(), seconds->text()};
}

void FormControl::showAppliedTime(CutTime::Bound bound)
{
    const SliderStyle *span = ui->sliderSpan;
    const int sec = CutTime::secondsFromHundredths(
        bound == CutTime::Bound::Start ? span->lowerValue() : span->upperValue());
    setTimeFields(bound, CutTime::minutesField(sec), CutTime::secondsField(sec));
}

void FormControl::setTimeFields(CutTime::Bound bound, const QString &minutes,
                                const QString &seconds)
{
    const auto [minuteField, secondField] = timeFields(bound);
    const std::pair<QLineEdit *, QString> fields[] = {{minuteField, minutes},
                                                      {secondField, seconds}};
    for (const auto &[edit, text] : fields) {
        const QSignalBlocker blocker(edit);
        edit->setText(text);
    }
    markNotApplied(bound, false);
}

void FormControl::markNotApplied(CutTime::Bound bound, bool on)
{
    if (isNotApplied(bound) == on)
        return;
    const auto [minutes, seconds] = timeFields(bound);
    for (QLineEdit *edit : {minutes, seconds}) {
        edit->setProperty(notAppliedProperty, on);
        // the style sheet reads the property when the field is polished
        edit->style()->unpolish(edit);
        edit->style()->polish(edit);
    }
}

bool FormControl::isNotApplied(CutTime::Bound bound) const
{
    return timeFields(bound).first->property(notAppliedProperty).toBool();
}

std::pair<QLineEdit *, QLineEdit *> FormControl::timeFields(CutTime::Bound bound) const
{
    if (bound == CutTime::Bound::Start)
        return {ui->editStartMin, ui->editStartSec};
    return {ui->editEndMin, ui->editEndSec};
}

void FormControl::onEditOkClicked()
{
    endTyping();
    // a time not applied gives way to the span in force, which OK takes
    for (const CutTime::Bound bound : {CutTime::Bound::Start, CutTime::Bound::End}) {
        if (isNotApplied(bound))
            showAppliedTime(bound);
    }
    const auto start = CutTime::parseFields(ui->editStartMin->text(), ui->editStartSec->text());
    const auto end = CutTime::parseFields(ui->editEndMin->text(), ui->editEndSec->text());
    if (start && end)
        emit checkGroupTime(CutTime::formatMinSec(*start), CutTime::formatMinSec(*end));
    // The answer to checkGroupTime arrives directly and may have moved the start.
    const auto range = CutTime::parseRangeText(getEditTimeRangeLeftText());
    if (CutTime::decide(range, durationMs_) == CutTime::Decision::Ok)
        emit editOk();
    else
        emit edit_warning();
}

bool FormControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->pageEdit && event->type() == QEvent::Resize)
        fitEditPage();
    return QWidget::eventFilter(watched, event);
}

void FormControl::fitEditPage()
{
    QLineEdit *const fields[] = {ui->editStartMin, ui->editStartSec, ui->editEndMin,
                                 ui->editEndSec};
    const QWidget *const givers[] = {ui->sliderSpan, ui->labelCutTime, ui->labelEditTimeRange,
                                     fields[0],      fields[1],        fields[2],
                                     fields[3]};
    // everything else keeps its size: margins, gaps, colons, tilde and buttons
    const QBoxLayout *row = ui->layout_pageEdit;
    const QMargins margins = row->contentsMargins();
    int keptPx = margins.left() + margins.right();
    int shown = 0; // spacing lies between the items that show, not beside spacers
    for (int i = 0; i < row->count(); ++i) {
        QLayoutItem *item = row->itemAt(i);
        shown += item->isEmpty() ? 0 : 1;
        if (std::find(std::begin(givers), std::end(givers), item->widget()) == std::end(givers))
            keptPx += item->sizeHint().width();
    }
    keptPx += row->spacing() * std::max(shown - 1, 0);
    const QString label = editModeText(EditText::CutTime);
    const auto fontOf = [this](int px) {
        QFont font = this->font();
        font.setPixelSize(px);
        return font;
    };
    const auto measure = [&](int px) {
        const QFontMetrics metrics(fontOf(px));
        int fieldsPx = 0;
        for (const QLineEdit *field : fields)
            fieldsPx += fieldWidth(field, metrics);
        return CutBarFit::Widths{metrics.horizontalAdvance(label),
                                 metrics.horizontalAdvance(rangeText_), fieldsPx};
    };
    // the page's least width, whatever the texts show now: the labels may vanish, the fields
    // take the smallest font
    ui->pageEdit->setMinimumWidth(keptPx + CutBarFit::leastSliderPx +
                                  measure(CutBarFit::smallestFontPx).fieldsPx);
    const CutBarFit::Plan plan =
        CutBarFit::plan(ui->pageEdit->width() - keptPx - CutBarFit::leastSliderPx,
                        QFontInfo(font()).pixelSize(), measure);

    // only the size is set: the family follows the application's font of the language
    QFont size;
    size.setPixelSize(plan.fontPx);
    const QFontMetrics metrics(fontOf(plan.fontPx));
    for (QLineEdit *field : fields) {
        field->setFont(size);
        field->setFixedWidth(fieldWidth(field, metrics));
    }
    for (QLabel *text : {ui->labelCutTime, ui->labelEditTimeRange})
        text->setFont(size);
    showElided(ui->labelCutTime, label, plan.labelPx);
    showElided(ui->labelEditTimeRange, rangeText_, plan.rangePx);
}

void FormControl::updatePlayToolTip()
{
    ui->btnPlay->setToolTip(
        editModeText(playState_ == PlayingState ? EditText::Pause : EditText::Play));
}

void FormControl::updateIcons()
{
    const bool playing = playState_ == PlayingState;
    setSkinIcon(ui->btnPlay,
                playing ? QStringLiteral("playbar_pause") : QStringLiteral("playbar_play"),
                playing ? QStringLiteral("\u275a\u275a") : QStringLiteral("\u25b6"));
    setSkinIcon(ui->btnStop, QStringLiteral("playbar_stop"), QStringLiteral("\u25a0"));
    setSkinIcon(ui->btnPrevious, QStringLiteral("playbar_previous"), QStringLiteral("\u23ee"));
    setSkinIcon(ui->btnNext, QStringLiteral("playbar_next"), QStringLiteral("\u23ed"));
    setSkinIcon(ui->btnStepBack, QStringLiteral("playbar_last_frame"), QStringLiteral("\u25c0|"));
    setSkinIcon(ui->btnStepForward, QStringLiteral("playbar_next_frame"),
                QStringLiteral("|\u25b6"));
    const bool muted = ui->btnMute->isChecked();
    setSkinIcon(ui->btnMute,
                muted ? QStringLiteral("playbar_mute") : QStringLiteral("playbar_volume"),
                muted ? QStringLiteral("\u2715") : QStringLiteral("\u266a"));
    setSkinIcon(ui->btnSync, QStringLiteral("playbar_sync"), QStringLiteral("\u21c4"));
    setSkinIcon(ui->btnPip, QStringLiteral("playbar_pip"), QStringLiteral("\u25a3"));
    setSkinIcon(ui->btnEdit, QStringLiteral("playbar_edit"), QStringLiteral("\u2702"));
    setSkinIcon(ui->btnFullScreen, QStringLiteral("playbar_fullscreen"), QStringLiteral("\u2922"));
    setSkinPixmap(ui->labelZoom, QStringLiteral("playbar_zoom"), iconSide,
                  QStringLiteral("\u2295"));
}

void FormControl::updateTimeLabel()
{
    ui->labelTime->setText(CutTime::formatClock(positionMs_, durationMs_) + QStringLiteral(" / ") +
                           CutTime::formatClock(durationMs_, durationMs_));
}
