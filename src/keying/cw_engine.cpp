#include "keying/cw_engine.h"

#include "core/text_util.h"
#include "keying/element_clock.h"
#include "keying/key_line.h"
#include "keying/morse_table.h"

namespace wexon::keying {

CwEngine::CwEngine(ElementClock& clock, CwEngineListener* listener, bool realTime)
    : m_clock(clock), m_listener(listener) {
    m_thread = std::thread([this, realTime] { run(realTime); });
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

void CwEngine::run(bool realTime) {
    if (realTime) {
        m_realTime.store(requestRealTimeScheduling());
    }
    std::unique_lock lock(m_mutex);
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
    }
    for (char unit : pattern) {
        if (m_stop.load()) {
            key(false);
            return;
        }
        double wpm = m_wpm.load();
        if (!isKeyableSpeed(wpm)) {
            // An unusable speed abandons the character with the key released.
            key(false);
            return;
        }
        key(unit == '1');
        waitUnit(wpm);
    }
}

void CwEngine::waitUnit(double wpm) {
    switch (m_method.load()) {
    case TimingMethod::Timer: {
        auto unitNs = static_cast<std::int64_t>(unitMilliseconds(wpm) * 1e6);
        std::int64_t now = m_clock.nowNs();
        // Far behind (the thread was held up, or the pump was idle): restart
        // from now rather than rushing the following elements to catch up.
        if (now > m_deadline + unitNs) {
            m_deadline = now;
        }
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
