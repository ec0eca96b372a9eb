#include "core/operating_time.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"

namespace wexon::core {

OperatingTime::OperatingTime(float savedSeconds) {
    const double s = std::fabs(static_cast<double>(savedSeconds));
    m_saved = std::isfinite(s) ? s : 0.0;
    m_running = m_saved;
}

double OperatingTime::totalAt(const DateTime& utcNow) const {
    // A clock set back never takes time away.
    const std::int64_t elapsed = utcNow.toEpochSeconds() - m_start;
    return m_saved + static_cast<double>(elapsed > 0 ? elapsed : 0);
}

OperatingTime::Toggle OperatingTime::toggle(const DateTime& utcNow) {
    Toggle t;
    if (m_loggedOn) {
        // The total is taken now rather than from the last tick, so a log-off
        // within the first second loses nothing.
        m_running = totalAt(utcNow);
        m_saved = m_running;
        m_loggedOn = false;
        t.message = logOffMessage(utcNow);
        t.savePreferences = true;
    } else {
        m_start = utcNow.toEpochSeconds();
        m_loggedOn = true;
        t.message = " ";
    }
    t.loggedOn = m_loggedOn;
    return t;
}

std::optional<std::string> OperatingTime::tick(const DateTime& utcNow) {
    if (!m_loggedOn) {
        return std::nullopt;
    }
    m_running = totalAt(utcNow);
    return formatOperatingTime(m_running);
}

bool OperatingTime::stopAtExit(const DateTime& utcNow) {
    if (!m_loggedOn) {
        return false;
    }
    m_running = totalAt(utcNow);
    m_saved = m_running;
    m_loggedOn = false;
    return true;
}

void OperatingTime::reset(const DateTime& utcNow) {
    m_saved = 0.0;
    m_running = 0.0;
    m_start = utcNow.toEpochSeconds();
}

std::string formatOperatingTime(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) {
        seconds = 0;
    }
    seconds = std::min(seconds, 1e15); // a damaged total still shows as a number
    const auto total = static_cast<long long>(std::floor(seconds));
    return zeroPad(total / 3600, 2) + ":" + zeroPad((total / 60) % 60, 2) + ":" +
           zeroPad(total % 60, 2);
}

std::string logOffMessage(const DateTime& utc) {
    return "Logged Off at " + formatDate(utc) + " " + formatTime(utc) + ". Log on after " +
           formatTime(utc.addSeconds(3600));
}

std::string utcClockText(const DateTime& utcNow) {
    return formatTime(utcNow);
}

std::string localClockText(const DateTime& localNow) {
    int hour = localNow.hour % 12;
    if (hour == 0) {
        hour = 12;
    }
    return std::to_string(hour) + ":" + zeroPad(localNow.minute, 2) + ":" +
           zeroPad(localNow.second, 2);
}

std::string amPmText(const DateTime& localNow) {
    return localNow.hour < 12 ? "AM" : "PM";
}

} // namespace wexon::core
