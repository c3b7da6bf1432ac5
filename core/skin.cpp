#include "skin.h"

QString getStylePath()
{
    return QStringLiteral(":/image/TALVEXStyle/");
}

QString skinImage(const QString &name)
{
    return getStylePath() + name;
}

QString formatMultilineText(QString cell)
{
    cell.remove(QLatin1Char('"'));
    cell.replace(QLatin1String("\\n"), QLatin1String("\n"));
    return cell;
}
