#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::core {

// The WPX prefixes worked, over all bands: sorted in ascending order ignoring
// letter case, each prefix once (ignoring case), in the spelling first met. Its
// size is the multiplier count of the score. There is no limit on its size.
class PrefixList {
  public:
    // Rebuilds the list from the whole store: the prefix of every record, the
    // first spelling of each kept, then sorted. Records without a prefix add
    // nothing. Gives the same list as adding the records one by one in record
    // order, in O(n log n).
    void load(const std::vector<QsoRecord>& records);
    // Adds one prefix in its sorted place. Returns false (and changes nothing)
    // when it is empty or already in the list.
    bool addCheck(std::string_view prefix);
    // Whether the list holds `prefix`, ignoring case (the "New" flag is its
    // negation, for a non-empty prefix box).
    bool contains(std::string_view prefix) const;
    void clear();

    int count() const { return static_cast<int>(m_entries.size()); }
    const std::vector<std::string>& entries() const { return m_entries; }

    // The text of the list box: every prefix followed by one blank.
    std::string displayText() const;
    // "Prefixes Worked - " and the count.
    std::string workedCaption() const;

  private:
    // The entries as shown, and beside each its upper-cased form, which the
    // ordering and the searches use.
    std::vector<std::string> m_entries;
    std::vector<std::string> m_keys;
};

// Whether the "New" flag shows for the text of the prefix box: a prefix that is
// not in the list. An empty box never shows it.
bool isNewPrefix(const PrefixList& list, std::string_view prefixBox);

} // namespace wexon::core
