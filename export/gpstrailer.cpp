#include "gpstrailer.h"

#include <QDateTime>

#include <cmath>

namespace GpsTrailer {

QByteArray marker()
{
    return QByteArray(markerSize, 'C');
}

QByteArray cutSignature()
{
    return QByteArrayLiteral("fmt....NOVATEK.....?inf....trim....?");
}

namespace {

QByteArray groupSignature(const char *model)
{
    return QByteArrayLiteral("fmt....") + model + QByteArrayLiteral(".....?inf....group....?");
}

} // namespace

QByteArray joinSignature(DashcamType fullType)
{
    switch (fullType) {
    case 3:
        return groupSignature("U93");
    case 4:
        return groupSignature("HZRQ917K");
    case 6:
        return groupSignature("J8");
    case 9:
        return groupSignature("R4M");
    case 11:
        return groupSignature("HZRQ735K");
    case 13:
        return groupSignature("HZRQ158K");
    case 14:
        return groupSignature("HZRQ284K");
    case 18:
        return groupSignature("HZRQ462K");
    case 21:
        return groupSignature("Novatek5x");
    case DashcamTypes::exported:
        return groupSignature("trim");
    default:
        return QByteArray();
    }
}

QByteArray seriesSignature(DashcamType foldedType)
{
    if (foldedType == foldedNovatek)
        return groupSignature("NovatekSeries");
    if (foldedType == foldedICatch)
        return groupSignature("iCatchSeries");
    return QByteArray();
}

QByteArray fixedField(const QString &text)
{
    QString field = text.left(fieldSize);
    if (field.size() < fieldSize && !field.contains(QLatin1Char('.')))
        field += QLatin1Char('.');
    while (field.size() < fieldSize)
        field += QLatin1Char('0');
    QByteArray bytes(fieldSize, '?');
    for (int i = 0; i < fieldSize; ++i) {
        const ushort code = field.at(i).unicode();
        if (code < 0x80)
            bytes[i] = char(code);
    }
    return bytes;
}

QByteArray numberField(double value)
{
    if (!std::isfinite(value))
        value = 0.0;
    return QByteArray::number(value, 'f', 12).left(fieldSize);
}

QByteArray timeField(const QString &clockText)
{
    // Date and time apart: a wall-clock time has no time zone, and read as local time one in a
    // daylight-saving gap would not exist.
    const QTime time = QTime::fromString(clockText.left(10), QStringLiteral("hh:mm:ss  "));
    const QDate date = QDate::fromString(clockText.mid(10), QStringLiteral("dd/MM/yyyy"));
    if (!time.isValid() || !date.isValid())
        return QByteArray(fieldSize, '0');
    // A valid date has a four-digit year here, so the field is always 14 digits.
    return fixedField(date.toString(QStringLiteral("yyyyMMdd")) +
                      time.toString(QStringLiteral("hhmmss")));
}

QByteArray record(const VideoInfo_t &sample)
{
    QByteArray bytes;
    bytes.reserve(recordSize);
    bytes += QByteArrayLiteral("GPSDATA--");
    bytes += timeField(sample.clockTime);
    bytes += fixedField(sample.latText.left(1) + sample.latDecimalText);
    bytes += fixedField(sample.lonText.left(1) + sample.lonDecimalText);
    bytes += numberField(sample.speedKmh);
    bytes += numberField(sample.extraValue);
    bytes += numberField(sample.gX);
    bytes += numberField(sample.gY);
    bytes += numberField(sample.gZ);
    return bytes;
}

QString argValue(const QString &args, const QString &option)
{
    if (args.isEmpty())
        return QStringLiteral("-1");
    const QString text = args + QLatin1Char(' ');
    const int at = text.indexOf(option);
    if (at < 0)
        return QStringLiteral("-1");
    const int begin = at + option.size();
    if (text.at(begin) != QLatin1Char(' '))
        return QStringLiteral("-1");
    const int end = text.indexOf(QLatin1Char(' '), begin + 1);
    if (end < 0)
        return QStringLiteral("-1");
    return text.mid(begin + 1, end - begin - 1);
}

CutSpan cutSpan(const QString &args)
{
    CutSpan span;
    if (!args.contains(QLatin1String("-ss")) || !args.contains(QLatin1String("-t")))
        return span;
    span.first = argValue(args, QStringLiteral("-ss")).toInt();
    span.count = argValue(args, QStringLiteral("-t")).toInt() + 1;
    return span;
}

QByteArray records(const QVector<VideoInfo_t> &samples, int first, int count)
{
    QByteArray bytes;
    const int begin = qMax(first, 0);
    const int end = qMin(first + count, samples.size());
    if (end > begin)
        bytes.reserve((end - begin) * recordSize);
    for (int second = begin; second < end; ++second)
        bytes += record(samples.at(second));
    return bytes;
}

QByteArray cutTrailer(const QVector<VideoInfo_t> &samples, CutSpan span)
{
    return marker() + records(samples, span.first, span.count) + cutSignature();
}

QByteArray sourceLayoutTrailer(const TrailerSource &source, CutSpan span)
{
    QByteArray bytes = source.head + source.separator;
    const int begin = qMax(span.first, 0);
    const int end = qMin(span.first + span.count, source.rawRecords.size());
    for (int second = begin; second < end; ++second) {
        if (second > begin)
            bytes += source.separator;
        bytes += source.rawRecords.at(second);
    }
    return bytes + source.tail;
}

QByteArray bareTrailer()
{
    return marker() + cutSignature();
}

} // namespace GpsTrailer
