// How long a key takes to show in the main window's call box while a DX
// cluster bursts 5,000 spot lines over Telnet (five bursts, one connection
// each), on the offscreen platform. The whole program's window is used: the
// main window with its station tools and spot displays, the band map strip
// open, the spotting window receiving from a cluster on 127.0.0.1. A key is
// posted every 5 ms; its latency runs from the post to the call box painting
// the character. With WEXON_BENCH_ACCESSIBLE=1 the accessibility bridge is
// switched on, as with a screen reader attached (under X11 with an AT-SPI bus,
// QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 does the same through the real bridge).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/preferences.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/main/main_window.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/spotting_window.h"
#include "ui/spots/station_spots.h"
#include "ui/station/startup.h"
#include "ui/station/station_tools.h"

using namespace wexon;

namespace {

constexpr int kLines = 5000;
constexpr int kKeyEveryMs = 5;
constexpr int kBursts = 5;

// Every other line comes from a skimmer, in the skimmers' own layout, so the
// bursts also fold reports of one signal into one spot and mark each spot.
std::string skimmerBurstLine(int burst, int i) {
    const std::string khz = std::to_string(14000 + (i * 7) % 350) + ".1";
    return "DX de DK" + std::to_string(i % 5) + "IP-#:    " + khz + "  K" +
           std::to_string(i % 97) + "ABC       CW    18 dB  26 WPM  CQ b" +
           std::to_string(burst) + "n" + std::to_string(i) + " 1234Z\r\n";
}

std::string clusterLine(int burst, int i) {
    if (i % 2 == 1 && i != kLines - 1) {
        return skimmerBurstLine(burst, i);
    }
    const std::string khz = std::to_string(14000 + (i * 7) % 350) + "." + std::to_string(i % 10);
    std::string line = "DX de W1XX:";
    line.resize(15, ' ');
    line += std::string(9 - khz.size(), ' ') + khz + "  K" + std::to_string(i % 97) + "ABC";
    line.resize(39, ' ');
    line += "CQ WPX b" + std::to_string(burst) + "n" + std::to_string(i) + " ";
    line.resize(70, ' ');
    return line + "1234Z\r\n";
}

// A cluster on its own thread, so that it sends as fast as the socket takes,
// in writes of uneven sizes so that lines are split between reads. Each of
// kBursts connections in turn gets one burst.
class BurstingCluster {
  public:
    BurstingCluster() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_listener, 1);
        socklen_t len = sizeof addr;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] {
            for (int burst = 0; burst < kBursts; ++burst) {
                serve(burst);
            }
        });
    }
    ~BurstingCluster() {
        m_thread.join();
        ::close(m_listener);
    }
    int port() const { return m_port; }

  private:
    void serve(int burst) {
        const int c = ::accept(m_listener, nullptr, nullptr);
        if (c < 0) {
            return;
        }
        std::string all = "login: \r\n";
        for (int i = 0; i < kLines; ++i) {
            all += clusterLine(burst, i);
        }
        std::size_t off = 0;
        while (off < all.size()) {
            const std::size_t n = std::min<std::size_t>(all.size() - off, 1000 + off % 777);
            const ssize_t w = ::write(c, all.data() + off, n);
            if (w <= 0) {
                break;
            }
            off += static_cast<std::size_t>(w);
        }
        // The client closes first, when it has taken the burst.
        char sink[256];
        while (::read(c, sink, sizeof sink) > 0) {
        }
        ::close(c);
    }

    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};

// Times a posted key until the call box paints it.
class KeyTimer : public QObject {
  public:
    explicit KeyTimer(QLineEdit* box) : m_box(box) { qApp->installEventFilter(this); }

    void post() {
        if (m_waiting && m_posted.elapsed() < kLostAfterMs) {
            return;
        }
        if (m_waiting) {
            ++lost; // never painted within the limit
        }
        if (m_box->text().size() > 10) {
            m_box->clear();
        }
        m_length = m_box->text().size();
        m_waiting = true;
        m_posted.start();
        QCoreApplication::postEvent(
            m_box, new QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, "K"));
    }
    std::vector<double> latencies;
    int lost = 0;
    static constexpr int kLostAfterMs = 2000;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_waiting && watched == m_box && event->type() == QEvent::Paint &&
            m_box->text().size() > m_length) {
            latencies.push_back(m_posted.nsecsElapsed() / 1e6);
            m_waiting = false;
        }
        return false;
    }

  private:
    QLineEdit* m_box;
    QElapsedTimer m_posted;
    qsizetype m_length = 0;
    bool m_waiting = false;
};

