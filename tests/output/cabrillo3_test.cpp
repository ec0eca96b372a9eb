#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cabrillo_fixture.h"
#include "golden.h"
#include "output/cabrillo.h"
#include "output/cabrillo3.h"

using namespace wexon;
using output::Cabrillo3Categories;
using output::CabrilloVersion;
using output::SummarySheet;

using test::lines;
using test::logOf;
using test::sheet;

namespace {

// The lines that start with "TAG: " (or are just "TAG:"), without the tag.
std::vector<std::string> valuesOf(const std::string& text, const std::string& tag) {
    std::vector<std::string> out;
    for (const std::string& l : lines(text)) {
        if (l.rfind(tag + ":", 0) == 0) {
            out.push_back(l.size() > tag.size() + 2 ? l.substr(tag.size() + 2) : "");
        }
    }
    return out;
}

core::QsoRecord contact(const std::string& band, const std::string& frequency) {
    core::QsoRecord q;
    q.call = "K1ABC";
    q.rstSent = "599";
    q.rstReceived = "599";
    q.serialSent = "001";
    q.serialReceived = "12";
    q.qsoDate = "2013/03/30";
    q.qsoTime = "14:05:33";
    q.band = band;
    q.frequency = frequency;
    return q;
}

std::string joined(const std::vector<std::string>& pieces) {
    std::string out;
    for (const auto& p : pieces) {
        out += (out.empty() ? "" : " ") + p;
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- golden files

TEST(Cabrillo3Golden, SmallLogSingleOperator) {
    auto qsos = test::smallLog();
    ASSERT_EQ(qsos.size(), 8u);
    test::expectGolden("small_log_v3.cbr", output::writeCabrillo3(sheet(), logOf(qsos)));
}

TEST(Cabrillo3Golden, MultiOperatorWithOverlaysOnPhone) {
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
    test::expectGolden("multi_op_v3.cbr", output::writeCabrillo3(s, logOf(qsos, "PH")));
}

TEST(Cabrillo3Golden, EmptyLogAndEmptyFields) {
    std::vector<core::QsoRecord> none;
    SummarySheet s;
    s.createdBy = "A title that is longer than forty-five characters, cut there";
    auto log = logOf(none, "RY");
    log.ownCall = "";
    test::expectGolden("empty_log_v3.cbr", output::writeCabrillo3(s, log));
}

// ---------------------------------------------------------------- header

TEST(Cabrillo3Header, TagsInOrderWithTheSameQsoLinesAsTwoPointZero) {
    auto qsos = test::smallLog();
    const std::string text = output::writeCabrillo3(sheet(), logOf(qsos));
    auto l = lines(text);
    std::vector<std::string> tags;
    for (const auto& x : l) {
        if (x.rfind("QSO:", 0) != 0) {
            tags.push_back(x.substr(0, x.find(':')));
        }
    }
    EXPECT_EQ(joined(tags), "START-OF-LOG CREATED-BY CONTEST CALLSIGN LOCATION "
                            "CATEGORY-OPERATOR CATEGORY-ASSISTED CATEGORY-BAND CATEGORY-MODE "
                            "CATEGORY-POWER CATEGORY-TRANSMITTER CLAIMED-SCORE OPERATORS CLUB "
                            "NAME ADDRESS ADDRESS EMAIL SOAPBOX END-OF-LOG");
    EXPECT_EQ(l.front(), "START-OF-LOG: 3.0");
    EXPECT_EQ(l.back(), "END-OF-LOG:");
    EXPECT_EQ(valuesOf(text, "CALLSIGN"), std::vector<std::string>{"W1AW"});
    EXPECT_EQ(valuesOf(text, "LOCATION"), std::vector<std::string>{"CT"});
    EXPECT_EQ(valuesOf(text, "CLAIMED-SCORE"), std::vector<std::string>{"200"}); // no blank after
    EXPECT_EQ(valuesOf(text, "OPERATORS"), std::vector<std::string>{"W1AW"});
    EXPECT_TRUE(valuesOf(text, "CATEGORY-OVERLAY").empty());

    // Each QSO line is the 2.0 line with the 3.0 frequency in its place.
    const std::string v2 = output::writeCabrillo(sheet(), logOf(qsos));
    std::vector<std::string> q2;
    std::vector<std::string> q3;
    for (const auto& x : lines(v2)) {
        if (x.rfind("QSO:", 0) == 0) {
            q2.push_back(x);
        }
    }
    for (const auto& x : l) {
        if (x.rfind("QSO:", 0) == 0) {
            q3.push_back(x);
        }
    }
    ASSERT_EQ(q3.size(), qsos.size());
    ASSERT_EQ(q2.size(), q3.size());
    for (std::size_t i = 0; i < q3.size(); ++i) {
        EXPECT_EQ(q3[i].substr(10), q2[i].substr(10)) << i;
        EXPECT_EQ(q3[i].size(), q2[i].size()) << i;
    }
    EXPECT_EQ(q3[0].substr(0, 10), "QSO: 14025"); // the log holds 14.025
    EXPECT_EQ(q3[2].substr(0, 10), "QSO:  7012"); // 7.012
    EXPECT_EQ(q3[1].substr(0, 10), "QSO: 14000"); // none: the band edge
}

TEST(Cabrillo3Header, OneOverlayLineWithAThreePointZeroValue) {
    std::vector<core::QsoRecord> none;
    struct Case {
        bool rookie;
        bool bandLimited;
        bool tbWires;
        const char* chosen;
        std::vector<std::string> written;
    } cases[] = {
        {true, true, true, "", {"ROOKIE"}},
        {false, true, true, "", {"TB-WIRES"}},
        {false, true, false, "", {}}, // BAND-LIMITED has no 3.0 value
        {true, false, false, "over-50", {"OVER-50"}},
        {false, false, false, "CLASSIC", {"CLASSIC"}},
        {false, false, false, "YOUTH", {"YOUTH"}},
        {false, false, false, "NOVICE-TECH", {"NOVICE-TECH"}},
        {false, false, true, "BAND-LIMITED", {"TB-WIRES"}}, // not a 3.0 value
    };
    for (const auto& c : cases) {
        SummarySheet s = sheet();
        s.rookie = c.rookie;
        s.bandLimited = c.bandLimited;
        s.tbWires = c.tbWires;
        s.overlay3 = c.chosen;
        const std::string text = output::writeCabrillo3(s, logOf(none));
        EXPECT_EQ(valuesOf(text, "CATEGORY-OVERLAY"), c.written) << c.chosen;
        if (!c.written.empty()) {
            EXPECT_EQ(lines(text)[11],
                      "CATEGORY-OVERLAY: " + c.written[0]); // after the transmitter
        }
    }
}

TEST(Cabrillo3Header, AddressHeldToSixLinesOfFortyFiveCharacters) {
    std::vector<core::QsoRecord> none;
    SummarySheet s = sheet();
    s.address1 = "Flat 12, The Old Rectory Building, 1234 Long Country Lane Road";
    s.address2 = "a\nb\nc\nd\ne\nf";
    const auto address = valuesOf(output::writeCabrillo3(s, logOf(none)), "ADDRESS");
    ASSERT_EQ(address.size(), output::kCabrilloAddressLines);
    for (const auto& line : address) {
        EXPECT_LE(line.size(), output::kCabrilloAddressWidth) << line;
    }
    EXPECT_EQ(address[0], "Flat 12, The Old Rectory Building, 1234 Long");
    EXPECT_EQ(address[1], "Country Lane Road");
    EXPECT_EQ(address[5], "d");
    // The 2.0 file keeps its two lines as they were.
    const std::string v2 = output::writeCabrillo(s, logOf(none));
    EXPECT_NE(v2.find("\r\nADDRESS: " + s.address1 + "\r\n"), std::string::npos);
}

TEST(Cabrillo3Qso, TransmitterIdOnlyInATwoTransmitterLog) {
    auto qsos = test::smallLog();
    qsos.resize(2);
    SummarySheet s = sheet();
    auto qsoEnds = [&](const SummarySheet& sh) {
        std::string ends;
        for (const auto& l : lines(output::writeCabrillo3(sh, logOf(qsos)))) {
            if (l.rfind("QSO:", 0) == 0) {
                EXPECT_EQ(l.size(), 81u) << l;
                ends.push_back(l.back());
            }
        }
        return ends;
    };
    EXPECT_EQ(qsoEnds(s), "  ");
    s.op = SummarySheet::Operator::Multiple;
    s.transmitter = SummarySheet::Transmitter::Two;
    EXPECT_EQ(qsoEnds(s), "00");
    s.transmitterId = 1;
    EXPECT_EQ(qsoEnds(s), "11");
    EXPECT_EQ(output::cabrillo3TransmitterColumn(s), '1');
    s.transmitter = SummarySheet::Transmitter::Multi;
    EXPECT_EQ(qsoEnds(s), "  ");
    s.transmitter = SummarySheet::Transmitter::Two;
    s.op = SummarySheet::Operator::Single;
    EXPECT_EQ(output::cabrillo3TransmitterColumn(s), ' ');
}

TEST(Cabrillo3Categories, EveryChoiceOfTheSheetMapsToOneValue) {
    SummarySheet s;
    Cabrillo3Categories c = output::cabrillo3Categories(s, "CW");
    EXPECT_EQ(c.op, "SINGLE-OP");
    EXPECT_EQ(c.assisted, "NON-ASSISTED");
    EXPECT_EQ(c.band, "ALL");
    EXPECT_EQ(c.mode, "CW");
    EXPECT_EQ(c.power, "LOW");
    EXPECT_EQ(c.transmitter, "ONE");
    EXPECT_TRUE(c.overlay.empty());

    s.op = SummarySheet::Operator::SingleAssisted;
    s.power = SummarySheet::Power::Qrp;
    s.bandItem = "160M";
    c = output::cabrillo3Categories(s, "RY");
    EXPECT_EQ(c.op, "SINGLE-OP");
    EXPECT_EQ(c.assisted, "ASSISTED");
    EXPECT_EQ(c.band, "160M");
    EXPECT_EQ(c.mode, "RTTY");
    EXPECT_EQ(c.power, "QRP");
    EXPECT_EQ(c.transmitter, "ONE");

    s.op = SummarySheet::Operator::Multiple;
    s.power = SummarySheet::Power::High;
    const std::pair<SummarySheet::Transmitter, const char*> transmitters[] = {
        {SummarySheet::Transmitter::One, "ONE"},
        {SummarySheet::Transmitter::Two, "TWO"},
        {SummarySheet::Transmitter::Multi, "UNLIMITED"},
    };
    for (const auto& [tx, word] : transmitters) {
        s.transmitter = tx;
        c = output::cabrillo3Categories(s, "PH");
        EXPECT_EQ(c.op, "MULTI-OP");
        EXPECT_EQ(c.assisted, "ASSISTED");
        EXPECT_EQ(c.transmitter, word);
        EXPECT_EQ(c.mode, "SSB");
        EXPECT_EQ(c.power, "HIGH");
    }

    s.op = SummarySheet::Operator::Checklog;
    s.transmitter = SummarySheet::Transmitter::None;
    c = output::cabrillo3Categories(s, "XX"); // an unknown mode is the phone contest, as 2.0
    EXPECT_EQ(c.op, "CHECKLOG");
    EXPECT_EQ(c.assisted, "NON-ASSISTED");
    EXPECT_EQ(c.transmitter, "ONE");
    EXPECT_EQ(c.mode, "SSB");

    s.rookie = s.bandLimited = s.tbWires = true;
    c = output::cabrillo3Categories(s, "CW");
    EXPECT_EQ(c.overlay, "ROOKIE");
}

TEST(Cabrillo3Header, VersionChoiceAndDispatch) {
    EXPECT_EQ(output::cabrilloVersionText(CabrilloVersion::V2), "2.0");
    EXPECT_EQ(output::cabrilloVersionText(CabrilloVersion::V3), "3.0");
    EXPECT_EQ(output::cabrilloVersionFromText("3.0"), CabrilloVersion::V3);
    EXPECT_EQ(output::cabrilloVersionFromText(" 3.0 "), CabrilloVersion::V3);
    for (const char* other : {"", "2.0", "3", "30", "yes", "3.0.1"}) {
        EXPECT_EQ(output::cabrilloVersionFromText(other), CabrilloVersion::V2) << other;
    }
    std::vector<core::QsoRecord> none;
    EXPECT_EQ(output::writeCabrilloFile(CabrilloVersion::V2, sheet(), logOf(none)),
              output::writeCabrillo(sheet(), logOf(none)));
    EXPECT_EQ(output::writeCabrilloFile(CabrilloVersion::V3, sheet(), logOf(none)),
              output::writeCabrillo3(sheet(), logOf(none)));
}

// ---------------------------------------------------------------- frequency

TEST(Cabrillo3Frequency, OwnFrequencyInKilohertzWhenItLiesInTheBand) {
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "14.025")), "14025");
    EXPECT_EQ(output::cabrillo3Frequency(contact("160", "1.8306")), "1831"); // rounded
    EXPECT_EQ(output::cabrillo3Frequency(contact("10", "29.7")), "29700");
    EXPECT_EQ(output::cabrillo3Frequency(contact("80", " 3.512 ")), "3512");
    EXPECT_EQ(output::cabrillo3Frequency(contact("40", "7")), "7000");

