#include "formlist.h"

#include "appfont.h"
#include "appglobals.h"
#include "listrows.h"
#include "ui_formlist.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

using namespace ListRows;

FormList::FormList(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::FormList>())
{
    ui->setupUi(this);
    setAcceptDrops(true);

    btnAdd = new QPushButton;
    btnRemove = new QPushButton;
    btnGroup = new QPushButton;
    btnUngroup = new QPushButton;
    separatorLabel = new QLabel;
    separatorLabel->setFixedHeight(1);
    tableWidget = new QTableWidget;
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    headerTableWidget = new QTableWidget;
    headerTableWidget->setObjectName(QStringLiteral("headerTableWidget"));
    for (QPushButton *button : {btnAdd, btnRemove, btnGroup, btnUngroup})
        button->setFont(getAppFont(true));
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnRemove->setObjectName(QStringLiteral("btnRemove"));
    btnGroup->setObjectName(QStringLiteral("btnGroup"));
    btnUngroup->setObjectName(QStringLiteral("btnUngroup"));

    initLayout();
    // the list's colours are the same in every style and need a dark ground
    setStyleSheet(
        QStringLiteral("QWidget { border: none; } FormList { background-color: #222429; }"));
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);

    connect(btnRemove, &QPushButton::clicked, this, &FormList::onRemoveList);
    connect(btnGroup, &QPushButton::clicked, this, &FormList::onGroup);
    connect(btnUngroup, &QPushButton::clicked, this, &FormList::onUngroup);
    for (QPushButton *button : {btnAdd, btnRemove, btnGroup, btnUngroup})
        connect(button, &QPushButton::clicked, this, &FormList::clearFocusBtn);

    setupTables();
}

FormList::~FormList() = default;

void FormList::setupTables()
{
    tableWidget->setColumnCount(ColumnCount);
    headerTableWidget->setColumnCount(5);
    setListHeaderTexts();
    retranslateText();
    tableWidget->setColumnHidden(ColPath, true);
    tableWidget->setColumnHidden(ColDurations, true);
    tableWidget->horizontalHeader()->hide();
    tableWidget->horizontalHeader()->setMinimumSectionSize(1); // the mark column is narrow
    tableWidget->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    tableWidget->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);

    headerTableWidget->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    headerTableWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerTableWidget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    for (QTableWidget *table : {tableWidget, headerTableWidget}) {
        table->verticalHeader()->hide();
        table->setShowGrid(false);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::ExtendedSelection);
        table->setFocusPolicy(Qt::NoFocus);
        table->horizontalHeader()->setSectionsClickable(false);
        table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

    connect(tableWidget->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &FormList::setScrollBarValue);
    connect(headerTableWidget->horizontalHeader(), &QHeaderView::sectionResized, this,
            &FormList::setTabelWidgetWidth);
    connect(headerTableWidget->horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this,
            &FormList::setTabelWidgetHeaderDoubleClick);
    // the relay first, then the list's own handling
    connect(tableWidget, &QTableWidget::cellDoubleClicked, this,
            &FormList::onCellSelectedTriggered);
    connect(tableWidget, &QTableWidget::cellDoubleClicked, this, &FormList::onCellSelected);
    connect(this, &FormList::deleteListTriggered, this, &FormList::onDeleteList);
}

// ---- rows

bool FormList::hasRow(int row) const
{
    return row >= 0 && row < tableWidget->rowCount();
}

bool FormList::isGroupRow(int row) const
{
    return isGroupKey(cell(row, ColResolution));
}

bool FormList::isRowHidden(int row) const
{
    return tableWidget->isRowHidden(row);
}

QString FormList::cell(int row, int column) const
{
    const QTableWidgetItem *item = hasRow(row) ? tableWidget->item(row, column) : nullptr;
    return item ? item->text() : QString();
}

void FormList::setCell(int row, int column, const QString &text)
{
    QTableWidgetItem *item = tableWidget->item(row, column);
    if (!item && hasRow(row)) {
        item = new QTableWidgetItem;
        tableWidget->setItem(row, column, item);
    }
    if (!item)
        return;
    item->setText(text);
    if (column == ColName)
        item->setToolTip(text); // a name cut short by its column is read whole here
}

