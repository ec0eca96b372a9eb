#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/qso_record.h"
#include "core/text_list.h"

namespace wexon::core {

// An index of the calls in the QSO store, kept beside it so that the checks
// made on every key typed into the call box need no walk of the whole log.
// Records are numbered from 1 as in the store. The owner rebuilds it after the
// log is read, edited or has a record deleted, and adds each appended record.
class DupeIndex {
  public:
    void rebuild(const std::vector<QsoRecord>& records);
    // Indexes `record` as record count() + 1.
    void add(const QsoRecord& record);
    void clear();
    int count() const { return static_cast<int>(m_calls.size()); }

    // Record numbers, ascending, of the records whose call equals `call`
    // ignoring case (the whole text, any band).
    std::vector<int> recordsWithCall(std::string_view call) const;
    // Whether a record on `band` has `call`, ignoring case: the dupe question
    // the entry row and the spot displays both ask. O(log n).
    bool hasCallOnBand(std::string_view call, std::string_view band) const;

    // The partial-dupe list: walking the records on `band` in record order, a
    // blank and the call of each one whose call begins with `typed` (ignoring
    // case), stopping as soon as the text is longer than `limit` characters.
    // Empty when `typed` is empty.
    std::string partialList(std::string_view typed, std::string_view band,
                            std::size_t limit = kPartialLimit) const;

    static constexpr std::size_t kPartialLimit = 100;

  private:
    struct Band {
        std::string key;          // upper-cased band
        std::vector<int> inOrder; // its record numbers, ascending
        std::vector<int> byCall;  // the same, sorted by upper-cased call, then number
        // For each one- and two-character beginning of a call (see shortKey),
        // the first records in record order with that beginning, as many as a
        // list of kPartialLimit characters can show.
        std::unordered_map<std::uint32_t, std::vector<int>> firstByStart;
    };
    // The key of a call's first one or two upper-cased characters.
    static std::uint32_t shortKey(std::string_view upper, std::size_t length);
    // Adds `record` to the first-record lists of `band` that are not yet full.
    void noteStart(Band& band, int record);
    const Band* findBand(std::string_view band) const;
    Band& bandFor(std::string_view band);
    std::string_view keyOf(int record) const { return m_keys[static_cast<std::size_t>(record - 1)]; }
    std::string_view callOf(int record) const { return m_calls[static_cast<std::size_t>(record - 1)]; }
    // Inserts `record`, the highest number so far, after its equal calls.
    void insertByCall(std::vector<int>& sorted, int record);
    bool walkInOrder(const Band& band, const std::string& prefix, std::size_t limit,
                     std::size_t budget, std::string& out) const;

    TextList m_calls; // calls as logged
    TextList m_keys;  // upper-cased calls
    std::vector<Band> m_bands;
    std::vector<int> m_byCall; // every record, sorted by upper-cased call, then number
};

} // namespace wexon::core
