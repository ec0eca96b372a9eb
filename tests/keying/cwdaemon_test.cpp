#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "keying/cw_keyer.h"
#include "keying/cw_messages.h"
#include "keying/cwdaemon_protocol.h"
#include "keying/cwdaemon_sender.h"
#include "keying_fakes.h"
#include "support/fake_clock.h"

namespace wexon::keying {
namespace {

using namespace std::chrono_literals;

constexpr char kEsc = '\x1b';
constexpr int kKeyF2 = kKeyF1 + 1;
constexpr int kKeyF3 = kKeyF1 + 2;

TEST(CwdaemonText, ProsignsAndSignsTakeTheFormsCwdaemonKeys) {
    EXPECT_EQ(cwdaemon::translateText("cq test"), "CQ TEST");
    // AR SK KN CL BT, and "-" is BT too (cwdaemon would slow down on it).
    EXPECT_EQ(cwdaemon::translateText("[]; \\=-"), "*<( CL==");
    EXPECT_EQ(cwdaemon::translateText("5NN 001 ./,?"), "5NN 001 ./,?");
    // No Morse here: dropped, including cwdaemon's own speed and echo marks.
    EXPECT_EQ(cwdaemon::translateText("+~^*()<>&@!\"$\x01\xff"), "");
}

TEST(CwdaemonText, KeyedUnitsFollowTheMorseTable) {
    // PARIS is 46 units up to the end of S's character space.
    EXPECT_EQ(cwdaemon::keyedUnits("PARIS", 0), 46);
    EXPECT_EQ(cwdaemon::keyedUnits("E E", 0), 4 + 8 + 4);
    EXPECT_EQ(cwdaemon::keyedUnits("E E", 3), 4 + 11 + 4);
}

TEST(CwdaemonRequests, CommandsAndRangesCwdaemonAccepts) {
    EXPECT_EQ(cwdaemon::speedRequest(25), std::string{kEsc} + "225");
    EXPECT_EQ(cwdaemon::speedRequest(99), std::string{kEsc} + "260");
    EXPECT_EQ(cwdaemon::speedRequest(1), std::string{kEsc} + "24");
    EXPECT_EQ(cwdaemon::toneRequest(5000), std::string{kEsc} + "34000");
    EXPECT_EQ(cwdaemon::tuneRequest(30), std::string{kEsc} + "c10");
    EXPECT_EQ(cwdaemon::tuneRequest(0), std::string{kEsc} + "c1");
    EXPECT_EQ(cwdaemon::pttRequest(true), std::string{kEsc} + "a1");
    EXPECT_EQ(cwdaemon::weightRequest(-80), std::string{kEsc} + "7-50");
    EXPECT_EQ(cwdaemon::abortRequest(), std::string{kEsc} + "4");
    EXPECT_EQ(cwdaemon::echoRequest("W1 \r\n\x1b"
                                    "2"),
              std::string{kEsc} + "hW12");
}

TEST(CwdaemonReplies, EchoAndBreakAreRecognisedOthersAreNot) {
    auto echo = cwdaemon::parseReply("hW12\r\n");
    ASSERT_TRUE(echo);
    EXPECT_EQ(echo->kind, cwdaemon::Reply::Kind::Echo);
    EXPECT_EQ(echo->tag, "W12");
    EXPECT_EQ(cwdaemon::parseReply("hW12")->tag, "W12");
    EXPECT_EQ(cwdaemon::parseReply("break\r\n")->kind, cwdaemon::Reply::Kind::Break);
    EXPECT_FALSE(cwdaemon::parseReply(""));
    EXPECT_FALSE(cwdaemon::parseReply("W12\r\n"));
    EXPECT_FALSE(cwdaemon::parseReply(std::string("hW\x00"
                                                  "1",
                                                  4)));
    EXPECT_FALSE(cwdaemon::parseReply("h" + std::string(200, 'A')));
}

// cwdaemon as the sender sees it: datagrams recorded, time and the timer
// moved by the test.
class ScriptedCwdaemonIo : public CwdaemonIo {
  public:
    std::vector<std::string> sent;
    long long armedMs = -1;
    std::chrono::steady_clock::time_point t{std::chrono::seconds(100)};

    void sendDatagram(const std::string& bytes) override { sent.push_back(bytes); }
    void armTimer(long long ms) override { armedMs = ms; }
    void disarmTimer() override { armedMs = -1; }
    std::chrono::steady_clock::time_point now() const override { return t; }

