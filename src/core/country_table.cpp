#include "core/country_table.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "core/number_format.h"
#include "core/quoted_form.h"

namespace wexon::core {

namespace {

constexpr unsigned char upperAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

int upperCode(char c) {
    return upperAscii(static_cast<unsigned char>(c));
}

bool startsWithIgnoreCase(std::string_view text, std::string_view start) {
    if (start.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < start.size(); ++i) {
        if (upperCode(text[i]) != upperCode(start[i])) {
            return false;
        }
    }
    return true;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithIgnoreCase(a, b);
}

// The first (up to) eight characters of a text, upper-cased, one per byte with
// the first character in the low byte, so that a prefix test of up to eight
// characters is one masked comparison.
std::uint64_t packHead(std::string_view text) {
    std::uint64_t head = 0;
    std::size_t n = text.size() < 8 ? text.size() : 8;
    for (std::size_t i = 0; i < n; ++i) {
        head |= static_cast<std::uint64_t>(upperCode(text[i])) << (8 * i);
    }
    return head;
}

constexpr std::array<std::uint64_t, 9> kHeadMasks = [] {
    std::array<std::uint64_t, 9> masks{};
    for (std::size_t len = 0; len < 8; ++len) {
        masks[len] = (std::uint64_t{1} << (8 * len)) - 1;
    }
    masks[8] = ~std::uint64_t{0};
    return masks;
}();

constexpr double kDegreesPerRadian = 57.29577951;
constexpr double kMilesPerRadian = 3955.75791314991;

} // namespace

// ---------------------------------------------------------------------------
// Table

void CountryTable::add(CountryEntry e) {
    ScanKey key;
    key.head = packHead(e.prefix);
    key.length = static_cast<std::uint32_t>(e.prefix.size());
    key.first = e.prefix.empty() ? -1 : upperCode(e.prefix.front());
    const auto index = static_cast<std::int32_t>(m_keys.size()) + 1;
    key.runStart = key.runEnd = index;
    key.pairRunStart = key.pairRunEnd = index;
    if (!m_keys.empty()) {
        const ScanKey& previous = m_keys.back();
        if (previous.first == key.first) {
            key.runStart = previous.runStart;
            m_keys[static_cast<std::size_t>(key.runStart - 1)].runEnd = index;
            if (previous.length >= 2 && key.length >= 2 &&
                (previous.head & kHeadMasks[2]) == (key.head & kHeadMasks[2])) {
                key.pairRunStart = previous.pairRunStart;
                m_keys[static_cast<std::size_t>(key.pairRunStart - 1)].pairRunEnd = index;
            }
        }
    }
    m_keys.push_back(key);
    m_prefixes.push_back(e.prefix);
    m_stored.push_back({nameNumber(e.country), nameNumber(e.continent), e.longitude, e.latitude});
}

std::uint16_t CountryTable::nameNumber(const std::string& name) {
    const auto found = m_nameNumbers.find(name);
    if (found != m_nameNumbers.end()) {
        return found->second;
    }
    // At most two names per entry, and kMaxEntries entries, fit the 16 bits.
    const auto number = static_cast<std::uint16_t>(m_names.size());
    m_names.push_back(name);
    m_nameNumbers.emplace(name, number);
    return number;
}

CountryEntry CountryTable::entry(int index) const {
    if (index < 1 || index > count()) {
        return {};
    }
    const auto i = static_cast<std::size_t>(index - 1);
    const Stored& s = m_stored[i];
    CountryEntry e;
    e.prefix = std::string(m_prefixes[i]);
    e.country = std::string(m_names[s.country]);
    e.continent = std::string(m_names[s.continent]);
    e.longitude = s.longitude;
    e.latitude = s.latitude;
    return e;
}

std::string_view CountryTable::countryOf(int index) const {
    if (index < 1 || index > count()) {
        return {};
    }
    return m_names[m_stored[static_cast<std::size_t>(index - 1)].country];
}

int CountryTable::findCountry(std::string_view country) const {
    for (std::size_t i = 0; i < m_stored.size(); ++i) {
        if (equalsIgnoreCase(m_names[m_stored[i].country], country)) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

CountryTable::LoadResult CountryTable::load(std::string_view bytes) {
    static constexpr const char* kFieldNames[8] = {"prefix",   "country", "continent", "longitude",
                                                   "latitude", "field 6", "field 7",   "field 8"};
    LoadResult result;
    FieldReader reader(bytes);
    std::string value;
    std::size_t record = 0;
    auto fail = [&](const std::string& what) {
        result.error = "entry " + std::to_string(record) + ": " + what;
        return std::move(result);
    };

    while (!reader.atEnd()) {
        ++record;
        if (record > kMaxEntries) {
            result.error = "more than " + std::to_string(kMaxEntries) + " entries";
            return result;
        }
        CountryEntry e;
        for (int field = 0; field < 8; ++field) {
            const std::string_view name = kFieldNames[field];
            if (!reader.next(value)) {
                return fail("cut short before its " + std::string(name));
            }
            if (field < 3) {
                if (!reader.lastWasQuoted()) {
                    return fail("the " + std::string(name) + " is not a text in double quotes");
                }
                (field == 0 ? e.prefix : field == 1 ? e.country : e.continent) = value;
            } else if (field < 5) {
                std::optional<double> number;
                if (!reader.lastWasQuoted()) {
                    number = parseNumber(value);
                }
                float f = number ? static_cast<float>(*number) : 0.0f;
                if (!number || !std::isfinite(f)) {
                    return fail("the " + std::string(name) + " \"" + value + "\" is not a number");
                }
                (field == 3 ? e.longitude : e.latitude) = f;
            }
            // Fields 6 to 8 are read past; the logger does not use them.
        }
        result.table.add(std::move(e));
    }
    return result;
}

int CountryTable::findLongestPrefix(std::string_view call) const {
    const int n = count();
    if (call.empty() || n == 0) {
        return 0;
    }
    const int c = upperCode(call.front());
    auto firstOf = [&](int i) {
        return (i >= 1 && i <= n) ? m_keys[static_cast<std::size_t>(i - 1)].first : -1;
    };

    // Start where the call's first letter would sit if the letters were spread
    // evenly over the table; digits start at "A". A character beyond "Z" would
    // point past the end, so the start is kept inside the table.
    const long long letter = (c < 'A' ? 'A' : c) - 64;
    long long startPos = static_cast<long long>(n) * letter / 26;
    if (startPos < 1) {
        startPos = 1;
    } else if (startPos > n) {
        startPos = n;
    }
    int start = static_cast<int>(startPos);

    // Back up by fives out of the block of entries with the call's first
    // character, not below the first entry. Within a run of equal first
    // characters every step lands on that character again, so the steps
    // across a run are taken at once.
    while (start > 1 && firstOf(start) == c) {
        const ScanKey& key = m_keys[static_cast<std::size_t>(start - 1)];
        start -= 5 * ((start - key.runStart) / 5 + 1);
        if (start < 1) {
            start = 1;
        }
    }

    const std::uint64_t callHead = packHead(call);
    const std::size_t callLength = call.size();
    int best = 0;
    std::uint32_t bestLength = 0;
    auto consider = [&](const ScanKey& key, int i) {
        if (key.length <= bestLength || key.length > callLength) {
            return;
        }
        if (key.length <= 8) {
            if ((callHead & kHeadMasks[key.length]) != key.head) {
                return;
            }
        } else {
            if (callHead != key.head) {
                return;
            }
            const std::string_view prefix = m_prefixes[static_cast<std::size_t>(i - 1)];
            for (std::size_t k = 8; k < key.length; ++k) {
                if (upperCode(prefix[k]) != upperCode(call[k])) {
                    return;
                }
            }
        }
        best = i;
        bestLength = key.length;
    };
    // Prefixes of two or more characters whose first two differ from the call's.
    auto otherPair = [&](const ScanKey& key) {
        return key.length >= 2 &&
               (callLength < 2 || (key.head & kHeadMasks[2]) != (callHead & kHeadMasks[2]));
    };

    // The scan visits the entries one by one and stops after the first entry
    // that sorts beyond the call's first character. Entries with another first
    // character or another first pair of characters cannot match, so whole runs
    // of them that do not stop the scan are passed over.
    if (firstOf(start) > c) {
        int i = start;
        while (i >= 1) {
            const ScanKey& key = m_keys[static_cast<std::size_t>(i - 1)];
            if (key.first != c) {
                if (key.first < c) {
                    break;
                }
                i = key.runStart - 1;
            } else if (otherPair(key)) {
                i = key.pairRunStart - 1;
            } else {
                consider(key, i);
                --i;
            }
        }
    } else {
        int i = start;
        while (i <= n) {
            const ScanKey& key = m_keys[static_cast<std::size_t>(i - 1)];
            if (key.first != c) {
                if (key.first > c) {
                    break;
                }
                i = m_keys[static_cast<std::size_t>(key.runStart - 1)].runEnd + 1;
            } else if (otherPair(key)) {
                i = m_keys[static_cast<std::size_t>(key.pairRunStart - 1)].pairRunEnd + 1;
            } else {
                consider(key, i);
                ++i;
            }
        }
    }
    return best;
}

// ---------------------------------------------------------------------------
// Lookup

std::optional<CountryLookup> lookupCountry(const CountryTable& table, std::string_view callText) {
    std::string_view call = callText;

    // A portable suffix of two or more characters that is shorter than half the
    // call names the country: W1AW/KH6 is looked up as KH6, while W1AW/P and
    // DL/W1AW keep the whole call.
    const std::size_t slash = call.find('/');
    if (slash != std::string_view::npos) {
        const std::size_t rest = call.size() - slash - 1;
        if (rest > 1 && static_cast<double>(rest) < static_cast<double>(call.size()) / 2.0) {
            call = call.substr(slash + 1);
        }
    }
    if (call.empty()) {
        return std::nullopt;
    }

    CountryLookup result;
    int index = table.findLongestPrefix(call);
    if (index == 0) {
        result.country = "Not Found";
        return result;
    }

    // Calls of the KG4 block other than the five-character ones are issued in
    // the USA; only KG4 plus two letters is Guantanamo Bay.
    if (startsWithIgnoreCase(callText, "KG4") && (callText.size() == 4 || callText.size() > 5)) {
        const int usa = table.findCountry("USA");
        if (usa > 0) {
            index = usa;
        }
        result.country = "USA";
    } else {
        result.country = table.entry(index).country;
    }
    const CountryEntry& e = table.entry(index);
    result.index = index;
    result.continent = e.continent;
    result.found = true;
    result.latitude = e.latitude;
    result.longitude = e.longitude;
    return result;
}

// ---------------------------------------------------------------------------
// Bearing and distance

BearingDistance hdCalc(float ownLatitude, float ownLongitude, float latitude, float longitude) {
    BearingDistance out;
    if (!std::isfinite(ownLatitude) || !std::isfinite(ownLongitude) || !std::isfinite(latitude) ||
        !std::isfinite(longitude)) {
        return out;
    }
    const double ownLat = ownLatitude / kDegreesPerRadian;
    const double lat = latitude / kDegreesPerRadian;
    const double deltaLong =
        (static_cast<double>(ownLongitude) - static_cast<double>(longitude)) / kDegreesPerRadian;

    // Cosine of the central angle. At (or within rounding of) the own station or
    // its antipode there is no bearing: 1 - x^2 vanishes and the arc-cosine
    // below would divide by zero.
    const double x =
        std::sin(lat) * std::sin(ownLat) + std::cos(lat) * std::cos(ownLat) * std::cos(deltaLong);
    const double xRoot = 1.0 - x * x;
    if (!std::isfinite(x) || xRoot <= 1e-12) {
        return out;
    }
    const double central = std::atan(-x / std::sqrt(xRoot)) + 2.0 * std::atan(1.0);

    const double divisor = std::cos(ownLat) * std::sin(central);
    if (divisor == 0.0) {
        return out;
    }
    double y = (std::sin(lat) - x * std::sin(ownLat)) / divisor;
    // A point due north or due south gives y = +-1 exactly in theory; rounding
    // may push it a hair past, which is still that direction, not a failure.
    if (!std::isfinite(y) || std::fabs(y) > 1.0 + 1e-9) {
        return out;
    }
    if (y > 1.0) {
        y = 1.0;
    } else if (y < -1.0) {
        y = -1.0;
    }
    const double yRoot = 1.0 - y * y;
    const double azimuth =
        (yRoot > 0.0 ? std::atan(-y / std::sqrt(yRoot)) + 2.0 * std::atan(1.0) : std::acos(y)) *
        kDegreesPerRadian;

    const double bearing = std::sin(deltaLong) > 0.0 ? azimuth : 360.0 - azimuth;
    const double distance = central * kMilesPerRadian;
    if (!std::isfinite(bearing) || !std::isfinite(distance)) {
        return out;
    }
    out.bearingDegrees = bearing;
    out.distanceMiles = distance;
    out.bearing = " " + formatWholeOptional(bearing);
    out.distance = " " + formatGroupedOptional(distance);
    out.valid = true;
    return out;
}

// ---------------------------------------------------------------------------
// Completion

int completeCountry(const CountryTable& table, std::string_view typed) {
    if (typed.empty()) {
        return 0;
    }
    for (int i = table.count(); i >= 1; --i) {
        if (startsWithIgnoreCase(table.entry(i).country, typed)) {
            return i;
        }
    }
    return 0;
}

} // namespace wexon::core
