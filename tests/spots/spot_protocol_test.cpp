#include <gtest/gtest.h>

#include <string>

#include "spots/agw_command.h"
#include "spots/agw_frame.h"
#include "spots/pack_spot_settings.h"
#include "spots/spotting_texts.h"
#include "spots/telnet_errors.h"

namespace wexon::spots {
namespace {

TEST(AgwFrameCodec, HeaderLayoutAndRoundTrip) {
    AgwFrame f;
    f.port = 1;
    f.kind = 'D';
    f.pid = 0xF0;
    f.callFrom = "W1XX";
    f.callTo = "LONGCALL-15";
    f.data = "hi\r";
    const std::string bytes = encodeAgwFrame(f);
    ASSERT_EQ(bytes.size(), 39u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[4], 'D');
    EXPECT_EQ(static_cast<unsigned char>(bytes[6]), 0xF0);
    EXPECT_EQ(bytes.substr(8, 5), std::string("W1XX\0", 5));
    EXPECT_EQ(bytes[27], '\0'); // a call is cut so its field ends in NUL
    EXPECT_EQ(bytes[28], 3);

    AgwFrameDecoder d;
    // one byte at a time, as a slow socket would give it
    for (char c : bytes) {
        EXPECT_EQ(d.feed(std::string(1, c)), 1u);
    }
    auto out = d.take();
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->kind, 'D');
    EXPECT_EQ(out->callFrom, "W1XX");
    EXPECT_EQ(out->callTo, "LONGCALL-");
    EXPECT_EQ(out->data, "hi\r");
    EXPECT_FALSE(d.take().has_value());
}

TEST(AgwFrameCodec, OverLongDataIsConsumedButKeptAtFourThousand) {
    AgwFrame f;
    f.kind = 'U';
    f.data = std::string(10000, 'x');
    std::string bytes = encodeAgwFrame(f) + encodeAgwFrame(AgwFrame{0, 'T', 0, "A", "B", "ok"});
    AgwFrameDecoder d;
    std::size_t used = d.feed(bytes);
    auto first = d.take();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->data.size(), AgwFrame::kMaxData);
    d.feed(std::string_view(bytes).substr(used));
    auto second = d.take();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->data, "ok");
}

TEST(AgwFrameCodec, AbsurdLengthMarksTheStreamBroken) {
    std::string header(36, '\0');
    header[4] = 'U';
    header[28] = header[29] = header[30] = header[31] = '\xFF';
    AgwFrameDecoder d;
    d.feed(header + "more");
    EXPECT_TRUE(d.broken());
    EXPECT_FALSE(d.take().has_value());
    EXPECT_EQ(d.wanted(), 0u);
}

TEST(AgwCommands, LowerCaseConnectSendsCThenPToTheUpperCasedCall) {
    AgwLinePlan p = planAgwLine(":c dx0abc", "");
    ASSERT_EQ(p.frames.size(), 2u);
    EXPECT_EQ(p.frames[0].kind, 'c');
    EXPECT_EQ(p.frames[0].call, "DX0ABC");
    EXPECT_EQ(p.frames[1].kind, 'P');
    EXPECT_EQ(p.frames[1].call, "DX0ABC");
    EXPECT_FALSE(p.callSignRequired);
}

TEST(AgwCommands, ConnectWithoutACallAsksForOne) {
    EXPECT_TRUE(planAgwLine(":C", "").callSignRequired);
    EXPECT_TRUE(planAgwLine(":C   ", "").callSignRequired);
    EXPECT_TRUE(planAgwLine(":C", "").frames.empty());
}

TEST(AgwCommands, DisconnectAndPlainText) {
    EXPECT_TRUE(planAgwLine(":D", "").frames.empty());
    AgwLinePlan d = planAgwLine(":d", "DX0ABC");
    ASSERT_EQ(d.frames.size(), 1u);
    EXPECT_EQ(d.frames[0].kind, 'd');
    EXPECT_TRUE(planAgwLine("hello", "").frames.empty());
    AgwLinePlan t = planAgwLine("hello", "DX0ABC");
    ASSERT_EQ(t.frames.size(), 1u);
    EXPECT_EQ(t.frames[0].kind, 'D');
    EXPECT_EQ(t.frames[0].data, "hello\r");
    EXPECT_TRUE(planAgwLine(":X", "DX0ABC").frames.empty());
    EXPECT_TRUE(planAgwLine(":", "DX0ABC").frames.empty());
}

