#include "output/contact_broadcast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::output {

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

void field(std::string& out, const char* tag, std::string_view value) {
    out += "\t<";
    out += tag;
    out += '>';
    out += xmlEscape(value);
    out += "</";
    out += tag;
    out += ">\n";
}

void field(std::string& out, const char* tag, std::int64_t value) {
    field(out, tag, std::to_string(value));
}

const char* trueFalse(bool value) {
    return value ? "True" : "False";
}

// The leading whole number of a serial ("001" gives 1, "12A" gives 12); 0 when
// it has none or it is out of range.
std::int64_t serialNumber(std::string_view text) {
    const double v = core::leadingNumber(text);
    if (!std::isfinite(v) || v < 0 || v > 1e9) {
        return 0;
    }
    return static_cast<std::int64_t>(v);
}

std::string operatorOf(const BroadcastStation& station) {
    const std::string op = core::trim(station.operatorCall);
    return op.empty() ? core::trim(station.myCall) : op;
}

bool rigInterfaced(const BroadcastStation& station) {
    const std::string rig = core::trim(station.rigName);
    return !rig.empty() && !core::equalsIgnoreCase(rig, "None");
}

// The fields <contactinfo> and <contactreplace> share.
std::string contactBody(const char* root, const BroadcastStation& station,
                        const BroadcastContact& contact) {
    static const core::QsoRecord kEmpty;
    const core::QsoRecord& r = contact.record != nullptr ? *contact.record : kEmpty;
    const std::int64_t freq = frequencyTensOfHz(r.frequency, r.band);
    std::string out = kDeclaration;
    out += '<';
    out += root;
    out += ">\n";
    field(out, "app", station.app);
    field(out, "contestname", broadcastContestName(station.contestMode));
    field(out, "contestnr", 1);
    field(out, "timestamp", broadcastTimestamp(r.qsoDate, r.qsoTime));
    field(out, "mycall", core::trim(station.myCall));
    field(out, "band", broadcastBand(r.band));
    field(out, "rxfreq", freq);
    field(out, "txfreq", freq);
    field(out, "operator", operatorOf(station));
    field(out, "mode", broadcastMode(station.contestMode));
    field(out, "call", r.call);
    field(out, "countryprefix", "");
    field(out, "wpxprefix", r.prefix);
    field(out, "stationprefix", "");
    field(out, "continent", "");
    field(out, "snt", r.rstSent);
    field(out, "sntnr", serialNumber(r.serialSent));
    field(out, "rcv", r.rstReceived);
    field(out, "rcvnr", serialNumber(r.serialReceived));
    field(out, "gridsquare", "");
    field(out, "exchange1", "");
    field(out, "section", "");
    field(out, "comment", "");
    field(out, "qth", "");
    field(out, "name", "");
    field(out, "power", "");
    field(out, "misctext", r.country);
    field(out, "zone", 0);
    field(out, "prec", "");
    field(out, "ck", 0);
    field(out, "ismultiplier1", contact.isMultiplier ? 1 : 0);
    field(out, "ismultiplier2", 0);
    field(out, "ismultiplier3", 0);
    field(out, "points", core::formatShortest(r.points));
    field(out, "radionr", 1);
    field(out, "run1run2", 1);
    field(out, "RoverLocation", "");
    field(out, "RadioInterfaced", rigInterfaced(station) ? 1 : 0);
    field(out, "NetworkedCompNr", 0);
    field(out, "IsOriginal", "True");
    field(out, "NetBiosName", station.stationName);
    field(out, "IsRunQSO", 0);
    field(out, "StationName", station.stationName);
    field(out, "ID", contact.id);
    field(out, "IsClaimedQso", 1);
    out += "</";
    out += root;
    out += ">\n";
    return out;
}

std::uint64_t fnv1a(std::string_view text, std::uint64_t hash) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

} // namespace

std::string xmlEscape(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                out += ' ';
            } else if (c == 0x7F) {
                out += ' ';
            } else if (c >= 0x80) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

std::string broadcastBand(std::string_view band) {
    static constexpr std::pair<const char*, const char*> kBands[] = {
        {"160", "1.8"}, {"80", "3.5"}, {"40", "7"}, {"20", "14"}, {"15", "21"}, {"10", "28"},
    };
    const std::string trimmed = core::trim(band);
    for (const auto& [name, mhz] : kBands) {
        if (trimmed == name) {
            return mhz;
        }
    }
    return trimmed;
}

