#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/date_time.h"

namespace wexon::core {

// What a key typed into a post-contest date or time box does.
enum class PostContestKeyAction {
    Insert,     // the box takes the key (or, for Backspace, edits)
    Drop,       // the key is discarded
    FocusNext,  // the key is discarded and the focus moves to the next control
    LogContact, // the contact is logged (Mains)
};

// The date box takes digits, "/" and Backspace; the time box digits, ":" and
// Backspace. In both, Space moves on and Enter logs.
PostContestKeyAction postContestDateKey(int key);
PostContestKeyAction postContestTimeKey(int key);

// The text the date box is filled with when it gets the focus empty: today's
// local date, "YYYY/MM/DD" (the window then selects all of it). Nothing when
// the box already holds text.
std::optional<std::string> postContestDateFill(std::string_view box, const DateTime& localNow);

inline constexpr const char* kInvalidDateMessage = "Invalid date format!";
inline constexpr const char* kInvalidTimeMessage = "Invalid time format!";

// The check of the two boxes before a post-contest contact is logged.
struct PostContestCheck {
    bool ok = false;
    // The message ("Invalid date format!" or "Invalid time format!", with a
    // beep) when nothing may be logged.
    std::string message;
    // The boxes rewritten; each is set once its own check has passed, so a
    // good date is rewritten even when the time is refused.
    std::optional<std::string> date; // "yyyy/mm/dd"
    std::optional<std::string> time; // "hh:mm"
};

// Reads the date box (year first: "2006/5/27", also with "-" or ".") and the
// time box ("930" and "1234" get their colon: "9:30", "12:34"; "h:mm",
// "hh:mm" and "hh:mm:ss" are read as they are, the seconds dropped).
PostContestCheck checkPostContest(std::string_view dateBox, std::string_view timeBox);

} // namespace wexon::core
