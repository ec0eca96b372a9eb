#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/contact_status.h"
#include "core/date_time.h"
#include "core/super_check_partial.h"
#include "spots/band_map_layout.h"
#include "spots/spot_list.h"
#include "spots/spot_store.h"

namespace wexon::spots {

// The station's answer for a call on the current band (core::contactStatus
// over the log's dupe index and prefix list).
using StatusRule = std::function<core::ContactStatusResult(std::string_view call)>;

// The mark a spot gets from the status rule, keeping its skimmer count and
// confirmation.
SpotMark markedWith(SpotMark mark, const core::ContactStatusResult& status);

// The mark in words, the parts joined by ", ": "new prefix JA1", "dupe",
// "3 skimmers", "unconfirmed". Empty for an ordinary spot from a person.
std::string markWords(const SpotMark& mark);

// The band map's tool tip ("JA1ABC  14.025  12:34:56") followed by the mark
// in words when there is one (", new prefix JA1").
std::string spotMarkedToolTip(const SpotSlot& slot, float utcOffsetHours);

// What a screen reader says of a band-map spot: "JA1ABC 14.025, new prefix
// JA1, 3 minutes ago".
std::string spotSpokenText(const SpotSlot& slot, const core::DateTime& now);

// Re-marks every stored spot and every list row; returns the store slots and
// the list rows whose mark changed (the rows' status text follows the mark).
struct Remarked {
    std::vector<int> changedSlots;
    std::vector<std::size_t> changedRows;
};
Remarked remarkSpots(SpotStore& store, SpotList& list, const StatusRule& rule);

// Re-marks any sequence of items that have `call` and `mark` (the bench marks
// thousands); returns how many changed.
template <class Items>
std::size_t remarkAll(Items& items, const StatusRule& rule) {
    std::size_t changed = 0;
    for (auto& item : items) {
        SpotMark m = markedWith(item.mark, rule(item.call));
        if (!(m == item.mark)) {
            item.mark = std::move(m);
            ++changed;
        }
    }
    return changed;
}

// The spotting window's filters.
struct SpotFilter {
    bool hideDupes = false;
    bool newPrefixesOnly = false;
    bool shows(const SpotMark& mark) const;
};

// Drops the placements whose spot the filter hides.
void filterPlacements(std::vector<LabelPlacement>& placements, const SpotStore& store,
                      const SpotFilter& filter);

// Ctrl+Up / Ctrl+Down: the spot nearest above (or below) `fromMhz` among the
// shown placements, a spot on `fromMhz` itself not counting; with
// `skipDupes`, dupes are passed over. Equal frequencies: the newest spot.
enum class JumpDirection { Up, Down };
std::optional<int> jumpTarget(const SpotStore& store, const std::vector<LabelPlacement>& shown,
                              double fromMhz, JumpDirection direction, bool skipDupes);

// The calls spotted on the current band, for the check-partial list to mark:
// upper-cased, sorted, each once, with a counter that moves on every change.
class SpottedCalls {
  public:
    // Takes the calls of the given placements; false (and no change of the
    // counter) when the set is the same.
    bool update(const SpotStore& store, const std::vector<LabelPlacement>& shown);
    bool contains(std::string_view call) const;
    const std::vector<std::string>& calls() const { return m_calls; }
    std::uint64_t changes() const { return m_changes; }

  private:
    std::vector<std::string> m_calls;
    std::uint64_t m_changes = 0;
};

// Whether the known-calls list holds exactly `call`.
bool isKnownCall(const core::SuperCheckPartial& known, std::string_view call);

// The voice prompts that spell a call: one per character, "A".."Z", "0".."9",
// and "Stroke" for "/"; other characters are passed over.
std::vector<std::string> spokenCallPrompts(std::string_view call);

} // namespace wexon::spots
