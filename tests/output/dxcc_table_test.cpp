#include <gtest/gtest.h>

#include <set>

#include "core/country_table.h"
#include "core/file_io.h"
#include "output/dxcc_table.h"

using namespace wexon;

namespace {
std::string shipped(const char* name) {
    auto bytes = core::readWholeFile(std::string(WEXON_SOURCE_DIR) + "/data/" + name);
    return bytes.value_or("");
}
} // namespace

TEST(ShippedDxccTable, EveryCountryOfTheCountryTableHasItsNumber) {
    auto countries = core::CountryTable::load(shipped("arrlpre2.txt"));
    ASSERT_TRUE(countries.ok()) << countries.error;
    auto dxcc = output::DxccTable::parse(shipped("ADIFCnt.txt"));
    ASSERT_GT(dxcc.size(), 300u);
    ASSERT_LE(dxcc.size(), output::DxccTable::kMaxPairs);
    std::set<std::string> missing;
    for (int i = 1; i <= countries.table.count(); ++i) {
        const std::string name = countries.table.entry(i).country;
        if (dxcc.lookup(name) == 0) {
            missing.insert(name);
        }
    }
    EXPECT_TRUE(missing.empty()) << *missing.begin();
    EXPECT_EQ(dxcc.lookup("USA"), 291);
    EXPECT_EQ(dxcc.lookup("Germany"), 230);
    EXPECT_EQ(dxcc.lookup("Alaska"), 6);
    EXPECT_EQ(dxcc.lookup("Hawaii"), 110);
}
