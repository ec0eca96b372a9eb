#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/qso_record.h"
#include "core/remote_contact.h"
#include "core/text_list.h"

namespace wexon::core {

// An index of the calls of the whole station's log, kept beside the store so
// that the checks made on every key typed into the call box need no walk of the
// log. It holds this station's records, numbered from 1 as in the store, and
// the contacts other stations logged, known by their ids. Each call is an entry,
// numbered in the order it came in. Adding an entry costs O(log n) amortized;
// the owner rebuilds the index after the log is read, edited or has a record
// deleted, and after another station's contact is changed or removed.
class DupeIndex {
  public:
    using RemoteMap = std::map<std::string, RemoteContact, std::less<>>;

    void rebuild(const std::vector<QsoRecord>& records);
    // This station's records, then the other stations' contacts.
    void rebuild(const std::vector<QsoRecord>& records, const RemoteMap& remotes);
    // Indexes `record` as record count() + 1.
    void add(const QsoRecord& record);
    // Indexes another station's contact under `id`.
    void addRemote(std::string_view id, const QsoRecord& record);
    void clear();
    // This station's records indexed.
    int count() const { return m_ownCount; }
    // Every entry: own records and other stations' contacts.
    int entryCount() const { return static_cast<int>(m_calls.size()); }

    // Record numbers, ascending, of this station's records whose call equals
    // `call` ignoring case (the whole text, any band).
    std::vector<int> recordsWithCall(std::string_view call) const;
    // Ids of the other stations' contacts with `call` on `band` (ignoring case),
    // in the order they came in.
    std::vector<std::string_view> remotesWithCallOnBand(std::string_view call,
                                                        std::string_view band) const;
    // Whether an entry on `band` has `call`, ignoring case: the dupe question
    // the entry row and the spot displays both ask. O(log n).
    bool hasCallOnBand(std::string_view call, std::string_view band) const;

    // The partial-dupe list: walking the entries on `band` in the order they
    // came in, a blank and the call of each one whose call begins with `typed`
    // (ignoring case), stopping as soon as the text is longer than `limit`
    // characters. Empty when `typed` is empty.
    std::string partialList(std::string_view typed, std::string_view band,
                            std::size_t limit = kPartialLimit) const;

    static constexpr std::size_t kPartialLimit = 100;

  private:
    // Entry numbers sorted by upper-cased call, then number: a large sorted run
    // and a small one that new entries go into, merged into the large one when
    // it grows past about four times the square root of the whole. An insert
    // thus moves O(sqrt n) numbers (a few kilobytes) and a merge costs O(n)
    // once every 4 sqrt n inserts.
    struct ByCall {
        std::vector<int> settled;
        std::vector<int> fresh;
        std::size_t size() const { return settled.size() + fresh.size(); }
    };
    struct Band {
        std::string key;          // upper-cased band
        std::vector<int> inOrder; // its entry numbers, ascending
        ByCall byCall;
        // For each one- and two-character beginning of a call (see shortKey),
        // the first entries in order with that beginning, as many as a list of
        // kPartialLimit characters can show.
        std::unordered_map<std::uint32_t, std::vector<int>> firstByStart;
    };
    // The key of a call's first one or two upper-cased characters.
    static std::uint32_t shortKey(std::string_view upper, std::size_t length);
    void addEntry(std::string_view call, std::string_view band);
    // Adds `entry` to the first-entry lists of `band` that are not yet full.
    void noteStart(Band& band, int entry);
    const Band* findBand(std::string_view band) const;
    Band& bandFor(std::string_view band);
    std::string_view keyOf(int entry) const { return m_keys[static_cast<std::size_t>(entry - 1)]; }
    std::string_view callOf(int entry) const {
        return m_calls[static_cast<std::size_t>(entry - 1)];
    }
    static std::uint64_t packKey(std::string_view key);
    // The place of `band` in m_bands (its size when the band is not there).
    std::size_t bandIndex(std::string_view band);
    // Inserts `entry`, the highest number so far, after its equal calls.
    void insertByCall(ByCall& sorted, int entry) const;
    // The entries of `sorted` whose key equals `key` (exact) or begins with it.
    void collect(const ByCall& sorted, std::string_view key, bool prefix,
                 std::vector<int>& out) const;
    std::size_t countMatches(const ByCall& sorted, std::string_view prefix) const;
    bool walkInOrder(const Band& band, const std::string& prefix, std::size_t limit,
                     std::size_t budget, std::string& out) const;

    TextList m_calls; // calls as logged, by entry
    TextList m_keys;  // upper-cased calls, by entry
    // Per entry: the own record number (above 0), or minus one more than the
    // slot of the other station's contact in m_remoteIds.
    std::vector<int> m_owner;
    TextList m_remoteIds;
    int m_ownCount = 0;
    std::vector<Band> m_bands;
    ByCall m_byCall; // every entry
};

} // namespace wexon::core
