#include "core/log_file.h"

#include <algorithm>

#include "core/number_format.h"
#include "core/quoted_form.h"

namespace wexon::core {

std::string formatQsoLine(const QsoRecord& r) {
    FieldWriter w;
    w.text(r.call)
        .text(r.rstReceived)
        .text(r.serialReceived)
        .text(r.rstSent)
        .text(r.country)
        .text(r.qsoDate)
        .text(r.qsoTime)
        .text(r.band)
        .number(r.points)
        .text(r.prefix)
        .text(r.serialSent)
        .text(r.frequency)
        .endLine();
    return w.str();
}

std::string formatLog(const std::vector<QsoRecord>& records) {
    std::string out;
    out.reserve(records.size() * 90);
    for (const auto& r : records) {
        out += formatQsoLine(r);
    }
    return out;
}

bool endsWithUnterminatedLine(std::string_view bytes) {
    const std::size_t lastLf = bytes.find_last_of('\n');
    const std::string_view tail =
        lastLf == std::string_view::npos ? bytes : bytes.substr(lastLf + 1);
    if (tail.empty() || tail.back() == '\r') {
        return false;
    }
    return tail.find_first_not_of(" \t") != std::string_view::npos;
}

LogReadResult parseLog(std::string_view bytes, std::size_t maxRecords) {
    LogReadResult result;
    result.lastLineUnterminated = endsWithUnterminatedLine(bytes);
    // One record per line is the normal case: room for them all up front saves
    // moving every record each time the store grows.
    std::size_t lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    result.records.reserve(std::min(lines, maxRecords));
    FieldReader in(bytes);
    std::string value;
    while (!in.atEnd()) {
        if (result.records.size() >= maxRecords) {
            // Count what is left without keeping it.
            result.unreadTailOffset = in.position();
            int fields = 0;
            while (in.next(value)) {
                ++fields;
            }
            result.recordsBeyondLimit = (fields + kQsoFieldCount - 1) / kQsoFieldCount;
            break;
        }
        QsoRecord r;
        std::string* texts[] = {&r.call,    &r.rstReceived, &r.serialReceived, &r.rstSent,
                                &r.country, &r.qsoDate,     &r.qsoTime,        &r.band};
        int got = 0;
        for (std::string* t : texts) {
            if (!in.next(*t)) {
                break;
            }
            ++got;
        }
        if (got == 8 && in.next(value)) {
            ++got;
            auto v = parseNumber(value);
            if (!v) {
                ++result.unreadablePoints;
            } else if (*v >= 0 && *v <= kMaxQsoPoints) {
                r.points = static_cast<float>(*v);
            } else {
                ++result.outOfRangePoints;
            }
            std::string* tail[] = {&r.prefix, &r.serialSent, &r.frequency};
            for (std::string* t : tail) {
                if (!in.next(*t)) {
                    break;
                }
                ++got;
            }
        }
        if (got < kQsoFieldCount) {
            result.lastRecordShort = true;
        }
        result.records.push_back(std::move(r));
    }
    return result;
}

} // namespace wexon::core
