#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/contest.h"
#include "net/multi_rules.h"
#include "net/net_message.h"
#include "net/network_journal.h"

namespace wexon::net {

// Who this station is on the station network.
struct SyncConfig {
    std::string contestId;  // e.g. "WPX-CW-2026"
    std::string station;    // this station's name, unique in the network ("RUN1")
    std::string op;         // the operator now at this station
    std::string instance;   // this run of the program; makeInstanceId() when empty
    int transmitter = 0;    // Multi-Two: 0 or 1
};

// A random id of 16 hex digits, for contacts and program runs.
std::string makeRandomId();

// A message for the broker.
struct Outgoing {
    std::string topic;
    std::string payload;
    bool retained = true;
    std::string contactId; // the own contact it carries, empty for others
    std::uint64_t revision = 0;
};

// A message from the broker.
struct Incoming {
    std::string topic;
    std::string payload;
    bool retained = false;
};

// What the synchroniser needs of the broker client. publish() hands a message
// over for sending at QoS 1; false when the link cannot take it now.
class SyncTransport {
  public:
    virtual ~SyncTransport() = default;
    virtual bool publish(const Outgoing& message) = 0;
};

// Keeps this station's log and the other stations' contacts in step over the
// broker. This station is the authority for its own contacts: each gets an id
// and the operator's call when logged, and every state of it (logged, edited,
// deleted) is published retained with a higher revision. Other stations'
// contacts go into the contest as remote contacts. Everything is kept in the
// station's journal on disk first, then published, so a broken link or a
// broker without its store loses nothing: after each (re)connection the
// station sends itself a marker; when the marker comes back the broker's
// retained log has arrived, and any own contact the broker holds in an older
// revision, or not at all, is published again.
//
// Not thread-safe: the GUI thread calls everything.
class StationSync : private core::ContactObserver {
  public:
    using Notice = std::function<void(const std::string&)>;

    StationSync(core::Contest& contest, SyncConfig config, std::string journalPath);
    ~StationSync() override;
    StationSync(const StationSync&) = delete;
    StationSync& operator=(const StationSync&) = delete;

    const SyncConfig& config() const { return m_config; }
    // Refusals, serial collisions and journal errors, one line each.
    void setNoticeHandler(Notice notice) { m_notice = std::move(notice); }
    // Called after any change of the counts or station states.
    void setChangeHandler(std::function<void()> changed) { m_changed = std::move(changed); }

    // Reads the journal, matches its own contacts to "log.txt" by content,
    // gives new ids to contacts logged without the network and puts the
    // other stations' contacts into the contest.
    void start();

    // The link is up and subscribed to contestFilter(): announce the station
    // and send the marker. `transport` stays in use until linkDown().
    void linkUp(SyncTransport* transport);
    void linkDown();
    // Messages in the order the broker delivered them; the journal is written
    // once for the whole batch.
    void receive(const std::vector<Incoming>& messages);
    // The broker acknowledged an own contact's revision.
    void acknowledged(const std::string& contactId, std::uint64_t revision);

    // The operator's call for contacts logged from now on.
    void setOperator(const std::string& op) { m_config.op = op; }
    void setTransmitter(int transmitter) { m_config.transmitter = transmitter; }

    // Own contacts whose newest revision the broker has not yet acknowledged.
    int waitingCount() const;
    // The marker came back: the link is up and this station's log is in step.
    bool inStep() const { return m_inStep; }
    bool linked() const { return m_transport != nullptr; }
    // Other stations last seen up, by name.
    std::vector<std::string> stationsUp() const;
    // The operator of each contact of this station, by record number (1-based).
    std::string operatorOf(int number) const;
    // Record number -> contact id of this station's contacts.
    const std::vector<std::string>& ownIds() const { return m_idByNumber; }
    // The merged log's contacts with their station, operator and transmitter.
    struct MergedContact {
        std::string station;
        std::string op;
        int transmitter = 0;
        const core::QsoRecord* record = nullptr;
    };
    std::vector<MergedContact> mergedLog() const;

  private:
    struct Own {
        ContactMessage message;
        std::uint64_t sentRevision = 0;
        bool fresh = false; // given an id in this run, never acknowledged
    };

    // --- ContactObserver ---
    void contactAppended(int number, const core::QsoRecord& record) override;
    void contactReplaced(int number, const core::QsoRecord& before,
                         const core::QsoRecord& after) override;
    void contactRemoved(int number, const core::QsoRecord& removed) override;
    void logReplaced() override;

    void reconcile();
    Own& newOwn(const core::QsoRecord& record);
    void changed(Own& own);
    void send(const Own& own);
    void handleContact(const TopicParts& topic, const Incoming& in);
    void handleOwnEcho(const ContactMessage& m, bool retained);
    void applyOther(const ContactMessage& m, bool live);
    void checkSerialCollision(const ContactMessage& m, bool live);
    void marker();
    void flushJournal();
    void notice(const std::string& text);
    void tellChanged();

    core::Contest& m_contest;
    SyncConfig m_config;
    NetworkJournal m_journal;
    std::map<std::string, Own> m_own;              // by contact id
    std::vector<std::string> m_idByNumber;         // index = record number - 1
    std::map<std::string, ContactMessage> m_others; // by id, tombstones included
    std::map<std::string, std::uint64_t> m_brokerRevision; // own ids seen on the broker
    std::map<std::string, bool> m_stations;        // other stations: up?
    SyncTransport* m_transport = nullptr;
    bool m_inStep = false;
    bool m_started = false;
    int m_collisionsWhileCatchingUp = 0;
    Notice m_notice;
    std::function<void()> m_changed;
};

} // namespace wexon::net
