#include "core/qso_rates.h"

#include <algorithm>

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

std::optional<std::int64_t> contactMoment(const QsoRecord& record) {
    const auto date = parseDate(record.qsoDate);
    const auto time = parseTime(record.qsoTime);
    if (!date || !time) {
        return std::nullopt;
    }
    DateTime moment = *date;
    moment.hour = time->hour;
    moment.minute = time->minute;
    moment.second = time->second;
    return moment.toEpochSeconds();
}

void RateCounter::clear() {
    m_settled.clear();
    m_fresh.clear();
}

void RateCounter::assign(std::vector<std::int64_t> moments) {
    std::sort(moments.begin(), moments.end());
    m_settled = std::move(moments);
    m_fresh.clear();
}

void RateCounter::add(const QsoRecord& record) {
    if (auto moment = contactMoment(record)) {
        addMoment(*moment);
    }
}

void RateCounter::addMoment(std::int64_t moment) {
    // New contacts are mostly the newest, so they land at the run's end.
    m_fresh.insert(std::upper_bound(m_fresh.begin(), m_fresh.end(), moment), moment);
    std::size_t bound = 256;
    while (bound * bound < 16 * m_settled.size()) {
        bound *= 2;
    }
    if (m_fresh.size() <= bound) {
        return;
    }
    const auto middle = static_cast<std::ptrdiff_t>(m_settled.size());
    m_settled.insert(m_settled.end(), m_fresh.begin(), m_fresh.end());
    m_fresh.clear();
    std::inplace_merge(m_settled.begin(), m_settled.begin() + middle, m_settled.end());
}

std::size_t RateCounter::countFrom(std::int64_t from) const {
    auto tail = [from](const std::vector<std::int64_t>& run) {
        return static_cast<std::size_t>(run.end() - std::lower_bound(run.begin(), run.end(), from));
    };
    return tail(m_settled) + tail(m_fresh);
}

QsoRates RateCounter::rates(const DateTime& nowUtc) const {
    const std::int64_t now = nowUtc.toEpochSeconds();
    // Age below 3600 seconds is a moment after now - 3600.
    const int inHour = static_cast<int>(countFrom(now - 3600 + 1));
    const int inTwenty = static_cast<int>(countFrom(now - 1200 + 1));
    return QsoRates{inHour, 3 * inTwenty};
}

} // namespace wexon::core
