// The framing rules of an HTTP/1.1 answer, checked strictly: its head line by line, and a chunked
// body decoded from its raw bytes. Plain code over bytes (no sockets), so it can be fuzzed.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace HttpFraming {

// The head of an answer, fed one line at a time as it arrives (with its line end). A status line
// starts a new answer (after a 1xx one, say): its fields start again, while the head's bytes and
// lines count on across every answer of the exchange, interim ones included.
class Head
{
public:
    // False, with error() set, when line breaks a rule: a status line that is not
    // "HTTP/1.x NNN reason", a header line that is not "name: value", heads past
    // NetworkLimits::maxHeadBytes or maxHeadLines in all, a Content-Length that is no decimal
    // number or differs from an earlier one, a Transfer-Encoding other than "chunked", a
    // Content-Encoding other than identity, or Content-Length together with Transfer-Encoding.
    bool addLine(const char *line, qsizetype size);

    // The blank line of a final (non-1xx) answer has come; its fields are complete.
    bool complete() const { return complete_; }
    int status() const { return status_; }
    QByteArray reason() const { return reason_; }
    // Header fields in arrival order, names as sent, values without surrounding blanks.
    const QList<QPair<QByteArray, QByteArray>> &fields() const { return fields_; }
    bool chunked() const { return chunked_; }
    // The value of the last Location field; empty when there is none.
    QByteArray location() const;
    // -1 when the answer announces none.
    qint64 contentLength() const { return contentLength_; }
    QString error() const { return error_; }

private:
    bool fail(const QString &why);
    bool addStatusLine(const QByteArray &line);
    bool addField(const QByteArray &line);
    bool endHead();

    int status_ = 0;
    QByteArray reason_;
    QList<QPair<QByteArray, QByteArray>> fields_;
    qint64 contentLength_ = -1;
    bool chunked_ = false;
    bool hasTransferEncoding_ = false;
    bool inAnswer_ = false; // a status line came and its blank line did not yet
    bool complete_ = false;
    int bytes_ = 0;
    int lines_ = 0;
    QString error_;
};

// Decodes a chunked body: hex size (at most 16 digits, at most 2^63-1), optional extensions and
// CRLF, in a line of at most NetworkLimits::maxChunkLineBytes; the data and CRLF; the last chunk
// "0", trailer lines of at most NetworkLimits::maxHeadBytes in all, and the final CRLF. Anything
// else is a framing error. Bytes after the end are no part of the body and are ignored.
class ChunkDecoder
{
public:
    // Writes the body data in raw to out, which has room for size bytes (the data is never more),
    // and sets written to its length; false, with error() set, on a framing error (and for every
    // call after one).
    bool feed(const char *raw, qsizetype size, char *out, qsizetype &written);
    // The last chunk and its trailer have been read: the body is whole.
    bool finished() const { return state_ == State::Done; }
    QString error() const { return error_; }

private:
    enum class State
    {
        SizeLine,
        Data,
        DataEnd,
        Trailer,
        Done,
        Failed
    };
    bool fail(const QString &why);
    bool endSizeLine();
    bool endTrailerLine();

    State state_ = State::SizeLine;
    QByteArray line_;      // the size line or trailer line read so far
    qint64 remaining_ = 0; // data bytes of the current chunk still to come
    int trailerBytes_ = 0;
    QString error_;
};

} // namespace HttpFraming