    // The line keeps its columns with a four-digit frequency.
    std::string l = output::cabrilloQsoLineWithFrequency(
        contact("80", "3.512"), output::cabrillo3Frequency(contact("80", "3.512")), "CW", "W1AW");
    EXPECT_EQ(l.substr(0, 14), "QSO:  3512 CW ");
    EXPECT_EQ(l.size(), 81u);
}

TEST(Cabrillo3Frequency, BandEdgeWhenTheLogHasNoUsableFrequency) {
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "")), "14000");
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "   ")), "14000");
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "abc")), "14000");
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "nan")), "14000");
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "1e308")), "14000");
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "-14.025")), "14000");
    // A reading from another band (kHz written as MHz, or a stale reading).
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "14025")), "14000");
    EXPECT_EQ(output::cabrillo3Frequency(contact("20", "7.012")), "14000");
    EXPECT_EQ(output::cabrillo3Frequency(contact("160", "3.5")), " 1800");
    // A band outside the six has no edge, whatever the reading.
    EXPECT_EQ(output::cabrillo3Frequency(contact("17", "18.075")), "");
    EXPECT_EQ(output::cabrillo3Frequency(contact("", "14.025")), "");
    // A frequency too long for its slot pushes the line on; it never breaks it.
    std::string l =
        output::cabrilloQsoLineWithFrequency(contact("20", ""), "1234567890123", "CW", "W1AW");
    EXPECT_EQ(l.substr(0, 21), "QSO: 1234567890123 CW");
}

