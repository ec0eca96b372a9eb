#include "ui/station/station_broadcasts.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSysInfo>

#include "core/number_format.h"
#include "core/score.h"
#include "core/text_util.h"
#include "ui/common/text_conversion.h"
#include "ui/station/broadcast_window.h"
#include "ui/station/score_posting_window.h"

namespace wexon::ui {

namespace {

// Messages waiting for the event loop; more than this many means the loop is
// stalled, and the oldest go (counted as not sent).
constexpr std::size_t kOutboxLimit = 500;

QString postingClockText(const core::DateTime& t) {
    return fromLatin1(core::formatTime(t)) + QStringLiteral(" UTC");
}

} // namespace

StationBroadcasts::StationBroadcasts(MainWindow& window, const MainWindowServices& services)
    : m_window(window), m_services(services) {
    m_window.contest().addObserver(this);
    m_ids.reset(m_window.contest().prefs.ownCall, m_window.contest().qsos());
    m_rigTimer.setInterval(kRigPollMs);
    m_scoreTimer.setInterval(kScorePollMs);
    connect(&m_rigTimer, &QTimer::timeout, this, [this] { pollRig(); });
    connect(&m_scoreTimer, &QTimer::timeout, this, [this] { pollScore(); });
    addMenuItems();
    applySettings();
}

StationBroadcasts::~StationBroadcasts() {
    shutdown();
    m_window.contest().removeObserver(this);
}

void StationBroadcasts::shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_rigTimer.stop();
    m_scoreTimer.stop();
    m_poster.cancel();
    m_outbox.clear();
}

void StationBroadcasts::addMenuItems() {
    // The items go under the Setup menu when the window has one, otherwise
    // under Options beside the other station settings.
    QMenu* menu = m_window.findChild<QMenu*>("mnuSetup");
    if (menu == nullptr) {
        menu = m_window.findChild<QMenu*>("mnuOptions");
    }
    if (menu == nullptr) {
        return;
    }
    menu->addSeparator();
    QAction* broadcasts = menu->addAction(QStringLiteral("&Broadcasts"));
    broadcasts->setObjectName("mnuBroadcasts");
    m_broadcastItem = broadcasts;
    connect(broadcasts, &QAction::triggered, this, [this] {
        BroadcastWindow& w = broadcastWindow();
        w.loadSettings();
        w.show();
        w.raise();
        w.activateWindow();
    });
    QAction* posting = menu->addAction(QStringLiteral("Live &Score Posting"));
    posting->setObjectName("mnuScorePosting");
    m_postingItem = posting;
    connect(posting, &QAction::triggered, this, [this] {
        ScorePostingWindow& w = scorePostingWindow();
        w.loadSettings();
        w.show();
        w.raise();
        w.activateWindow();
    });
}

BroadcastWindow& StationBroadcasts::broadcastWindow() {
    if (!m_broadcastWindow) {
        m_broadcastWindow = std::make_unique<BroadcastWindow>(*this, *m_services.settings);
    }
    return *m_broadcastWindow;
}

ScorePostingWindow& StationBroadcasts::scorePostingWindow() {
    if (!m_postingWindow) {
        m_postingWindow = std::make_unique<ScorePostingWindow>(*this, *m_services.settings);
    }
    return *m_postingWindow;
}

void StationBroadcasts::applySettings() {
    const output::ScorePostingSettings oldPosting = m_postingSettings;
    m_broadcastSettings = output::BroadcastSettings::load(*m_services.settings);
    m_postingSettings = output::ScorePostingSettings::load(*m_services.settings);
    m_udp.setDestinations(
        output::parseBroadcastDestinations(m_broadcastSettings.destinations).destinations);
    m_radioCadence = output::RadioInfoCadence();
    m_lastScore = -1; // the score goes out again with the new settings

    const bool postingChanged = !m_postingSettings.enabled || !oldPosting.enabled ||
                                oldPosting.url != m_postingSettings.url ||
                                oldPosting.user != m_postingSettings.user ||
                                oldPosting.password != m_postingSettings.password;
    if (postingChanged) {
        m_poster.cancel();
        m_schedule.reset();
        setPostingStatus(m_postingSettings.enabled ? QStringLiteral("Waiting for the first post")
                                                   : QStringLiteral("Off"));
    }
    if (m_shutDown) {
        return;
    }
    if (m_broadcastSettings.enabled) {
        m_rigTimer.start();
    } else {
        m_rigTimer.stop();
        m_outbox.clear();
    }
    if (m_broadcastSettings.enabled || m_postingSettings.enabled) {
        m_scoreTimer.start();
        QTimer::singleShot(0, this, [this] { pollScore(); });
    } else {
        m_scoreTimer.stop();
    }
}

