#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/date_time.h"

namespace wexon::core {

inline constexpr const char* kLogOnCaption = "&Log \"Time On\"";
inline constexpr const char* kLogOffCaption = "&Log \"Time Off\"";

// The operator's "Time On" / "Time Off" state and the operating time: the
// total of earlier on-periods (saved with the preferences) plus the period
// running now. Every time comes in as an argument.
//
// The running period is measured on the UTC clock of the system, which does
// not jump when the local time changes to or from summer time.
class OperatingTime {
  public:
    // `savedSeconds`: the total kept in the preferences. A negative total is
    // taken by its size, one that is not a finite number as 0.
    explicit OperatingTime(float savedSeconds = 0.0f);

    bool loggedOn() const { return m_loggedOn; }
    // The caption of the log-on button.
    const char* caption() const { return m_loggedOn ? kLogOffCaption : kLogOnCaption; }
    // The total to keep in the preferences.
    float savedSeconds() const { return static_cast<float>(m_saved); }
    // The total including the running period, as of the last tick or toggle.
    float runningSeconds() const { return static_cast<float>(m_running); }

    struct Toggle {
        bool loggedOn = false;
        // The message line: a single blank after logging on, the log-off
        // message after logging off.
        std::string message;
        // Logging off updates the saved total: save the preferences.
        bool savePreferences = false;
    };
    // The log-on button. `utcNow` is the system's UTC clock, which the log-off
    // message names, as contacts carry it.
    Toggle toggle(const DateTime& utcNow);

    // The one-second tick: brings the running total up to date and returns the
    // text of the operating-time label while logged on.
    std::optional<std::string> tick(const DateTime& utcNow);

    // At the end of the program: while logged on, the total up to now becomes
    // the saved total and the operator is logged off. Returns whether the
    // preferences must be saved.
    bool stopAtExit(const DateTime& utcNow);

    // A new log starts the operating time from nothing.
    void reset(const DateTime& utcNow);

  private:
    double totalAt(const DateTime& utcNow) const;

    bool m_loggedOn = false;
    double m_saved = 0.0;
    double m_running = 0.0;
    std::int64_t m_start = 0; // UTC epoch seconds of the last log-on
};

// The operating-time label: "hh:mm:ss" of whole seconds (3725 → "01:02:05").
// From 100 hours on the hours keep all their digits ("100:00:00").
std::string formatOperatingTime(double seconds);

// "Logged Off at yyyy/mm/dd hh:mm:ss. Log on after hh:mm:ss", the second time
// one hour after the first.
std::string logOffMessage(const DateTime& utc);

// The UTC clock label: the system's UTC clock, "hh:nn:ss".
std::string utcClockText(const DateTime& utcNow);
// The local clock label: 12-hour time "h:nn:ss" without AM/PM.
std::string localClockText(const DateTime& localNow);
// The label beside it: "AM" or "PM".
std::string amPmText(const DateTime& localNow);

} // namespace wexon::core
