// Answers that each break one framing rule of an HTTP/1.1 answer's head or chunked body, and
// answers a lax reader gets wrong; read by the head and chunk reader alone and by the reply that
// carries them.
#pragma once

#include "hostileanswers.h"

#include <QList>

namespace FramingAnswers {

struct Rule
{
    const char *name;
    RawHttpServer::Answer answer;
    bool refused;        // a framing error; otherwise taken as below
    int status;          // of an answer taken
    QByteArray location; // its last Location field, "" for none
    QByteArray body;     // its body
};

// The field name that only interim answers carry: an answer taken never shows it.
inline const QByteArray interimField = "X-Interim";

inline QList<Rule> all()
{
    using HostileAnswers::answer;
    using HostileAnswers::okHead;
    const QByteArray chunked = okHead("Transfer-Encoding: chunked\r\n");
    const QByteArray hello = "Content-Length: 5\r\n\r\nhello";
    const auto refused = [](const char *name, const RawHttpServer::Answer &a) {
        return Rule{name, a, true, 0, QByteArray(), QByteArray()};
    };
    QByteArray kibLines; // 100 lines of 1 KiB: past the head's bytes, not its lines
    for (int i = 0; i < 100; ++i)
        kibLines += "X-Kib: " + QByteArray(1024 - 9, 'k') + "\r\n";
    QByteArray shortLines; // 300 lines of 8 bytes: past the head's lines, not its bytes
    for (int i = 0; i < 300; ++i)
        shortLines += "X-S: 1\r\n";
    return {
        refused("Transfer-Encoding gzip, chunked",
                answer(okHead("Transfer-Encoding: gzip, chunked\r\n") + "5\r\nhello\r\n0\r\n\r\n")),
        refused("two Transfer-Encoding fields",
                answer(okHead("Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n") +
                       "5\r\nhello\r\n0\r\n\r\n")),
        refused("Content-Length with Transfer-Encoding",
                answer(okHead("Content-Length: 5\r\nTransfer-Encoding: chunked\r\n") +
                       "5\r\nhello\r\n0\r\n\r\n")),
        refused("Content-Length -1", answer(okHead("Content-Length: -1\r\n") + "hello")),
        refused("Content-Length +5", answer(okHead("Content-Length: +5\r\n") + "hello")),
        refused("Content-Length 5, 5", answer(okHead("Content-Length: 5, 5\r\n") + "hello")),
        refused("Content-Length of 19 digits",
                answer(okHead("Content-Length: 1000000000000000000\r\n") + "hello")),
        refused("endless trailer", answer(chunked + "5\r\nhello\r\n0\r\n",
                                          RawHttpServer::Endless::Repeat, "X-Trailer: 1\r\n")),
        refused("100 header lines of 1 KiB", answer(okHead(kibLines))),
        refused("300 header lines of 8 bytes", answer(okHead(shortLines))),
        refused("70 KiB reason phrase",
                answer("HTTP/1.1 200 " + QByteArray(70 * 1024, 'r') + "\r\n" + hello)),
        refused("NUL in a field value",
                answer("HTTP/1.1 200 OK\r\nX-Value: a" + QByteArray(1, '\0') + "b\r\n" + hello)),
        refused("lone CR in a field value", answer("HTTP/1.1 200 OK\r\nX-Value: a\rb\r\n" + hello)),
        refused("field with an empty name", answer("HTTP/1.1 200 OK\r\n: value\r\n" + hello)),
        refused("blank before a field's colon",
                answer("HTTP/1.1 200 OK\r\nX-Value : a\r\n" + hello)),
        refused("status line ending in a bare LF", answer("HTTP/1.1 200 OK\n" + hello)),
        refused("header line ending in a bare LF",
                answer("HTTP/1.1 200 OK\r\nX-Value: a\n" + hello)),
        refused("chunk-size line ending in a bare LF", answer(chunked + "5\nhello\r\n0\r\n\r\n")),
        refused("chunk data ending in a bare LF", answer(chunked + "5\r\nhello\n0\r\n\r\n")),
        refused("trailer line ending in a bare LF",
                answer(chunked + "5\r\nhello\r\n0\r\nX-Trailer: 1\n\r\n")),
        refused("bytes after a chunk's data", answer(chunked + "5\r\nhelloXX\r\n0\r\n\r\n")),
        // without its rule an empty size line would read as the last chunk
        refused("empty chunk-size line", answer(chunked + "5\r\nhello\r\n\r\n\r\n")),
        refused("chunk size ffffffffffffffff",
                answer(chunked + "ffffffffffffffff\r\nhello\r\n0\r\n\r\n")),
        refused("chunk size 8000000000000000",
                answer(chunked + "8000000000000000\r\nhello\r\n0\r\n\r\n")),
        refused("status 2000", answer("HTTP/1.1 2000 OK\r\n" + hello)),
        refused("status 099", answer("HTTP/1.1 099 OK\r\n" + hello)),
        {"103 with fields before a 200",
         answer("HTTP/1.1 103 Early Hints\r\n" + interimField +
                ": 1\r\nLink: </style.css>\r\n\r\nHTTP/1.1 200 OK\r\n" + hello),
         false, 200, QByteArray(), "hello"},
        {"two Location fields",
         answer("HTTP/1.1 302 Found\r\nLocation: /first\r\nLocation: /second\r\n" + hello), false,
         302, "/second", "hello"},
    };
}

} // namespace FramingAnswers