output::BroadcastStation StationBroadcasts::station() const {
    const core::Preferences& prefs = m_window.contest().prefs;
    output::BroadcastStation s;
    s.contestMode = prefs.contestMode;
    s.myCall = prefs.ownCall;
    s.operatorCall = m_broadcastSettings.operatorCall;
    s.stationName = m_broadcastSettings.stationName.empty() ? toLatin1(QSysInfo::machineHostName())
                                                            : m_broadcastSettings.stationName;
    s.rigName = prefs.rigName;
    return s;
}

bool StationBroadcasts::contactsOn() const {
    return !m_shutDown && m_broadcastSettings.enabled && m_broadcastSettings.contacts;
}

std::int64_t StationBroadcasts::steadyMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               m_services.clock->steadyNow().time_since_epoch())
        .count();
}

void StationBroadcasts::queue(std::function<std::string()> build) {
    if (m_shutDown || !m_broadcastSettings.enabled) {
        return;
    }
    if (m_outbox.size() >= kOutboxLimit) {
        m_outbox.erase(m_outbox.begin());
    }
    m_outbox.push_back(std::move(build));
    if (!m_flushQueued) {
        m_flushQueued = true;
        QTimer::singleShot(0, this, [this] { flush(); });
    }
}

void StationBroadcasts::flush() {
    m_flushQueued = false;
    std::vector<std::function<std::string()>> outbox;
    outbox.swap(m_outbox);
    if (m_shutDown || !m_broadcastSettings.enabled) {
        return;
    }
    for (const auto& build : outbox) {
        m_udp.send(build());
    }
    if (m_broadcastWindow && m_broadcastWindow->isVisible()) {
        m_broadcastWindow->showStatus(broadcastStatus());
    }
}

QString StationBroadcasts::broadcastStatus() const {
    if (!m_broadcastSettings.enabled) {
        return QStringLiteral("Off");
    }
    QString text =
        QStringLiteral("Sent %1, failed %2").arg(m_udp.sentCount()).arg(m_udp.failedCount());
    if (m_udp.failedCount() > 0 && !m_udp.lastError().isEmpty()) {
        text += QStringLiteral(" (last: %1)").arg(m_udp.lastError().left(80));
    }
    return text;
}

// ---------------------------------------------------------------- contacts

// Inside logging only the contact and its id are kept; the message is made and
// sent after the keystroke that logged the contact has been handled.

void StationBroadcasts::contactAppended(int number, const core::QsoRecord& record) {
    std::string id = m_ids.appended(m_window.contest().prefs.ownCall, number, record);
    if (contactsOn()) {
        queue([this, number, record, id = std::move(id)] {
            return output::contactInfoXml(
                station(),
                {&record, id, output::isFirstOfPrefix(m_window.contest().qsos(), number)});
        });
    }
    QTimer::singleShot(0, this, [this] { pollScore(); });
}

void StationBroadcasts::contactReplaced(int number, const core::QsoRecord& /*before*/,
                                        const core::QsoRecord& after) {
    std::string id = m_ids.replaced(number, after);
    if (contactsOn()) {
        queue([this, number, after, id = std::move(id)] {
            return output::contactReplaceXml(
                station(),
                {&after, id, output::isFirstOfPrefix(m_window.contest().qsos(), number)});
        });
    }
    QTimer::singleShot(0, this, [this] { pollScore(); });
}

void StationBroadcasts::contactRemoved(int number, const core::QsoRecord& removed) {
    std::string id = m_ids.removed(number);
    if (contactsOn()) {
        queue([this, removed, id = std::move(id)] {
            return output::contactDeleteXml(station(), {&removed, id, false});
        });
    }
    QTimer::singleShot(0, this, [this] { pollScore(); });
}

void StationBroadcasts::logReplaced() {
    m_ids.reset(m_window.contest().prefs.ownCall, m_window.contest().qsos());
    QTimer::singleShot(0, this, [this] { pollScore(); });
}

void StationBroadcasts::remoteContactsChanged() {
    QTimer::singleShot(0, this, [this] { pollScore(); });
}

// ---------------------------------------------------------------- rig

