// The rules of the fldigi link that need no fldigi: settings, messages, log
// fields, one message at a time, following the receive pane, clicked words.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/settings_store.h"
#include "link/fldigi_rules.h"

using namespace wexon;
using namespace wexon::link;

namespace {

FldigiMessageValues sampleValues() {
    return FldigiMessageValues{"W1AW", " dl1abc ", "  12", ""};
}

std::vector<std::string> methodsOf(const std::vector<FldigiCall>& calls) {
    std::vector<std::string> out;
    for (const FldigiCall& c : calls) {
        out.push_back(c.method);
    }
    return out;
}

} // namespace

TEST(FldigiSettings, DefaultsSaveAndLoadBack) {
    core::MemorySettingsStore store;
    const FldigiSettings fresh = FldigiSettings::load(store);
    EXPECT_EQ(fresh.program, DigitalProgram::Vemo);
    EXPECT_EQ(fresh.host, "127.0.0.1");
    EXPECT_EQ(fresh.port, 7362);
    EXPECT_FALSE(fresh.rigSharedThroughFldigi);

    FldigiSettings changed = fresh;
    changed.program = DigitalProgram::Fldigi;
    changed.host = "shack-pc.local";
    changed.port = 7400;
    changed.rigSharedThroughFldigi = true;
    changed.messages[0] = "CQ %";
    changed.save(store);
    const FldigiSettings back = FldigiSettings::load(store);
    EXPECT_EQ(back.program, DigitalProgram::Fldigi);
    EXPECT_EQ(back.host, "shack-pc.local");
    EXPECT_EQ(back.port, 7400);
    EXPECT_TRUE(back.rigSharedThroughFldigi);
    EXPECT_EQ(back.messages[0], "CQ %");
    EXPECT_EQ(store.read(kDigitalProgramKey, ""), "fldigi");
}

TEST(FldigiSettings, DamagedValuesFallBackToTheDefaults) {
    core::MemorySettingsStore store;
    const char* badPorts[] = {"0", "65536", "-1", "72x", "", "99999999999"};
    for (const char* port : badPorts) {
        store.write(kFldigiPortKey, port);
        EXPECT_EQ(FldigiSettings::load(store).port, kFldigiDefaultPort) << port;
    }
    const char* badHosts[] = {"", "host/path", "a b", "evil?x=1", "h@x"};
    for (const char* host : badHosts) {
        store.write(kFldigiHostKey, host);
        EXPECT_EQ(FldigiSettings::load(store).host, kFldigiDefaultHost) << host;
    }
    store.write(kFldigiHostKey, "::1");
    EXPECT_EQ(FldigiSettings::load(store).host, "::1");
    EXPECT_FALSE(isAcceptableHost(std::string(254, 'a')));
}

TEST(FldigiMessages, WildcardsAreFilledInOnePass) {
    EXPECT_EQ(expandFldigiMessage("$ * # % $", sampleValues()), "dl1abc 599 12 W1AW dl1abc");
    // A call holding a wildcard character is not expanded again.
    FldigiMessageValues v = sampleValues();
    v.call = "#$";
    EXPECT_EQ(expandFldigiMessage("$", v), "#$");
    v.reportSent = "579";
    EXPECT_EQ(expandFldigiMessage("*", v), "579");
}

TEST(FldigiMessages, FunctionKeysPickTheirSlotAndEndWithReturnToReceive) {
    FldigiSettings s;
    s.messages[0] = "CQ %";
    s.messages[9] = "F10 text";
    s.messages[10] = "F11 text";
    EXPECT_EQ(fldigiTransmitText(s, 112, sampleValues()), "\nCQ W1AW ^r");
    EXPECT_EQ(fldigiTransmitText(s, 124, sampleValues()), "\nF10 text ^r"); // F10 comes as 124
    EXPECT_EQ(fldigiTransmitText(s, 122, sampleValues()), "\nF11 text ^r");
    EXPECT_FALSE(fldigiTransmitText(s, 121, sampleValues()));
    EXPECT_FALSE(fldigiTransmitText(s, 123, sampleValues())); // F12 is keyboard mode
    EXPECT_FALSE(fldigiTransmitText(s, 65, sampleValues()));
    s.messages[1] = "   ";
    EXPECT_FALSE(fldigiTransmitText(s, 113, sampleValues())); // nothing to send
}

