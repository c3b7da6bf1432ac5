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

namespace {

// The integer after the first option (with its blank) in args; 0 without one.
int intAfter(const QString &args, QLatin1String option)
{
    const int at = args.indexOf(option);
    if (at < 0)
        return 0;
    const int begin = at + option.size();
    int end = args.indexOf(QLatin1Char(' '), begin);
    if (end < 0)
        end = args.size();
    return args.mid(begin, end - begin).toInt();
}

} // namespace

double inputDuration(const QString &line)
{
    const QLatin1String key("Duration: ");
    const int at = line.indexOf(key);
    if (at < 0)
        return -1;
    // "hh:mm:ss.xx," before the start and bit rate; "N/A" when unknown
    const QStringList fields =
        line.mid(at + key.size()).section(QLatin1Char(','), 0, 0).split(QLatin1Char(':'));
    if (fields.size() != 3)
        return -1;
    bool okH = false;
    bool okM = false;
    bool okS = false;
    const double seconds = fields.at(0).toInt(&okH) * 3600.0 + fields.at(1).toInt(&okM) * 60.0 +
                           fields.at(2).toDouble(&okS);
    return okH && okM && okS ? seconds : -1;
}

int durationArgPosition(const QString &args)
{
    return args.indexOf(QLatin1String("-t "));
}

int durationArg(const QString &args)
{
    return intAfter(args, QLatin1String("-t "));
}

int seekArg(const QString &args)
{
    return intAfter(args, QLatin1String("-ss "));
}

bool reportsFullDisk(const QString &text)
{
    return text.contains(QLatin1String("No space left on device"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("Disk quota exceeded"), Qt::CaseInsensitive);
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
