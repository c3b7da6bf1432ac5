#include "watermarkview.h"

#include "skin.h"

#include <QDataStream>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr char itemMimeType[] = "application/x-dnditemdata";
constexpr int pictureSide = 120;
constexpr int cellSide = 133;
const QColor selectedCell(46, 167, 224, 77);
const QColor plainCell(0x32, 0x32, 0x32);

QPixmap itemPixmap(const QString &imagePath)
{
    return QIcon(imagePath).pixmap(QSize(pictureSide, pictureSide));
}

} // namespace

// model

WatermarkModel::WatermarkModel(QObject *parent) : QAbstractListModel(parent) {}

WatermarkModel::~WatermarkModel()
{
    // The same item may fill several rows.
    QVector<WatermarkItem *> owned;
    for (WatermarkItem *item : items) {
        if (!owned.contains(item))
            owned.append(item);
    }
    qDeleteAll(owned);
}

void WatermarkModel::addItem(WatermarkItem *item)
{
    beginInsertRows(QModelIndex(), items.size(), items.size());
    items.append(item);
    endInsertRows();
}

int WatermarkModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : items.size();
}

QVariant WatermarkModel::data(const QModelIndex &index, int role) const
{
    if (index.row() < 0 || index.row() >= items.size())
        return {};
    const WatermarkItem *item = items.at(index.row());
    switch (role) {
    case Qt::SizeHintRole:
        return item->sizeHint;
    case Image1Role:
        return item->image1;
    case Image2Role:
        return item->image2;
    case Image3Role:
        return item->image3;
    case TitleRole:
        return item->title;
    case Anchor1Role:
        return item->anchor1;
    case Anchor2Role:
        return item->anchor2;
    case Anchor3Role:
        return item->anchor3;
    case SelectionRole:
        return item->selection;
    default:
        return {};
    }
}

bool WatermarkModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != SelectRole || !index.isValid())
        return false;
    emit clickEvent(QVariant(value.toMap()));
    return true;
}

// delegate

QString WatermarkDelegate::itemText(int column)
{
    switch (column) {
    case 1:
        return QStringLiteral("mapWaterMark");
    case 2:
        return QStringLiteral("dashboard");
    case 3:
        return QStringLiteral("QLabelImage");
    default:
        return {};
    }
}

QMimeData *WatermarkDelegate::itemMimeData(int column, const QString &imagePath,
                                           const QPoint &offset)
{
    const QPixmap pixmap = itemPixmap(imagePath);
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << pixmap << offset;
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(itemMimeType), payload);
    mime->setText(itemText(column));
    if (column == 3)
        mime->setImageData(QIcon(imagePath).pixmap(QSize(pictureSide, pictureSide)).toImage());
    return mime;
}

QSize WatermarkDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    return index.data(Qt::SizeHintRole).toSize();
}

void WatermarkDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect r = option.rect;
    if (index.data(WatermarkModel::TitleRole).toBool()) {
        painter->fillRect(r, plainCell);
        painter->setPen(Qt::white);
        painter->drawText(r.adjusted(20, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          QStringLiteral("Speed"));
        painter->restore();
        return;
    }
    const QMap<QString, QVariant> selection = index.data(WatermarkModel::SelectionRole).toMap();
    const int images[3] = {WatermarkModel::Image1Role, WatermarkModel::Image2Role,
                           WatermarkModel::Image3Role};
    for (int c = 0; c < 3; ++c) {
        const QRect cell(r.x() + c * cellSide, r.y(), cellSide, cellSide);
        const bool chosen = selection.value(QStringLiteral("column")).toInt() == c + 1 &&
                            selection.value(QStringLiteral("row")).toInt() == index.row();
        painter->fillRect(cell, chosen ? selectedCell : plainCell);
        const QPixmap pixmap = itemPixmap(index.data(images[c]).toString());
        painter->drawPixmap(cell.x() + (cellSide - pictureSide) / 2,
                            cell.y() + (cellSide - pictureSide) / 2, pixmap);
    }
    painter->restore();
}

