#include "core/country_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "core/file_io.h"

namespace wexon::core {
namespace {

struct Row {
    const char* prefix;
    const char* country;
    const char* continent = "NA";
    float longitude = 0.0f;
    float latitude = 0.0f;
};

CountryTable makeTable(const std::vector<Row>& rows) {
    CountryTable table;
    for (const Row& r : rows) {
        table.add(CountryEntry{r.prefix, r.country, r.continent, r.longitude, r.latitude});
    }
    return table;
}

std::string line(const std::string& prefix, const std::string& country) {
    return "\"" + prefix + "\",\"" + country + "\",\"EU\",-10,51,230,14,28\r\n";
}

// The longest prefix of `call` in the table, the first one of that length, by
// comparing every entry: what the positioned scan must find on a sorted table.
int bruteForceLongest(const CountryTable& table, const std::string& call) {
    int best = 0;
    std::size_t bestLength = 0;
    for (int i = 1; i <= table.count(); ++i) {
        const std::string p = table.entry(i).prefix;
        if (p.empty() || p.size() <= bestLength || p.size() > call.size()) {
            continue;
        }
        bool match = true;
        for (std::size_t k = 0; k < p.size() && match; ++k) {
            match = std::toupper(static_cast<unsigned char>(p[k])) ==
                    std::toupper(static_cast<unsigned char>(call[k]));
        }
        if (match) {
            best = i;
            bestLength = p.size();
        }
    }
    return best;
}

// The prefix search done the plain way, one entry at a time: the positioned scan
// passes over runs of entries that cannot match and must find exactly what this
// finds, on any table, sorted or not.
int stepByStepScan(const CountryTable& table, const std::string& call) {
    const int n = table.count();
    if (call.empty() || n == 0) {
        return 0;
    }
    auto up = [](char ch) { return std::toupper(static_cast<unsigned char>(ch)); };
    auto first = [&](int i) {
        const std::string p = table.entry(i).prefix;
        return p.empty() ? -1 : up(p[0]);
    };
    const int c = up(call[0]);
    int start = static_cast<int>(std::clamp(n * ((c < 65 ? 65 : c) - 64) / 26, 1, n));
    while (first(start) == c) {
        start -= 5;
        if (start < 1) {
            start = 1;
        }
        if (start == 1) {
            break;
        }
    }
    int best = 0;
    std::size_t bestLength = 0;
    auto consider = [&](int i) {
        const std::string p = table.entry(i).prefix;
        if (p.empty() || p.size() <= bestLength || p.size() > call.size()) {
            return;
        }
        for (std::size_t k = 0; k < p.size(); ++k) {
            if (up(p[k]) != up(call[k])) {
                return;
            }
        }
        best = i;
        bestLength = p.size();
    };
    if (first(start) > c) {
        for (int i = start; i >= 1; --i) {
            consider(i);
            if (first(i) < c) {
                break;
            }
        }
    } else {
        for (int i = start; i <= n; ++i) {
            consider(i);
            if (first(i) > c) {
                break;
            }
        }
    }
    return best;
}

// A small sorted table with a USA entry ahead of "K" and the entries the lookup
// cases below need.
CountryTable lookupTable() {
    return makeTable({
        {"4X", "Israel", "AS", -34.8f, 31.3f},
        {"AA", "USA", "NA", 91.9f, 37.6f},
        {"DL", "Germany", "EU", -10.0f, 51.0f},
        {"G", "England", "EU", 2.0f, 52.8f},
        {"K", "USA", "NA", 91.9f, 37.6f},
        {"KG4", "Guantanamo Bay", "NA", 75.0f, 20.0f},
        {"KH6", "Hawaii", "OC", 157.5f, 21.1f},
        {"KH6X", "Hawaii West", "OC", 158.0f, 21.5f},
        {"VE", "Canada", "NA", 80.0f, 44.4f},
        {"W", "USA", "NA", 91.9f, 37.6f},
    });
}

// ---------------------------------------------------------------------------

TEST(CountryLookup, FindsTheEntryForTheCallBoxText) {
    const CountryTable table = lookupTable();
    struct Case {
        const char* call;
        const char* prefix; // prefix of the entry found, "" when none
        const char* country;
    };
    const Case cases[] = {
        // Longest prefix wins.
        {"KH6XYZ", "KH6X", "Hawaii West"},
        {"KH6ABC", "KH6", "Hawaii"},
        {"K1ABC", "K", "USA"},
        {"kh6xyz", "KH6X", "Hawaii West"},
        // A call beginning with a digit starts at "A" and scans down.
        {"4X1AA", "4X", "Israel"},
        // Portable suffix of two or more characters shorter than half the call.
        {"W1AW/KH6", "KH6", "Hawaii"},
        {"W1AW/KH6X", "KH6X", "Hawaii West"}, // 4 < 4.5: compared as real numbers
        {"W1AW/7", "W", "USA"},               // one character after the slash
        {"W1AW/P", "W", "USA"},
        {"DL/W1AW", "DL", "Germany"}, // 4 is not below 3.5
        {"VE3/W1AW", "VE", "Canada"}, // 4 is not below 4
        {"W1AW/", "W", "USA"},
        // KG4 plus two letters is Guantanamo Bay; the KG4 rule looks at the whole text.
        {"KG4AB", "KG4", "Guantanamo Bay"},
        {"KG4", "KG4", "Guantanamo Bay"},
        {"W1AW/KG4", "KG4", "Guantanamo Bay"},
        // Nothing matches.
        {"QQ1ABC", "", "Not Found"},
        {"/", "", "Not Found"},
        {"?", "", "Not Found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        auto r = lookupCountry(table, c.call);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->country, c.country);
        EXPECT_EQ(table.entry(r->index).prefix, c.prefix);
        EXPECT_EQ(r->found, std::string(c.prefix) != "");
        EXPECT_EQ(r->continent, table.entry(r->index).continent);
    }
}

TEST(CountryLookup, KG4CallsOfOtherLengthsAreUsaAtTheFirstUsaEntry) {
    const CountryTable table = lookupTable();
    for (const char* call : {"KG4ABC", "KG4A", "kg4abcd", "KG4/W1AW"}) {
        SCOPED_TRACE(call);
        auto r = lookupCountry(table, call);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->country, "USA");
        EXPECT_EQ(r->index, 2); // "AA", not "K" or "KG4"
        EXPECT_EQ(r->continent, "NA");
        EXPECT_FLOAT_EQ(r->latitude, 37.6f);
        EXPECT_TRUE(r->found);
    }
}

TEST(CountryLookup, ReportsTheEntryCoordinates) {
    const CountryTable table = lookupTable();
    auto r = lookupCountry(table, "DL1ABC");
    ASSERT_TRUE(r.has_value());
    EXPECT_FLOAT_EQ(r->longitude, -10.0f);
    EXPECT_FLOAT_EQ(r->latitude, 51.0f);
}

TEST(CountryLookup, EmptyCallLeavesTheCountryAlone) {
    const CountryTable table = lookupTable();
    EXPECT_FALSE(lookupCountry(table, "").has_value());
}

TEST(CountryLookup, EmptyTableFindsNothing) {
    const CountryTable table;
    auto r = lookupCountry(table, "K1ABC");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->country, "Not Found");
    EXPECT_EQ(r->index, 0);
    EXPECT_FALSE(r->found);
}

TEST(CountryLookup, EqualLengthDoesNotReplaceAnEarlierFind) {
    // Start position for "K" in four entries is 1; the scan runs upwards.
    const CountryTable table = makeTable({
        {"G", "England"},
        {"K", "First"},
        {"K", "Second"},
        {"W", "USA"},
    });
    auto r = lookupCountry(table, "K1ABC");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->index, 2);
    EXPECT_EQ(r->country, "First");
}

