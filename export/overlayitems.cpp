#include "overlayitems.h"

#include "formlabelcustomer.h"
#include "formmeterobject.h"
#include "mapwatermark.h"
#include "overlayrender.h"
#include "videowidget.h"

namespace OverlayItems {

QWidget *create(const QString &text, const QPixmap &pixmap, QWidget *parent)
{
    if (text == QLatin1String("mapWaterMark")) {
        auto *map = new MapWaterMark(parent);
        map->setObjectName(OverlayRender::mapObjectName);
        return map;
    }
    if (text == QLatin1String("dashboard")) {
        auto *meter = new FormMeterObject(parent);
        meter->setObjectName(OverlayRender::meterObjectName);
        meter->setObjectSize(QSize(790, 120));
        return meter;
    }
    if (text == QLatin1String("QLabelImage")) {
        auto *label = new FormLabelCustomer(parent);
        label->setObjectName(OverlayRender::pictureObjectName);
        label->setStyleSheet(QStringLiteral("QLabel{background-color:#00000000}"));
        label->setPixmap(pixmap);
        return label;
    }
    return nullptr;
}

void install(VideoWidget *view)
{
    view->setOverlayFactory(&create);
}

} // namespace OverlayItems
