#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/qso_record.h"

namespace wexon::core {

// The columns of the log list: title and width in design units (a width is the
// screen width divided by 9600 times this number).
struct LogListColumn {
    const char* title;
    int width;
};

inline constexpr std::array<LogListColumn, 11> kLogListColumns{{
    {"Rec#", 520},
    {"Call", 760},
    {"Rec", 430},
    {"#R", 480},
    {"Snt", 410},
    {"#S", 480},
    {"Date/Time", 880},
    {"Bnd", 430},
    {"Country", 760},
    {"Prfx", 480},
    {"Pts", 370},
}};

// How many of the newest records the list shows unless all are asked for.
inline constexpr int kLogListRecent = 20;

using LogListRow = std::array<std::string, 11>;

// The list row of record `number` (1-based).
LogListRow logListRow(const QsoRecord& r, int number);
// One cell of that row, for lists that format only what they show.
std::string logListCell(const QsoRecord& r, int number, int column);
// "mm/dd hh:nn" from the record's date and time; a part that does not read as
// a date or time is shown as it stands.
std::string logListDateTime(const QsoRecord& r);
// The rows of the log list, newest first: all records, or the last 20.
std::vector<LogListRow> logListRows(const std::vector<QsoRecord>& records, bool showAll);

} // namespace wexon::core
