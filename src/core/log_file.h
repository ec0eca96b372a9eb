#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::core {

inline constexpr const char* kLogFileName = "log.txt";

// One line of "log.txt": eleven quoted texts with the points bare in ninth place,
// CR LF ended.
std::string formatQsoLine(const QsoRecord& r);
// All records as "log.txt" holds them.
std::string formatLog(const std::vector<QsoRecord>& records);

// A record whose values cannot be what their places hold (a band that is no
// band, a date or time that is none, points that are no number): a line before
// it, or its own, had more or fewer than twelve values, so the values slid into
// the wrong places.
struct MisplacedRecord {
    int record = 0; // 1-based
    int line = 0;   // 1-based line of the file on which the record starts
};

struct LogReadResult {
    std::vector<QsoRecord> records;
    // The last record ran out of values before its twelfth; it was kept with the
    // missing values empty.
    bool lastRecordShort = false;
    // Points values that were not numbers and were read as 0.
    int unreadablePoints = 0;
    // Points values that were numbers but negative or above kMaxQsoPoints (no
    // contact is worth that), read as 0 so that they cannot distort the total.
    int outOfRangePoints = 0;
    // The file's last line has no line end: it was cut off (a full disk, a crash,
    // an edit by hand), so the record on it may be incomplete even when it has
    // all its values.
    bool lastLineUnterminated = false;
    // That unterminated last line is a whole record all the same: only its line
    // end is missing, and the next append adds it.
    bool lastLineWholeRecord = false;
    // Records whose values are out of place, and the first few of them with
    // their lines. A rewrite of such a log makes the slide permanent.
    int misplacedCount = 0;
    std::vector<MisplacedRecord> misplaced;
};

// How many misplaced records parseLog lists with their lines.
inline constexpr std::size_t kMisplacedListed = 5;

// The most points one contact can be worth as read from a file.
inline constexpr float kMaxQsoPoints = 999.0f;

// Whether a record's values are what their places must hold, the first
// `valuesRead` of them (a short last record is checked as far as it goes): the
// date and time readable, the band one of the six, the points a number.
bool recordValuesFit(const QsoRecord& r, int valuesRead, bool pointsAreNumber);

// Whether one line (without its line end) is a whole record as the program
// writes it: exactly twelve values that fit their places, its last quoted value
// closed. A line cut short is not.
bool isWholeRecordLine(std::string_view line);

// Whether the data's last line lacks its line end (CR LF, CR or LF). A last
// line of blanks only carries no record and does not count; neither does one
// whose CR stands but whose LF is missing, since its record is whole.
bool endsWithUnterminatedLine(std::string_view bytes);

// Reads "log.txt" value by value: a line with fewer values takes the rest from
// the next line. Every record of the file is read, however many there are. A
// UTF-8 byte-order mark at the start is passed over.
LogReadResult parseLog(std::string_view bytes);

} // namespace wexon::core
