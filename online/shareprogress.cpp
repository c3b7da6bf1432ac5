#include "shareprogress.h"

#include <limits>

namespace ShareProgress {

namespace {
constexpr qint64 bytesPerMb = 1048576;
}

Bar bar(qint64 sent, qint64 total)
{
    int shift = 0;
    while ((total >> shift) > std::numeric_limits<int>::max())
        ++shift;
    return Bar{int(total >> shift), int(qBound<qint64>(0, sent, total) >> shift)};
}

QString numberText(qint64 sent, qint64 total)
{
    return QStringLiteral("%1MB / %2MB").arg(sent / bytesPerMb).arg(total / bytesPerMb);
}

QString percentText(qint64 sent, qint64 total)
{
    if (total <= 0)
        return QStringLiteral("0%");
    if (sent >= total)
        return QStringLiteral("99%");
    return QStringLiteral("%1%").arg(qMin<qint64>(99, qMax<qint64>(0, sent) * 100 / total));
}

QString autoTitle(int dateFormat, const QDate &date)
{
    static const char *const formats[] = {"dd/MM/yyyy", "MM/dd/yyyy", "yyyy/MM/dd"};
    if (dateFormat < 0 || dateFormat > 2)
        return QString();
    return date.toString(QLatin1String(formats[dateFormat])) +
           QStringLiteral(" - Dashcam - TALVEX VIDEO PLAYER");
}

QStringList previewArguments(const QString &input, const QString &output)
{
    return {QStringLiteral("-y"),
            QStringLiteral("-i"),
            input,
            QStringLiteral("-ss"),
            QStringLiteral("1"),
            QStringLiteral("-frames:v"),
            QStringLiteral("1"),
            output};
}

} // namespace ShareProgress
