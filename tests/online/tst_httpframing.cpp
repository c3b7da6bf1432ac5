// The head and chunk reader alone: every framing rule refuses the answer that breaks it, however
// its bytes are split, and the answers that a lax reader gets wrong are read right.
#include "framinganswers.h"
#include "httpframing.h"
#include "testsupport.h"

#include <algorithm>

namespace {

// The most of an endless answer that is read.
constexpr qsizetype endlessReadBytes = 256 * 1024;

struct Reading
{
    bool refused = false;
    bool whole = false; // the head of a final answer and all of its body
    HttpFraming::Head head;
    QByteArray body;
};

QByteArray bytesOf(const RawHttpServer::Answer &answer)
{
    QByteArray bytes = answer.bytes;
    while (answer.endless == RawHttpServer::Endless::Repeat && bytes.size() < endlessReadBytes)
        bytes += answer.unit;
    return bytes;
}

// Reads bytes as a transfer hands them over: head lines each with its line end (curl ends a line
// at LF only), then the body in pieces of at most pieceBytes, decoded when it is chunked.
Reading read(const QByteArray &bytes, qsizetype pieceBytes)
{
    Reading reading;
    qsizetype at = 0;
    while (!reading.head.complete()) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            return reading;
        reading.refused = !reading.head.addLine(bytes.constData() + at, end + 1 - at);
        if (reading.refused)
            return reading;
        at = end + 1;
    }
    if (!reading.head.chunked()) {
        reading.body = bytes.mid(at);
        reading.whole = reading.body.size() == reading.head.contentLength();
        return reading;
    }
    HttpFraming::ChunkDecoder chunks;
    QByteArray out(int(pieceBytes), '\0');
    for (; at < bytes.size() && !chunks.finished(); at += pieceBytes) {
        const qsizetype size = std::min(pieceBytes, bytes.size() - at);
        qsizetype written = 0;
        reading.refused = !chunks.feed(bytes.constData() + at, size, out.data(), written);
        if (reading.refused)
            return reading;
        reading.body += out.left(int(written));
    }
    reading.whole = chunks.finished();
    return reading;
}

} // namespace

class TstHttpFraming : public QObject
{
    Q_OBJECT
private slots:
    // Each rule alone, with the answer in one piece and byte by byte.
    void eachRuleHasItsAnswer_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("pieceBytes");
        const QList<FramingAnswers::Rule> rules = FramingAnswers::all();
        for (int i = 0; i < rules.size(); ++i) {
            QTest::addRow("%s, in one piece", rules.at(i).name) << i << int(endlessReadBytes);
            QTest::addRow("%s, byte by byte", rules.at(i).name) << i << 1;
        }
    }
    void eachRuleHasItsAnswer()
    {
        QFETCH(int, rule);
        QFETCH(int, pieceBytes);
        const FramingAnswers::Rule r = FramingAnswers::all().at(rule);
        const Reading reading = read(bytesOf(r.answer), pieceBytes);
        if (r.refused) {
            QVERIFY(reading.refused);
            QVERIFY(!reading.whole);
            return;
        }
        QVERIFY(!reading.refused);
        QVERIFY(reading.whole);
        QCOMPARE(reading.head.status(), r.status);
        QCOMPARE(reading.head.location(), r.location);
        QCOMPARE(reading.body, r.body);
        for (const auto &field : reading.head.fields())
            QVERIFY2(field.first != FramingAnswers::interimField, field.first.constData());
    }

    // A chunk size is at most 16 hex digits and at most 2^63-1: the largest is taken (its data
    // is still to come), anything larger refused before a byte of its data is written.
    void chunkSizeBounds_data()
    {
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<bool>("refused");
        QTest::newRow("7fffffffffffffff") << QByteArray("7fffffffffffffff") << false;
        QTest::newRow("16 digits of 5") << QByteArray("0000000000000005") << false;
        QTest::newRow("8000000000000000") << QByteArray("8000000000000000") << true;
        QTest::newRow("ffffffffffffffff") << QByteArray("ffffffffffffffff") << true;
        QTest::newRow("17 digits of 5") << QByteArray("00000000000000005") << true;
    }
    void chunkSizeBounds()
    {
        QFETCH(QByteArray, size);
        QFETCH(bool, refused);
        const QByteArray raw = size + "\r\nhello";
        HttpFraming::ChunkDecoder chunks;
        QByteArray out(raw.size(), '\0');
        qsizetype written = 0;
        QCOMPARE(!chunks.feed(raw.constData(), raw.size(), out.data(), written), refused);
        QCOMPARE(written, qsizetype(refused ? 0 : 5));
        QVERIFY(!chunks.finished());
    }
};

TALVEX_TEST_MAIN(TstHttpFraming)
#include "tst_httpframing.moc"
