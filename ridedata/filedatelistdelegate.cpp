#include "filedatelistdelegate.h"

#include "appfont.h"
#include "filedatelistitem.h"
#include "skin.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace {
const QColor headerColour(0x2e, 0xa7, 0xe0);
const QColor clickedBackground(0x70, 0x50, 0x23);
const QColor plainBackground(0x32, 0x32, 0x32);

void drawIcon(QPainter *painter, const QString &image, const QPoint &at, const QSize &size)
{
    const QIcon icon(skinImage(image));
    if (icon.isNull() || size.isEmpty())
        return;
    painter->drawPixmap(
        at, icon.pixmap(size).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void drawCentredText(QPainter *painter, const QStyleOptionViewItem &option, const QString &text)
{
    QApplication::style()->drawItemText(painter, option.rect, Qt::AlignCenter, option.palette, true,
                                        text);
}
} // namespace

void FileDateListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const QRect &r = option.rect;
    const QSize viewSize = index.data(FileDateListRole::viewSize).toSize();
    const FileDateListRows::Metrics m = FileDateListRows::metrics(viewSize.height(), r);
    QPixmap separator(skinImage(QStringLiteral("playback_list_line")));
    if (!separator.isNull())
        separator = separator.scaled(r.width(), 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    painter->save();
    if (index.data(FileDateListRole::isHeader).toBool()) {
        QFont font = getAppFont(true);
        font.setItalic(true);
        font.setPixelSize(qMax(1, m.headerPixelSize));
        painter->setFont(font);
        painter->setPen(headerColour);
        drawCentredText(painter, option, index.data(FileDateListRole::timeText).toString());
        drawIcon(painter, QStringLiteral("playback_list_bike"), m.headerIconAt, m.headerIcon);
    } else {
        const QColor background =
            index.data(FileDateListRole::isClicked).toBool() ? clickedBackground : plainBackground;
        painter->setPen(background);
        painter->setBrush(background);
        painter->drawRect(r);
        QFont font = getAppFont(false);
        font.setItalic(false);
        font.setPixelSize(qMax(1, m.filePixelSize));
        painter->setFont(font);
        painter->setPen(QColor(255, 255, 255, 255));
        if (index.data(FileDateListRole::isLoaded).toBool())
            drawIcon(painter, QStringLiteral("playback_list_bike_selected"), m.loadedIconAt,
                     m.loadedIcon);
        drawCentredText(painter, option, index.data(FileDateListRole::fileName).toString());
    }
    if (!separator.isNull())
        painter->drawPixmap(r.x(), r.y() + r.height() - 1, separator);
    painter->restore();
}

bool FileDateListDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                       const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const bool isHeader = index.data(FileDateListRole::isHeader).toBool();
    const QEvent::Type type = event->type();
    if (!isHeader && (type == QEvent::MouseButtonDblClick || type == QEvent::MouseButtonPress) &&
        option.rect.contains(static_cast<QMouseEvent *>(event)->pos())) {
        model->setData(index, true,
                       type == QEvent::MouseButtonDblClick ? FileDateListRole::doubleClick
                                                           : FileDateListRole::click);
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
