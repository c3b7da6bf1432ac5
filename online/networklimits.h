// Bounds every network client of the program holds its transfers to.
#pragma once

#include <QtGlobal>

namespace NetworkLimits {
// A transfer that receives and sends nothing for this long ends with TimeoutError.
constexpr int transferTimeoutMs = 30000;
// The head of an answer, interim (1xx) answers included, that is not complete this long after its
// request (with its body) went out ends with TimeoutError, however steadily its lines come.
constexpr int headTimeoutMs = 30000;
// A body that brings fewer than bodyRateMinBytes in any bodyRateWindowMs ends with TimeoutError,
// however steadily its bytes trickle.
constexpr int bodyRateWindowMs = 60000;
constexpr qint64 bodyRateMinBytes = 1024;
// The bounds in time that a peer's answer is held to besides the idle timeout; tests shorten them.
struct PaceBounds
{
    int headMs = headTimeoutMs;          // 0: none
    int bodyWindowMs = bodyRateWindowMs; // 0: none
};
// A small answer (the version file, the token answer, the upload answer) that has not ended this
// long after its request was sent ends with TimeoutError, however steadily its bytes trickle.
constexpr int smallAnswerDeadlineMs = 60000;
// Small answers are a few lines of JSON.
constexpr qint64 smallAnswerMaxBytes = 1024 * 1024;
// A reply holds at most this much of a body unread (unless its reader sets another read-buffer
// size); past it the transfer pauses until the reader takes bytes.
constexpr qint64 streamReadBufferBytes = 1024 * 1024;
// What curl reads from the socket at a time; beyond a reply's read buffer at most one such read is
// held unread (by the reply and curl together), and the pieces kept for reuse hold at most the
// read buffer and one such read more.
constexpr int curlBufferBytes = 512 * 1024;
// The most of a request body read ahead of what curl has sent.
constexpr qint64 uploadBufferBytes = 1024 * 1024;
// The head of one answer (status line and header lines with their line ends) may hold at most
// this many bytes and lines; a longer head is a framing error.
constexpr int maxHeadBytes = 64 * 1024;
constexpr int maxHeadLines = 256;
// A chunk-size line (size, extensions and CRLF) of a chunked body may hold at most this many
// bytes; the trailer after the last chunk at most maxHeadBytes.
constexpr int maxChunkLineBytes = 4096;
} // namespace NetworkLimits
