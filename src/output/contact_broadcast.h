#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/qso_record.h"
#include "core/settings_store.h"

namespace wexon::output {

// The XML datagrams contest dashboards and station tools listen for on UDP
// (port 12060 by default): a contact logged, a contact changed, a contact
// deleted, and the rig's frequency and mode. Every text is escaped, and the
// log's Latin-1 bytes become UTF-8, which the declaration of each datagram names.

// Who is sending: the same for every message of a run.
struct BroadcastStation {
    std::string app = "Wexon";
    std::string contestMode = "CW"; // the log's mode: "CW", "PH" or "RY"
    std::string myCall;             // the station's call
    std::string operatorCall;       // who is at the key; empty: the station's call
    std::string stationName;        // the computer's name
    std::string rigName;            // empty or "None": no rig interfaced
};

// One contact as the messages describe it.
struct BroadcastContact {
    const core::QsoRecord* record = nullptr;
    std::string id;            // stable for the contact across edits
    bool isMultiplier = false; // its prefix was new when it was logged
};

// The rig as the radio message describes it.
struct RadioState {
    std::int64_t frequencyTensOfHz = 0; // 0: not known
    std::string mode;                   // "CW", "SSB", "RTTY", or the rig's own word
    bool connected = false;
};

// Text escaped for XML character data and attributes: & < > " ' as entities,
// Latin-1 bytes from 0x80 as UTF-8, and the control characters XML 1.0 forbids
// as blanks.
std::string xmlEscape(std::string_view latin1);

// The band as these messages write it, in MHz: "1.8", "3.5", "7", "14", "21",
// "28"; the log's own text for any other band.
std::string broadcastBand(std::string_view band);
// The log's mode as a mode word: "CW", "SSB" (for "PH") or "RTTY" (for "RY").
std::string broadcastMode(std::string_view contestMode);
// The contest name: "CQ-WPX-CW", "CQ-WPX-SSB" or "CQ-WPX-RTTY".
std::string broadcastContestName(std::string_view contestMode);
// A frequency in MHz as text ("14.025") in tens of Hz (1402500); when the text
// is empty or not a frequency, the low edge of the band ("20" gives 1400000);
// 0 when neither is known.
std::int64_t frequencyTensOfHz(std::string_view mhzText, std::string_view band);
// "yyyy/mm/dd" and "hh:mm:ss" as "yyyy-mm-dd hh:mm:ss".
std::string broadcastTimestamp(std::string_view date, std::string_view time);

// <contactinfo>: a contact was logged.
std::string contactInfoXml(const BroadcastStation& station, const BroadcastContact& contact);
// <contactreplace>: a contact was changed; carries the contact's id and its
// fields after the change.
std::string contactReplaceXml(const BroadcastStation& station, const BroadcastContact& contact);
// <contactdelete>: a contact was deleted. `timestamp` is the contact's own.
std::string contactDeleteXml(const BroadcastStation& station, const BroadcastContact& contact);
// <RadioInfo>: the rig's frequency and mode.
std::string radioInfoXml(const BroadcastStation& station, const RadioState& radio);

// A contact's id from what it is: 32 hex digits from the station's call and the
// contact's call, band, date and time, so that the same log read again gives
// the same ids. `occurrence` separates contacts that are equal in all of these.
std::string contactId(std::string_view myCall, const core::QsoRecord& record, int occurrence = 0);

// Whether record `number` (1-based) carries the first appearance of its prefix
// in `records` (compared ignoring case). A record without a prefix is not.
bool isFirstOfPrefix(const std::vector<core::QsoRecord>& records, int number);

// The ids of the log's contacts, in record order, following every change so
// that an edited contact keeps the id it was announced with.
class ContactIds {
  public:
    // Ids for a whole log read in. A contact that is still there, unchanged
    // (the log read again after an edit or a delete), keeps the id it had;
    // the others get ids made from what they are.
    void reset(std::string_view myCall, const std::vector<core::QsoRecord>& records);
    // A contact added as record `number`; returns its id.
    const std::string& appended(std::string_view myCall, int number, const core::QsoRecord& record);
    // Record `number` now holds `record`; it keeps its id. Returns the id.
    std::string replaced(int number, const core::QsoRecord& record);
    // The id of record `number`; empty when there is none.
    std::string idOf(int number) const;
    // Record `number` was removed: its id goes, later ones move down. Returns the id.
    std::string removed(int number);
    int size() const { return static_cast<int>(m_ids.size()); }

  private:
    std::string freshId(std::string_view myCall, const core::QsoRecord& record) const;
    std::vector<std::string> m_ids;
    // Beside each id, a digest of every field of its contact, which tells an
    // unchanged contact in a log read again.
    std::vector<std::uint64_t> m_contents;
    std::unordered_set<std::string> m_taken; // the same ids, for the uniqueness check
};

// Where the messages go: an IPv4 address (a broadcast address too) and a port.
struct BroadcastDestination {
    std::string host; // dotted IPv4 address
    int port = 0;

    bool operator==(const BroadcastDestination&) const = default;
};

inline constexpr const char* kDefaultBroadcastDestinations = "127.0.0.1:12060";

struct DestinationList {
    std::vector<BroadcastDestination> destinations;
    std::string error; // the first entry that could not be read, and why
};

// Reads "host:port" entries separated by commas, blanks or semicolons.
// "localhost" stands for 127.0.0.1; names are not looked up, so that sending
// never waits on a name server. Entries that cannot be read are left out and
// the first of them is named in `error`; at most 16 destinations are kept.
DestinationList parseBroadcastDestinations(std::string_view text);
// The list written back in the form it is read in.
std::string formatBroadcastDestinations(const std::vector<BroadcastDestination>& list);

// What the operator chose in the Broadcasts window, kept in the settings store.
// A text setting as the station windows keep it: on one line (line ends become
// blanks), trimmed, and at most `limit` characters long.
std::string readOneLineSetting(const core::SettingsStore& store, const char* key,
                               const std::string& fallback, std::size_t limit);

struct BroadcastSettings {
    static constexpr const char* kEnabledKey = "Broadcast/Enabled";
    static constexpr const char* kDestinationsKey = "Broadcast/Destinations";
    static constexpr const char* kContactsKey = "Broadcast/Contacts";
    static constexpr const char* kRadioKey = "Broadcast/Radio";
    static constexpr const char* kScoreKey = "Broadcast/Score";
    static constexpr const char* kOperatorKey = "Broadcast/Operator";
    static constexpr const char* kStationNameKey = "Broadcast/StationName";

    bool enabled = false;
    std::string destinations = kDefaultBroadcastDestinations;
    bool contacts = true; // contact logged, changed, deleted
    bool radio = true;    // the rig's frequency and mode
    bool score = true;    // the score
    std::string operatorCall;
    std::string stationName; // empty: the computer's name

    static BroadcastSettings load(const core::SettingsStore& store);
    void save(core::SettingsStore& store) const;
    bool operator==(const BroadcastSettings&) const = default;
};

// When to send the radio message: whenever the frequency or the mode changes,
// and at least every `maxQuiet` milliseconds while nothing changes.
class RadioInfoCadence {
  public:
    explicit RadioInfoCadence(std::int64_t maxQuietMs = 10000) : m_maxQuietMs(maxQuietMs) {}
    // Whether a message is due now for this state; when it is, it counts as sent.
    bool take(std::int64_t nowMs, const RadioState& radio);

  private:
    std::int64_t m_maxQuietMs;
    bool m_sentOnce = false;
    std::int64_t m_lastSentMs = 0;
    RadioState m_lastSent;
};

} // namespace wexon::output
