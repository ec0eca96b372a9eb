#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "core/contest.h"
#include "output/contact_broadcast.h"
#include "output/score_report.h"
#include "output/score_schedule.h"
#include "platform/score_poster.h"
#include "platform/udp_broadcaster.h"
#include "ui/main/main_window.h"

class QAction;

namespace wexon::ui {

class BroadcastWindow;
class ScorePostingWindow;

// The station's links to programs that watch the contest: UDP messages for
// dashboards and station automation (contacts logged, changed and deleted,
// the rig's frequency and mode, the score) and the claimed score posted to an
// online scoreboard. It watches the contest's contacts and the rig readings
// the main window keeps; nothing it does runs inside logging: messages are
// built when a contact changes and sent once the event that logged it is over,
// and a send or post that fails is counted, never shown per contact.
class StationBroadcasts : public QObject, public core::ContactObserver {
  public:
    // How often the rig reading and the score are looked at.
    static constexpr int kRigPollMs = 1000;
    static constexpr int kScorePollMs = 5000;

    StationBroadcasts(MainWindow& window, const MainWindowServices& services);
    ~StationBroadcasts() override;
    StationBroadcasts(const StationBroadcasts&) = delete;
    StationBroadcasts& operator=(const StationBroadcasts&) = delete;

    // Program end: stops the timers and drops a post in flight.
    void shutdown();

    // Reads both windows' settings again from the store and applies them.
    void applySettings();

    // --- ContactObserver ---
    void contactAppended(int number, const core::QsoRecord& record) override;
    void contactReplaced(int number, const core::QsoRecord& before,
                         const core::QsoRecord& after) override;
    void contactRemoved(int number, const core::QsoRecord& removed) override;
    void logReplaced() override;
    void remoteContactsChanged() override;

    // One look at the rig reading (the timer's work; tests call it).
    void pollRig();
    // One look at the score: a change goes out at once on UDP and marks the
    // online score as owed; a post starts when one is due.
    void pollScore();
    // Sends what is queued now (otherwise sent from the event loop).
    void flush();

    // The score report as it would be posted now.
    std::string scoreReport() const;

    const output::BroadcastSettings& broadcastSettings() const { return m_broadcastSettings; }
    const output::ScorePostingSettings& postingSettings() const { return m_postingSettings; }
    std::uint64_t sentCount() const { return m_udp.sentCount(); }
    std::uint64_t failedCount() const { return m_udp.failedCount(); }
    // The line the Broadcasts window shows: sent and failed counts.
    QString broadcastStatus() const;
    // The line the Score Posting window shows: the last post and the next one.
    const QString& postingStatus() const { return m_postingStatus; }
    platform::ScorePoster& poster() { return m_poster; }
    const output::ScoreSchedule& schedule() const { return m_schedule; }

    // The windows, made on first use.
    BroadcastWindow& broadcastWindow();
    ScorePostingWindow& scorePostingWindow();

  private:
    void addMenuItems();
    output::BroadcastStation station() const;
    bool contactsOn() const;
    // A message to send once the current event is handled; it is built then.
    void queue(std::function<std::string()> build);
    std::int64_t steadyMs() const;
    std::vector<core::QsoRecord> otherStationsContacts() const;
    void startPost();
    void postFinished(const platform::ScorePoster::Result& result);
    void setPostingStatus(const QString& text);

    MainWindow& m_window;
    MainWindowServices m_services;
    output::BroadcastSettings m_broadcastSettings;
    output::ScorePostingSettings m_postingSettings;
    platform::UdpBroadcaster m_udp;
    platform::ScorePoster m_poster;
    output::ContactIds m_ids;
    output::RadioInfoCadence m_radioCadence;
    output::ScoreSchedule m_schedule;
    std::vector<std::function<std::string()>> m_outbox; // messages waiting for the event loop
    bool m_flushQueued = false;
    std::string m_lastFrequency; // the last rig frequency seen, MHz text
    std::int64_t m_lastScore = -1;
    std::int64_t m_lastQsoCount = -1;
    QString m_postingStatus;
    QTimer m_rigTimer;
    QTimer m_scoreTimer;
    std::unique_ptr<BroadcastWindow> m_broadcastWindow;
    std::unique_ptr<ScorePostingWindow> m_postingWindow;
    QPointer<QAction> m_broadcastItem;
    QPointer<QAction> m_postingItem;
    bool m_shutDown = false;
};

} // namespace wexon::ui
