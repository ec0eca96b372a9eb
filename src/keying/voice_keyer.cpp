#include "keying/voice_keyer.h"

#include "core/text_util.h"
#include "keying/port_address.h"

namespace wexon::keying {

namespace {

constexpr unsigned char kParallelKeyDown = 3;
constexpr unsigned char kParallelKeyUp = 2;

} // namespace

VoiceKeyer::VoiceKeyer(SoundPlayer& player, PttOutputs& ptt, VoiceTimer& watch,
                       VoiceTimer& repeat)
    : m_player(player), m_ptt(ptt), m_watch(watch), m_repeat(repeat) {
    // The end of a message is handled the moment the player reports it, not
    // only at the next tick of the watch.
    m_player.setEndedHandler([this] { watchTick(); });
    m_player.setStartedHandler([this] { keyTransmitter(); });
}

VoiceKeyer::~VoiceKeyer() {
    m_player.setEndedHandler({});
    m_player.setStartedHandler({});
}

void VoiceKeyer::applySettings(const VoiceSettings& settings) {
    m_settings = settings;
    setRepeatText(settings.repeatText);
}

void VoiceKeyer::setFile(int index, std::string path) {
    if (index >= 0 && index < VoiceSettings::kMessageCount) {
        m_settings.files[static_cast<std::size_t>(index)] = std::move(path);
    }
}

bool VoiceKeyer::setRepeatText(std::string_view text) {
    RepeatInterval r = repeatIntervalFromText(text);
    m_settings.repeatText = r.text;
    m_repeatMs = r.ms;
    return r.beep;
}

std::string VoiceKeyer::resolve(const std::string& path) const {
    if (path.empty() || path.front() == '/' || m_workingFolder.empty()) {
        return path;
    }
    return m_workingFolder + "/" + path;
}

void VoiceKeyer::fKeyPhone(int keyCode) {
    if (keyCode < kFirstKey || keyCode > kLastKey) {
        return;
    }
    // A message still playing is closed; its PTT stays up for the new one
    // (or drops at the watch's next tick when there is none).
    m_player.stop();
    const std::string& file = m_settings.files[static_cast<std::size_t>(keyCode - kFirstKey)];
    if (keyCode == kFirstKey && m_repeatMs > 0) {
        m_repeatArmed = true;
    }
    if (core::trim(file).empty()) {
        return;
    }
    // The transmitter is keyed once the player has accepted the file, just
    // before its sound starts: a missing or damaged file keys nothing. The
    // watch runs first, since a player may accept (or the keying fail) inside
    // play() itself.
    m_watch.start(kWatchMs);
    if (!m_player.play(resolve(file))) {
        m_watch.stop();
        dropPtt();
    }
}

void VoiceKeyer::keyTransmitter() {
    if (portNumber() > 0) {
        if (!m_ptt.serialOpen()) {
            m_ptt.openSerial();
        }
        const PttLine line = m_settings.pttLine == PttLine::Dtr ? PttLine::Dtr : PttLine::Rts;
        if (m_raisedSerial && *m_raisedSerial != line) {
            m_ptt.setSerialLine(*m_raisedSerial, false);
        }
        m_ptt.setSerialLine(line, true);
        m_raisedSerial = line;
    }
    if (m_settings.pttLine == PttLine::Parallel) {
        auto address = parsePortAddress(m_settings.addressText);
        if (m_raisedParallel && m_raisedParallel != address) {
            m_ptt.writeParallelControl(*m_raisedParallel, kParallelKeyUp);
            m_raisedParallel.reset();
        }
        if (!address || !m_ptt.writeParallelControl(*address, kParallelKeyDown)) {
            // The message is not sent unkeyed, and nothing is left keyed.
            m_player.stop();
            m_watch.stop();
            dropPtt();
            return;
        }
        m_raisedParallel = address;
    }
}

void VoiceKeyer::watchTick() {
    if (m_player.isPlaying()) {
        return;
    }
    endMessage();
}

void VoiceKeyer::endMessage() {
    m_watch.stop();
    dropPtt();
    if (m_repeatArmed) {
        if (m_repeatMs > 0) {
            m_repeat.start(m_repeatMs);
        } else {
            // The interval was set to 0 meanwhile: no repeat.
            m_repeatArmed = false;
        }
    }
}

void VoiceKeyer::dropPtt() {
    if (m_raisedSerial) {
        m_ptt.setSerialLine(*m_raisedSerial, false);
        m_raisedSerial.reset();
    }
    if (m_raisedParallel) {
        m_ptt.writeParallelControl(*m_raisedParallel, kParallelKeyUp);
        m_raisedParallel.reset();
    }
}

void VoiceKeyer::repeatTick() {
    m_repeat.stop();
    fKeyPhone(kFirstKey);
}

void VoiceKeyer::stop() {
    m_player.stop();
    if (m_watch.isActive() || keyed()) {
        endMessage();
    }
}

void VoiceKeyer::close() {
    disarmRepeat();
    m_player.stop();
    m_watch.stop();
    dropPtt();
}

void VoiceKeyer::releaseSerial() {
    if (m_raisedSerial) {
        m_ptt.setSerialLine(*m_raisedSerial, false);
        m_raisedSerial.reset();
    }
}

void VoiceKeyer::disarmRepeat() {
    m_repeatArmed = false;
    m_repeat.stop();
}

} // namespace wexon::keying
