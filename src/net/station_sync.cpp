#include "net/station_sync.h"

#include <algorithm>
#include <charconv>
#include <random>

namespace wexon::net {

namespace {

// After this many appended lines beyond the journal's entries it is rewritten
// with one line per contact.
constexpr int kCompactSlack = 2000;

std::optional<long long> serialNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    long long v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || p != text.data() + text.size() || v <= 0) {
        return std::nullopt;
    }
    return v;
}

} // namespace

std::string makeRandomId() {
    static thread_local std::mt19937_64 engine{[] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::uint64_t v = engine();
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kHex[v & 15];
        v >>= 4;
    }
    return out;
}

StationSync::StationSync(core::Contest& contest, SyncConfig config, std::string journalPath)
    : m_contest(contest), m_config(std::move(config)), m_journal(std::move(journalPath)) {
    if (m_config.instance.empty()) {
        m_config.instance = makeRandomId();
    }
}

StationSync::~StationSync() {
    m_contest.removeObserver(this);
    flushJournal();
}

void StationSync::start() {
    if (m_started) {
        return;
    }
    m_started = true;
    NetworkJournal::Content content = m_journal.read(m_config.contestId);
    for (auto& [id, state] : content.own) {
        Own own;
        own.message = std::move(state.message);
        own.sentRevision = state.sentRevision;
        m_own.emplace(id, std::move(own));
    }
    m_others = std::move(content.others);
    for (const auto& [id, m] : m_others) {
        // A contact of this station's name kept as another's was adopted from an
        // earlier computer of the station; it stays where it was put.
        if (!m.deleted) {
            m_contest.putRemote(id, core::RemoteContact{m.station, m.op, m.record});
        }
    }
    reconcile();
    // One line per contact from here on; replayed lines are no longer needed.
    NetworkJournal::Content compacted;
    for (const auto& [id, own] : m_own) {
        compacted.own[id] = {own.message, own.sentRevision};
    }
    compacted.others = m_others;
    if (auto r = m_journal.compact(compacted); !r) {
        notice("Network: could not rewrite " + std::string(NetworkJournal::kFileName) + ": " +
               r.error);
    }
    m_contest.addObserver(this);
    tellChanged();
}

// Matches the journal's own contacts to the records of "log.txt" by content.
// A record with no match was logged while the network was off (or typed into
// the file): it gets a new id. A journal contact with no record left was
// deleted or changed outside the program: a tombstone tells the others.
void StationSync::reconcile() {
    if (!m_contest.logLoaded()) {
        // A log not read is not a log emptied: nothing is withdrawn until it is.
        return;
    }
    const std::vector<core::QsoRecord>& records = m_contest.qsos();
    std::multimap<std::string, std::string> liveByCall; // call -> id, not yet matched
    for (const auto& [id, own] : m_own) {
        if (!own.message.deleted) {
            liveByCall.emplace(own.message.record.call, id);
        }
    }
    m_idByNumber.assign(records.size(), std::string());
    std::vector<std::size_t> unmatched;
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto [lo, hi] = liveByCall.equal_range(records[i].call);
        auto match = std::find_if(lo, hi, [&](const auto& entry) {
            return m_own.at(entry.second).message.record == records[i];
        });
        if (match != hi) {
            m_idByNumber[i] = match->second;
            liveByCall.erase(match);
        } else {
            unmatched.push_back(i);
        }
    }
    for (const auto& [call, id] : liveByCall) {
        Own& own = m_own.at(id);
        own.message.deleted = true;
        ++own.message.revision;
        changed(own);
    }
    for (std::size_t i : unmatched) {
        Own& own = newOwn(records[i]);
        m_idByNumber[i] = own.message.id;
        changed(own);
    }
    flushJournal();
}

StationSync::Own& StationSync::newOwn(const core::QsoRecord& record) {
    Own own;
    own.message.contestId = m_config.contestId;
    own.message.station = m_config.station;
    own.message.instance = m_config.instance;
    own.message.op = m_config.op;
    own.message.id = makeRandomId();
    own.message.revision = 1;
    own.message.record = record;
    own.message.transmitter = m_config.transmitter;
    own.fresh = true;
    auto [it, ok] = m_own.emplace(own.message.id, std::move(own));
    return it->second;
}

