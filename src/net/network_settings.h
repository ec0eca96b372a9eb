#pragma once

#include <string>

#include "core/settings_store.h"
#include "net/multi_rules.h"

namespace wexon::net {

// The station network's settings as the settings store keeps them, under
// "Network/...". Networking is off until the operator turns it on.
struct NetworkSettings {
    bool on = false;
    std::string host = "127.0.0.1";
    int port = 1883;
    std::string user;
    std::string password;
    bool tls = false;
    std::string caFile;
    std::string station = "RUN1";
    std::string op;
    Category category = Category::MultiSingle;
    int transmitter = 0;
    std::string contestId; // empty: defaultContestId()

    bool operator==(const NetworkSettings&) const = default;

    // Read with defaults for missing or unusable values.
    static NetworkSettings load(const core::SettingsStore& store);
    void save(core::SettingsStore& store) const;

    // Why these settings cannot start the network; empty when they can.
    std::string problem() const;
    // Whether going from `other` to these settings needs a new connection
    // (anything but the operator, category and transmitter).
    bool sameLink(const NetworkSettings& other) const;
};

// "WPX-CW-2026": the contest id every station of a station network agrees on
// when none is typed, from the mode ("CW", "PH", "RY") and the UTC year.
std::string defaultContestId(const std::string& contestMode, int year);

} // namespace wexon::net
