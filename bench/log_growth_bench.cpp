// How logging keeps up as the log grows: for logs of 13000, 50000 and 200000
// contacts, the start-up log phase (log.txt read, every index the main window
// needs built, list and labels filled) and the whole path of logging one
// contact through the main window (completeness and duplicate checks, the
// append, the indexes, serial, score, rates, the list and the cleared row).
// The working folder is put in /dev/shm when it exists, so that the disk's
// fsync does not swamp what is measured.
//
// Beside each incremental figure stands the full recompute of the same piece,
// which is what logging one contact would cost if it rebuilt that piece: the
// points sum, the duplicate index, the prefix list, the worked calls of the
// check-partial list and the rates. Another station's contact arriving is
// timed too (the indexes only; the displays are redrawn once per burst).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <time.h>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "core/dupe_index.h"
#include "core/entry_box.h"
#include "core/log_file.h"
#include "core/number_format.h"
#include "core/preferences.h"
#include "core/prefix_list.h"
#include "core/qso_rates.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "core/super_check_partial.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/main/main_window.h"
#include "ui/station/startup.h"

using namespace wexon;

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The processor time this thread has had, in microseconds: on a loaded machine
// it leaves out the time the thread waited for a core.
double threadCpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Calls with many different prefixes: two letters, a district digit, a suffix.
std::string makeCall(std::mt19937& rng) {
    std::uniform_int_distribution<int> letter(0, 25);
    std::uniform_int_distribution<int> digit(0, 9);
    std::string call;
    call += static_cast<char>('A' + letter(rng));
    call += static_cast<char>('A' + letter(rng));
    call += static_cast<char>('0' + digit(rng));
    for (int i = 0; i < 3; ++i) {
        call += static_cast<char>('A' + letter(rng));
    }
    return call;
}

core::QsoRecord makeContact(std::mt19937& rng, int serial, const core::DateTime& at,
                            const char* band) {
    core::QsoRecord r;
    r.call = makeCall(rng);
    r.rstReceived = "599";
    r.serialReceived = std::to_string(serial);
    r.rstSent = "599";
    r.country = "United States";
    r.qsoDate = core::formatDate(at);
    r.qsoTime = core::formatTime(at);
    r.band = band;
    r.points = 3;
    r.prefix = r.call.substr(0, 3);
    r.serialSent = core::zeroPad(serial, 3);
    return r;
}

struct Figures {
    double median = 0;
    double p99 = 0;
};

Figures summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 99 / 100]};
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

template <typename F> double medianMicros(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        times.push_back(microsecondsSince(start));
    }
    return summarise(times).median;
}

template <typename F> double medianCpuMicros(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = threadCpuMicros();
        f();
        times.push_back(threadCpuMicros() - start);
    }
    return summarise(times).median;
}

