#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

// A WinKeyer on the far end of a pseudo-terminal, answering as the host-mode
// protocol says: the echo test, the version byte on host open, status bytes
// when asked and while it is busy. It records every byte it receives.
namespace wexon::test {

class FakeWinKeyer {
  public:
    enum class Echo { Correct, Wrong, None };

    Echo echo = Echo::Correct;
    bool answerOpen = true;
    std::uint8_t version = 23;
    // After the first character the keyer reports busy with a full buffer
    // (status C5) until `release` is set, then idle (C0).
    bool holdAfterFirstCharacter = false;
    // While held, the keyer answers nothing at all (a keyer gone dead).
    bool silentWhileHeld = false;
    std::atomic<bool> release{false};
    // Monotonic time at which the last character byte was read, 0 before.
    std::atomic<std::int64_t> lastCharacterNs{0};

    FakeWinKeyer() {
        char name[256];
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        m_slavePath = name;
        termios t{};
        tcgetattr(m_slave, &t);
        cfmakeraw(&t);
        tcsetattr(m_slave, TCSANOW, &t);
        m_thread = std::thread([this] { run(); });
    }
    ~FakeWinKeyer() {
        m_stop = true;
        m_thread.join();
        ::close(m_master);
        ::close(m_slave);
    }
    FakeWinKeyer(const FakeWinKeyer&) = delete;
    FakeWinKeyer& operator=(const FakeWinKeyer&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    std::string received() const {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    std::string characters() const {
        std::lock_guard lock(m_mutex);
        return m_characters;
    }
    void clearReceived() {
        std::lock_guard lock(m_mutex);
        m_received.clear();
        m_characters.clear();
    }
    bool hostOpen() const { return m_hostOpen.load(); }

  private:
    void reply(std::uint8_t b) {
        if (::write(m_master, &b, 1) != 1) {
            // The reading end is gone; nothing to answer.
        }
    }

    void run() {
        int pending = 0;  // argument bytes still expected by the current command
        int command = -1; // the command those bytes belong to
        bool admin = false;
        bool held = false;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0) {
                if (held && release) {
                    held = false;
                    reply(0xC0);
                }
                continue;
            }
            std::uint8_t buf[256];
            ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            for (ssize_t i = 0; i < n; ++i) {
                std::uint8_t b = buf[i];
                {
                    std::lock_guard lock(m_mutex);
                    m_received += static_cast<char>(b);
                }
                if (admin) {
                    admin = false;
                    if (b == 0x02) {
                        m_hostOpen = true;
                        if (answerOpen) {
                            reply(version);
                        }
                    } else if (b == 0x03) {
                        m_hostOpen = false;
                    } else if (b == 0x04) {
                        command = 0x104;
                        pending = 1;
                    }
                    continue;
                }
                if (pending > 0) {
                    --pending;
                    if (command == 0x104) {
                        if (echo == Echo::Correct) {
                            reply(b);
                        } else if (echo == Echo::Wrong) {
                            reply(static_cast<std::uint8_t>(b ^ 0xFF) & 0x7F);
                        }
                    }
                    continue;
                }
                switch (b) {
                case 0x00:
                    admin = true;
                    break;
                case 0x02:
                case 0x03:
                case 0x09:
                case 0x0E:
                case 0x17:
                    command = b;
                    pending = 1;
                    break;
                case 0x04:
                    command = b;
                    pending = 2;
                    break;
                case 0x15:
                    if (!(held && silentWhileHeld)) {
                        reply(held ? 0xC5 : 0xC0);
                    }
                    break;
                default:
                    if (b >= 0x20) {
                        timespec ts{};
                        clock_gettime(CLOCK_MONOTONIC, &ts);
                        lastCharacterNs =
                            static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
                        std::lock_guard lock(m_mutex);
                        m_characters += static_cast<char>(b);
                        if (holdAfterFirstCharacter && m_characters.size() == 1) {
                            held = true;
                            m_mutex.unlock();
                            reply(0xC5);
                            m_mutex.lock();
                        }
                    }
                    break;
                }
            }
        }
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hostOpen{false};
    mutable std::mutex m_mutex;
    std::string m_received;
    std::string m_characters;
    std::thread m_thread;
};

} // namespace wexon::test