// ---------------------------------------------------------------- free text

TEST(Cabrillo3Text, SoapboxWithLineBreaksBecomesOneTagLinePerLine) {
    std::vector<core::QsoRecord> none;
    SummarySheet s = sheet();
    s.soapbox = "First line.\r\nSecond line.\nThird line.\rFourth.\r\n\r\n   \n";
    const std::string text = output::writeCabrillo3(s, logOf(none));
    EXPECT_EQ(valuesOf(text, "SOAPBOX"),
              (std::vector<std::string>{"First line.", "Second line.", "Third line.", "Fourth."}));
    // Nothing but CR LF ends a line anywhere in the file.
    const std::size_t crlf = lines(text).size();
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), crlf);
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')), crlf);
}

TEST(Cabrillo3Text, LongTextIsWrappedAtBlanksWithinTheLineWidth) {
    const std::string longText =
        "The bands were in fine shape all weekend and twenty metres stayed open to Asia well "
        "past midnight, which never happens; many thanks to everyone who called in.";
    auto out = output::cabrilloTagLines("SOAPBOX", longText);
    ASSERT_GT(out.size(), 1u);
    std::vector<std::string> pieces;
    for (const auto& l : out) {
        EXPECT_LE(l.size(), output::kCabrilloTextLineWidth) << l;
        ASSERT_EQ(l.rfind("SOAPBOX: ", 0), 0u);
        std::string piece = l.substr(9);
        EXPECT_NE(piece.front(), ' ');
        EXPECT_NE(piece.back(), ' ');
        pieces.push_back(piece);
    }
    EXPECT_EQ(joined(pieces), longText); // every word kept, in order, none split
    // A line that fits is left whole; one exactly at the width too.
    const std::string fits(66, 'x');
    EXPECT_EQ(output::cabrilloTagLines("SOAPBOX", fits),
              std::vector<std::string>{"SOAPBOX: " + fits});
    // A word longer than a line is cut at the width.
    auto cut = output::cabrilloTagLines("SOAPBOX", std::string(150, 'y'));
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[0].size(), 75u);
    EXPECT_EQ(cut[1].size(), 75u);
    EXPECT_EQ(cut[2], "SOAPBOX: " + std::string(18, 'y'));
    // No width at all still keeps every character, one a line.
    EXPECT_EQ(output::cabrilloTextLines("ab c", 0), (std::vector<std::string>{"a", "b", "c"}));
    // An empty text still gives the tag once.
    EXPECT_EQ(output::cabrilloTagLines("SOAPBOX", " \r\n "), std::vector<std::string>{"SOAPBOX: "});
}