TEST(CountryLookup, PositionedScanFindsWhatAFullScanFinds) {
    // Many digit prefixes push the "A" start position into the digits, and long
    // blocks of one letter make the back-up step across several groups of five.
    std::vector<std::string> prefixes;
    for (char d = '1'; d <= '9'; ++d) {
        prefixes.push_back(std::string(1, d) + "A");
        prefixes.push_back(std::string(1, d) + "Z");
    }
    for (char l = 'A'; l <= 'Z'; ++l) {
        prefixes.push_back(std::string(1, l));
        if (l == 'K' || l == 'R' || l == 'A') {
            for (char m = 'A'; m <= 'Z'; ++m) {
                prefixes.push_back(std::string{l, m});
                prefixes.push_back(std::string{l, m, '1'});
            }
        }
    }
    std::sort(prefixes.begin(), prefixes.end());
    CountryTable table;
    for (const std::string& p : prefixes) {
        table.add(CountryEntry{p, "C" + p, "EU", 0.0f, 0.0f});
    }
    int checked = 0;
    for (const std::string& p : prefixes) {
        for (const std::string& tail : {std::string("1ABC"), std::string("ABC"), std::string()}) {
            const std::string call = p + tail;
            SCOPED_TRACE(call);
            EXPECT_EQ(table.findLongestPrefix(call), bruteForceLongest(table, call));
            ++checked;
        }
    }
    // Calls whose first character no prefix has.
    for (const char* call : {"0ABC", "/ABC", "[1", "~X"}) {
        EXPECT_EQ(table.findLongestPrefix(call), 0) << call;
    }
    EXPECT_GT(checked, 300);
}

