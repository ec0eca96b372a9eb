#include "output/cabrillo3.h"

#include <algorithm>
#include <cmath>

#include "core/bands.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::output {

namespace {

using Op = SummarySheet::Operator;
using Tx = SummarySheet::Transmitter;
using Pw = SummarySheet::Power;

// Each operator choice of the sheet as the two 3.0 tags it becomes. A
// multi-operator entry may use spotting help, so it counts as assisted.
struct OperatorTags {
    Op op;
    const char* operatorTag;
    const char* assistedTag;
};
constexpr OperatorTags kOperatorTags[] = {
    {Op::Single, "SINGLE-OP", "NON-ASSISTED"},
    {Op::SingleAssisted, "SINGLE-OP", "ASSISTED"},
    {Op::Multiple, "MULTI-OP", "ASSISTED"},
    {Op::Checklog, "CHECKLOG", "NON-ASSISTED"},
};

// A single-operator or checklog entry has no transmitter choice: it is one
// transmitter. "Multi" transmitters is the unlimited class.
struct TransmitterTag {
    Tx transmitter;
    const char* tag;
};
constexpr TransmitterTag kTransmitterTags[] = {
    {Tx::None, "ONE"},
    {Tx::One, "ONE"},
    {Tx::Two, "TWO"},
    {Tx::Multi, "UNLIMITED"},
};

struct PowerTag {
    Pw power;
    const char* tag;
};
constexpr PowerTag kPowerTags[] = {{Pw::High, "HIGH"}, {Pw::Low, "LOW"}, {Pw::Qrp, "QRP"}};

// The log's mode ("CW", "PH", "RY") as the category mode, following the same
// rule as the contest name: anything but CW and RTTY is the phone contest.
std::string categoryMode(std::string_view contestMode) {
    if (contestMode == "CW") {
        return "CW";
    }
    if (contestMode == "RY") {
        return "RTTY";
    }
    return "SSB";
}

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

bool isBlank(char c) {
    return c == ' ' || isControl(c);
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The text's lines, each trimmed, control bytes inside turned into blanks,
// blank lines left out.
std::vector<std::string> plainLines(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view piece = trimBlanks(text.substr(start, end - start));
        if (!piece.empty()) {
            std::string clean(piece);
            for (char& c : clean) {
                if (isControl(c)) {
                    c = ' ';
                }
            }
            out.push_back(std::move(clean));
        }
        start = end + 1;
    }
    return out;
}

} // namespace

std::string cabrilloVersionText(CabrilloVersion version) {
    return version == CabrilloVersion::V3 ? "3.0" : "2.0";
}

CabrilloVersion cabrilloVersionFromText(std::string_view text) {
    return core::trim(text) == "3.0" ? CabrilloVersion::V3 : CabrilloVersion::V2;
}

Cabrillo3Categories cabrillo3Categories(const SummarySheet& s, std::string_view contestMode) {
    Cabrillo3Categories c;
    for (const auto& t : kOperatorTags) {
        if (t.op == s.op) {
            c.op = t.operatorTag;
            c.assisted = t.assistedTag;
        }
    }
    for (const auto& t : kTransmitterTags) {
        if (t.transmitter == s.transmitter) {
            c.transmitter = t.tag;
        }
    }
    for (const auto& t : kPowerTags) {
        if (t.power == s.power) {
            c.power = t.tag;
        }
    }
    c.band = cabrilloOneLine(s.bandItem);
    c.mode = categoryMode(contestMode);
    c.overlay = cabrillo3Overlay(s);
    return c;
}

std::string cabrillo3Overlay(const SummarySheet& s) {
    const std::string chosen = core::toUpper(core::trim(s.overlay3));
    for (const char* value : kCabrillo3Overlays) {
        if (chosen == value) {
            return chosen;
        }
    }
    // The tag takes one value: a rookie entry is a rookie first.
    if (s.rookie) {
        return "ROOKIE";
    }
    if (s.tbWires) {
        return "TB-WIRES";
    }
    return {};
}

std::vector<std::string> cabrillo3AddressLines(const SummarySheet& s) {
    std::vector<std::string> out =
        cabrilloTextLines(s.address1 + "\n" + s.address2, kCabrilloAddressWidth);
    if (out.size() > kCabrilloAddressLines) {
        out.resize(kCabrilloAddressLines);
    }
    if (out.empty()) {
        out.emplace_back();
    }
    return out;
}

char cabrillo3TransmitterColumn(const SummarySheet& s) {
    if (s.op != Op::Multiple || s.transmitter != Tx::Two) {
        return ' ';
    }
    return s.transmitterId == 1 ? '1' : '0';
}

