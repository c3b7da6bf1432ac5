// Unit factors of the ride data: the rounded values the ride files and pages are made with.
#pragma once

namespace RideUnits {
constexpr double kmPerMetre = 0.001;
constexpr double milesPerMetre = 0.000621371;
constexpr double feetPerMetre = 3.28084;
constexpr double kmhPerMph = 1.60935; // the pages' mph to km/h
constexpr double mphPerKmh = 0.62137; // the files' km/h to mph
} // namespace RideUnits