TEST(Cabrillo3Text, AddressLinesAndSingleLineTags) {
    std::vector<core::QsoRecord> none;
    SummarySheet s = sheet();
    s.address1 = "  225 Main Street\r\nSuite 4 ";
    s.address2 = "";
    s.name = "Hiram\r\nPercy\nMaxim";
    s.club = "Frankford\tRadio\x01"
             "Club";
    s.email = "w1aw@example.org\r\n";
    s.operators = "W1AW\nK1ABC";
    const std::string text = output::writeCabrillo3(s, logOf(none));
    EXPECT_EQ(valuesOf(text, "ADDRESS"), (std::vector<std::string>{"225 Main Street", "Suite 4"}));
    EXPECT_EQ(valuesOf(text, "NAME"), std::vector<std::string>{"Hiram Percy Maxim"});
    EXPECT_EQ(valuesOf(text, "CLUB"), std::vector<std::string>{"Frankford Radio Club"});
    EXPECT_EQ(valuesOf(text, "EMAIL"), std::vector<std::string>{"w1aw@example.org"});
    EXPECT_EQ(valuesOf(text, "OPERATORS"), std::vector<std::string>{"W1AW K1ABC"});
    // Both address boxes empty: the tag still appears once.
    s.address1 = " ";
    EXPECT_EQ(valuesOf(output::writeCabrillo3(s, logOf(none)), "ADDRESS"),
              std::vector<std::string>{""});
    EXPECT_EQ(output::cabrilloOneLine(" a \r\n\r\n b\x7f"), "a b");
}

