#include "skinicon.h"

#include "skin.h"

#include <QAbstractButton>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QLabel>

namespace {

const char *const suffixes[] = {".svg", ".png"};
const QLatin1String hoverSuffix("_selected");

} // namespace

QString skinImageFile(const QString &name)
{
    const QString base = skinImage(name);
    for (const char *suffix : suffixes) {
        const QString path = base + QLatin1String(suffix);
        if (QFile::exists(path))
            return path;
    }
    return QString();
}

QPixmap skinPixmap(const QString &name, const QSize &size)
{
    const QString path = skinImageFile(name);
    if (path.isEmpty())
        return QPixmap();
    QImageReader reader(path);
    reader.setScaledSize(reader.size().scaled(size, Qt::KeepAspectRatio));
    return QPixmap::fromImageReader(&reader);
}

void setSkinIcon(QAbstractButton *button, const QString &name, const QString &fallbackText)
{
    const QString normal = skinImageFile(name);
    if (normal.isEmpty()) {
        button->setIcon(QIcon());
        button->setText(fallbackText);
        return;
    }
    QIcon icon(normal);
    const QString hover = skinImageFile(name + hoverSuffix);
    if (!hover.isEmpty())
        icon.addFile(hover, QSize(), QIcon::Active);
    button->setIcon(icon);
    button->setText(QString());
}

void setSkinPixmap(QLabel *label, const QString &name, int side, const QString &fallbackText)
{
    const QPixmap pixmap = skinPixmap(name, QSize(side, side));
    if (pixmap.isNull())
        label->setText(fallbackText);
    else
        label->setPixmap(pixmap);
}