bool WatermarkDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const bool mouse = event->type() == QEvent::MouseButtonPress ||
                       event->type() == QEvent::MouseButtonRelease ||
                       event->type() == QEvent::MouseButtonDblClick;
    if (!mouse)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const auto *mouseEvent = static_cast<QMouseEvent *>(event);
    const QPoint pos = mouseEvent->pos() - option.rect.topLeft();

    QMap<QString, QVariant> selection;
    const int top = option.rect.top();
    if (top >= 0 && top <= 60)
        selection.insert(QStringLiteral("row"), 1);
    else if (top >= 61 && top <= 193)
        selection.insert(QStringLiteral("row"), 2);
    int column = 0;
    if (pos.x() >= 0 && pos.x() <= 133)
        column = 1;
    else if (pos.x() >= 134 && pos.x() <= 266)
        column = 2;
    else if (pos.x() >= 267 && pos.x() <= 399)
        column = 3;
    if (column == 0)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const int imageRoles[3] = {WatermarkModel::Image1Role, WatermarkModel::Image2Role,
                               WatermarkModel::Image3Role};
    const int anchorRoles[3] = {WatermarkModel::Anchor1Role, WatermarkModel::Anchor2Role,
                                WatermarkModel::Anchor3Role};
    const QString image = index.data(imageRoles[column - 1]).toString();
    const QPoint anchor = index.data(anchorRoles[column - 1]).toPoint();
    selection.insert(QStringLiteral("column"), column);
    model->setData(index, selection, WatermarkModel::SelectRole);

    if (index.data(WatermarkModel::TitleRole).toBool() || image.isEmpty())
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const QPoint offset = pos - anchor;
    auto *drag = new QDrag(const_cast<QWidget *>(option.widget));
    drag->setMimeData(itemMimeData(column, image, offset));
    drag->setPixmap(itemPixmap(image));
    const int r = index.row();
    drag->setHotSpot(r > 0 ? QPoint(pos.x() + 60 - anchor.x(), pos.y() / r - 60 - anchor.y())
                           : offset);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

// view

WatermarkView::WatermarkView(QWidget *parent)
    : QListView(parent), model_(new WatermarkModel(this)), delegate_(new WatermarkDelegate(this)),
      skinFolder_(getStylePath())
{
    setAcceptDrops(true);
    setUpdatesEnabled(false);
    auto *title = new WatermarkItem;
    title->title = true;
    title->sizeHint = QSize(400, 60);
    model_->addItem(title);
    auto *pictures = new WatermarkItem;
    pictures->sizeHint = QSize(400, 133);
    pictures->image1 = pictures->image2 = pictures->image3 =
        skinFolder_ + QStringLiteral("adjustbar_4x_blue");
    pictures->anchor1 = QPoint(66, 0);
    pictures->anchor2 = QPoint(199, 0);
    pictures->anchor3 = QPoint(332, 0);
    pictures->selection = {{QStringLiteral("column"), -1}, {QStringLiteral("row"), -1}};
    model_->addItem(pictures);
    model_->addItem(pictures);
    setModel(model_);
    setItemDelegate(delegate_);
    setUpdatesEnabled(true);

    connect(this, &QAbstractItemView::pressed, this, &WatermarkView::selectCell);
    connect(model_, QOverload<QVariant>::of(&WatermarkModel::clickEvent), this,
            QOverload<QVariant>::of(&WatermarkView::setSelectedIndex));
}

void WatermarkView::setSelectedIndex(int index)
{
    selectedColumn_ = index;
}

void WatermarkView::setSelectedIndex(QVariant qVariant)
{
    const QMap<QString, QVariant> map = qVariant.toMap();
    if (map.contains(QStringLiteral("column")))
        selectedColumn_ = map.value(QStringLiteral("column")).toInt();
    if (map.contains(QStringLiteral("row")))
        selectedRow_ = map.value(QStringLiteral("row")).toInt();
}

void WatermarkView::selectCell(QModelIndex qModelIndex)
{
    if (selectedColumn_ < 1 || selectedColumn_ > 3)
        return;
    setUpdatesEnabled(false);
    if (WatermarkItem *item = model_->item(1)) {
        item->selection.insert(QStringLiteral("column"), selectedColumn_);
        item->selection.insert(QStringLiteral("row"), qModelIndex.row());
    }
    setUpdatesEnabled(true);
    viewport()->update();
}

void WatermarkView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressPos_ = event->pos();
    QListView::mousePressEvent(event);
}

void WatermarkView::mouseMoveEvent(QMouseEvent *event)
{
    QListView::mouseMoveEvent(event);
}

void WatermarkView::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event); // the same payload check
}

void WatermarkView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(QLatin1String(itemMimeType)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void WatermarkView::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasFormat(QLatin1String(itemMimeType))) {
        event->ignore();
        return;
    }
    QByteArray payload = event->mimeData()->data(QLatin1String(itemMimeType));
    QDataStream stream(&payload, QIODevice::ReadOnly);
    QPixmap pixmap;
    QPoint offset;
    stream >> pixmap >> offset;
    if (event->source() == this) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}