TEST(CountryLookup, PassingOverRunsChangesNothingEvenOnUnsortedTables) {
    std::mt19937 random(20240525);
    const std::string alphabet = "1AaBbKk/";
    auto text = [&](int maxLength) {
        std::string t(std::uniform_int_distribution<int>(0, maxLength)(random), ' ');
        for (char& ch : t) {
            ch = alphabet[std::uniform_int_distribution<std::size_t>(0,
                                                                     alphabet.size() - 1)(random)];
        }
        return t;
    };
    int differences = 0;
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> prefixes(std::uniform_int_distribution<int>(1, 80)(random));
        for (std::string& p : prefixes) {
            p = text(4);
        }
        if (round % 2 == 0) {
            std::sort(prefixes.begin(), prefixes.end(), [](std::string a, std::string b) {
                for (auto* s : {&a, &b}) {
                    for (char& ch : *s) {
                        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                    }
                }
                return a < b;
            });
        }
        CountryTable table;
        for (const std::string& p : prefixes) {
            table.add(CountryEntry{p, "C", "EU", 0.0f, 0.0f});
        }
        for (int k = 0; k < 40; ++k) {
            const std::string call = text(6);
            const int expected = stepByStepScan(table, call);
            found += expected != 0;
            if (table.findLongestPrefix(call) != expected) {
                ++differences;
                ADD_FAILURE() << "call \"" << call << "\" in round " << round;
            }
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(found, 1000); // the calls do hit entries
}

TEST(CountryLookup, PrefixesLongerThanEightCharactersCompareInFull) {
    const CountryTable table = makeTable({
        {"ABCDEFGH", "Eight"},
        {"ABCDEFGHIJ", "Ten"},
        {"ABCDEFGHIK", "Other ten"},
    });
    EXPECT_EQ(table.entry(table.findLongestPrefix("ABCDEFGHIJ1")).country, "Ten");
    EXPECT_EQ(table.entry(table.findLongestPrefix("abcdefghik")).country, "Other ten");
    EXPECT_EQ(table.entry(table.findLongestPrefix("ABCDEFGHIX")).country, "Eight");
    EXPECT_EQ(table.findLongestPrefix("ABCDEFG"), 0);
}

// ---------------------------------------------------------------------------

TEST(CountryTable, EntriesAreNumberedFromOne) {
    const CountryTable table = lookupTable();
    EXPECT_EQ(table.count(), 10);
    EXPECT_EQ(table.entry(1).prefix, "4X");
    EXPECT_EQ(table.entry(10).prefix, "W");
    for (int outside : {0, -1, 11, 100000}) {
        EXPECT_EQ(table.entry(outside).prefix, "") << outside;
        EXPECT_EQ(table.entry(outside).country, "") << outside;
    }
}

TEST(CountryTable, FindCountryGivesTheFirstMatchIgnoringCase) {
    const CountryTable table = lookupTable();
    EXPECT_EQ(table.findCountry("USA"), 2);
    EXPECT_EQ(table.findCountry("hawaii"), 7);
    EXPECT_EQ(table.findCountry("Hawai"), 0);
    EXPECT_EQ(table.findCountry(""), 0);
}

TEST(CountryTableLoad, ReadsTheEightFieldForm) {
    const std::string bytes = "\"3D2/C\",\"Conway Reef\",\"OC\",-175,-22,489,32,56\r\n"
                              "\"FT/J\",\"Juan de Nova, Europa\",\"AF\",-40.7,-17.05,124,39,53\r\n"
                              "\r\n"
                              "\"K\",\"USA\",\"NA\",91.87,37.6,\"any\",x,7\r\n"
                              "\"KH6\",\"Hawaii\",\"OC\",1.5e2,21,110,31,61\n";
    auto r = CountryTable::load(bytes);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.table.count(), 4);
    EXPECT_EQ(r.table.entry(2).country, "Juan de Nova, Europa");
    EXPECT_EQ(r.table.entry(2).continent, "AF");
    EXPECT_FLOAT_EQ(r.table.entry(2).longitude, -40.7f);
    EXPECT_FLOAT_EQ(r.table.entry(2).latitude, -17.05f);
    EXPECT_EQ(r.table.entry(3).prefix, "K");
    EXPECT_FLOAT_EQ(r.table.entry(4).longitude, 150.0f);
    // The loaded table answers lookups.
    EXPECT_EQ(lookupCountry(r.table, "KH6ABC")->country, "Hawaii");
}

