#include "ridefilereader.h"

#include <QByteArray>
#include <QFile>

RideFileStatus readRideFile(const QString &path,
                            const std::function<void(const RideRecord &)> &onRecord)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return RideFileStatus::CannotOpen;
    if (file.size() > RideFormat::maxFileBytes)
        return RideFileStatus::TooLarge;

    qint64 bytesRead = 0;
    QByteArray pending; // bytes of a record split across two reads
    while (true) {
        const QByteArray block = file.read(RideFormat::blockBytes);
        if (block.isEmpty())
            break;
        bytesRead += block.size();
        pending.append(block);
        int offset = 0;
        for (; offset + RideFormat::recordBytes <= pending.size();
             offset += RideFormat::recordBytes)
            onRecord(decodeRideRecord(pending.constData() + offset));
        pending.remove(0, offset);
    }
    return bytesRead == 0 ? RideFileStatus::Empty : RideFileStatus::Read;
}
