#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dupe_index.h"
#include "core/log_list.h"
#include "core/qso_record.h"

namespace wexon::core {

inline constexpr const char* kPossibleDuplicate = "Possible Duplicate!";
inline constexpr const char* kNotNumericWarning = "The second or third character is not numeric!";

// One key typed into the call box, after it has been turned into a capital.
struct PartialDupeQuery {
    std::string_view callBox; // the call box text before this key
    int key = 0;              // the key's character code
    std::string_view band;    // the current band
    bool listOn = true;       // the partial-dupe switch
    bool loggedOn = false;    // the operator has logged "Time On"
};

// What the window shows after that key. The message line always takes the
// normal (teal) colour; the partial-dupe label is teal when it has text and
// button-face when it is empty.
struct PartialDupes {
    std::string list;                  // caption of the partial-dupe label
    std::optional<std::string> dialog; // new text of the message line; nothing leaves it
    bool beep = false;
};

// The partial-dupe list and message for one key: calls logged on the band
// that begin with the text as it will be after the key (keys 46 to 90 only, and
// only with the switch on), "Possible Duplicate!" once the box held more than
// two characters, and the warning when the second and third characters of a
// three-character call are neither digits nor a slash.
PartialDupes showPartialDupes(const DupeIndex& index, const PartialDupeQuery& q);

// The result of the exact duplicate check.
struct DupeCheck {
    int duplicate = 0; // first record, in record order, with the call on the band; 0 if none
    // When no own record is a duplicate: the id of another station's contact
    // with the call on the band, empty if none.
    std::string remoteId;
    std::string message; // the red message line for it, empty when none
    // With "List Previous Contacts" on: every record with the call, on any band,
    // as rows of the log list in record order.
    std::vector<LogListRow> previous;

    bool found() const { return duplicate != 0 || !remoteId.empty(); }
};

// The message for a duplicate of record `number`: "Duplicate W1AW 2006/05/27
// 12:01:02 ON 20  Rec#  17".
std::string duplicateMessage(const QsoRecord& record, int number);

// The message for a duplicate of another station's contact: "Duplicate W1AW
// 2006/05/27 12:01:02 ON 20  worked by RUN2".
std::string remoteDuplicateMessage(const RemoteContact& contact);

// The exact check of the call box text against the store: same call ignoring
// case (the whole text), same band. An empty call is never a duplicate.
DupeCheck dupcheck(const DupeIndex& index, const std::vector<QsoRecord>& records,
                   std::string_view call, std::string_view band, bool listPrevious);
// The same check against the whole station's log: this station's records first,
// then, when none of them is on the band, the other stations' contacts.
DupeCheck dupcheck(const DupeIndex& index, const std::vector<QsoRecord>& records,
                   const DupeIndex::RemoteMap& remotes, std::string_view call,
                   std::string_view band, bool listPrevious);

} // namespace wexon::core
