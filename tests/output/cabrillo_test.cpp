#include <gtest/gtest.h>

#include <algorithm>

#include "cabrillo_fixture.h"
#include "golden.h"
#include "output/cabrillo.h"

using namespace wexon;
using output::SummarySheet;

using test::lines;
using test::logOf;
using test::sheet;

namespace {

core::QsoRecord contact(const std::string& call, const std::string& band) {
    core::QsoRecord q;
    q.call = call;
    q.rstSent = "599";
    q.rstReceived = "599";
    q.serialSent = "001";
    q.serialReceived = "12";
    q.qsoDate = "2013/03/30";
    q.qsoTime = "14:05:33";
    q.band = band;
    return q;
}

} // namespace

TEST(CabrilloGolden, SmallLogSingleOperator) {
    auto qsos = test::smallLog();
    ASSERT_EQ(qsos.size(), 8u);
    test::expectGolden("small_log.cbr", output::writeCabrillo(sheet(), logOf(qsos)));
}

TEST(CabrilloGolden, MultiOperatorWithOverlaysOnPhone) {
    auto qsos = test::smallLog();
    qsos.resize(3);
    SummarySheet s = sheet();
    s.op = SummarySheet::Operator::Multiple;
    s.transmitter = SummarySheet::Transmitter::Two;
    s.bandItem = "20M";
    s.power = SummarySheet::Power::High;
    s.rookie = true;
    s.bandLimited = true;
    s.tbWires = true;
    s.operators = "W1AW K1ABC N1XYZ";
    test::expectGolden("multi_op.cbr", output::writeCabrillo(s, logOf(qsos, "PH")));
}

TEST(CabrilloGolden, EmptyLogAndEmptyFields) {
    std::vector<core::QsoRecord> none;
    SummarySheet s;
    s.createdBy = "A title that is longer than forty-five characters, cut there";
    auto log = logOf(none, "RY");
    log.ownCall = "";
    test::expectGolden("empty_log.cbr", output::writeCabrillo(s, log));
}

TEST(CabrilloHeader, LinesInOrderAndOverlayOnlyWhenChosen) {
    std::vector<core::QsoRecord> none;
    auto text = output::writeCabrillo(sheet(), logOf(none));
    auto l = lines(text);
    ASSERT_EQ(l.size(), 17u); // 16 header lines without overlay, then END-OF-LOG
    EXPECT_EQ(l[0], "START-OF-LOG: 2.0");
    EXPECT_EQ(l[5], "CATEGORY: SINGLE-OP ALL LOW");
    EXPECT_EQ(l[6], "CLAIMED-SCORE: 0 ");
    EXPECT_EQ(l[7], "OPERATORS: W1AW");
    EXPECT_EQ(l[13], "SOAPBOX: Great conditions on 20.");
    EXPECT_EQ(l[14], "SOAPBOX:");
    EXPECT_EQ(l[15], "SOAPBOX:");
    EXPECT_EQ(l[16], "END-OF-LOG:");

    SummarySheet rookie = sheet();
    rookie.rookie = true;
    auto r = lines(output::writeCabrillo(rookie, logOf(none)));
    ASSERT_EQ(r.size(), 18u);
    EXPECT_EQ(r[6], "CATEGORY-OVERLAY: ROOKIE");
}

TEST(CabrilloHeader, LineBreaksInValuesKeepEveryTagOnItsOwnLine) {
    // The 2.0 layout has a fixed set of header lines: a value with line breaks
    // stays on its tag's line, each break a blank, and the file keeps its shape.
    std::vector<core::QsoRecord> none;
    SummarySheet s = sheet();
    s.soapbox = "Line one\r\nline two\nline three";
    s.name = "Hiram\nMaxim";
    s.address1 = "225 Main\rStreet";
    s.address2 = "\r\n";
    s.club = "Frankford\r\n";
    s.email = "\nw1aw@example.org";
    s.operators = "W1AW\nK1ABC";
    s.arrlSection = "C\nT";
    const std::string text = output::writeCabrillo(s, logOf(none));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 17);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 17);
    auto l = lines(text);
    ASSERT_EQ(l.size(), 17u);
    EXPECT_EQ(l[2], "ARRL-SECTION: C T");
    EXPECT_EQ(l[7], "OPERATORS: W1AW K1ABC");
    EXPECT_EQ(l[8], "CLUB: Frankford  ");
    EXPECT_EQ(l[9], "NAME: Hiram Maxim");
    EXPECT_EQ(l[10], "ADDRESS: 225 Main Street");
    EXPECT_EQ(l[11], "ADDRESS:   ");
    EXPECT_EQ(l[12], "EMAIL:  w1aw@example.org");
    EXPECT_EQ(l[13], "SOAPBOX: Line one  line two line three");
    EXPECT_EQ(l[14], "SOAPBOX:");
    EXPECT_EQ(l[16], "END-OF-LOG:");
}

