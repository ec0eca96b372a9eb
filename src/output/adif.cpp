#include "output/adif.h"

#include "core/date_time.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::output {

namespace {

// "<Tag:" + length + ">" + data; the caller adds the separator.
void item(std::string& out, std::string_view tag, std::string_view data) {
    out += '<';
    out += tag;
    out += ':';
    out += std::to_string(data.size());
    out += '>';
    out += data;
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
    if (!q.call.empty()) {
        spaced(out, "Call", q.call);
    }
    if (auto d = core::parseDate(q.qsoDate)) {
        out += "<Qso_Date:8:d>";
        out += core::zeroPad(d->year, 4) + core::zeroPad(d->month, 2) + core::zeroPad(d->day, 2);
        out += ' ';
    }
    spaced(out, "Band", q.band + "M");
    item(out, "Mode", adifMode(e.contestMode));
    out += "\r\n";

    const std::string power = core::trimRight(e.power);
    if (!power.empty()) {
        spaced(out, "Tx_Pwr", power);
    }
    const std::string time = adifTimeOn(q.qsoTime);
    if (time >= "0000") {
        spaced(out, "Time_On", time);
    }
    const std::string freq = core::trim(q.frequency);
    if (!freq.empty()) {
        spaced(out, "Freq", freq);
    }
    if (int n = dxcc.lookup(q.country); n > 0) {
        spaced(out, "DXCC", std::to_string(n));
    }
    const std::string country = core::trim(q.country);
    if (core::equalsIgnoreCase(country, "Alaska")) {
        spaced(out, "State", "AK");
    } else if (core::equalsIgnoreCase(country, "Hawaii")) {
        spaced(out, "State", "HI");
    }
    const std::string rstSent = core::trimRight(q.rstSent);
    if (!rstSent.empty()) {
        spaced(out, "RST_Sent", rstSent);
    }
    const std::string rstRcvd = core::trimRight(q.rstReceived);
    if (!rstRcvd.empty()) {
        spaced(out, "RST_Rcvd", rstRcvd);
    }
    const std::string prefix = core::trimRight(q.prefix);
    if (!prefix.empty()) {
        spaced(out, "Pfx", prefix);
    }
    if (!e.comment.empty()) {
        item(out, "Comment", e.comment);
        out += "\r\n";
    }
    out += "<eor>\r\n\r\n";
    return out;
}

std::string writeAdif(const std::vector<core::QsoRecord>& qsos, const AdifExport& e,
                      const DxccTable& dxcc) {
    std::string out = adifHeader(e);
    out.reserve(out.size() + qsos.size() * 200);
    for (const auto& q : qsos) {
        out += adifRecord(q, e, dxcc);
    }
    return out;
}

} // namespace wexon::output