TEST(AgwCommands, WrapAtSeventyOneCharactersEndingInASpace) {
    const std::string seventy(70, 'a');
    EXPECT_EQ(agwWrapLine(seventy + " "), seventy);
    EXPECT_EQ(agwWrapLine(std::string(69, 'a') + " "), "");
    EXPECT_EQ(agwWrapLine(seventy + "b"), "");
}

TEST(TelnetErrors, KnownAndUnknownNumbers) {
    EXPECT_EQ(telnetErrorMessage(10060), "ERROR: Socket has been shut down.");
    EXPECT_EQ(telnetErrorMessage(10058), "ERROR: Socket has been shut down.");
    EXPECT_EQ(telnetErrorMessage(10061), "ERROR: Connection is forcefully rejected.");
    EXPECT_EQ(telnetErrorMessage(11001), "ERROR: Authoritative answer: Host not found.");
    EXPECT_EQ(telnetErrorMessage(7), "ERROR: Out of memory.");
    EXPECT_EQ(telnetErrorMessage(12345), "Error number 12345");
    EXPECT_EQ(telnetErrorMessage(-1), "Error number -1");
}

TEST(PackSpotFile, RoundTripKeepsEverythingButListDxOnlyIsJustStored) {
    PackSpotSettings s;
    s.baud = "19200";
    s.parity = "E";
    s.dataBits = "7";
    s.stopBits = "2";
    s.portNumber = 7;
    s.powerLine = "D";
    s.spotSource = "Telnet";
    s.convertToHex = 1;
    s.handshake = 4;
    s.listDxOnly = 1;
    s.optList = true;
    s.hexCharacter = "1B";
    s.telnetPort = "7300";
    s.telnetHost = "dxc.example.net";
    const std::string bytes = writePackSpot(s);
    EXPECT_EQ(bytes,
              "\"19200\"\r\n\"E\"\r\n\"7\"\r\n\"2\"\r\n7\r\n\"D\"\r\n\"Telnet\"\r\n1\r\n4\r\n"
              "1\r\n#TRUE#\r\n\"1B\"\r\n\"7300\"\r\n\"dxc.example.net\"\r\n"
              "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
    EXPECT_EQ(readPackSpot(bytes), s);
    s.hideDupes = true;
    s.jumpSkipsDupes = true;
    EXPECT_EQ(readPackSpot(writePackSpot(s)), s);
    s.optList = false;
    EXPECT_NE(writePackSpot(s).find("#FALSE#\r\n"), std::string::npos);
    EXPECT_EQ(readPackSpot(writePackSpot(s)), s);
}

TEST(PackSpotFile, ShortOrDamagedFileKeepsTheDefaultsFromThere) {
    PackSpotSettings d;
    PackSpotSettings r = readPackSpot("\"4800\"\r\n\"O\"\r\n\"8\"\r\n\"1\"\r\nxyz\r\n\"R\"\r\n");
    EXPECT_EQ(r.baud, "4800");
    EXPECT_EQ(r.parity, "O");
    EXPECT_EQ(r.portNumber, d.portNumber);
    EXPECT_EQ(r.powerLine, d.powerLine);
    EXPECT_EQ(readPackSpot(""), d);
}

TEST(SpottingHelp, BlocksPerSource) {
    const std::string none = spottingHelp("None");
    const std::string tnc = spottingHelp("tnc");
    const std::string telnet = spottingHelp("Telnet");
    const std::string agw = spottingHelp("AGW Packet Engine");
    EXPECT_EQ(none.find("Use this form"), 0u);
    EXPECT_EQ(tnc.find("To use a Packet TNC"), 0u);
    EXPECT_EQ(telnet.find("If you have an Internet"), 0u);
    EXPECT_EQ(agw.find("This program will also"), 0u);
    EXPECT_EQ(telnet.find("Kantronics"), std::string::npos);
    EXPECT_NE(agw.find("Kantronics"), std::string::npos);
    EXPECT_NE(none.find(":C TARNO     or to disconnect :D"), std::string::npos);
    EXPECT_NE(agwFailureTerminal().find(kAgwDownloadAddress), std::string::npos);
}

} // namespace
} // namespace wexon::spots
