// The rider's body data and the calorie estimate of a ride.
#pragma once

namespace BodyDataUnset {
// One above the largest value the body-data page accepts for each field.
constexpr int age = 1000;
constexpr int heightFt = 100;
constexpr int heightIn = 100;
constexpr int weight = 10000;
constexpr int gender = 0;
} // namespace BodyDataUnset

namespace BodyGender {
constexpr int male = 1;
constexpr int female = 2;
} // namespace BodyGender

struct BodyData
{
    int age = BodyDataUnset::age;           // years
    int heightFt = BodyDataUnset::heightFt; // whole feet
    int heightIn = BodyDataUnset::heightIn; // additional inches
    int weight = BodyDataUnset::weight;     // pounds
    int gender = BodyDataUnset::gender;     // BodyGender::male or female

    // Age, height and weight are all given (the gender is not part of this check).
    bool measuresSet() const;
    // Every field, gender included, is given.
    bool isSet() const;
};

// Revised Harris-Benedict basal metabolic rate in kcal per day; 0 for an unknown gender.
double basalMetabolicRate(const BodyData &body);
// Cycling METs factor of an average speed in km/h; a speed that is not a number counts as fast.
double cyclingMets(double speedKmh);
// Energy in kcal of riding minute whole minutes at speedKmh; 0 while body data is unset or
// minute is 0.
double getCalorie(const BodyData &body, double speedKmh, int minute);
