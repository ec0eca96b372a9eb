#include "keying/cw_engine.h"

#include <chrono>
#include <cmath>

#include <gtest/gtest.h>

#include "keying/element_clock.h"
#include "keying/morse_table.h"
#include "keying_fakes.h"

namespace wexon::keying {
namespace {

using namespace std::chrono_literals;

class RecordingListener : public CwEngineListener {
  public:
    std::atomic<int> exclamations{0};
    std::atomic<int> stops{0};
    std::vector<std::string> remaining;
    std::mutex mutex;
    std::function<void()> onCharacter;
    void exclamationReached() override { ++exclamations; }
    void characterDone(const std::string& rest) override {
        {
            std::lock_guard lock(mutex);
            remaining.push_back(rest);
        }
        if (onCharacter) {
            onCharacter();
        }
    }
    void sendingStopped() override { ++stops; }
};

struct EngineRig {
    test::VirtualElementClock clock;
    test::ScriptedKeyLine line{clock};
    RecordingListener listener;
    CwEngine engine{clock, &listener, false};
    EngineRig() {
        engine.setInterface(1);
        engine.setKeyLine(&line);
    }
    void send(const std::string& text) {
        engine.appendAndPump(text);
        ASSERT_TRUE(engine.waitUntilIdle(5s));
    }
};

TEST(EngineTiming, TimerUnitAt13WpmIs92Point3Ms) {
    EngineRig rig;
    rig.engine.setSpeed(13);
    rig.send("E");
    auto edges = rig.line.edges();
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_TRUE(edges[0].down);
    EXPECT_FALSE(edges[1].down);
    EXPECT_NEAR((edges[1].ns - edges[0].ns) / 1e6, 92.3077, 0.001);
}

TEST(EngineTiming, SleepUnitAt13WpmIsWhole92Ms) {
    EngineRig rig;
    rig.engine.setSpeed(13);
    rig.engine.setTimingMethod(TimingMethod::Sleep);
    rig.send("EE");
    auto edges = rig.line.edges();
    ASSERT_EQ(edges.size(), 4u);
    EXPECT_EQ(edges[1].ns - edges[0].ns, 92'000'000);
    // The three silent units that end a character.
    EXPECT_EQ(edges[2].ns - edges[1].ns, 3 * 92'000'000);
}

TEST(EngineTiming, LoopMethodCountsCalibratedPasses) {
    EngineRig rig;
    rig.clock.nsPerPass = 1.0;
    rig.engine.setTimingMethod(TimingMethod::Loop);
    rig.engine.setLoopsPer60ms(60'000'000); // one pass per nanosecond
    rig.engine.setSpeed(20);                // 60 ms units
    rig.send("E");
    auto edges = rig.line.edges();
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_EQ(edges[1].ns - edges[0].ns, 60'000'000);
}

TEST(EngineTiming, UnitsFollowThePatternsAcrossCharacters) {
    EngineRig rig;
    rig.engine.setSpeed(20);
    rig.send("A E");
    std::string expected = std::string(morsePattern('A')) + std::string(morsePattern(' ')) + "1";
    EXPECT_EQ(rig.line.units(60e6), expected);
}

TEST(EngineTiming, SpeedChangeActsFromTheNextUnit) {
    EngineRig rig;
    rig.engine.setSpeed(20);
    rig.line.atEdge = 2; // the first dot has ended
    rig.line.onEdge = [&] { rig.engine.setSpeed(10); };
    rig.send("S");
    auto e = rig.line.edges();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[1].ns - e[0].ns, 60'000'000);  // before the change
    EXPECT_EQ(e[3].ns - e[2].ns, 120'000'000); // after it
}

// A clock whose thread wakes late from one chosen wait, as a thread without
// real-time priority does on a busy machine.
class LateWakeClock : public test::VirtualElementClock {
  public:
    int lateAtWait = -1; // which wait (counted from 0) comes back late
    std::int64_t lateNs = 0;
    void sleepUntilNs(std::int64_t deadline) override {
        test::VirtualElementClock::sleepUntilNs(deadline);
        if (m_waits++ == lateAtWait) {
            advance(lateNs);
        }
    }

