// One row of the day file list: a start-time header or a ride file.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <Qt>

namespace FileDateListRole {
constexpr int isHeader = Qt::UserRole + 1;
constexpr int fileName = Qt::UserRole + 2;
constexpr int timeText = Qt::UserRole + 3;
constexpr int isClicked = Qt::UserRole + 4;
constexpr int isLoaded = Qt::UserRole + 5;
// setData only: a press and a double click on a file row.
constexpr int click = Qt::UserRole + 6;
constexpr int doubleClick = Qt::UserRole + 7;
constexpr int viewSize = Qt::UserRole + 8;
} // namespace FileDateListRole

struct FileDateListItem
{
    bool isHeader = false;
    QSize sizeHint;
    QString fileName; // file name less its last 4 characters
    QString timeText; // "hh:mm" of the start time
    bool isClicked = false;
    bool isLoaded = false;
    QSize viewSize; // reference size for fonts and icons
};

namespace FileDateListRows {

// Rows for names in the given order: a header opens every run of one start minute; the file row
// whose short name equals loadedName carries the loaded mark.
QVector<FileDateListItem> buildRows(const QStringList &fileNames, const QString &loadedName,
                                    const QSize &viewSize);

// Pixel sizes of the delegate for a view height (fonts and icons grow with it).
struct Metrics
{
    int headerPixelSize;
    int filePixelSize;
    QSize headerIcon;
    QSize loadedIcon;
    QPoint headerIconAt; // top-left corners in the row rectangle's coordinates
    QPoint loadedIconAt;
};
Metrics metrics(int viewHeight, const QRect &row);

} // namespace FileDateListRows
