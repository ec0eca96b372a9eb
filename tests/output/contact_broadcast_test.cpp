#include <gtest/gtest.h>

#include <string>

#include "output/contact_broadcast.h"

namespace wexon::output {
namespace {

// The text between <tag> and </tag>, or "<missing>".
std::string broadcastTag(const std::string& xml, const std::string& tag) {
    const std::string open = "<" + tag + ">";
    const auto start = xml.find(open);
    if (start == std::string::npos) {
        return "<missing>";
    }
    const auto end = xml.find("</" + tag + ">", start);
    if (end == std::string::npos) {
        return "<missing>";
    }
    return xml.substr(start + open.size(), end - start - open.size());
}

core::QsoRecord broadcastSample() {
    core::QsoRecord r;
    r.call = "DL1ABC";
    r.rstReceived = "599";
    r.serialReceived = "042";
    r.rstSent = "599";
    r.country = "Germany";
    r.qsoDate = "2026/05/30";
    r.qsoTime = "12:34:56";
    r.band = "20";
    r.points = 1;
    r.prefix = "DL1";
    r.serialSent = "007";
    r.frequency = "14.025";
    return r;
}

BroadcastStation broadcastStation() {
    BroadcastStation s;
    s.contestMode = "CW";
    s.myCall = "K1ABC";
    s.operatorCall = "N2XYZ";
    s.stationName = "RUN-PC";
    s.rigName = "Kenwood";
    return s;
}

TEST(ContactBroadcastText, EscapesMarkupAndConvertsLatin1ToUtf8) {
    EXPECT_EQ(xmlEscape("A&B<C>\"D'"), "A&amp;B&lt;C&gt;&quot;D&apos;");
    EXPECT_EQ(xmlEscape("\xE9"), "\xC3\xA9");                   // e acute
    EXPECT_EQ(xmlEscape(std::string("a\x01\x00z", 4)), "a  z"); // no control bytes survive
    EXPECT_EQ(xmlEscape("tab\tok"), "tab\tok");
}

TEST(ContactBroadcastText, BandModeAndFrequencyUnits) {
    EXPECT_EQ(broadcastBand("160"), "1.8");
    EXPECT_EQ(broadcastBand("20"), "14");
    EXPECT_EQ(broadcastBand("10"), "28");
    EXPECT_EQ(broadcastMode("PH"), "SSB");
    EXPECT_EQ(broadcastMode("ry"), "RTTY");
    EXPECT_EQ(broadcastContestName("CW"), "CQ-WPX-CW");
    // Tens of Hz: 14.025 MHz is 1402500.
    EXPECT_EQ(frequencyTensOfHz("14.025", "20"), 1402500);
    EXPECT_EQ(frequencyTensOfHz("  3.5231 ", "80"), 352310);
    // No frequency logged: the band's low edge.
    EXPECT_EQ(frequencyTensOfHz("", "40"), 700000);
    EXPECT_EQ(frequencyTensOfHz("junk", "160"), 180000);
    EXPECT_EQ(frequencyTensOfHz("", "6"), 600000);
    EXPECT_EQ(frequencyTensOfHz("", ""), 0);
    EXPECT_EQ(frequencyTensOfHz("nan", ""), 0);
    EXPECT_EQ(broadcastTimestamp("2026/05/30", "12:34:56"), "2026-05-30 12:34:56");
}

TEST(ContactBroadcastMessages, ContactInfoCarriesTheContactsFields) {
    const core::QsoRecord r = broadcastSample();
    const std::string xml = contactInfoXml(broadcastStation(), {&r, "abc123", true});
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<contactinfo>", 0), 0u);
    EXPECT_EQ(broadcastTag(xml, "contestname"), "CQ-WPX-CW");
    EXPECT_EQ(broadcastTag(xml, "timestamp"), "2026-05-30 12:34:56");
    EXPECT_EQ(broadcastTag(xml, "mycall"), "K1ABC");
    EXPECT_EQ(broadcastTag(xml, "operator"), "N2XYZ");
    EXPECT_EQ(broadcastTag(xml, "band"), "14");
    EXPECT_EQ(broadcastTag(xml, "rxfreq"), "1402500");
    EXPECT_EQ(broadcastTag(xml, "txfreq"), "1402500");
    EXPECT_EQ(broadcastTag(xml, "mode"), "CW");
    EXPECT_EQ(broadcastTag(xml, "call"), "DL1ABC");
    EXPECT_EQ(broadcastTag(xml, "snt"), "599");
    EXPECT_EQ(broadcastTag(xml, "sntnr"), "7");
    EXPECT_EQ(broadcastTag(xml, "rcv"), "599");
    EXPECT_EQ(broadcastTag(xml, "rcvnr"), "42");
    EXPECT_EQ(broadcastTag(xml, "wpxprefix"), "DL1");
    EXPECT_EQ(broadcastTag(xml, "points"), "1");
    EXPECT_EQ(broadcastTag(xml, "ismultiplier1"), "1");
    EXPECT_EQ(broadcastTag(xml, "RadioInterfaced"), "1");
    EXPECT_EQ(broadcastTag(xml, "StationName"), "RUN-PC");
    EXPECT_EQ(broadcastTag(xml, "ID"), "abc123");
    EXPECT_NE(xml.find("</contactinfo>\n"), std::string::npos);
}

TEST(ContactBroadcastMessages, ReplaceAndDeleteNameTheContactById) {
    core::QsoRecord r = broadcastSample();
    r.call = "DL1<X>";
    const std::string replace = contactReplaceXml(broadcastStation(), {&r, "id-1", false});
    EXPECT_NE(replace.find("<contactreplace>"), std::string::npos);
    EXPECT_EQ(broadcastTag(replace, "call"), "DL1&lt;X&gt;");
    EXPECT_EQ(broadcastTag(replace, "ID"), "id-1");
    EXPECT_EQ(broadcastTag(replace, "ismultiplier1"), "0");

    const std::string del = contactDeleteXml(broadcastStation(), {&r, "id-1", false});
    EXPECT_NE(del.find("<contactdelete>"), std::string::npos);
    EXPECT_EQ(broadcastTag(del, "ID"), "id-1");
    EXPECT_EQ(broadcastTag(del, "timestamp"), "2026-05-30 12:34:56");
    EXPECT_EQ(broadcastTag(del, "StationName"), "RUN-PC");
}

TEST(ContactBroadcastMessages, OperatorFallsBackToTheStationCallAndNoRigIsSaid) {
    BroadcastStation s = broadcastStation();
    s.operatorCall = "  ";
    s.rigName = "None";
    const core::QsoRecord r = broadcastSample();
    const std::string xml = contactInfoXml(s, {&r, "x", false});
    EXPECT_EQ(broadcastTag(xml, "operator"), "K1ABC");
    EXPECT_EQ(broadcastTag(xml, "RadioInterfaced"), "0");
    const std::string radio = radioInfoXml(s, {1402500, "CW", false});
    EXPECT_EQ(broadcastTag(radio, "OpCall"), "K1ABC");
    EXPECT_EQ(broadcastTag(radio, "RadioName"), "");
    EXPECT_EQ(broadcastTag(radio, "IsConnected"), "False");
}

TEST(ContactBroadcastMessages, RadioInfoGivesFrequencyInTensOfHz) {
    const std::string xml = radioInfoXml(broadcastStation(), {2120000, "CW", true});
    EXPECT_NE(xml.find("<RadioInfo>"), std::string::npos);
    EXPECT_EQ(broadcastTag(xml, "Freq"), "2120000");
    EXPECT_EQ(broadcastTag(xml, "TXFreq"), "2120000");
    EXPECT_EQ(broadcastTag(xml, "Mode"), "CW");
    EXPECT_EQ(broadcastTag(xml, "RadioNr"), "1");
    EXPECT_EQ(broadcastTag(xml, "RadioName"), "Kenwood");
    EXPECT_EQ(broadcastTag(xml, "IsConnected"), "True");
}

TEST(ContactBroadcastIds, IdsAreStableAcrossReadsAndFollowEdits) {
    std::vector<core::QsoRecord> log{broadcastSample(), broadcastSample(), broadcastSample()};
    log[1].call = "F5AA";
    log[2].band = "40";
    ContactIds ids;
    ids.reset("K1ABC", log);
    ContactIds again;
    again.reset("k1abc ", log);
    ASSERT_EQ(ids.size(), 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(ids.idOf(n), again.idOf(n));
        EXPECT_EQ(ids.idOf(n).size(), 32u);
    }
    EXPECT_NE(ids.idOf(1), ids.idOf(2));
    EXPECT_NE(ids.idOf(1), ids.idOf(3));

    // Deleting record 2 moves record 3's id down one place.
    const std::string third = ids.idOf(3);
    EXPECT_EQ(ids.removed(2), again.idOf(2));
    EXPECT_EQ(ids.idOf(2), third);
    EXPECT_EQ(ids.idOf(3), "");
    EXPECT_EQ(ids.removed(9), "");
}

TEST(ContactBroadcastIds, ALogReadAgainAfterAnEditKeepsTheEditedContactsId) {
    std::vector<core::QsoRecord> log{broadcastSample(), broadcastSample(), broadcastSample()};
    log[1].call = "F5AA";
    log[2].call = "G4BB";
    ContactIds ids;
    ids.reset("K1ABC", log);
    const std::string editedId = ids.idOf(2);
    const std::string lastId = ids.idOf(3);

    // Record 2 edited, then the log is read again, as the edit window does.
    log[1].call = "F5AB";
    EXPECT_EQ(ids.replaced(2, log[1]), editedId);
    ids.reset("K1ABC", log);
    EXPECT_EQ(ids.idOf(2), editedId);
    // Record 1 deleted and the log read again: the others keep their ids.
    EXPECT_FALSE(ids.removed(1).empty());
    log.erase(log.begin());
    ids.reset("K1ABC", log);
    EXPECT_EQ(ids.idOf(1), editedId);
    EXPECT_EQ(ids.idOf(2), lastId);
    // A contact changed by another program gets an id from its new fields.
    log[1].band = "15";
    ids.reset("K1ABC", log);
    EXPECT_EQ(ids.idOf(1), editedId);
    EXPECT_NE(ids.idOf(2), lastId);
    EXPECT_EQ(ids.idOf(2), contactId("K1ABC", log[1]));
    EXPECT_EQ(ids.replaced(7, log[0]), "");
}

TEST(ContactBroadcastIds, TheSameContactTwiceGetsTwoIds) {
    ContactIds ids;
    const core::QsoRecord r = broadcastSample();
    const std::string first = ids.appended("K1ABC", 1, r);
    const std::string second = ids.appended("K1ABC", 2, r);
    EXPECT_NE(first, second);
    std::vector<core::QsoRecord> log{r, r};
    ContactIds read;
    read.reset("K1ABC", log);
    EXPECT_EQ(read.idOf(1), first);
    EXPECT_EQ(read.idOf(2), second);
}

TEST(ContactBroadcastIds, FirstOfPrefixIgnoresCaseAndEmptyPrefixes) {
    std::vector<core::QsoRecord> log(4, broadcastSample());
    log[1].prefix = "dl1";
    log[2].prefix = "";
    log[3].prefix = "F5";
    EXPECT_TRUE(isFirstOfPrefix(log, 1));
    EXPECT_FALSE(isFirstOfPrefix(log, 2));
    EXPECT_FALSE(isFirstOfPrefix(log, 3));
    EXPECT_TRUE(isFirstOfPrefix(log, 4));
    EXPECT_FALSE(isFirstOfPrefix(log, 0));
    EXPECT_FALSE(isFirstOfPrefix(log, 5));
}

TEST(ContactBroadcastDestinations, ReadsAddressesAndPortsAndNamesTheFirstBadEntry) {
    const auto list = parseBroadcastDestinations(
        " 127.0.0.1:12060, 192.168.1.255:12061;localhost:12060 10.0.0.1:0 host.example:1 "
        "1.2.3:4 256.1.1.1:5 1.2.3.4 1.2.3.4:99999");
    ASSERT_EQ(list.destinations.size(), 2u); // localhost is 127.0.0.1, already there
    EXPECT_EQ(list.destinations[0], (BroadcastDestination{"127.0.0.1", 12060}));
    EXPECT_EQ(list.destinations[1], (BroadcastDestination{"192.168.1.255", 12061}));
    EXPECT_EQ(list.error, "10.0.0.1:0: port not 1-65535");
    EXPECT_EQ(formatBroadcastDestinations(list.destinations),
              "127.0.0.1:12060, 192.168.1.255:12061");

    EXPECT_EQ(parseBroadcastDestinations(kDefaultBroadcastDestinations).destinations.size(), 1u);
    EXPECT_TRUE(parseBroadcastDestinations("").destinations.empty());
    EXPECT_EQ(parseBroadcastDestinations("host.example:1").error,
              "host.example:1: not an IPv4 address");
    std::string many;
    for (int i = 1; i <= 20; ++i) {
        many += "10.0.0." + std::to_string(i) + ":1 ";
    }
    const auto capped = parseBroadcastDestinations(many);
    EXPECT_EQ(capped.destinations.size(), 16u);
    EXPECT_EQ(capped.error, "more than 16 destinations");
}

TEST(ContactBroadcastSettingsStore, DefaultsRoundTripAndDamagedFlags) {
    core::MemorySettingsStore store;
    const BroadcastSettings fresh = BroadcastSettings::load(store);
    EXPECT_FALSE(fresh.enabled);
    EXPECT_EQ(fresh.destinations, "127.0.0.1:12060");
    EXPECT_TRUE(fresh.contacts && fresh.radio && fresh.score);

    BroadcastSettings s;
    s.enabled = true;
    s.destinations = "192.168.1.255:12060";
    s.radio = false;
    s.operatorCall = "N2XYZ";
    s.save(store);
    EXPECT_EQ(BroadcastSettings::load(store), s);

    store.write(BroadcastSettings::kContactsKey, "maybe");
    store.write(BroadcastSettings::kStationNameKey, "PC\r\nTWO");
    const BroadcastSettings damaged = BroadcastSettings::load(store);
    EXPECT_TRUE(damaged.contacts); // an unreadable flag keeps its default
    EXPECT_EQ(damaged.stationName, "PC  TWO");
}

TEST(ContactBroadcastCadence, SendsOnChangeAndAtLeastEveryTenSeconds) {
    RadioInfoCadence cadence;
    const RadioState a{1402500, "CW", true};
    EXPECT_TRUE(cadence.take(0, a));     // first reading
    EXPECT_FALSE(cadence.take(1000, a)); // nothing new
    EXPECT_FALSE(cadence.take(9999, a));
    EXPECT_TRUE(cadence.take(10000, a)); // ten quiet seconds
    RadioState b = a;
    b.frequencyTensOfHz = 1402600;
    EXPECT_TRUE(cadence.take(10500, b)); // a new frequency goes at once
    b.mode = "SSB";
    EXPECT_TRUE(cadence.take(10600, b)); // and a new mode
    EXPECT_FALSE(cadence.take(20599, b));
    EXPECT_TRUE(cadence.take(20600, b));
}

} // namespace
} // namespace wexon::output
