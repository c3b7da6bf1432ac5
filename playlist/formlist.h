// The play list beside the video: one row per opened file or group, the marks of the rows the two
// cameras play, grouping, and the chosen files handed on by signal. GUI thread only.
#pragma once

#include "sharedtypes.h"

#include <QList>
#include <QMultiMap>
#include <QString>
#include <QTime>
#include <QUrl>
#include <QVector>
#include <QWidget>

#include <memory>

class QGridLayout;
class QLabel;
class QPushButton;
class QTableWidget;
struct ListSizes;

namespace Ui {
class FormList;
}

class FormList : public QWidget
{
    Q_OBJECT
public:
    explicit FormList(QWidget *parent = nullptr);
    ~FormList() override;

    // layout, sizes and look (formlist_layout.cpp)
    void initLayout();
    void setLanguageFont();
    void retranslateText();
    // width and height of the list panel, windowHeight of the main window.
    void setWindowSize(int width, int height, int windowHeight);
    void setStyle(int style);
    // Panel width at which the four buttons and the captions show their whole texts in the font of
    // a main window windowHeight pixels high, over whole cells and a whole camera file name; a
    // narrower panel gives them a smaller font and the names less room.
    int widthForTexts(int windowHeight) const;
    // Narrowest panel width at which they still show whole: the buttons at the smallest readable
    // font, the captions at the rows' size, file names cut short.
    int narrowestWidth(int windowHeight) const;

    void clearList();
    // Rewrites the Date column from the current process-wide format to format.
    void updateDateFormat(int format);
    // The main player stopped at the end of a clip: starts the next visible row. False when none.
    bool setNextFileMedia();
    void resetCellSelectedFlag();
    void setMainPlayState(MediaPlayerStatus state) { mainPlayState = state; }

    // Cells of the main and second rows; "" when the row does not exist.
    QString currentFilePath() const;
    QString currentFileSize() const;
    QString currentSubFilePath() const;
    QString fileDuration(int row) const;
    QString filePath(int row) const;
    int rowCount() const;
    int curSelectFile() const { return curSelectFile_; }
    int curSubSelectFile() const { return curSubSelectFile_; }
    bool subFileFound() const { return subFileFound_; }
    // First row whose path cell equals path; 0 when none.
    int findRowByPath(const QString &path) const;
    // A listed file changed on disk: its row takes the date, size, duration and resolution that
    // the player read (info), and a group that holds it sums its members again. Marks, order,
    // selection and the players stay as they are; an unlisted file changes nothing.
    void refreshFile(const FileInfo_t &info);

    // second camera's row and group playback (formlist_sub.cpp)
    bool findSubFile();
    bool checkSubGroupFile() const;
    bool isCurrentGroup() const;
    void setResolution(int row, const QString &text);
    // Puts the "d" mark on the row the main camera plays and, in dual view, the "e" mark on the
    // row the second camera plays (a group's row for a group's first member); every other mark
    // goes. An empty path marks nothing.
    void markPlayingRows(const QString &mainPath, const QString &subPath);
    void playGroup(int row);
    void playGroupSub(int row);

