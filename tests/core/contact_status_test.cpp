#include <gtest/gtest.h>

#include <vector>

#include "core/contact_status.h"
#include "core/wpx_prefix.h"

namespace wexon::core {
namespace {

QsoRecord statusQso(const std::string& call, const std::string& band) {
    QsoRecord r;
    r.call = call;
    r.band = band;
    r.prefix = derivePrefix(call);
    return r;
}

struct StatusLog {
    DupeIndex dupes;
    PrefixList prefixes;
    explicit StatusLog(const std::vector<QsoRecord>& records) {
        dupes.rebuild(records);
        prefixes.load(records);
    }
};

TEST(ContactStatus, DupeOnlyOnTheBandItWasWorked) {
    StatusLog log({statusQso("W1AW", "20")});
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "W1AW", "20").status, ContactStatus::Dupe);
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "w1aw", "20").status, ContactStatus::Dupe);
    // Worked on 20, so W1 is no longer a multiplier on 40 either.
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "W1AW", "40").status,
              ContactStatus::Ordinary);
    // A portable call is another station.
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "W1AW/P", "20").status,
              ContactStatus::NewPrefix);
}

TEST(ContactStatus, NewPrefixIsCountedOverAllBands) {
    StatusLog log({statusQso("JA1XYZ", "15")});
    const auto same = contactStatus(log.dupes, log.prefixes, "JA1ABC", "20");
    EXPECT_EQ(same.status, ContactStatus::Ordinary);
    EXPECT_EQ(same.prefix, "JA1");
    const auto fresh = contactStatus(log.dupes, log.prefixes, "JA2ABC", "20");
    EXPECT_EQ(fresh.status, ContactStatus::NewPrefix);
    EXPECT_EQ(fresh.prefix, "JA2");
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "DL/W1AW", "20").prefix, "DL0");
}

TEST(ContactStatus, DupeWinsOverNewPrefixAndEmptyPrefixIsOrdinary) {
    // A record logged with a prefix typed over by hand: the call is a dupe
    // although its derived prefix is not in the list.
    QsoRecord r = statusQso("K1ABC", "20");
    r.prefix = "XX9";
    StatusLog log({r});
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "K1ABC", "20").status, ContactStatus::Dupe);
    // No digit after the first place: no prefix, so no multiplier to show.
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "RAEM", "20").status,
              ContactStatus::Ordinary);
    EXPECT_EQ(contactStatus(log.dupes, log.prefixes, "", "20").status, ContactStatus::Ordinary);
}

TEST(ContactStatus, Words) {
    EXPECT_STREQ(contactStatusWords(ContactStatus::Dupe), "dupe");
    EXPECT_STREQ(contactStatusWords(ContactStatus::NewPrefix), "new prefix");
    EXPECT_STREQ(contactStatusWords(ContactStatus::Ordinary), "");
}

} // namespace
} // namespace wexon::core
