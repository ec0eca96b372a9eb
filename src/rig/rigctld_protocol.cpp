#include "rig/rigctld_protocol.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

namespace wexon::rig {

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// The value after "<name>:" on a line, trimmed; nothing when the line is not that.
std::optional<std::string_view> field(std::string_view line, std::string_view name) {
    line = trimmed(line);
    if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
        line[name.size()] != ':') {
        return std::nullopt;
    }
    return trimmed(line.substr(name.size() + 1));
}

// Hz as rigctld prints them: digits, perhaps a decimal fraction.
std::optional<double> hertz(std::string_view text) {
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    auto value = digitsValue(whole);
    if (!value || whole.size() > 15) {
        return std::nullopt;
    }
    double hz = static_cast<double>(*value);
    if (point != std::string_view::npos) {
        std::string_view fraction = text.substr(point + 1);
        if (!fraction.empty()) {
            double scale = 0.1;
            for (char c : fraction) {
                if (c < '0' || c > '9') {
                    return std::nullopt;
                }
                hz += scale * (c - '0');
                scale /= 10;
            }
        }
    }
    return hz;
}

struct ModeName {
    const char* ours;
    const char* hamlib;
};

// The band plan and the other rig families spell the reverse modes "CW-R" and
// "RTTY-R", and data "DIG"; those spellings are taken too.
constexpr std::array<ModeName, 18> kModeNames{{
    {"CW", "CW"},
    {"CWR", "CWR"},
    {"CW-R", "CWR"},
    {"LSB", "LSB"},
    {"USB", "USB"},
    {"AM", "AM"},
    {"FM", "FM"},
    {"RTTY", "RTTY"},
    {"FSK", "RTTY"},
    {"RY", "RTTY"},
    {"RTTYR", "RTTYR"},
    {"RTTY-R", "RTTYR"},
    {"PKTUSB", "PKTUSB"},
    {"PKT", "PKTUSB"},
    {"DATA", "PKTUSB"},
    {"DIG", "PKTUSB"},
    {"PKTLSB", "PKTLSB"},
    {"PKTFM", "PKTFM"},
}};

struct ModeClass {
    const char* hamlib;
    const char* ours;
};

constexpr std::array<ModeClass, 24> kModeClasses{{
    {"CW", "CW"},         {"CWR", "CW"},        {"USB", "PH"},       {"LSB", "PH"},
    {"DSB", "PH"},        {"ECSSUSB", "PH"},    {"ECSSLSB", "PH"},   {"SAL", "PH"},
    {"SAH", "PH"},        {"AM", "AM"},         {"AMS", "AM"},       {"SAM", "AM"},
    {"AMN", "AM"},        {"FM", "FM"},         {"FMN", "FM"},       {"WFM", "FM"},
    {"C4FM", "FM"},       {"RTTY", "RY"},       {"RTTYR", "RY"},     {"PKTUSB", "RY"},
    {"PKTLSB", "RY"},     {"PKTFM", "RY"},      {"PKTAM", "RY"},     {"FAX", "RY"},
}};

} // namespace

std::optional<int> rigctldPortNumber(std::string_view text) {
    text = trimmed(text);
    auto value = digitsValue(text);
    if (!value || text.size() > 5 || *value < 1 || *value > 65535) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::string rigctldPollCommand() {
    return "+f\n+m\n";
}

std::string rigctldFrequencyCommand(float mhz) {
    // The frequency travels as a float, whose nearest value to 21.3 is
    // 21.2999992...; times a million that is 1 Hz short. Its shortest decimal
    // form ("21.3") is the frequency meant, so the Hz come from that.
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, mhz);
    if (ec != std::errc()) {
        return {};
    }
    double meant = 0;
    auto parsed = std::from_chars(text, end, meant);
    if (parsed.ec != std::errc() || !std::isfinite(meant)) {
        return {};
    }
    auto hz = frequencyCount(static_cast<float>(meant), 1000000.0);
    if (!hz) {
        return {};
    }
    const double exact = std::nearbyint(meant * 1000000.0);
    return "+F " + std::to_string(static_cast<long long>(exact)) + "\n";
}

std::string rigctldModeName(std::string_view mode) {
    mode = trimmed(mode);
    for (const ModeName& m : kModeNames) {
        if (sameText(mode, m.ours)) {
            return m.hamlib;
        }
    }
    return {};
}

std::string rigctldModeCommand(std::string_view mode) {
    std::string name = rigctldModeName(mode);
    if (name.empty()) {
        return {};
    }
    return "+M " + name + " 0\n";
}

std::string programModeOf(std::string_view hamlibMode) {
    hamlibMode = trimmed(hamlibMode);
    for (const ModeClass& m : kModeClasses) {
        if (sameText(hamlibMode, m.hamlib)) {
            return m.ours;
        }
    }
    return {};
}

bool parseRigctldReply(std::string_view lines, RigReading& reading) {
    bool taken = false;
    while (!lines.empty()) {
        std::size_t end = lines.find('\n');
        std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
        if (auto value = field(line, "Frequency")) {
            auto hz = hertz(*value);
            // A number beyond the readings' bound is a garbled reply, and
            // the last good reading stays.
            if (auto mhz = hz ? readingMhz(*hz / 1000000.0) : std::nullopt) {
                reading.frequency = *mhz;
                taken = true;
            }
        } else if (auto mode = field(line, "Mode")) {
            std::string ours = programModeOf(*mode);
            if (!ours.empty()) {
                reading.mode = ours;
                taken = true;
            }
        }
    }
    return taken;
}

