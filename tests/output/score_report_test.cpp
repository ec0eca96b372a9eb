#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/score_report.h"

namespace wexon::output {
namespace {

core::QsoRecord scoreContact(const char* call, const char* band, float points, const char* prefix) {
    core::QsoRecord r;
    r.call = call;
    r.band = band;
    r.points = points;
    r.prefix = prefix;
    r.qsoDate = "2026/05/30";
    r.qsoTime = "12:00:00";
    return r;
}

std::vector<core::QsoRecord> scoreLog() {
    return {
        scoreContact("K1AA", "20", 1, "K1"),  scoreContact("DL1X", "20", 1, "DL1"),
        scoreContact("K1BB", "40", 2, "k1"),  scoreContact("JA1Z", "40", 4, "JA1"),
        scoreContact("VK2Q", "10", 3, "VK2"), scoreContact("NOPFX", "10", 0, ""),
    };
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(ScoreReportBreakdown, PrefixesCountOnTheBandFirstWorked) {
    const auto bands = scoreByBand(scoreLog());
    ASSERT_EQ(bands.size(), 6u);
    EXPECT_EQ(bands[0].band, "160");
    EXPECT_EQ(bands[0].qsos, 0);
    // 40 m: two contacts, 6 points, JA1 new (K1 was first worked on 20 m).
    EXPECT_EQ(bands[2].band, "40");
    EXPECT_EQ(bands[2].qsos, 2);
    EXPECT_EQ(bands[2].points, 6);
    EXPECT_EQ(bands[2].multipliers, 1);
    EXPECT_EQ(bands[3].qsos, 2);
    EXPECT_EQ(bands[3].multipliers, 2);
    EXPECT_EQ(bands[5].qsos, 2);
    EXPECT_EQ(bands[5].multipliers, 1);
    int mults = 0;
    for (const auto& b : bands) {
        mults += b.multipliers;
    }
    EXPECT_EQ(mults, 4);
}

TEST(ScoreReportXml, CarriesTheFiguresOfAKnownLog) {
    const auto log = scoreLog();
    ScoreReportInput in;
    in.contestMode = "PH";
    in.myCall = " K1ABC ";
    in.operators = "K1ABC N2XYZ";
    in.cls.power = "low";
    in.cls.ops = "MULTI-OP";
    in.cls.transmitter = "TWO";
    in.records = &log;
    in.totalPoints = 11;
    in.multipliers = 4;
    in.utc = {2026, 5, 30, 9, 5, 7};
    const std::string xml = scoreReportXml(in);
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dynamicresults>\n", 0), 0u);
    EXPECT_NE(xml.find("<contest>CQ-WPX-SSB</contest>"), std::string::npos);
    EXPECT_NE(xml.find("<call>K1ABC</call>"), std::string::npos);
    EXPECT_NE(xml.find("<ops>K1ABC N2XYZ</ops>"), std::string::npos);
    EXPECT_NE(xml.find("<class power=\"LOW\" assisted=\"NON-ASSISTED\" transmitter=\"TWO\" "
                       "ops=\"MULTI-OP\" bands=\"ALL\" mode=\"SSB\"></class>"),
              std::string::npos);
    EXPECT_NE(xml.find("<qso band=\"40\" mode=\"SSB\">2</qso>"), std::string::npos);
    EXPECT_NE(xml.find("<point band=\"40\" mode=\"SSB\">6</point>"), std::string::npos);
    EXPECT_NE(xml.find("<mult band=\"20\" mode=\"SSB\" type=\"wpxprefix\">2</mult>"),
              std::string::npos);
    EXPECT_NE(xml.find("<qso band=\"total\" mode=\"ALL\">6</qso>"), std::string::npos);
    EXPECT_NE(xml.find("<mult band=\"total\" mode=\"ALL\" type=\"wpxprefix\">4</mult>"),
              std::string::npos);
    EXPECT_NE(xml.find("<point band=\"total\" mode=\"ALL\">11</point>"), std::string::npos);
    EXPECT_NE(xml.find("<score>44</score>"), std::string::npos);
    EXPECT_NE(xml.find("<timestamp>2026-05-30 09:05:07</timestamp>"), std::string::npos);
    // Bands without contacts are left out.
    EXPECT_EQ(occurrences(xml, "band=\"160\""), 0u);
    EXPECT_EQ(occurrences(xml, "<qso "), 4u);
    EXPECT_NE(xml.find("</dynamicresults>\n"), std::string::npos);
}

TEST(ScoreReportXml, OtherStationsContactsCountInTheBreakdown) {
    const auto own = scoreLog();
    const std::vector<core::QsoRecord> others{scoreContact("ZS6X", "160", 4, "ZS6"),
                                              scoreContact("DL2Y", "20", 1, "dl1")};
    const auto bands = scoreByBand(own, &others);
    EXPECT_EQ(bands[0].qsos, 1);
    EXPECT_EQ(bands[0].multipliers, 1);
    EXPECT_EQ(bands[0].points, 4);
    EXPECT_EQ(bands[3].qsos, 3);
    EXPECT_EQ(bands[3].multipliers, 2); // DL1 was already worked
    ScoreReportInput in;
    in.records = &own;
    in.otherRecords = &others;
    const std::string xml = scoreReportXml(in);
    EXPECT_NE(xml.find("<qso band=\"total\" mode=\"ALL\">8</qso>"), std::string::npos);
    EXPECT_NE(xml.find("<qso band=\"160\" mode=\"CW\">1</qso>"), std::string::npos);
}

TEST(ScoreReportXml, UnknownClassWordsAndMarkupNeverReachTheReport) {
    ScoreReportInput in;
    in.myCall = "K1<&>";
    in.club = "Club \"A\" & B";
    in.cls.power = "\"/><evil";
    in.cls.bands = "20m";
    const std::string xml = scoreReportXml(in);
    EXPECT_NE(xml.find("<call>K1&lt;&amp;&gt;</call>"), std::string::npos);
    EXPECT_NE(xml.find("<ops>K1&lt;&amp;&gt;</ops>"), std::string::npos);
    EXPECT_NE(xml.find("<club>Club &quot;A&quot; &amp; B</club>"), std::string::npos);
    EXPECT_NE(xml.find("power=\"HIGH\""), std::string::npos);
    EXPECT_NE(xml.find("bands=\"20M\""), std::string::npos);
    EXPECT_EQ(xml.find("evil"), std::string::npos);
    EXPECT_NE(xml.find("<score>0</score>"), std::string::npos);
}

TEST(ScoreReportXml, LargeScoresDoNotWrap) {
    ScoreReportInput in;
    in.totalPoints = 2000000000;
    in.multipliers = 3000;
    const std::string xml = scoreReportXml(in);
    EXPECT_NE(xml.find("<score>6000000000000</score>"), std::string::npos);
}

} // namespace
} // namespace wexon::output

namespace wexon::output {
namespace {

TEST(ScorePostingSettingsStore, RoundTripsAndRejectsDamagedValues) {
    core::MemorySettingsStore store;
    ScorePostingSettings fresh = ScorePostingSettings::load(store);
    EXPECT_FALSE(fresh.enabled);
    EXPECT_EQ(fresh.cls.power, "HIGH");

    ScorePostingSettings s;
    s.enabled = true;
    s.url = "https://scores.example/post";
    s.user = "k1abc";
    s.password = "pw";
    s.operators = "K1ABC N2XYZ";
    s.cls.power = "QRP";
    s.cls.bands = "40M";
    s.save(store);
    const ScorePostingSettings back = ScorePostingSettings::load(store);
    EXPECT_TRUE(back.enabled);
    EXPECT_EQ(back.url, s.url);
    EXPECT_EQ(back.password, "pw");
    EXPECT_EQ(back.operators, "K1ABC N2XYZ");
    EXPECT_EQ(back.cls.power, "QRP");
    EXPECT_EQ(back.cls.bands, "40M");

    store.write(ScorePostingSettings::kEnabledKey, "yes");
    store.write(ScorePostingSettings::kUrlKey, "http://a\r\nInjected: 1");
    store.write(ScorePostingSettings::kOpsKey, "EVERYONE");
    const ScorePostingSettings damaged = ScorePostingSettings::load(store);
    EXPECT_FALSE(damaged.enabled);
    EXPECT_EQ(damaged.url.find('\n'), std::string::npos);
    EXPECT_EQ(damaged.cls.ops, "SINGLE-OP");
}

} // namespace
} // namespace wexon::output