QStringList FormList::rowCells(int row) const
{
    QStringList cells;
    for (int column = 0; column < ColumnCount; ++column)
        cells << cell(row, column);
    return cells;
}

void FormList::setRowCells(int row, const QStringList &cells)
{
    for (int column = 0; column < ColumnCount; ++column)
        setCell(row, column, cells.value(column));
}

QVector<int> FormList::selectedRows() const
{
    QVector<int> rows;
    for (const QTableWidgetItem *item : tableWidget->selectedItems()) {
        if (!rows.contains(item->row()))
            rows.append(item->row());
    }
    return rows;
}

int FormList::nextVisibleRow(int row) const
{
    for (int r = qMax(row + 1, 0); r < tableWidget->rowCount(); ++r) {
        if (!isRowHidden(r))
            return r;
    }
    return -1;
}

int FormList::previousVisibleRow(int row) const
{
    for (int r = qMin(row, tableWidget->rowCount()) - 1; r >= 0; --r) {
        if (!isRowHidden(r))
            return r;
    }
    return -1;
}

int FormList::nextMainCameraRow(int row) const
{
    const QString playing = hasRow(row) && !isGroupRow(row) ? cell(row, ColName) : QString();
    for (int r = nextVisibleRow(row); r >= 0; r = nextVisibleRow(r)) {
        if (playing.isEmpty() || isGroupRow(r) || !isPartnerName(playing, cell(r, ColName)))
            return r;
    }
    return -1;
}

int FormList::rowOfPath(const QString &path) const
{
    for (int row = 0; row < tableWidget->rowCount(); ++row) {
        if (cell(row, ColPath) == path)
            return row;
    }
    return -1;
}

int FormList::playingRow(const QString &path) const
{
    if (path.isEmpty())
        return -1;
    const QString firstMember = path + QLatin1Char(';');
    int groupRow = -1;
    for (int row = 0; row < tableWidget->rowCount(); ++row) {
        if (isRowHidden(row))
            continue;
        const QString rowPath = cell(row, ColPath);
        if (rowPath == path)
            return row;
        if (groupRow < 0 && isGroupRow(row) && rowPath.startsWith(firstMember))
            groupRow = row;
    }
    return groupRow;
}

void FormList::markPlayingRows(const QString &mainPath, const QString &subPath)
{
    const int mainRow = playingRow(mainPath);
    const int subRow = playingRow(subPath);
    for (int row = 0; row < tableWidget->rowCount(); ++row) {
        if (row != mainRow && row != subRow && !cell(row, ColMark).isEmpty())
            setCell(row, ColMark, QString());
    }
    if (mainRow >= 0) {
        curSelectFile_ = mainRow;
        setCell(mainRow, ColMark, mainMark());
    }
    if (subRow >= 0 && subRow != mainRow) {
        curSubSelectFile_ = subRow;
        subFileFound_ = true;
        setCell(subRow, ColMark, gDisplayMode == 1 ? subMark() : QString());
    }
}

void FormList::moveMainMark(int row)
{
    if (hasRow(curSelectFile_))
        setCell(curSelectFile_, ColMark, QString());
    curSelectFile_ = row;
    setCell(row, ColMark, mainMark());
}

