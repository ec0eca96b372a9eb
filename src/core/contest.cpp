#include "core/contest.h"

#include <cmath>

#include "core/backup.h"
#include "core/bands.h"
#include "core/number_format.h"
#include "core/serials.h"
#include "core/text_util.h"

namespace wexon::core {

std::string Contest::pathOf(const std::string& fileName) const {
    return joinPath(m_workingFolder, fileName);
}

Contest::PrefsLoad Contest::loadPreferences() {
    PrefsLoad out;
    auto bytes = readWholeFile(pathOf(kPreferenceFileName), 1024 * 1024);
    if (!bytes) {
        out.error = std::string(kPreferenceFileName) + " could not be read";
        return out;
    }
    auto parsed = parsePreferences(*bytes);
    if (!parsed.ok()) {
        out.error = parsed.error;
        return out;
    }
    prefs = parsed.prefs;
    out.ok = true;
    return out;
}

FileResult Contest::savePreferences() const {
    return replaceAtomically(pathOf(kPreferenceFileName), serializePreferences(prefs));
}

Contest::LogLoad Contest::readLog() {
    LogLoad out;
    auto bytes = readWholeFile(pathOf(kLogFileName), 256u * 1024u * 1024u);
    if (!bytes) {
        return out;
    }
    out.opened = true;
    out.details = parseLog(*bytes, kMaxQsos);
    m_logLoaded = true;
    m_rewriteNeedsConsent = out.details.misplacedCount > 0;
    m_qsos = std::move(out.details.records);
    out.details.records.clear();
    m_unreadTail.clear();
    if (out.details.recordsBeyondLimit > 0 && out.details.unreadTailOffset < bytes->size()) {
        m_unreadTail = bytes->substr(out.details.unreadTailOffset);
        // The tail follows the store's last line, so it must start on a line of its own
        // and end with a line end like every other record.
        if (m_unreadTail.back() != '\n') {
            m_unreadTail += "\r\n";
        }
    }
    recomputeTotals();
    if (m_openedCount == 0) {
        m_openedCount = qsoCount();
    }
    return out;
}

FileResult Contest::allowDamagedRewrite(const std::string& backupFolder, const DateTime& local,
                                        std::string& savedAs) {
    FileResult copied = backupLogTo(pathOf(kLogFileName), backupFolder, local, savedAs);
    if (copied.ok()) {
        m_rewriteNeedsConsent = false;
    }
    return copied;
}

FileResult Contest::startEmptyLog() {
    FileResult made = appendDurably(pathOf(kLogFileName), {});
    if (!made.ok()) {
        return made;
    }
    m_qsos.clear();
    m_unreadTail.clear();
    m_totalPoints = 0;
    m_logLoaded = true;
    m_rewriteNeedsConsent = false;
    return made;
}

Contest::AppendOutcome Contest::appendQso(const QsoRecord& record) {
    if (!m_logLoaded) {
        return {AppendStatus::LogNotLoaded, kLogNotLoadedText};
    }
    if (qsoCount() >= kMaxQsos || !m_unreadTail.empty()) {
        return {AppendStatus::LogFull, kLogFullText};
    }
    FileResult written = appendDurably(pathOf(kLogFileName), formatQsoLine(record));
    if (!written.ok()) {
        return {AppendStatus::WriteFailed, written.error};
    }
    m_qsos.push_back(record);
    recomputeTotals();
    return {AppendStatus::Appended, {}};
}

FileResult Contest::replaceQso(int number, const QsoRecord& record) {
    if (number < 1 || number > qsoCount()) {
        return {"there is no contact " + std::to_string(number)};
    }
    std::vector<QsoRecord> changed = m_qsos;
    changed[static_cast<std::size_t>(number - 1)] = record;
    return commitStore(std::move(changed));
}

FileResult Contest::removeQso(int number) {
    if (number < 1 || number > qsoCount()) {
        return {"there is no contact " + std::to_string(number)};
    }
    std::vector<QsoRecord> changed = m_qsos;
    changed.erase(changed.begin() + (number - 1));
    return commitStore(std::move(changed));
}

std::string Contest::rewriteRefusal() const {
    if (!m_logLoaded) {
        return kLogNotLoadedText;
    }
    if (m_rewriteNeedsConsent) {
        return "log.txt holds contacts whose values are out of place; it is not rewritten "
               "until a copy has been kept";
    }
    return {};
}

FileResult Contest::commitStore(std::vector<QsoRecord> records) {
    if (std::string refusal = rewriteRefusal(); !refusal.empty()) {
        return {refusal};
    }
    std::string bytes = formatLog(records);
    bytes += m_unreadTail;
    FileResult written = replaceAtomically(pathOf(kLogFileName), bytes);
    if (written.ok()) {
        m_qsos = std::move(records);
        recomputeTotals();
    }
    return written;
}

FileResult Contest::rewriteLog() const {
    if (std::string refusal = rewriteRefusal(); !refusal.empty()) {
        return {refusal};
    }
    std::string bytes = formatLog(m_qsos);
    bytes += m_unreadTail;
    return replaceAtomically(pathOf(kLogFileName), bytes);
}

std::optional<std::string> Contest::bandFreqConversion(float mhz) {
    if (!std::isfinite(mhz)) {
        return std::nullopt;
    }
    lastFrequency = formatFreq(mhz);
    auto band = bandForFrequency(mhz);
    if (band && !equalsIgnoreCase(*band, prefs.band)) {
        return band;
    }
    return std::nullopt;
}

std::string Contest::nextSerial() const {
    return labelIncrement(m_qsos, prefs.serialPerBand == 1, prefs.band);
}

void Contest::recomputeTotals() {
    double sum = 0;
    for (const auto& q : m_qsos) {
        sum += q.points;
    }
    m_totalPoints = static_cast<std::int32_t>(std::lround(sum));
}

} // namespace wexon::core
