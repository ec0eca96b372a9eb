#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spots/spot_receiver.h"
#include "spots/telnet_line_buffer.h"
#include "spots/terminal_text.h"
#include "spots/tnc_line_splitter.h"

namespace wexon::spots {
namespace {

const std::string kSpot =
    "DX de W1XX:      14025.0  JA1XYZ       CQ WPX                         1234Z";

TEST(TerminalText, TrimKeepsTheLastNineThousand) {
    TerminalText t;
    t.setText(std::string(10000, 'a'));
    t.trim();
    EXPECT_EQ(t.text().size(), 10000u);
    t.append("b");
    t.trim();
    EXPECT_EQ(t.text().size(), 9000u);
    EXPECT_EQ(t.text().back(), 'b');
}

TEST(TerminalText, RepeatWindowIsTheLastEightHundred) {
    TerminalText t;
    EXPECT_FALSE(t.isRecent("abc"));
    t.append("abc");
    t.append(std::string(797, '.'));
    EXPECT_TRUE(t.isRecent("ABC")); // starts exactly 800 from the end
    t.append(".");
    EXPECT_FALSE(t.isRecent("abc"));
}

TEST(TncLineSplitter, HoldsAPartialLineUntilItsLineFeed) {
    TncLineSplitter s;
    EXPECT_TRUE(s.feed("first par").empty());
    auto lines = s.feed("t\r\nsecond");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "first part\r\n");
    EXPECT_TRUE(s.feed(" half").empty());
    lines = s.feed("\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "second half\r\n");
}

TEST(TncLineSplitter, ALineEndsAtCrLfOrCrLfEvenWhenThePairIsSplit) {
    TncLineSplitter s;
    auto lines = s.feed("one\rtwo\nthree\r\nfour\r");
    EXPECT_EQ(lines, (std::vector<std::string>{"one\r\n", "two\r\n", "three\r\n", "four\r\n"}));
    // The line feed of a CR LF cut between two reads ends no second line.
    lines = s.feed("\nfive\r");
    EXPECT_EQ(lines, (std::vector<std::string>{"five\r\n"}));
    lines = s.feed("six\r\r\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"six\r\n", "\r\n"}));
    EXPECT_TRUE(s.held().empty());
}

TEST(TncLineSplitter, TextBeforeTheFirstLineFeedAfterALostStartIsDropped) {
    TncLineSplitter s;
    s.feed(std::string(TncLineSplitter::kMaxHeld + 10, 'x')); // a line with no end in sight
    EXPECT_LE(s.held().size(), TncLineSplitter::kMaxHeld);
    auto lines = s.feed("yyy\rnext\n");
    ASSERT_EQ(lines.size(), 1u); // the rest of the over-long line went with it
    EXPECT_EQ(lines[0], "next\r\n");
}

TEST(TncLineSplitter, MegabyteWithoutLineEndsStaysBounded) {
    TncLineSplitter s;
    for (int i = 0; i < 256; ++i) {
        s.feed(std::string(4096, static_cast<char>(i)));
        ASSERT_LE(s.held().size(), TncLineSplitter::kMaxHeld);
    }
}

TEST(TelnetLineBuffer, SplitLineIsFoundOnce) {
    TelnetLineBuffer b;
    EXPECT_TRUE(b.feed(kSpot.substr(0, 30)).empty());
    auto lines = b.feed(kSpot.substr(30) + "\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], kSpot);
    EXPECT_TRUE(b.feed("").empty());
}

TEST(TelnetLineBuffer, ALineEndsAtCrLfOrCrLfEvenWhenThePairIsSplit) {
    TelnetLineBuffer b;
    auto lines = b.feed(kSpot + "\r" + kSpot + "\n" + kSpot + "\r");
    EXPECT_EQ(lines, (std::vector<std::string>{kSpot, kSpot, kSpot}));
    lines = b.feed("\nnext\r\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"next"}));
    EXPECT_TRUE(b.partial().empty());
}

TEST(TelnetLineBuffer, OverLongLineIsDroppedToItsEnd) {
    TelnetLineBuffer b;
    b.feed(std::string(3000, 'z'));
    EXPECT_TRUE(b.partial().empty());
    auto lines = b.feed("zzz\r\nok\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "ok");
    // A bare CR ends an over-long line too.
    b.feed(std::string(3000, 'z'));
    lines = b.feed("zzz\rok\r");
    EXPECT_EQ(lines, (std::vector<std::string>{"ok"}));
}

class ReceiverTest : public ::testing::Test {
  protected:
    TerminalText terminal;
    SpotReceiver receiver{terminal};
};

TEST_F(ReceiverTest, TncRepeatWithinEightHundredIsIgnored) {
    Received r = receiver.receiveTnc("\n" + kSpot + "\r\n" + kSpot + "\r\n");
    ASSERT_EQ(r.spots.size(), 1u);
    EXPECT_EQ(r.spots[0].call, "JA1XYZ");
    // after 800 more characters the same line counts again
    receiver.receiveTnc(std::string(400, 'a') + "\r\n" + std::string(400, 'b') + "\r\n");
    r = receiver.receiveTnc(kSpot + "\r\n");
    EXPECT_EQ(r.spots.size(), 1u);
}

TEST_F(ReceiverTest, SpotLinesEndedByABareCrAreTakenFromEveryPath) {
    const std::string other =
        "DX de W2YY:      21025.0  DL1ABC       CQ WPX                         1235Z";
    Received tnc = receiver.receiveTnc(kSpot + "\r" + other + "\r");
    ASSERT_EQ(tnc.spots.size(), 2u);
    EXPECT_EQ(tnc.spots[0].call, "JA1XYZ");
    EXPECT_EQ(tnc.spots[1].call, "DL1ABC");

    TerminalText telnetTerminal;
    SpotReceiver telnet(telnetTerminal);
    Received first = telnet.receiveTelnet(kSpot + "\r" + other.substr(0, 30));
    ASSERT_EQ(first.spots.size(), 1u);
    EXPECT_EQ(first.spots[0].call, "JA1XYZ");
    Received second = telnet.receiveTelnet(other.substr(30) + "\r");
    ASSERT_EQ(second.spots.size(), 1u);
    EXPECT_EQ(second.spots[0].call, "DL1ABC");
}

TEST_F(ReceiverTest, TncListDxOnlyHidesOtherLines) {
    receiver.setListDxOnly(true);
    receiver.receiveTnc("\nhello there\r\n");
    EXPECT_EQ(terminal.text(), "");
    receiver.setListDxOnly(false);
    receiver.receiveTnc("hello again\r\n");
    EXPECT_EQ(terminal.text(), "hello again\r\n");
}

TEST_F(ReceiverTest, TelnetRepeatsAreStoredTwiceAndChunkShownWhole) {
    const std::string chunk = kSpot + "\r\n" + kSpot + "\r\n";
    Received r = receiver.receiveTelnet(chunk);
    EXPECT_EQ(r.spots.size(), 2u);
    EXPECT_EQ(terminal.text(), chunk);
}

TEST_F(ReceiverTest, TelnetSpotSplitOverTwoReadsIsPostedOnce) {
    Received a = receiver.receiveTelnet(kSpot.substr(0, 20));
    Received b = receiver.receiveTelnet(kSpot.substr(20) + "\r\n");
    EXPECT_EQ(a.spots.size() + b.spots.size(), 1u);
    EXPECT_EQ(terminal.text(), kSpot + "\r\n");
}

TEST_F(ReceiverTest, TelnetSpotAfterAPromptWithoutLineEndIsFound) {
    receiver.receiveTelnet("K1ABC de TEST >");
    Received r = receiver.receiveTelnet(kSpot + "\r\n");
    ASSERT_EQ(r.spots.size(), 1u);
    EXPECT_EQ(r.spots[0].call, "JA1XYZ");
}

TEST_F(ReceiverTest, TelnetListDxOnlyShowsOnlyChunksBeginningWithDx) {
    receiver.setListDxOnly(true);
    receiver.receiveTelnet("login: ");
    EXPECT_EQ(terminal.text(), "");
    receiver.receiveTelnet(kSpot + "\r\n");
    EXPECT_EQ(terminal.text(), kSpot + "\r\n");
}

TEST_F(ReceiverTest, TelnetMegabyteChunkLeavesTheTerminalBounded) {
    Received r = receiver.receiveTelnet(std::string(1 << 20, 'x'));
    EXPECT_TRUE(r.spots.empty());
    EXPECT_LE(terminal.text().size(), TerminalText::kKeep);
}

TEST_F(ReceiverTest, AgwMonitorFrameDropsItsHeaderLine) {
    AgwReceived f{'U', "W1XX", " 1:Fm W1XX To CQ <UI pid=F0 Len=75 >[12:00:00]\r" + kSpot + "\r"};
    Received r = receiver.receiveAgw(f);
    ASSERT_EQ(r.spots.size(), 1u);
    EXPECT_EQ(r.spots[0].call, "JA1XYZ");
    EXPECT_EQ(terminal.text(), kSpot + "\r\n");
    // the same frame again is a repeat
    EXPECT_TRUE(receiver.receiveAgw(f).spots.empty());
}

TEST_F(ReceiverTest, AgwOtherMonitorTextIsShownWithKindAndCall) {
    Received r = receiver.receiveAgw({'U', "N0CALL", " 1:Fm N0CALL To BEACON\rhello\r"});
    EXPECT_TRUE(r.spots.empty());
    EXPECT_EQ(terminal.text(), "UN0CALL  1:Fm N0CALL To BEACON\r\nhello\r\n");
}

TEST_F(ReceiverTest, AgwConnectDataAndDisconnect) {
    Received r = receiver.receiveAgw({'c', "DX0CL", "*** CONNECTED With DX0CL\r"});
    EXPECT_EQ(r.link, Received::Link::Connected);
    EXPECT_EQ(receiver.agwConnectedCall(), "DX0CL");
    terminal.setText("");
    receiver.receiveAgw({'D', "DX0CL", "Welcome\r"});
    EXPECT_EQ(terminal.text(), "Welcome\r\n");
    receiver.receiveAgw({'D', "OTHER", "Not for us\r"});
    EXPECT_EQ(terminal.text(), "Welcome\r\n");
    r = receiver.receiveAgw({'d', "dx0cl", ""});
    EXPECT_EQ(r.link, Received::Link::Disconnected);
    EXPECT_EQ(receiver.agwConnectedCall(), "");
    EXPECT_NE(terminal.text().find("** Disconnected from DX0CL **"), std::string::npos);
}

TEST_F(ReceiverTest, AgwDoubleLineEndIsShortened) {
    receiver.setAgwConnectedCall("DX0CL");
    receiver.receiveAgw({'D', "DX0CL", "abc\r\r"});
    EXPECT_EQ(terminal.text(), "abc\r\n");
}

TEST_F(ReceiverTest, BinaryBytesPassWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk.push_back(static_cast<char>(i * 37));
    }
    receiver.receiveTnc(junk);
    receiver.receiveTelnet(junk);
    receiver.receiveAgw({'U', junk.substr(0, 10), junk});
    EXPECT_LE(terminal.text().size(), TerminalText::kTrimAbove);
}

TEST(ExpandLineEnds, EachCrAndLfBecomesCrLf) {
    EXPECT_EQ(expandLineEnds("a\rb\nc\r\n"), "a\r\nb\r\nc\r\n\r\n");
}

} // namespace
} // namespace wexon::spots
