#include "rig/band_plan.h"

#include <cmath>
#include <limits>
#include <optional>

#include "core/number_format.h"
#include "core/quoted_form.h"
#include "core/text_util.h"

namespace wexon::rig {

BandPlan parseBandPlan(std::string_view content, std::size_t maxRows) {
    BandPlan plan;
    core::FieldReader in(content);
    if (!in.next(plan.effective)) {
        return plan;
    }
    std::string v[5];
    while (plan.rows.size() < maxRows) {
        int got = 0;
        while (got < 5 && in.next(v[got])) {
            ++got;
        }
        if (got < 5) {
            break;
        }
        auto lower = core::parseNumber(v[3]);
        auto upper = core::parseNumber(v[4]);
        std::string licence = core::toUpper(core::trim(v[1]));
        // An edge must fit a float: a larger one is checked before it is
        // converted, since the conversion would be undefined.
        const auto fits = [](const std::optional<double>& v) {
            return v && std::isfinite(*v) && std::fabs(*v) <= std::numeric_limits<float>::max();
        };
        if (!fits(lower) || !fits(upper) || licence.size() != 1) {
            continue; // a bad record is skipped, the next one read
        }
        BandPlanRow row;
        row.band = core::trim(v[0]);
        row.licence = licence[0];
        row.mode = core::trim(v[2]);
        row.lower = static_cast<float>(*lower);
        row.upper = static_cast<float>(*upper);
        plan.rows.push_back(std::move(row));
    }
    return plan;
}

std::vector<BandPlanRow> rowsOfClass(const BandPlan& plan, char licence) {
    std::vector<BandPlanRow> out;
    for (const BandPlanRow& r : plan.rows) {
        if (r.licence == licence) {
            out.push_back(r);
        }
    }
    return out;
}

std::string bandPlanMode(const std::vector<BandPlanRow>& extraRows, float mhz) {
    for (const BandPlanRow& r : extraRows) {
        if (r.lower < mhz && mhz < r.upper) {
            if (r.band == "160") {
                return {};
            }
            if (r.mode == "PH") {
                // Voice on 60 m must be upper sideband, so it stays USB there.
                bool lower = r.band == "40" || r.band == "80";
                return lower ? "LSB" : "USB";
            }
            return r.mode;
        }
    }
    return {};
}

PrivilegeChart privilegeChart(const BandPlan& plan, char licence, std::size_t maxBands) {
    PrivilegeChart chart;
    const auto& rows = plan.rows;
    for (std::size_t i = 0; i < rows.size() && chart.bars.size() < maxBands; ++i) {
        if (rows[i].licence != 'O') {
            continue;
        }
        bool hasClass = false;
        for (std::size_t j = i + 1; j < rows.size() && rows[j].band == rows[i].band; ++j) {
            if (rows[j].licence == licence) {
                hasClass = true;
                break;
            }
        }
        if (!hasClass) {
            continue;
        }
        ChartBar bar;
        bar.band = rows[i].band;
        // The edges come from the first row of that band in the file.
        for (const BandPlanRow& r : rows) {
            if (r.band == bar.band) {
                bar.lower = r.lower;
                bar.upper = r.upper;
                break;
            }
        }
        chart.bars.push_back(bar);
    }
    for (const BandPlanRow& r : rows) {
        if (r.licence != licence) {
            continue;
        }
        for (std::size_t b = 0; b < chart.bars.size(); ++b) {
            if (chart.bars[b].band == r.band) {
                chart.segments.push_back({b, r.lower, r.upper, r.mode == "CW"});
                break;
            }
        }
    }
    return chart;
}

} // namespace wexon::rig
