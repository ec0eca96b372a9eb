#pragma once

// A real rigctld with Hamlib's dummy rig (model 1) on an ephemeral port of
// 127.0.0.1, and rigctl (model 2, the network rig) to set and read the dummy
// rig from outside the program. Both come from Debian's libhamlib-utils.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace wexon::test {

inline bool haveHamlibTool(const char* name) {
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        if (::access((std::string(dir) + name).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

// A TCP port of 127.0.0.1 that was free a moment ago (0 when none was given).
inline int freeLocalPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

inline bool acceptsConnections(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

class RigctldProcess {
  public:
    RigctldProcess() = default;
    RigctldProcess(const RigctldProcess&) = delete;
    RigctldProcess& operator=(const RigctldProcess&) = delete;
    ~RigctldProcess() { stop(); }

    // Starts the daemon on a free port, trying other ports when one is taken
    // between choosing and binding. False when it would not start.
    bool start() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = freeLocalPort();
            if (m_port == 0) {
                continue;
            }
            const std::string port = std::to_string(m_port);
            if (!spawn({"rigctld", "-m", "1", "-T", "127.0.0.1", "-t", port})) {
                return false;
            }
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (std::chrono::steady_clock::now() < deadline) {
                if (acceptsConnections(m_port)) {
                    return true;
                }
                int status = 0;
                if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                    m_pid = 0; // it exited: most likely the port was taken
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            stop();
        }
        return false;
    }

    void stop() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
            m_pid = 0;
        }
    }

    int port() const { return m_port; }

    // Runs "rigctl -m 2 -r 127.0.0.1:<port> <args>" and returns what it printed.
    std::string rigctl(const std::string& args) const {
        const std::string command = "rigctl -m 2 -r 127.0.0.1:" + std::to_string(m_port) + " " +
                                    args + " 2>/dev/null";
        std::string out;
        if (FILE* p = ::popen(command.c_str(), "r")) {
            char buf[256];
            std::size_t n = 0;
            while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
                out.append(buf, n);
            }
            ::pclose(p);
        }
        return out;
    }

  private:
    bool spawn(std::vector<std::string> argv) {
        std::vector<char*> args;
        for (auto& a : argv) {
            args.push_back(a.data());
        }
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const bool ok =
            posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        if (!ok) {
            m_pid = 0;
        }
        return ok;
    }

    pid_t m_pid = 0;
    int m_port = 0;
};

} // namespace wexon::test