TEST(CountryTableLoad, EmptyFileGivesAnEmptyTable) {
    auto r = CountryTable::load("");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.table.count(), 0);
    EXPECT_TRUE(CountryTable::load("\r\n  \r\n").ok());
}

TEST(CountryTableLoad, RejectsMalformedEntries) {
    const std::string good = line("DL", "Germany");
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"unquoted prefix", good + "K,\"USA\",\"NA\",91,37,1,2,3\r\n"},
        {"unquoted country", good + "\"K\",USA,\"NA\",91,37,1,2,3\r\n"},
        {"unquoted continent", good + "\"K\",\"USA\",NA,91,37,1,2,3\r\n"},
        {"unclosed quote", good + "\"K,\"USA\",\"NA\",91,37,1,2,3\r\n" + good},
        {"word as longitude", good + "\"K\",\"USA\",\"NA\",abc,37,1,2,3\r\n"},
        {"word as latitude", good + "\"K\",\"USA\",\"NA\",91,12x,1,2,3\r\n"},
        {"empty latitude", good + "\"K\",\"USA\",\"NA\",91,,1,2,3\r\n"},
        {"quoted coordinate", good + "\"K\",\"USA\",\"NA\",\"91\",37,1,2,3\r\n"},
        {"coordinate beyond a float", good + "\"K\",\"USA\",\"NA\",1e60,37,1,2,3\r\n"},
        {"record cut short at the end", good + "\"K\",\"USA\",\"NA\",91,37,1,2\r\n"},
        {"five fields at the end", good + "\"K\",\"USA\",\"NA\",91,37"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = CountryTable::load(c.bytes);
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.error.empty());
    }
}

TEST(CountryTableLoad, HoldsAtMostTenThousandEntries) {
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes += line("P" + std::to_string(i), "Country");
    }
    auto full = CountryTable::load(bytes);
    ASSERT_TRUE(full.ok()) << full.error;
    EXPECT_EQ(full.table.count(), 10000);

    bytes += line("P10000", "Country");
    auto over = CountryTable::load(bytes);
    EXPECT_FALSE(over.ok());
    EXPECT_NE(over.error.find("10000"), std::string::npos);
}

// ---------------------------------------------------------------------------

TEST(CountryCompletion, TakesTheLastCountryInTableOrder) {
    const CountryTable table = makeTable({
        {"4L", "Georgia"},
        {"9G", "Ghana"},
        {"DL", "Germany"},
        {"G", "England"},
        {"ZB", "Gibraltar"},
    });
    EXPECT_EQ(completeCountry(table, "G"), 5);  // Gibraltar
    EXPECT_EQ(completeCountry(table, "GE"), 3); // Germany, after Georgia
    EXPECT_EQ(completeCountry(table, "ge"), 3);
    EXPECT_EQ(completeCountry(table, "Geo"), 1);
    EXPECT_EQ(completeCountry(table, "England"), 4);
    EXPECT_EQ(completeCountry(table, "Englands"), 0);
    EXPECT_EQ(completeCountry(table, "X"), 0);
    EXPECT_EQ(completeCountry(table, ""), 0);
    EXPECT_EQ(completeCountry(CountryTable(), "G"), 0);
}

// ---------------------------------------------------------------------------