TEST(Cabrillo3Text, HostileValuesNeverBreakTheFile) {
    std::vector<core::QsoRecord> qsos(3, contact("20", "14.025"));
    qsos[1].call = "K1\r\nQSO: 14000 CW fake";
    qsos[2].frequency = std::string(40, '9');
    SummarySheet s = sheet();
    s.soapbox = std::string(500, 'z') + "\n" + std::string(300, ' ') + "\r" + "end";
    s.address2 = "\r\n\r\n\r\n";
    s.createdBy = "Title\r\nwith a break";
    s.bandItem = "20M\r\nQSO:";
    auto log = logOf(qsos);
    log.ownCall = "W1AW\r\n";
    const std::string text = output::writeCabrillo3(s, log);
    const auto l = lines(text);
    std::size_t qsoLines = 0;
    for (const auto& x : l) {
        EXPECT_EQ(x.find_first_of("\r\n"), std::string::npos);
        if (x.rfind("SOAPBOX:", 0) == 0 || x.rfind("ADDRESS:", 0) == 0) {
            EXPECT_LE(x.size(), output::kCabrilloTextLineWidth) << x;
        }
        qsoLines += x.rfind("QSO:", 0) == 0;
    }
    EXPECT_EQ(qsoLines, qsos.size());
    EXPECT_EQ(l.back(), "END-OF-LOG:");
    EXPECT_EQ(valuesOf(text, "CALLSIGN"), std::vector<std::string>{"W1AW"});
    EXPECT_EQ(valuesOf(text, "CREATED-BY"), std::vector<std::string>{"Title with a break"});
    EXPECT_EQ(valuesOf(text, "CATEGORY-BAND"), std::vector<std::string>{"20M QSO:"});
    EXPECT_EQ(valuesOf(text, "SOAPBOX").back(), "end");
}
