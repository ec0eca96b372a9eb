#include "output/cabrillo.h"

#include <unordered_set>

#include "core/date_time.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::output {

namespace {

// Pads `line` with spaces so that the next field starts at 1-based `column`. A
// line that already reached the column gets a single space instead, so that a
// long field never runs into the next one.
void startAt(std::string& line, std::size_t column) {
    if (line.size() + 1 < column) {
        line.append(column - 1 - line.size(), ' ');
    } else if (!line.empty() && line.back() != ' ') {
        line.push_back(' ');
    }
}

std::string qsoDateField(const std::string& stored) {
    if (auto d = core::parseDate(stored)) {
        return core::zeroPad(d->year, 4) + "-" + core::zeroPad(d->month, 2) + "-" +
               core::zeroPad(d->day, 2);
    }
    return stored; // not a date: written as it stands
}

std::string qsoTimeField(const std::string& stored) {
    if (auto t = core::parseTime(stored)) {
        return core::formatHourMinuteDigits(*t);
    }
    // Not a time: characters 1-2 and 4-5, as of "hh:mm:ss".
    std::string out = stored.substr(0, 2);
    if (stored.size() > 3) {
        out += stored.substr(3, 2);
    }
    return out;
}

void line(std::string& out, std::string_view text) {
    appendCabrilloLine(out, text);
}

} // namespace

void appendCabrilloLine(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.append(text);
    for (std::size_t i = start; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n') {
            out[i] = ' ';
        }
    }
    out.append("\r\n");
}

std::string cabrilloContest(std::string_view mode) {
    if (mode == "CW") {
        return "CQ-WPX-CW";
    }
    if (mode == "RY") {
        return "CQ-WPX-RTTY";
    }
    return "CQ-WPX-SSB";
}

std::string cabrilloCategory(const SummarySheet& s) {
    std::string out;
    switch (s.op) {
    case SummarySheet::Operator::Single:
        out = "SINGLE-OP";
        break;
    case SummarySheet::Operator::SingleAssisted:
        out = "SINGLE-OP-ASSISTED";
        break;
    case SummarySheet::Operator::Multiple:
        out = "MULTI-";
        break;
    case SummarySheet::Operator::Checklog:
        out = "CHECKLOG";
        break;
    }
    switch (s.transmitter) {
    case SummarySheet::Transmitter::None:
        break;
    case SummarySheet::Transmitter::One:
        out += "ONE";
        break;
    case SummarySheet::Transmitter::Two:
        out += "TWO";
        break;
    case SummarySheet::Transmitter::Multi:
        out += "MULTI";
        break;
    }
    out += " " + s.bandItem + " ";
    switch (s.power) {
    case SummarySheet::Power::High:
        out += "HIGH";
        break;
    case SummarySheet::Power::Low:
        out += "LOW";
        break;
    case SummarySheet::Power::Qrp:
        out += "QRP";
        break;
    }
    return out;
}

std::string cabrilloOverlay(const SummarySheet& s) {
    std::string out;
    if (s.rookie) {
        out = "ROOKIE ";
    }
    if (s.bandLimited) {
        out += "BAND-LIMITED ";
    }
    if (s.tbWires) {
        out += "TB-WIRES";
    }
    return core::trim(out);
}

std::string cabrilloClaimedScore(long long totalPoints, int prefixCount) {
    double score = static_cast<double>(totalPoints) * static_cast<double>(prefixCount);
    // A negative score carries its sign in place of the leading space.
    std::string digits = core::formatShortest(score);
    return (score < 0 ? "" : " ") + digits + " ";
}

std::string cabrilloFrequency(std::string_view band) {
    static constexpr std::pair<const char*, const char*> kFreqs[] = {
        {"160", " 1800"}, {"80", " 3500"}, {"40", " 7000"},
        {"20", "14000"},  {"15", "21000"}, {"10", "28000"},
    };
    for (const auto& [name, freq] : kFreqs) {
        if (core::equalsIgnoreCase(band, name)) {
            return freq;
        }
    }
    return {};
}

std::string cabrilloQsoLine(const core::QsoRecord& q, std::string_view mode,
                            std::string_view ownCall) {
    return cabrilloQsoLineWithFrequency(q, cabrilloFrequency(q.band), mode, ownCall);
}

std::string cabrilloQsoLineWithFrequency(const core::QsoRecord& q, std::string_view freq,
                                         std::string_view mode, std::string_view ownCall) {
    std::string out;
    out.reserve(96);
    out = "QSO:";
    // The frequency ends at column 10; one too long for that starts after the
    // tag's blank and pushes the later fields on.
    startAt(out, freq.size() < 6 ? 11 - freq.size() : 6);
    out += freq;
    startAt(out, 12);
    out += mode;
    startAt(out, 15);
    out += qsoDateField(q.qsoDate);
    startAt(out, 26);
    out += qsoTimeField(q.qsoTime);
    startAt(out, 31);
    out += ownCall;
    startAt(out, 45);
    out += q.rstSent;
    startAt(out, 49);
    out += q.serialSent;
    startAt(out, 56);
    out += q.call;
    startAt(out, 70);
    out += q.rstReceived;
    startAt(out, 74);
    out += q.serialReceived;
    startAt(out, 81);
    out += ' '; // the transmitter: none
    return out;
}

std::string writeCabrillo(const SummarySheet& s, const CabrilloLog& log) {
    const std::string ownCall = core::trim(log.ownCall);
    std::string out;
    std::size_t count = log.qsos ? log.qsos->size() : 0;
    out.reserve(1024 + count * 90);
    line(out, "START-OF-LOG: 2.0");
    line(out, "CREATED-BY: " + s.createdBy.substr(0, 45));
    line(out, "ARRL-SECTION: " + s.arrlSection);
    line(out, "CONTEST: " + cabrilloContest(log.contestMode));
    line(out, "CALLSIGN: " + ownCall);
    line(out, "CATEGORY: " + cabrilloCategory(s));
    const std::string overlay = cabrilloOverlay(s);
    if (!overlay.empty()) {
        line(out, "CATEGORY-OVERLAY: " + overlay);
    }
    line(out, "CLAIMED-SCORE:" + cabrilloClaimedScore(log.totalPoints, log.prefixCount));
    line(out, "OPERATORS: " + (core::trim(s.operators).empty() ? ownCall : s.operators));
    line(out, "CLUB: " + s.club);
    line(out, "NAME: " + s.name);
    line(out, "ADDRESS: " + s.address1);
    line(out, "ADDRESS: " + s.address2);
    line(out, "EMAIL: " + s.email);
    line(out, "SOAPBOX: " + s.soapbox);
    line(out, "SOAPBOX:");
    line(out, "SOAPBOX:");
    if (log.qsos) {
        std::string qso;
        for (const auto& q : *log.qsos) {
            qso = cabrilloQsoLine(q, log.contestMode, ownCall);
            line(out, qso);
        }
    }
    line(out, "END-OF-LOG:");
    return out;
}

int countPrefixes(const std::vector<core::QsoRecord>& qsos) {
    std::unordered_set<std::string> seen;
    seen.reserve(qsos.size());
    for (const auto& q : qsos) {
        seen.insert(core::toUpper(q.prefix));
    }
    return static_cast<int>(seen.size());
}

} // namespace wexon::output
