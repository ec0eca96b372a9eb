#include "net/net_message.h"

#include <charconv>
#include <vector>

#include "core/number_format.h"

namespace wexon::net {

namespace {

constexpr char kSep = '\t';
// Tag, contest, station, instance, operator, id, revision, deleted, the twelve
// contact fields, transmitter.
constexpr std::size_t kFieldCount = 8 + core::kQsoFieldCount + 1;

std::string clean(std::string_view text) {
    std::string out(text.substr(0, kMaxFieldBytes));
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line, char sep) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        std::size_t at = line.find(sep, start);
        if (at == std::string_view::npos) {
            out.push_back(line.substr(start));
            return out;
        }
        out.push_back(line.substr(start, at - start));
        start = at + 1;
    }
}

bool hasControl(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

std::optional<std::uint64_t> parseUnsigned(std::string_view text) {
    if (text.empty() || text.size() > 19) {
        return std::nullopt;
    }
    std::uint64_t v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size()) {
        return std::nullopt;
    }
    return v;
}

// Points travel as the log writes them, in their shortest form.
std::optional<float> parsePoints(std::string_view text) {
    if (text.empty() || text.size() > 12) {
        return std::nullopt;
    }
    float v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || !(v >= 0.0f && v <= 1000.0f)) {
        return std::nullopt;
    }
    return v;
}

} // namespace

bool isValidName(std::string_view name, std::size_t maxLength) {
    if (name.empty() || name.size() > maxLength) {
        return false;
    }
    for (char c : name) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::string encodeContact(const ContactMessage& m) {
    const core::QsoRecord& r = m.record;
    const std::string fields[] = {std::string(kMessageTag),
                                  clean(m.contestId),
                                  clean(m.station),
                                  clean(m.instance),
                                  clean(m.op),
                                  clean(m.id),
                                  std::to_string(m.revision),
                                  m.deleted ? "1" : "0",
                                  clean(r.call),
                                  clean(r.rstReceived),
                                  clean(r.serialReceived),
                                  clean(r.rstSent),
                                  clean(r.country),
                                  clean(r.qsoDate),
                                  clean(r.qsoTime),
                                  clean(r.band),
                                  core::formatShortest(r.points),
                                  clean(r.prefix),
                                  clean(r.serialSent),
                                  clean(r.frequency),
                                  std::to_string(m.transmitter)};
    std::string out;
    for (const std::string& f : fields) {
        if (!out.empty()) {
            out += kSep;
        }
        out += f;
    }
    return out;
}

ParsedContact parseContact(std::string_view bytes) {
    ParsedContact result;
    auto refuse = [&result](std::string why) {
        result.error = std::move(why);
        return result;
    };
    if (bytes.size() > kMaxMessageBytes) {
        return refuse("message too long (" + std::to_string(bytes.size()) + " bytes)");
    }
    if (bytes.substr(0, 3) != "WXN") {
        return refuse("not a station-network contact message");
    }
    std::vector<std::string_view> f = splitFields(bytes, kSep);
    if (f[0] != kMessageTag) {
        return refuse("unknown message version \"" + std::string(f[0].substr(0, 16)) + "\"");
    }
    if (f.size() != kFieldCount) {
        return refuse("message has " + std::to_string(f.size()) + " fields instead of " +
                      std::to_string(kFieldCount));
    }
    for (std::string_view field : f) {
        if (field.size() > kMaxFieldBytes) {
            return refuse("message field too long");
        }
        if (hasControl(field)) {
            return refuse("message holds control characters");
        }
    }
    ContactMessage m;
    m.contestId = f[1];
    m.station = f[2];
    m.instance = f[3];
    m.op = f[4];
    m.id = f[5];
    if (!isValidName(m.contestId) || !isValidName(m.station) || !isValidName(m.instance) ||
        !isValidName(m.id, 48)) {
        return refuse("message names a contest, station, instance or id that is not valid");
    }
    auto revision = parseUnsigned(f[6]);
    if (!revision || *revision == 0) {
        return refuse("message revision is not a positive number");
    }
    m.revision = *revision;
    if (f[7] != "0" && f[7] != "1") {
        return refuse("message deleted flag is not 0 or 1");
    }
    m.deleted = f[7] == "1";
    core::QsoRecord& r = m.record;
    r.call = f[8];
    r.rstReceived = f[9];
    r.serialReceived = f[10];
    r.rstSent = f[11];
    r.country = f[12];
    r.qsoDate = f[13];
    r.qsoTime = f[14];
    r.band = f[15];
    auto points = parsePoints(f[16]);
    if (!points) {
        return refuse("message points are not a number");
    }
    r.points = *points;
    r.prefix = f[17];
    r.serialSent = f[18];
    r.frequency = f[19];
    if (f[20] != "0" && f[20] != "1") {
        return refuse("message transmitter is not 0 or 1");
    }
    m.transmitter = f[20] == "1" ? 1 : 0;
    result.message = std::move(m);
    return result;
}

std::string encodeStatus(const StationStatus& s) {
    return std::string("WXS1\t") + s.station + "\t" + s.instance + "\t" + (s.up ? "up" : "down");
}

std::optional<StationStatus> parseStatus(std::string_view bytes) {
    if (bytes.size() > 256) {
        return std::nullopt;
    }
    std::vector<std::string_view> f = splitFields(bytes, kSep);
    if (f.size() != 4 || f[0] != "WXS1" || !isValidName(f[1]) || !isValidName(f[2]) ||
        (f[3] != "up" && f[3] != "down")) {
        return std::nullopt;
    }
    return StationStatus{std::string(f[1]), std::string(f[2]), f[3] == "up"};
}

std::string contactTopic(std::string_view contestId, std::string_view station,
                         std::string_view id) {
    return "wexon/" + std::string(contestId) + "/log/" + std::string(station) + "/" +
           std::string(id);
}

std::string statusTopic(std::string_view contestId, std::string_view station) {
    return "wexon/" + std::string(contestId) + "/station/" + std::string(station);
}

std::string markerTopic(std::string_view contestId, std::string_view station,
                        std::string_view instance) {
    return "wexon/" + std::string(contestId) + "/sync/" + std::string(station) + "/" +
           std::string(instance);
}

std::string contestFilter(std::string_view contestId) {
    return "wexon/" + std::string(contestId) + "/#";
}

std::optional<TopicParts> parseTopic(std::string_view contestId, std::string_view topic) {
    if (topic.size() > 256) {
        return std::nullopt;
    }
    std::vector<std::string_view> l = splitFields(topic, '/');
    if (l.size() < 4 || l[0] != "wexon" || l[1] != contestId || !isValidName(l[3])) {
        return std::nullopt;
    }
    if (l[2] == "log" && l.size() == 5 && isValidName(l[4], 48)) {
        return TopicParts{TopicParts::Kind::Contact, std::string(l[3]), std::string(l[4])};
    }
    if (l[2] == "station" && l.size() == 4) {
        return TopicParts{TopicParts::Kind::Status, std::string(l[3]), {}};
    }
    if (l[2] == "sync" && l.size() == 5 && isValidName(l[4])) {
        return TopicParts{TopicParts::Kind::Marker, std::string(l[3]), std::string(l[4])};
    }
    return std::nullopt;
}

} // namespace wexon::net
