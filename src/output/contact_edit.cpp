#include "output/contact_edit.h"

#include "core/date_time.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::output {

ContactEditBoxes editBoxesFor(const core::QsoRecord& r) {
    ContactEditBoxes b;
    b.call = r.call;
    b.rstSent = r.rstSent;
    b.rstReceived = r.rstReceived;
    b.serialReceived = r.serialReceived;
    b.serialSent = r.serialSent;
    b.country = r.country;
    b.prefix = r.prefix;
    b.date = r.qsoDate;
    b.time = r.qsoTime;
    b.band = r.band;
    b.points = core::formatShortest(r.points);
    return b;
}

std::string editPoints(std::string_view points) {
    const std::string text = core::trim(points);
    if (text.size() != 1) {
        return "0";
    }
    const char digit = editPointsKey(text[0]);
    return digit != 0 ? std::string(1, digit) : std::string("0");
}

bool isEditBand(std::string_view band) {
    for (const char* b : {"10", "15", "20", "40", "80", "160"}) {
        if (band == b) {
            return true;
        }
    }
    return false;
}

bool isEditDate(std::string_view date) {
    return core::parseDate(date).has_value();
}

bool isEditTime(std::string_view time) {
    return core::parseTime(time).has_value();
}

std::vector<int> editDuplicates(const std::vector<core::QsoRecord>& qsos, int editedRecord,
                                std::string_view call, std::string_view band) {
    std::vector<int> found;
    for (std::size_t i = 0; i < qsos.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (number != editedRecord && qsos[i].band == band && qsos[i].call == call) {
            found.push_back(number);
        }
    }
    return found;
}

EditDecision decideEdit(const std::vector<core::QsoRecord>& qsos, int editedRecord,
                        const ContactEditBoxes& b, const core::QsoRecord& original) {
    EditDecision d;
    if (!isEditTime(b.time)) {
        d.step = EditDecision::Step::InvalidTime;
        return d;
    }
    if (!isEditDate(b.date)) {
        d.step = EditDecision::Step::InvalidDate;
        return d;
    }
    // Enter in the band box reaches "Done" without leaving the box, so the band
    // is checked here too: a band outside the table would not be scored.
    if (!isEditBand(b.band)) {
        d.step = EditDecision::Step::InvalidBand;
        return d;
    }
    // Records hold calls and prefixes in capitals; a pasted text may not.
    const std::string call = core::toUpper(b.call);
    d.duplicates = editDuplicates(qsos, editedRecord, call, b.band);
    d.points = editPoints(b.points);
    if (!d.duplicates.empty()) {
        d.step = EditDecision::Step::Duplicate;
        return d;
    }
    d.step = EditDecision::Step::Save;
    d.record = original; // the frequency has no box and is kept
    d.record.call = call;
    d.record.rstSent = b.rstSent;
    d.record.rstReceived = b.rstReceived;
    d.record.serialReceived = b.serialReceived;
    d.record.serialSent = b.serialSent;
    d.record.country = core::trimRight(b.country);
    d.record.prefix = core::toUpper(b.prefix);
    // Stored as every other record holds them, however they were typed: the
    // file writers and the log's readers take only this form.
    d.record.qsoDate = core::formatDate(*core::parseDate(b.date));
    d.record.qsoTime = core::formatTime(*core::parseTime(b.time));
    d.record.band = b.band;
    d.record.points = static_cast<float>(core::parseNumber(d.points).value_or(0.0));
    return d;
}

char editTextKey(char key) {
    if (key == '"') {
        return 0;
    }
    return core::toUpperAscii(key);
}

char editPointsKey(char key) {
    if (key >= '7' && key <= '9') {
        return '6';
    }
    return (key >= '0' && key <= '6') ? key : 0;
}

char editDateKey(char key) {
    return ((key >= '0' && key <= '9') || key == '/') ? key : 0;
}

char editTimeKey(char key) {
    return ((key >= '0' && key <= '9') || key == ':') ? key : 0;
}

} // namespace wexon::output
