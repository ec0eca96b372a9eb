#include <gtest/gtest.h>

#include "rig/rig_settings.h"

using namespace wexon::rig;

namespace {

RigSettings sample() {
    RigSettings s;
    s.baud = "4800 ";
    s.parity = "N";
    s.dataBits = "8";
    s.stopBits = "2";
    s.modeRead = "MD;";
    s.frequencyRead = "FA;";
    s.portSettings = "4800,N,8,2";
    s.portNumber = 3;
    s.power = "R";
    s.pollRate = "F";
    s.rigName = "Kenwood";
    s.convertToHex = 0;
    s.useFrequency = 1;
    s.modeBy = 2;
    return s;
}

} // namespace

TEST(RigSettingsFile, WritesFourteenLinesInOrder) {
    EXPECT_EQ(serializeRigSettings(sample()), "\"4800 \"\r\n\"N\"\r\n\"8\"\r\n\"2\"\r\n"
                                              "\"MD;\"\r\n\"FA;\"\r\n\"4800,N,8,2\"\r\n3\r\n"
                                              "\"R\"\r\n\"F\"\r\n\"Kenwood\"\r\n0\r\n1\r\n2\r\n");
    RigSettings s = sample();
    s.baud = "9600"; // padded on writing
    EXPECT_EQ(serializeRigSettings(s).substr(0, 9), "\"9600 \"\r\n");
}

TEST(RigSettingsFile, RoundTripsEveryValue) {
    RigSettings s = sample();
    s.rigName = "Other";
    s.frequencyRead = "FE FE 5C E0 03 FD";
    s.modeRead = "A, \"B\""; // a comma stays inside its text; quotes cannot be kept
    s.convertToHex = 1;
    s.modeBy = 3;
    RigSettingsLoad load = parseRigSettings(serializeRigSettings(s));
    EXPECT_TRUE(load.complete());
    EXPECT_TRUE(load.modeByValid);
    s.modeRead = "A, B";
    EXPECT_EQ(load.settings, s);
    RigSettingsLoad again = parseRigSettings(serializeRigSettings(load.settings));
    EXPECT_EQ(again.settings, load.settings);
}

TEST(RigSettingsFile, AShortFileKeepsWhatWasRead) {
    RigSettings initial;
    RigSettingsLoad load = parseRigSettings("\"1200 \"\r\n\"E\"\r\n\"7\"\r\n", initial);
    EXPECT_EQ(load.valuesRead, 3);
    EXPECT_FALSE(load.complete());
    EXPECT_EQ(load.settings.baud, "1200 ");
    EXPECT_EQ(load.settings.parity, "E");
    EXPECT_EQ(load.settings.dataBits, "7");
    EXPECT_EQ(load.settings.stopBits, initial.stopBits);
    EXPECT_EQ(load.settings.rigName, "None");
    EXPECT_EQ(parseRigSettings("").valuesRead, 0);
}

TEST(RigSettingsFile, OutOfRangeNumbersLeaveTheirSettingAlone) {
    std::string text = serializeRigSettings(sample());
    auto replaceLine = [](std::string t, int line, const std::string& value) {
        std::size_t pos = 0;
        for (int i = 1; i < line; ++i) {
            pos = t.find("\r\n", pos) + 2;
        }
        std::size_t end = t.find("\r\n", pos);
        return t.replace(pos, end - pos, value);
    };
    RigSettings initial;
    initial.portNumber = 1;
    initial.modeBy = 1;
    std::string bad = replaceLine(replaceLine(replaceLine(text, 8, "300"), 13, "7"), 14, "9");
    RigSettingsLoad load = parseRigSettings(bad, initial);
    EXPECT_EQ(load.valuesRead, 14);
    EXPECT_EQ(load.settings.portNumber, 1);
    EXPECT_EQ(load.settings.useFrequency, 0);
    EXPECT_EQ(load.settings.modeBy, 1);
    EXPECT_FALSE(load.modeByValid);
    EXPECT_EQ(load.settings.rigName, "Kenwood"); // the rest still loads
    EXPECT_EQ(parseRigSettings(replaceLine(text, 8, "2.5"), initial).settings.portNumber, 1);
    // Numbers far beyond any integer are refused before they are converted
    // (a conversion of such a value is undefined, caught by the sanitizer).
    for (const char* huge : {"9.7e40", "-9.7e40", "1e19", "9223372036854775808", "1e308"}) {
        std::string far = replaceLine(replaceLine(replaceLine(text, 8, huge), 13, huge), 14, huge);
        RigSettingsLoad l = parseRigSettings(far, initial);
        EXPECT_EQ(l.settings.portNumber, 1) << huge;
        EXPECT_EQ(l.settings.useFrequency, 0) << huge;
        EXPECT_EQ(l.settings.modeBy, 1) << huge;
        EXPECT_EQ(l.valuesRead, 14) << huge;
    }
}

TEST(RigSettingsFile, BinaryContentLoadsWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 70000; ++i) {
        junk.push_back(static_cast<char>((i * 37) & 0xFF));
    }
    RigSettingsLoad load = parseRigSettings(junk);
    EXPECT_LE(load.valuesRead, 14);
    EXPECT_GE(load.settings.portNumber, 1);
    EXPECT_LE(load.settings.portNumber, 10);
    EXPECT_LE(load.settings.rigName.size(), 4096u);
}

TEST(RigSettingsValues, PortTextAndPollingIntervals) {
    RigSettings s = sample();
    s.baud = "19200";
    s.parity = "E";
    s.dataBits = "7";
    s.stopBits = "1";
    EXPECT_EQ(portSettingsText(s), "19200,E,7,1");
    s.baud = "1200 ";
    EXPECT_EQ(portSettingsText(s), "1200,E,7,1");
    EXPECT_EQ(padBaud("56000"), "56000");
    EXPECT_EQ(padBaud("4800"), "4800 ");
    EXPECT_EQ(pollIntervalMs("F"), 50);
    EXPECT_EQ(pollIntervalMs("M"), 250);
    EXPECT_EQ(pollIntervalMs("S"), 1000);
    EXPECT_EQ(pollIntervalMs("R"), 5000);
    EXPECT_EQ(pollIntervalMs("?"), 250);
}