std::string cabrillo3Frequency(const core::QsoRecord& q) {
    const auto mhz = core::parseNumber(q.frequency);
    // Only a value a float can hold is narrowed for the band table.
    if (mhz && *mhz > 0.0 && *mhz < 1.0e6) {
        const auto band = core::bandForFrequency(static_cast<float>(*mhz));
        // A frequency outside the contact's own band is a stale or wrong
        // reading: the band is what the log counts, so its edge is written.
        if (band && core::equalsIgnoreCase(*band, q.band)) {
            return std::to_string(std::llround(*mhz * 1000.0));
        }
    }
    return cabrilloFrequency(q.band);
}

std::vector<std::string> cabrilloTextLines(std::string_view text, std::size_t width) {
    std::vector<std::string> out;
    width = std::max<std::size_t>(width, 1); // no width would lose the text
    for (const std::string& whole : plainLines(text)) {
        std::string_view rest = whole;
        while (rest.size() > width) {
            std::size_t cut = rest.rfind(' ', width);
            if (cut == std::string_view::npos || cut == 0) {
                out.emplace_back(rest.substr(0, width)); // one word longer than a line
                rest.remove_prefix(width);
            } else {
                out.emplace_back(trimBlanks(rest.substr(0, cut)));
                rest.remove_prefix(cut + 1);
            }
            rest = trimBlanks(rest);
        }
        if (!rest.empty()) {
            out.emplace_back(rest);
        }
    }
    return out;
}

std::vector<std::string> cabrilloTagLines(std::string_view tag, std::string_view text) {
    const std::string lead = std::string(tag) + ": ";
    const std::size_t room =
        lead.size() < kCabrilloTextLineWidth ? kCabrilloTextLineWidth - lead.size() : 1;
    std::vector<std::string> out;
    for (const std::string& piece : cabrilloTextLines(text, room)) {
        out.push_back(lead + piece);
    }
    if (out.empty()) {
        out.push_back(lead);
    }
    return out;
}

std::string cabrilloOneLine(std::string_view text) {
    std::string out;
    for (const std::string& piece : plainLines(text)) {
        if (!out.empty()) {
            out.push_back(' ');
        }
        out += piece;
    }
    return out;
}

std::string writeCabrillo3(const SummarySheet& s, const CabrilloLog& log) {
    const std::string ownCall = cabrilloOneLine(log.ownCall);
    const std::size_t count = log.qsos ? log.qsos->size() : 0;
    std::string out;
    out.reserve(1024 + count * 90);
    auto tag = [&out](std::string_view name, std::string_view value) {
        std::string text(name);
        text += ": ";
        text += value;
        appendCabrilloLine(out, text);
    };
    auto tagLines = [&out](std::string_view name, std::string_view text) {
        for (const std::string& l : cabrilloTagLines(name, text)) {
            appendCabrilloLine(out, l);
        }
    };

    appendCabrilloLine(out, "START-OF-LOG: 3.0");
    tag("CREATED-BY", cabrilloOneLine(s.createdBy.substr(0, 45)));
    tag("CONTEST", cabrilloContest(log.contestMode));
    tag("CALLSIGN", ownCall);
    tag("LOCATION", cabrilloOneLine(s.arrlSection));
    const Cabrillo3Categories c = cabrillo3Categories(s, log.contestMode);
    tag("CATEGORY-OPERATOR", c.op);
    tag("CATEGORY-ASSISTED", c.assisted);
    tag("CATEGORY-BAND", c.band);
    tag("CATEGORY-MODE", c.mode);
    tag("CATEGORY-POWER", c.power);
    tag("CATEGORY-TRANSMITTER", c.transmitter);
    if (!c.overlay.empty()) {
        tag("CATEGORY-OVERLAY", c.overlay);
    }
    tag("CLAIMED-SCORE", core::trim(cabrilloClaimedScore(log.totalPoints, log.prefixCount)));
    const std::string operators = cabrilloOneLine(s.operators);
    tag("OPERATORS", operators.empty() ? ownCall : operators);
    tag("CLUB", cabrilloOneLine(s.club));
    tag("NAME", cabrilloOneLine(s.name));
    for (const std::string& address : cabrillo3AddressLines(s)) {
        tag("ADDRESS", address);
    }
    tag("EMAIL", cabrilloOneLine(s.email));
    tagLines("SOAPBOX", s.soapbox);
    const char transmitter = cabrillo3TransmitterColumn(s);
    if (log.qsos) {
        std::string line;
        for (const auto& q : *log.qsos) {
            line = cabrilloQsoLineWithFrequency(q, cabrillo3Frequency(q), log.contestMode, ownCall);
            // The line always ends with its transmitter column, blank so far.
            line.back() = transmitter;
            appendCabrilloLine(out, line);
        }
    }
    appendCabrilloLine(out, "END-OF-LOG:");
    return out;
}

std::string writeCabrilloFile(CabrilloVersion version, const SummarySheet& sheet,
                              const CabrilloLog& log) {
    return version == CabrilloVersion::V3 ? writeCabrillo3(sheet, log) : writeCabrillo(sheet, log);
}

} // namespace wexon::output
