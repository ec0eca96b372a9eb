#include "keying/edge_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "keying/cw_timing.h"
#include "keying/morse_table.h"

namespace wexon::keying {

std::string unitsOfText(std::string_view text, int wordSpaceAdjust) {
    std::string units;
    for (char c : text) {
        units += keyedPattern(c, wordSpaceAdjust);
    }
    return units;
}

std::vector<std::int64_t> idealEdgeOffsets(std::string_view units, double unitNs) {
    std::vector<std::int64_t> out;
    char state = '0';
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] != state) {
            state = units[i];
            out.push_back(static_cast<std::int64_t>(std::llround(static_cast<double>(i) * unitNs)));
        }
    }
    return out;
}

EdgeErrorSummary summarizeEdgeErrors(const std::vector<KeyEdge>& edges, std::string_view units,
                                     double wpm) {
    EdgeErrorSummary s;
    double unitNs = unitMilliseconds(wpm) * 1e6;
    auto ideal = idealEdgeOffsets(units, unitNs);
    s.edges = edges.size();
    s.expectedEdges = ideal.size();
    std::size_t n = std::min(edges.size(), ideal.size());
    if (n == 0) {
        return s;
    }
    std::vector<double> errors;
    errors.reserve(n);
    double sum = 0;
    std::size_t over = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double errUs = std::fabs(static_cast<double>(edges[i].ns - edges[0].ns - ideal[i])) / 1e3;
        errors.push_back(errUs);
        sum += errUs;
        if (errUs > 200.0) {
            ++over;
        }
    }
    std::vector<double> intervals;
    for (std::size_t i = 1; i < n; ++i) {
        double actual = static_cast<double>(edges[i].ns - edges[i - 1].ns);
        double wanted = static_cast<double>(ideal[i] - ideal[i - 1]);
        intervals.push_back(std::fabs(actual - wanted) / 1e3);
    }
    std::sort(intervals.begin(), intervals.end());
    std::sort(errors.begin(), errors.end());
    auto pctOf = [](const std::vector<double>& v, double p) {
        if (v.empty()) {
            return 0.0;
        }
        auto idx = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())));
        idx = idx == 0 ? 0 : idx - 1;
        return v[std::min(idx, v.size() - 1)];
    };
    auto pct = [&](double p) { return pctOf(errors, p); };
    s.intervalP50Us = pctOf(intervals, 0.50);
    s.intervalP99Us = pctOf(intervals, 0.99);
    s.intervalMaxUs = intervals.empty() ? 0.0 : intervals.back();
    s.p50Us = pct(0.50);
    s.p90Us = pct(0.90);
    s.p99Us = pct(0.99);
    s.p999Us = pct(0.999);
    s.maxUs = errors.back();
    s.meanUs = sum / static_cast<double>(n);
    s.overLimitShare = static_cast<double>(over) / static_cast<double>(n);
    return s;
}

std::string formatEdgeSummary(const EdgeErrorSummary& s) {
    char buf[384];
    std::snprintf(buf, sizeof buf,
                  "edges %zu/%zu  mean %.1f us  p50 %.1f us  p90 %.1f us  p99 %.1f us  "
                  "p99.9 %.1f us  max %.1f us  over 0.2 ms %.2f%%  | element lengths: "
                  "p50 %.1f us  p99 %.1f us  max %.1f us",
                  s.edges, s.expectedEdges, s.meanUs, s.p50Us, s.p90Us, s.p99Us, s.p999Us, s.maxUs,
                  s.overLimitShare * 100.0, s.intervalP50Us, s.intervalP99Us, s.intervalMaxUs);
    return buf;
}

} // namespace wexon::keying
