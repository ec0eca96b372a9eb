#include <gtest/gtest.h>

#include "net/net_message.h"

namespace wexon::net {
namespace {

ContactMessage sampleMessage() {
    ContactMessage m;
    m.contestId = "WPX-CW-2026";
    m.station = "RUN1";
    m.instance = "0123456789abcdef";
    m.op = "DL1ABC";
    m.id = "fedcba9876543210";
    m.revision = 3;
    m.record = {"K1ABC", "599", "123", "599", "United States", "2026/03/28",
                "00:01:02", "20",  3.0f,  "K1",  "045",           "14025.500"};
    m.transmitter = 1;
    return m;
}

TEST(NetMessage, RoundTripsEveryField) {
    ContactMessage m = sampleMessage();
    ParsedContact p = parseContact(encodeContact(m));
    ASSERT_TRUE(p.message) << p.error;
    EXPECT_EQ(*p.message, m);
    m.deleted = true;
    m.record.points = 0.5f;
    EXPECT_EQ(*parseContact(encodeContact(m)).message, m);
}

TEST(NetMessage, FieldsWithLineBreaksOrTabsCannotSplitTheMessage) {
    ContactMessage m = sampleMessage();
    m.record.country = "Bad\tCountry\r\nName";
    ParsedContact p = parseContact(encodeContact(m));
    ASSERT_TRUE(p.message) << p.error;
    EXPECT_EQ(p.message->record.country, "Bad Country  Name");
}

TEST(NetMessage, RefusesWhatIsNotExactlyAVersionOneContact) {
    const std::string good = encodeContact(sampleMessage());
    struct Case {
        std::string bytes;
        std::string why;
    };
    std::string badRevision = good;
    badRevision.replace(badRevision.find("\t3\t"), 3, "\t0\t");
    std::string slashInId = good;
    slashInId.replace(slashInId.find("fedcba"), 6, "a/b/c#");
    std::string control = good;
    control.replace(control.find("K1ABC"), 1, std::string(1, '\x01'));
    std::string points = good;
    points.replace(points.find("\t3\tK1\t"), 3, "\tx\t");
    const Case cases[] = {
        {"", "not a station-network"},
        {"WXN2" + good.substr(4), "unknown message version"},
        {good + "\textra", "fields instead of"},
        {good.substr(0, good.rfind('\t')), "fields instead of"},
        {std::string(kMaxMessageBytes + 1, 'W'), "too long"},
        {badRevision, "revision"},
        {slashInId, "not valid"},
        {control, "control characters"},
        {points, "points"},
    };
    for (const Case& c : cases) {
        ParsedContact p = parseContact(c.bytes);
        EXPECT_FALSE(p.message) << c.why;
        EXPECT_NE(p.error.find(c.why), std::string::npos) << p.error;
    }
}

TEST(NetMessage, TopicsNameOnlyTheirOwnContest) {
    EXPECT_EQ(contactTopic("C1", "RUN1", "abc"), "wexon/C1/log/RUN1/abc");
    auto t = parseTopic("C1", "wexon/C1/log/RUN1/abc");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->kind, TopicParts::Kind::Contact);
    EXPECT_EQ(t->station, "RUN1");
    EXPECT_EQ(t->id, "abc");
    EXPECT_EQ(parseTopic("C1", statusTopic("C1", "MULT"))->kind, TopicParts::Kind::Status);
    EXPECT_EQ(parseTopic("C1", markerTopic("C1", "MULT", "i1"))->id, "i1");
    EXPECT_FALSE(parseTopic("C2", "wexon/C1/log/RUN1/abc"));
    EXPECT_FALSE(parseTopic("C1", "wexon/C1/log/RUN1/abc/more"));
    EXPECT_FALSE(parseTopic("C1", "wexon/C1/log/RUN 1/abc"));
    EXPECT_FALSE(parseTopic("C1", "wexon/C1/other/RUN1"));
}

TEST(NetMessage, StationStatusRoundTripsAndRefusesJunk) {
    StationStatus s{"RUN1", "i1", true};
    EXPECT_EQ(parseStatus(encodeStatus(s)), s);
    s.up = false;
    EXPECT_EQ(parseStatus(encodeStatus(s)), s);
    EXPECT_FALSE(parseStatus("WXS1\tRUN1\ti1\tmaybe"));
    EXPECT_FALSE(parseStatus("WXS1\tRUN/1\ti1\tup"));
    EXPECT_FALSE(parseStatus(""));
}

} // namespace
} // namespace wexon::net
