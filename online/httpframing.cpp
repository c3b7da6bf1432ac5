#include "httpframing.h"

#include "networklimits.h"

#include <cstring>
#include <limits>

namespace HttpFraming {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// RFC 9110 token characters, the characters of a field name.
bool isTokenChar(char c)
{
    if (isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    static const QByteArray others("!#$%&'*+-.^_`|~");
    return others.contains(c);
}

// Visible characters, blanks and bytes past ASCII: what a field value or reason may hold.
bool isTextChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u == '\t' || (u >= 0x20 && u != 0x7f);
}

bool isTextOnly(const QByteArray &text)
{
    for (const char c : text) {
        if (!isTextChar(c))
            return false;
    }
    return true;
}

QByteArray trimmedBlanks(const QByteArray &text)
{
    int from = 0;
    int to = text.size();
    while (from < to && (text.at(from) == ' ' || text.at(from) == '\t'))
        ++from;
    while (to > from && (text.at(to - 1) == ' ' || text.at(to - 1) == '\t'))
        --to;
    return text.mid(from, to - from);
}

// The line without its CRLF; false when it does not end in one.
bool stripLineEnd(const char *line, qsizetype size, QByteArray &text)
{
    if (size < 2 || line[size - 2] != '\r' || line[size - 1] != '\n')
        return false;
    text = QByteArray(line, int(size - 2));
    return true;
}

} // namespace

QByteArray Head::location() const
{
    QByteArray location;
    for (const auto &[name, value] : fields_) {
        if (name.compare("location", Qt::CaseInsensitive) == 0)
            location = value;
    }
    return location;
}

bool Head::fail(const QString &why)
{
    error_ = why;
    return false;
}

bool Head::addLine(const char *line, qsizetype size)
{
    if (!error_.isEmpty())
        return false;
    QByteArray text;
    if (!stripLineEnd(line, size, text))
        return fail(QStringLiteral("head line without CRLF"));
    if (!inAnswer_)
        return addStatusLine(text);
    bytes_ += int(qMin<qsizetype>(size, NetworkLimits::maxHeadBytes + 1));
    ++lines_;
    if (bytes_ > NetworkLimits::maxHeadBytes || lines_ > NetworkLimits::maxHeadLines)
        return fail(QStringLiteral("answer head too large"));
    return text.isEmpty() ? endHead() : addField(text);
}

bool Head::addStatusLine(const QByteArray &line)
{
    // endless interim answers end at the head's bounds as one endless head would
    const int bytes = bytes_ + int(qMin(line.size() + 2, NetworkLimits::maxHeadBytes + 1));
    const int lines = lines_ + 1;
    *this = Head();
    bytes_ = bytes;
    lines_ = lines;
    if (bytes_ > NetworkLimits::maxHeadBytes || lines_ > NetworkLimits::maxHeadLines)
        return fail(QStringLiteral("answer head too large"));
    // "HTTP/1.x NNN" and an optional " reason"
    if (line.size() < 12 || !line.startsWith("HTTP/1.") || !isDigit(line.at(7)) ||
        line.at(8) != ' ' || !isDigit(line.at(9)) || !isDigit(line.at(10)) ||
        !isDigit(line.at(11)) || (line.size() > 12 && line.at(12) != ' ') ||
        !isTextOnly(line.mid(12)))
        return fail(QStringLiteral("malformed status line"));
    status_ = line.mid(9, 3).toInt();
    if (status_ < 100)
        return fail(QStringLiteral("malformed status line"));
    reason_ = line.mid(13);
    inAnswer_ = true;
    return true;
}

bool Head::addField(const QByteArray &line)
{
    const int colon = line.indexOf(':');
    if (colon <= 0)
        return fail(QStringLiteral("malformed header line"));
    const QByteArray name = line.left(colon);
    for (const char c : name) {
        if (!isTokenChar(c))
            return fail(QStringLiteral("malformed header name"));
    }
    const QByteArray value = trimmedBlanks(line.mid(colon + 1));
    if (!isTextOnly(value))
        return fail(QStringLiteral("malformed header value"));
    const QByteArray key = name.toLower();
    if (key == "content-length") {
        if (value.isEmpty() || value.size() > 18)
            return fail(QStringLiteral("malformed Content-Length"));
        for (const char c : value) {
            if (!isDigit(c))
                return fail(QStringLiteral("malformed Content-Length"));
        }
        const qint64 length = value.toLongLong();
        if (contentLength_ >= 0 && contentLength_ != length)
            return fail(QStringLiteral("conflicting Content-Length headers"));
        contentLength_ = length;
    } else if (key == "transfer-encoding") {
        if (hasTransferEncoding_ || value.toLower() != "chunked")
            return fail(QStringLiteral("unsupported Transfer-Encoding"));
        hasTransferEncoding_ = true;
        chunked_ = true;
    } else if (key == "content-encoding") {
        if (value.toLower() != "identity")
            return fail(QStringLiteral("unsupported Content-Encoding"));
    }
    fields_.append({name, value});
    return true;
}

