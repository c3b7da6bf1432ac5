#include "calendarview.h"

#include "calendardelegate.h"
#include "calendaritem.h"
#include "calendarmodel.h"

#include <QDate>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

using namespace CalendarRules;

namespace {
constexpr int rowCount = 1 + weekRows; // header and six week rows
constexpr int basePageHeight = 422;
constexpr int yearRowWidth = 128;
constexpr int titleDelayMs = 500;

int bitOf(const Cell &cell, int row)
{
    return cell.row == row && cell.column >= 0 && cell.column < weekColumns ? 1 << cell.column : 0;
}
} // namespace

CalendarView::CalendarView(QWidget *parent)
    : QListView(parent), model_(new CalendarModel(this)), delegate_(new CalendarDelegate(this))
{
    setModel(model_);
    setItemDelegate(delegate_);
    connect(model_, &CalendarModel::pressYearModeTriggered, this, &CalendarView::pressCalendarMode);
    connect(model_, &CalendarModel::releaseYearModeTriggered, this,
            &CalendarView::releaseCalendarMode);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setDisabled(true);
    verticalScrollBar()->setDisabled(true);
    setAutoScroll(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);

    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    shownYear_ = today.mid(0, 4).toInt();
    shownMonth_ = today.mid(4, 2).toInt();
    calcFirstWeekday(shownYear_, shownMonth_);
    buildMonthGrid(shownYear_, shownMonth_);
    QTimer::singleShot(titleDelayMs, this, &CalendarView::setTitle);
}

CalendarView::~CalendarView() = default;

template <typename Change> void CalendarView::changeRows(Change change)
{
    setUpdatesEnabled(false);
    for (int row = 0; row < model_->rowCount(); ++row)
        change(row, *model_->getItem(row));
    setUpdatesEnabled(true);
    viewport()->update();
}

void CalendarView::calcFirstWeekday(int year, int month)
{
    const MonthStart start = monthStart(year, month);
    firstColumn_ = start.firstColumn;
    firstRow_ = start.firstRow;
}

void CalendarView::buildMonthGrid(int year, int month)
{
    const QSize size(width() / 5, static_cast<int>(height() / 10.5));
    for (int row = 0; row < rowCount; ++row) {
        auto *item = new CalendarItem;
        item->sizeHint = size;
        item->rowKind = row == 0 ? CalendarRowKind::header : CalendarRowKind::week;
        if (row > 0) {
            item->firstDay = rowFirstDay(row - 1, firstColumn_);
            item->daysInMonth = daysInMonth(year, month);
        }
        model_->addItem(item);
    }
}

int CalendarView::dayAt(int row, int column) const
{
    return CalendarRules::dayAt(row, column, firstColumn_, daysInMonth(shownYear_, shownMonth_));
}

QString CalendarView::getRangeState(int length)
{
    const RangeState state = rangeState(selectedDate_, length, shownYear_, shownMonth_);
    spillDays_ = state.spillDays;
    return state.text;
}

void CalendarView::applyDayMarks(const Cell &selected, const Cell &highlight)
{
    const int period = getChartPeriod();
    const QString range = period != ChartPeriodType::none
                              ? getRangeState(period == ChartPeriodType::sevenDays ? 7 : 28)
                              : QString();
    const int days = daysInMonth(shownYear_, shownMonth_);
    changeRows([&](int row, CalendarItem &item) {
        if (period != ChartPeriodType::none)
            item.rangeState = range;
        if (row == 0)
            return;
        const int r = row - 1;
        item.dataDayBits = rowBits(marks_.day[r], weekColumns);
        item.selectedDayBits = bitOf(selected, r);
        item.highlightDayBits = bitOf(highlight, r);
        item.firstDay = rowFirstDay(r, firstColumn_);
        item.daysInMonth = days;
    });
}