    // The text datagrams, in order.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& d : sent) {
            if (!d.empty() && d[0] != kEsc) {
                out.push_back(d);
            }
        }
        return out;
    }
    bool sentCommand(const std::string& command) const {
        for (const auto& d : sent) {
            if (d == std::string{kEsc} + command) {
                return true;
            }
        }
        return false;
    }
    std::string lastTag() const {
        for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
            if (it->size() >= 2 && (*it)[0] == kEsc && (*it)[1] == 'h') {
                return it->substr(2);
            }
        }
        return {};
    }
};

// A keyer set to cwdaemon with the sender driven by a scripted cwdaemon.
struct CwdaemonRig {
    test::FakeCwHost host;
    test::FakeClock clock;
    test::VirtualElementClock elementClock;
    test::QueuedPost queue;
    CwKeyer keyer{host, elementClock, clock, false};
    ScriptedCwdaemonIo io;
    CwdaemonSender sender{io, keyer.engine(), keyer.reports()};
    std::vector<std::string> problems;

    CwdaemonRig() {
        keyer.setPost(queue.post());
        keyer.setCwdaemon(&sender);
        sender.setTargetName("127.0.0.1:6789");
        sender.setProblemReport([this](const std::string& p) { problems.push_back(p); });
        CwSettings s;
        s.interface = kInterfaceCwdaemon;
        s.speedText = "20"; // 60 ms a unit
        s.messages[0] = "CQ TEST";
        keyer.applySettings(s);
    }
    // cwdaemon answers the character on air after `ms`.
    void answer(long long ms = 0) {
        io.t += std::chrono::milliseconds(ms);
        sender.replyReceived("h" + io.lastTag() + "\r\n");
        queue.drain();
    }
    void fireTimer() {
        ASSERT_GE(io.armedMs, 0);
        io.t += std::chrono::milliseconds(io.armedMs);
        sender.timerFired();
        queue.drain();
    }
    // Plays cwdaemon answering every character when it is keyed.
    void playOut() {
        for (int i = 0; i < 1000 && sender.isSending(); ++i) {
            if (io.armedMs >= 0 && io.armedMs < SenderLimit()) {
                fireTimer();
            } else {
                answer(0);
            }
        }
    }
    // A timer this long or longer is the answer watchdog, not a pause.
    static long long SenderLimit() { return CwdaemonSender::kAnswerSlackMs; }
};

TEST(CwdaemonSending, EachCharacterGoesAloneAfterTheLastOneIsKeyed) {
    CwdaemonRig rig;
    rig.keyer.setMessage(1, "[] ; \\-@");
    rig.keyer.fKeyCW(kKeyF2);
    EXPECT_TRUE(rig.keyer.isSending());
    EXPECT_EQ(rig.io.texts(), std::vector<std::string>{"*"});
    EXPECT_TRUE(rig.io.sentCommand("220"));
    rig.playOut();
    EXPECT_FALSE(rig.keyer.isSending());
    EXPECT_EQ(rig.io.texts(), (std::vector<std::string>{"*", "<", "(", "CL", "="}));
}

TEST(CwdaemonSending, WordSpacesAreTimedHereWithTheAdjustment) {
    CwdaemonRig rig;
    rig.keyer.setMessage(1, "E E");
    rig.keyer.fKeyCW(kKeyF2);
    rig.answer(4 * 60);
    // Eight silent units at 60 ms after the character space cwdaemon keyed.
    EXPECT_EQ(rig.io.armedMs, 8 * 60 + 1);
    EXPECT_EQ(rig.io.texts().size(), 1u);
    rig.fireTimer();
    EXPECT_EQ(rig.io.texts().size(), 2u);

    rig.keyer.setSpaceText("2");
    rig.answer(4 * 60);
    rig.keyer.fKeyCW(kKeyF2);
    rig.answer(4 * 60);
    EXPECT_EQ(rig.io.armedMs, 10 * 60 + 1);
}

TEST(CwdaemonSending, AnEarlyEchoStillWaitsForTheKeyedCharacter) {
    CwdaemonRig rig;
    rig.keyer.setMessage(1, "TT");
    rig.keyer.fKeyCW(kKeyF2);
    // T is six units; cwdaemon answered after one.
    rig.answer(60);
    EXPECT_EQ(rig.io.armedMs, 5 * 60 + 1);
    EXPECT_EQ(rig.io.texts().size(), 1u);
}

