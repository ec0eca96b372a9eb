#include "keying/cw_settings.h"

#include <gtest/gtest.h>

#include "keying/winkey_settings.h"

namespace wexon::keying {
namespace {

CwSettings sample() {
    CwSettings s;
    for (int i = 0; i < CwSettings::kMessageCount; ++i) {
        s.messages[static_cast<std::size_t>(i)] = "MSG " + std::to_string(i + 1);
    }
    s.messages[0] = "CQ TEST DE W1AW W1AW TEST";
    s.messages[1] = "$ *#";
    s.portText = "2";
    s.speedText = "28";
    s.spaceText = "-2";
    s.interface = 2;
    s.addressText = "&H278";
    s.displayText = true;
    s.repeatText = "2.5";
    s.cwdaemonHost = "192.168.1.20";
    s.cwdaemonPortText = "6790";
    s.cwdaemonPtt = true;
    s.cwdaemonPttLeadText = "80";
    s.cwdaemonToneText = "650";
    return s;
}

bool same(const CwSettings& a, const CwSettings& b) {
    return a.messages == b.messages && a.portText == b.portText && a.speedText == b.speedText &&
           a.spaceText == b.spaceText && a.interface == b.interface &&
           a.addressText == b.addressText && a.displayText == b.displayText &&
           a.repeatText == b.repeatText && a.cwdaemonHost == b.cwdaemonHost &&
           a.cwdaemonPortText == b.cwdaemonPortText && a.cwdaemonPtt == b.cwdaemonPtt &&
           a.cwdaemonPttLeadText == b.cwdaemonPttLeadText &&
           a.cwdaemonToneText == b.cwdaemonToneText;
}

TEST(CwFile, WritesTheLinesInOrder) {
    std::string text = writeCwSettings(sample());
    EXPECT_EQ(text.substr(0, 29), "\"CQ TEST DE W1AW W1AW TEST\"\r\n");
    std::size_t lines = 0;
    for (std::size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos; p += 2) {
        ++lines;
    }
    EXPECT_EQ(lines, 23u);
    EXPECT_NE(
        text.find("\"MSG 9\"\r\n\"2\"\r\n\"28\"\r\n\"MSG 10\"\r\n\"MSG 11\"\r\n\"-2\"\r\n2\r\n"
                  "\"&H278\"\r\n1\r\n\"2.5\"\r\n\"192.168.1.20\"\r\n\"6790\"\r\n1\r\n"
                  "\"80\"\r\n\"650\"\r\n"),
        std::string::npos);
}

TEST(CwFile, RoundTrip) {
    CwSettings read;
    EXPECT_EQ(readCwSettings(writeCwSettings(sample()), read), 23);
    EXPECT_TRUE(same(read, sample()));
}

// A file written before the cwdaemon keyer existed ends after line 18: it
// loads whole and the cwdaemon values keep their defaults.
TEST(CwFile, EighteenLineFileLoadsWithCwdaemonDefaults) {
    std::string text = writeCwSettings(sample());
    std::size_t end = 0;
    for (int i = 0; i < 18; ++i) {
        end = text.find("\r\n", end) + 2;
    }
    CwSettings read;
    EXPECT_EQ(readCwSettings(text.substr(0, end), read), 18);
    EXPECT_EQ(read.repeatText, "2.5");
    EXPECT_EQ(read.cwdaemonHost, "127.0.0.1");
    EXPECT_EQ(read.cwdaemonPortText, "6789");
    EXPECT_FALSE(read.cwdaemonPtt);
    EXPECT_EQ(read.cwdaemonToneText, "800");
}

TEST(CwFile, CwdaemonInterfaceIsKept) {
    CwSettings s = sample();
    s.interface = kInterfaceCwdaemon;
    CwSettings read;
    readCwSettings(writeCwSettings(s), read);
    EXPECT_EQ(read.interface, 6);
    EXPECT_TRUE(isKeyingInterface(6));
    EXPECT_FALSE(isKeyingInterface(4));
    EXPECT_FALSE(isKeyingInterface(7));
}

TEST(CwFile, DoubleQuotesAndCommasLoadBackUnchanged) {
    CwSettings s = sample();
    s.messages[3] = "SAY \"HI\", \"\" THEN \"";
    s.messages[4] = "\"";
    CwSettings read;
    EXPECT_EQ(readCwSettings(writeCwSettings(s), read), 23);
    EXPECT_EQ(read.messages[3], s.messages[3]);
    EXPECT_EQ(read.messages[4], "\"");
    EXPECT_TRUE(same(read, s));
}

TEST(CwFile, EmptyF9BecomesVvvDe) {
    CwSettings s = sample();
    s.messages[8] = "";
    CwSettings read;
    readCwSettings(writeCwSettings(s), read);
    EXPECT_EQ(read.messages[8], "VVV DE ");
}

TEST(CwFile, ShortFileKeepsWhatWasReadAndTheDefaultsForTheRest) {
    CwSettings read;
    EXPECT_EQ(readCwSettings("\"CQ\"\r\n\"TU\"\r\n", read), 2);
    EXPECT_EQ(read.messages[0], "CQ");
    EXPECT_EQ(read.messages[1], "TU");
    EXPECT_EQ(read.messages[2], "");
    EXPECT_EQ(read.speedText, "13");
    EXPECT_EQ(read.addressText, "&H378");
    EXPECT_EQ(read.interface, 0);

    CwSettings none;
    EXPECT_EQ(readCwSettings("", none), 0);
    EXPECT_TRUE(same(none, CwSettings{}));
}

TEST(CwFile, UnusableNumbersStopTheLoad) {
    std::string text = writeCwSettings(sample());
    auto pos = text.find("\r\n2\r\n\"&H278\"");
    ASSERT_NE(pos, std::string::npos);
    text.replace(pos + 2, 1, "X");
    CwSettings read;
    EXPECT_EQ(readCwSettings(text, read), 14);
    EXPECT_EQ(read.interface, 0);
    EXPECT_EQ(read.addressText, "&H378");
}

TEST(CwFile, UnknownInterfaceKeysNothing) {
    std::string text = writeCwSettings(sample());
    auto pos = text.find("\r\n2\r\n\"&H278\"");
    text.replace(pos + 2, 1, "7");
    CwSettings read;
    EXPECT_EQ(readCwSettings(text, read), 23);
    EXPECT_EQ(read.interface, 0);
}

TEST(CwFile, BinaryBytesAndBareLinesDoNotBreakTheReader) {
    std::string junk("\"A\x01\xff\"\n\x00\x02\"\r\r\n\"unclosed\n", 22);
    junk += std::string(10000, 'Z');
    CwSettings read;
    int taken = readCwSettings(junk, read);
    EXPECT_EQ(taken, 4);
    EXPECT_EQ(read.messages[0], std::string("A\x01\xff", 3));
    EXPECT_EQ(read.messages[2], "unclosed");
    EXPECT_LE(read.messages[3].size(), 4096u);
    // LF-only line ends read the same as CR LF.
    CwSettings lf;
    EXPECT_EQ(readCwSettings("\"CQ\"\n\"TU\"\n", lf), 2);
    EXPECT_EQ(lf.messages[1], "TU");
    // A carriage return inside the quotes of an LF-ended line reads as the
    // blank it is written as, so the message loads back the same after a save.
    CwSettings cr;
    EXPECT_EQ(readCwSettings("\"NR?\r\"\n", cr), 1);
    EXPECT_EQ(cr.messages[0], "NR? ");
    CwSettings again;
    readCwSettings(writeCwSettings(cr), again);
    EXPECT_EQ(again.messages[0], cr.messages[0]);
}

TEST(WkFile, RoundTripAndEightLines) {
    WinKeySettings s;
    s.port = 4;
    s.wpmText = "32";
    s.weightText = "55";
    s.leadInText = "3";
    s.tailText = "7";
    s.ratioText = "45";
    s.pinConfig = kWinKeyPinPtt;
    s.mode = kWinKeyModeBug;
    std::string text = writeWinKeySettings(s);
    EXPECT_EQ(text, "4\r\n\"32\"\r\n\"55\"\r\n\"3\"\r\n\"7\"\r\n\"45\"\r\n5\r\n48\r\n");
    WinKeySettings read;
    EXPECT_EQ(readWinKeySettings(text, read), 8);
    EXPECT_EQ(writeWinKeySettings(read), text);
}

TEST(WkFile, SixLinesKeepPinSixAndModeZero) {
    WinKeySettings read;
    read.pinConfig = 6;
    read.mode = 0;
    EXPECT_EQ(readWinKeySettings("3\r\n\"20\"\r\n\"50\"\r\n\"0\"\r\n\"0\"\r\n\"50\"\r\n", read), 6);
    EXPECT_EQ(read.port, 3);
    EXPECT_EQ(read.wpmText, "20");
    EXPECT_EQ(read.pinConfig, 6);
    EXPECT_EQ(read.mode, 0);
}

TEST(WkFile, ShortAndDamagedFiles) {
    WinKeySettings read;
    EXPECT_EQ(readWinKeySettings("2\r\n\"25\"\r\n", read), 2);
    EXPECT_EQ(read.weightText, "50");
    WinKeySettings bad;
    EXPECT_EQ(readWinKeySettings("\"x\"\r\n", bad), 0);
    EXPECT_EQ(
        readWinKeySettings("1\r\n\"1\"\r\n\"1\"\r\n\"1\"\r\n\"1\"\r\n\"1\"\r\n99\r\n7\r\n", bad),
        6);
    EXPECT_EQ(bad.pinConfig, 6);
    EXPECT_EQ(bad.mode, 0);
}

TEST(WkRanges, RatioEdges) {
    EXPECT_FALSE(winKeyRatioByte("31"));
    EXPECT_EQ(winKeyRatioByte("32"), 32);
    EXPECT_EQ(winKeyRatioByte("67"), 67);
    EXPECT_FALSE(winKeyRatioByte("68"));
    EXPECT_FALSE(winKeyRatioByte(""));
}

TEST(WkRanges, OtherBoxes) {
    EXPECT_EQ(winKeySpeedByte("0"), 0);
    EXPECT_EQ(winKeySpeedByte("99"), 99);
    EXPECT_FALSE(winKeySpeedByte("100"));
    EXPECT_FALSE(winKeyWeightByte("-1"));
    EXPECT_EQ(winKeyTimeByte("255"), 255);
    EXPECT_FALSE(winKeyTimeByte("256"));
    EXPECT_EQ(winKeySpeedReset("x"), "18");
    EXPECT_EQ(winKeySpeedReset("22"), "22");
    EXPECT_EQ(winKeyWeightReset(""), "50");
    EXPECT_EQ(winKeyRatioReset("a"), "50");
    EXPECT_EQ(winKeyTimeReset("a"), "0");
    EXPECT_EQ(winKeyPortReset("a"), "0");
}

TEST(WkRanges, OpenStatusTexts) {
    EXPECT_EQ(winKeyOpenStatusText(0), "WK Success!");
    EXPECT_EQ(winKeyOpenStatusText(1), "No Echo Response");
    EXPECT_EQ(winKeyOpenStatusText(2), "Echo Mismatch");
    EXPECT_EQ(winKeyOpenStatusText(3), "No Open Response");
    EXPECT_EQ(winKeyOpenStatusText(4), "Com Open Failed");
    EXPECT_EQ(winKeyOpenStatusText(8), "WK Already Open");
    EXPECT_EQ(winKeyOpenStatusText(9), "WK Not Open");
    EXPECT_EQ(winKeyOpenStatusText(7), "");
}

} // namespace
} // namespace wexon::keying
