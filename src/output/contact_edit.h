#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::output {

// The eleven boxes of the edit window, as text.
struct ContactEditBoxes {
    std::string call;
    std::string rstSent;
    std::string rstReceived;
    std::string serialReceived;
    std::string serialSent;
    std::string country;
    std::string prefix;
    std::string date;
    std::string time;
    std::string band;
    std::string points;
};

// The boxes filled from a record (points as a plain number).
ContactEditBoxes editBoxesFor(const core::QsoRecord& r);

// The points box as saved: one digit 0 to 6, a digit above 6 counting 6, and
// anything else "0".
std::string editPoints(std::string_view points);

// Exactly one of "10", "15", "20", "40", "80", "160".
bool isEditBand(std::string_view band);
bool isEditDate(std::string_view date);
bool isEditTime(std::string_view time);

// The other records (1-based numbers, `editedRecord` left out) whose band and call
// equal the boxes exactly, case included.
std::vector<int> editDuplicates(const std::vector<core::QsoRecord>& qsos, int editedRecord,
                                std::string_view call, std::string_view band);

// What "Done" decides.
struct EditDecision {
    enum class Step { Save, InvalidTime, InvalidDate, InvalidBand, Duplicate };
    Step step = Step::Save;
    std::vector<int> duplicates; // for Duplicate: one beep each
    core::QsoRecord record;      // for Save: the record to store
    std::string points;          // the points box afterwards, as editPoints gives it
};
EditDecision decideEdit(const std::vector<core::QsoRecord>& qsos, int editedRecord,
                        const ContactEditBoxes& boxes, const core::QsoRecord& original);

// Key rules of the edit window's boxes. Each returns the character to insert, or 0
// to discard the key.
// Text boxes: a double quote is discarded, letters become capitals.
char editTextKey(char key);
// Points: digits, any digit above 6 becoming 6.
char editPointsKey(char key);
// Date: digits and "/".
char editDateKey(char key);
// Time: digits and ":".
char editTimeKey(char key);

inline constexpr const char* kInvalidTimeTitle = "Invalid Time Format!";
inline constexpr const char* kInvalidTimeText = "You have entered an invalid time format!";
inline constexpr const char* kInvalidDateTitle = "Invalid Date Format!";
inline constexpr const char* kInvalidDateText = "You have entered an invalid date format!";
inline constexpr const char* kDeleteQuestion = "Are you sure?";

} // namespace wexon::output
