#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/country_table.h"
#include "core/date_time.h"
#include "spots/spot_list.h"
#include "spots/spot_store.h"

namespace wexon::spots {

// What taking in one spot did, for the window to show.
struct IntakeResult {
    bool ownCallSpotted = false;
    std::string spotText; // the spot text after cutting at its first line end
    bool stored = false;  // the frequency was numeric: store and list changed
    std::optional<SpotListRow> row;
};

// The domain work of a new spot: the own-call check, the kHz to MHz conversion,
// the store update and the list row. `frequencyKhz` is the frequency column as
// received; anything not numeric (an announcement) stores nothing.
IntakeResult takeInSpot(SpotStore& store, SpotList& list, const core::CountryTable& countries,
                        std::string_view ownCall, std::string_view call,
                        std::string_view frequencyKhz, std::string_view spotText,
                        const core::DateTime& now);

} // namespace wexon::spots
