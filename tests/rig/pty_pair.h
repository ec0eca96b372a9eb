#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wexon::test {

// A pseudo-terminal pair: the program opens the slave by its path as it would a
// serial device; the test (or a fake rig) talks on the master side.
class PtyPair {
  public:
    PtyPair() {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
        // Keep the slave open here too, so the pair survives the program
        // closing and reopening its side.
        m_slave = slave;
        m_slavePath = name;
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() {
        closeMaster();
        if (m_slave >= 0) {
            ::close(m_slave);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    int master() const { return m_master; }

    // Drops the test's own hold on the slave so that closing the master makes
    // the device vanish for the program.
    void releaseSlave() {
        if (m_slave >= 0) {
            ::close(m_slave);
            m_slave = -1;
        }
    }
    void closeMaster() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

    // Writes everything (the master is non-blocking; waits while it is full).
    void send(std::string_view bytes) const {
        while (!bytes.empty()) {
            ssize_t n = ::write(m_master, bytes.data(), bytes.size());
            if (n > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(n));
            } else {
                pollfd p{m_master, POLLOUT, 0};
                ::poll(&p, 1, 10);
            }
        }
    }
    // What has arrived on the master so far, waiting at most `ms` for the first
    // byte and then until the line stays quiet for `quietMs`.
    std::string receive(int ms = 500, int quietMs = 30) const {
        std::string out;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (true) {
            pollfd p{m_master, POLLIN, 0};
            int wait = out.empty()
                           ? static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  deadline - std::chrono::steady_clock::now())
                                                  .count())
                           : quietMs;
            if (wait < 0 || ::poll(&p, 1, wait) <= 0) {
                return out;
            }
            char buf[4096];
            ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) {
                return out;
            }
            out.append(buf, static_cast<std::size_t>(n));
        }
    }

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

} // namespace wexon::test
