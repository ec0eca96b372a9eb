#include "spots/spot_list.h"

#include <utility>

#include "core/number_format.h"
#include "core/text_util.h"
#include "spots/spot_line.h"

namespace wexon::spots {

SpotListRow makeSpotListRow(std::string_view call, float mhz, std::string_view country,
                            std::string_view spotText) {
    SpotListRow row;
    row.call.assign(call);
    row.frequency = core::formatShortest(mhz);
    row.country.assign(country);
    row.comments =
        core::trim(midText(spotText, 1, 11)) + "  " + core::trim(midText(spotText, 35, 25));
    row.prefix = core::trim(midText(spotText, 62, 5));
    row.time.assign(midText(spotText, 68, 4));
    row.from = core::trim(midText(spotText, 73, 4));
    return row;
}

void SpotList::push(SpotListRow row) {
    if (m_rows.size() >= kMaxRows) {
        m_rows.pop_back();
    }
    m_rows.push_front(std::move(row));
}

} // namespace wexon::spots

namespace wexon::spots {

std::size_t SpotList::findCall(std::string_view call) const {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (core::equalsIgnoreCase(m_rows[i].call, call)) {
            return i;
        }
    }
    return m_rows.size();
}

} // namespace wexon::spots
