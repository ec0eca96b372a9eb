#include "keying/port_address.h"

#include <gtest/gtest.h>

namespace wexon::keying {
namespace {

TEST(PortAddress, HexOctalAndDecimal) {
    EXPECT_EQ(parsePortAddress("&H378"), 888u);
    EXPECT_EQ(parsePortAddress("&h278"), 0x278u);
    EXPECT_EQ(parsePortAddress(" 888 "), 888u);
    EXPECT_EQ(parsePortAddress("&O1570"), 888u);
    EXPECT_EQ(parsePortAddress("&HFFFF"), 0xFFFFu);
}

TEST(PortAddress, Refused) {
    for (const char* bad : {"", "&H", "&H10000", "0", "x378", "&O9", "37 8", "-888"}) {
        EXPECT_FALSE(parsePortAddress(bad)) << bad;
    }
}

} // namespace
} // namespace wexon::keying