TEST(FldigiMessages, TextCannotSmuggleFldigiControlsOrLineBreaks) {
    FldigiSettings s;
    s.messages[0] = "$ TU";
    FldigiMessageValues v = sampleValues();
    v.call = "X^t\r\nY";
    // "^t" would key fldigi's transmitter by itself.
    EXPECT_EQ(fldigiTransmitText(s, 112, v), "\nXtY TU ^r");
    v.call = "F\xe9X"; // Latin-1 in, UTF-8 out
    EXPECT_EQ(fldigiTransmitText(s, 112, v), "\nF\xc3\xa9X TU ^r");
}

TEST(FldigiLogFields, EntryBoxesGoToTheirFields) {
    EXPECT_EQ(methodsOf(fldigiLogFieldCalls("txtBUrCall", "DL1ABC")),
              std::vector<std::string>{"log.set_call"});
    EXPECT_EQ(methodsOf(fldigiLogFieldCalls("txtBField1", "599")),
              std::vector<std::string>{"log.set_rst_out"});
    EXPECT_EQ(methodsOf(fldigiLogFieldCalls("txtRSTR", "579")),
              std::vector<std::string>{"log.set_rst_in"});
    const auto serial = fldigiLogFieldCalls("txtSec", " 0042 ");
    EXPECT_EQ(methodsOf(serial),
              (std::vector<std::string>{"log.set_exchange", "log.set_serial_number"}));
    EXPECT_EQ(serial[1].params.at(0).text, "0042");
    EXPECT_EQ(methodsOf(fldigiLogFieldCalls("txtSec", "NY")),
              std::vector<std::string>{"log.set_exchange"});
    // A cleared box clears the field.
    EXPECT_EQ(methodsOf(fldigiLogFieldCalls("txtSec", "")),
              (std::vector<std::string>{"log.set_exchange", "log.set_serial_number"}));
    EXPECT_TRUE(fldigiLogFieldCalls("txtBField3", "012").empty());
    EXPECT_TRUE(fldigiLogFieldCalls("txtBField8", "112").empty());
    EXPECT_EQ(fldigiLogFieldCalls("txtBUrCall", "\xc4X")[0].params[0].text, "\xc3\x84X");
}

TEST(FldigiState, TrxStateAndFrequency) {
    EXPECT_EQ(parseTrxState("RX"), TrxState::Receive);
    EXPECT_EQ(parseTrxState(" tx "), TrxState::Transmit);
    EXPECT_EQ(parseTrxState("TUNE"), TrxState::Tune);
    EXPECT_EQ(parseTrxState("?"), TrxState::Unknown);
    ASSERT_TRUE(fldigiFrequencyMhz(14070000.0));
    EXPECT_FLOAT_EQ(*fldigiFrequencyMhz(14070000.0), 14.07F);
    EXPECT_FALSE(fldigiFrequencyMhz(0.0));
    EXPECT_FALSE(fldigiFrequencyMhz(-5.0));
    EXPECT_FALSE(fldigiFrequencyMhz(1e300));
    EXPECT_FALSE(fldigiFrequencyMhz(std::numeric_limits<double>::infinity()));
}

TEST(FldigiTransmitQueue, OneMessageAtATime) {
    FldigiTransmitQueue q;
    EXPECT_EQ(methodsOf(q.send("A ^r")), (std::vector<std::string>{"text.add_tx", "main.tx"}));
    EXPECT_TRUE(q.send("B ^r").empty()); // waits behind A
    EXPECT_EQ(q.waiting(), 1U);
    EXPECT_TRUE(q.stateSeen(TrxState::Receive).empty()); // read before fldigi switched over
    EXPECT_TRUE(q.stateSeen(TrxState::Transmit).empty());
    const auto next = q.stateSeen(TrxState::Receive);
    ASSERT_EQ(methodsOf(next), (std::vector<std::string>{"text.add_tx", "main.tx"}));
    EXPECT_EQ(next[0].params.at(0).text, "B ^r");
    EXPECT_EQ(q.waiting(), 0U);
}

