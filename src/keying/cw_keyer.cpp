#include "keying/cw_keyer.h"

#include <cmath>

#include "core/clock.h"
#include "core/number_format.h"
#include "core/text_util.h"
#include "keying/cw_messages.h"
#include "keying/cwdaemon_sender.h"

namespace wexon::keying {

// Receives the keying thread's reports and moves them to the window thread.
class CwKeyer::Listener : public CwEngineListener {
  public:
    explicit Listener(CwKeyer& keyer) : m_keyer(keyer) {}

    void exclamationReached() override {
        m_keyer.post([k = &m_keyer] {
            if (!core::trim(k->m_host.callText()).empty()) {
                k->m_host.logContact();
            }
        });
    }
    void characterDone(const std::string& remaining) override {
        if (!m_keyer.m_settings.displayText) {
            return;
        }
        m_keyer.post([k = &m_keyer, remaining] { k->m_host.showDialogText(remaining); });
    }
    void sendingStopped() override {
        m_keyer.post([k = &m_keyer] {
            if (k->m_repeatArmed) {
                k->startRepeatTimer();
            }
            if (k->m_settings.displayText) {
                k->m_host.showDialogText(dialogTextWhenIdle(k->m_keyboardMode));
            }
            if (!k->m_realTimeTold && k->m_settings.interface != kInterfaceCwdaemon) {
                // Once, after the first message, where the CW text no longer
                // writes over it.
                k->m_realTimeTold = true;
                if (std::string text = realTimeRefusedText(k->m_engine.realTimeGrant());
                    !text.empty()) {
                    k->m_host.showDialogText(text);
                }
            }
        });
    }

