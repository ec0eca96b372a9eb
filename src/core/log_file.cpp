#include "core/log_file.h"

#include <algorithm>

#include "core/bands.h"
#include "core/date_time.h"
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

namespace {

// Counts lines as the reader does: CR LF, CR alone and LF alone each end one.
class LineCounter {
  public:
    explicit LineCounter(std::string_view bytes) : m_bytes(bytes) {}
    // The 1-based line holding the byte at `pos`; positions must not go back.
    int lineAt(std::size_t pos) {
        for (; m_pos < pos && m_pos < m_bytes.size(); ++m_pos) {
            const char c = m_bytes[m_pos];
            if (c == '\n' ||
                (c == '\r' && (m_pos + 1 >= m_bytes.size() || m_bytes[m_pos + 1] != '\n'))) {
                ++m_line;
            }
        }
        return m_line;
    }

  private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
    int m_line = 1;
};

// The records, value by value, without looking at how the data ends.
LogReadResult readRecords(std::string_view bytes);

} // namespace

bool recordValuesFit(const QsoRecord& r, int valuesRead, bool pointsAreNumber) {
    if (valuesRead >= 6 && !parseDate(r.qsoDate)) {
        return false;
    }
    if (valuesRead >= 7 && !parseTime(r.qsoTime)) {
        return false;
    }
    if (valuesRead >= 8 && !isBandName(r.band)) {
        return false;
    }
    return valuesRead < 9 || pointsAreNumber;
}

bool isWholeRecordLine(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    // The frequency is the last value and a quoted one: a line cut inside it, or
    // just after its opening quote, lacks the closing quote.
    if (line.empty() || line.back() != '"' || std::count(line.begin(), line.end(), '"') % 2 != 0 ||
        line.find_first_of("\r\n") != std::string_view::npos) {
        return false;
    }
    LogReadResult read = readRecords(line);
    return read.records.size() == 1 && !read.lastRecordShort && read.misplacedCount == 0 &&
           read.unreadablePoints == 0;
}

bool endsWithUnterminatedLine(std::string_view bytes) {
    const std::size_t lastEnd = bytes.find_last_of("\r\n");
    const std::string_view tail =
        lastEnd == std::string_view::npos ? bytes : bytes.substr(lastEnd + 1);
    if (tail.empty()) {
        return false;
    }
    return tail.find_first_not_of(" \t") != std::string_view::npos;
}

LogReadResult parseLog(std::string_view bytes) {
    LogReadResult result = readRecords(bytes);
    result.lastLineUnterminated = endsWithUnterminatedLine(bytes);
    if (result.lastLineUnterminated) {
        const std::size_t lastEnd = bytes.find_last_of("\r\n");
        result.lastLineWholeRecord = isWholeRecordLine(
            lastEnd == std::string_view::npos ? bytes : bytes.substr(lastEnd + 1));
    }
    return result;
}

namespace {

LogReadResult readRecords(std::string_view bytes) {
    LogReadResult result;
    // One record per line is the normal case: room for them all up front saves
    // moving every record each time the store grows, and room for the contacts
    // of the next hours saves moving them all when the first one is logged.
    std::size_t lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    result.records.reserve(lines + 1024);
    FieldReader in(bytes);
    LineCounter lineOf(bytes);
    std::string value;
    while (!in.atEnd()) {
        const std::size_t recordStart = in.position();
        // Filled where it stays: no record is moved into the store afterwards.
        QsoRecord& r = result.records.emplace_back();
        std::string* texts[] = {&r.call,    &r.rstReceived, &r.serialReceived, &r.rstSent,
                                &r.country, &r.qsoDate,     &r.qsoTime,        &r.band};
        int got = 0;
        for (std::string* t : texts) {
            if (!in.next(*t)) {
                break;
            }
            ++got;
        }
        bool pointsAreNumber = false;
        if (got == 8 && in.next(value)) {
            ++got;
            auto v = parseNumber(value);
            pointsAreNumber = v.has_value();
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
        if (!recordValuesFit(r, got, pointsAreNumber)) {
            ++result.misplacedCount;
            if (result.misplaced.size() < kMisplacedListed) {
                result.misplaced.push_back(
                    {static_cast<int>(result.records.size()), lineOf.lineAt(recordStart)});
            }
        }
    }
    return result;
}

} // namespace

} // namespace wexon::core
