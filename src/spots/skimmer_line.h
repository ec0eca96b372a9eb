#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wexon::spots {

// A spot line from a CW/RTTY skimmer network:
// "DX de DK9IP-#:    14025.1  JA1ABC       CW    18 dB  26 WPM  CQ      1234Z".
// Skimmer servers do not keep the cluster's fixed columns (a long spotter call
// or a five-digit frequency shifts them), so the line is read word by word.
struct SkimmerReport {
    std::string spotter; // without the "-#" and the colon ("DK9IP")
    double khz = 0.0;
    std::string call;
    std::string mode;          // "CW", "RTTY", ... ("" when missing)
    std::optional<int> db;     // signal-to-noise ratio
    std::optional<int> speed;  // words per minute (or baud for RTTY)
    std::string kind;          // "CQ", "DX", "BEACON", "NCDXF" ... ("" when missing)
    std::string time;          // "1234Z" ("" when missing)
};

// True for a spotter field of a skimmer ("DK9IP-#:", "DK9IP-#").
bool isSkimmerSpotter(std::string_view spotter);

// The report of a skimmer line (beginning "DX de", any case); nothing for a
// line from a person, or one without a numeric frequency and a call.
std::optional<SkimmerReport> parseSkimmerLine(std::string_view line);

// Which skimmers heard which call, to fold the reports of one signal into one
// spot. Bounded: the calls heard longest ago are forgotten past kMaxCalls.
class SkimmerTally {
  public:
    // Reports within this many kHz of the call's last report are the same signal.
    static constexpr double kToleranceKhz = 0.5;
    static constexpr std::size_t kMaxCalls = 5000;
    static constexpr std::size_t kMaxSpotters = 99;

    struct Heard {
        int skimmers = 1; // distinct skimmers that heard this signal so far
        // The signal was already spotted near this frequency: the new report
        // replaces the older spot instead of adding one.
        bool sameSignal = false;
    };
    Heard hear(std::string_view call, std::string_view spotter, double khz);
    std::size_t size() const { return m_calls.size(); }

  private:
    struct Entry {
        double khz = 0.0;
        std::vector<std::string> spotters;
        std::uint64_t lastHeard = 0;
    };
    void forgetOldest();

    std::unordered_map<std::string, Entry> m_calls; // by upper-cased call
    std::uint64_t m_reports = 0;
};

} // namespace wexon::spots