// The contact's new state goes into the journal, then to the broker when the
// link is in step (otherwise it waits and the marker sends it).
void StationSync::changed(Own& own) {
    own.message.instance = m_config.instance;
    m_journal.addOwn(own.message, own.sentRevision);
    if (m_inStep) {
        send(own);
    }
}

void StationSync::send(const Own& own) {
    if (m_transport == nullptr) {
        return;
    }
    Outgoing out;
    out.topic = contactTopic(m_config.contestId, m_config.station, own.message.id);
    out.payload = encodeContact(own.message);
    out.retained = true;
    out.contactId = own.message.id;
    out.revision = own.message.revision;
    m_transport->publish(out);
}

void StationSync::contactAppended(int number, const core::QsoRecord& record) {
    Own& own = newOwn(record);
    auto at = static_cast<std::size_t>(std::max(0, number - 1));
    m_idByNumber.insert(m_idByNumber.begin() + static_cast<std::ptrdiff_t>(
                                                   std::min(at, m_idByNumber.size())),
                        own.message.id);
    changed(own);
    flushJournal();
    tellChanged();
}

void StationSync::contactReplaced(int number, const core::QsoRecord& /*before*/,
                                  const core::QsoRecord& after) {
    auto at = static_cast<std::size_t>(number - 1);
    if (number < 1 || at >= m_idByNumber.size()) {
        return;
    }
    Own& own = m_own.at(m_idByNumber[at]);
    own.message.record = after;
    ++own.message.revision;
    changed(own);
    flushJournal();
    tellChanged();
}

void StationSync::contactRemoved(int number, const core::QsoRecord& /*removed*/) {
    auto at = static_cast<std::size_t>(number - 1);
    if (number < 1 || at >= m_idByNumber.size()) {
        return;
    }
    Own& own = m_own.at(m_idByNumber[at]);
    m_idByNumber.erase(m_idByNumber.begin() + static_cast<std::ptrdiff_t>(at));
    own.message.deleted = true;
    ++own.message.revision;
    changed(own);
    flushJournal();
    tellChanged();
}

void StationSync::logReplaced() {
    reconcile();
    tellChanged();
}

void StationSync::linkUp(SyncTransport* transport) {
    m_transport = transport;
    m_inStep = false;
    m_brokerRevision.clear();
    m_collisionsWhileCatchingUp = 0;
    Outgoing status;
    status.topic = statusTopic(m_config.contestId, m_config.station);
    status.payload = encodeStatus({m_config.station, m_config.instance, true});
    m_transport->publish(status);
    Outgoing mark;
    mark.topic = markerTopic(m_config.contestId, m_config.station, m_config.instance);
    mark.payload = makeRandomId();
    mark.retained = false;
    m_transport->publish(mark);
    tellChanged();
}

void StationSync::linkDown() {
    m_transport = nullptr;
    m_inStep = false;
    tellChanged();
}

void StationSync::receive(const std::vector<Incoming>& messages) {
    for (const Incoming& in : messages) {
        auto topic = parseTopic(m_config.contestId, in.topic);
        if (!topic) {
            // Under the contest's filter but no topic of ours: another program's.
            notice("Network: refused a message on an unknown topic");
            continue;
        }
        switch (topic->kind) {
        case TopicParts::Kind::Contact:
            handleContact(*topic, in);
            break;
        case TopicParts::Kind::Status:
            if (topic->station != m_config.station) {
                if (auto status = parseStatus(in.payload);
                    status && status->station == topic->station) {
                    m_stations[topic->station] = status->up;
                } else if (!in.payload.empty()) {
                    notice("Network: refused a malformed station status from " + topic->station);
                }
            }
            break;
        case TopicParts::Kind::Marker:
            if (topic->station == m_config.station && topic->id == m_config.instance &&
                m_transport != nullptr) {
                marker();
            }
            break;
        }
    }
    flushJournal();
    tellChanged();
}

