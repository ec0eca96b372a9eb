#pragma once

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "rig/pty_pair.h"

namespace wexon::test {

// A small transceiver on the master side of a pseudo-terminal: it cuts what the
// program sends into requests by the family's framing, records them, and
// answers as a rig does: optionally echoing (the CI-V bus), with noise before
// the frame, with the reply split over two writes, or not at all.
class FakeRig {
  public:
    enum class Framing { Semicolon, CarriageReturn, CivEnd, FiveBytes };
    using Answer = std::function<std::string(const std::string& request)>;

    FakeRig(PtyPair& pty, Framing framing, Answer answer)
        : m_pty(pty), m_framing(framing), m_answer(std::move(answer)),
          m_notifier(pty.master(), QSocketNotifier::Read) {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, [this] { readable(); });
        m_pacer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_pacer, &QTimer::timeout, [this] {
            if (m_paced.empty()) {
                m_pacer.stop();
                return;
            }
            m_pty.send(m_paced.substr(0, 1));
            m_paced.erase(0, 1);
        });
    }

    bool echo = false;   // send every request straight back first
    bool split = false;  // reply in two writes, 5 ms apart
    bool silent = false; // never answer
    std::string noise;   // bytes sent before each reply
    // Replies at the pace of a real line: after `latencyMs`, one byte every
    // `byteGapMs` (4800 baud with two stop bits is some 2.3 ms a byte).
    int byteGapMs = 0;
    int latencyMs = 0;
    std::vector<std::string> requests;

    // Requests other than the polls themselves (set commands, start-up bytes).
    std::vector<std::string> requestsOtherThan(const std::vector<std::string>& polls) const {
        std::vector<std::string> out;
        for (const auto& r : requests) {
            bool poll = false;
            for (const auto& p : polls) {
                poll = poll || r == p;
            }
            if (!poll) {
                out.push_back(r);
            }
        }
        return out;
    }

  private:
    void readable() {
        char buf[4096];
        ssize_t n = ::read(m_pty.master(), buf, sizeof buf);
        if (n <= 0) {
            m_notifier.setEnabled(false);
            return;
        }
        m_pending.append(buf, static_cast<std::size_t>(n));
        while (true) {
            std::size_t end = std::string::npos;
            switch (m_framing) {
            case Framing::Semicolon:
                end = m_pending.find(';');
                break;
            case Framing::CarriageReturn:
                end = m_pending.find('\r');
                break;
            case Framing::CivEnd:
                end = m_pending.find('\xFD');
                break;
            case Framing::FiveBytes:
                end = m_pending.size() >= 5 ? 4 : std::string::npos;
                break;
            }
            if (end == std::string::npos) {
                return;
            }
            std::string request = m_pending.substr(0, end + 1);
            m_pending.erase(0, end + 1);
            requests.push_back(request);
            if (echo) {
                m_pty.send(request);
            }
            std::string reply = silent ? std::string() : m_answer(request);
            if (reply.empty()) {
                continue;
            }
            reply = noise + reply;
            if (byteGapMs > 0) {
                QTimer::singleShot(latencyMs, &m_pacer, [this, reply] {
                    m_paced += reply;
                    if (!m_pacer.isActive()) {
                        m_pacer.start(byteGapMs);
                    }
                });
            } else if (m_splitPending) {
                m_tail += reply; // a rig answers in order: after the delayed half
            } else if (split && reply.size() > 1) {
                std::size_t half = reply.size() / 2;
                m_pty.send(reply.substr(0, half));
                m_tail = reply.substr(half);
                m_splitPending = true;
                QTimer::singleShot(5, [this] {
                    m_pty.send(m_tail);
                    m_tail.clear();
                    m_splitPending = false;
                });
            } else {
                m_pty.send(reply);
            }
        }
    }

    PtyPair& m_pty;
    Framing m_framing;
    Answer m_answer;
    QSocketNotifier m_notifier;
    std::string m_pending;
    std::string m_tail;
    bool m_splitPending = false;
    QTimer m_pacer;
    std::string m_paced; // reply bytes still to go out at the line's pace
};

// Runs the event loop until `done` holds or `ms` pass.
template <typename F> bool spinUntil(F done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

inline void spinFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

} // namespace wexon::test
