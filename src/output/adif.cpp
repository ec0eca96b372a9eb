#include "output/adif.h"

#include <charconv>

#include "core/bands.h"
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

// The plain letters of the Latin-1 letters 0xC0 to 0xFF; none for the
// multiplication and division signs.
constexpr const char* kPlainLetters[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C",     "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  nullptr, "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y",
};

// An item whose data is a text from outside the program: made plain ASCII.
void textItem(std::string& out, std::string_view tag, std::string_view data,
              AdifTextChanges& changes) {
    item(out, tag, adifPlainText(data, changes));
    out += ' ';
}

// A serial as the integer item `tag`, or, when it is not a whole number, as
// the text item `tag` + "_STRING"; nothing when it is empty.
void serialItem(std::string& out, std::string_view tag, std::string_view serial,
                AdifTextChanges& changes) {
    serial = trimmedRight(trimmedLeft(serial));
    if (serial.empty()) {
        return;
    }
    if (core::allDigits(serial)) {
        const std::size_t first = serial.find_first_not_of('0');
        spaced(out, tag, first == std::string_view::npos ? "0" : serial.substr(first));
        return;
    }
    textItem(out, std::string(tag) + "_STRING", serial, changes);
}

// The stored frequency, when it is a number in MHz that lies in the contact's
// own band; a reading from another band would contradict the band item.
std::optional<std::string_view> bandFrequency(const core::QsoRecord& q) {
    const std::string_view freq = trimmedRight(trimmedLeft(q.frequency));
    const auto mhz = core::parseNumber(freq);
    if (!mhz || !(*mhz > 0.0 && *mhz < 1.0e6)) {
        return std::nullopt;
    }
    const auto band = core::bandForFrequency(static_cast<float>(*mhz));
    if (!band || !core::equalsIgnoreCase(*band, q.band)) {
        return std::nullopt;
    }
    return freq;
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

std::string adifContestId(std::string_view mode) {
    return "CQ-WPX-" + adifMode(mode);
}

std::string adifPlainText(std::string_view text, AdifTextChanges& changes) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 32 && c < 127) {
            out.push_back(ch);
        } else if (c == 0xA0) {
            out.push_back(' ');
            ++changes.transliterated;
        } else if (c >= 0xC0 && kPlainLetters[c - 0xC0] != nullptr) {
            out += kPlainLetters[c - 0xC0];
            ++changes.transliterated;
        } else {
            out.push_back(kAdifReplacement);
            ++changes.replaced;
        }
    }
    return out;
}

std::string adifTextChangesNote(const AdifTextChanges& changes) {
    std::string note;
    if (changes.transliterated > 0) {
        note += std::to_string(changes.transliterated) +
                " accented or special letter(s) were written as plain letters (\xe9 as e).";
    }
    if (changes.replaced > 0) {
        if (!note.empty()) {
            note += ' ';
        }
        note += std::to_string(changes.replaced) +
                " character(s) with no plain equivalent were written as \"";
        note += kAdifReplacement;
        note += "\".";
    }
    return note;
}

std::optional<std::string> adifTimeOn(std::string_view stored) {
    const auto t = core::parseTime(stored);
    if (!t) {
        return std::nullopt;
    }
    return core::formatHourMinuteDigits(*t);
}

std::string adifHeader(const AdifExport& e) {
    AdifTextChanges ignored;
    return adifHeader(e, ignored);
}

std::string adifHeader(const AdifExport& e, AdifTextChanges& changes) {
    // The free text before the first item may hold no "<", which would start
    // an item for a reader.
    std::string title = adifPlainText(core::trim(e.programTitle.substr(0, 60)), changes);
    std::string date = adifPlainText(e.exportDate, changes);
    for (std::string* text : {&title, &date}) {
        for (char& c : *text) {
            if (c == '<') {
                c = kAdifReplacement;
                ++changes.replaced;
            }
        }
    }
    std::string out = "ADIF Export from " + title + "\r\n";
    out += "CQ WPX contest log, one record for each contact.\r\n";
    out += "Written in the Amateur Data Interchange Format.\r\n";
    out += "Log exported on: " + date + "\r\n";
    out += "\r\n";
    item(out, "ADIF_VER", kAdifVersion);
    out += "\r\n";
    item(out, "PROGRAMID", kAdifProgramId);
    out += "\r\n";
    if (const std::string version = adifPlainText(core::trim(e.programVersion), changes);
        !version.empty()) {
        item(out, "PROGRAMVERSION", version);
        out += "\r\n";
    }
    out += "<EOH>\r\n\r\n";
    return out;
}

std::string adifRecord(const core::QsoRecord& q, const AdifExport& e, const DxccTable& dxcc) {
    std::string out;
    out.reserve(256);
    AdifTextChanges ignored;
    appendAdifRecord(out, q, e, dxcc, ignored);
    return out;
}

void appendAdifRecord(std::string& out, const core::QsoRecord& q, const AdifExport& e,
                      const DxccTable& dxcc, AdifTextChanges& changes) {
    if (!q.call.empty()) {
        textItem(out, "Call", q.call, changes);
    }
    if (auto d = core::parseDate(q.qsoDate)) {
        out += "<Qso_Date:8:d>";
        appendPadded(out, d->year, 4);
        appendPadded(out, d->month, 2);
        appendPadded(out, d->day, 2);
        out += ' ';
    }
    item(out, "Band", adifPlainText(q.band, changes), "M");
    out += ' ';
    spaced(out, "Mode", adifMode(e.contestMode));
    item(out, "CONTEST_ID", adifContestId(e.contestMode));
    out += "\r\n";

    if (auto power = trimmedRight(e.power); !power.empty()) {
        textItem(out, "Tx_Pwr", power, changes);
    }
    if (const auto time = adifTimeOn(q.qsoTime)) {
        spaced(out, "Time_On", *time);
    }
    if (const auto freq = bandFrequency(q)) {
        spaced(out, "Freq", *freq);
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
        textItem(out, "RST_Sent", rst, changes);
    }
    serialItem(out, "STX", q.serialSent, changes);
    if (auto rst = trimmedRight(q.rstReceived); !rst.empty()) {
        textItem(out, "RST_Rcvd", rst, changes);
    }
    serialItem(out, "SRX", q.serialReceived, changes);
    if (auto prefix = trimmedRight(q.prefix); !prefix.empty()) {
        textItem(out, "Pfx", prefix, changes);
    }
    if (!e.comment.empty()) {
        item(out, "Comment", adifPlainText(e.comment, changes));
        out += "\r\n";
    }
    out += "<eor>\r\n\r\n";
}

std::string writeAdif(const std::vector<core::QsoRecord>& qsos, const AdifExport& e,
                      const DxccTable& dxcc, AdifTextChanges* changes) {
    AdifTextChanges counted;
    std::string out = adifHeader(e, counted);
    out.reserve(out.size() + qsos.size() * 260);
    for (const auto& q : qsos) {
        appendAdifRecord(out, q, e, dxcc, counted);
    }
    if (changes != nullptr) {
        *changes = counted;
    }
    return out;
}

} // namespace wexon::output