void StationSync::handleContact(const TopicParts& topic, const Incoming& in) {
    if (in.payload.empty()) {
        return; // a retained message being cleared
    }
    ParsedContact parsed = parseContact(in.payload);
    if (!parsed.message) {
        notice("Network: refused a message from " + topic.station + ": " + parsed.error);
        return;
    }
    const ContactMessage& m = *parsed.message;
    if (m.contestId != m_config.contestId) {
        notice("Network: refused a message from " + topic.station + " for another contest (" +
               m.contestId + ")");
        return;
    }
    if (m.station != topic.station || m.id != topic.id) {
        notice("Network: refused a message whose station or id differs from its topic (" +
               topic.station + ")");
        return;
    }
    if (m.station == m_config.station) {
        handleOwnEcho(m, in.retained);
        return;
    }
    applyOther(m, !in.retained);
}

// A message under this station's own name: the broker's copy of an own
// contact, the echo of a publish, or a contact an earlier computer of this
// station logged. A live message from another running program that claims
// this station's name is refused.
void StationSync::handleOwnEcho(const ContactMessage& m, bool retained) {
    if (!retained && m.instance != m_config.instance) {
        notice("Network: refused a contact from another program calling itself " +
               m_config.station + " (two stations share this name?)");
        return;
    }
    auto& seen = m_brokerRevision[m.id];
    seen = std::max(seen, m.revision);
    if (m_own.count(m.id) != 0) {
        return;
    }
    // Not one of this run's contacts. A contact given a new id here because the
    // journal was lost takes back the id the broker knows it by.
    if (!m.deleted) {
        for (auto& [id, own] : m_own) {
            if (own.fresh && !own.message.deleted && own.sentRevision == 0 &&
                own.message.record == m.record) {
                Own moved = std::move(own);
                const std::string oldId = id;
                const std::uint64_t oldRevision = moved.message.revision;
                m_own.erase(oldId);
                moved.message.id = m.id;
                moved.message.revision = m.revision + 1;
                moved.message.op = m.op;
                moved.fresh = false;
                std::replace(m_idByNumber.begin(), m_idByNumber.end(), oldId, m.id);
                auto [it, ok] = m_own.emplace(m.id, std::move(moved));
                // The id given in this run may have been sent already; withdraw it.
                Own& gone = m_own.emplace(oldId, Own{}).first->second;
                gone.message = it->second.message;
                gone.message.id = oldId;
                gone.message.deleted = true;
                gone.message.revision = oldRevision + 1;
                m_journal.addOwn(it->second.message, 0);
                m_journal.addOwn(gone.message, 0);
                return;
            }
        }
    }
    // A contact of this station's name that is not in this computer's log
    // (logged on a computer this one replaced): kept like another station's.
    applyOther(m, false);
}

void StationSync::applyOther(const ContactMessage& m, bool live) {
    auto it = m_others.find(m.id);
    if (it != m_others.end()) {
        if (it->second.station != m.station) {
            notice("Network: refused a contact of " + m.station + " under an id of " +
                   it->second.station);
            return;
        }
        if (m.revision <= it->second.revision) {
            return; // already known, or older
        }
        it->second = m;
    } else {
        m_others.emplace(m.id, m);
    }
    m_journal.addOther(m);
    if (m.deleted) {
        m_contest.removeRemote(m.id);
    } else {
        m_contest.putRemote(m.id, core::RemoteContact{m.station, m.op, m.record});
        checkSerialCollision(m, live);
    }
}

void StationSync::checkSerialCollision(const ContactMessage& m, bool live) {
    auto serial = serialNumber(m.record.serialSent);
    if (!serial) {
        return;
    }
    const bool perBand = m_contest.prefs.serialPerBand == 1;
    for (const core::QsoRecord& r : m_contest.qsos()) {
        if (perBand && r.band != m.record.band) {
            continue;
        }
        if (serialNumber(r.serialSent) == serial) {
            if (live) {
                notice("Network: " + m.station + " also sent serial " + m.record.serialSent +
                       " (" + m.record.call + " on " + m.record.band + " m; here " + r.call +
                       "). Both keep it; the next serial continues above both.");
            } else {
                ++m_collisionsWhileCatchingUp;
            }
            return;
        }
    }
}