TEST(FldigiTransmitQueue, AMessageThatNeverStartsDoesNotBlockTheNext) {
    FldigiTransmitQueue q;
    q.send("A");
    q.send("B");
    EXPECT_TRUE(q.stateSeen(TrxState::Receive).empty());
    EXPECT_TRUE(q.stateSeen(TrxState::Unknown).empty());
    EXPECT_TRUE(q.stateSeen(TrxState::Receive).empty());
    EXPECT_EQ(q.stateSeen(TrxState::Receive).size(), 2U);
}

TEST(FldigiTransmitQueue, WaitingMessagesAreBoundedAndResetEmptiesThem) {
    FldigiTransmitQueue q;
    q.send("first");
    for (std::size_t i = 0; i < FldigiTransmitQueue::kMaxWaiting + 3; ++i) {
        q.send("more");
    }
    EXPECT_EQ(q.waiting(), FldigiTransmitQueue::kMaxWaiting);
    EXPECT_EQ(q.dropped(), 3U);
    q.reset();
    EXPECT_EQ(q.waiting(), 0U);
    EXPECT_FALSE(q.transmitting());
    EXPECT_EQ(q.send("again").size(), 2U);
}

TEST(FldigiReceiveText, FollowsThePaneByPosition) {
    FldigiReceiveText rx;
    // At the start only the last part of a long pane is read.
    auto range = rx.lengthSeen(5000);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, 4000);
    EXPECT_EQ(range->length, 1000);
    EXPECT_EQ(rx.textRead(*range, std::string(1000, 'x')), std::string(1000, 'x'));
    EXPECT_FALSE(rx.lengthSeen(5000)); // nothing new
    range = rx.lengthSeen(5006);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, 5000);
    EXPECT_EQ(rx.textRead(*range, "CQ\r\n\x07K"), "CQ\nK");
    // Cleared: read from the start again.
    range = rx.lengthSeen(3);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, 0);
    EXPECT_EQ(range->length, 3);
    EXPECT_EQ(rx.textRead(*range, "abc"), "abc");
}

TEST(FldigiReceiveText, LongGrowthIsReadInBoundedPiecesAndStaleAnswersAreDropped) {
    FldigiReceiveText rx;
    auto range = rx.lengthSeen(0);
    EXPECT_FALSE(range);
    range = rx.lengthSeen(100000);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->length, FldigiReceiveText::kMaxRead);
    const FldigiReceiveText::Range stale{12345, 10};
    EXPECT_EQ(rx.textRead(stale, "old"), "");
    EXPECT_EQ(rx.position(), 0);
    // More than asked for is not believed.
    EXPECT_EQ(rx.textRead(FldigiReceiveText::Range{0, 2}, "abcdef"), "ab");
    EXPECT_EQ(rx.position(), 2);
    EXPECT_FALSE(rx.lengthSeen(-1));
}

TEST(FldigiReceiveText, AUtf8SequenceSplitBetweenReadsIsJoined) {
    FldigiReceiveText rx;
    rx.lengthSeen(0);
    auto range = rx.lengthSeen(2);
    EXPECT_EQ(rx.textRead(*range, "a\xc3"), "a");
    range = rx.lengthSeen(3);
    EXPECT_EQ(rx.textRead(*range, "\xa9"), "\xc3\xa9");
}

TEST(FldigiClickedWord, CallsAndSerialsAreTakenFromTheLine) {
    const std::string line = "de dl1abc/p 599 0042, k";
    EXPECT_EQ(clickedWordAt(line, 5).text, "DL1ABC/P");
    EXPECT_EQ(clickedWordAt(line, 5).target, ClickedWord::Target::Call);
    EXPECT_EQ(clickedWordAt(line, 16).text, "0042");
    EXPECT_EQ(clickedWordAt(line, 16).target, ClickedWord::Target::Exchange);
    EXPECT_EQ(clickedWordAt(line, 2).target, ClickedWord::Target::None); // a blank
    EXPECT_EQ(clickedWordAt(line, 99).target, ClickedWord::Target::None);
    EXPECT_EQ(clickedWordAt("//", 0).target, ClickedWord::Target::None);
    EXPECT_EQ(clickedWordAt(std::string(40, 'A'), 3).text.size(), 20U);
    EXPECT_EQ(clickedWordAt("1234567890", 3).text, "123456");
    EXPECT_EQ(clickedWordAt("12/3", 0).target, ClickedWord::Target::None);
}