std::string broadcastMode(std::string_view contestMode) {
    const std::string mode = core::toUpper(core::trim(contestMode));
    if (mode == "PH") {
        return "SSB";
    }
    if (mode == "RY") {
        return "RTTY";
    }
    return mode;
}

std::string broadcastContestName(std::string_view contestMode) {
    return "CQ-WPX-" + broadcastMode(contestMode);
}

std::int64_t frequencyTensOfHz(std::string_view mhzText, std::string_view band) {
    if (auto mhz = core::parseNumber(core::trim(mhzText))) {
        if (std::isfinite(*mhz) && *mhz > 0 && *mhz < 1e6) {
            return std::llround(*mhz * 100000.0);
        }
    }
    const std::string edge = broadcastBand(band);
    if (auto mhz = core::parseNumber(edge)) {
        if (*mhz > 0 && *mhz < 1e6) {
            return std::llround(*mhz * 100000.0);
        }
    }
    return 0;
}

std::string broadcastTimestamp(std::string_view date, std::string_view time) {
    std::string d(core::trim(date));
    for (char& c : d) {
        if (c == '/') {
            c = '-';
        }
    }
    return d + ' ' + core::trim(time);
}

std::string contactInfoXml(const BroadcastStation& station, const BroadcastContact& contact) {
    return contactBody("contactinfo", station, contact);
}

std::string contactReplaceXml(const BroadcastStation& station, const BroadcastContact& contact) {
    return contactBody("contactreplace", station, contact);
}

std::string contactDeleteXml(const BroadcastStation& station, const BroadcastContact& contact) {
    static const core::QsoRecord kEmpty;
    const core::QsoRecord& r = contact.record != nullptr ? *contact.record : kEmpty;
    std::string out = kDeclaration;
    out += "<contactdelete>\n";
    field(out, "app", station.app);
    field(out, "timestamp", broadcastTimestamp(r.qsoDate, r.qsoTime));
    field(out, "call", r.call);
    field(out, "contestnr", 1);
    field(out, "StationName", station.stationName);
    field(out, "ID", contact.id);
    out += "</contactdelete>\n";
    return out;
}

std::string radioInfoXml(const BroadcastStation& station, const RadioState& radio) {
    std::string out = kDeclaration;
    out += "<RadioInfo>\n";
    field(out, "app", station.app);
    field(out, "StationName", station.stationName);
    field(out, "RadioNr", 1);
    field(out, "Freq", radio.frequencyTensOfHz);
    field(out, "TXFreq", radio.frequencyTensOfHz);
    field(out, "Mode", radio.mode);
    field(out, "OpCall", operatorOf(station));
    field(out, "IsRunning", trueFalse(false));
    field(out, "FocusEntry", 0);
    field(out, "EntryWindowHwnd", 0);
    field(out, "Antenna", -1);
    field(out, "Rotors", "");
    field(out, "FocusRadioNr", 1);
    field(out, "IsStereo", trueFalse(false));
    field(out, "IsSplit", trueFalse(false));
    field(out, "ActiveRadioNr", 1);
    field(out, "IsTransmitting", trueFalse(false));
    field(out, "FunctionKeyCaption", "");
    field(out, "RadioName", rigInterfaced(station) ? core::trim(station.rigName) : std::string());
    field(out, "AuxAntSelected", -1);
    field(out, "AuxAntSelectedName", "");
    field(out, "IsConnected", trueFalse(radio.connected));
    out += "</RadioInfo>\n";
    return out;
}

std::string contactId(std::string_view myCall, const core::QsoRecord& record, int occurrence) {
    std::string key = core::toUpper(core::trim(myCall));
    key += '\x1f';
    key += core::toUpper(core::trim(record.call));
    key += '\x1f';
    key += core::trim(record.band);
    key += '\x1f';
    key += core::trim(record.qsoDate);
    key += '\x1f';
    key += core::trim(record.qsoTime);
    key += '\x1f';
    key += std::to_string(occurrence);
    const std::uint64_t high = fnv1a(key, 0xcbf29ce484222325ULL);
    const std::uint64_t low = fnv1a(key, 0x84222325cbf29ce4ULL ^ high);
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(high),
                  static_cast<unsigned long long>(low));
    return text;
}

