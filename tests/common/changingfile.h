// What another program does to a video file while the program reads it: cut it, grow it, rewrite
// a byte of it or move its modification time, on a file written with a modification time an hour
// back, so that any of these moves it.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QTest>

namespace ChangingFile {

enum Change
{
    Unchanged,
    TruncateTo, // the file cut to `amount` bytes
    Append,     // `amount` bytes added at its end
    RewriteAt,  // one byte rewritten at `amount`: same size, a new modification time
    TouchOnly,  // the modification time set, nothing written
};

// Writes size bytes of fill at path, aged by an hour.
inline void writeAged(const QString &path, qint64 size, char fill = 'v')
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray piece(int(qMin<qint64>(size, 1024 * 1024)), fill);
    for (qint64 left = size; left > 0; left -= piece.size())
        QVERIFY(file.write(piece.constData(), qMin<qint64>(left, piece.size())) > 0);
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
}

// Writes bytes at path, aged by an hour.
inline void writeAged(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
}

inline void change(const QString &path, Change how, qint64 amount)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    switch (how) {
    case Unchanged:
        break;
    case TruncateTo:
        QVERIFY(file.resize(amount));
        break;
    case Append:
        QVERIFY(file.seek(file.size()));
        QCOMPARE(file.write(QByteArray(int(amount), 'x')), amount);
        break;
    case RewriteAt:
        QVERIFY(file.seek(amount));
        QCOMPARE(file.write("!", 1), qint64(1));
        break;
    case TouchOnly:
        QVERIFY(file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime));
        break;
    }
}

} // namespace ChangingFile