void runSize(int size) {
    test::TempDir dir;
    core::Preferences prefs;
    prefs.ownCall = "W1AW";
    prefs.utcOffset = 5;
    prefs.band = "20";
    std::filesystem::create_directories(dir.file("work"));
    std::filesystem::create_directories(dir.file("docs"));
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));

    test::FakeClock clock;
    std::mt19937 rng(7);
    std::vector<core::QsoRecord> records;
    records.reserve(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) {
        // One contact every 10 seconds up to now.
        records.push_back(makeContact(rng, i + 1, clock.utc.addSeconds(-10 * (size - i)), "20"));
    }
    dir.write("work/log.txt", core::formatLog(records));
    records = {};

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
    window.formLoad();
    window.resize(1200, 800);
    QCoreApplication::processEvents();

    // Start-up's log phase: read and build everything from the file; and of
    // that, the file read into records alone.
    const double startup = medianMicros(5, [&] { window.mnuopen2(); }) / 1000.0;
    const double startupCpu = medianCpuMicros(5, [&] { window.mnuopen2(); }) / 1000.0;
    const long resident = residentKilobytes();
    const std::string logBytes = dir.read("work/log.txt");
    const double parse = medianMicros(3, [&] { (void)core::parseLog(logBytes); }) / 1000.0;

    // Logging contacts through the window, one at a time.
    const int contacts = 2000;
    std::vector<double> logging;
    std::vector<double> loggingCpu;
    int serial = 0;
    auto typeContact = [&] {
        clock.advanceSeconds(10);
        const std::string call = makeCall(rng);
        core::EntryRow& row = window.entryRow().row();
        ui::EntryRowController& entry = window.entryRow();
        entry.apply(row.setText(core::EntryBox::Call, call));
        entry.apply(row.setText(core::EntryBox::Rstr, "599"));
        entry.apply(row.setText(core::EntryBox::Rsts, "599"));
        entry.apply(row.setText(core::EntryBox::Sec, std::to_string(++serial)));
        entry.apply(row.setText(core::EntryBox::Cntry, "United States"));
        entry.apply(row.setText(core::EntryBox::Pref, call.substr(0, 3)));
        entry.apply(row.setText(core::EntryBox::Points, "3"));
    };
    for (int i = 0; i < contacts; ++i) {
        typeContact();
        const int before = window.contest().qsoCount();
        const auto start = Clock::now();
        const double startCpu = threadCpuMicros();
        window.mains();
        loggingCpu.push_back(threadCpuMicros() - startCpu);
        logging.push_back(microsecondsSince(start));
        if (window.contest().qsoCount() == before && i < 4) {
            auto* dialog = window.findChild<QLabel*>("lblDialog");
            std::printf("not logged: %s\n", dialog->text().toLatin1().constData());
        }
        // The timers (prefix list, rates) run between contacts, as typing leaves room for.
        if (i % 10 == 9) {
            QCoreApplication::processEvents();
        }
    }
    const int logged = window.contest().qsoCount() - size;
    // With every contact listed ("All"), the list view lays out all rows again
    // after each contact; that happens when events run, so they are timed too.
    window.findChild<QPushButton*>("cmdList")->click();
    QCoreApplication::processEvents();
    std::vector<double> loggingAll;
    for (int i = 0; i < 100; ++i) {
        typeContact();
        const auto start = Clock::now();
        window.mains();
        QCoreApplication::processEvents();
        loggingAll.push_back(microsecondsSince(start));
    }
    window.findChild<QPushButton*>("cmdList")->click();
    const Figures perContactAll = summarise(loggingAll);
    const Figures perContact = summarise(logging);
    const Figures perContactCpu = summarise(loggingCpu);

    // The store and its indexes alone (the contest's append and the station
    // log it tells), without the window's labels and list: the domain share.
    std::vector<double> storeOnly;
    for (int i = 0; i < 2000; ++i) {
        core::QsoRecord r = makeContact(rng, size + 3000 + i, clock.utc, "15");
        const auto start = Clock::now();
        window.contest().appendQso(r);
        storeOnly.push_back(microsecondsSince(start));
    }
    const Figures perStore = summarise(storeOnly);

    // Other stations' contacts arriving: the indexes take each one.
    std::vector<double> remote;
    for (int i = 0; i < 2000; ++i) {
        core::RemoteContact c{
            "RUN2", "K2OP",
            makeContact(rng, size + 5000 + i, clock.utc.addSeconds(-(i % 600)), "40")};
        const auto start = Clock::now();
        window.contest().putRemote("r" + std::to_string(i), std::move(c));
        remote.push_back(microsecondsSince(start));
    }
    const Figures perRemote = summarise(remote);
    // The redraw a burst of them ends with (station column, merged list, labels).
    const double redraw = medianMicros(5, [&] { window.setStationName("RUN1"); });

    // The full recomputes the incremental pieces replace.
    const auto& qsos = window.contest().qsos();
    double sum = 0;
    const double naiveSum = medianMicros(5, [&] {
        sum = 0;
        for (const auto& q : qsos) {
            sum += q.points;
        }
    });
    const double naiveDupes = medianMicros(3, [&] {
        core::DupeIndex index;
        index.rebuild(qsos);
    });
    const double naivePrefixes = medianMicros(3, [&] {
        core::PrefixList list;
        list.load(qsos);
    });
    const double naiveWorked = medianMicros(3, [&] { (void)core::callsWorkedOnBand(qsos, "20"); });
    const double naiveRates = medianMicros(3, [&] {
        core::RateCounter counter;
        std::vector<std::int64_t> moments;
        moments.reserve(qsos.size());
        for (const auto& q : qsos) {
            moments.push_back(core::contactMoment(q).value_or(0));
        }
        counter.assign(std::move(moments));
    });

    std::printf("%7d contacts  start-up log phase %6.1f ms wall, %6.1f ms cpu (parse alone %6.1f "
                "ms), resident %ld MB\n         logging one contact: median %6.1f us wall, %6.1f "
                "us cpu; p99 %7.1f "
                "us wall, %7.1f us cpu (%d logged); with All listed and events run: median "
                "%7.1f us\n         remote contact in: median %5.1f us, "
                "p99 %6.1f us; burst redraw %7.1f us\n",
                size, startup, startupCpu, parse, resident / 1024, perContact.median,
                perContactCpu.median, perContact.p99, perContactCpu.p99, logged,
                perContactAll.median, perRemote.median, perRemote.p99, redraw);
    std::printf("         store and indexes alone (no window): median %6.1f us, p99 %6.1f us\n",
                perStore.median, perStore.p99);
    std::printf("         naive full recompute per contact: points sum %7.1f us, dupe index "
                "%7.1f ms, prefix list %6.1f ms, worked calls %6.1f ms, rates %6.1f ms "
                "(sum %.0f)\n",
                naiveSum, naiveDupes / 1000, naivePrefixes / 1000, naiveWorked / 1000,
                naiveRates / 1000, sum);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Keep fsync out of the figures: a memory-backed folder when there is one.
    if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm")) {
        setenv("TMPDIR", "/dev/shm", 1);
    }
    QApplication app(argc, argv);
    // Sizes may be given on the command line; by default the three the
    // figures are quoted for.
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {13000, 50000, 200000};
    }
    for (int size : sizes) {
        if (size > 0) {
            runSize(size);
        }
    }
    return 0;
}