void CalendarView::applyMonthMarks(const Cell &selectedMonth)
{
    const DateParts selected = dateParts(selectedDate_);
    const bool highlightShown = highlightYear_ == shownYear_ &&
                                (shownYear_ == selected.year || shownYear_ == selected.year + 1);
    highlightMonthCell_ = highlightShown ? monthCell(highlightMonth_) : Cell();
    changeRows([&](int row, CalendarItem &item) {
        if (row >= yearRows)
            return;
        item.dataMonthBits = rowBits(marks_.month[row], yearColumns);
        item.selectedMonthBits = shownYear_ == selected.year ? bitOf(selectedMonth, row) : 0;
        item.highlightMonthBits = bitOf(highlightMonthCell_, row);
    });
}

void CalendarView::clearDayMarks()
{
    for (auto &row : marks_.day)
        std::fill(std::begin(row), std::end(row), 0);
}

void CalendarView::clearMarks()
{
    clearDayMarks();
    applyDayMarks(selectedCell_, highlightCell_);
}

void CalendarView::setDataDays(const QStringList &names)
{
    dataNames_ = names;
    if (markNames(names, shownYear_, shownMonth_, marks_))
        applyDayMarks(selectedCell_, highlightCell_);
    applyMonthMarks(selectedMonthCell_);
}

void CalendarView::remarkDataDays()
{
    const bool dayMarked = markNames(dataNames_, shownYear_, shownMonth_, marks_);
    const DateParts selected = dateParts(selectedDate_);
    if (selected.year == shownYear_ && selected.month == shownMonth_ && !selectedDate_.isEmpty())
        selectedCell_ = dayCell(selected.day, firstColumn_);
    if (dayMarked)
        applyDayMarks(selectedCell_, highlightCell_);
}

void CalendarView::remarkShownDays()
{
    recomputeHighlightCell();
    remarkDataDays();
    applyDayMarks(selectedCell_, highlightCell_);
}

void CalendarView::markSelectedMonth()
{
    if (selectedDate_.isEmpty())
        return;
    selectedMonthCell_ = monthCell(dateParts(selectedDate_).month);
    applyMonthMarks(selectedMonthCell_);
}

void CalendarView::resetMonthMarks()
{
    for (auto &row : marks_.month)
        std::fill(std::begin(row), std::end(row), 0);
    if (!selectedDate_.isEmpty())
        selectedMonthCell_ = monthCell(dateParts(selectedDate_).month);
    applyMonthMarks(selectedMonthCell_);
}

void CalendarView::recomputeHighlightCell()
{
    highlightCell_ =
        highlightCell(highlightDay_, selectedDate_, shownYear_, shownMonth_, spillDays_);
}

int CalendarView::getChartPeriod() const
{
    const CalendarItem *first = model_->getItem(0);
    return first ? first->chartPeriod : ChartPeriodType::none;
}

void CalendarView::setChartPeriod(int period)
{
    const QString range = period != ChartPeriodType::none
                              ? getRangeState(period == ChartPeriodType::sevenDays ? 7 : 28)
                              : QString();
    changeRows([&](int, CalendarItem &item) {
        item.chartPeriod = period;
        if (period != ChartPeriodType::none)
            item.rangeState = range;
    });
}

int CalendarView::monthRowHeight() const
{
    return static_cast<int>((pageHeight_ - basePageHeight) * 0.1038 + 45);
}

int CalendarView::yearRowHeight() const
{
    return static_cast<int>((pageHeight_ - basePageHeight) * 0.3 + 100);
}

void CalendarView::setSize(int width, int height)
{
    Q_UNUSED(width)
    pageHeight_ = height;
    changeRows([&](int, CalendarItem &item) {
        item.sizeHint.setHeight(item.mode == CalendarMode::year ? yearRowHeight()
                                                                : monthRowHeight());
    });
    reset();
}

void CalendarView::setTitle()
{
    emit setCalendarTitle_s(shownYear_, shownMonth_, yearMode_);
}

void CalendarView::setPreMonth()
{
    stepMonth(-1);
}

void CalendarView::setNextMonth()
{
    stepMonth(1);
}

