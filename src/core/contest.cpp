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
    out.details = parseLog(*bytes);
    bytes.reset();
    m_logLoaded = true;
    m_rewriteNeedsConsent = out.details.misplacedCount > 0;
    m_qsos = std::move(out.details.records);
    out.details.records.clear();
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
    FileResult written = appendDurably(pathOf(kLogFileName), formatQsoLine(record));
    if (!written.ok()) {
        return {AppendStatus::WriteFailed, written.error};
    }
    m_qsos.push_back(record);
    const int number = qsoCount();
    m_ownPointSum += record.points;
    noteOwnContact(number);
    updateTotalPoints();
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
    FileResult written = replaceAtomically(pathOf(kLogFileName), formatLog(records));
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
    return replaceAtomically(pathOf(kLogFileName), formatLog(m_qsos));
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

namespace {

// A serial sent as a whole number, or nothing when it is none (or out of the
// range a serial can take).
std::optional<long long> wholeSerial(const std::string& text) {
    auto sent = parseNumber(text);
    if (!sent || *sent < 1 || *sent >= 1e15) {
        return std::nullopt;
    }
    return static_cast<long long>(std::floor(*sent));
}

} // namespace

std::string Contest::nextSerial() const {
    const bool perBand = prefs.serialPerBand == 1;
    const std::string band = toUpper(prefs.band);
    // This station's own sequence follows its newest contact in the sequence.
    std::string next = "001";
    if (!perBand) {
        if (!m_qsos.empty()) {
            next = serialAfter(m_qsos.back().serialSent);
        }
    } else if (auto it = m_newestOwnOnBand.find(band); it != m_newestOwnOnBand.end()) {
        next = serialAfter(m_qsos[it->second].serialSent);
    }
    // Other stations in the same sequence: continue above the highest they sent.
    long long highest = m_remoteSerialMax;
    if (perBand) {
        auto it = m_remoteSerialMaxOnBand.find(band);
        highest = it == m_remoteSerialMaxOnBand.end() ? 0 : it->second;
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
        const RemoteContact before = std::move(it->second);
        it->second = std::move(contact);
        m_remotePointSum += it->second.record.points - before.record.points;
        // A changed serial may lower a maximum: the others are looked at again.
        recomputeRemoteSerials();
        updateTotalPoints();
        notify([&](ContactObserver& o) { o.remoteContactPut(id, &before, it->second); });
    } else {
        it = m_remotes.emplace(id, std::move(contact)).first;
        m_remotePointSum += it->second.record.points;
        noteRemoteSerial(it->second.record);
        updateTotalPoints();
        notify([&](ContactObserver& o) { o.remoteContactPut(id, nullptr, it->second); });
    }
    notify([](ContactObserver& o) { o.remoteContactsChanged(); });
}

bool Contest::removeRemote(const std::string& id) {
    auto it = m_remotes.find(id);
    if (it == m_remotes.end()) {
        return false;
    }
    const RemoteContact removed = std::move(it->second);
    m_remotes.erase(it);
    m_remotePointSum -= removed.record.points;
    recomputeRemoteSerials();
    updateTotalPoints();
    notify([&](ContactObserver& o) { o.remoteContactRemoved(id, removed); });
    notify([](ContactObserver& o) { o.remoteContactsChanged(); });
    return true;
}

void Contest::clearRemotes() {
    m_remotes.clear();
    m_remotePointSum = 0;
    recomputeRemoteSerials();
    updateTotalPoints();
    notify([](ContactObserver& o) { o.remoteContactsCleared(); });
    notify([](ContactObserver& o) { o.remoteContactsChanged(); });
}

const RemoteContact* Contest::findRemote(const std::string& id) const {
    auto it = m_remotes.find(id);
    return it == m_remotes.end() ? nullptr : &it->second;
}

void Contest::addObserver(ContactObserver* observer) {
    if (observer != nullptr &&
        std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void Contest::removeObserver(ContactObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void Contest::recomputeTotals() {
    m_ownPointSum = 0;
    m_newestOwnOnBand.clear();
    for (const QsoRecord& r : m_qsos) {
        m_ownPointSum += r.points;
    }
    // The newest record of each band, looked for from the end: a run of
    // records on one band costs one comparison each.
    const std::string* previousBand = nullptr;
    for (std::size_t i = m_qsos.size(); i-- > 0;) {
        const std::string& band = m_qsos[i].band;
        if (previousBand == nullptr || band != *previousBand) {
            m_newestOwnOnBand.try_emplace(toUpper(band), i);
            previousBand = &band;
        }
    }
    updateTotalPoints();
}

void Contest::noteOwnContact(int number) {
    const std::size_t index = static_cast<std::size_t>(number - 1);
    m_newestOwnOnBand[toUpper(m_qsos[index].band)] = index;
}

void Contest::noteRemoteSerial(const QsoRecord& record) {
    auto sent = wholeSerial(record.serialSent);
    if (!sent) {
        return;
    }
    m_remoteSerialMax = std::max(m_remoteSerialMax, *sent);
    long long& onBand = m_remoteSerialMaxOnBand[toUpper(record.band)];
    onBand = std::max(onBand, *sent);
}

void Contest::recomputeRemoteSerials() {
    m_remoteSerialMax = 0;
    m_remoteSerialMaxOnBand.clear();
    for (const auto& [id, c] : m_remotes) {
        noteRemoteSerial(c.record);
    }
}

void Contest::updateTotalPoints() {
    m_ownPoints = static_cast<std::int32_t>(std::lround(m_ownPointSum));
    m_totalPoints = static_cast<std::int32_t>(std::lround(m_ownPointSum + m_remotePointSum));
}

} // namespace wexon::core