// Great-circle bearing and distance by the haversine and atan2 forms, on the
// same sphere, with longitudes west positive.
struct Path {
    double bearing;
    double miles;
};
Path greatCircle(double lat1, double westLon1, double lat2, double westLon2) {
    const double r = std::numbers::pi / 180.0;
    const double p1 = lat1 * r;
    const double p2 = lat2 * r;
    const double dl = (westLon1 - westLon2) * r; // eastward difference
    const double a = std::pow(std::sin((p2 - p1) / 2), 2) +
                     std::cos(p1) * std::cos(p2) * std::pow(std::sin(dl / 2), 2);
    const double d = 2 * std::asin(std::sqrt(a));
    double b =
        std::atan2(std::sin(dl) * std::cos(p2),
                   std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl)) /
        r;
    if (b < 0) {
        b += 360;
    }
    return {b, d * 3955.75791314991};
}

TEST(BearingDistance, MatchesTheGreatCircle) {
    struct Case {
        const char* name;
        float ownLat, ownLon, lat, lon;
        const char* bearing;
        const char* distance;
    };
    const Case cases[] = {
        {"Newington CT to London", 41.71f, 72.73f, 51.51f, 0.13f, " 52", " 3,364"},
        {"Newington CT to Tokyo", 41.71f, 72.73f, 35.68f, -139.69f, " 334", " 6,705"},
        {"Newington CT to Sydney", 41.71f, 72.73f, -33.87f, -151.21f, " 268", " 9,997"},
        {"London to Cape Town", 51.51f, 0.13f, -33.92f, -18.42f, " 165", " 6,005"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BearingDistance bd = hdCalc(c.ownLat, c.ownLon, c.lat, c.lon);
        const Path expected = greatCircle(c.ownLat, c.ownLon, c.lat, c.lon);
        ASSERT_TRUE(bd.valid);
        EXPECT_NEAR(bd.bearingDegrees, expected.bearing, 0.01);
        EXPECT_NEAR(bd.distanceMiles, expected.miles, 0.5);
        EXPECT_EQ(bd.bearing, c.bearing);
        EXPECT_EQ(bd.distance, c.distance);
    }
}

TEST(BearingDistance, NoBearingToTheOwnPointOrItsAntipode) {
    const struct {
        float ownLat, ownLon, lat, lon;
    } cases[] = {
        {41.71f, 72.73f, 41.71f, 72.73f},
        {0.0f, 0.0f, 0.0f, 0.0f},
        {-33.87f, -151.21f, -33.87f, -151.21f},
        {41.71f, 72.73f, -41.71f, -107.27f},
    };
    for (const auto& c : cases) {
        const BearingDistance bd = hdCalc(c.ownLat, c.ownLon, c.lat, c.lon);
        EXPECT_FALSE(bd.valid);
        EXPECT_EQ(bd.bearing, "");
        EXPECT_EQ(bd.distance, "");
    }
}

TEST(BearingDistance, NoLabelsForNumbersThatAreNotNumbers) {
    const float nan = std::nanf("");
    const float inf = INFINITY;
    EXPECT_FALSE(hdCalc(nan, 0, 10, 10).valid);
    EXPECT_FALSE(hdCalc(0, 0, inf, 10).valid);
    EXPECT_EQ(hdCalc(0, 0, 10, -inf).bearing, "");
}

TEST(BearingDistance, DueNorthAndDueSouthHaveABearing) {
    const BearingDistance north = hdCalc(41.71f, 72.73f, 60.0f, 72.73f);
    ASSERT_TRUE(north.valid);
    EXPECT_EQ(north.bearing, " 360");
    EXPECT_NEAR(north.distanceMiles, (60.0 - 41.71) / 57.29577951 * 3955.75791314991, 0.5);

    const BearingDistance south = hdCalc(41.71f, 72.73f, -10.0f, 72.73f);
    ASSERT_TRUE(south.valid);
    EXPECT_EQ(south.bearing, " 180");

    // Antarctica's entries sit on the South Pole.
    const BearingDistance pole = hdCalc(-33.87f, -151.21f, -90.0f, 0.0f);
    ASSERT_TRUE(pole.valid);
    EXPECT_EQ(pole.bearing, " 180");
    EXPECT_EQ(pole.distance, " 3,875");
}

// ---------------------------------------------------------------------------
// The country table the installation ships.

class ShippedCountryTable : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        bytes = new std::string(
            readWholeFile(std::string(WEXON_SOURCE_DIR) + "/data/arrlpre2.txt").value_or(""));
        auto r = CountryTable::load(*bytes);
        loadError = new std::string(r.error);
        table = new CountryTable(std::move(r.table));
    }
    static void TearDownTestSuite() {
        delete bytes;
        delete loadError;
        delete table;
    }
    static std::string* bytes;
    static std::string* loadError;
    static CountryTable* table;
};
std::string* ShippedCountryTable::bytes = nullptr;
std::string* ShippedCountryTable::loadError = nullptr;
CountryTable* ShippedCountryTable::table = nullptr;

