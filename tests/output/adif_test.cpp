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
    // The free text holds no "<"; the first item is the version.
    EXPECT_EQ(text.find('<'), text.find("<ADIF_VER:5>3.1.4\r\n"));
    EXPECT_NE(text.find("\r\n<PROGRAMID:5>Wexon\r\n"), std::string::npos);
    EXPECT_EQ(text.find("PROGRAMVERSION"), std::string::npos); // none given
}

TEST(AdifHeader, ProgramVersionAndAHostileTitle) {
    auto e = options();
    e.programVersion = "0.1.0";
    e.programTitle = "Wexon <EOH> \xe9";
    output::AdifTextChanges changes;
    const std::string text = output::adifHeader(e, changes);
    EXPECT_EQ(text.substr(0, 32), "ADIF Export from Wexon *EOH> e\r\n");
    EXPECT_NE(text.find("\r\n<PROGRAMVERSION:5>0.1.0\r\n<EOH>\r\n"), std::string::npos);
    EXPECT_EQ(changes.replaced, 1);
    EXPECT_EQ(changes.transliterated, 1);
}

TEST(AdifRecord, ItemsTagsAndLineBreaks) {
    std::string r = output::adifRecord(contact(), options(), dxcc());
    EXPECT_EQ(r, "<Call:5>K1ABC <Qso_Date:8:d>20260328 <Band:3>20M <Mode:2>CW "
                 "<CONTEST_ID:9>CQ-WPX-CW\r\n"
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
    EXPECT_EQ(r, "<Band:3>20M <Mode:2>CW <CONTEST_ID:9>CQ-WPX-CW\r\n<Time_On:4>0905 "
                 "<Freq:6>14.025 <RST_Rcvd:3>579 <eor>\r\n\r\n");
}

TEST(AdifRecord, ContestIdForEachMode) {
    EXPECT_EQ(output::adifContestId("CW"), "CQ-WPX-CW");
    EXPECT_EQ(output::adifContestId("PH"), "CQ-WPX-SSB");
    EXPECT_EQ(output::adifContestId("RY"), "CQ-WPX-RTTY");
}

TEST(AdifRecord, TheExchangeTravelsWithTheReports) {
    core::QsoRecord q = contact();
    struct Case {
        const char* sent;
        const char* received;
        const char* items;
    } cases[] = {
        {"001", "12", "<RST_Sent:3>599 <STX:1>1 <RST_Rcvd:3>579 <SRX:2>12 "},
        {"000", " 7 ", "<RST_Sent:3>599 <STX:1>0 <RST_Rcvd:3>579 <SRX:1>7 "},
        // What the operator typed when it is no number is kept as text.
        {"15", "1a", "<RST_Sent:3>599 <STX:2>15 <RST_Rcvd:3>579 <SRX_STRING:2>1a "},
        {"", "", "<RST_Sent:3>599 <RST_Rcvd:3>579 "},
    };
    for (const auto& c : cases) {
        q.serialSent = c.sent;
        q.serialReceived = c.received;
        EXPECT_NE(output::adifRecord(q, options(), dxcc()).find(c.items), std::string::npos)
            << c.sent << " " << c.received;
    }
}

TEST(AdifRecord, AFrequencyOutsideTheBandIsLeftOut) {
    core::QsoRecord q = contact();
    for (const char* stale : {"7.012", "145.5", "x", "-14.025", "0"}) {
        q.frequency = stale;
        EXPECT_EQ(output::adifRecord(q, options(), dxcc()).find("Freq"), std::string::npos)
            << stale;
    }
    q.frequency = "14.2";
    EXPECT_NE(output::adifRecord(q, options(), dxcc()).find("<Freq:4>14.2 "), std::string::npos);
}

TEST(AdifText, LettersBecomePlainAndTheRestVisiblyReplaced) {
    output::AdifTextChanges changes;
    EXPECT_EQ(output::adifPlainText("Jos\xe9 M\xfcller Stra\xdf"
                                    "e \xd8ster \xc6r\xf8",
                                    changes),
              "Jose Muller Strasse Oster AEro");
    EXPECT_EQ(changes.transliterated, 6);
    EXPECT_EQ(changes.replaced, 0);
    EXPECT_EQ(output::adifPlainText("1\xd7"
                                    "2 \xa9\x1a\r\n\xa0x",
                                    changes),
              "1*2 **** x");
    EXPECT_EQ(changes.replaced, 5);
    EXPECT_EQ(changes.transliterated, 7);
    EXPECT_EQ(output::adifPlainText("plain ASCII ~!", changes), "plain ASCII ~!");
    EXPECT_EQ(changes.replaced, 5);
}

TEST(AdifText, TheOperatorIsToldWhatChangedOnce) {
    auto qsos = test::smallLog();
    qsos[0].call = "\xc5"
                   "A1AA"; // pasted into the log by another program
    auto e = options("100", "Gr\xfc\xdf"
                            "e \x1a");
    output::AdifTextChanges changes;
    const std::string text = output::writeAdif(qsos, e, dxcc(), &changes);
    EXPECT_NE(text.find("<Call:5>AA1AA "), std::string::npos);
    EXPECT_NE(text.find("<Comment:8>Grusse *\r\n"), std::string::npos);
    for (char c : text) {
        EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 32 && c < 127)) << int(c);
    }
    // The comment is in every record: each change is counted where it is made.
    EXPECT_EQ(changes.transliterated, 1 + 2 * static_cast<int>(qsos.size()));
    EXPECT_EQ(changes.replaced, static_cast<int>(qsos.size()));
    const std::string note = output::adifTextChangesNote(changes);
    EXPECT_NE(note.find("written as plain letters"), std::string::npos);
    EXPECT_NE(note.find("written as \"*\""), std::string::npos);
    EXPECT_EQ(output::adifTextChangesNote({}), "");
    output::AdifTextChanges none;
    output::writeAdif(test::smallLog(), options(), dxcc(), &none);
    EXPECT_FALSE(none.any());
}

TEST(AdifRecord, TimeItemReadsTheStoredTimeThroughTheTimeReader) {
    EXPECT_EQ(output::adifTimeOn("09:05:00"), "0905");
    EXPECT_EQ(output::adifTimeOn("9:05"), "0905");
    EXPECT_EQ(output::adifTimeOn("7:3:9"), "0703");
    EXPECT_EQ(output::adifTimeOn(" 23:59:59 "), "2359");
    for (const char* bad : {"9", "", "123456", "-1:00", "24:00", "9:60"}) {
        EXPECT_EQ(output::adifTimeOn(bad), std::nullopt) << bad;
        core::QsoRecord q = contact();
        q.qsoTime = bad;
        EXPECT_EQ(output::adifRecord(q, options(), dxcc()).find("Time_On"), std::string::npos)
            << bad;
    }
    // An edited time stored as typed in an older version is written in full.
    core::QsoRecord q = contact();
    q.qsoTime = "9:5";
    EXPECT_NE(output::adifRecord(q, options(), dxcc()).find("<Time_On:4>0905 "), std::string::npos);
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
