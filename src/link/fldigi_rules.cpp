#include "link/fldigi_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text_util.h"
#include "link/link_protocol.h"

namespace wexon::link {

// ---------------------------------------------------------------- settings

std::array<std::string, kFldigiMessageCount> FldigiSettings::defaultMessages() {
    return {"CQ WPX % % TEST", "$ * # #", "TU % TEST", "%", "$",      "AGN AGN",
            "NR? NR?",         "? ?",     "",          "",  "$ * # #"};
}

bool isAcceptableHost(std::string_view host) {
    if (host.empty() || host.size() > 253) {
        return false;
    }
    for (char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':';
        if (!ok) {
            return false;
        }
    }
    return true;
}

FldigiSettings FldigiSettings::load(const core::SettingsStore& store) {
    FldigiSettings s;
    s.program = core::equalsIgnoreCase(core::trim(store.read(kDigitalProgramKey, "Vemo")), "fldigi")
                    ? DigitalProgram::Fldigi
                    : DigitalProgram::Vemo;
    const std::string host = core::trim(store.read(kFldigiHostKey, kFldigiDefaultHost));
    s.host = isAcceptableHost(host) ? host : std::string(kFldigiDefaultHost);
    const std::string port = core::trim(store.read(kFldigiPortKey, ""));
    int value = 0;
    const auto res = std::from_chars(port.data(), port.data() + port.size(), value);
    s.port = res.ec == std::errc() && res.ptr == port.data() + port.size() && value >= 1 &&
                     value <= 65535
                 ? value
                 : kFldigiDefaultPort;
    s.rigSharedThroughFldigi = core::trim(store.read(kFldigiRigSharedKey, "0")) == "1";
    for (std::size_t i = 0; i < kFldigiMessageCount; ++i) {
        const std::string key = kFldigiMessageKeyPrefix + std::to_string(i + 1);
        s.messages[i] = store.read(key, s.messages[i]);
    }
    return s;
}

void FldigiSettings::save(core::SettingsStore& store) const {
    store.write(kDigitalProgramKey, program == DigitalProgram::Fldigi ? "fldigi" : "Vemo");
    store.write(kFldigiHostKey, host);
    store.write(kFldigiPortKey, std::to_string(port));
    store.write(kFldigiRigSharedKey, rigSharedThroughFldigi ? "1" : "0");
    for (std::size_t i = 0; i < kFldigiMessageCount; ++i) {
        store.write(kFldigiMessageKeyPrefix + std::to_string(i + 1), messages[i]);
    }
}

// ---------------------------------------------------------------- messages

std::string expandFldigiMessage(std::string_view pattern, const FldigiMessageValues& values) {
    const std::string report = core::trim(values.reportSent);
    std::string out;
    for (char c : pattern) {
        switch (c) {
        case '$':
            out += core::trim(values.call);
            break;
        case '#':
            out += core::trim(values.serial);
            break;
        case '*':
            out += report.empty() ? std::string("599") : report;
            break;
        case '%':
            out += core::trim(values.ownCall);
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::optional<std::string> fldigiTransmitText(const FldigiSettings& settings, int keyCode,
                                              const FldigiMessageValues& values) {
    int slot = -1;
    if (keyCode >= 112 && keyCode <= 120) {
        slot = keyCode - 112; // F1 .. F9
    } else if (keyCode == 124) {
        slot = 9; // F10, passed as 124
    } else if (keyCode == 122) {
        slot = 10; // F11
    }
    if (slot < 0) {
        return std::nullopt;
    }
    std::string text =
        expandFldigiMessage(settings.messages[static_cast<std::size_t>(slot)], values);
    std::string clean;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        // "^" starts one of fldigi's own controls; a control character has no
        // place in a message line.
        if (c != '^' && b >= 0x20 && b != 0x7F) {
            clean += c;
        }
    }
    clean = core::trim(clean);
    if (clean.empty()) {
        return std::nullopt;
    }
    // A fresh line at the other end, the message, then back to receive.
    return "\n" + latin1ToUtf8(clean) + " ^r";
}

// ---------------------------------------------------------------- log fields

namespace {

FldigiCall setField(const char* method, std::string_view latin1Value) {
    return FldigiCall{method, {XmlRpcValue::string(latin1ToUtf8(core::trim(latin1Value)))}};
}
} // namespace

std::vector<FldigiCall> fldigiLogFieldCalls(std::string_view item, std::string_view latin1Value) {
    if (item == "txtBUrCall") {
        return {setField("log.set_call", latin1Value)};
    }
    if (item == "txtBField1") {
        return {setField("log.set_rst_out", latin1Value)};
    }
    if (item == "txtRSTR") {
        return {setField("log.set_rst_in", latin1Value)};
    }
    if (item == "txtSec") {
        std::vector<FldigiCall> calls{setField("log.set_exchange", latin1Value)};
        const std::string value = core::trim(latin1Value);
        if (value.empty() || core::allDigits(value)) {
            calls.push_back(setField("log.set_serial_number", value));
        }
        return calls;
    }
    return {};
}

// ---------------------------------------------------------------- state and rig

TrxState parseTrxState(std::string_view text) {
    const std::string t = core::trim(text);
    if (core::equalsIgnoreCase(t, "RX")) {
        return TrxState::Receive;
    }
    if (core::equalsIgnoreCase(t, "TX")) {
        return TrxState::Transmit;
    }
    if (core::equalsIgnoreCase(t, "TUNE")) {
        return TrxState::Tune;
    }
    return TrxState::Unknown;
}

std::optional<float> fldigiFrequencyMhz(double hz) {
    if (!std::isfinite(hz) || hz <= 0.0 || hz > 300e9) {
        return std::nullopt;
    }
    return static_cast<float>(hz / 1e6);
}

// ---------------------------------------------------------------- transmitting

std::vector<FldigiCall> FldigiTransmitQueue::start(const std::string& text) {
    m_transmitting = true;
    m_seenTransmit = false;
    m_receivePolls = 0;
    return {FldigiCall{"text.add_tx", {XmlRpcValue::string(text)}}, FldigiCall{"main.tx", {}}};
}

std::vector<FldigiCall> FldigiTransmitQueue::send(const std::string& text) {
    if (!m_transmitting) {
        return start(text);
    }
    if (m_waiting.size() >= kMaxWaiting) {
        ++m_dropped;
        return {};
    }
    m_waiting.push_back(text);
    return {};
}

std::vector<FldigiCall> FldigiTransmitQueue::stateSeen(TrxState state) {
    if (!m_transmitting) {
        return {};
    }
    if (state == TrxState::Transmit || state == TrxState::Tune) {
        m_seenTransmit = true;
        return {};
    }
    if (state != TrxState::Receive) {
        return {};
    }
    // A reading taken before fldigi switched over says receive too: the
    // message counts as done once fldigi was seen sending it, or after a few
    // receive readings in a row (it was aborted, or never started).
    ++m_receivePolls;
    if (!m_seenTransmit && m_receivePolls < 3) {
        return {};
    }
    m_transmitting = false;
    if (m_waiting.empty()) {
        return {};
    }
    std::string next = std::move(m_waiting.front());
    m_waiting.pop_front();
    return start(next);
}

void FldigiTransmitQueue::reset() {
    m_waiting.clear();
    m_transmitting = false;
    m_seenTransmit = false;
    m_receivePolls = 0;
}

// ---------------------------------------------------------------- receive text

void FldigiReceiveText::reset() {
    m_position = -1;
    m_partial.clear();
}

std::optional<FldigiReceiveText::Range> FldigiReceiveText::lengthSeen(long long paneLength) {
    if (paneLength < 0 || paneLength > 0x7FFFFFFFLL) {
        return std::nullopt;
    }
    if (m_position < 0) {
        m_position = paneLength > kFirstBacklog ? paneLength - kFirstBacklog : 0;
    } else if (paneLength < m_position) {
        // The pane was cleared (or trimmed): read it from its start again.
        m_position = 0;
        m_partial.clear();
    }
    if (paneLength == m_position) {
        return std::nullopt;
    }
    const long long length = std::min(paneLength - m_position, kMaxRead);
    return Range{static_cast<int>(m_position), static_cast<int>(length)};
}

namespace {

// How many bytes at the end of `s` start a UTF-8 sequence that is not complete.
std::size_t unfinishedTail(std::string_view s) {
    const std::size_t n = s.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto b = static_cast<unsigned char>(s[n - back]);
        if ((b & 0xC0) == 0x80) {
            continue; // a continuation byte: look further back
        }
        std::size_t need = 1;
        if ((b & 0xE0) == 0xC0) {
            need = 2;
        } else if ((b & 0xF0) == 0xE0) {
            need = 3;
        } else if ((b & 0xF8) == 0xF0) {
            need = 4;
        }
        return need > back ? back : 0;
    }
    return 0;
}

} // namespace

std::string FldigiReceiveText::textRead(const Range& range, std::string_view bytes) {
    if (range.start != m_position || bytes.empty()) {
        return {}; // a stale answer, from before the pane was cleared
    }
    // fldigi never answers more than asked; more is not believed.
    if (bytes.size() > static_cast<std::size_t>(range.length)) {
        bytes = bytes.substr(0, static_cast<std::size_t>(range.length));
    }
    m_position += static_cast<long long>(bytes.size());
    std::string joined = m_partial + std::string(bytes);
    const std::size_t tail = unfinishedTail(joined);
    m_partial = joined.substr(joined.size() - tail);
    joined.resize(joined.size() - tail);
    std::string out;
    out.reserve(joined.size());
    for (char c : joined) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\n' || c == '\t' || (b >= 0x20 && b != 0x7F)) {
            out += c;
        }
    }
    return out;
}

// ---------------------------------------------------------------- clicked words

namespace {

bool isWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

} // namespace

ClickedWord clickedWordAt(std::string_view line, std::size_t index) {
    ClickedWord word;
    if (index >= line.size() || !isWordByte(line[index])) {
        return word;
    }
    std::size_t begin = index;
    while (begin > 0 && isWordByte(line[begin - 1])) {
        --begin;
    }
    std::size_t end = index;
    while (end < line.size() && isWordByte(line[end])) {
        ++end;
    }
    std::string text = upperLatin1(line.substr(begin, end - begin));
    // A slash at either end is punctuation, not part of a call.
    while (!text.empty() && text.front() == '/') {
        text.erase(text.begin());
    }
    while (!text.empty() && text.back() == '/') {
        text.pop_back();
    }
    if (text.empty()) {
        return word;
    }
    bool letter = false;
    for (char c : text) {
        letter = letter || (c >= 'A' && c <= 'Z');
    }
    if (letter) {
        word.target = ClickedWord::Target::Call;
        word.text = text.substr(0, 20);
    } else if (text.find('/') == std::string::npos) {
        word.target = ClickedWord::Target::Exchange;
        word.text = text.substr(0, 6);
    }
    return word;
}

} // namespace wexon::link