  private:
    CwKeyer& m_keyer;
};

CwKeyer::CwKeyer(CwHost& host, ElementClock& elementClock, const core::Clock& clock,
                 RealTimeRequest realTime)
    : m_host(host), m_clock(clock), m_listener(std::make_unique<Listener>(*this)),
      m_engine(elementClock, m_listener.get(), std::move(realTime)) {
    applySettings(m_settings);
}

CwKeyer::~CwKeyer() = default;

CwEngineListener& CwKeyer::reports() {
    return *m_listener;
}

bool CwKeyer::isSending() const {
    if (m_settings.interface == kInterfaceCwdaemon) {
        return m_cwdaemon != nullptr && m_cwdaemon->isSending();
    }
    return m_engine.isSending();
}

void CwKeyer::clearBuffer() {
    m_engine.clearBuffer();
    if (m_cwdaemon != nullptr) {
        m_cwdaemon->stop();
    }
}

void CwKeyer::setPost(WindowThreadPost post) {
    m_post = std::move(post);
}

void CwKeyer::post(std::function<void()> work) {
    if (m_post) {
        m_post(std::move(work));
    } else {
        work();
    }
}

void CwKeyer::applySettings(const CwSettings& settings) {
    m_settings = settings;
    setSpeedText(m_settings.speedText);
    applySpeedToWinKey();
    setSpaceText(m_settings.spaceText);
    setInterface(m_settings.interface);
    setRepeatText(m_settings.repeatText);
}

void CwKeyer::setMessage(int slot, std::string text) {
    if (slot >= 0 && slot < CwSettings::kMessageCount) {
        m_settings.messages[static_cast<std::size_t>(slot)] = std::move(text);
    }
}

void CwKeyer::setSpeedText(std::string text) {
    // The speed buttons set the text and then the window's speed box hands
    // the same text back; the keyer is told of a change only once.
    const bool changed = text != m_settings.speedText;
    m_settings.speedText = std::move(text);
    auto wpm = core::parseNumber(m_settings.speedText);
    // A text that is not a number keys nothing, as a speed of 0 does.
    m_engine.setSpeed(wpm ? *wpm : 0.0);
    if (changed) {
        applySpeedToWinKey();
    }
}

void CwKeyer::setSpaceText(std::string text) {
    auto units = core::parseNumber(text);
    if (units && *units < -8) {
        text = "-8";
        units = -8.0;
    }
    m_settings.spaceText = std::move(text);
    double value = units ? std::trunc(*units) : 0.0;
    if (value > 1000) {
        value = 1000;
    }
    m_engine.setWordSpace(static_cast<int>(value));
}

void CwKeyer::setInterface(int interface) {
    if (!isKeyingInterface(interface)) {
        interface = 0;
    }
    m_settings.interface = interface;
    m_engine.setInterface(interface);
}

void CwKeyer::setRepeatText(std::string text) {
    auto seconds = core::parseNumber(text);
    if (seconds && *seconds >= 0 && *seconds < 60) {
        m_settings.repeatText = std::move(text);
        m_repeatIntervalMs = static_cast<int>(std::lround(*seconds * 1000.0));
    } else {
        m_settings.repeatText = "0";
        m_repeatIntervalMs = 0;
    }
}

void CwKeyer::fKeyCW(int keyCode) {
    m_engine.clearBuffer();
    if (m_settings.interface == 0) {
        return;
    }
    std::string text;
    if ((keyCode >= 112 && keyCode <= 124) || m_keyboardMode) {
        if (auto slot = messageSlotForKey(keyCode)) {
            text = m_settings.messages[static_cast<std::size_t>(*slot)];
        }
        if (keyCode == kKeyF1 && m_repeatIntervalMs > 0) {
            m_repeatArmed = true;
        }
        if (keyCode < 112 && keyCode >= 0 && keyCode < 256 && m_keyboardMode) {
            text = std::string(1, core::toUpperAscii(static_cast<char>(keyCode)));
        }
    }
    if (!text.empty()) {
        text = substituteWildcards(
            text, {m_host.callText(), m_host.serialText(), m_host.reportSentText()});
    }
    m_engine.append(text);
    loopThroughCwBuffer();
}

void CwKeyer::loopThroughCwBuffer() {
    if (m_settings.interface == 5) {
        if (!core::trim(m_host.callText()).empty() && m_engine.bufferContains('!')) {
            m_host.logContact();
        }
        if (m_winKey != nullptr) {
            m_winKey->transmitBuffer();
        } else {
            m_engine.clearBuffer();
        }
        if (m_repeatArmed) {
            startRepeatTimer();
        }
        return;
    }
    if (m_settings.interface == kInterfaceCwdaemon) {
        if (m_cwdaemon != nullptr) {
            m_cwdaemon->pump();
        } else {
            m_engine.clearBuffer();
        }
        return;
    }
    if (m_settings.interface != 0 && !m_engine.isSending() && m_lineSetup) {
        m_lineSetup();
    }
    m_engine.pump();
}

std::string CwKeyer::speedUp() {
    double wpm = core::leadingNumber(m_settings.speedText);
    wpm = std::min(std::round(wpm) + 1, kMaxWpm);
    wpm = std::max(wpm, kMinWpm);
    setSpeedText(core::formatShortest(wpm));
    return m_settings.speedText;
}

std::string CwKeyer::speedDown() {
    double wpm = core::leadingNumber(m_settings.speedText);
    wpm = std::max(std::round(wpm) - 1, kMinWpm);
    wpm = std::min(wpm, kMaxWpm);
    setSpeedText(core::formatShortest(wpm));
    return m_settings.speedText;
}

void CwKeyer::wordSpaceLess() {
    auto units = core::parseNumber(m_settings.spaceText);
    setSpaceText(units ? core::formatShortest(std::trunc(*units) - 1) : "0");
}

void CwKeyer::wordSpaceMore() {
    auto units = core::parseNumber(m_settings.spaceText);
    double next = units ? std::trunc(*units) + 1 : 0;
    if (next > 1000) {
        next = 1000;
    }
    setSpaceText(core::formatShortest(next));
}

bool CwKeyer::toggleKeyboardMode() {
    m_keyboardMode = !m_keyboardMode;
    return m_keyboardMode;
}

void CwKeyer::keyboardCharacter(char ch) {
    m_engine.append(std::string(1, core::toUpperAscii(ch)));
    if (!isSending()) {
        loopThroughCwBuffer();
    }
}

bool CwKeyer::winKeyBusy() {
    return m_settings.interface == 5 && m_winKey != nullptr && m_winKey->isOpen() &&
           m_winKey->status() > 0;
}

bool CwKeyer::backspace() {
    if (isSending()) {
        return m_engine.removeLast();
    }
    if (winKeyBusy()) {
        // Characters not yet handed to the keyer go first.
        if (!m_engine.removeLast()) {
            m_winKey->keyerBackspace();
        }
        return true;
    }
    return false;
}

bool CwKeyer::escape() {
    if (winKeyBusy()) {
        m_winKey->clearKeyerBuffer();
        m_engine.clearBuffer();
        return true;
    }
    if (isSending()) {
        clearBuffer();
        return true;
    }
    return false;
}

void CwKeyer::disarmRepeat() {
    if (!m_repeatArmed) {
        return;
    }
    if (m_winKey != nullptr && m_winKey->isOpen()) {
        m_winKey->clearKeyerBuffer();
    }
    m_repeatArmed = false;
    m_engine.clearBuffer();
    stopRepeatTimer();
}

void CwKeyer::applySpeedToWinKey() {
    if (m_settings.interface != 5 || m_winKey == nullptr || !m_winKey->isOpen()) {
        return;
    }
    auto wpm = core::parseNumber(m_settings.speedText);
    if (wpm && *wpm > 4 && *wpm < 100) {
        m_winKey->setKeyerSpeed(static_cast<int>(std::lround(*wpm)));
    }
}

void CwKeyer::startRepeatTimer() {
    m_repeatDue = m_clock.steadyNow() + std::chrono::milliseconds(m_repeatIntervalMs);
    if (m_repeatChanged) {
        m_repeatChanged();
    }
}

void CwKeyer::stopRepeatTimer() {
    bool wasRunning = m_repeatDue.has_value();
    m_repeatDue.reset();
    if (wasRunning && m_repeatChanged) {
        m_repeatChanged();
    }
}

long long CwKeyer::msUntilRepeat() const {
    if (!m_repeatDue) {
        return 0;
    }
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(*m_repeatDue - m_clock.steadyNow())
            .count();
    return left > 0 ? left : 0;
}

bool CwKeyer::pollRepeat() {
    if (!m_repeatDue || m_clock.steadyNow() < *m_repeatDue) {
        return false;
    }
    stopRepeatTimer();
    fKeyCW(kKeyF1);
    return true;
}

std::string CwKeyer::dialogTextWhenIdle(bool keyboardMode) {
    return keyboardMode ? kKeyboardModeStillOnText : "";
}

} // namespace wexon::keying
