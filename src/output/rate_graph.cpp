#include "output/rate_graph.h"

#include <cmath>
#include <optional>

#include "core/date_time.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::output {

namespace {

constexpr int kArraySize = RateGraph::kColumns + 11; // columns 0..1510
constexpr std::int64_t kTenMinutes = 600;

std::optional<std::int64_t> contactTime(const core::QsoRecord& q) {
    auto d = core::parseDate(q.qsoDate);
    auto t = core::parseTime(q.qsoTime);
    if (!d || !t) {
        return std::nullopt;
    }
    d->hour = t->hour;
    d->minute = t->minute;
    d->second = t->second;
    return d->toEpochSeconds();
}

} // namespace

Rgb bandColour(std::string_view band, Rgb fallback) {
    for (const auto& b : kBandColours) {
        if (core::equalsIgnoreCase(band, b.band)) {
            return b.colour;
        }
    }
    return fallback;
}

RateGraph computeRateGraph(const std::vector<core::QsoRecord>& qsos, Rgb background) {
    RateGraph g;
    if (qsos.size() <= 6) {
        g.status = RateGraph::Status::TooFewContacts;
        return g;
    }
    g.rawRate.assign(kArraySize, 0.0f);
    g.plotRate.assign(kArraySize, 0.0f);
    g.columnColour.assign(kArraySize, background);

    std::vector<std::int64_t> times;
    times.reserve(qsos.size());
    for (const auto& q : qsos) {
        auto t = contactTime(q);
        if (!t) {
            return g; // a time that does not read ends the drawing
        }
        times.push_back(*t);
    }
    const std::int64_t first = times.front();
    const std::int64_t span = times.back() - first;
    if (span <= 0) {
        return g;
    }
    const double secondsPerColumn = static_cast<double>(span) / RateGraph::kColumns;

    for (int k = 0; k < RateGraph::kTimeLabels; ++k) {
        auto at = core::DateTime::fromEpochSeconds(
            first + static_cast<std::int64_t>(
                        std::llround(static_cast<double>(k) * static_cast<double>(span) / 14.0)));
        g.timeLabels[static_cast<std::size_t>(k)] = core::formatHourMinute(at);
        g.dateLabels[static_cast<std::size_t>(k)] = core::formatMonthDay(at);
    }

    auto& raw = g.rawRate;
    auto& plot = g.plotRate;
    raw[1] = 6.0f;
    plot[1] = 6.0f;
    const std::size_t n = times.size();
    for (std::size_t i = 0; i < n; ++i) {
        // Contacts of the ten minutes up to this one, itself included; the scan
        // stops at the first one ten minutes or more older.
        int count = 0;
        for (std::size_t j = i + 1; j-- > 0;) {
            if (times[i] - times[j] >= kTenMinutes) {
                break;
            }
            ++count;
        }
        long column = 1;
        if (i > 0) {
            column = std::lrint(static_cast<double>(times[i] - first) / secondsPerColumn);
        }
        // A contact logged out of order can fall outside the plot: it is left out.
        if (column < 0 || column > RateGraph::kColumns) {
            continue;
        }
        auto c = static_cast<std::size_t>(column);
        raw[c] = 6.0f * static_cast<float>(count);
        g.columnColour[c] = bandColour(qsos[i].band, g.columnColour[c]);
    }

    // Bridge gaps of up to 15 columns by a straight line from the column before.
    for (int c = 2; c <= RateGraph::kColumns; ++c) {
        auto uc = static_cast<std::size_t>(c);
        if (raw[uc] != 0.0f) {
            plot[uc] = raw[uc];
            continue;
        }
        for (int k = c + 1; k <= c + 15 && k < kArraySize; ++k) {
            auto uk = static_cast<std::size_t>(k);
            if (raw[uk] > 0.0f) {
                const float from = raw[uc - 1];
                const float step = (raw[uk] - from) / static_cast<float>(k - c);
                for (int m = c; m < k; ++m) {
                    float v = from + static_cast<float>(m - c) * step;
                    raw[static_cast<std::size_t>(m)] = v;
                    plot[static_cast<std::size_t>(m)] = v;
                }
                break;
            }
        }
    }

    // Smooth over the seven columns up to each one.
    for (int c = 7; c <= RateGraph::kColumns; ++c) {
        float sum = 0.0f;
        int positives = 0;
        for (int k = c - 6; k <= c; ++k) {
            float v = raw[static_cast<std::size_t>(k)];
            if (v > 0.0f) {
                sum += v;
                ++positives;
            }
        }
        if (positives > 0) {
            plot[static_cast<std::size_t>(c)] = sum / static_cast<float>(positives);
        }
    }

    for (int c = 1; c <= RateGraph::kColumns; ++c) {
        float v = plot[static_cast<std::size_t>(c)];
        g.minRate = std::min(g.minRate, v);
        g.maxRate = std::max(g.maxRate, v);
    }
    for (int i = 0; i < RateGraph::kRateLabels; ++i) {
        double v = g.minRate + i * (static_cast<double>(g.maxRate) - g.minRate) / 16.0;
        g.rateLabels[static_cast<std::size_t>(i)] = core::formatOneDecimal(v);
    }

    // A coloured stretch carries its colour on over the columns the gap filling
    // added; an empty column ends it.
    Rgb remembered = background;
    for (int c = 1; c <= RateGraph::kColumns; ++c) {
        auto uc = static_cast<std::size_t>(c);
        if (plot[uc] > 0.0f) {
            if (g.columnColour[uc] == background) {
                g.columnColour[uc] = remembered;
            } else {
                remembered = g.columnColour[uc];
            }
        } else {
            remembered = background;
        }
    }
    g.status = RateGraph::Status::Drawn;
    return g;
}

std::vector<RateSegment> rateSegments(const RateGraph& g, const PlotArea& a) {
    std::vector<RateSegment> out;
    if (g.status != RateGraph::Status::Drawn || !(g.maxRate > g.minRate)) {
        return out;
    }
    const double width = (a.right - a.left) / RateGraph::kColumns;
    const double height = a.bottom - a.top;
    const double scale = height / (static_cast<double>(g.maxRate) - g.minRate) * 0.995;
    auto x = [&](int c) { return a.left + 10.0 + width * (c - 2); };
    auto y = [&](int c) {
        return a.bottom - (g.plotRate[static_cast<std::size_t>(c)] - g.minRate) * scale -
               0.0025 * height;
    };
    out.reserve(RateGraph::kColumns);
    for (int c = 1; c <= RateGraph::kColumns; ++c) {
        RateSegment s;
        s.column = c;
        s.x0 = x(c - 1);
        s.y0 = y(c - 1);
        s.x1 = x(c);
        s.y1 = y(c);
        s.strip = g.plotRate[static_cast<std::size_t>(c - 1)] > 0.0f ||
                  g.plotRate[static_cast<std::size_t>(c)] > 0.0f;
        s.stripColour = g.columnColour[static_cast<std::size_t>(c)];
        out.push_back(s);
    }
    return out;
}

} // namespace wexon::output
