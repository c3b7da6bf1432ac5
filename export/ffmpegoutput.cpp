#include "ffmpegoutput.h"

#include <QTime>

QStringList OutputLines::add(const QByteArray &chunk)
{
    rest += chunk;
    QStringList lines;
    int begin = 0;
    for (int i = 0; i < rest.size(); ++i) {
        const char c = rest.at(i);
        if (c != '\r' && c != '\n')
            continue;
        if (i > begin)
            lines.append(QString::fromLocal8Bit(rest.constData() + begin, i - begin));
        begin = i + 1;
    }
    rest.remove(0, begin);
    return lines;
}

namespace FfmpegOutput {

int progressSeconds(const QString &line)
{
    const int at = line.indexOf(QLatin1String("time="));
    if (at < 0)
        return -1;
    const QTime time = QTime::fromString(line.mid(at + 5, 8), QStringLiteral("hh:mm:ss"));
    return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
}

int durationArgPosition(const QString &args)
{
    return args.indexOf(QLatin1String("-t "));
}

int durationArg(const QString &args)
{
    const int at = durationArgPosition(args);
    if (at < 0)
        return 0;
    const int begin = at + 3;
    int end = args.indexOf(QLatin1Char(' '), begin);
    if (end < 0)
        end = args.size();
    return args.mid(begin, end - begin).toInt();
}

QString parseResolution(const QString &videoText)
{
    QString text = videoText;
    const int fps = text.indexOf(QLatin1String("fps"));
    if (fps >= 0)
        text.truncate(fps);
    int comma = text.lastIndexOf(QLatin1Char(','));
    while (comma >= 0) {
        text.truncate(comma);
        comma = text.lastIndexOf(QLatin1Char(','));
        if (comma < 0)
            return QString();
        const QString group = text.mid(comma + 2);
        if (group.contains(QLatin1Char('x')))
            return group;
    }
    return QString();
}

QSize sizeOfText(const QString &sizeText)
{
    const int x = sizeText.indexOf(QLatin1Char('x'));
    if (x < 0)
        return QSize(0, 0);
    int end = x + 1;
    while (end < sizeText.size() && sizeText.at(end).isDigit())
        ++end;
    return QSize(sizeText.left(x).toInt(), sizeText.mid(x + 1, end - x - 1).toInt());
}

} // namespace FfmpegOutput
