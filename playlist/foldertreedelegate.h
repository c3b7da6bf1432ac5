// Paints a folder tree row (arrow, folder icon, name) and turns a press on the arrow into a
// model event.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QRect>
#include <QStyledItemDelegate>

class ListItemDelegate : public QStyledItemDelegate
{
public:
    static constexpr int expanderSizePx = 20;
    static constexpr int expanderHitSizePx = 32;
    static constexpr int folderIconXPx = 27; // from the indented left edge
    static constexpr int textXPx = 64;       // from the indented left edge

    ListItemDelegate() = default;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    // The square that takes a press on the arrow of a row drawn in rect with indent pixels.
    static QRect expanderHitRect(const QRect &rect, int indent);

private:
    QPixmap pixmap(const QString &path, const QSize &size) const;

    mutable QHash<QString, QPixmap> pixmapCache; // GUI thread only
};
