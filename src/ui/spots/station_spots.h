#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include <QObject>
#include <QPointer>
#include <QString>

#include "core/contest.h"
#include "spots/spot_marks.h"
#include "ui/spots/band_map_host.h"
#include "ui/main/main_window.h"

class QLabel;
class QLineEdit;
class QShortcut;
class QTimer;

namespace wexon::core {
class SuperCheckPartial;
}

namespace wexon::platform {
class AgwClient;
class SerialPort;
} // namespace wexon::platform

namespace wexon::ui {

class BandMapController;
class RigTuner;
class StationTools;

// The DX-spot displays plugged into the main window: the spot strip (list or
// band map) at the bottom of the window, the spotting window on Ctrl+D and
// "&Configure", the spectrum map on Ctrl+B and "&View Spectrum Map", and the
// spot store behind them. It is the main window as the displays see it
// (SpotHost), and it owns the TNC's serial port and the AGW Packet Engine link
// the spotting window talks through. Created once, after the station tools.
//
// It marks every spot as a dupe, a new prefix or an ordinary contact, and marks
// them again when the log, the merged log or the band changes; Ctrl+Up and
// Ctrl+Down jump between the spots on the band.
class StationSpots : public QObject, public SpotHost, public core::ContactObserver {
  public:
    // Settings-store keys of the AGW Packet Engine's address (defaults
    // 127.0.0.1 and 8000).
    static constexpr const char* kAgwHostKey = "AGW/Host";
    static constexpr const char* kAgwPortKey = "AGW/Port";

    // `tuner` tunes the rig for a clicked spot; null takes the station tools'
    // rig window.
    StationSpots(MainWindow& window, const MainWindowServices& services, StationTools& tools,
                 RigTuner* tuner = nullptr);
    ~StationSpots() override;
    StationSpots(const StationSpots&) = delete;
    StationSpots& operator=(const StationSpots&) = delete;

    BandMapController& controller();
    // Program end: the spotting window's unload (disconnects the AGW link,
    // closes the TNC port and the Telnet connection). Safe to call twice.
    void shutdown();

    // The known calls a lone skimmer's spot is checked against (the
    // check-partial list's); without them such spots are all unconfirmed.
    void setKnownCalls(const core::SuperCheckPartial* calls) { m_knownCalls = calls; }
    // The voice prompts a jumped-to call is spelt with (voice navigation).
    void setVoicePrompter(VoicePrompterHook* prompter) { m_prompter = prompter; }
    // The calls spotted on the current band, for the check-partial list.
    const spots::SpottedCalls& spottedCalls() const;

    // --- SpotHost ---
    std::string band() const override;
    std::string ownCall() const override;
    float utcOffsetHours() const override;
    std::string lastLoggedCall() const override;
    QString windowCaption() const override;
    const core::CountryTable& countryTable() const override;
    bool rigSelected() const override;
    void changeFrequency(float mhz) override;
    void focusCall() override;
    void enterCall(const std::string& call, bool tab) override;
    void showSpottedWarning(const QString& dialogText, const QString& dupeText) override;
    void showPossibleDupes(const QString& text) override;
    void savePref() override;
    core::ContactStatusResult contactStatus(const std::string& call) const override;
    bool knownCall(const std::string& call) const override;
    std::optional<double> rigFrequency() const override;
    void sayCall(const std::string& call) override;

    // --- ContactObserver: every change of the log marks the spots again ---
    void contactAppended(int number, const core::QsoRecord& record) override;
    void contactReplaced(int number, const core::QsoRecord& before,
                         const core::QsoRecord& after) override;
    void contactRemoved(int number, const core::QsoRecord& removed) override;
    void logReplaced() override;
    void remoteContactsChanged() override;

  private:
    void placeStrip();
    void connectMenus();
    void installJumpKeys();
    // Marks the spots again once the main window has taken in the change
    // (its dupe index and prefix list follow the contest after the notice).
    void queueRemark();
    void playNextLetter();

    MainWindow& m_window;
    MainWindowServices m_services;
    StationTools& m_tools;
    RigTuner* m_tuner;
    std::unique_ptr<platform::SerialPort> m_tncPort;
    std::unique_ptr<platform::AgwClient> m_agw;
    // The controller is a child of the main window; it goes with the window if
    // the window goes first.
    QPointer<BandMapController> m_controller;
    QPointer<QLineEdit> m_callBox;
    QPointer<QLabel> m_dialogLabel;
    QPointer<QLabel> m_dupeLabel;
    bool m_shutDown = false;
    const core::SuperCheckPartial* m_knownCalls = nullptr;
    VoicePrompterHook* m_prompter = nullptr;
    std::deque<std::string> m_lettersToSay;
    QTimer* m_letterTimer = nullptr;
    QTimer* m_remarkTimer = nullptr;
    QShortcut* m_jumpUp = nullptr;
    QShortcut* m_jumpDown = nullptr;
};

} // namespace wexon::ui