void CalendarView::stepMonth(int delta)
{
    if (yearMode_) {
        shownYear_ += delta;
        selectedMonthCell_ = Cell();
        applyMonthMarks(selectedMonthCell_);
        markSelectedMonth();
    } else {
        shownMonth_ += delta;
        if (shownMonth_ > 12) {
            shownMonth_ = 1;
            ++shownYear_;
        } else if (shownMonth_ < 1) {
            shownMonth_ = 12;
            --shownYear_;
        }
    }
    emit setCalendarTitle_s(shownYear_, shownMonth_, yearMode_);
    calcFirstWeekday(shownYear_, shownMonth_);
    clearMarks();
    resetMonthMarks();
    selectedCell_ = Cell();
    applyDayMarks(selectedCell_, highlightCell_);
    remarkShownDays();
    applyMonthMarks(selectedMonthCell_);
}

void CalendarView::drawSelectedCircle(QModelIndex index, int selected)
{
    const int row = index.row() - 1;
    if (row < 0 || row >= weekRows || selected < 0 || selected >= weekColumns)
        return;
    const int day = dayAt(row, selected);
    if (day == 0)
        return; // no day of the shown month in this cell
    highlightDay_ = day;
    selectedDate_ = dateText(shownYear_, shownMonth_, day);
    highlightYear_ = shownYear_;
    highlightMonth_ = shownMonth_;
    selectedCell_ = Cell{row, selected};
    highlightCell_ = selectedCell_;
    if (marks_.day[row][selected] == 1)
        applyDayMarks(selectedCell_, highlightCell_);
}

void CalendarView::drawSelectedHighlightCircle(int day)
{
    highlightDay_ = day;
    const DateParts selected = dateParts(selectedDate_);
    highlightYear_ = selected.year;
    highlightMonth_ = selected.month;
    if (day < selected.day)
        nextMonth(highlightYear_, highlightMonth_);
    recomputeHighlightCell();
    if (day != 0)
        applyDayMarks(selectedCell_, highlightCell_);
    markSelectedMonth();
}

void CalendarView::changeCalendarMode()
{
    const int height = yearRowHeight();
    changeRows([&](int row, CalendarItem &item) {
        item.mode = CalendarMode::year;
        item.pressedMonthBits = 0;
        item.sizeHint = QSize(yearRowWidth, row < yearRows ? height : 0);
    });
    resetMonthMarks();
    remarkShownDays();
    applyMonthMarks(selectedMonthCell_);
    yearMode_ = true;
    emit setCalendarTitle_s(shownYear_, shownMonth_, true);
    reset();
}

void CalendarView::pressCalendarMode(QModelIndex index, int column)
{
    if (column < 0 || column >= yearColumns)
        return;
    changeRows([&](int row, CalendarItem &item) {
        item.pressedMonthBits = row == index.row() ? 1 << column : 0;
    });
}

void CalendarView::releaseCalendarMode(QModelIndex index, int column)
{
    if (index.row() < 0 || index.row() >= yearRows || column < 0 || column >= yearColumns)
        return;
    const int height = monthRowHeight();
    changeRows([&](int, CalendarItem &item) {
        item.mode = CalendarMode::month;
        item.pressedMonthBits = 0;
        item.sizeHint = QSize(yearRowWidth, height);
    });
    reset();
    yearMode_ = false;
    shownMonth_ = index.row() * yearColumns + column + 1;
    emit setCalendarTitle_s(shownYear_, shownMonth_, false);
    calcFirstWeekday(shownYear_, shownMonth_);
    clearMarks();
    selectedCell_ = Cell();
    applyDayMarks(selectedCell_, highlightCell_);
    remarkShownDays();
}

void CalendarView::clearDataDays()
{
    dataNames_.clear();
    highlightYear_ = -1;
    highlightMonth_ = -1;
}

void CalendarView::clearHighlightCell()
{
    highlightCell_ = Cell();
    applyDayMarks(selectedCell_, highlightCell_);
}

void CalendarView::clearSelectedCell()
{
    selectedCell_ = Cell();
    applyDayMarks(selectedCell_, highlightCell_);
}

void CalendarView::clearSelectedMonth()
{
    selectedMonthCell_ = Cell();
    applyMonthMarks(selectedMonthCell_);
}
