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

std::string logListCell(const QsoRecord& r, int number, int column) {
    switch (column) {
    case 0:
        return std::to_string(number);
    case 1:
        return r.call;
    case 2:
        return r.rstReceived;
    case 3:
        return r.serialReceived;
    case 4:
        return r.rstSent;
    case 5:
        return r.serialSent;
    case 6:
        return logListDateTime(r);
    case 7:
        return r.band;
    case 8:
        return r.country;
    case 9:
        return r.prefix;
    case 10:
        return formatShortest(r.points);
    default:
        return {};
    }
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