TEST(CwdaemonSending, SpeedChangesReachTheNextCharacter) {
    CwdaemonRig rig;
    rig.keyer.fKeyCW(kKeyF1); // "C" on air at 20 WPM
    rig.keyer.speedUp();
    rig.answer(3000); // late, so the next character goes at once
    const auto& sent = rig.io.sent;
    ASSERT_GE(sent.size(), 3u);
    // The new speed goes just before the next character.
    EXPECT_EQ(sent[sent.size() - 3], std::string{kEsc} + "221");
    EXPECT_EQ(sent.back(), "Q");

    // Above cwdaemon's range it keys at its fastest.
    rig.keyer.setSpeedText("75");
    rig.answer(3000); // late, so the next character goes at once
    rig.fireTimer();
    EXPECT_EQ(sent[sent.size() - 3], std::string{kEsc} + "260");
    EXPECT_EQ(sent.back(), "T");
    // At 0 WPM nothing more is keyed, as with the software keyer.
    rig.keyer.setSpeedText("0");
    rig.playOut();
    EXPECT_EQ(rig.io.texts().back(), "T");
    EXPECT_FALSE(rig.keyer.isSending());
}

TEST(CwdaemonSending, EscLetsTheCharacterOnAirEndAndSendsNothingMore) {
    CwdaemonRig rig;
    rig.keyer.setMessage(1, "TEST TEST TEST");
    rig.keyer.fKeyCW(kKeyF2);
    rig.answer(6 * 60); // T keyed: E goes at once
    EXPECT_TRUE(rig.keyer.escape());
    EXPECT_TRUE(rig.keyer.isSending());
    EXPECT_FALSE(rig.io.sentCommand("4"));
    rig.playOut();
    EXPECT_FALSE(rig.keyer.isSending());
    EXPECT_EQ(rig.io.texts().size(), 2u);
    EXPECT_FALSE(rig.keyer.escape());
}

TEST(CwdaemonSending, BackspaceTypingAndANewMessageActOnWhatIsUnsent) {
    CwdaemonRig rig;
    rig.keyer.setKeyboardMode(true);
    rig.keyer.keyboardCharacter('a');
    rig.keyer.keyboardCharacter('b');
    rig.keyer.keyboardCharacter('c');
    EXPECT_TRUE(rig.keyer.backspace());
    rig.playOut();
    EXPECT_EQ(rig.io.texts(), (std::vector<std::string>{"A", "B"}));

    rig.keyer.setMessage(1, "EEEE");
    rig.keyer.setMessage(2, "TT");
    rig.keyer.fKeyCW(kKeyF2);
    rig.keyer.fKeyCW(kKeyF3);
    rig.playOut();
    EXPECT_EQ(rig.io.texts(), (std::vector<std::string>{"A", "B", "E", "T", "T"}));
}

TEST(CwdaemonSending, ExclamationLogsWhenTheTextBeforeItIsKeyed) {
    CwdaemonRig rig;
    rig.host.call = "W1AW";
    rig.keyer.setMessage(1, "TU!EE");
    rig.keyer.fKeyCW(kKeyF2);
    rig.answer(6 * 60); // T
    EXPECT_EQ(rig.host.logged.load(), 0);
    rig.answer(10 * 60); // U
    EXPECT_EQ(rig.host.logged.load(), 1);
    rig.playOut();
    EXPECT_EQ(rig.host.logged.load(), 1);
}

TEST(CwdaemonSending, RepeatStartsWhenTheLastEchoArrives) {
    CwdaemonRig rig;
    rig.keyer.setRepeatText("3");
    rig.keyer.fKeyCW(kKeyF1);
    rig.answer(0);
    EXPECT_FALSE(rig.keyer.repeatTimerRunning());
    rig.playOut();
    EXPECT_TRUE(rig.keyer.repeatTimerRunning());
}

TEST(CwdaemonSending, PttIsHeldThroughTheWholeMessage) {
    CwdaemonRig rig;
    rig.sender.setOptions({true, 80, 800});
    rig.keyer.setMessage(1, "E E");
    rig.keyer.fKeyCW(kKeyF2);
    EXPECT_EQ(rig.io.sent.back(), std::string{kEsc} + "a1");
    EXPECT_EQ(rig.io.armedMs, 81);
    EXPECT_TRUE(rig.io.texts().empty());
    rig.playOut();
    EXPECT_EQ(rig.io.sent.back(), std::string{kEsc} + "a0");
    long long offs = std::count(rig.io.sent.begin(), rig.io.sent.end(), std::string{kEsc} + "a0");
    EXPECT_EQ(offs, 1);
}

