#include "spots/spot_store.h"

#include <utility>

#include "core/text_util.h"
#include "spots/spot_line.h"

namespace wexon::spots {

void SpotStore::clearFrequency(int index) {
    if (index >= 0 && index < kSlots) {
        m_slots[static_cast<std::size_t>(index)].frequency = 0.0f;
    }
}

bool SpotStore::setMark(int index, const SpotMark& mark) {
    if (index < 0 || index >= kSlots) {
        return false;
    }
    SpotMark& held = m_slots[static_cast<std::size_t>(index)].mark;
    if (held == mark) {
        return false;
    }
    held = mark;
    return true;
}

void SpotStore::add(std::string_view call, float mhz, const core::DateTime& now) {
    // Moving rather than copying keeps a busy cluster cheap; a label is always
    // the label of its own call, so it moves with it.
    for (std::size_t i = 1; i < m_slots.size(); ++i) {
        m_slots[i - 1] = std::move(m_slots[i]);
    }
    SpotSlot& newest = m_slots.back();
    newest.call.assign(call);
    newest.frequency = mhz;
    newest.time = now;
    newest.label = spotLabelText(call);
    newest.serial = ++m_taken;
    newest.mark = SpotMark{};

    for (int i = kSlots - 2; i >= 1; --i) {
        SpotSlot& s = m_slots[static_cast<std::size_t>(i)];
        if (core::equalsIgnoreCase(s.call, call)) {
            s.frequency = 0.0f;
            break;
        }
    }
}

} // namespace wexon::spots