bool isFirstOfPrefix(const std::vector<core::QsoRecord>& records, int number) {
    if (number < 1 || number > static_cast<int>(records.size())) {
        return false;
    }
    const std::string prefix = core::trim(records[static_cast<std::size_t>(number - 1)].prefix);
    if (prefix.empty()) {
        return false;
    }
    for (int i = 0; i < number - 1; ++i) {
        if (core::equalsIgnoreCase(core::trim(records[static_cast<std::size_t>(i)].prefix),
                                   prefix)) {
            return false;
        }
    }
    return true;
}

std::string ContactIds::freshId(std::string_view myCall, const core::QsoRecord& record) const {
    // Two contacts equal in call, band, date and time (a contact logged twice
    // in one second) still get ids of their own.
    for (int occurrence = 0;; ++occurrence) {
        std::string id = contactId(myCall, record, occurrence);
        if (!m_taken.contains(id)) {
            return id;
        }
    }
}

namespace {

std::uint64_t contentDigest(const core::QsoRecord& r) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const std::string* field :
         {&r.call, &r.rstReceived, &r.serialReceived, &r.rstSent, &r.country, &r.qsoDate,
          &r.qsoTime, &r.band, &r.prefix, &r.serialSent, &r.frequency}) {
        h = fnv1a(*field, h);
        h = fnv1a("\x1f", h);
    }
    return fnv1a(core::formatShortest(r.points), h);
}

} // namespace

void ContactIds::reset(std::string_view myCall, const std::vector<core::QsoRecord>& records) {
    // The ids of the contacts held so far, by content, in record order.
    std::unordered_multimap<std::uint64_t, std::string> earlier;
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        earlier.emplace(m_contents[i], std::move(m_ids[i]));
    }
    m_ids.assign(records.size(), std::string());
    m_contents.clear();
    m_contents.reserve(records.size());
    m_taken.clear();
    for (std::size_t i = 0; i < records.size(); ++i) {
        m_contents.push_back(contentDigest(records[i]));
        const auto it = earlier.find(m_contents[i]);
        if (it != earlier.end()) {
            m_ids[i] = std::move(it->second);
            earlier.erase(it);
            m_taken.insert(m_ids[i]);
        }
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (m_ids[i].empty()) {
            m_ids[i] = freshId(myCall, records[i]);
            m_taken.insert(m_ids[i]);
        }
    }
}

const std::string& ContactIds::appended(std::string_view myCall, int number,
                                        const core::QsoRecord& record) {
    std::string id = freshId(myCall, record);
    m_taken.insert(id);
    const std::size_t at =
        number < 1 ? 0 : std::min(static_cast<std::size_t>(number - 1), m_ids.size());
    m_ids.insert(m_ids.begin() + static_cast<std::ptrdiff_t>(at), std::move(id));
    m_contents.insert(m_contents.begin() + static_cast<std::ptrdiff_t>(at), contentDigest(record));
    return m_ids[at];
}

std::string ContactIds::replaced(int number, const core::QsoRecord& record) {
    if (number < 1 || number > size()) {
        return {};
    }
    m_contents[static_cast<std::size_t>(number - 1)] = contentDigest(record);
    return m_ids[static_cast<std::size_t>(number - 1)];
}

std::string ContactIds::idOf(int number) const {
    if (number < 1 || number > size()) {
        return {};
    }
    return m_ids[static_cast<std::size_t>(number - 1)];
}

std::string ContactIds::removed(int number) {
    if (number < 1 || number > size()) {
        return {};
    }
    const auto it = m_ids.begin() + (number - 1);
    std::string id = std::move(*it);
    m_ids.erase(it);
    m_contents.erase(m_contents.begin() + (number - 1));
    m_taken.erase(id);
    return id;
}

namespace {

// A dotted IPv4 address: four numbers 0-255, digits only.
bool isIpv4(std::string_view text) {
    int parts = 0;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t j = i;
        int value = 0;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9' && j - i < 3) {
            value = value * 10 + (text[j] - '0');
            ++j;
        }
        if (j == i || value > 255) {
            return false;
        }
        ++parts;
        if (j == text.size()) {
            return parts == 4;
        }
        if (text[j] != '.' || parts == 4) {
            return false;
        }
        i = j + 1;
    }
    return false;
}

} // namespace

