// fuzz-sources: rig/band_plan core/quoted_form core/number_format
// Drives the band plan reader ("BandPlan.txt") and what is made of it with
// arbitrary bytes. Promises checked: at most the asked number of rows, each
// with finite edges; the rows of a class are the plan's
// rows of that class; the mode chosen for a frequency is empty, "LSB", "USB" or
// a mode text of a row; the privileges chart keeps within its bar bound and
// every segment names a bar of the chart.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rig/band_plan.h"

using namespace wexon::rig;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first byte picks the row limit and the second the chart's bar limit,
    // so that both edges are reached with small inputs.
    const std::size_t maxRows = 1 + data[0] % 32;
    const std::size_t maxBars = 1 + data[1] % 8;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

    const BandPlan plan = parseBandPlan(bytes, maxRows);
    FUZZ_CHECK(plan.rows.size() <= maxRows);
    for (const BandPlanRow& r : plan.rows) {
        FUZZ_CHECK(std::isfinite(r.lower) && std::isfinite(r.upper));
    }
    const std::vector<BandPlanRow> extra = rowsOfClass(plan, 'E');
    std::size_t extraInPlan = 0;
    for (const BandPlanRow& r : plan.rows) {
        extraInPlan += r.licence == 'E' ? 1 : 0;
    }
    FUZZ_CHECK(extra.size() == extraInPlan);
    for (float mhz : {0.0f, 1.9f, 3.6f, 5.35f, 7.1f, 14.2f, 28.5f, -1.0f, 1e30f}) {
        const std::string mode = bandPlanMode(extra, mhz);
        bool known = mode.empty() || mode == "LSB" || mode == "USB";
        for (const BandPlanRow& r : extra) {
            known = known || mode == r.mode;
        }
        FUZZ_CHECK(known);
    }
    for (char licence : {'N', 'T', 'G', 'A', 'E', 'O'}) {
        const PrivilegeChart chart = privilegeChart(plan, licence, maxBars);
        FUZZ_CHECK(chart.bars.size() <= maxBars);
        for (const ChartSegment& seg : chart.segments) {
            FUZZ_CHECK(seg.bar < chart.bars.size());
            FUZZ_CHECK(std::isfinite(seg.lower) && std::isfinite(seg.upper));
        }
    }
    // The same bytes read again give the same plan.
    const BandPlan again = parseBandPlan(bytes, maxRows);
    FUZZ_CHECK(again.effective == plan.effective && again.rows.size() == plan.rows.size());
    return 0;
}
