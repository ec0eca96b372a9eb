#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/date_time.h"

namespace wexon::spots {

// One slot of the spot store.
struct SpotSlot {
    std::string call;
    float frequency = 0.0f;             // MHz; 0 marks a slot that is not shown
    std::optional<core::DateTime> time; // local time the spot was stored
    std::string label;                  // the band-map prefix of the call
    // Which spot this is: the store counts the spots it takes from 1, so a
    // display can tell a spot that only moved to another slot from a new one.
    std::uint64_t serial = 0;
};

// The last 50 spots regardless of band: slot 49 the newest, slot 0 the oldest.
// Never saved; it lives as long as the program.
class SpotStore {
  public:
    static constexpr int kSlots = 50;

    const SpotSlot& slot(int index) const { return m_slots[static_cast<std::size_t>(index)]; }
    // A slot no longer to be shown (frequency 0); ignored outside 0-49.
    void clearFrequency(int index);

    // Shifts every slot down by one, puts the spot in slot 49 and blanks the
    // latest earlier spot of the same call among slots 48 to 1 (slot 0 is left
    // alone, and only one earlier spot is blanked).
    void add(std::string_view call, float mhz, const core::DateTime& now);

  private:
    std::array<SpotSlot, kSlots> m_slots;
    std::uint64_t m_taken = 0;
};

} // namespace wexon::spots
