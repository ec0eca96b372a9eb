#pragma once

#include <string>
#include <string_view>

#include "core/dupe_index.h"
#include "core/prefix_list.h"

namespace wexon::core {

// What working a call on a band would be: already worked there (a dupe), a
// multiplier not yet in the log (its WPX prefix is new), or an ordinary new
// contact. The entry row and the spot displays both ask this one question.
enum class ContactStatus { Ordinary, NewPrefix, Dupe };

struct ContactStatusResult {
    ContactStatus status = ContactStatus::Ordinary;
    std::string prefix; // the WPX prefix the entry row would fill in
};

// A dupe when the call is logged on `band` (DupeIndex::hasCallOnBand), else a
// new prefix when the call's prefix (derivePrefix) would raise the entry
// row's "New" flag (isNewPrefix), else ordinary. A dupe wins over a new prefix:
// the contact cannot be logged, whatever its prefix.
ContactStatusResult contactStatus(const DupeIndex& dupes, const PrefixList& prefixes,
                                  std::string_view call, std::string_view band);

// "dupe", "new prefix" or "" for ordinary.
const char* contactStatusWords(ContactStatus status);

} // namespace wexon::core