void StationBroadcasts::pollRig() {
    if (m_shutDown || !m_broadcastSettings.enabled || !m_broadcastSettings.radio) {
        return;
    }
    const core::Contest& contest = m_window.contest();
    // The main window keeps the last rig frequency for the next contact and
    // clears it once a contact is logged; the rig is still where it was.
    if (!contest.lastFrequency.empty()) {
        m_lastFrequency = contest.lastFrequency;
    }
    const bool rigSelected = !core::equalsIgnoreCase(core::trim(contest.prefs.rigName), "None") &&
                             !core::trim(contest.prefs.rigName).empty();
    if (!rigSelected && m_lastFrequency.empty()) {
        return; // no rig to describe
    }
    output::RadioState radio;
    radio.frequencyTensOfHz = output::frequencyTensOfHz(m_lastFrequency, contest.prefs.band);
    radio.mode = output::broadcastMode(contest.prefs.contestMode);
    radio.connected = rigSelected;
    if (m_radioCadence.take(steadyMs(), radio)) {
        queue([this, radio] { return output::radioInfoXml(station(), radio); });
    }
}

// ---------------------------------------------------------------- score

std::vector<core::QsoRecord> StationBroadcasts::otherStationsContacts() const {
    std::vector<core::QsoRecord> records;
    for (const auto& [id, remote] : m_window.contest().remotes()) {
        records.push_back(remote.record);
    }
    return records;
}

std::string StationBroadcasts::scoreReport() const {
    const core::Contest& contest = m_window.contest();
    const std::vector<core::QsoRecord> others = otherStationsContacts();
    output::ScoreReportInput in;
    in.contestMode = contest.prefs.contestMode;
    in.myCall = contest.prefs.ownCall;
    in.operators = m_postingSettings.operators;
    // The club the summary sheet keeps, unless one is given for posting.
    in.club = m_postingSettings.club.empty() ? m_services.settings->read("UserClubName", "")
                                             : m_postingSettings.club;
    in.version = toLatin1(QCoreApplication::applicationVersion());
    in.cls = m_postingSettings.cls;
    in.records = &contest.qsos();
    in.otherRecords = &others;
    in.totalPoints = contest.totalPoints();
    in.multipliers = m_window.prefixes().count();
    in.utc = m_services.clock->utcNow();
    return output::scoreReportXml(in);
}

void StationBroadcasts::pollScore() {
    const core::Contest& contest = m_window.contest();
    // Until the log is read the score is not known: nothing is said about it.
    if (m_shutDown || !contest.logLoaded()) {
        return;
    }
    const std::int64_t score = core::totalScore(contest.totalPoints(), m_window.prefixes().count());
    const std::int64_t qsos = contest.qsoCount() + contest.remoteCount();
    if (score != m_lastScore || qsos != m_lastQsoCount) {
        m_lastScore = score;
        m_lastQsoCount = qsos;
        m_schedule.scoreChanged();
        if (m_broadcastSettings.enabled && m_broadcastSettings.score) {
            queue([this] { return scoreReport(); });
        }
    }
    if (m_postingSettings.enabled && !m_poster.busy() && m_schedule.due(steadyMs())) {
        startPost();
    }
}

void StationBroadcasts::startPost() {
    m_schedule.started(steadyMs());
    const QUrl url(fromLatin1(m_postingSettings.url));
    const bool sent = m_poster.post(
        url, fromLatin1(m_postingSettings.user), fromLatin1(m_postingSettings.password),
        QByteArray::fromStdString(scoreReport()),
        [this](const platform::ScorePoster::Result& r) { postFinished(r); });
    if (!sent) {
        postFinished(
            {false, 0, QStringLiteral("the scoreboard address is not an http or https address")});
    } else {
        setPostingStatus(
            QStringLiteral("Posting at %1").arg(postingClockText(m_services.clock->utcNow())));
    }
}

void StationBroadcasts::postFinished(const platform::ScorePoster::Result& result) {
    m_schedule.finished(result.ok);
    const core::DateTime now = m_services.clock->utcNow();
    const std::int64_t waitSeconds =
        std::max<std::int64_t>(0, (m_schedule.nextDueMs() - steadyMs()) / 1000);
    const QString next = fromLatin1(core::formatHourMinute(now.addSeconds(waitSeconds)));
    if (result.ok) {
        setPostingStatus(QStringLiteral("Posted at %1 (%2), score %3; next by %4 UTC")
                             .arg(postingClockText(now), result.text)
                             .arg(m_lastScore < 0 ? 0 : m_lastScore)
                             .arg(next));
    } else {
        setPostingStatus(QStringLiteral("Not posted at %1: %2; next try %3 UTC")
                             .arg(postingClockText(now), result.text, next));
    }
}

void StationBroadcasts::setPostingStatus(const QString& text) {
    // One line, whatever the scoreboard answered.
    m_postingStatus = text.simplified();
    if (m_postingWindow) {
        m_postingWindow->showStatus(m_postingStatus);
    }
}

} // namespace wexon::ui