// The broker's retained log has arrived: publish every own contact it holds
// in an older revision or not at all.
void StationSync::marker() {
    for (auto& [id, own] : m_own) {
        auto seen = m_brokerRevision.find(id);
        const std::uint64_t held = seen == m_brokerRevision.end() ? 0 : seen->second;
        if (held > own.message.revision) {
            // An earlier run of this station got further; this state wins.
            own.message.revision = held + 1;
            m_journal.addOwn(own.message, own.sentRevision);
        }
        if (held != own.message.revision) {
            send(own);
        } else if (own.sentRevision < own.message.revision) {
            own.sentRevision = own.message.revision;
            m_journal.addSent(id, own.sentRevision);
        }
    }
    m_inStep = true;
    if (m_collisionsWhileCatchingUp > 0) {
        notice("Network: " + std::to_string(m_collisionsWhileCatchingUp) +
               " contacts of other stations carry a serial this station also sent. Both keep "
               "them; the next serial continues above.");
        m_collisionsWhileCatchingUp = 0;
    }
}

void StationSync::acknowledged(const std::string& contactId, std::uint64_t revision) {
    auto it = m_own.find(contactId);
    if (it == m_own.end() || revision <= it->second.sentRevision) {
        return;
    }
    it->second.sentRevision = revision;
    it->second.fresh = false;
    m_journal.addSent(contactId, revision);
    flushJournal();
    tellChanged();
}

int StationSync::waitingCount() const {
    int n = 0;
    for (const auto& [id, own] : m_own) {
        n += own.sentRevision < own.message.revision ? 1 : 0;
    }
    return n;
}

std::vector<std::string> StationSync::stationsUp() const {
    std::vector<std::string> out;
    for (const auto& [name, up] : m_stations) {
        if (up) {
            out.push_back(name);
        }
    }
    return out;
}

std::string StationSync::operatorOf(int number) const {
    auto at = static_cast<std::size_t>(number - 1);
    if (number < 1 || at >= m_idByNumber.size()) {
        return {};
    }
    auto it = m_own.find(m_idByNumber[at]);
    return it == m_own.end() ? std::string() : it->second.message.op;
}

std::vector<StationSync::MergedContact> StationSync::mergedLog() const {
    std::vector<MergedContact> out;
    const auto& records = m_contest.qsos();
    out.reserve(records.size() + static_cast<std::size_t>(m_contest.remoteCount()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        MergedContact c{m_config.station, m_config.op, m_config.transmitter, &records[i]};
        if (i < m_idByNumber.size()) {
            if (auto it = m_own.find(m_idByNumber[i]); it != m_own.end()) {
                c.op = it->second.message.op;
                c.transmitter = it->second.message.transmitter;
            }
        }
        out.push_back(c);
    }
    for (const auto& [id, remote] : m_contest.remotes()) {
        auto it = m_others.find(id);
        out.push_back({remote.station, remote.op,
                       it == m_others.end() ? 0 : it->second.transmitter, &remote.record});
    }
    return out;
}

void StationSync::flushJournal() {
    if (!m_journal.pending()) {
        return;
    }
    if (auto r = m_journal.flush(); !r) {
        notice("Network: could not write " + std::string(NetworkJournal::kFileName) + ": " +
               r.error);
        return;
    }
    if (m_journal.appendedLines() >
        kCompactSlack + static_cast<int>(m_own.size() + m_others.size())) {
        NetworkJournal::Content content;
        for (const auto& [id, own] : m_own) {
            content.own[id] = {own.message, own.sentRevision};
        }
        content.others = m_others;
        m_journal.compact(content);
    }
}

void StationSync::notice(const std::string& text) {
    if (m_notice) {
        m_notice(text);
    }
}

void StationSync::tellChanged() {
    if (m_changed) {
        m_changed();
    }
}

} // namespace wexon::net
