#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace wexon::keying {

class CwEngine;
class CwEngineListener;

// What the cwdaemon sender needs of the network and of time. The platform
// implements it with a UDP socket and a single-shot timer; tests script it.
class CwdaemonIo {
  public:
    virtual ~CwdaemonIo() = default;
    // Sends one datagram to cwdaemon.
    virtual void sendDatagram(const std::string& bytes) = 0;
    // Calls CwdaemonSender::timerFired once after `ms`; a new call replaces
    // the one armed before.
    virtual void armTimer(long long ms) = 0;
    virtual void disarmTimer() = 0;
    virtual std::chrono::steady_clock::time_point now() const = 0;
};

// The operator's cwdaemon settings that the sender acts on.
struct CwdaemonOptions {
    // Hold PTT on through a whole message (and a tune), raised `pttLeadMs`
    // before the first character.
    bool ptt = false;
    int pttLeadMs = 50;
    // Side tone in Hz; 0 silences cwdaemon.
    int toneHz = 800;
};

// Keys CWBuffer through cwdaemon, one Morse character per datagram.
//
// cwdaemon keeps one echo answer and sends it when its queue runs empty, and
// a speed change does not reach text already queued. So the sender hands it
// one character at a time with an echo request and sends the next character
// when the echo comes back: a speed change takes effect from the next
// character, Backspace and Esc act on what is still in CWBuffer, and "!" logs
// the contact at its place in the message. Word spaces are timed here, so the
// word space and its adjustment are the same as with the software keyer.
// Esc lets the character on air finish (cwdaemon's own abort would cut it in
// half) and sends nothing more; it does cut a tune short.
//
// Everything runs on the window thread: the calls, the replies and the timer.
class CwdaemonSender {
  public:
    CwdaemonSender(CwdaemonIo& io, CwEngine& buffer, CwEngineListener& listener);

    // Where cwdaemon is, for the operator's messages ("127.0.0.1:6789").
    void setTargetName(std::string name) { m_targetName = std::move(name); }
    void setOptions(const CwdaemonOptions& options);
    const CwdaemonOptions& options() const { return m_options; }
    // Told of a problem with cwdaemon, in words for the operator.
    void setProblemReport(std::function<void(const std::string&)> report) {
        m_report = std::move(report);
    }

    // Sets cwdaemon to a known state: its start-up values, no weighting, no
    // PTT of its own, the tone. cwdaemon delays the first character after
    // this by about a second, so it is sent when the keyer is chosen, not
    // before each message.
    void configure();
    // LoopThroughCWBuffer: starts sending CWBuffer unless already sending.
    // Returns whether it started.
    bool pump();
    // Esc: nothing more is sent; the character on air finishes and its echo
    // ends sending. A tune is cut at once.
    void stop();
    // The link is closing (another keyer chosen, a new target): sending ends
    // now without waiting for an answer, PTT is released, nothing is
    // reported as a problem.
    void abandon();
    // Tunes (key down) for up to cwdaemon's 10 seconds; only when idle.
    bool tune(int seconds);
    bool isSending() const { return m_state != State::Idle; }
    bool isTuning() const { return m_state == State::Tuning; }

    // Input from the platform.
    void replyReceived(std::string_view datagram);
    void timerFired();
    // The socket reported an error (cwdaemon not running: port unreachable).
    void linkFailed(const std::string& reason);

    // How long one character may go unanswered beyond its keyed length.
    static constexpr long long kAnswerSlackMs = 2000;

  private:
    enum class State { Idle, Pausing, Keying, Tuning };
    void proceed();
    void finish();
    void fail(const std::string& why);
    std::string nextTag();
    void send(const std::string& datagram);
    std::string pttRequestIfWanted(bool on) const;

    CwdaemonIo& m_io;
    CwEngine& m_buffer;
    CwEngineListener& m_listener;
    CwdaemonOptions m_options;
    std::string m_targetName;
    std::function<void(const std::string&)> m_report;

    State m_state = State::Idle;
    // Tag of the echo awaited for the character (or tune) on air.
    std::string m_awaitedTag;
    unsigned m_sequence = 0;
    // The speed cwdaemon was last told; 0 when unknown (after a reset).
    int m_sentWpm = 0;
    // When the character on air was sent and how long it keys.
    std::chrono::steady_clock::time_point m_sentAt{};
    std::chrono::milliseconds m_keyedLength{0};
    // Earliest time the next character may go: the end of a word space, the
    // PTT lead, or the keyed length of a character whose echo came early.
    std::chrono::steady_clock::time_point m_nextAt{};
    bool m_pttHeld = false;
    // A failure has been reported and nothing has been sent since.
    bool m_failReported = false;
};

} // namespace wexon::keying
