// The station network against a real Mosquitto broker on 127.0.0.1 (started
// here, in a temporary folder). Prints:
//  - a contact logged on one station until it is in another station's store,
//    where its dupe check finds it: median and 99th percentile over loopback,
//    the log's and both journals' fsyncs included;
//  - a station joining a broker that holds 4 x 13000 contacts of four other
//    stations: time until its merged log is whole and in step;
//  - the domain work of one key in the call box on a full merged log while
//    other stations' contacts arrive at 20 a second, and the cost of taking in
//    one such contact, both median and 99th percentile.

#include <mosquitto.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>

#include <QApplication>
#include <QThread>

#include "core/dupe_check.h"
#include "core/dupe_index.h"
#include "platform/mqtt_test_support.h"
#include "support/temp_dir.h"

using namespace wexon;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double us(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void printPercentiles(const char* what, std::vector<double> v, const char* unit) {
    if (v.empty()) {
        std::printf("%s: nothing measured\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    std::printf("%s: %zu samples, median %.3f %s, p99 %.3f %s, max %.3f %s\n", what, v.size(),
                v[v.size() / 2], unit, v[v.size() * 99 / 100], unit, v.back(), unit);
}

core::QsoRecord record(const std::string& call, const std::string& band, int serial) {
    return {call, "599", "1", "599", "USA", "2026/03/28", "12:00:00", band, 1.0f, "K1",
            std::to_string(serial), ""};
}

// MULT runs on a thread of its own with its own event loop, as it would in a
// program of its own: RUN1's fsyncs do not hold up its reading.
void loggedToVisible(const std::string& root, test::TestBroker& broker) {
    test::TestStation a(root, "RUN1");
    a.connect(broker.host(), broker.port());
    QThread worker;
    QObject context;
    context.moveToThread(&worker);
    worker.start();
    std::unique_ptr<test::TestStation> b;
    std::atomic<int> seen{0};
    std::atomic<bool> inStep{false};
    QMetaObject::invokeMethod(
        &context,
        [&] {
            b = std::make_unique<test::TestStation>(root, "MULT");
            b->sync->setChangeHandler([&] {
                seen = b->contest->remoteCount();
                inStep = b->sync->inStep();
            });
            b->connect(broker.host(), broker.port());
        },
        Qt::BlockingQueuedConnection);
    auto finish = [&] {
        QMetaObject::invokeMethod(
            &context,
            [&] {
                b->sync->setChangeHandler({});
                b.reset();
            },
            Qt::BlockingQueuedConnection);
        worker.quit();
        worker.wait();
    };
    if (!test::converge({&a}, 0) || !test::pumpUntil([&] { return inStep.load(); })) {
        std::printf("logged-to-visible: stations did not link\n");
        finish();
        return;
    }
    std::vector<double> samples;
    std::vector<double> local;
    for (int i = 0; i < 300; ++i) {
        const int before = seen;
        const auto start = Clock::now();
        a.log("W" + std::to_string(i) + "LAT");
        local.push_back(ms(Clock::now() - start));
        if (!test::pumpUntil([&] { return seen > before; }, 5000)) {
            std::printf("logged-to-visible: contact %d never arrived\n", i);
            break;
        }
        samples.push_back(ms(Clock::now() - start));
    }
    finish();
    printPercentiles("logged on RUN1 (log fsync included) -> in MULT's dupe check", samples,
                     "ms");
    printPercentiles("  of which RUN1's own log and journal fsyncs", local, "ms");
}

// Fills the broker with `perStation` retained contacts of each of four
// stations, as those stations would have published them.
bool fillBroker(test::TestBroker& broker, int perStation) {
    mosquitto* client = mosquitto_new("filler", true, nullptr);
    if (mosquitto_connect(client, broker.host().c_str(), broker.port(), 30) != MOSQ_ERR_SUCCESS) {
        return false;
    }
    int published = 0;
    mosquitto_publish_callback_set(client, [](mosquitto*, void* count, int) {
        ++*static_cast<int*>(count);
    });
    mosquitto_user_data_set(client, &published);
    const char* stations[] = {"S1", "S2", "S3", "S4"};
    int sent = 0;
    for (const char* station : stations) {
        for (int i = 0; i < perStation; ++i) {
            net::ContactMessage m;
            m.contestId = "WPXTEST";
            m.station = station;
            m.instance = "filler";
            m.id = std::string(station) + "c" + std::to_string(i);
            m.record = record(std::string(station) + "X" + std::to_string(i), "20", i + 1);
            const std::string topic = net::contactTopic(m.contestId, m.station, m.id);
            const std::string payload = net::encodeContact(m);
            mosquitto_publish(client, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                              payload.data(), 1, true);
            ++sent;
            while (sent - published > 1000) {
                mosquitto_loop(client, 10, 1);
            }
        }
    }
    while (published < sent) {
        mosquitto_loop(client, 10, 1);
    }
    mosquitto_disconnect(client);
    mosquitto_destroy(client);
    return true;
}

void catchUp(const std::string& root, test::TestBroker& broker) {
    constexpr int kPerStation = 13000;
    const auto fillStart = Clock::now();
    if (!fillBroker(broker, kPerStation)) {
        std::printf("catch-up: could not fill the broker\n");
        return;
    }
    std::printf("broker filled with %d contacts in %.0f ms\n", 4 * kPerStation,
                ms(Clock::now() - fillStart));
    const auto start = Clock::now();
    test::TestStation late(root, "LATE");
    late.connect(broker.host(), broker.port());
    const bool whole = test::pumpUntil(
        [&] { return late.sync->inStep() && late.contest->remoteCount() >= 4 * kPerStation; },
        60000);
    std::printf("a station joining with %d contacts waiting: %s in %.0f ms (%d received, %s)\n",
                4 * kPerStation, whole ? "whole log" : "NOT whole", ms(Clock::now() - start),
                late.contest->remoteCount(), late.sync->inStep() ? "in step" : "not in step");
}

void keystrokesWhileContactsArrive(const std::string& root) {
    test::TestStation s(root, "KEYS");
    core::DupeIndex dupes;
    std::vector<core::QsoRecord> merged;
    for (int i = 0; i < 13000; ++i) {
        merged.push_back(record("K" + std::to_string(i % 10) + "A" + std::to_string(i), "20", i));
    }
    dupes.rebuild(merged);
    std::mt19937 rng(7);
    std::vector<double> keys;
    std::vector<double> arrivals;
    const std::string typed = "K3A12";
    // One second of operating: 20 arrivals, and keys typed between them at
    // about 8 a second per arrival gap, for 30 simulated seconds.
    for (int second = 0; second < 30; ++second) {
        for (int a = 0; a < 20; ++a) {
            net::ContactMessage m;
            m.contestId = "WPXTEST";
            m.station = "MULT";
            m.instance = "i";
            m.id = "m" + std::to_string(second * 20 + a);
            m.record = record("DL" + std::to_string(rng() % 100) + "ZZ", "20", second * 20 + a);
            const std::string topic = net::contactTopic("WPXTEST", "MULT", m.id);
            const std::string payload = net::encodeContact(m);
            auto t0 = Clock::now();
            s.sync->receive({{topic, payload, false}});
            dupes.add(m.record);
            arrivals.push_back(us(Clock::now() - t0));
            for (std::size_t k = 0; k < typed.size(); ++k) {
                auto k0 = Clock::now();
                core::PartialDupes p = core::showPartialDupes(
                    dupes, {std::string_view(typed).substr(0, k),
                            static_cast<unsigned char>(typed[k]), "20", true, true});
                bool dupe = dupes.hasCallOnBand(typed.substr(0, k + 1), "20");
                keys.push_back(us(Clock::now() - k0));
                if (p.list.size() == 12345 && dupe) {
                    std::printf("!");
                }
            }
        }
    }
    printPercentiles("call-box key, dupe work on a full merged log, 20 contacts/s arriving",
                     keys, "us");
    printPercentiles("taking in one arriving contact (journal fsync included)", arrivals, "us");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    test::TempDir dir;
    test::TestBroker broker(dir.path() + "/broker");
    if (!broker.start()) {
        std::printf("mosquitto could not be started\n");
        return 1;
    }
    loggedToVisible(dir.path(), broker);
    catchUp(dir.path(), broker);
    keystrokesWhileContactsArrive(dir.path());
    return 0;
}
