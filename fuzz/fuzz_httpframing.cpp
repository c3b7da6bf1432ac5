// libFuzzer entry: any bytes, read as an answer head line by line and as a chunked body. The
// first byte sets the piece size the chunked body arrives in.
#include "httpframing.h"
#include "networklimits.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void fuzzHead(const QByteArray &bytes)
{
    HttpFraming::Head head;
    int from = 0;
    while (from < bytes.size()) {
        int end = bytes.indexOf('\n', from);
        end = end < 0 ? bytes.size() : end + 1;
        if (!head.addLine(bytes.constData() + from, end - from)) {
            check(!head.error().isEmpty());
            // an error stays
            check(!head.addLine("\r\n", 2));
            return;
        }
        from = end;
    }
    if (head.complete()) {
        check(head.status() >= 200 && head.status() <= 999);
        check(head.contentLength() >= -1);
        check(!(head.chunked() && head.contentLength() >= 0));
        int bytesInHead = 0;
        for (const auto &field : head.fields())
            bytesInHead += field.first.size() + field.second.size();
        check(bytesInHead <= NetworkLimits::maxHeadBytes);
    }
}

void fuzzChunks(const QByteArray &bytes, int piece)
{
    // whole and in pieces: the same body and the same verdict
    HttpFraming::ChunkDecoder whole;
    QByteArray wholeBody(bytes.size(), '\0');
    qsizetype wholeLength = 0;
    const bool wholeOk = whole.feed(bytes.constData(), bytes.size(), wholeBody.data(), wholeLength);
    wholeBody.truncate(int(wholeLength));
    HttpFraming::ChunkDecoder pieces;
    QByteArray piecesBody(bytes.size(), '\0');
    qsizetype piecesLength = 0;
    bool piecesOk = true;
    for (int at = 0; at < bytes.size() && piecesOk; at += piece) {
        qsizetype written = 0;
        piecesOk = pieces.feed(bytes.constData() + at, qMin(piece, bytes.size() - at),
                               piecesBody.data() + piecesLength, written);
        piecesLength += written;
    }
    piecesBody.truncate(int(piecesLength));
    check(wholeOk == piecesOk);
    check(whole.finished() == pieces.finished());
    if (wholeOk) {
        check(wholeBody == piecesBody);
        check(wholeBody.size() <= bytes.size());
    } else {
        check(!whole.error().isEmpty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int piece = 1 + data[0] % 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    fuzzHead(bytes);
    fuzzChunks(bytes, piece);
    return 0;
}