void report(const char* what, std::vector<double> v) {
    if (v.empty()) {
        std::printf("%s: nothing measured\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    std::printf("%s: %zu keys, median %.3f ms, p99 %.3f ms, max %.3f ms\n", what, v.size(),
                v[v.size() / 2], v[v.size() * 99 / 100], v.back());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (qEnvironmentVariableIntValue("WEXON_BENCH_ACCESSIBLE") == 1) {
        QAccessible::setActive(true);
    }

    // A working folder as the program finds it: preferences, country table and
    // a short log.
    test::TempDir dir;
    core::Preferences prefs;
    prefs.ownCall = "W1AW";
    prefs.utcOffset = 5;
    prefs.band = "20";
    std::filesystem::create_directories(dir.file("work"));
    std::filesystem::create_directories(dir.file("docs"));
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    const std::string countries = std::string(WEXON_SOURCE_DIR) + "/data/arrlpre2.txt";
    if (std::filesystem::exists(countries)) {
        std::filesystem::copy_file(countries, dir.file("work/arrlpre2.txt"));
    }

    test::FakeClock clock;
    test::FakePrompts prompts;
    prompts.questionAnswers = {true};
    core::MemorySettingsStore settings;
    core::SharedPreferences shared;
    ui::MainWindowServices services;
    services.prompts = &prompts;
    services.clock = &clock;
    services.settings = &settings;
    services.shared = &shared;
    services.folders = ui::resolveFolders(QString::fromStdString(dir.file("work")),
                                          QString::fromStdString(dir.file("docs")), prompts);
    ui::ensureFolderWithMessages(services.folders.backup, true, prompts);
    services.screenWidth = 1280;
    services.runModal = [](QDialog&) { return 0; };

    ui::MainWindow window(services);
    ui::StationTools tools(window, services);
    ui::StationSpots spots(window, services, tools);
    window.formLoad();
    window.resize(1200, 800);
    window.show();

    BurstingCluster cluster;
    ui::SpottingWindow* sw = spots.controller().spottingWindow();
    auto* sources = sw->findChild<QListWidget*>("List1");
    sources->setCurrentRow(2);
    sw->list1Click(2); // Telnet
    sw->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
    sw->findChild<QLineEdit*>("txtTelnetPort")->setText(QString::number(cluster.port()));
    sw->findChild<QRadioButton*>("OptBand")->setChecked(true);
    sw->findChild<QPushButton*>("cmdDone")->click(); // opens the connection and the strip

    auto* callBox = window.findChild<QLineEdit*>("txtCall");
    window.activateWindow();
    callBox->setFocus();

    // A key every 5 ms, during the bursts and for a second after them.
    KeyTimer keys(callBox);
    QTimer typing;
    typing.setInterval(kKeyEveryMs);
    QObject::connect(&typing, &QTimer::timeout, [&] { keys.post(); });
    typing.start();

    std::vector<double> duringBurst;
    int lostDuringBurst = 0;
    std::vector<double> burstMs;
    for (int burst = 0; burst < kBursts; ++burst) {
        if (burst > 0) {
            sw->openPort(); // closes and reconnects: the cluster's next burst
        }
        QElapsedTimer total;
        total.start();
        std::string lastMark = "b";
        lastMark += std::to_string(burst);
        lastMark += "n";
        lastMark += std::to_string(kLines - 1);
        auto finished = [&] {
            const auto& rows = spots.controller().listRows();
            return rows.size() > 0 && rows.row(0).comments.ends_with(lastMark);
        };
        keys.latencies.clear();
        while (!finished() && total.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        burstMs.push_back(finished() ? total.nsecsElapsed() / 1e6 : -1.0);
        duringBurst.insert(duringBurst.end(), keys.latencies.begin(), keys.latencies.end());
        lostDuringBurst += keys.lost;
        keys.lost = 0;
    }
    keys.latencies.clear();
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    typing.stop();

    std::printf("%d bursts of %d spot lines over Telnet into the main window took", kBursts,
                kLines);
    for (double ms : burstMs) {
        if (ms < 0) {
            std::printf(" (not finished)");
        } else {
            std::printf(" %.0f ms", ms);
        }
    }
    std::printf("; store slot 49 = %s, spot list rows = %zu\n",
                spots.controller().store().slot(49).call.c_str(),
                spots.controller().listRows().size());
    // The bridge to a screen reader comes up with the event loop.
    std::printf("accessibility %s, platform %s\n", QAccessible::isActive() ? "on" : "off",
                qPrintable(QGuiApplication::platformName()));
    report("key to call box painted, during the bursts", duringBurst);
    report("key to call box painted, with the cluster quiet", keys.latencies);
    std::printf("keys not painted within %d ms: %d during the bursts, %d quiet\n",
                KeyTimer::kLostAfterMs, lostDuringBurst, keys.lost);
    spots.shutdown();
    tools.shutdown();
    return 0;
}