void FormList::makeCurrent(int row)
{
    tableWidget->setCurrentCell(row, ColMark,
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FormList::emitFileRow(int row)
{
    emit mediaFileTriggered({QUrl::fromLocalFile(cell(row, ColPath))});
}

void FormList::startGroupWithSub(int row)
{
    playGroup(row);
    if (!findSubFile())
        emit onReleaseMediaSub();
    else
        playGroupSub(curSubSelectFile_);
}

void FormList::applyRowFonts(int row, bool bold)
{
    QFont mark = loadCoffeeFont();
    mark.setPointSize(markPointSize);
    mark.setWeight(50);
    QFont text(getAppFontFamily());
    text.setBold(bold);
    text.setPixelSize(itemPixelSize);
    for (int column = 0; column < ColumnCount; ++column) {
        if (QTableWidgetItem *item = tableWidget->item(row, column)) {
            item->setFont(column == ColMark ? mark : text);
            if (column == ColMark)
                item->setTextAlignment(Qt::AlignCenter);
        }
    }
}

void FormList::clearShownSubMark()
{
    if (cell(curSubSelectFile_, ColMark) == subMark())
        setCell(curSubSelectFile_, ColMark, QString());
}

void FormList::shiftRowsAfterRemoval(int removedRow)
{
    if (curSelectFile_ >= removedRow)
        curSelectFile_ = qMax(curSelectFile_ - 1, 0);
    if (curSubSelectFile_ >= removedRow)
        curSubSelectFile_ = qMax(curSubSelectFile_ - 1, 0);
}

// ---- slots and operations

void FormList::onCurrentPlay(QString path)
{
    currentPlayPath = path;
}

void FormList::onInsertList(FileInfo_t fileinfo)
{
    // paths are compared exactly: Linux file names are case-sensitive
    if (rowOfPath(fileinfo.filePath) >= 0 || fileinfo.fileName.isEmpty())
        return;
    const int row = tableWidget->rowCount();
    tableWidget->insertRow(row);
    const QString date = dateAsIs ? fileinfo.date : displayDate(fileinfo.date, gDateFormat);
    const QStringList cells{fileinfo.mark,     fileinfo.fileName, date,
                            fileinfo.size,     fileinfo.duration, fileinfo.resolution,
                            fileinfo.filePath, fileinfo.durations};
    for (int column = 0; column < ColumnCount; ++column)
        setCell(row, column, cells.at(column));
    tableWidget->horizontalHeader()->setSectionResizeMode(ColMark, QHeaderView::Fixed);

    moveMainMark(row);
    if (findSubFile()) {
        onSubIndex();
        emit subMediaTriggerd();
    }
    makeCurrent(row);
    if (itemPixelSize != 0)
        applyRowFonts(row, false);
}

void FormList::refreshFile(const FileInfo_t &info)
{
    const int row = rowOfPath(info.filePath);
    if (row < 0 || info.filePath.isEmpty())
        return;
    setCell(row, ColDate, displayDate(info.date, gDateFormat));
    setCell(row, ColSize, info.size);
    setCell(row, ColDuration, info.duration);
    setCell(row, ColResolution, info.resolution);
    refreshGroupsHolding(info.filePath);
}

void FormList::updateDateFormat(int format)
{
    for (int row = 0; row < tableWidget->rowCount(); ++row)
        setCell(row, ColDate, convertDate(cell(row, ColDate), gDateFormat, format));
}

void FormList::onCellSelected(int row, int column)
{
    Q_UNUSED(column)
    if (!hasRow(row))
        return;
    if (hasRow(curSelectFile_) && curSelectFile_ != row)
        setCell(curSelectFile_, ColMark, QString());
    cellSelected = true;
    curSelectFile_ = row;
    setCell(row, ColMark, mainMark());

    if (isGroupRow(row)) {
        if (!findSubFile())
            emit onReleaseMediaSub();
        else if (checkSubGroupFile())
            playGroupSub(curSubSelectFile_);
        playGroup(row);
        emit autoPlayTriggered();
        return;
    }
    emitFileRow(row);
    emit autoPlayTriggered();
    if (cell(row, ColResolution) == unknownResolution())
        emit updateResolutionTriggerd(row);
}

void FormList::onNextFileTriggered()
{
    if (!currentPlayPath.isEmpty() && tableWidget->rowCount() >= 2)
        stepTo(nextVisibleRow(curSelectFile_));
}

void FormList::onPreviousFileTriggered()
{
    if (!currentPlayPath.isEmpty() && tableWidget->rowCount() >= 2)
        stepTo(previousVisibleRow(curSelectFile_));
}

void FormList::stepTo(int target)
{
    // no wrap-around: without a target nothing happens
    if (target < 0)
        return;
    moveMainMark(target);
    makeCurrent(target);
    if (isGroupRow(target))
        startGroupWithSub(target);
    else
        emitFileRow(target);
}

bool FormList::setNextFileMedia()
{
    if (cellSelected)
        return false;
    const int target = nextMainCameraRow(curSelectFile_);
    if (target < 0)
        return false;
    QItemSelectionModel *selection = tableWidget->selectionModel();
    const auto rowSpan = [this](int row) {
        return QItemSelection(tableWidget->model()->index(row, ColMark),
                              tableWidget->model()->index(row, ColResolution));
    };
    if (hasRow(curSelectFile_))
        selection->select(rowSpan(curSelectFile_), QItemSelectionModel::Deselect);
    moveMainMark(target);
    selection->select(rowSpan(target), QItemSelectionModel::Select);

    if (isGroupRow(target))
        startGroupWithSub(target);
    else
        emitFileRow(target);
    emit autoPlayTriggered();
    return true;
}

void FormList::resetCellSelectedFlag()
{
    cellSelected = false;
}

void FormList::onRemoveList()
{
    const QVector<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    QList<QString> paths;
    bool removedMain = false;
    bool removedSub = false;
    for (int row : rows) {
        removedMain = removedMain || row == curSelectFile_;
        removedSub = removedSub || (subFileFound_ && row == curSubSelectFile_);
        if (isGroupRow(row))
            paths += groupTable.values(cell(row, ColResolution));
        else
            paths << cell(row, ColPath);
    }
    const bool removedPlaying = removedMain || removedSub;
    if (removedPlaying) {
        if (hasRow(curSelectFile_))
            setCell(curSelectFile_, ColMark, QString());
        if (hasRow(curSubSelectFile_) && curSubSelectFile_ != curSelectFile_)
            setCell(curSubSelectFile_, ColMark, QString());
    }
    ungroupForRemove = true;
    onUngroup();
    ungroupForRemove = false;

    emit removeListFile();
    emit deleteListTriggered(paths);
    if (!removedPlaying)
        return;
    emit stopMediaTriggerd();
    // nothing of a removed file stays in its player: the main row's removal empties both
    // cameras (the second one shows that row's partner), the second row's only its own
    if (removedMain)
        emit onReleaseMedia();
    else
        emit onReleaseMediaSub();
}

void FormList::onDeleteList(QList<QString> pathList)
{
    for (const QString &path : qAsConst(pathList)) {
        const int row = rowOfPath(path);
        if (row < 0)
            continue;
        shiftRowsAfterRemoval(row);
        tableWidget->removeRow(row);
    }
}

void FormList::clearList()
{
    if (tableWidget->rowCount() == 0)
        return;
    emit stopMediaTriggerd();
    groupCounter = 1;
    groupCount = 0;
    curSelectFile_ = 0;
    curSubSelectFile_ = 0;
    subFileFound_ = false;
    groupTable.clear();
    tableWidget->setRowCount(0);
}

void FormList::setSubIndexMark()
{
    if (hasRow(curSubSelectFile_) && subFileFound_)
        setCell(curSubSelectFile_, ColMark, subMark());
}

void FormList::clearSubIndexMark()
{
    if (hasRow(curSubSelectFile_) && curSubSelectFile_ != curSelectFile_)
        setCell(curSubSelectFile_, ColMark, QString());
}

void FormList::clearMainIndexMark()
{
    if (hasRow(curSelectFile_))
        setCell(curSelectFile_, ColMark, QString());
}

void FormList::clearFocusBtn()
{
    for (QPushButton *button : {btnAdd, btnRemove, btnGroup, btnUngroup})
        button->clearFocus();
    activateWindow();
}

// ---- getters

QString FormList::currentFilePath() const
{
    return cell(curSelectFile_, ColPath);
}

QString FormList::currentFileSize() const
{
    return cell(curSelectFile_, ColSize);
}

QString FormList::currentSubFilePath() const
{
    return cell(curSubSelectFile_, ColPath);
}

QString FormList::fileDuration(int row) const
{
    return cell(row, ColDuration);
}

QString FormList::filePath(int row) const
{
    return cell(row, ColPath);
}

int FormList::rowCount() const
{
    return tableWidget->rowCount();
}

int FormList::findRowByPath(const QString &path) const
{
    return qMax(rowOfPath(path), 0);
}
