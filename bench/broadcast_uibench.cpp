// What the UDP broadcasts and live score posting cost the operator: the time to
// type and log one contact on a 10000-contact log with both off, and with both
// on (broadcasts to a listener on this machine, posting to a scoreboard that
// never answers), and the time of the work done after each contact (making and
// sending the messages and the score report).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QUdpSocket>

#include "core/log_file.h"
#include "core/number_format.h"
#include "core/preferences.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/main/main_window.h"
#include "ui/station/startup.h"
#include "ui/station/station_broadcasts.h"
#include "ui/station/station_window.h"

using namespace wexon;

namespace {

constexpr int kLogSize = 10000;
constexpr int kTimed = 100;

std::string benchLog() {
    std::vector<core::QsoRecord> log;
    for (int n = 1; n <= kLogSize; ++n) {
        core::QsoRecord r;
        r.call = "K" + std::to_string(n) + "AA";
        r.rstReceived = "599";
        r.serialReceived = std::to_string(n);
        r.rstSent = "599";
        r.country = "USA";
        r.qsoDate = "2026/05/30";
        r.qsoTime = "00:00:00";
        r.band = "20";
        r.points = 1;
        r.prefix = "K" + std::to_string(n % 500);
        r.serialSent = core::zeroPad(n, 3);
        log.push_back(r);
    }
    return core::formatLog(log);
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures summary(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    test::TempDir dir;
    test::FakeClock clock;
    test::FakePrompts prompts;
    core::MemorySettingsStore settings;
    core::SharedPreferences shared;

    core::Preferences prefs;
    prefs.ownCall = "W1AW";
    prefs.utcOffset = 5;
    prefs.ownCountry = "USA";
    prefs.ownContinent = "NA";
    std::filesystem::create_directories(dir.file("docs"));
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    dir.write("work/arrlpre2.txt", "\"DL\",\"Germany\",\"EU\",-10,51,\"230\",\"14\",\"28\"\r\n"
                                   "\"K\",\"USA\",\"NA\",97,38,\"291\",\"5\",\"8\"\r\n");
    dir.write("work/log.txt", benchLog());

    QUdpSocket listener;
    listener.bind(QHostAddress::LocalHost, 0, QAbstractSocket::ShareAddress);
    QTcpServer silentScoreboard; // takes the connection, never answers
    silentScoreboard.listen(QHostAddress::LocalHost, 0);

    ui::MainWindowServices s;
    s.prompts = &prompts;
    s.clock = &clock;
    s.settings = &settings;
    s.shared = &shared;
    s.folders = ui::resolveFolders(QString::fromStdString(dir.file("work")),
                                   QString::fromStdString(dir.file("docs")), prompts);
    ui::ensureFolderWithMessages(s.folders.backup, true, prompts);
    s.screenWidth = 1920;
    s.runModal = [](QDialog& dialog) {
        if (auto* station = qobject_cast<ui::StationWindow*>(&dialog)) {
            station->command1Click();
        }
        return 0;
    };
    prompts.questionAnswers = {true};
    ui::MainWindow window(s);
    ui::StationBroadcasts broadcasts(window, s);
    if (window.formLoad() != ui::MainWindow::LoadOutcome::Ready) {
        std::printf("the main window did not start\n");
        return 1;
    }
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();

    // A key as the keyboard sends it: press and release, to the focused box.
    auto press = [&](int key, const QString& text) {
        QWidget* target = window.focusWidget();
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(window.focusWidget(), &up);
    };
    int callNumber = 0;
    auto logOne = [&] {
        auto* call = window.findChild<QLineEdit*>("txtCall");
        call->setFocus();
        const std::string keys = "dl" + std::to_string(++callNumber) + "xyz59912";
        for (char c : keys) {
            const QChar upper = QChar(c).toUpper();
            press(upper.unicode(), QString(QChar(c)));
        }
        press(Qt::Key_Return, "\r");
    };
    // Each contact: the keystrokes and Enter (logging), then the work queued
    // for the event loop (messages, score), timed apart.
    auto run = [&](const char* name) {
        std::vector<double> logging;
        std::vector<double> after;
        for (int i = 0; i < kTimed; ++i) {
            auto start = std::chrono::steady_clock::now();
            logOne();
            logging.push_back(msSince(start));
            start = std::chrono::steady_clock::now();
            QCoreApplication::processEvents();
            after.push_back(msSince(start));
            while (listener.hasPendingDatagrams()) {
                listener.receiveDatagram();
            }
        }
        const Figures l = summary(logging);
        const Figures a = summary(after);
        std::printf("%-34s type+log median %6.2f ms, worst %6.2f ms; "
                    "work after it median %6.2f ms, worst %6.2f ms\n",
                    name, l.median, l.worst, a.median, a.worst);
    };

    run("broadcasts and posting off");

    output::BroadcastSettings on;
    on.enabled = true;
    on.destinations = "127.0.0.1:" + std::to_string(listener.localPort());
    on.save(settings);
    output::ScorePostingSettings posting;
    posting.enabled = true;
    posting.url = "http://127.0.0.1:" + std::to_string(silentScoreboard.serverPort()) + "/";
    posting.save(settings);
    broadcasts.applySettings();
    QCoreApplication::processEvents();
    run("broadcasts and posting on");
    std::printf("log size %d contacts; datagrams sent %llu, failed %llu; post in flight: %s\n",
                window.contest().qsoCount(),
                static_cast<unsigned long long>(broadcasts.sentCount()),
                static_cast<unsigned long long>(broadcasts.failedCount()),
                broadcasts.poster().busy() ? "yes" : "no");
    broadcasts.shutdown();
    return 0;
}
