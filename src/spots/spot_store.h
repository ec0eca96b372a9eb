#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/contact_status.h"
#include "core/date_time.h"

namespace wexon::spots {

// What a spot means to this station: its contact status on the current band
// and, for spots from skimmers, how many skimmers heard it and whether one
// skimmer alone heard a call nobody knows.
struct SpotMark {
    core::ContactStatus status = core::ContactStatus::Ordinary;
    std::string prefix; // the call's WPX prefix
    int skimmers = 0;   // distinct skimmers that heard it; 0 for a spot from a person
    bool unconfirmed = false;

    bool operator==(const SpotMark&) const = default;
};

// One slot of the spot store.
struct SpotSlot {
    std::string call;
    float frequency = 0.0f;             // MHz; 0 marks a slot that is not shown
    std::optional<core::DateTime> time; // local time the spot was stored
    std::string label;                  // the band-map prefix of the call
    // Which spot this is: the store counts the spots it takes from 1, so a
    // display can tell a spot that only moved to another slot from a new one.
    std::uint64_t serial = 0;
    SpotMark mark;
};

// The last 50 spots regardless of band: slot 49 the newest, slot 0 the oldest.
// Never saved; it lives as long as the program.
class SpotStore {
  public:
    static constexpr int kSlots = 50;

    const SpotSlot& slot(int index) const { return m_slots[static_cast<std::size_t>(index)]; }
    // A slot no longer to be shown (frequency 0); ignored outside 0-49.
    void clearFrequency(int index);
    // Sets a slot's mark; false when it already had that mark (or the index is
    // outside 0-49), so callers redraw only what changed.
    bool setMark(int index, const SpotMark& mark);

    // Shifts every slot down by one, puts the spot in slot 49 and blanks the
    // latest earlier spot of the same call among slots 48 to 1 (slot 0 is left
    // alone, and only one earlier spot is blanked).
    void add(std::string_view call, float mhz, const core::DateTime& now);

  private:
    std::array<SpotSlot, kSlots> m_slots;
    std::uint64_t m_taken = 0;
};

} // namespace wexon::spots
