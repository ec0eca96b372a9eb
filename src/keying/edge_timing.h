#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::keying {

// Measures keying accuracy: each recorded key edge against the time it should
// have come, counted in units from the first edge.
struct KeyEdge {
    bool down;
    std::int64_t ns;
};

// The units the text keys, in order (word space unadjusted).
std::string unitsOfText(std::string_view text, int wordSpaceAdjust = 0);

// Ideal times (ns after the first edge) of every edge of `units`.
std::vector<std::int64_t> idealEdgeOffsets(std::string_view units, double unitNs);

struct EdgeErrorSummary {
    std::size_t edges = 0;
    std::size_t expectedEdges = 0;
    double p50Us = 0;
    double p90Us = 0;
    double p99Us = 0;
    double p999Us = 0;
    double maxUs = 0;
    double meanUs = 0;
    // Share of edges more than 0.2 ms from their ideal time.
    double overLimitShare = 0;
    // The same for element lengths: each interval between two edges against
    // its ideal length, which shows how the keying sounds even when the
    // whole message has slipped.
    double intervalP50Us = 0;
    double intervalP99Us = 0;
    double intervalMaxUs = 0;
};

// Compares recorded edges with the ideal edges of `units` at `wpm`: the
// absolute error of each edge. A count mismatch is reported in `edges` and
// `expectedEdges` and only the common edges are compared.
EdgeErrorSummary summarizeEdgeErrors(const std::vector<KeyEdge>& edges, std::string_view units,
                                     double wpm);

std::string formatEdgeSummary(const EdgeErrorSummary& s);

} // namespace wexon::keying
