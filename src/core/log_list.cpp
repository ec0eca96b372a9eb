#include "core/log_list.h"

#include "core/date_time.h"
#include "core/number_format.h"

namespace wexon::core {

std::string logListDateTime(const QsoRecord& r) {
    std::string date = r.qsoDate;
    if (auto d = parseDate(r.qsoDate)) {
        date = formatMonthDay(*d);
    }
    std::string time = r.qsoTime;
    if (auto t = parseTime(r.qsoTime)) {
        time = formatHourMinute(*t);
    }
    return date + " " + time;
}

LogListRow logListRow(const QsoRecord& r, int number) {
    return LogListRow{std::to_string(number),
                      r.call,
                      r.rstReceived,
                      r.serialReceived,
                      r.rstSent,
                      r.serialSent,
                      logListDateTime(r),
                      r.band,
                      r.country,
                      r.prefix,
                      formatShortest(r.points)};
}

std::vector<LogListRow> logListRows(const std::vector<QsoRecord>& records, bool showAll) {
    int count = static_cast<int>(records.size());
    int first = (showAll || count < kLogListRecent) ? 1 : count - (kLogListRecent - 1);
    std::vector<LogListRow> rows;
    rows.reserve(static_cast<std::size_t>(count - first + 1));
    for (int n = count; n >= first; --n) {
        rows.push_back(logListRow(records[static_cast<std::size_t>(n - 1)], n));
    }
    return rows;
}

} // namespace wexon::core