  private:
    int m_waits = 0;
};

TEST(EngineTiming, AnElementAfterALateWakeIsNeverCutShortTheMessageSlipsInstead) {
    // Late by less than a unit, by more, and inside a dah (no edge there).
    struct Case {
        int wait;
        std::int64_t lateNs;
    };
    for (const Case c :
         {Case{1, 20'000'000}, Case{1, 59'000'000}, Case{2, 150'000'000}, Case{5, 30'000'000}}) {
        SCOPED_TRACE(c.wait);
        LateWakeClock clock;
        clock.lateAtWait = c.wait;
        clock.lateNs = c.lateNs;
        test::ScriptedKeyLine line(clock);
        CwEngine engine(clock, nullptr, false);
        engine.setInterface(1);
        engine.setKeyLine(&line);
        engine.setSpeed(20); // 60 ms units
        engine.appendAndPump("PARIS");
        ASSERT_TRUE(engine.waitUntilIdle(5s));
        engine.setKeyLine(nullptr);
        const auto e = line.edges();
        const std::string units = std::string(morsePattern('P')) + std::string(morsePattern('A')) +
                                  std::string(morsePattern('R')) + std::string(morsePattern('I')) +
                                  std::string(morsePattern('S'));
        // Every element as long as its units, or longer where the wake was
        // late; never shorter.
        std::vector<int> lengths;
        for (std::size_t i = 0; i < units.size();) {
            std::size_t j = i;
            while (j < units.size() && units[j] == units[i]) {
                ++j;
            }
            lengths.push_back(static_cast<int>(j - i));
            i = j;
        }
        ASSERT_GE(e.size(), lengths.size() - 1);
        std::int64_t stretched = 0;
        for (std::size_t k = 0; k + 1 < e.size(); ++k) {
            const std::int64_t ideal = lengths[k] * 60'000'000LL;
            const std::int64_t actual = e[k + 1].ns - e[k].ns;
            EXPECT_GE(actual, ideal) << "element " << k << " cut short";
            stretched += actual - ideal;
        }
        // The whole message slipped by the late wake, not more.
        EXPECT_LE(stretched, c.lateNs);
        EXPECT_GT(stretched, 0);
    }
}

TEST(EngineTiming, WordSpaceAdjustment) {
    for (int adjust : {0, -8, 2}) {
        EngineRig rig;
        rig.engine.setSpeed(20);
        rig.engine.setWordSpace(adjust);
        rig.send("E E");
        auto e = rig.line.edges();
        ASSERT_EQ(e.size(), 4u);
        long silent = std::lround((e[2].ns - e[1].ns) / 60e6);
        EXPECT_EQ(silent, 3 + 8 + adjust) << adjust;
    }
}

TEST(EngineFaults, UnusableSpeedsKeyNothingAndDoNotHang) {
    for (double wpm : {0.0, -5.0, 1000.0, std::nan("")}) {
        EngineRig rig;
        rig.engine.setSpeed(wpm);
        rig.send("PARIS PARIS");
        EXPECT_TRUE(rig.line.edges().empty()) << wpm;
        EXPECT_TRUE(rig.engine.bufferEmpty());
        EXPECT_FALSE(rig.engine.isSending());
    }
}

TEST(EngineFaults, NoInterfaceKeysNothingButEmptiesTheBuffer) {
    EngineRig rig;
    rig.engine.setInterface(0);
    rig.send("TEST");
    EXPECT_TRUE(rig.line.edges().empty());
    EXPECT_EQ(rig.listener.remaining.size(), 4u);
}

TEST(EngineFaults, BinaryAndUnknownCharactersCostNoTime) {
    EngineRig rig;
    rig.engine.setSpeed(20);
    rig.send(std::string("E\x01\xff\"#E", 6));
    EXPECT_EQ(rig.line.units(60e6), "10001");
}

TEST(EngineControl, ExclamationIsReportedAndKeysNothing) {
    EngineRig rig;
    rig.send("!!");
    EXPECT_EQ(rig.listener.exclamations.load(), 2);
    EXPECT_TRUE(rig.line.edges().empty());
}

TEST(EngineControl, EmptyingTheBufferStopsAfterTheCurrentCharacter) {
    EngineRig rig;
    rig.engine.setSpeed(20);
    rig.line.atEdge = 1;
    rig.line.onEdge = [&] { rig.engine.clearBuffer(); };
    rig.send("TEST");
    // Only the T is keyed, completely.
    EXPECT_EQ(rig.line.units(60e6), "111");
    EXPECT_EQ(rig.line.edges().back().down, false);
}

TEST(EngineControl, TextAddedWhileSendingIsPickedUp) {
    EngineRig rig;
    rig.engine.setSpeed(20);
    rig.line.atEdge = 1;
    rig.line.onEdge = [&] { rig.engine.appendAndPump("E"); };
    rig.send("T");
    EXPECT_EQ(rig.line.edges().size(), 4u);
    EXPECT_EQ(rig.listener.stops.load(), 1);
}

TEST(EngineControl, BufferEditing) {
    test::VirtualElementClock clock;
    CwEngine engine(clock, nullptr, false);
    engine.append("AB");
    EXPECT_TRUE(engine.removeLast());
    EXPECT_EQ(engine.buffer(), "A");
    EXPECT_EQ(engine.takeFirst(), 'A');
    EXPECT_FALSE(engine.takeFirst().has_value());
    EXPECT_FALSE(engine.removeLast());
}

TEST(EngineControl, DestroyingTheEngineEndsASlowCharacterWithinAUnit) {
    MonotonicElementClock clock;
    test::ScriptedKeyLine line(clock);
    auto start = std::chrono::steady_clock::now();
    {
        CwEngine engine(clock, nullptr, false);
        engine.setInterface(1);
        engine.setSpeed(2); // 600 ms units: "0" takes 13 s
        engine.setKeyLine(&line);
        engine.appendAndPump("0");
        std::this_thread::sleep_for(50ms);
    }
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 1500ms);
    auto edges = line.edges();
    ASSERT_FALSE(edges.empty());
    EXPECT_FALSE(edges.back().down);
}

} // namespace
} // namespace wexon::keying
