#include "keying/cwdaemon_sender.h"

#include <algorithm>
#include <cmath>

#include "keying/cw_engine.h"
#include "keying/cwdaemon_protocol.h"
#include "keying/morse_table.h"

namespace wexon::keying {

namespace {

using Ms = std::chrono::milliseconds;

// The speed cwdaemon is to key at for the keyer's speed, or 0 when that
// speed keys nothing (0, negative, not a number).
int cwdaemonWpm(double wpm) {
    if (!std::isfinite(wpm) || wpm <= 0) {
        return 0;
    }
    const double rounded = std::round(wpm);
    return static_cast<int>(
        std::clamp(rounded, double(cwdaemon::kMinWpm), double(cwdaemon::kMaxWpm)));
}

Ms unitsToMs(long long units, int wpm) {
    return Ms(std::llround(static_cast<double>(units) * 1200.0 / wpm));
}

} // namespace

CwdaemonSender::CwdaemonSender(CwdaemonIo& io, CwEngine& buffer, CwEngineListener& listener)
    : m_io(io), m_buffer(buffer), m_listener(listener) {}

void CwdaemonSender::setOptions(const CwdaemonOptions& options) {
    const bool toneChanged = options.toneHz != m_options.toneHz;
    m_options = options;
    m_options.pttLeadMs = std::clamp(m_options.pttLeadMs, 0, 2000);
    if (toneChanged) {
        send(cwdaemon::toneRequest(m_options.toneHz));
    }
}

void CwdaemonSender::configure() {
    send(cwdaemon::resetRequest());
    send(cwdaemon::weightRequest(0));
    send(cwdaemon::pttDelayRequest(0));
    send(cwdaemon::toneRequest(m_options.toneHz));
    m_sentWpm = 0;
}

void CwdaemonSender::send(const std::string& datagram) {
    m_failReported = false;
    m_io.sendDatagram(datagram);
}

std::string CwdaemonSender::nextTag() {
    return "W" + std::to_string(++m_sequence);
}

bool CwdaemonSender::pump() {
    if (m_state != State::Idle) {
        return false;
    }
    if (m_buffer.bufferEmpty()) {
        // Nothing to key: sending starts and ends at once, as with the
        // software keyer, so the repeat timer and the message line follow.
        m_listener.sendingStopped();
        return false;
    }
    m_state = State::Pausing;
    m_nextAt = m_io.now();
    if (m_options.ptt) {
        send(cwdaemon::pttRequest(true));
        m_pttHeld = true;
        m_nextAt += Ms(m_options.pttLeadMs);
    }
    proceed();
    return true;
}

void CwdaemonSender::proceed() {
    for (;;) {
        const auto now = m_io.now();
        m_nextAt = std::max(m_nextAt, now);
        std::string text = m_buffer.buffer();
        if (text.empty()) {
            if (m_nextAt > now) {
                // A trailing word space is silence to be kept, as keyed.
                m_state = State::Pausing;
                m_io.armTimer(std::chrono::duration_cast<Ms>(m_nextAt - now).count() + 1);
                return;
            }
            finish();
            return;
        }
        const char ch = text.front();
        const int wpm = cwdaemonWpm(m_buffer.speed());
        if (ch == ' ') {
            m_buffer.takeFirst();
            if (wpm > 0) {
                m_nextAt += unitsToMs(
                    static_cast<long long>(keyedPattern(' ', m_buffer.wordSpace()).size()), wpm);
            }
            m_listener.characterDone(m_buffer.buffer());
            continue;
        }
        if (m_nextAt > now) {
            m_state = State::Pausing;
            m_io.armTimer(std::chrono::duration_cast<Ms>(m_nextAt - now).count() + 1);
            return;
        }
        m_buffer.takeFirst();
        if (ch == '!') {
            m_listener.exclamationReached();
            continue;
        }
        const std::string keyed = cwdaemon::translateText(std::string_view(&ch, 1));
        if (keyed.empty() || wpm == 0) {
            // No Morse for it, or a speed that keys nothing: it costs no time.
            m_listener.characterDone(m_buffer.buffer());
            continue;
        }
        if (wpm != m_sentWpm) {
            send(cwdaemon::speedRequest(wpm));
            m_sentWpm = wpm;
        }
        m_awaitedTag = nextTag();
        send(cwdaemon::echoRequest(m_awaitedTag));
        send(keyed);
        m_sentAt = now;
        m_keyedLength = unitsToMs(cwdaemon::keyedUnits(keyed, 0), wpm);
        m_state = State::Keying;
        m_io.armTimer(2 * m_keyedLength.count() + kAnswerSlackMs);
        return;
    }
}

void CwdaemonSender::finish() {
    m_io.disarmTimer();
    m_state = State::Idle;
    m_awaitedTag.clear();
    if (m_pttHeld) {
        send(cwdaemon::pttRequest(false));
        m_pttHeld = false;
    }
    m_listener.sendingStopped();
}

void CwdaemonSender::stop() {
    if (m_state == State::Tuning) {
        send(cwdaemon::abortRequest());
        m_io.disarmTimer();
        m_state = State::Idle;
        m_awaitedTag.clear();
        if (m_pttHeld) {
            send(cwdaemon::pttRequest(false));
            m_pttHeld = false;
        }
        return;
    }
    m_buffer.clearBuffer();
    if (m_state == State::Pausing) {
        // Nothing on air: sending ends now.
        finish();
    }
    // Keying: the echo of the character on air ends sending.
}

void CwdaemonSender::abandon() {
    m_buffer.clearBuffer();
    if (m_state == State::Idle) {
        return;
    }
    if (m_state == State::Tuning) {
        stop();
        return;
    }
    finish();
}

bool CwdaemonSender::tune(int seconds) {
    if (m_state != State::Idle) {
        return false;
    }
    seconds = std::clamp(seconds, 1, cwdaemon::kMaxTuneSeconds);
    if (m_options.ptt) {
        send(cwdaemon::pttRequest(true));
        m_pttHeld = true;
    }
    m_awaitedTag = nextTag();
    send(cwdaemon::echoRequest(m_awaitedTag));
    send(cwdaemon::tuneRequest(seconds));
    m_state = State::Tuning;
    m_io.armTimer(seconds * 1000LL + kAnswerSlackMs);
    return true;
}

void CwdaemonSender::replyReceived(std::string_view datagram) {
    auto reply = cwdaemon::parseReply(datagram);
    if (!reply || reply->kind != cwdaemon::Reply::Kind::Echo || m_awaitedTag.empty() ||
        reply->tag != m_awaitedTag) {
        // Answers to characters given up on, "break" after an abort, and
        // anything else are not ours to act on.
        return;
    }
    m_awaitedTag.clear();
    m_io.disarmTimer();
    if (m_state == State::Tuning) {
        m_state = State::Idle;
        if (m_pttHeld) {
            send(cwdaemon::pttRequest(false));
            m_pttHeld = false;
        }
        return;
    }
    if (m_state != State::Keying) {
        return;
    }
    m_listener.characterDone(m_buffer.buffer());
    // cwdaemon answers early for the first character after a pause (as the
    // last element starts); the next one waits for the keyed length.
    m_nextAt = std::max(m_io.now(), m_sentAt + m_keyedLength);
    m_state = State::Pausing;
    proceed();
}

void CwdaemonSender::timerFired() {
    switch (m_state) {
    case State::Idle:
        return;
    case State::Pausing:
        proceed();
        return;
    case State::Keying:
        fail("cwdaemon at " + m_targetName + " stopped answering");
        return;
    case State::Tuning:
        fail("cwdaemon at " + m_targetName + " did not end the tune");
        return;
    }
}

void CwdaemonSender::linkFailed(const std::string& reason) {
    fail("cwdaemon at " + m_targetName + " cannot be reached (" + reason + "); is it running?");
}

void CwdaemonSender::fail(const std::string& why) {
    const bool wasSending = m_state != State::Idle && m_state != State::Tuning;
    m_io.disarmTimer();
    m_state = State::Idle;
    m_awaitedTag.clear();
    m_sentWpm = 0;
    if (m_pttHeld) {
        // Sent anyway: a cwdaemon that is only slow must not hold PTT on.
        send(cwdaemon::pttRequest(false));
        m_pttHeld = false;
    }
    m_buffer.clearBuffer();
    if (m_failReported && !wasSending) {
        // The same failure again (every datagram to a closed port is
        // refused): told once until something is sent again.
        return;
    }
    m_failReported = true;
    // Sending ends first, so a message line that follows the end of sending
    // does not write over the report.
    if (wasSending) {
        m_listener.sendingStopped();
    }
    if (m_report) {
        m_report(why + (wasSending ? "; the message was stopped." : "."));
    }
}

} // namespace wexon::keying
