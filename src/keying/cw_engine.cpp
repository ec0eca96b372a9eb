#include "keying/cw_engine.h"

#include "core/text_util.h"
#include "keying/element_clock.h"
#include "keying/key_line.h"
#include "keying/morse_table.h"

namespace wexon::keying {

CwEngine::CwEngine(ElementClock& clock, CwEngineListener* listener, RealTimeRequest realTime)
    : m_clock(clock), m_listener(listener) {
    m_thread = std::thread([this, request = std::move(realTime)] { run(request); });
}

RealTimeGrant CwEngine::realTimeGrant() const {
    std::lock_guard lock(m_mutex);
    return m_grant;
}

CwEngine::~CwEngine() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_buffer.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

void CwEngine::setKeyLine(KeyLine* line) {
    std::lock_guard lock(m_lineMutex);
    if (m_line != nullptr && m_keyDown) {
        m_line->setKey(false);
    }
    m_keyDown = false;
    m_line = line;
}

std::string CwEngine::buffer() const {
    std::lock_guard lock(m_mutex);
    return m_buffer;
}

bool CwEngine::bufferEmpty() const {
    std::lock_guard lock(m_mutex);
    return m_buffer.empty();
}

bool CwEngine::bufferContains(char ch) const {
    std::lock_guard lock(m_mutex);
    return m_buffer.find(ch) != std::string::npos;
}

void CwEngine::clearBuffer() {
    std::lock_guard lock(m_mutex);
    m_buffer.clear();
}

void CwEngine::append(std::string_view text) {
    std::lock_guard lock(m_mutex);
    m_buffer.append(text);
}

bool CwEngine::removeLast() {
    std::lock_guard lock(m_mutex);
    if (m_buffer.empty()) {
        return false;
    }
    m_buffer.pop_back();
    return true;
}

std::optional<char> CwEngine::takeFirst() {
    std::lock_guard lock(m_mutex);
    if (m_buffer.empty()) {
        return std::nullopt;
    }
    char ch = m_buffer.front();
    m_buffer.erase(0, 1);
    return ch;
}

bool CwEngine::pump() {
    {
        std::lock_guard lock(m_mutex);
        if (m_sending.load() || m_stop) {
            return false;
        }
        m_sending.store(true);
        m_runRequested = true;
    }
    m_wake.notify_all();
    return true;
}

void CwEngine::appendAndPump(std::string_view text) {
    bool started = false;
    {
        std::lock_guard lock(m_mutex);
        m_buffer.append(text);
        if (!m_sending.load() && !m_stop) {
            m_sending.store(true);
            m_runRequested = true;
            started = true;
        }
    }
    if (started) {
        m_wake.notify_all();
    }
}

bool CwEngine::waitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return !m_sending.load() && !m_reporting; });
}

void CwEngine::run(const RealTimeRequest& realTime) {
    // Decided before the first character, without holding the buffer: a
    // message that arrives meanwhile starts once the priority is settled.
    RealTimeGrant grant = obtainRealTime(realTime);
    m_realTime.store(grant.way == RealTimeGrant::Way::Direct ||
                     grant.way == RealTimeGrant::Way::Service);
    std::unique_lock lock(m_mutex);
    m_grant = std::move(grant);
    while (true) {
        m_wake.wait(lock, [this] { return m_stop || m_runRequested; });
        if (m_stop) {
            break;
        }
        bool burstStart = true;
        while (!m_buffer.empty() && !m_stop) {
            char ch = m_buffer.front();
            m_buffer.erase(0, 1);
            lock.unlock();
            transmit(ch, burstStart);
            burstStart = false;
            lock.lock();
            if (m_listener != nullptr) {
                std::string remaining = m_buffer;
                lock.unlock();
                m_listener->characterDone(remaining);
                lock.lock();
            }
        }
        m_runRequested = false;
        m_sending.store(false);
        if (m_listener != nullptr && !m_stop) {
            m_reporting = true;
            lock.unlock();
            m_listener->sendingStopped();
            lock.lock();
            m_reporting = false;
        }
        m_idle.notify_all();
    }
    m_sending.store(false);
    m_idle.notify_all();
}

void CwEngine::key(bool down) {
    std::lock_guard lock(m_lineMutex);
    if (down == m_keyDown) {
        return;
    }
    m_keyDown = down;
    if (m_line != nullptr) {
        m_line->setKey(down);
    }
}

void CwEngine::transmit(char ch, bool burstStart) {
    if (m_interface.load() == 0) {
        return;
    }
    if (ch == '!') {
        if (m_listener != nullptr) {
            m_listener->exclamationReached();
        }
        return;
    }
    std::string pattern = keyedPattern(core::toUpperAscii(ch), m_wordSpace.load());
    if (pattern.empty()) {
        return;
    }
    if (burstStart) {
        m_deadline = m_clock.nowNs();
        m_unitDown = false;
    }
    for (char unit : pattern) {
        if (m_stop.load()) {
            key(false);
            m_unitDown = false;
            return;
        }
        double wpm = m_wpm.load();
        if (!isKeyableSpeed(wpm)) {
            // An unusable speed abandons the character with the key released.
            key(false);
            m_unitDown = false;
            return;
        }
        const bool down = unit == '1';
        if (down != m_unitDown) {
            // An edge: the element it starts runs its full length from now.
            // Late (the thread was held up), the rest of the message slips
            // rather than this element being cut short.
            m_unitDown = down;
            const std::int64_t now = m_clock.nowNs();
            if (now > m_deadline) {
                m_deadline = now;
            }
        }
        key(down);
        waitUnit(wpm);
    }
}

void CwEngine::waitUnit(double wpm) {
    switch (m_method.load()) {
    case TimingMethod::Timer: {
        // Units within one element keep their absolute deadlines; the element's
        // start was settled at its edge.
        auto unitNs = static_cast<std::int64_t>(unitMilliseconds(wpm) * 1e6);
        m_deadline += unitNs;
        m_clock.sleepUntilNs(m_deadline);
        break;
    }
    case TimingMethod::Sleep:
        m_clock.sleepForMs(sleepMilliseconds(wpm));
        m_deadline = m_clock.nowNs();
        break;
    case TimingMethod::Loop:
        m_clock.spinPasses(loopPasses(m_loopsPer60ms.load(), wpm));
        m_deadline = m_clock.nowNs();
        break;
    }
}

} // namespace wexon::keying
