// The answers of a hostile server (RawHttpServer) that every network path of the program must end
// as a failure with bounded memory, and well-formed answers it must still take byte for byte.
#pragma once

#include "rawhttpserver.h"

#include <QList>
#include <QNetworkReply>

namespace HostileAnswers {

struct Hostile
{
    const char *name;
    RawHttpServer::Answer answer;
    QNetworkReply::NetworkError error; // what a path that reports the reply's code reports
    bool headFlood;                    // a head or chunk line without end: ends within 15 s
};

struct WellFormed
{
    const char *name;
    RawHttpServer::Answer answer;
};

inline RawHttpServer::Answer answer(const QByteArray &bytes,
                                    RawHttpServer::Endless endless = RawHttpServer::Endless::None,
                                    const QByteArray &unit = QByteArray(), bool holdOpen = false)
{
    RawHttpServer::Answer a;
    a.bytes = bytes;
    a.endless = endless;
    a.unit = unit;
    a.holdOpen = holdOpen;
    return a;
}

inline QByteArray okHead(const QByteArray &fields)
{
    return "HTTP/1.1 200 OK\r\n" + fields + "\r\n";
}

// A chunked answer whose one chunk announces 2^63-1 bytes and never ends: 64 KiB of fill again
// and again, as fast as the client takes them.
inline RawHttpServer::Answer endlessChunk(char fill)
{
    return answer(okHead("Transfer-Encoding: chunked\r\n") + "7fffffffffffffff\r\n",
                  RawHttpServer::Endless::Repeat, QByteArray(65536, fill));
}

inline QList<Hostile> all()
{
    using E = RawHttpServer::Endless;
    const QByteArray chunked = okHead("Transfer-Encoding: chunked\r\n");
    QByteArray headerLines;
    for (int i = 0; i < 4096; ++i)
        headerLines += "X-Flood: 1\r\n";
    return {
        {"endless 2^63-1 chunk", endlessChunk('\0'), QNetworkReply::UnknownContentError, false},
        {"gzip bomb", answer(okHead("Content-Encoding: gzip\r\n"), E::Gzip),
         QNetworkReply::ProtocolFailure, false},
        {"deflate (zlib) bomb", answer(okHead("Content-Encoding: deflate\r\n"), E::Zlib),
         QNetworkReply::ProtocolFailure, false},
        {"raw-deflate bomb", answer(okHead("Content-Encoding: deflate\r\n"), E::RawDeflate),
         QNetworkReply::ProtocolFailure, false},
        {"endless status line", answer("HTTP/1.1 200 OK", E::Repeat, QByteArray(65536, 'K')),
         QNetworkReply::ProtocolFailure, true},
        {"endless header line",
         answer("HTTP/1.1 200 OK\r\nX-Endless: ", E::Repeat, QByteArray(65536, 'a')),
         QNetworkReply::ProtocolFailure, true},
        {"endless chunk extension", answer(chunked + "5;", E::Repeat, QByteArray(65536, 'e')),
         QNetworkReply::ProtocolFailure, true},
        {"millions of header lines", answer("HTTP/1.1 200 OK\r\n", E::Repeat, headerLines),
         QNetworkReply::ProtocolFailure, true},
        {"endless interim answers",
         answer(QByteArray(), E::Repeat,
                "HTTP/1.1 103 Early Hints\r\nLink: </a.css>; rel=preload\r\n\r\n"),
         QNetworkReply::ProtocolFailure, true},
        {"chunk size zz", answer(chunked + "5\r\nhello\r\nzz\r\nhello\r\n0\r\n\r\n"),
         QNetworkReply::ProtocolFailure, false},
        {"chunk size -10", answer(chunked + "5\r\nhello\r\n-10\r\nhello\r\n0\r\n\r\n"),
         QNetworkReply::ProtocolFailure, false},
        {"chunk size of 24 hex digits",
         answer(chunked + "5\r\nhello\r\n000000000000000000000005\r\nhello\r\n0\r\n\r\n"),
         QNetworkReply::ProtocolFailure, false},
        {"chunked body cut mid-chunk", answer(chunked + "5\r\nhello\r\n10\r\nhello"),
         QNetworkReply::RemoteHostClosedError, false},
        {"Content-Length body cut short", answer(okHead("Content-Length: 100\r\n") + "hello"),
         QNetworkReply::RemoteHostClosedError, false},
        {"two different Content-Length headers",
         answer(okHead("Content-Length: 5\r\nContent-Length: 100000000\r\n") + "hello", E::None,
                QByteArray(), true),
         QNetworkReply::ProtocolFailure, false},
    };
}

// body framed with a Content-Length, in chunks, and in chunks with extensions and a trailer;
// withEmpty adds an empty body.
inline QList<WellFormed> wellFormed(const QByteArray &body, bool withEmpty)
{
    const QByteArray chunked = okHead("Transfer-Encoding: chunked\r\n");
    const int half = body.size() / 2;
    const auto chunk = [](const QByteArray &data, const QByteArray &extension) {
        return QByteArray::number(data.size(), 16) + extension + "\r\n" + data + "\r\n";
    };
    QList<WellFormed> answers{
        {"Content-Length", answer(okHead("Content-Length: " + QByteArray::number(body.size()) +
                                         "\r\nContent-Encoding: identity\r\n") +
                                  body)},
        {"chunked",
         answer(chunked + chunk(body.left(half), "") + chunk(body.mid(half), "") + "0\r\n\r\n")},
        {"chunked with extensions and a trailer",
         answer(chunked + chunk(body.left(half), ";name=value") + chunk(body.mid(half), " ; flag") +
                "0;last\r\nX-Checksum: none\r\n\r\n")},
    };
    if (withEmpty)
        answers.append({"empty body", answer(okHead("Content-Length: 0\r\n"))});
    return answers;
}

// A slow peer's answers: a head line or a body byte comes every few of the peer's seconds, within
// the idle timeout, but the head never ends or the body never reaches its length. Each ends with
// TimeoutError by the head's or the body's bound in time. secondMs is how long one of the peer's
// seconds lasts: 1000 against the real bounds, shortSecondMs against bounds shortened alike.
inline QList<Hostile> slowPeers(int secondMs)
{
    const auto paced = [](const QByteArray &bytes, const QByteArray &unit, int intervalMs) {
        RawHttpServer::Answer a = answer(bytes, RawHttpServer::Endless::Repeat, unit);
        a.intervalMs = intervalMs;
        return a;
    };
    return {
        {"a byte every 6 s", paced(okHead("Content-Length: 100000\r\n"), "x", 6 * secondMs),
         QNetworkReply::TimeoutError, false},
        {"103 Early Hints every 10 s",
         paced(QByteArray(), "HTTP/1.1 103 Early Hints\r\nLink: </a.css>; rel=preload\r\n\r\n",
               10 * secondMs),
         QNetworkReply::TimeoutError, false},
        {"a header line every 10 s", paced("HTTP/1.1 200 OK\r\n", "X-Slow: 1\r\n", 10 * secondMs),
         QNetworkReply::TimeoutError, false},
    };
}
// The peer's second of slowPeers() against bounds shortened to 1/20: the idle timeout and the
// head's bound are 30 of them (1.5 s), the body's window 60 (3 s).
constexpr int shortSecondMs = 50;

// Sets a client's idle timeout and bounds in time as the program's own stand to a peer of real
// seconds, for a peer whose second lasts secondMs: the idle timeout and the head's bound 30 of
// them, the body's window 60.
template <typename Client> void shortenBounds(Client &client, int secondMs)
{
    client.setTransferTimeout(30 * secondMs);
    client.setPaceBounds({30 * secondMs, 60 * secondMs});
}

// A 2xx answer that is no success: it holds no whole file, grants no token and takes no upload.
struct NoFile
{
    const char *name;
    RawHttpServer::Answer answer;
    int status;
};

// A file path ends each as UnknownContentError, named by its status, at its head. The finite
// bodies are body, of contentType when one is given: a path that reads its answer (a token) must
// take it as no success either.
inline QList<NoFile> noFiles(const QByteArray &body = QByteArrayLiteral("hello"),
                             const QByteArray &contentType = QByteArray())
{
    QByteArray fields = "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    if (!contentType.isEmpty())
        fields.prepend("Content-Type: " + contentType + "\r\n");
    return {
        {"204 No Content", answer("HTTP/1.1 204 No Content\r\n\r\n"), 204},
        {"206 Partial Content",
         answer("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-" +
                QByteArray::number(body.size() - 1) + "/100000\r\n" + fields + body),
         206},
        {"206 with an endless body",
         answer("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-99999999/100000000\r\n"
                "Content-Length: 100000000\r\n\r\n",
                RawHttpServer::Endless::Repeat, QByteArray(65536, 'p')),
         206},
        {"203 Non-Authoritative Information",
         answer("HTTP/1.1 203 Non-Authoritative Information\r\n" + fields + body), 203},
    };
}

} // namespace HostileAnswers
