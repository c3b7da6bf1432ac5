#include "formcalendarview.h"

#include "appfont.h"
#include "calendarmodel.h"
#include "calendarsizes.h"
#include "calendarview.h"
#include "ui_formcalendarview.h"

namespace {
// The folder button's face; the panel uses fixed image paths, not the skin.
const QString folderButtonSheet =
    QStringLiteral("QPushButton {border-image:url(:/image/TALVEXStyle/playback_calendar_folder);}"
                   "QPushButton:pressed "
                   "{border-image:url(:/image/TALVEXStyle/playback_calendar_folder_selected);}");
constexpr int titlePixelSize = 18;
} // namespace

FormCalendarView::FormCalendarView(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormCalendarView>()), view_(new CalendarView)
{
    ui->setupUi(this);
    ui->calendarGridLayout->addWidget(view_);
    ui->selectedFolderBtn->setStyleSheet(folderButtonSheet);
    ui->selectedFolderBtn->setFixedSize(33, 33);

    QFont titleFont = getAppFont(true);
    titleFont.setItalic(true);
    titleFont.setPixelSize(titlePixelSize);
    ui->dateTitle->setFont(titleFont);

    connect(ui->preMonthBtn, &QPushButton::clicked, view_, &CalendarView::setPreMonth);
    connect(ui->nextMonthBtn, &QPushButton::clicked, view_, &CalendarView::setNextMonth);
    connect(view_, &CalendarView::setCalendarTitle_s, this, &FormCalendarView::setCalendarTitle);
    // Order matters: the view stores the pressed day before the panel reads it.
    connect(view_->calendarModel(), &CalendarModel::clickEvent, view_,
            &CalendarView::drawSelectedCircle);
    connect(view_->calendarModel(), &CalendarModel::clickEvent, this,
            &FormCalendarView::clickCurSelectedDate);
    connect(ui->selectedFolderBtn, &QPushButton::clicked, this,
            &FormCalendarView::openfile_trigger);
    connect(ui->dateTitle, &QPushButton::clicked, view_, &CalendarView::changeCalendarMode);
}

FormCalendarView::~FormCalendarView() = default;

void FormCalendarView::clearMarks()
{
    view_->clearMarks();
}

void FormCalendarView::setDataDays(const QStringList &names)
{
    view_->setDataDays(names);
}

void FormCalendarView::resetCalendar()
{
    view_->clearDataDays();
    view_->clearHighlightCell();
    view_->clearSelectedCell();
    view_->clearMarks();
    view_->resetMonthMarks();
    view_->clearSelectedMonth();
}

int FormCalendarView::getChartPeriod() const
{
    return view_->getChartPeriod();
}

void FormCalendarView::setChartPeriod(int period)
{
    view_->setChartPeriod(period);
}

void FormCalendarView::drawSelectedHighlightCircle(int day)
{
    view_->drawSelectedHighlightCircle(day);
}

void FormCalendarView::clickCurSelectedDate(QModelIndex index, int column)
{
    Q_UNUSED(index)
    Q_UNUSED(column)
    emit clickEvent_trigger(view_->getSelectedDate());
}

void FormCalendarView::setCalendarTitle(int year, int month, bool onlyYear)
{
    onlyYear_ = onlyYear;
    ui->dateTitle->setText(CalendarSizes::titleText(year, month, onlyYear));
    QFont font = ui->dateTitle->font();
    const int pointSize = onlyYear ? yearTitlePointSize_ : monthTitlePointSize_;
    if (pointSize > 0)
        font.setPointSize(pointSize);
    ui->dateTitle->setFont(font);
}

void FormCalendarView::setSize(int width, int height)
{
    const CalendarSizes::PanelSizes s = CalendarSizes::panelSizes(height);
    ui->gridWidget->setFixedSize(width, height);
    ui->calendarview->setFixedWidth(width);
    ui->calendarview->setFixedHeight(s.calendarHeight);
    ui->calendarview->setContentsMargins(s.calendarSideMargin, s.calendarTopMargin,
                                         s.calendarSideMargin, 0);
    ui->folderGridLayout->setContentsMargins(s.folderLeftMargin, 0, 5, 0);
    ui->selectedFolderBtn->setFixedSize(s.folderButton, s.folderButton);
    ui->selectedFolderBtn->setIconSize(QSize(s.folderButton, s.folderButton));
    ui->preMonthBtn->setFixedSize(s.arrowButton, s.arrowButton);
    ui->preMonthBtn->setIconSize(QSize(s.arrowButton, s.arrowButton));
    ui->nextMonthBtn->setFixedSize(s.arrowButton, s.arrowButton);
    ui->nextMonthBtn->setIconSize(QSize(s.arrowButton, s.arrowButton));
    monthTitlePointSize_ = s.monthTitlePointSize;
    yearTitlePointSize_ = s.yearTitlePointSize;
    QFont font = ui->dateTitle->font();
    font.setPointSize(onlyYear_ ? yearTitlePointSize_ : monthTitlePointSize_);
    ui->dateTitle->setFont(font);
    ui->dateTitle->setFixedSize(s.titleSize);
    view_->setSize(width, height);
}