std::optional<int> rigctldReturnCode(std::string_view line) {
    line = trimmed(line);
    if (line.size() < 6 || line.substr(0, 5) != "RPRT ") {
        return std::nullopt;
    }
    std::string_view number = trimmed(line.substr(5));
    bool negative = !number.empty() && number.front() == '-';
    if (negative) {
        number.remove_prefix(1);
    }
    auto value = digitsValue(number);
    if (!value || number.size() > 6) {
        return std::nullopt;
    }
    return static_cast<int>(negative ? -*value : *value);
}

std::string rigctldErrorText(int code) {
    static constexpr std::array<const char*, 18> kErrors{{
        "Command completed successfully",
        "Invalid parameter",
        "Invalid configuration",
        "Memory shortage",
        "Function not implemented",
        "Communication timed out",
        "IO error",
        "Internal Hamlib error",
        "Protocol error",
        "Command rejected by the rig",
        "Command performed, but arg truncated",
        "Function not available",
        "VFO not targetable",
        "Error talking on the bus",
        "Collision on the bus",
        "NULL RIG handle or invalid pointer parameter",
        "Invalid VFO",
        "Argument out of domain of func",
    }};
    const int index = code < 0 ? -code : code;
    std::string text = "rigctld: ";
    if (index < static_cast<int>(kErrors.size())) {
        text += kErrors[static_cast<std::size_t>(index)];
        text += " ";
    }
    return text + "(RPRT " + std::to_string(code) + ")";
}

bool RigctldSession::queue(std::string_view bytes) {
    std::size_t commands = 0;
    for (char c : bytes) {
        if (c == '\n') {
            ++commands;
        }
    }
    if (m_queue.size() + commands > kQueueLimit) {
        return false;
    }
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            break;
        }
        m_queue.emplace_back(bytes.substr(0, end + 1));
        bytes.remove_prefix(end + 1);
    }
    return true;
}

std::optional<std::string> RigctldSession::nextCommand(TimePoint now) {
    if (m_queue.empty() ||
        (m_inFlight && now - m_sentAt < std::chrono::milliseconds(kRigctldReplyTimeoutMs))) {
        return std::nullopt;
    }
    std::string command = std::move(m_queue.front());
    m_queue.pop_front();
    m_inFlight = true;
    m_sentAt = now;
    return command;
}

void RigctldSession::received(std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            if (!m_skipping) {
                m_partial.append(bytes);
                if (m_partial.size() > kRigctldLineLimit) {
                    m_partial.clear();
                    m_skipping = true;
                }
            }
            return;
        }
        if (m_skipping) {
            m_skipping = false;
        } else {
            m_partial.append(bytes.substr(0, end));
            if (m_partial.size() <= kRigctldLineLimit) {
                line(m_partial);
            }
        }
        m_partial.clear();
        bytes.remove_prefix(end + 1);
    }
}

void RigctldSession::line(std::string_view text) {
    m_lines.append(text);
    m_lines.push_back('\n');
    // Cut only at twice the limit, so that a flood costs one move per limit's
    // worth of lines rather than one per line.
    if (m_lines.size() > 2 * kRigctldPendingLimit) {
        keepNewestLines();
    }
    if (auto code = rigctldReturnCode(text)) {
        m_inFlight = false;
        if (*code < 0 && m_label.rfind("set_", 0) == 0) {
            m_commandError = rigctldErrorText(*code);
        }
        m_label.clear();
        return;
    }
    // A block starts with its command's name and a colon: "get_freq:",
    // "set_freq: 14025000". Value lines ("Frequency: ...") are capitalised.
    std::string_view t = trimmed(text);
    std::size_t colon = t.find(':');
    if (colon != std::string_view::npos && colon > 0 && t[0] >= 'a' && t[0] <= 'z') {
        m_label.assign(t.substr(0, colon));
    }
}

void RigctldSession::keepNewestLines() {
    if (m_lines.size() <= kRigctldPendingLimit) {
        return;
    }
    // Cut the oldest lines, up to a line end.
    const std::size_t cut = m_lines.size() - kRigctldPendingLimit;
    const std::size_t end = m_lines.find('\n', cut - 1);
    m_lines.erase(0, end == std::string::npos ? m_lines.size() : end + 1);
}

std::string RigctldSession::takeLines() {
    keepNewestLines();
    return std::exchange(m_lines, std::string());
}

bool RigctldSession::awaitingReplies(TimePoint now) const {
    return !m_queue.empty() ||
           (m_inFlight && now - m_sentAt < std::chrono::milliseconds(kRigctldReplyTimeoutMs));
}

std::string RigctldSession::takeCommandError() {
    return std::exchange(m_commandError, std::string());
}

void RigctldSession::reset() {
    m_partial.clear();
    m_skipping = false;
    m_lines.clear();
    m_label.clear();
    m_commandError.clear();
    m_queue.clear();
    m_inFlight = false;
    m_sentAt = {};
}

} // namespace wexon::rig
