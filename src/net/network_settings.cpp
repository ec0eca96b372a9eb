#include "net/network_settings.h"

#include <charconv>

#include "net/net_message.h"

namespace wexon::net {

namespace {

int readInt(const core::SettingsStore& store, const std::string& key, int fallback, int lo,
            int hi) {
    const std::string text = store.read(key, std::to_string(fallback));
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || v < lo || v > hi) {
        return fallback;
    }
    return v;
}

} // namespace

NetworkSettings NetworkSettings::load(const core::SettingsStore& store) {
    NetworkSettings s;
    s.on = store.read("Network/On", "0") == "1";
    s.host = store.read("Network/Host", s.host);
    s.port = readInt(store, "Network/Port", s.port, 1, 65535);
    s.user = store.read("Network/User", "");
    s.password = store.read("Network/Password", "");
    s.tls = store.read("Network/Tls", "0") == "1";
    s.caFile = store.read("Network/CaFile", "");
    s.station = store.read("Network/Station", s.station);
    s.op = store.read("Network/Operator", "");
    s.category = categoryFromName(store.read("Network/Category", categoryName(s.category)));
    s.transmitter = readInt(store, "Network/Transmitter", 0, 0, 1);
    s.contestId = store.read("Network/ContestId", "");
    return s;
}

void NetworkSettings::save(core::SettingsStore& store) const {
    store.write("Network/On", on ? "1" : "0");
    store.write("Network/Host", host);
    store.write("Network/Port", std::to_string(port));
    store.write("Network/User", user);
    store.write("Network/Password", password);
    store.write("Network/Tls", tls ? "1" : "0");
    store.write("Network/CaFile", caFile);
    store.write("Network/Station", station);
    store.write("Network/Operator", op);
    store.write("Network/Category", categoryName(category));
    store.write("Network/Transmitter", std::to_string(transmitter));
    store.write("Network/ContestId", contestId);
}

std::string NetworkSettings::problem() const {
    if (!isValidName(station, 16)) {
        return "The station name must be 1 to 16 letters, digits, '-' or '_' (e.g. RUN1, MULT, "
               "40M).";
    }
    if (!contestId.empty() && !isValidName(contestId)) {
        return "The contest id must be 1 to 32 letters, digits, '-' or '_'.";
    }
    if (host.empty() || host.find_first_of(" \t/") != std::string::npos) {
        return "The broker host is not a host name or address.";
    }
    if (port < 1 || port > 65535) {
        return "The broker port must be between 1 and 65535.";
    }
    if (tls && caFile.empty()) {
        return "TLS needs the CA certificate file that signed the broker's certificate.";
    }
    return {};
}

bool NetworkSettings::sameLink(const NetworkSettings& o) const {
    return on == o.on && host == o.host && port == o.port && user == o.user &&
           password == o.password && tls == o.tls && caFile == o.caFile &&
           station == o.station && contestId == o.contestId;
}

std::string defaultContestId(const std::string& contestMode, int year) {
    std::string mode = isValidName(contestMode, 4) ? contestMode : "CW";
    return "WPX-" + mode + "-" + std::to_string(year);
}

} // namespace wexon::net
