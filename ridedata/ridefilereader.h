// Streams the whole records of a ride-data file.
#pragma once

#include "riderecord.h"

#include <QString>

#include <functional>

enum class RideFileStatus
{
    Read,       // at least one byte was read; a short final record is ignored
    CannotOpen, // missing, unreadable or not a file
    Empty,      // opened but held no byte
    TooLarge    // larger than RideFormat::maxFileBytes: not read
};

// Reads path in blocks of RideFormat::blockBytes and calls onRecord for each whole record in file
// order. Time and memory are linear in the file size; no text codec is involved.
RideFileStatus readRideFile(const QString &path,
                            const std::function<void(const RideRecord &)> &onRecord);
