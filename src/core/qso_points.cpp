#include "core/qso_points.h"

#include "core/bands.h"
#include "core/text_util.h"

namespace wexon::core {

namespace {

struct BandPair {
    int high;
    int low;
};

} // namespace

int qsoPoints(const PointsQuery& q) {
    // Trailing blanks left by a completion never make a country differ from the
    // own one.
    const std::string country = trimRight(q.countryBox);
    if (country.empty() || equalsIgnoreCase(country, "Not Found")) {
        return 0;
    }
    const std::string ownCountry = trimRight(q.ownCountry);
    const bool otherContinent = !equalsIgnoreCase(q.continent, q.ownContinent);
    const bool sameCountry = equalsIgnoreCase(country, ownCountry);
    const bool bothInNa =
        equalsIgnoreCase(q.continent, "NA") && equalsIgnoreCase(q.ownContinent, "NA");

    // Each step below overrides what an earlier one set, so a table whose own
    // country sits on another continent still scores as the own country.
    BandPair points{0, 0};
    if (otherContinent) {
        points = {3, 6};
    } else if (!sameCountry) {
        points = bothInNa ? BandPair{2, 4} : BandPair{1, 2};
    }
    if (sameCountry) {
        points = {1, 1};
    }
    if (equalsIgnoreCase(q.contestMode, "RY")) {
        if (otherContinent) {
            points = {3, 6};
        } else if (!sameCountry) {
            points = {2, 4};
        }
        if (sameCountry) {
            points = {1, 2};
        }
    }
    return isLowBand(q.band) ? points.low : points.high;
}

std::string qsoPointsText(const PointsQuery& q) {
    int points = qsoPoints(q);
    return points == 0 ? std::string() : std::to_string(points);
}

int pointsKey(int key) {
    if (key == 8) {
        return key;
    }
    if (key < '0' || key > '9') {
        return 0;
    }
    return key > '6' ? '6' : key;
}

} // namespace wexon::core
