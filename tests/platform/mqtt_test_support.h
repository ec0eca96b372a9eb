#pragma once

// A real Mosquitto broker on 127.0.0.1 and stations made of the real contest,
// synchroniser and broker link, for the station-network tests and benchmarks.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>

#include "core/contest.h"
#include "net/station_sync.h"
#include "platform/mqtt_station_link.h"

namespace wexon::test {

// A TCP port nobody listens on now.
inline int freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

inline bool portAccepts(const std::string& host, int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &a.sin_addr);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// Runs the event loop until `done` or the timeout; true when `done`.
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// One mosquitto process with a configuration of the test's making. The
// persistence folder stays between restarts.
class TestBroker {
  public:
    TestBroker(std::string folder, std::string extraConfig = {}, std::string host = "127.0.0.1",
               std::vector<std::string> wrapper = {})
        : m_folder(std::move(folder)), m_extra(std::move(extraConfig)), m_host(std::move(host)),
          m_wrapper(std::move(wrapper)), m_port(freeLoopbackPort()) {
        std::filesystem::create_directories(m_folder + "/db");
    }
    ~TestBroker() { kill(SIGTERM); }

    // More configuration lines, for the next start().
    void addConfig(const std::string& lines) { m_extra += lines; }
    int port() const { return m_port; }
    const std::string& host() const { return m_host; }
    const std::string& folder() const { return m_folder; }

    bool start() {
        const std::string conf = m_folder + "/mosquitto.conf";
        std::ofstream(conf) << "listener " << m_port << " " << m_host << "\n"
                            << "user root\npersistence true\npersistence_location " << m_folder
                            << "/db/\nautosave_interval 3600\nmax_queued_messages 1000000\nset_tcp_nodelay true\n"
                            << "log_dest file " << m_folder << "/broker.log\n"
                            << (m_extra.find("allow_anonymous") == std::string::npos
                                    ? "allow_anonymous true\n"
                                    : "")
                            << m_extra;
        m_pid = ::fork();
        if (m_pid == 0) {
            std::vector<std::string> args = m_wrapper;
            args.insert(args.end(), {"mosquitto", "-c", conf});
            std::vector<char*> argv;
            for (auto& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        return pumpUntil([this] { return portAccepts(m_host, m_port); }, 5000);
    }
    // SIGKILL: the broker dies without saving; SIGTERM: it saves its store.
    void kill(int signal) {
        if (m_pid > 0) {
            ::kill(m_pid, signal);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

  private:
    std::string m_folder;
    std::string m_extra;
    std::string m_host;
    std::vector<std::string> m_wrapper;
    int m_port;
    pid_t m_pid = -1;
};

// A station: its own working folder and log, synchroniser and broker link.
class TestStation {
  public:
    TestStation(const std::string& root, const std::string& name, int serialPerBand = 0)
        : m_name(name), m_folder(root + "/" + name) {
        std::filesystem::create_directories(m_folder);
        contest = std::make_unique<core::Contest>(m_folder);
        contest->startEmptyLog();
        contest->prefs.serialPerBand = static_cast<std::uint8_t>(serialPerBand);
        makeSync();
    }
    ~TestStation() { link.reset(); }

    void makeSync() {
        link.reset();
        sync.reset();
        sync = std::make_unique<net::StationSync>(
            *contest, net::SyncConfig{"WPXTEST", m_name, "OP" + m_name, "", 0},
            m_folder + "/" + net::NetworkJournal::kFileName);
        sync->setNoticeHandler([this](const std::string& n) { notices.push_back(n); });
        sync->start();
        link = std::make_unique<platform::MqttStationLink>(*sync);
    }
    bool connect(const std::string& host, int port, std::string user = {},
                 std::string password = {}) {
        platform::MqttSettings s;
        s.host = host;
        s.port = port;
        s.user = std::move(user);
        s.password = std::move(password);
        s.keepAliveSeconds = 5;
        std::string error;
        return link->start(s, error);
    }
    void disconnect() { link->stop(); }

    void log(const std::string& call, const std::string& band = "20") {
        contest->prefs.band = band;
        core::QsoRecord r;
        r.call = call;
        r.rstReceived = "599";
        r.serialReceived = "1";
        r.rstSent = "599";
        r.qsoDate = "2026/03/28";
        r.qsoTime = "12:00:00";
        r.band = band;
        r.points = 1;
        r.prefix = call.substr(0, 2);
        r.serialSent = contest->nextSerial();
        contest->appendQso(r);
    }

    // Every contact of the whole station as "station call band serial", sorted.
    std::vector<std::string> merged() const {
        std::vector<std::string> out;
        for (const auto& c : sync->mergedLog()) {
            out.push_back(c.station + " " + c.record->call + " " + c.record->band + " " +
                          c.record->serialSent);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    bool inStep() const { return sync->inStep() && sync->waitingCount() == 0; }
    const std::string& name() const { return m_name; }
    const std::string& folder() const { return m_folder; }

    std::unique_ptr<core::Contest> contest;
    std::unique_ptr<net::StationSync> sync;
    std::unique_ptr<platform::MqttStationLink> link;
    std::vector<std::string> notices;

  private:
    std::string m_name;
    std::string m_folder;
};

// Waits until every station is in step and all merged logs are the same size
// `count`; true when they are.
inline bool converge(const std::vector<TestStation*>& stations, std::size_t count,
                     int timeoutMs = 15000) {
    bool done = pumpUntil(
        [&] {
            for (TestStation* s : stations) {
                if (!s->inStep() || s->merged().size() != count) {
                    return false;
                }
            }
            return true;
        },
        timeoutMs);
    if (!done) {
        for (TestStation* s : stations) {
            std::fprintf(stderr, "%s: linked %d, in step %d, waiting %d, %zu contacts, %s\n",
                         s->name().c_str(), s->link->connected(), s->sync->inStep(),
                         s->sync->waitingCount(), s->merged().size(),
                         s->link->lastError().c_str());
        }
    }
    return done;
}

} // namespace wexon::test
