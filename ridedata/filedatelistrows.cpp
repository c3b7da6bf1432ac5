#include "filedatelistitem.h"

namespace FileDateListRows {

namespace {
const QSize headerSize(390, 34);
const QSize fileSize(390, 30);
constexpr int baseViewHeight = 198;
} // namespace

QVector<FileDateListItem> buildRows(const QStringList &fileNames, const QString &loadedName,
                                    const QSize &viewSize)
{
    QVector<FileDateListItem> rows;
    QString previousTime;
    for (const QString &name : fileNames) {
        const QString time = name.mid(8, 2) + QLatin1Char(':') + name.mid(10, 2);
        const QString shortName = name.mid(0, name.length() - 4);
        if (rows.isEmpty() || time != previousTime) {
            FileDateListItem header;
            header.isHeader = true;
            header.sizeHint = headerSize;
            header.timeText = time;
            header.fileName = shortName;
            header.viewSize = viewSize;
            rows.append(header);
        }
        FileDateListItem file;
        file.sizeHint = fileSize;
        file.timeText = time;
        file.fileName = shortName;
        file.viewSize = viewSize;
        file.isLoaded = shortName == loadedName;
        rows.append(file);
        previousTime = time;
    }
    return rows;
}

Metrics metrics(int viewHeight, const QRect &row)
{
    const double s = viewHeight - baseViewHeight;
    const auto t = [](double v) { return static_cast<int>(v); };
    Metrics m;
    m.headerPixelSize = t(16 + 0.054 * s);
    m.filePixelSize = t(13 + 0.054 * s);
    m.headerIcon = QSize(t(14 + 0.04 * s), t(13 + 0.04 * s));
    m.loadedIcon = QSize(t(11 + 0.04 * s), t(10 + 0.04 * s));
    const int half = row.width() / 2;
    const int top = t(row.y() + 10 - 0.0134 * s);
    m.headerIconAt = QPoint(t(row.x() + (half - 45) - 0.134 * s), top);
    m.loadedIconAt = QPoint(t(row.x() + (half - 75) - 0.2 * s), top);
    return m;
}

} // namespace FileDateListRows
