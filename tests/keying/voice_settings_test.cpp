// "wave2.txt" and the voice keyer's typed settings.
#include "keying/voice_settings.h"

#include <gtest/gtest.h>

#include <fstream>

namespace wexon::keying {
namespace {

const char* kSample = "\"/home/op/cq.wav\"\r\n"
                      "\"/home/op/exch.wav\"\r\n"
                      "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                      "\"/home/op/vvv.wav\"\r\n"
                      "\"3\"\r\n"
                      "1\r\n"
                      "\"5\"\r\n"
                      "\"&H278\"\r\n";

TEST(VoiceSettingsFile, ReadsEveryLineInItsPlace) {
    VoiceSettings s;
    EXPECT_EQ(readVoiceSettings(kSample, s), 13);
    EXPECT_EQ(s.files[0], "/home/op/cq.wav");
    EXPECT_EQ(s.files[1], "/home/op/exch.wav");
    EXPECT_EQ(s.files[2], "");
    EXPECT_EQ(s.files[8], "/home/op/vvv.wav");
    EXPECT_EQ(s.portText, "3");
    EXPECT_EQ(s.pttLine, PttLine::Dtr);
    EXPECT_EQ(s.repeatText, "5");
    EXPECT_EQ(s.addressText, "&H278");
}

TEST(VoiceSettingsFile, WritesTheSameBytesItRead) {
    VoiceSettings s;
    readVoiceSettings(kSample, s);
    EXPECT_EQ(writeVoiceSettings(s), kSample);
}

TEST(VoiceSettingsFile, DefaultsWriteAsThirteenLines) {
    EXPECT_EQ(writeVoiceSettings(VoiceSettings{}),
              "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
              "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
}

TEST(VoiceSettingsFile, TheShippedFileHoldsTheDefaults) {
    std::ifstream in(std::string(WEXON_SOURCE_DIR) + "/data/wave2.txt", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    VoiceSettings s;
    EXPECT_EQ(readVoiceSettings(bytes, s), 13);
    EXPECT_EQ(bytes, writeVoiceSettings(VoiceSettings{}));
}

TEST(VoiceSettingsFile, EachLineChoosesItsOption) {
    for (auto [number, line] : {std::pair{0, PttLine::Rts}, std::pair{1, PttLine::Dtr},
                                std::pair{2, PttLine::Parallel}, std::pair{7, PttLine::None},
                                std::pair{-1, PttLine::None}}) {
        VoiceSettings s;
        s.pttLine = PttLine::Dtr;
        std::string bytes;
        for (int i = 0; i < 9; ++i) {
            bytes += "\"\"\r\n";
        }
        bytes += "\"0\"\r\n" + std::to_string(number) + "\r\n\"0\"\r\n\"&H378\"\r\n";
        EXPECT_EQ(readVoiceSettings(bytes, s), 13) << number;
        EXPECT_EQ(s.pttLine, line) << number;
    }
    VoiceSettings rts;
    rts.pttLine = PttLine::Rts;
    VoiceSettings dtr;
    dtr.pttLine = PttLine::Dtr;
    VoiceSettings lpt;
    lpt.pttLine = PttLine::Parallel;
    for (const VoiceSettings& s : {rts, dtr, lpt}) {
        VoiceSettings back;
        readVoiceSettings(writeVoiceSettings(s), back);
        EXPECT_EQ(back.pttLine, s.pttLine);
    }
}

TEST(VoiceSettingsFile, AShortFileKeepsWhatItHasAndTheDefaultsForTheRest) {
    VoiceSettings s;
    EXPECT_EQ(readVoiceSettings("\"a.wav\"\r\n\"b.wav\"\r\n", s), 2);
    EXPECT_EQ(s.files[0], "a.wav");
    EXPECT_EQ(s.files[1], "b.wav");
    EXPECT_EQ(s.files[2], "");
    EXPECT_EQ(s.portText, "0");
    EXPECT_EQ(s.addressText, "&H378");

    // Line 11 must be a number; reading stops there.
    std::string bytes;
    for (int i = 0; i < 9; ++i) {
        bytes += "\"x\"\r\n";
    }
    bytes += "\"4\"\r\n\"RTS\"\r\n\"9\"\r\n\"&H3BC\"\r\n";
    VoiceSettings t;
    EXPECT_EQ(readVoiceSettings(bytes, t), 10);
    EXPECT_EQ(t.portText, "4");
    EXPECT_EQ(t.pttLine, PttLine::None);
    EXPECT_EQ(t.repeatText, "0");
    EXPECT_EQ(t.addressText, "&H378");

    VoiceSettings empty;
    EXPECT_EQ(readVoiceSettings("", empty), 0);
}

TEST(VoiceSettingsFile, LinesEndedByLineFeedAloneReadTheSame) {
    std::string lf;
    for (const char* c = kSample; *c != '\0'; ++c) {
        if (*c != '\r') {
            lf += *c;
        }
    }
    VoiceSettings a;
    VoiceSettings b;
    readVoiceSettings(kSample, a);
    readVoiceSettings(lf, b);
    EXPECT_EQ(writeVoiceSettings(a), writeVoiceSettings(b));
}

TEST(VoiceRepeatInterval, KeepsSecondsFromZeroToBelowSixty) {
    struct Case {
        const char* typed;
        const char* shown;
        int ms;
        bool beep;
    };
    for (const Case& c : {Case{"5", "5", 5000, false}, Case{"0", "0", 0, false},
                          Case{"59.9", "59.9", 59900, false}, Case{"2.5", "2.5", 2500, false},
                          Case{"60", "0", 0, false}, Case{"-1", "0", 0, false},
                          Case{"abc", "0", 0, false}, Case{"", "0", 0, false},
                          Case{"1.2.3", "0", 0, false}, Case{"1e999", "0", 0, true}}) {
        RepeatInterval r = repeatIntervalFromText(c.typed);
        EXPECT_EQ(r.text, c.shown) << c.typed;
        EXPECT_EQ(r.ms, c.ms) << c.typed;
        EXPECT_EQ(r.beep, c.beep) << c.typed;
    }
}

TEST(VoicePortNumber, NamesAPortOnlyForNumbersAboveZero) {
    EXPECT_EQ(pttPortNumber("3"), 3);
    EXPECT_EQ(pttPortNumber(" 12 "), 12);
    EXPECT_EQ(pttPortNumber("0"), 0);
    EXPECT_EQ(pttPortNumber("-2"), 0);
    EXPECT_EQ(pttPortNumber("COM3"), 0);
    EXPECT_EQ(pttPortNumber(""), 0);
    EXPECT_EQ(pttPortNumber("1e300"), 1'000'000);
}

} // namespace
} // namespace wexon::keying
