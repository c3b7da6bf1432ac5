// The message shown when ride files could not be copied from the camera card.
#pragma once

#include "ridedatafolder.h"

#include <QString>

namespace RideCopyReport {

// Names listed in the message at most; the rest are counted.
constexpr int shownNames = 5;

// How many files failed, why (one line per cause with its count) and the first few names;
// empty when nothing failed.
QString failureText(const QVector<RideDataFolder::CopyFailure> &failed);
// A copy that could not start: the system gave the program no thread for it.
QString notStartedText();

} // namespace RideCopyReport
