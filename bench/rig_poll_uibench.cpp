// A complete poll cycle (send tick, the rig's answer, read tick and parse) of a
// Kenwood on a pseudo-terminal set to 38400 baud, against the time the same
// bytes take on a real 38400-baud line.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/settings_store.h"
#include "platform/rig_timers.h"
#include "platform/serial_port.h"
#include "rig/fake_rig.h"
#include "rig/rig_controller.h"

using namespace wexon;

namespace {

struct Count : rig::RigEvents {
    int readings = 0;
    void readingTaken(const rig::TickReport&) override { ++readings; }
    void frequencyForLog(float) override {}
    void modeForLog(const std::string&) override {}
    void portFailed(const std::string&) override {}
    void operationFailed(const std::string&, const std::string&) override {}
};

// Not used by the cycle itself; the controller wants one.
struct NoTimer : rig::PollTimer {
    bool active = false;
    void start(int) override { active = true; }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    test::PtyPair pty;
    core::MemorySettingsStore map;
    map.write("Ports/COM1", pty.slavePath());
    platform::SerialPort port(&map);
    platform::QtScheduler scheduler;
    NoTimer timer;
    core::SystemClock clock;
    Count events;
    rig::RigController rig({&port, &timer, &scheduler, &clock, &events, ""});
    rig.settings().rigName = "Kenwood";
    rig.settings().frequencyRead = "FA;";
    rig.settings().modeRead = "MD;";
    rig.settings().baud = "38400";
    rig.settings().portSettings = "38400,N,8,1";
    test::FakeRig fake(pty, test::FakeRig::Framing::Semicolon, [](const std::string& r) {
        return std::string(r == "FA;" ? "FA00014025000;" : r == "MD;" ? "MD3;" : "");
    });
    if (rig.test() != rig::RigController::TestResult::Polling) {
        std::fprintf(stderr, "cannot open the pty\n");
        return 1;
    }
    // The test's own first send tick has been answered: clear it away.
    test::spinFor(50);
    port.readAll();
    const rig::RigProfile& profile = rig.profile();
    rig::PollState poll;
    rig::RigReading reading;
    const int cycles = 500;
    std::vector<double> ms;
    for (int i = 0; i < cycles; ++i) {
        QElapsedTimer t;
        t.start();
        // What the send and read ticks do, with the read taken as soon as the
        // whole answer is in rather than at the next timer tick.
        port.write(rig::pollCommand(profile, rig.settings(), poll));
        std::string received;
        while (received.size() < 18 && t.elapsed() < 1000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            received += port.readAll();
        }
        reading.frequency = 0;
        rig::parseReply(profile, rig.settings(), poll.nextQuery, received, reading);
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (reading.frequency != 14.025f) {
            std::fprintf(stderr, "cycle %d: no reading\n", i);
            return 1;
        }
    }
    std::sort(ms.begin(), ms.end());
    const double bits = (6 + 18) * 10.0; // "FA;MD;" out, "FA00014025000;MD3;" back
    const double wire = bits / 38400.0 * 1000.0;
    std::printf("Kenwood poll cycle on a pty, %d cycles\n", cycles);
    std::printf("  wire time of the bytes at 38400 baud: %.3f ms\n", wire);
    std::printf(
        "  program's cycle (pty has no line delay): median %.3f ms, 95th %.3f ms, max %.3f ms\n",
        ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back());
    std::printf("  added to the wire time (median): %.3f ms (limit 2 ms)\n", ms[ms.size() / 2]);
    rig.endTest();
    return 0;
}
