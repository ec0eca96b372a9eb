#include "platform/winkey_keyer.h"

#include <chrono>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "core/settings_store.h"
#include "keying/cw_engine.h"
#include "keying/fake_winkeyer.h"
#include "keying/keying_fakes.h"

namespace wexon::platform {
namespace {

namespace wk = keying::winkey;

std::string hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    return out;
}

// Runs the event loop until `done` holds or the time is up.
template <typename F> bool runUntil(F done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

struct KeyerRig {
    test::FakeWinKeyer device;
    core::MemorySettingsStore map;
    test::VirtualElementClock clock;
    keying::CwEngine buffer{clock, nullptr, false};
    WinKeyer keyer{buffer, &map};
    KeyerRig() {
        map.write("Ports/COM7", device.slavePath());
        keyer.setAnswerTimeoutMs(300);
    }
    int open() {
        int version = -1;
        int result = keyer.wkOpen(7, version);
        EXPECT_EQ(version, result == 0 ? device.version : 0);
        return result;
    }
    // Waits for the device to have seen `count` bytes.
    bool seen(std::size_t count) {
        return runUntil([&] { return device.received().size() >= count; });
    }
};

TEST(WinKeyOpen, EchoThenHostOpen) {
    KeyerRig rig;
    EXPECT_EQ(rig.open(), wk::kOpenSuccess);
    EXPECT_EQ(hex(rig.device.received()), "00 04 55 00 02 ");
    EXPECT_TRUE(rig.keyer.isOpen());
    EXPECT_EQ(rig.keyer.version(), 23);
    EXPECT_TRUE(rig.device.hostOpen());
}

TEST(WinKeyOpen, AlreadyOpenSendsNothing) {
    KeyerRig rig;
    ASSERT_EQ(rig.open(), wk::kOpenSuccess);
    rig.device.clearReceived();
    int version = 0;
    EXPECT_EQ(rig.keyer.wkOpen(7, version), wk::kAlreadyOpen);
    QThread::msleep(30);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.device.received(), "");
}

TEST(WinKeyOpen, FailureCodes) {
    {
        KeyerRig rig;
        rig.device.echo = test::FakeWinKeyer::Echo::None;
        EXPECT_EQ(rig.open(), wk::kNoEchoResponse);
        EXPECT_FALSE(rig.keyer.isOpen());
    }
    {
        KeyerRig rig;
        rig.device.echo = test::FakeWinKeyer::Echo::Wrong;
        EXPECT_EQ(rig.open(), wk::kEchoMismatch);
    }
    {
        KeyerRig rig;
        rig.device.answerOpen = false;
        EXPECT_EQ(rig.open(), wk::kNoOpenResponse);
    }
    {
        KeyerRig rig;
        rig.map.write("Ports/COM7", "/dev/no-such-winkey");
        EXPECT_EQ(rig.open(), wk::kComOpenFailed);
        int version = 0;
        EXPECT_EQ(rig.keyer.wkOpen(0, version), wk::kComOpenFailed);
    }
}

TEST(WinKeyCommands, ClearBackspaceSettingsAndCloseByteForByte) {
    KeyerRig rig;
    ASSERT_EQ(rig.open(), wk::kOpenSuccess);
    rig.device.clearReceived();
    rig.keyer.wkWpm(28);
    rig.keyer.wkWeight(50);
    rig.keyer.wkPttLeadTail(1, 2);
    rig.keyer.wkDitDahRatio(45);
    rig.keyer.wkPinConfig(6);
    rig.keyer.wkSetMode(16);
    rig.keyer.wkClearBuffer();
    rig.keyer.wkBackspace();
    rig.keyer.wkClose();
    ASSERT_TRUE(rig.seen(17));
    EXPECT_EQ(hex(rig.device.received()), "02 1C 03 32 04 01 02 17 2D 09 06 0E 10 0A 08 00 03 ");
    EXPECT_FALSE(rig.keyer.isOpen());
    EXPECT_EQ(rig.keyer.version(), 0);
    // Closed: nothing more goes out.
    rig.keyer.wkWpm(20);
    EXPECT_EQ(rig.device.received().size(), 17u);
}

TEST(WinKeyTransmit, SendsTheBufferAndOpensWhenNeeded) {
    KeyerRig rig;
    ASSERT_EQ(rig.open(), wk::kOpenSuccess);
    rig.buffer.append(std::string("cq\x0a\x01 de!\0", 9));
    rig.keyer.transmitBuffer();
    ASSERT_TRUE(
        runUntil([&] { return rig.device.characters().size() >= 6 && rig.buffer.bufferEmpty(); }));
    // Control bytes would be commands to the keyer and are never passed on.
    EXPECT_EQ(rig.device.characters(), "CQ DE!");
    EXPECT_TRUE(rig.buffer.bufferEmpty()) << rig.buffer.buffer();
    EXPECT_EQ(rig.device.received().find('\x0a'), std::string::npos);
}

TEST(WinKeyTransmit, WaitsWhileTheKeyerIsFull) {
    KeyerRig rig;
    rig.device.holdAfterFirstCharacter = true;
    ASSERT_EQ(rig.open(), wk::kOpenSuccess);
    rig.buffer.append("ABCDEF");
    rig.keyer.transmitBuffer();
    ASSERT_TRUE(runUntil([&] { return rig.keyer.wkGetStatus() >= wk::kStatusHoldOff; }));
    runUntil([] { return false; }, 150);
    std::size_t whileHeld = rig.device.characters().size();
    EXPECT_LE(whileHeld, 2u);
    EXPECT_TRUE(rig.keyer.transmitting());
    rig.device.release = true;
    ASSERT_TRUE(runUntil([&] { return rig.device.characters() == "ABCDEF"; }));
    EXPECT_FALSE(rig.keyer.transmitting());
}

TEST(WinKeyTransmit, AKeyerThatStopsAnsweringIsGivenUp) {
    KeyerRig rig;
    rig.device.holdAfterFirstCharacter = true;
    rig.device.silentWhileHeld = true;
    rig.keyer.setStallTimeoutMs(100);
    ASSERT_EQ(rig.open(), wk::kOpenSuccess);
    rig.buffer.append("ABCDEF");
    rig.keyer.transmitBuffer();
    std::vector<std::string> told;
    rig.keyer.setProblemHandler([&told](const std::string& problem) { told.push_back(problem); });
    ASSERT_TRUE(runUntil([&] { return !rig.keyer.transmitting(); }, 3000));
    EXPECT_TRUE(rig.buffer.bufferEmpty());
    EXPECT_FALSE(rig.keyer.lastProblem().empty());
    EXPECT_EQ(told, std::vector<std::string>{rig.keyer.lastProblem()});
    EXPECT_FALSE(rig.keyer.isOpen()) << "given up means closed";
    // It asked for the status once before giving up.
    EXPECT_NE(rig.device.received().find('\x15'), std::string::npos);
}

TEST(WinKeyTransmit, AFailedOpenEmptiesTheBuffer) {
    KeyerRig rig;
    rig.device.echo = test::FakeWinKeyer::Echo::None;
    int opens = 0;
    rig.keyer.setOpenRequest([&] {
        ++opens;
        int version = 0;
        rig.keyer.wkOpen(7, version);
    });
    rig.buffer.append("VVV TEST");
    rig.keyer.transmitBuffer();
    EXPECT_EQ(opens, 1);
    EXPECT_TRUE(rig.buffer.bufferEmpty());
}

} // namespace
} // namespace wexon::platform