TEST(CwdaemonSending, TuneRunsUntilItsEchoAndEscCutsIt) {
    CwdaemonRig rig;
    EXPECT_TRUE(rig.sender.tune(4));
    EXPECT_EQ(rig.io.sent.back(), std::string{kEsc} + "c4");
    EXPECT_TRUE(rig.keyer.isSending());
    EXPECT_FALSE(rig.sender.tune(4));
    rig.answer(4000);
    EXPECT_FALSE(rig.keyer.isSending());

    rig.sender.tune(9);
    rig.keyer.clearBuffer();
    EXPECT_TRUE(rig.io.sentCommand("4"));
    EXPECT_FALSE(rig.keyer.isSending());
}

TEST(CwdaemonSending, SilenceEndsSendingWithAReport) {
    CwdaemonRig rig;
    rig.keyer.fKeyCW(kKeyF1);
    EXPECT_GE(rig.io.armedMs, CwdaemonSender::kAnswerSlackMs);
    rig.fireTimer();
    EXPECT_FALSE(rig.keyer.isSending());
    EXPECT_TRUE(rig.keyer.engine().bufferEmpty());
    ASSERT_EQ(rig.problems.size(), 1u);
    EXPECT_NE(rig.problems[0].find("127.0.0.1:6789 stopped answering"), std::string::npos);
    // A late echo of the abandoned character changes nothing.
    rig.answer(0);
    EXPECT_FALSE(rig.keyer.isSending());
}

TEST(CwdaemonSending, AnUnreachableCwdaemonIsReportedOnce) {
    CwdaemonRig rig;
    rig.keyer.fKeyCW(kKeyF1);
    rig.sender.linkFailed("nothing answers on that port");
    rig.sender.linkFailed("nothing answers on that port");
    EXPECT_FALSE(rig.keyer.isSending());
    ASSERT_EQ(rig.problems.size(), 1u);
    EXPECT_NE(rig.problems[0].find("is it running?"), std::string::npos);
    // Trying again sends again, and a new failure is told again.
    rig.keyer.fKeyCW(kKeyF1);
    EXPECT_TRUE(rig.keyer.isSending());
    rig.sender.linkFailed("nothing answers on that port");
    EXPECT_EQ(rig.problems.size(), 2u);
}

TEST(CwdaemonSending, AbandoningEndsSendingAtOnceWithoutAReport) {
    CwdaemonRig rig;
    rig.sender.setOptions({true, 0, 800});
    rig.keyer.fKeyCW(kKeyF1);
    ASSERT_EQ(rig.io.texts().size(), 1u);
    rig.sender.abandon();
    EXPECT_FALSE(rig.keyer.isSending());
    EXPECT_EQ(rig.io.sent.back(), std::string{kEsc} + "a0");
    EXPECT_EQ(rig.io.armedMs, -1);
    EXPECT_TRUE(rig.problems.empty());
    rig.answer(0);
    EXPECT_EQ(rig.io.texts().size(), 1u);
}

TEST(CwdaemonSending, StaleAndForeignRepliesAreIgnored) {
    CwdaemonRig rig;
    rig.keyer.fKeyCW(kKeyF1);
    const auto before = rig.io.texts().size();
    rig.sender.replyReceived("hW999\r\n");
    rig.sender.replyReceived("break\r\n");
    rig.sender.replyReceived(std::string(600, 'h'));
    EXPECT_EQ(rig.io.texts().size(), before);
    EXPECT_TRUE(rig.keyer.isSending());
}

TEST(CwdaemonSending, NoSenderMeansNothingIsKeptOrKeyed) {
    test::FakeCwHost host;
    test::FakeClock clock;
    test::VirtualElementClock elementClock;
    CwKeyer keyer{host, elementClock, clock, false};
    CwSettings s;
    s.interface = kInterfaceCwdaemon;
    s.messages[0] = "CQ";
    keyer.applySettings(s);
    keyer.fKeyCW(kKeyF1);
    EXPECT_FALSE(keyer.isSending());
    EXPECT_TRUE(keyer.engine().bufferEmpty());
}

} // namespace
} // namespace wexon::keying
