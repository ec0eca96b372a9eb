#include "output/adif.h"

#include <charconv>

#include "core/date_time.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::output {

namespace {

void appendNumber(std::string& out, std::size_t value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// Appends `value` with at least `width` digits.
void appendPadded(std::string& out, int value, std::size_t width) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, value < 0 ? 0 : value).ptr;
    const auto length = static_cast<std::size_t>(end - digits);
    if (length < width) {
        out.append(width - length, '0');
    }
    out.append(digits, end);
}

// "<Tag:" + length + ">" + data (+ suffix, counted in the length); the caller adds
// the separator.
void item(std::string& out, std::string_view tag, std::string_view data,
          std::string_view suffix = {}) {
    out += '<';
    out += tag;
    out += ':';
    appendNumber(out, data.size() + suffix.size());
    out += '>';
    out += data;
    out += suffix;
}

std::string_view trimmedRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view trimmedLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

void spaced(std::string& out, std::string_view tag, std::string_view data) {
    item(out, tag, data);
    out += ' ';
}

} // namespace

std::string adifMode(std::string_view mode) {
    if (mode == "CW") {
        return "CW";
    }
    if (mode == "RY") {
        return "RTTY";
    }
    return "SSB";
}

std::string adifTimeOn(std::string_view stored) {
    std::string t = core::trim(stored);
    // The first ":" goes, keeping the two characters after it.
    std::size_t colon = t.find(':');
    if (colon != std::string::npos) {
        t = t.substr(0, colon) + t.substr(colon + 1, 2);
    }
    if (t.size() > 4) {
        t.resize(4);
    }
    t.append(4 - t.size(), '0');
    return t;
}

std::string adifHeader(const AdifExport& e) {
    std::string out = "ADIF Export from " + core::trim(e.programTitle.substr(0, 60)) + "\r\n";
    out += "CQ WPX contest log, one record for each contact.\r\n";
    out += "Written in the Amateur Data Interchange Format.\r\n";
    out += "Log exported on: " + e.exportDate + "\r\n";
    out += "\r\n<EOH>\r\n\r\n";
    return out;
}

std::string adifRecord(const core::QsoRecord& q, const AdifExport& e, const DxccTable& dxcc) {
    std::string out;
    out.reserve(256);
    appendAdifRecord(out, q, e, dxcc);
    return out;
}

void appendAdifRecord(std::string& out, const core::QsoRecord& q, const AdifExport& e,
                      const DxccTable& dxcc) {
    if (!q.call.empty()) {
        spaced(out, "Call", q.call);
    }
    if (auto d = core::parseDate(q.qsoDate)) {
        out += "<Qso_Date:8:d>";
        appendPadded(out, d->year, 4);
        appendPadded(out, d->month, 2);
        appendPadded(out, d->day, 2);
        out += ' ';
    }
    item(out, "Band", q.band, "M");
    out += ' ';
    item(out, "Mode", adifMode(e.contestMode));
    out += "\r\n";

    if (auto power = trimmedRight(e.power); !power.empty()) {
        spaced(out, "Tx_Pwr", power);
    }
    if (const std::string time = adifTimeOn(q.qsoTime); time >= "0000") {
        spaced(out, "Time_On", time);
    }
    if (auto freq = trimmedRight(trimmedLeft(q.frequency)); !freq.empty()) {
        spaced(out, "Freq", freq);
    }
    if (int n = dxcc.lookup(q.country); n > 0) {
        char digits[16];
        auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        spaced(out, "DXCC", std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    const std::string_view country = trimmedRight(trimmedLeft(q.country));
    if (core::equalsIgnoreCase(country, "Alaska")) {
        spaced(out, "State", "AK");
    } else if (core::equalsIgnoreCase(country, "Hawaii")) {
        spaced(out, "State", "HI");
    }
    if (auto rst = trimmedRight(q.rstSent); !rst.empty()) {
        spaced(out, "RST_Sent", rst);
    }
    if (auto rst = trimmedRight(q.rstReceived); !rst.empty()) {
        spaced(out, "RST_Rcvd", rst);
    }
    if (auto prefix = trimmedRight(q.prefix); !prefix.empty()) {
        spaced(out, "Pfx", prefix);
    }
    if (!e.comment.empty()) {
        item(out, "Comment", e.comment);
        out += "\r\n";
    }
    out += "<eor>\r\n\r\n";
}

std::string writeAdif(const std::vector<core::QsoRecord>& qsos, const AdifExport& e,
                      const DxccTable& dxcc) {
    std::string out = adifHeader(e);
    out.reserve(out.size() + qsos.size() * 220);
    for (const auto& q : qsos) {
        appendAdifRecord(out, q, e, dxcc);
    }
    return out;
}

} // namespace wexon::output