bool Head::endHead()
{
    if (hasTransferEncoding_ && contentLength_ >= 0)
        return fail(QStringLiteral("Content-Length together with Transfer-Encoding"));
    inAnswer_ = false;
    // an informational answer is followed by the real one
    complete_ = status_ >= 200;
    return true;
}

bool ChunkDecoder::fail(const QString &why)
{
    state_ = State::Failed;
    error_ = why;
    return false;
}

bool ChunkDecoder::feed(const char *raw, qsizetype size, char *out, qsizetype &written)
{
    written = 0;
    qsizetype at = 0;
    while (at < size) {
        switch (state_) {
        case State::Done:
            return true;
        case State::Failed:
            return false;
        case State::Data: {
            const qsizetype take = qMin<qsizetype>(remaining_, size - at);
            memcpy(out + written, raw + at, size_t(take));
            written += take;
            at += take;
            remaining_ -= take;
            if (remaining_ == 0)
                state_ = State::DataEnd;
            break;
        }
        case State::DataEnd:
        case State::SizeLine:
        case State::Trailer: {
            const char c = raw[at++];
            line_.append(c);
            const int limit = state_ == State::Trailer ? NetworkLimits::maxHeadBytes - trailerBytes_
                                                       : NetworkLimits::maxChunkLineBytes;
            if (line_.size() > limit)
                return fail(state_ == State::Trailer ? QStringLiteral("chunk trailer too large")
                                                     : QStringLiteral("chunk-size line too long"));
            if (c != '\n')
                break;
            if (!line_.endsWith("\r\n"))
                return fail(QStringLiteral("chunk line without CRLF"));
            bool ok = true;
            if (state_ == State::DataEnd) {
                ok = line_.size() == 2 || fail(QStringLiteral("chunk data longer than its size"));
                state_ = State::SizeLine;
            } else if (state_ == State::SizeLine) {
                ok = endSizeLine();
            } else {
                ok = endTrailerLine();
            }
            line_.clear();
            if (!ok)
                return false;
            break;
        }
        }
    }
    return state_ != State::Failed;
}

bool ChunkDecoder::endSizeLine()
{
    const QByteArray line = line_.left(line_.size() - 2);
    qint64 size = 0;
    int digits = 0;
    while (digits < line.size() && hexValue(line.at(digits)) >= 0) {
        if (digits == 16 || (digits == 15 && size > (std::numeric_limits<qint64>::max() >> 4)))
            return fail(QStringLiteral("chunk size too large"));
        size = size * 16 + hexValue(line.at(digits));
        ++digits;
    }
    if (digits == 0)
        return fail(QStringLiteral("malformed chunk size"));
    // optional blanks, then nothing or ";" and extensions
    const QByteArray rest = trimmedBlanks(line.mid(digits));
    if (line.size() > digits && line.at(digits) != ' ' && line.at(digits) != '\t' &&
        line.at(digits) != ';')
        return fail(QStringLiteral("malformed chunk size"));
    if (!rest.isEmpty() && (!rest.startsWith(';') || !isTextOnly(rest)))
        return fail(QStringLiteral("malformed chunk extension"));
    remaining_ = size;
    state_ = size == 0 ? State::Trailer : State::Data;
    return true;
}

bool ChunkDecoder::endTrailerLine()
{
    if (line_.size() == 2) {
        state_ = State::Done;
        return true;
    }
    trailerBytes_ += line_.size();
    const QByteArray line = line_.left(line_.size() - 2);
    const int colon = line.indexOf(':');
    if (colon <= 0 || !isTextOnly(line))
        return fail(QStringLiteral("malformed chunk trailer"));
    for (int i = 0; i < colon; ++i) {
        if (!isTokenChar(line.at(i)))
            return fail(QStringLiteral("malformed chunk trailer"));
    }
    return true;
}

} // namespace HttpFraming