TEST(CabrilloHeader, CategoryWords) {
    SummarySheet s;
    EXPECT_EQ(output::cabrilloCategory(s), "SINGLE-OP ALL LOW");
    s.op = SummarySheet::Operator::SingleAssisted;
    s.power = SummarySheet::Power::Qrp;
    s.bandItem = "160M";
    EXPECT_EQ(output::cabrilloCategory(s), "SINGLE-OP-ASSISTED 160M QRP");
    s.op = SummarySheet::Operator::Multiple;
    s.transmitter = SummarySheet::Transmitter::Multi;
    EXPECT_EQ(output::cabrilloCategory(s), "MULTI-MULTI 160M QRP");
    s.transmitter = SummarySheet::Transmitter::One;
    EXPECT_EQ(output::cabrilloCategory(s), "MULTI-ONE 160M QRP");
    s.op = SummarySheet::Operator::Checklog;
    s.transmitter = SummarySheet::Transmitter::None;
    EXPECT_EQ(output::cabrilloCategory(s), "CHECKLOG 160M QRP");
    EXPECT_EQ(output::cabrilloContest("CW"), "CQ-WPX-CW");
    EXPECT_EQ(output::cabrilloContest("RY"), "CQ-WPX-RTTY");
    EXPECT_EQ(output::cabrilloContest("PH"), "CQ-WPX-SSB");
}

TEST(CabrilloHeader, ClaimedScoreHasASpaceEitherSide) {
    EXPECT_EQ(output::cabrilloClaimedScore(1234, 567), " 699678 ");
    EXPECT_EQ(output::cabrilloClaimedScore(0, 0), " 0 ");
    EXPECT_EQ(output::cabrilloClaimedScore(78000, 13000), " 1014000000 ");
}

TEST(CabrilloQsoLine, FieldsStartAtTheirColumns) {
    std::string l = output::cabrilloQsoLine(contact("K1ABC", "20"), "CW", "W1AW");
    EXPECT_EQ(l, "QSO: 14000 CW 2013-03-30 1405 W1AW          599 001    K1ABC         599 12     "
                 " ");
    ASSERT_EQ(l.size(), 81u);
    EXPECT_EQ(l.substr(5, 5), "14000");        // columns 6-10
    EXPECT_EQ(l.substr(11, 2), "CW");          // 12
    EXPECT_EQ(l.substr(14, 10), "2013-03-30"); // 15
    EXPECT_EQ(l.substr(25, 4), "1405");        // 26
    EXPECT_EQ(l.substr(30, 4), "W1AW");        // 31
    EXPECT_EQ(l.substr(44, 3), "599");         // 45
    EXPECT_EQ(l.substr(48, 3), "001");         // 49
    EXPECT_EQ(l.substr(55, 5), "K1ABC");       // 56
    EXPECT_EQ(l.substr(69, 3), "599");         // 70
    EXPECT_EQ(l.substr(73, 2), "12");          // 74
    EXPECT_EQ(l[80], ' ');                     // 81

    std::string low = output::cabrilloQsoLine(contact("K1ABC", "160"), "CW", "W1AW");
    EXPECT_EQ(low.substr(0, 13), "QSO:  1800 CW");
}

TEST(CabrilloQsoLine, UnknownBandLeavesTheFrequencyEmpty) {
    for (const char* band : {"17", "", "6"}) {
        std::string l = output::cabrilloQsoLine(contact("K1ABC", band), "PH", "W1AW");
        EXPECT_EQ(l.substr(0, 13), "QSO:       PH") << band;
    }
}

TEST(CabrilloQsoLine, LongFieldsPushOnWithOneSpaceAndNeverBreakTheLine) {
    core::QsoRecord q = contact("PA3ABCDEFGHIJKLMN", "20"); // 17 characters, slot is 13
    q.serialSent = "12345678";                              // slot is 6
    q.serialReceived = "123456789";
    std::string l = output::cabrilloQsoLine(q, "CW", "VERYLONGOWNCALL/MM");
    EXPECT_EQ(l.find('\n'), std::string::npos);
    EXPECT_EQ(l.find('\r'), std::string::npos);
    // Columns that can still be kept are kept.
    EXPECT_EQ(l.substr(25, 4), "1405");
    EXPECT_EQ(l.substr(30, 18), "VERYLONGOWNCALL/MM");
    // The own call ran to column 48: the report follows after one space, and so on.
    EXPECT_NE(l.find("VERYLONGOWNCALL/MM 599 12345678 PA3ABCDEFGHIJKLMN 599 123456789  "),
              std::string::npos)
        << l;
    // A call of exactly 13 characters still leaves the report at column 70.
    std::string fits = output::cabrilloQsoLine(contact("ABCDEFGHIJKLM", "20"), "CW", "W1AW");
    EXPECT_EQ(fits.substr(55, 15), "ABCDEFGHIJKLM 5");
    // A 14-character call would touch the report: one space is put between.
    std::string touches = output::cabrilloQsoLine(contact("ABCDEFGHIJKLMN", "20"), "CW", "W1AW");
    EXPECT_NE(touches.find("ABCDEFGHIJKLMN 599 12"), std::string::npos);
}

TEST(CabrilloQsoLine, BadDatesAndTimesAreWrittenAsTheyStand) {
    core::QsoRecord q = contact("", "20");
    q.qsoDate = "not a date";
    q.qsoTime = "9";
    std::string l = output::cabrilloQsoLine(q, "CW", "W1AW");
    EXPECT_EQ(l.substr(14, 10), "not a date");
    EXPECT_EQ(l.substr(25, 2), "9 ");
    EXPECT_EQ(l.size(), 81u);
}

TEST(CabrilloPrefixes, CountedOnceWithoutRegardToCase) {
    std::vector<core::QsoRecord> qsos(4);
    qsos[0].prefix = "K1";
    qsos[1].prefix = "k1";
    qsos[2].prefix = "DL1";
    qsos[3].prefix = "";
    EXPECT_EQ(output::countPrefixes(qsos), 3);
}
