#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/qso_record.h"

namespace wexon::net {

// The version of the contact message this program writes and the only one it
// reads. A station that meets another version refuses the message rather than
// guess at its fields.
inline constexpr int kMessageVersion = 1;
// The first field of every message: the format's name and version.
inline constexpr std::string_view kMessageTag = "WXN1";
// A message is one line of tab-separated fields; nothing longer is read.
inline constexpr std::size_t kMaxMessageBytes = 4096;
// Any one field (a call, a country name) is at most this long.
inline constexpr std::size_t kMaxFieldBytes = 256;

// One contact of one station as it travels between stations: who logged it,
// under which id, in which revision, and its fields. A deleted contact is a
// tombstone: same id, a higher revision, `deleted` set, the fields as they were.
struct ContactMessage {
    std::string contestId;  // the contest the station network is logging
    std::string station;    // the logging station's name ("RUN1")
    std::string instance;   // the running program that published it
    std::string op;         // the operator's call when the contact was logged
    std::string id;         // the contact's id, stable for its life
    std::uint64_t revision = 1;
    bool deleted = false;
    core::QsoRecord record;
    int transmitter = 0; // 0 or 1: which transmitter of a Multi-Two station

    bool operator==(const ContactMessage&) const = default;
};

// Station names, contest ids, contact ids and instance ids become MQTT topic
// levels, so they are kept to letters, digits, '-' and '_', 1 to 32 characters
// (contact ids up to 48). Anything else could reach into another topic.
bool isValidName(std::string_view name, std::size_t maxLength = 32);

// The message as one line (no line end). Tabs, CR and LF inside fields become
// blanks, so a field never splits the line.
std::string encodeContact(const ContactMessage& message);

struct ParsedContact {
    std::optional<ContactMessage> message;
    std::string error; // why it was refused; empty when `message` is set
};
// Reads a message strictly: the tag, exactly the fields in order, names that
// are valid topic levels, a revision above zero, a deleted flag of 0 or 1, no
// control characters, nothing oversized. Anything else is refused with a reason.
ParsedContact parseContact(std::string_view bytes);

// The state of a station, retained under its presence topic: "up" while it is
// connected, "down" once it left or its link broke (the broker's last will).
struct StationStatus {
    std::string station;
    std::string instance;
    bool up = false;
    bool operator==(const StationStatus&) const = default;
};
std::string encodeStatus(const StationStatus& status);
std::optional<StationStatus> parseStatus(std::string_view bytes);

// --- topics ---
// wexon/<contest>/log/<station>/<id>: one contact's current state, retained.
std::string contactTopic(std::string_view contestId, std::string_view station,
                         std::string_view id);
// wexon/<contest>/station/<station>: a station's presence, retained.
std::string statusTopic(std::string_view contestId, std::string_view station);
// wexon/<contest>/sync/<station>/<instance>: the marker a station sends itself
// after subscribing; when it comes back, the broker's retained log has arrived.
std::string markerTopic(std::string_view contestId, std::string_view station,
                        std::string_view instance);
// wexon/<contest>/#: everything of one contest.
std::string contestFilter(std::string_view contestId);

// A topic taken apart.
struct TopicParts {
    enum class Kind { Contact, Status, Marker } kind;
    std::string station;
    std::string id; // contact id, or the instance of a marker
};
std::optional<TopicParts> parseTopic(std::string_view contestId, std::string_view topic);

} // namespace wexon::net
