#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/text_list.h"

namespace wexon::core {

// One line of "arrlpre2.txt".
struct CountryEntry {
    std::string prefix;
    std::string country;
    std::string continent;
    float longitude = 0.0f; // degrees, west positive
    float latitude = 0.0f;  // degrees, north positive
};

inline constexpr const char* kCountryFileName = "arrlpre2.txt";

// The prefix table, sorted by prefix. Entries are numbered from 1; index 0 stands
// for "no entry" and reads as an empty entry.
class CountryTable {
  public:
    static constexpr std::size_t kMaxEntries = 10000;

    struct LoadResult;
    // Reads the eight-field quoted form. Fails (with an error text) on a line
    // with wrong quoting, a record cut short, a coordinate that is not a number,
    // or more than kMaxEntries entries; the table then holds the entries read
    // before the fault.
    static LoadResult load(std::string_view bytes);

    int count() const { return static_cast<int>(m_keys.size()); }
    // 1-based; any index outside 1..count() gives an empty entry.
    CountryEntry entry(int index) const;
    std::string_view countryOf(int index) const;
    void add(CountryEntry e);
    // First index (from 1 up) whose country equals `country` ignoring case; 0 if none.
    int findCountry(std::string_view country) const;
    // The prefix search of the lookup: start position from the first character,
    // back-up, scan direction and longest matching prefix (an equal length does
    // not replace an earlier find). Returns the index of the entry, 0 if none.
    int findLongestPrefix(std::string_view call) const;

  private:
    // What the prefix search compares, kept apart from the entries so that the
    // scan runs over a small contiguous array: the first eight characters of
    // the prefix, upper-cased, packed into one word (first character in the
    // low byte), the prefix length and its upper-cased first character (-1 for
    // an empty prefix, which sorts before every character).
    //
    // Runs of neighbouring entries let the scan pass over entries that cannot
    // match without changing its result: a run of equal first characters, and
    // within it a run of prefixes of two or more characters with equal first
    // two characters. Each entry knows where its runs start; the entry at the
    // start of a run knows where the run ends (1-based indexes).
    struct ScanKey {
        std::uint64_t head = 0;
        std::uint32_t length = 0;
        std::int32_t first = -1;
        std::int32_t runStart = 0;
        std::int32_t runEnd = 0;
        std::int32_t pairRunStart = 0;
        std::int32_t pairRunEnd = 0;
    };
    // The entries, kept compactly: about 7,800 prefixes name only about 350
    // countries and seven continents, so each name is kept once and an entry
    // holds its number.
    struct Stored {
        std::uint16_t country = 0;   // in m_names
        std::uint16_t continent = 0; // in m_names
        float longitude = 0.0f;
        float latitude = 0.0f;
    };
    std::uint16_t nameNumber(const std::string& name);

    TextList m_prefixes;
    TextList m_names;
    std::unordered_map<std::string, std::uint16_t> m_nameNumbers;
    std::vector<Stored> m_stored;
    std::vector<ScanKey> m_keys;
};

struct CountryTable::LoadResult {
    CountryTable table;
    std::string error; // empty on success
    bool ok() const { return error.empty(); }
};

// What a lookup of the call box text found.
struct CountryLookup {
    int index = 0;       // chosen entry, 0 when none
    std::string country; // the entry's country, or "Not Found"
    std::string continent;
    bool found = false;
    float latitude = 0.0f;
    float longitude = 0.0f;
};

// Looks up the text of the call box (portable suffix, start position, back-up,
// scan direction, longest prefix, the KG4 rule). Nothing when the lookup call is
// empty, in which case the country box keeps its text.
std::optional<CountryLookup> lookupCountry(const CountryTable& table, std::string_view callText);

// Bearing and distance labels from the own station to a point: each a blank
// followed by the bearing as "###" and the distance in statute miles as
// "##,###"; both empty when the arithmetic fails (same point, out of range).
struct BearingDistance {
    std::string bearing;
    std::string distance;
    double bearingDegrees = 0.0;
    double distanceMiles = 0.0;
    bool valid = false;
};
BearingDistance hdCalc(float ownLatitude, float ownLongitude, float latitude, float longitude);

// Country completion: scanning from the last entry down to the first, the index of
// the first entry whose country begins with `typed` (ignoring case); 0 if none or
// when nothing was typed.
int completeCountry(const CountryTable& table, std::string_view typed);

} // namespace wexon::core
