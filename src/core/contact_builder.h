#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/completeness.h"
#include "core/date_time.h"
#include "core/qso_record.h"

namespace wexon::core {

// What a contact takes from outside the entry row when it is logged.
struct ContactContext {
    std::string band;          // the current band
    std::string serialSent;    // the caption of the next-serial label
    std::string lastFrequency; // the last rig reading, or empty
    // Post-contest mode: the date box ("yyyy/mm/dd") and time box ("hh:mm") as
    // the post-contest check rewrote them. Without them the clock is used.
    std::optional<std::string> postContestDate;
    std::optional<std::string> postContestTime;
};

// The points box as logging uses it: its text when numeric, "0" otherwise.
std::string pointsOrZero(std::string_view pointsBox);

// A text made safe to stand in one line of "log.txt": double quotes, line ends
// and every other control character (C0, DEL and the C1 range of Latin-1) are
// removed, so a pasted text can never end a field or a line early.
std::string logSafeText(std::string_view text);

// The record the logging step stores for the boxes on the screen. The date and
// time are the system's UTC clock, which does not jump when the local time
// changes to or from summer time, unless post-contest stamps are given; the
// call and prefix are held in capitals; the country loses its trailing blanks;
// the points are the number in the points box (0 when it is not a number, or
// not one the log reader takes back: below 0 or above 999).
QsoRecord buildContact(const EntryTexts& boxes, const ContactContext& context,
                       const DateTime& utcNow);

} // namespace wexon::core
