#include "platform/key_line_serial.h"

#include <chrono>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/settings_store.h"
#include "keying/cw_engine.h"
#include "keying/element_clock.h"
#include "keying/keying_fakes.h"
#include "platform/key_line_parallel.h"
#include "platform/parallel_port.h"
#include "support/rts_shim_loader.h"
#include "support/temp_dir.h"

namespace wexon::platform {
namespace {

using namespace std::chrono_literals;

struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty() {
        char name[256];
        EXPECT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        path = name;
    }
    ~Pty() {
        ::close(master);
        ::close(slave);
    }
};

TEST(SerialKeyLine, OpensAPtyAndRefusesWhatIsNotASerialPort) {
    Pty pty;
    SerialKeyLine line;
    EXPECT_EQ(line.open(pty.path, SerialKeyLine::Line::Rts), "");
    EXPECT_TRUE(line.isOpen());
    line.setKey(true); // a pty refuses the ioctl; nothing breaks
    line.setKey(false);
    line.close();
    EXPECT_FALSE(line.isOpen());

    EXPECT_FALSE(line.open("/dev/no-such-port", SerialKeyLine::Line::Dtr).empty());
    EXPECT_FALSE(line.isOpen());
    test::TempDir dir;
    dir.write("plain", "x");
    EXPECT_EQ(line.open(dir.file("plain"), SerialKeyLine::Line::Rts), "not a serial port");
    line.setKey(true); // closed: ignored
}

// Runs under the shim only: checks each edge reaches the chosen line.
TEST(SerialKeyLineUnderShim, EdgesSwitchTheChosenLine) {
    if (!test::shimLoaded()) {
        GTEST_SKIP() << "runs under the modem-line shim";
    }
    Pty pty;
    SerialKeyLine line;
    ASSERT_EQ(line.open(pty.path, SerialKeyLine::Line::Rts), "");
    test::resetShim();
    test::VirtualElementClock clock;
    keying::CwEngine engine(clock, nullptr, false);
    engine.setInterface(1);
    engine.setSpeed(20);
    engine.setKeyLine(&line);
    engine.appendAndPump("A");
    ASSERT_TRUE(engine.waitUntilIdle(5s));
    line.setLine(SerialKeyLine::Line::Dtr);
    engine.appendAndPump("E");
    ASSERT_TRUE(engine.waitUntilIdle(5s));
    auto events = test::shimEvents();
    ASSERT_EQ(events.size(), 6u);
    int expected[][2] = {{1, TIOCM_RTS}, {2, TIOCM_RTS}, {1, TIOCM_RTS},
                         {2, TIOCM_RTS}, {1, TIOCM_DTR}, {2, TIOCM_DTR}};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(events[i].request, expected[i][0]) << i;
        EXPECT_EQ(events[i].bits, expected[i][1]) << i;
    }
    engine.setKeyLine(nullptr);
}

TEST(SerialKeyLine, ShimRun) {
    if (test::shimLoaded()) {
        GTEST_SKIP() << "already under the shim";
    }
    test::TempDir dir;
    std::string shim = test::buildShim(WEXON_SOURCE_DIR, dir.path());
    ASSERT_FALSE(shim.empty()) << "the shim did not compile";
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = '\0';
    int status = test::runUnderShim(
        shim, {self, "--gtest_filter=SerialKeyLineUnderShim.*", "--gtest_brief=1"});
    EXPECT_EQ(status, 0);
}

TEST(ParallelPort, AddressesMapToDevices) {
    core::MemorySettingsStore map;
    EXPECT_EQ(parallelPortDevice(&map, 0x378), "/dev/parport0");
    EXPECT_EQ(parallelPortDevice(&map, 0x278), "/dev/parport1");
    EXPECT_EQ(parallelPortDevice(&map, 0x3BC), "");
    map.write("Ports/LPT3BC", "/dev/parport2");
    EXPECT_EQ(parallelPortDevice(&map, 0x3BC), "/dev/parport2");
    EXPECT_EQ(parallelPortDevice(nullptr, 0x378), "/dev/parport0");
}

TEST(ParallelPort, AMissingPortSaysWhyAndKeysNothing) {
    ParallelKeyLine line;
    std::string why = line.open("/dev/no-such-parport");
    EXPECT_NE(why.find("/dev/no-such-parport"), std::string::npos);
    EXPECT_FALSE(line.isOpen());
    line.setKey(true);
    EXPECT_FALSE(line.open("").empty());
    // A file that is not a parallel port is not claimed.
    test::TempDir dir;
    dir.write("lp", "");
    EXPECT_FALSE(line.open(dir.file("lp")).empty());
    EXPECT_FALSE(line.isOpen());
}

} // namespace
} // namespace wexon::platform
