#include "bodydata.h"

namespace {
constexpr double kgPerPound = 0.45359;
constexpr double cmPerInch = 2.54;
constexpr double cmPerFoot = 30.4801;

struct MetsBand
{
    double upToKmh; // inclusive upper bound
    double mets;
};
constexpr MetsBand metsBands[] = {{9.0, 3.5},  {15.0, 4.0},  {16.0, 5.8}, {19.0, 6.8},
                                  {22.0, 8.0}, {26.0, 10.0}, {32.0, 12.0}};
constexpr double fastestMets = 15.8;
} // namespace

bool BodyData::measuresSet() const
{
    return age != BodyDataUnset::age && heightFt != BodyDataUnset::heightFt &&
           heightIn != BodyDataUnset::heightIn && weight != BodyDataUnset::weight;
}

bool BodyData::isSet() const
{
    return measuresSet() && gender != BodyDataUnset::gender;
}

double basalMetabolicRate(const BodyData &body)
{
    const auto kg = static_cast<double>(static_cast<long long>(body.weight * kgPerPound));
    const auto cm = static_cast<double>(
        static_cast<long long>(body.heightIn * cmPerInch + body.heightFt * cmPerFoot));
    if (body.gender == BodyGender::male)
        return 13.397 * kg + 4.799 * cm - 5.677 * body.age + 88.362;
    if (body.gender == BodyGender::female)
        return 9.247 * kg + 3.098 * cm - 4.33 * body.age + 447.593;
    return 0.0;
}

double cyclingMets(double speedKmh)
{
    for (const MetsBand &band : metsBands) {
        if (speedKmh <= band.upToKmh)
            return band.mets;
    }
    return fastestMets;
}

double getCalorie(const BodyData &body, double speedKmh, int minute)
{
    if (!body.isSet() || minute == 0)
        return 0.0;
    const double hours = minute / 60.0;
    return (basalMetabolicRate(body) * cyclingMets(speedKmh) / 24.0) * hours;
}