    QPushButton *addButton() const { return btnAdd; }
    QPushButton *ungroupButton() const { return btnUngroup; }
    QTableWidget *table() const { return tableWidget; }
    QTableWidget *captionTable() const { return headerTableWidget; }

public slots:
    void onSubIndex();
    void onCurrentPlay(QString path);
    void onInsertList(FileInfo_t fileinfo);
    void onNextFileTriggered();
    void onPreviousFileTriggered();
    // Removes the rows whose path cell equals each path, first match from the top.
    void onDeleteList(QList<QString> pathList);
    void setSubIndexMark();
    void clearSubIndexMark();
    void clearMainIndexMark();
    void checkGroupTime(QString timeStart, QString timeEnd);
    void onOpenfileBox();
    void onRemoveList();
    void onCellSelected(int row, int column);
    void onOpenFile(QList<QUrl> filelist);
    void onGroup();
    void onUngroup();
    void clearFocusBtn();
    void setScrollBarValue();
    void setTabelWidgetWidth();
    void setTabelWidgetHeaderDoubleClick(int index);

signals:
    void removeListFile();
    void mediaFileTriggered(QList<QUrl> urls);
    void mediaGroupTriggered(QVector<QUrl> urls, QVector<QTime> durtions);
    void mediaGroupTriggeredSub(QVector<QUrl> urls, QVector<QTime> durtions);
    void autoPlayTriggered();
    void groupStopPlay();
    void deleteListTriggered(QList<QString> pathList);
    void onCellSelectedTriggered();
    void onReleaseMedia();
    void onReleaseMediaSub();
    void onSubIndexMarkTriggered();
    void stopMediaTriggerd();
    void subMediaTriggerd();
    void updateResolutionTriggerd(int row);
    void checkGroupTimeResult(bool isSameValue);

protected:
    // the caption table's viewport: its captions are fitted again when its width changes
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // rows (formlist.cpp)
    bool hasRow(int row) const;
    bool isGroupRow(int row) const;
    bool isRowHidden(int row) const;
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    QStringList rowCells(int row) const;
    void setRowCells(int row, const QStringList &cells);
    // The distinct rows of the selection, in the order the selection reports them.
    QVector<int> selectedRows() const;
    int nextVisibleRow(int row) const;
    int previousVisibleRow(int row) const;
    // The next visible row after row that is not row's other-camera partner: the next clip of
    // the camera that plays; -1 when none.
    int nextMainCameraRow(int row) const;
    int rowOfPath(const QString &path) const;  // -1 when none
    int playingRow(const QString &path) const; // shown row playing path, -1 when none
    // Caption table only as high as its captions; each caption as wide as its text and cells.
    void fitCaptions();
    // Button row: every button as wide as its text needs, one font that lets all four fit.
    void fitButtons();
    // Width caption column needs for its text in metrics.
    int captionWidth(int column, const QFontMetrics &metrics) const;
    // Widths the cells under each caption column need in the rows' bold font of rowPixels: a
    // cell of the column's widest form; column 0 without the mark column.
    void cellWidths(int rowPixels, int (&widths)[5]) const;
    // Panel width for the buttons at buttonPixels and the captions at captionPixels over whole
    // cells, with the list's sizes in a main window of the height asked; with a whole file name
    // or the file column at its narrowest.
    int panelWidthFor(const ListSizes &sizes, int buttonPixels, int captionPixels,
                      bool wholeName) const;
    void moveMainMark(int row);
    void makeCurrent(int row);
    void emitFileRow(int row);
    void startGroupWithSub(int row);
    // Next and previous: the target row becomes the main row and plays, without auto-play.
    void stepTo(int target);
    void applyRowFonts(int row, bool bold);
    // Empties the second camera's row mark when that row shows "e".
    void clearShownSubMark();
    void shiftRowsAfterRemoval(int removedRow);

    // groups (formlist_groups.cpp)
    QString ungroupRow(int keyRow);
    // The size, durations and date of the group rows that hold path, from their member rows.
    void refreshGroupsHolding(const QString &path);

    void setupTables();
    void setListHeaderTexts();

    MediaPlayerStatus mainPlayState = StoppedState;
    std::unique_ptr<Ui::FormList> ui;
    QPushButton *btnAdd; // owned by listLayout's widget
    QPushButton *btnRemove;
    QPushButton *btnGroup;
    QPushButton *btnUngroup;
    QLabel *separatorLabel;
    QTableWidget *tableWidget;
    QTableWidget *headerTableWidget;
    bool cellSelected = false;
    QString currentPlayPath;
    int itemPixelSize = 0;
    int curSelectFile_ = 0;
    int curSubSelectFile_ = 0;
    int groupCounter = 1;
    int groupCount = 0;
    QMultiMap<QString, QString> groupTable; // group key -> member paths
    bool ungroupForRemove = false;
    int styleIndex = 0;
    int markPointSize = 0;
    int headerHeight = 0;
    int markColumnWidth = 0;
    int fileCaptionWidth = 0;
    int lastCaptionWidth = 0;
    bool scrolledToEnd = false;
    bool captionsByCode = false; // caption widths set by the list itself, not by the user
    QGridLayout *listLayout = nullptr;
    bool dateAsIs = false;
    int captionWidths[5] = {};
    int captionBaseWidths[5] = {}; // caption widths from the window size, before fitting
    int captionPixelSize = 0;      // caption font size from the window size, before fitting
    bool subFileFound_ = false;
};
