// Two figures of the keying paths that go through real devices:
//  1. Key-edge accuracy through the serial RTS line on a pseudo-terminal. A
//     pty refuses modem-line ioctls, so the program re-runs itself with a
//     preloaded shim that answers them and stamps each call; the stamps are
//     compared with the ideal edge times (PARIS ten times at 13, 30, 60 WPM,
//     idle and with every core busy).
//  2. The delay from an F-key press to the first byte reaching a WinKey on a
//     pty (a fake keyer answering the host protocol).
// WEXON_CW_BENCH_REPS sets the number of PARIS words (default 10).

#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QThread>

#include "core/clock.h"
#include "core/settings_store.h"
#include "keying/cw_engine.h"
#include "keying/cw_keyer.h"
#include "keying/edge_timing.h"
#include "keying/element_clock.h"
#include "keying/fake_winkeyer.h"
#include "platform/key_line_serial.h"
#include "platform/winkey_keyer.h"
#include "support/rts_shim_loader.h"
#include "support/temp_dir.h"

namespace {

using namespace wexon;

class BusyCores {
  public:
    explicit BusyCores(bool on) {
        if (!on) {
            return;
        }
        unsigned n = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < n; ++i) {
            m_threads.emplace_back([this] {
                volatile double x = 1.0;
                while (!m_stop.load(std::memory_order_relaxed)) {
                    x = x * 1.0000001 + 0.5;
                }
            });
        }
    }
    ~BusyCores() {
        m_stop = true;
        for (auto& t : m_threads) {
            t.join();
        }
    }

  private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

class BenchHost : public keying::CwHost {
  public:
    std::string callText() const override { return "K1ABC"; }
    std::string serialText() const override { return "012"; }
    std::string reportSentText() const override { return "599"; }
    void logContact() override {}
    void showDialogText(const std::string&) override {}
};

int repetitions() {
    const char* env = std::getenv("WEXON_CW_BENCH_REPS");
    int n = env != nullptr ? std::atoi(env) : 10;
    return n > 0 ? n : 10;
}

void serialEdges() {
    int master = -1;
    int slave = -1;
    char name[256];
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::printf("serial path: no pseudo-terminal\n");
        return;
    }
    platform::SerialKeyLine line;
    if (!line.open(name, platform::SerialKeyLine::Line::Rts).empty()) {
        std::printf("serial path: cannot open %s\n", name);
        return;
    }
    std::string text;
    for (int i = 0; i < repetitions(); ++i) {
        text += "PARIS ";
    }
    for (bool load : {false, true}) {
        for (double wpm : {13.0, 30.0, 60.0}) {
            keying::MonotonicElementClock clock;
            keying::CwEngine engine(clock, nullptr, true);
            engine.setInterface(1);
            engine.setSpeed(wpm);
            engine.setKeyLine(&line);
            BusyCores busy(load);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            test::resetShim();
            engine.appendAndPump(text);
            engine.waitUntilIdle(std::chrono::minutes(10));
            std::vector<keying::KeyEdge> edges;
            for (const auto& e : test::shimEvents()) {
                if (e.request == 1 || e.request == 2) {
                    edges.push_back({e.request == 1, e.ns});
                }
            }
            auto s = keying::summarizeEdgeErrors(edges, keying::unitsOfText(text), wpm);
            std::printf("serial RTS %2.0f WPM  %-7s  real-time %-3s  %s\n", wpm,
                        load ? "loaded" : "idle", engine.realTimeGranted() ? "yes" : "no",
                        keying::formatEdgeSummary(s).c_str());
            std::fflush(stdout);
            engine.setKeyLine(nullptr);
        }
    }
    line.close();
    ::close(master);
    ::close(slave);
}

void winKeyDelay() {
    test::FakeWinKeyer device;
    core::MemorySettingsStore map;
    map.write("Ports/COM9", device.slavePath());
    BenchHost host;
    core::SystemClock clock;
    keying::MonotonicElementClock elementClock;
    keying::CwKeyer keyer(host, elementClock, clock, false);
    platform::WinKeyer winKey(keyer.engine(), &map);
    int version = 0;
    if (winKey.wkOpen(9, version) != 0) {
        std::printf("WinKey: the fake keyer did not open\n");
        return;
    }
    keyer.setWinKey(&winKey);
    keying::CwSettings settings;
    settings.interface = 5;
    settings.messages[1] = "TU *#";
    keyer.applySettings(settings);
    std::vector<double> delays;
    for (int i = 0; i < 50; ++i) {
        // Let the previous message drain first.
        while (winKey.transmitting()) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        std::int64_t before = device.lastCharacterNs.load();
        std::int64_t start = elementClock.nowNs();
        keyer.fKeyCW(113);
        while (device.lastCharacterNs.load() == before) {
            QCoreApplication::processEvents();
            if (elementClock.nowNs() - start > 2'000'000'000) {
                break;
            }
        }
        delays.push_back((device.lastCharacterNs.load() - start) / 1e6);
    }
    std::sort(delays.begin(), delays.end());
    std::printf("WinKey F-key to first byte: p50 %.3f ms  p99 %.3f ms  max %.3f ms (%zu presses)\n",
                delays[delays.size() / 2], delays[delays.size() * 99 / 100 - 1], delays.back(),
                delays.size());
}

} // namespace

int main(int argc, char** argv) {
    if (!test::shimLoaded()) {
        test::TempDir dir;
        std::string shim = test::buildShim(WEXON_SOURCE_DIR, dir.path());
        if (shim.empty()) {
            std::printf("the modem-line shim did not compile\n");
            return 1;
        }
        std::vector<std::string> args(argv, argv + argc);
        char self[4096];
        ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        if (n <= 0) {
            return 1;
        }
        self[n] = '\0';
        args[0] = self;
        return test::runUnderShim(shim, args) == 0 ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    serialEdges();
    winKeyDelay();
    return 0;
}
