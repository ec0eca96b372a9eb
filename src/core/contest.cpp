#include "core/contest.h"

#include <algorithm>
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
    notify([](ContactObserver& o) { o.logReplaced(); });
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
    m_logLoaded = true;
    m_rewriteNeedsConsent = false;
    recomputeTotals();
    notify([](ContactObserver& o) { o.logReplaced(); });
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
    const int number = qsoCount();
    notify([&](ContactObserver& o) { o.contactAppended(number, m_qsos.back()); });
    return {AppendStatus::Appended, {}};
}

FileResult Contest::replaceQso(int number, const QsoRecord& record) {
    if (number < 1 || number > qsoCount()) {
        return {"there is no contact " + std::to_string(number)};
    }
    std::vector<QsoRecord> changed = m_qsos;
    const QsoRecord before = changed[static_cast<std::size_t>(number - 1)];
    changed[static_cast<std::size_t>(number - 1)] = record;
    FileResult written = commitStore(std::move(changed));
    if (written.ok()) {
        notify([&](ContactObserver& o) { o.contactReplaced(number, before, record); });
    }
    return written;
}

FileResult Contest::removeQso(int number) {
    if (number < 1 || number > qsoCount()) {
        return {"there is no contact " + std::to_string(number)};
    }
    std::vector<QsoRecord> changed = m_qsos;
    const QsoRecord removed = changed[static_cast<std::size_t>(number - 1)];
    changed.erase(changed.begin() + (number - 1));
    FileResult written = commitStore(std::move(changed));
    if (written.ok()) {
        notify([&](ContactObserver& o) { o.contactRemoved(number, removed); });
    }
    return written;
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
    const bool perBand = prefs.serialPerBand == 1;
    std::string next = labelIncrement(m_qsos, perBand, prefs.band);
    // Other stations in the same sequence: continue above the highest they sent.
    long long highest = 0;
    for (const auto& [id, c] : m_remotes) {
        if (perBand && !equalsIgnoreCase(c.record.band, prefs.band)) {
            continue;
        }
        if (auto sent = parseNumber(c.record.serialSent); sent && *sent >= 1 && *sent < 1e15) {
            highest = std::max(highest, static_cast<long long>(std::floor(*sent)));
        }
    }
    auto own = parseNumber(next);
    if (highest > 0 && (!own || highest + 1 > static_cast<long long>(*own))) {
        return zeroPad(highest + 1, 3);
    }
    return next;
}

void Contest::putRemote(const std::string& id, RemoteContact contact) {
    auto it = m_remotes.find(id);
    if (it != m_remotes.end()) {
        m_remotePointSum -= it->second.record.points;
        m_remotePointSum += contact.record.points;
        it->second = std::move(contact);
    } else {
        m_remotePointSum += contact.record.points;
        m_remotes.emplace(id, std::move(contact));
    }
    recomputeTotals();
    notify([](ContactObserver& o) { o.remoteContactsChanged(); });
}

bool Contest::removeRemote(const std::string& id) {
    auto it = m_remotes.find(id);
    if (it == m_remotes.end()) {
        return false;
    }
    m_remotePointSum -= it->second.record.points;
    m_remotes.erase(it);
    recomputeTotals();
    notify([](ContactObserver& o) { o.remoteContactsChanged(); });
    return true;
}

void Contest::clearRemotes() {
    m_remotes.clear();
    m_remotePointSum = 0;
    recomputeTotals();
    notify([](ContactObserver& o) { o.remoteContactsChanged(); });
}

const RemoteContact* Contest::findRemote(const std::string& id) const {
    auto it = m_remotes.find(id);
    return it == m_remotes.end() ? nullptr : &it->second;
}

void Contest::addObserver(ContactObserver* observer) {
    if (observer != nullptr && std::find(m_observers.begin(), m_observers.end(), observer) ==
                                   m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void Contest::removeObserver(ContactObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void Contest::recomputeTotals() {
    double sum = 0;
    for (const auto& q : m_qsos) {
        sum += q.points;
    }
    m_ownPoints = static_cast<std::int32_t>(std::lround(sum));
    m_totalPoints = static_cast<std::int32_t>(std::lround(sum + m_remotePointSum));
}

} // namespace wexon::core
