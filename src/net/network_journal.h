#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "net/net_message.h"

namespace wexon::net {

// This station's own record of the station network, kept in the working
// folder beside "log.txt": the id, operator and revision of each of its own
// contacts and how far each was sent, and every other station's contact. A
// station restarted while the broker is down still has the whole log from it.
//
// One line per change, appended with fsync: "own <sent revision> <message>",
// "sent <id> <revision>" or "other <message>", fields split by tabs. Reading
// replays the lines; the highest revision of an id wins. A torn or foreign line
// is skipped. compact() rewrites the file atomically with one line per id.
class NetworkJournal {
  public:
    static constexpr const char* kFileName = "network-log.txt";

    struct OwnState {
        ContactMessage message;
        std::uint64_t sentRevision = 0; // the broker acknowledged up to this revision
    };
    struct Content {
        std::map<std::string, OwnState> own;             // by contact id
        std::map<std::string, ContactMessage> others;    // by contact id
        int lines = 0;
        int skippedLines = 0;
    };

    explicit NetworkJournal(std::string path) : m_path(std::move(path)) {}
    const std::string& path() const { return m_path; }

    // Reads the journal of `contestId` (lines of other contests are skipped).
    Content read(const std::string& contestId) const;

    // Lines wait in memory until flush(), so that a burst of messages costs one
    // fsync.
    void addOwn(const ContactMessage& message, std::uint64_t sentRevision);
    void addSent(const std::string& id, std::uint64_t revision);
    void addOther(const ContactMessage& message);
    core::FileResult flush();
    bool pending() const { return !m_pending.empty(); }
    // Lines appended since the last compaction.
    int appendedLines() const { return m_appended; }

    core::FileResult compact(const Content& content);

  private:
    std::string m_path;
    std::string m_pending;
    int m_appended = 0;
};

} // namespace wexon::net
