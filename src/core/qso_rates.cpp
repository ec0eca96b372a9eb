#include "core/qso_rates.h"

namespace wexon::core {

DateTime rateMoment(const DateTime& localNow, double utcOffsetHours) {
    return localNow.addMinutes(utcOffsetHours * 60.0);
}

std::optional<QsoRates> qsoRates(std::span<const QsoRecord> records, const DateTime& nowUtc) {
    const std::int64_t now = nowUtc.toEpochSeconds();
    int inTwenty = 0;
    int inHour = 0;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        const auto date = parseDate(it->qsoDate);
        const auto time = parseTime(it->qsoTime);
        if (!date || !time) {
            return std::nullopt;
        }
        DateTime moment = *date;
        moment.hour = time->hour;
        moment.minute = time->minute;
        moment.second = time->second;
        const std::int64_t age = now - moment.toEpochSeconds();
        if (age < 1200) {
            ++inTwenty;
        }
        if (age >= 3600) {
            break;
        }
        ++inHour;
    }
    return QsoRates{inHour, 3 * inTwenty};
}

} // namespace wexon::core