DestinationList parseBroadcastDestinations(std::string_view text) {
    constexpr std::size_t kMaxDestinations = 16;
    DestinationList out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ',' || text[i] == ';' || text[i] == ' ' ||
                                   text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
            ++i;
        }
        std::size_t j = i;
        while (j < text.size() && text[j] != ',' && text[j] != ';' && text[j] != ' ' &&
               text[j] != '\t' && text[j] != '\r' && text[j] != '\n') {
            ++j;
        }
        if (j == i) {
            break;
        }
        const std::string_view entry = text.substr(i, j - i);
        i = j;
        std::string why;
        BroadcastDestination d;
        const auto colon = entry.rfind(':');
        if (colon == std::string_view::npos) {
            why = "no port";
        } else {
            d.host = core::trim(entry.substr(0, colon));
            if (core::equalsIgnoreCase(d.host, "localhost")) {
                d.host = "127.0.0.1";
            }
            const std::string_view port = entry.substr(colon + 1);
            int value = 0;
            bool digits = !port.empty() && port.size() <= 5;
            for (char c : port) {
                digits = digits && c >= '0' && c <= '9';
                if (digits) {
                    value = value * 10 + (c - '0');
                }
            }
            if (!isIpv4(d.host)) {
                why = "not an IPv4 address";
            } else if (!digits || value < 1 || value > 65535) {
                why = "port not 1-65535";
            } else {
                d.port = value;
            }
        }
        if (!why.empty()) {
            if (out.error.empty()) {
                out.error = std::string(entry.substr(0, 64)) + ": " + why;
            }
            continue;
        }
        if (out.destinations.size() == kMaxDestinations) {
            if (out.error.empty()) {
                out.error = "more than 16 destinations";
            }
            break;
        }
        if (std::find(out.destinations.begin(), out.destinations.end(), d) ==
            out.destinations.end()) {
            out.destinations.push_back(d);
        }
    }
    return out;
}

std::string formatBroadcastDestinations(const std::vector<BroadcastDestination>& list) {
    std::string out;
    for (const BroadcastDestination& d : list) {
        if (!out.empty()) {
            out += ", ";
        }
        out += d.host + ':' + std::to_string(d.port);
    }
    return out;
}

namespace {

bool readFlag(const core::SettingsStore& store, const char* key, bool fallback) {
    const std::string v = core::trim(store.read(key, fallback ? "1" : "0"));
    if (v == "1") {
        return true;
    }
    if (v == "0") {
        return false;
    }
    return fallback;
}


} // namespace

std::string readOneLineSetting(const core::SettingsStore& store, const char* key,
                               const std::string& fallback, std::size_t limit) {
    std::string v = store.read(key, fallback);
    for (char& c : v) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    v = core::trim(v);
    return v.size() > limit ? v.substr(0, limit) : v;
}

BroadcastSettings BroadcastSettings::load(const core::SettingsStore& store) {
    BroadcastSettings s;
    s.enabled = readFlag(store, kEnabledKey, s.enabled);
    s.destinations = readOneLineSetting(store, kDestinationsKey, s.destinations, 1024);
    s.contacts = readFlag(store, kContactsKey, s.contacts);
    s.radio = readFlag(store, kRadioKey, s.radio);
    s.score = readFlag(store, kScoreKey, s.score);
    s.operatorCall = readOneLineSetting(store, kOperatorKey, "", 32);
    s.stationName = readOneLineSetting(store, kStationNameKey, "", 64);
    return s;
}

void BroadcastSettings::save(core::SettingsStore& store) const {
    store.write(kEnabledKey, enabled ? "1" : "0");
    store.write(kDestinationsKey, destinations);
    store.write(kContactsKey, contacts ? "1" : "0");
    store.write(kRadioKey, radio ? "1" : "0");
    store.write(kScoreKey, score ? "1" : "0");
    store.write(kOperatorKey, operatorCall);
    store.write(kStationNameKey, stationName);
}

bool RadioInfoCadence::take(std::int64_t nowMs, const RadioState& radio) {
    const bool changed = !m_sentOnce || radio.frequencyTensOfHz != m_lastSent.frequencyTensOfHz ||
                         radio.mode != m_lastSent.mode || radio.connected != m_lastSent.connected;
    if (!changed && nowMs - m_lastSentMs < m_maxQuietMs) {
        return false;
    }
    m_sentOnce = true;
    m_lastSentMs = nowMs;
    m_lastSent = radio;
    return true;
}

} // namespace wexon::output
