// Bounds every network client of the program holds its transfers to.
#pragma once

#include <QtGlobal>

namespace NetworkLimits {
// A transfer that receives and sends nothing for this long ends with TimeoutError.
constexpr int transferTimeoutMs = 30000;
// A small answer (the version file, the token answer, the upload answer) that has not ended this
// long after its request was sent ends with TimeoutError, however steadily its bytes trickle.
constexpr int smallAnswerDeadlineMs = 60000;
// Small answers are a few lines of JSON.
constexpr qint64 smallAnswerMaxBytes = 1024 * 1024;
// Qt reads ahead at most this much of a body that a slot streams out.
constexpr qint64 streamReadBufferBytes = 1024 * 1024;
} // namespace NetworkLimits
