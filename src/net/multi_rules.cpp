#include "net/multi_rules.h"

#include <algorithm>
#include <charconv>

namespace wexon::net {

namespace {

constexpr int kMultiSingleMinutes = 10;
constexpr int kMultiTwoChangesPerHour = 8;

std::optional<int> digits(std::string_view text) {
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return v;
}

// Days since 2000/01/01 of a civil date (proleptic Gregorian).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<long long>(era) * 146097 + doe - 730425;
}

struct Timed {
    long long seconds;
    std::string band;
};

std::vector<Timed> timedFor(const std::vector<BandContact>& log, bool oneTransmitter,
                            int transmitter) {
    std::vector<Timed> out;
    out.reserve(log.size());
    for (const BandContact& c : log) {
        if (oneTransmitter && c.transmitter != transmitter) {
            continue;
        }
        if (auto s = contactSeconds(c.date, c.time)) {
            out.push_back({*s, c.band});
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Timed& a, const Timed& b) { return a.seconds < b.seconds; });
    return out;
}

} // namespace

std::string categoryName(Category category) {
    switch (category) {
    case Category::SingleOp:
        return "SINGLE-OP";
    case Category::MultiSingle:
        return "MULTI-ONE";
    case Category::MultiTwo:
        return "MULTI-TWO";
    case Category::MultiUnlimited:
        return "MULTI-UNLIMITED";
    case Category::MultiDistributed:
        return "MULTI-DISTRIBUTED";
    }
    return "SINGLE-OP";
}

Category categoryFromName(std::string_view name) {
    for (Category c : kCategories) {
        if (categoryName(c) == name) {
            return c;
        }
    }
    return Category::SingleOp;
}

bool serialsPerBand(Category category) {
    return category == Category::MultiTwo || category == Category::MultiUnlimited ||
           category == Category::MultiDistributed;
}

std::optional<long long> contactSeconds(std::string_view date, std::string_view time) {
    if (date.size() != 10 || date[4] != '/' || date[7] != '/' || time.size() != 8 ||
        time[2] != ':' || time[5] != ':') {
        return std::nullopt;
    }
    auto y = digits(date.substr(0, 4));
    auto mo = digits(date.substr(5, 2));
    auto d = digits(date.substr(8, 2));
    auto h = digits(time.substr(0, 2));
    auto mi = digits(time.substr(3, 2));
    auto s = digits(time.substr(6, 2));
    if (!y || !mo || !d || !h || !mi || !s || *mo < 1 || *mo > 12 || *d < 1 || *d > 31 ||
        *h > 23 || *mi > 59 || *s > 59) {
        return std::nullopt;
    }
    return daysFromCivil(*y, *mo, *d) * 86400 + *h * 3600LL + *mi * 60LL + *s;
}

std::string bandChangeWarning(Category category, const std::vector<BandContact>& mergedLog,
                              std::string_view date, std::string_view time, std::string_view band,
                              int transmitter) {
    auto now = contactSeconds(date, time);
    if (!now) {
        return {};
    }
    if (category == Category::MultiSingle) {
        std::vector<Timed> log = timedFor(mergedLog, false, 0);
        // Contacts up to now; the last one's band is where the station is.
        auto end = std::upper_bound(log.begin(), log.end(), *now,
                                    [](long long t, const Timed& c) { return t < c.seconds; });
        if (end == log.begin()) {
            return {};
        }
        const std::string& current = std::prev(end)->band;
        if (current == band) {
            return {};
        }
        // The first contact of the current stretch on that band.
        auto first = std::prev(end);
        while (first != log.begin() && std::prev(first)->band == current) {
            --first;
        }
        const long long since = *now - first->seconds;
        if (since < kMultiSingleMinutes * 60LL) {
            const long long left = kMultiSingleMinutes * 60LL - since;
            return "Multi-Single: the station moved to " + current + " m " +
                   std::to_string(since / 60) + " min ago; a contact on " + std::string(band) +
                   " m now breaks the 10-minute rule (" + std::to_string((left + 59) / 60) +
                   " min to wait)";
        }
        return {};
    }
    if (category == Category::MultiTwo) {
        std::vector<Timed> log = timedFor(mergedLog, true, transmitter);
        const long long hourStart = *now - *now % 3600;
        int changes = 0;
        std::string previous;
        bool havePrevious = false;
        for (const Timed& c : log) {
            if (c.seconds > *now) {
                break;
            }
            if (havePrevious && c.band != previous && c.seconds >= hourStart) {
                ++changes;
            }
            previous = c.band;
            havePrevious = true;
        }
        if (havePrevious && previous != band && changes >= kMultiTwoChangesPerHour) {
            return "Multi-Two: transmitter " + std::to_string(transmitter) + " has made " +
                   std::to_string(changes) + " band changes this hour; a contact on " +
                   std::string(band) + " m would be one more than the 8 allowed";
        }
        return {};
    }
    return {};
}

} // namespace wexon::net
