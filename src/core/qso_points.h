#pragma once

#include <string>
#include <string_view>

namespace wexon::core {

// What the points of the contact on the screen depend on. All texts are
// compared ignoring letter case.
struct PointsQuery {
    std::string_view countryBox;   // text of the country box
    std::string_view continent;    // continent of the table entry the lookup found
    std::string_view ownCountry;   // own station's country
    std::string_view ownContinent; // own station's continent
    std::string_view contestMode;  // "PH", "CW" or "RY"
    std::string_view band;         // "160" ... "10"
};

// QSO points of the contact: 0 when the country box is empty or shows "Not
// Found". Phone and CW: other continent 3 (low bands 6); same continent, other
// country 1 (2), or 2 (4) when both stations are in NA; own country 1. RTTY:
// other continent 3 (6), same continent 2 (4), own country 1 (2).
int qsoPoints(const PointsQuery& q);

// The text of the points box: the points as digits, empty when there are none.
std::string qsoPointsText(const PointsQuery& q);

// A key typed into the points box, after Enter and Space have been dealt with:
// digits pass, a digit above 6 becomes 6, Backspace (8) passes, any other key
// becomes 0 (dropped).
int pointsKey(int key);

} // namespace wexon::core
