#include <gtest/gtest.h>

#include "golden.h"
#include "output/adif.h"

using namespace wexon;

namespace {

output::AdifExport options(const char* power = "100", const char* comment = "CQ WPX Contest") {
    output::AdifExport e;
    e.programTitle = "Wexon - CQ WPX Contest Logger";
    e.exportDate = "03/30/2026";
    e.contestMode = "CW";
    e.power = power;
    e.comment = comment;
    return e;
}

output::DxccTable dxcc() {
    return output::DxccTable::parse(test::readData("dxcc_small.txt"));
}

core::QsoRecord contact() {
    core::QsoRecord q;
    q.call = "K1ABC";
    q.qsoDate = "2026/03/28";
    q.qsoTime = "09:05:00";
    q.band = "20";
    q.country = "USA";
    q.rstSent = "599";
    q.rstReceived = "579";
    q.prefix = "K1";
    return q;
}

} // namespace

TEST(AdifGolden, SmallLogWithPowerAndComment) {
    test::expectGolden("small_log.adi", output::writeAdif(test::smallLog(), options(), dxcc()));
}

TEST(AdifGolden, PromptsCancelledOnRtty) {
    auto e = options("", "");
    e.contestMode = "RY";
    test::expectGolden("small_log_bare.adi", output::writeAdif(test::smallLog(), e, dxcc()));
}

TEST(AdifHeader, EmptyLogWritesOnlyTheHeader) {
    std::string text = output::writeAdif({}, options(), dxcc());
    EXPECT_EQ(text, output::adifHeader(options()));
    EXPECT_EQ(text.rfind("\r\n<EOH>\r\n\r\n"), text.size() - 11);
    EXPECT_EQ(text.substr(0, 48), "ADIF Export from Wexon - CQ WPX Contest Logger\r\n");
    EXPECT_NE(text.find("Log exported on: 03/30/2026\r\n"), std::string::npos);
    // Nothing before "<EOH>" may look like a tag.
    EXPECT_EQ(text.find('<'), text.find("<EOH>"));
}

TEST(AdifRecord, ItemsTagsAndLineBreaks) {
    std::string r = output::adifRecord(contact(), options(), dxcc());
    EXPECT_EQ(r, "<Call:5>K1ABC <Qso_Date:8:d>20260328 <Band:3>20M <Mode:2>CW\r\n"
                 "<Tx_Pwr:3>100 <Time_On:4>0905 <DXCC:3>291 <RST_Sent:3>599 <RST_Rcvd:3>579 "
                 "<Pfx:2>K1 <Comment:14>CQ WPX Contest\r\n<eor>\r\n\r\n");
}

TEST(AdifRecord, OmissionRules) {
    core::QsoRecord q = contact();
    q.call = "";
    q.qsoDate = "2026/02/30"; // not a date
    q.frequency = " 14.025 ";
    q.country = "Atlantis";
    q.rstSent = "   ";
    q.prefix = "";
    std::string r = output::adifRecord(q, options("", ""), dxcc());
    EXPECT_EQ(r, "<Band:3>20M <Mode:2>CW\r\n<Time_On:4>0905 <Freq:6>14.025 <RST_Rcvd:3>579 "
                 "<eor>\r\n\r\n");
}

TEST(AdifRecord, TimeItem) {
    EXPECT_EQ(output::adifTimeOn("09:05:00"), "0905");
    EXPECT_EQ(output::adifTimeOn("9"), "9000");
    EXPECT_EQ(output::adifTimeOn(" 23:59:59 "), "2359");
    EXPECT_EQ(output::adifTimeOn(""), "0000");
    EXPECT_EQ(output::adifTimeOn("123456"), "1234");
    // A time that sorts below "0000" is left out.
    core::QsoRecord q = contact();
    q.qsoTime = "-1:00";
    EXPECT_EQ(output::adifRecord(q, options(), dxcc()).find("Time_On"), std::string::npos);
}

TEST(AdifDxcc, LookupByTrimmedNameWithoutCase) {
    output::DxccTable t = dxcc();
    EXPECT_EQ(t.lookup("usa"), 291);
    EXPECT_EQ(t.lookup(" Germany  "), 230);
    EXPECT_EQ(t.lookup("Atlantis"), 0);
    EXPECT_EQ(t.lookup(""), 0);
    // Two characters or fewer are never looked up.
    t.add("UK", 223);
    EXPECT_EQ(t.lookup("UK"), 0);
}

TEST(AdifDxcc, EmptyCountryGetsNoNumberWhateverCameBefore) {
    std::vector<core::QsoRecord> qsos{contact(), contact()};
    qsos[1].country = "";
    std::string text = output::writeAdif(qsos, options(), dxcc());
    EXPECT_EQ(text.find("<DXCC:"), text.rfind("<DXCC:"));
}

TEST(AdifDxcc, TableFileLimitsAndBadNumbers) {
    std::string big;
    for (int i = 0; i < 1200; ++i) {
        big += "\"Country" + std::to_string(i) + "\"," + std::to_string(i + 1) + "\r\n";
    }
    output::DxccTable t = output::DxccTable::parse(big);
    EXPECT_EQ(t.size(), 1000u);
    EXPECT_EQ(t.lookup("Country999"), 1000);
    EXPECT_EQ(t.lookup("Country1000"), 0);
    output::DxccTable bad = output::DxccTable::parse("\"Nowhere\",\"x\"\r\n\"Cut\"");
    EXPECT_EQ(bad.size(), 1u);
    EXPECT_EQ(bad.lookup("Nowhere"), 0);
}
