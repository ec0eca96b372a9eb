// Figures for the spot displays, on the offscreen platform:
//  - redrawing the band map with 50 spots on the band;
//  - how long a key takes to reach the call box while a cluster bursts 5,000
//    spot lines over Telnet into the spotting window, the store, the list and
//    the band map.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "spots/fake_spot_host.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/band_map_controller.h"
#include "ui/band_map_widget.h"
#include "ui/spot_list_widget.h"
#include "ui/spotting_window.h"

using namespace wexon;

namespace {

std::string clusterLine(int i) {
    const std::string khz = std::to_string(14000 + (i * 7) % 350) + "." + std::to_string(i % 10);
    std::string line = "DX de W1XX:";
    line.resize(15, ' ');
    line += std::string(9 - khz.size(), ' ') + khz + "  K" + std::to_string(i % 97) + "ABC";
    line.resize(39, ' ');
    line += "CQ WPX n" + std::to_string(i) + " ";
    line.resize(70, ' ');
    return line + "1234Z\r\n";
}

struct Rig {
    QWidget main;
    QLineEdit* callBox = nullptr;
    test::TempDir dir;
    test::FakeSpotHost host;
    test::FakePrompts prompts;
    test::FakeClock clock;
    test::FakeCatPort port;
    test::FakeAgwLink agw;
    std::unique_ptr<ui::BandMapController> controller;

    Rig() {
        main.resize(1000, 700);
        auto* layout = new QVBoxLayout(&main);
        callBox = new QLineEdit(&main);
        callBox->setObjectName("txtCall");
        layout->addWidget(callBox);
        layout->addStretch();
        ui::SpotServices s;
        s.host = &host;
        s.prompts = &prompts;
        s.clock = &clock;
        s.workingFolder = QString::fromStdString(dir.path());
        s.tncPort = &port;
        s.agw = &agw;
        controller = std::make_unique<ui::BandMapController>(std::move(s), &main);
        layout->addWidget(controller->strip());
        ui::SpottingWindow* w = controller->spottingWindow();
        w->findChild<QListWidget*>("List1")->setCurrentRow(2);
        w->list1Click(2); // Telnet
        w->findChild<QRadioButton*>("OptBand")->setChecked(true);
        controller->packetResize();
        main.show();
    }
    ~Rig() { controller->shutdown(); }
};

void bandMapRedraw() {
    Rig rig;
    for (int i = 0; i < 50; ++i) {
        rig.controller->bandMapSpots("K" + std::to_string(i) + "AB",
                                     std::to_string(14001 + i * 7) + ".0", "de W1XX: test");
    }
    QCoreApplication::processEvents();
    const int runs = 500;
    std::vector<double> ms;
    std::vector<double> cpu;
    auto threadCpuMs = [] {
        timespec ts{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    };
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const double c0 = threadCpuMs();
        rig.controller->displayBandMapLabels();
        rig.controller->bandMap()->repaint();
        cpu.push_back(threadCpuMs() - c0);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(cpu.begin(), cpu.end());
    double cpuSum = 0;
    for (double v : cpu) {
        cpuSum += v;
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) {
        sum += v;
    }
    std::printf("band map redraw with 50 spots (labels placed and painted): mean %.3f ms, "
                "median %.3f ms, p99 %.3f ms\n",
                sum / runs, ms[runs / 2], ms[runs * 99 / 100]);
    std::printf("  the same in this thread's processor time (other programs' load left out): "
                "mean %.3f ms, median %.3f ms, p99 %.3f ms\n",
                cpuSum / runs, cpu[runs / 2], cpu[runs * 99 / 100]);
}

void burstKeyLatency() {
    Rig rig;
    // The cluster, on its own thread so that it sends as fast as the socket takes.
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener, 1);
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    const int port = ntohs(addr.sin_port);
    const int lines = 5000;
    std::atomic<bool> sent{false};
    std::thread cluster([&] {
        int c = ::accept(listener, nullptr, nullptr);
        std::string all = "login: \r\n";
        for (int i = 0; i < lines; ++i) {
            all += clusterLine(i);
        }
        std::size_t off = 0;
        while (off < all.size()) {
            // writes of uneven sizes, so lines are split between reads
            const std::size_t n = std::min<std::size_t>(all.size() - off, 1000 + off % 777);
            const ssize_t w = ::write(c, all.data() + off, n);
            if (w <= 0) {
                break;
            }
            off += static_cast<std::size_t>(w);
        }
        sent = true;
        ::sleep(2);
        ::close(c);
    });

    ui::SpottingWindow* w = rig.controller->spottingWindow();
    w->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
    w->findChild<QLineEdit*>("txtTelnetPort")->setText(QString::number(port));
    w->openPort();

    std::vector<double> latencies;
    QElapsedTimer posted;
    bool waiting = false;
    QObject::connect(rig.callBox, &QLineEdit::textChanged, [&] {
        if (waiting) {
            latencies.push_back(posted.nsecsElapsed() / 1e6);
            waiting = false;
        }
    });
    QTimer keys;
    keys.setInterval(5);
    QObject::connect(&keys, &QTimer::timeout, [&] {
        if (waiting) {
            return;
        }
        if (rig.callBox->text().size() > 10) {
            rig.callBox->clear();
        }
        waiting = true;
        posted.start();
        QCoreApplication::postEvent(
            rig.callBox, new QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, "K"));
    });
    keys.start();
    QElapsedTimer total;
    total.start();
    const std::string lastMark = "n" + std::to_string(lines - 1);
    auto finished = [&] {
        const auto& rows = rig.controller->listRows();
        return rows.size() > 0 && rows.row(0).comments.ends_with(lastMark);
    };
    while (!finished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (total.elapsed() > 30000) {
            break;
        }
    }
    const double burstMs = total.nsecsElapsed() / 1e6;
    keys.stop();
    cluster.join();
    ::close(listener);
    std::sort(latencies.begin(), latencies.end());
    if (latencies.empty()) {
        std::printf("no key latencies measured\n");
        return;
    }
    std::printf("burst of %d spot lines over Telnet took %.0f ms; store slot 49 = %s, list rows = "
                "%zu\n",
                lines, burstMs, rig.controller->store().slot(49).call.c_str(),
                rig.controller->listRows().size());
    std::printf("key to call box during the burst: %zu keys, median %.3f ms, p99 %.3f ms, max "
                "%.3f ms\n",
                latencies.size(), latencies[latencies.size() / 2],
                latencies[latencies.size() * 99 / 100], latencies.back());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    bandMapRedraw();
    burstKeyLatency();
    return 0;
}
