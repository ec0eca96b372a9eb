#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "core/settings_store.h"
#include "platform/serial_port.h"
#include "rig/pty_pair.h"

using namespace wexon;

namespace {

// Runs the event loop until `done` holds or `ms` pass.
template <typename F> bool spinUntil(F done, int ms = 1000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

struct PortOnPty : ::testing::Test {
    test::PtyPair pty;
    core::MemorySettingsStore map;
    platform::SerialPort port{&map};

    void SetUp() override { map.write("Ports/COM3", pty.slavePath()); }
    std::string openCom3(const std::string& settings = "9600,N,8,1") {
        rig::PortRequest r;
        r.portNumber = 3;
        r.settings = settings;
        return port.open(r);
    }
};

} // namespace

TEST(SerialPortMap, UnmappedNumbersNameTheStandardDevices) {
    core::MemorySettingsStore map;
    EXPECT_EQ(platform::portDevice(&map, 1), "/dev/ttyS0");
    EXPECT_EQ(platform::portDevice(&map, 10), "/dev/ttyS9");
    EXPECT_EQ(platform::portDevice(nullptr, 2), "/dev/ttyS1");
    map.write("Ports/COM2", "/dev/ttyUSB0");
    EXPECT_EQ(platform::portDevice(&map, 2), "/dev/ttyUSB0");
    EXPECT_EQ(platform::portDevice(&map, 1), "/dev/ttyS0");
}

TEST(SerialLineSettings, AcceptsTheFourFieldsAndRefusesTheRest) {
    auto s = platform::parseLineSettings("4800,N,8,2");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->baud, 4800);
    EXPECT_EQ(s->parity, 'N');
    EXPECT_EQ(s->dataBits, 8);
    EXPECT_EQ(s->stopBits, 2);
    auto e = platform::parseLineSettings("56000,E,7,1");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->parity, 'E');
    EXPECT_EQ(e->dataBits, 7);
    for (const char* bad : {"", "9600", "9600,N,8", "9600,N,8,1,1", "96x0,N,8,1", "9600,X,8,1",
                            "9600,N,9,1", "9600,N,8,3", "0,N,8,1", "9600,NN,8,1"}) {
        EXPECT_FALSE(platform::parseLineSettings(bad)) << bad;
    }
}

TEST(SerialFailureMessages, EachOwnerHasItsTitleAndText) {
    using platform::PortOwner;
    EXPECT_STREQ(platform::portFailureMessage(PortOwner::Rig).title, "Invalid Comm Settings.");
    EXPECT_STREQ(platform::portFailureMessage(PortOwner::Spotting).title, "Invalid Comm Settings.");
    EXPECT_STREQ(platform::portFailureMessage(PortOwner::Cw).title, "Invalid port.");
    EXPECT_STREQ(platform::portFailureMessage(PortOwner::Voice).title, "Invalid port.");
    EXPECT_NE(std::string(platform::portFailureMessage(PortOwner::Rig).text).find("rig interface"),
              std::string::npos);
    EXPECT_NE(std::string(platform::portFailureMessage(PortOwner::Spotting).text)
                  .find("for DX Spotting is either"),
              std::string::npos);
    EXPECT_NE(std::string(platform::portFailureMessage(PortOwner::Cw).text).find("CW keying"),
              std::string::npos);
    EXPECT_NE(std::string(platform::portFailureMessage(PortOwner::Voice).text).find("Phone keying"),
              std::string::npos);
}

TEST(SerialPortOpen, AMissingDeviceOrBadSettingsLeaveThePortClosed) {
    core::MemorySettingsStore map;
    map.write("Ports/COM4", "/nonexistent/serial-device");
    platform::SerialPort port(&map);
    rig::PortRequest r;
    r.portNumber = 4;
    r.settings = "9600,N,8,1";
    EXPECT_FALSE(port.open(r).empty());
    EXPECT_FALSE(port.isOpen());
    r.portNumber = 0;
    EXPECT_FALSE(port.open(r).empty());
    EXPECT_FALSE(port.write("x"));
}

TEST_F(PortOnPty, BadSettingsTextIsRefusedBeforeOpening) {
    EXPECT_FALSE(openCom3("9600,Q,8,1").empty());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PortOnPty, EveryByteValuePassesUnchangedBothWays) {
    ASSERT_EQ(openCom3("38400,N,8,1"), "");
    ASSERT_TRUE(port.isOpen());
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all.push_back(static_cast<char>(i));
    }
    ASSERT_TRUE(port.write(all));
    EXPECT_TRUE(port.drain());
    EXPECT_EQ(pty.receive(), all);

    pty.send(all);
    std::string got;
    ASSERT_TRUE(spinUntil([&] {
        got += port.readAll();
        return got.size() >= all.size();
    }));
    EXPECT_EQ(got, all);
    EXPECT_EQ(port.readAll(), ""); // reading empties the buffer
}

TEST_F(PortOnPty, ReopeningClosesFirstAndHandshakingOptionsOpen) {
    for (int hs = 0; hs <= 3; ++hs) {
        rig::PortRequest r;
        r.portNumber = 3;
        r.settings = "56000,N,8,1";
        r.handshaking = hs;
        r.powerLine = hs % 2 ? 'R' : 'D';
        r.handshakingAfterLines = hs == 1;
        EXPECT_EQ(port.open(r), "") << hs;
        EXPECT_TRUE(port.isOpen());
    }
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesToWrite(), 0);
}

TEST_F(PortOnPty, KeyingPortsOpenWithoutLineSettings) {
    EXPECT_EQ(openCom3(""), "");
    port.setDtr(true);
    port.setRts(true);
    port.setRts(false);
    EXPECT_TRUE(port.isOpen()); // a pty has no modem lines; that is no failure
}

TEST_F(PortOnPty, DrainEndsAtItsLimitWhenThePeerDoesNotRead) {
    ASSERT_EQ(openCom3("38400,N,8,1"), "");
    // Fill the pseudo-terminal until it no longer takes bytes.
    std::string block(4096, 'x');
    for (int i = 0; i < 64; ++i) {
        port.write(block);
    }
    EXPECT_GT(port.bytesToWrite(), 0);
    QElapsedTimer t;
    t.start();
    bool drained = port.drain(300);
    qint64 took = t.elapsed();
    EXPECT_FALSE(drained);
    EXPECT_GE(took, 290);
    EXPECT_LT(took, 1500);
}

TEST_F(PortOnPty, ReceiveBufferStaysBoundedUnderAFlood) {
    ASSERT_EQ(openCom3("38400,N,8,1"), "");
    std::string noise(platform::SerialPort::kReadBufferLimit * 2, '\xAA');
    // The pty itself only holds a few kilobytes: feed what it takes.
    for (int i = 0; i < 50; ++i) {
        ::write(pty.master(), noise.data(), noise.size());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    std::string got = port.readAll();
    EXPECT_LE(got.size(), static_cast<std::size_t>(platform::SerialPort::kReadBufferLimit));
}

TEST_F(PortOnPty, ADeviceThatVanishesCountsAsClosed) {
    ASSERT_EQ(openCom3("9600,N,8,1"), "");
    pty.releaseSlave();
    pty.closeMaster();
    EXPECT_TRUE(spinUntil(
        [&] {
            port.write("FA;");
            port.readAll();
            return !port.isOpen();
        },
        2000));
    EXPECT_FALSE(port.write("FA;"));
}
