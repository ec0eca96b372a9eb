#include "core/serials.h"

#include <cmath>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::core {

std::string labelIncrement(const std::vector<QsoRecord>& records, bool serialPerBand,
                           std::string_view band) {
    const QsoRecord* reference = nullptr;
    if (serialPerBand) {
        for (auto it = records.rbegin(); it != records.rend(); ++it) {
            if (equalsIgnoreCase(it->band, band)) {
                reference = &*it;
                break;
            }
        }
    } else if (!records.empty()) {
        reference = &records.back();
    }
    if (reference == nullptr) {
        return "001";
    }
    return serialAfter(reference->serialSent);
}

std::string serialAfter(std::string_view serialSent) {
    auto sent = parseNumber(serialSent);
    if (!sent) {
        return "001";
    }
    // A serial sent is a whole number; a hand-edited fraction counts by its whole
    // part, and one that would give less than 1 (or beyond what a whole number
    // holds exactly) starts again at "001".
    double next = std::floor(*sent) + 1;
    if (next < 1 || next > 1e15) {
        return "001";
    }
    return zeroPad(static_cast<long long>(next), 3);
}

std::string plainSerial(std::string_view caption) {
    std::string text = trim(caption);
    if (auto value = parseNumber(text)) {
        return formatShortest(*value);
    }
    return text;
}

} // namespace wexon::core
