#include "spots/spot_intake.h"

#include <cmath>
#include <limits>

#include "core/number_format.h"
#include "core/text_util.h"
#include "spots/spot_line.h"

namespace wexon::spots {

IntakeResult takeInSpot(SpotStore& store, SpotList& list, const core::CountryTable& countries,
                        std::string_view ownCall, std::string_view call,
                        std::string_view frequencyKhz, std::string_view spotText,
                        const core::DateTime& now) {
    IntakeResult result;
    // The text ends at its first line end. A line feed counts as well as a
    // carriage return, so that a cluster ending its lines with a bare line feed
    // does not carry the next lines into the list.
    const std::size_t cut = spotText.find_first_of("\r\n");
    result.spotText.assign(spotText.substr(0, cut));

    // An empty call field (an announcement) never matches, even before the own
    // call has been entered.
    if (!call.empty() && core::equalsIgnoreCase(core::trim(ownCall), call)) {
        result.ownCallSpotted = true;
    }

    const std::optional<double> khz = core::parseNumber(frequencyKhz);
    if (!khz) {
        return result;
    }
    const double mhz = *khz / 1000.0;
    // A value a single-precision number cannot hold is not a frequency.
    if (!std::isfinite(mhz) || std::fabs(mhz) > std::numeric_limits<float>::max()) {
        return result;
    }
    const float frequency = static_cast<float>(mhz);
    store.add(call, frequency, now);
    list.push(makeSpotListRow(call, frequency, countryForSpot(countries, call), result.spotText));
    result.row = list.row(0);
    result.stored = true;
    return result;
}

} // namespace wexon::spots
