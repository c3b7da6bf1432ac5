#include "foldertreedelegate.h"

#include "appfont.h"
#include "foldertreemodel.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor brightText(0xff, 0xff, 0xff);
const QColor dimText(0x72, 0x71, 0x71);
} // namespace

QRect ListItemDelegate::expanderHitRect(const QRect &rect, int indent)
{
    return QRect(rect.x() + indent, rect.y() + rect.height() / 2 - expanderHitSizePx / 2,
                 expanderHitSizePx, expanderHitSizePx);
}

QPixmap ListItemDelegate::pixmap(const QString &path, const QSize &size) const
{
    const QString key = path + QLatin1Char('@') + QString::number(size.width());
    auto cached = pixmapCache.constFind(key);
    if (cached != pixmapCache.constEnd())
        return *cached;
    const QPixmap made = QIcon(path).pixmap(size, QIcon::Normal, QIcon::Off);
    pixmapCache.insert(key, made);
    return made;
}

void ListItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const QRect &r = option.rect;
    const int indent = index.data(FolderTreeRole::Indent).toInt();
    const int iconTop = r.y() + r.height() / 2 - expanderSizePx / 2;
    const QString expander = index.data(FolderTreeRole::ExpanderImage).toString();
    const QString folder = index.data(FolderTreeRole::FolderIcon).toString();

    painter->save();
    if (!expander.isEmpty())
        painter->drawPixmap(r.x() + indent, iconTop,
                            pixmap(expander, QSize(expanderSizePx, expanderSizePx)));
    if (!folder.isEmpty())
        painter->drawPixmap(r.x() + folderIconXPx + indent, iconTop,
                            pixmap(folder, QSize(27, expanderSizePx)));

    QRect textRect = r;
    textRect.setLeft(r.x() + indent + textXPx);
    const bool bright =
        expander.contains(QLatin1String("openfile_triangle_selected")) ||
        index.data(FolderTreeRole::State).toString().contains(QLatin1String("Select"));
    painter->setPen(bright ? brightText : dimText);
    painter->setFont(getAppFont(false));
    const QString name = index.data(FolderTreeRole::Name).toString();
    if (!name.isEmpty())
        QApplication::style()->drawItemText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter,
                                            QApplication::palette(), true, name, QPalette::NoRole);
    painter->restore();
}

bool ListItemDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    // Only the left button: the view's clicked() that follows the press exists for it alone.
    if (mouse->button() != Qt::LeftButton)
        return false;
    const int indent = index.data(FolderTreeRole::Indent).toInt();
    if (!expanderHitRect(option.rect, indent).contains(mouse->pos()))
        return false;
    model->setData(index, true, FolderTreeRole::ExpanderPress);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
