#include "core/contact_builder.h"

#include <cmath>

#include "core/log_file.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::core {

std::string pointsOrZero(std::string_view pointsBox) {
    return isNumeric(pointsBox) ? std::string(pointsBox) : std::string("0");
}

std::string logSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c < 32 || c == 127 || (c >= 128 && c < 160)) {
            continue;
        }
        out.push_back(ch);
    }
    return out;
}

QsoRecord buildContact(const EntryTexts& boxes, const ContactContext& context,
                       const DateTime& utcNow) {
    QsoRecord r;
    r.rstSent = logSafeText(boxes.rstSent);
    r.country = trimRight(logSafeText(boxes.country));
    r.call = toUpper(logSafeText(boxes.call));
    r.rstReceived = logSafeText(boxes.rstReceived);
    r.serialReceived = logSafeText(boxes.serialReceived);

    r.qsoDate =
        context.postContestDate ? logSafeText(*context.postContestDate) : formatDate(utcNow);
    r.qsoTime =
        context.postContestTime ? logSafeText(*context.postContestTime) : formatTime(utcNow);

    r.band = logSafeText(context.band);
    // Points the log reader would refuse (negative, huge, not finite) count 0.
    const double points = parseNumber(pointsOrZero(boxes.points)).value_or(0.0);
    r.points = (points >= 0.0 && points <= kMaxQsoPoints) ? static_cast<float>(points) : 0.0f;
    r.prefix = toUpper(logSafeText(boxes.prefix));
    r.serialSent = logSafeText(context.serialSent);
    r.frequency = logSafeText(context.lastFrequency);
    return r;
}

} // namespace wexon::core