TEST_F(ShippedCountryTable, LoadsWithRoomToSpare) {
    ASSERT_FALSE(bytes->empty());
    EXPECT_EQ(*loadError, "");
    EXPECT_GT(table->count(), 5000);
    EXPECT_LT(table->count(), static_cast<int>(CountryTable::kMaxEntries));
}

TEST_F(ShippedCountryTable, IsSortedWithValidFieldsAndCrLfLines) {
    auto upper = [](std::string s) {
        for (char& ch : s) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        return s;
    };
    for (int i = 1; i <= table->count(); ++i) {
        const CountryEntry& e = table->entry(i);
        SCOPED_TRACE(e.prefix);
        ASSERT_FALSE(e.prefix.empty());
        ASSERT_FALSE(e.country.empty());
        if (i > 1) {
            ASSERT_LT(upper(table->entry(i - 1).prefix), upper(e.prefix));
        }
        const std::string continents[] = {"NA", "SA", "EU", "AF", "AS", "OC", "AN"};
        ASSERT_NE(std::find(std::begin(continents), std::end(continents), e.continent),
                  std::end(continents));
        ASSERT_LE(std::fabs(e.latitude), 90.0f);
        ASSERT_LE(std::fabs(e.longitude), 180.0f);
    }
    for (std::size_t i = 0; i < bytes->size(); ++i) {
        if ((*bytes)[i] == '\n') {
            ASSERT_TRUE(i > 0 && (*bytes)[i - 1] == '\r') << "at byte " << i;
        }
    }
    EXPECT_EQ(bytes->back(), '\n');
}

TEST_F(ShippedCountryTable, KnowsWellKnownCalls) {
    struct Case {
        const char* call;
        const char* country;
        const char* continent;
    };
    const Case cases[] = {
        {"K1ABC", "USA", "NA"},
        {"W1AW", "USA", "NA"},
        {"N6XX", "USA", "NA"},
        {"DL1ABC", "Germany", "EU"},
        {"JA1XYZ", "Japan", "AS"},
        {"VK2ABC", "Australia", "OC"},
        {"KH6XX", "Hawaii", "OC"},
        {"4X1AA", "Israel", "AS"},
        {"G4ABC", "England", "EU"},
        {"VE3ABC", "Canada", "NA"},
        {"PY2ABC", "Brazil", "SA"},
        {"ZS6ABC", "South Africa", "AF"},
        {"UA9ABC", "Asiatic Russia", "AS"},
        {"RA3ABC", "European Russia", "EU"},
        {"9A1ABC", "Croatia", "EU"},
        {"IT9ABC", "Italy", "EU"},  // Sicily counts as Italy
        {"TA1ABC", "Turkey", "EU"}, // European Turkey
        {"TA2ABC", "Turkey", "AS"},
        {"4U1VIC", "Austria", "EU"},
        {"CE9AA", "South Shetland Islands", "SA"},
        {"KG4AB", "Guantanamo Bay", "NA"},
        {"KG4ABC", "USA", "NA"},
        {"W1AW/KH6", "Hawaii", "OC"},
        {"DL/W1AW", "Germany", "EU"},
        {"XX9XX", "Macao", "AS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        auto r = lookupCountry(*table, c.call);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->country, c.country);
        EXPECT_EQ(r->continent, c.continent);
    }
    auto usa = lookupCountry(*table, "KG4ABC");
    EXPECT_EQ(usa->index, table->findCountry("USA"));
}

TEST_F(ShippedCountryTable, PrefixesAreFoundByThePositionedScan) {
    // Every seventh entry keeps the full comparison quick; the sample still
    // covers every first character of the table.
    for (int i = 1; i <= table->count(); i += 7) {
        const std::string p = table->entry(i).prefix;
        for (const char* tail : {"", "1AB"}) {
            const std::string call = p + tail;
            ASSERT_EQ(table->findLongestPrefix(call), bruteForceLongest(*table, call)) << call;
        }
    }
}

} // namespace
} // namespace wexon::core
