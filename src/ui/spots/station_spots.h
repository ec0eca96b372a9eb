#pragma once

#include <memory>
#include <string>

#include <QObject>
#include <QPointer>
#include <QString>

#include "ui/spots/band_map_host.h"
#include "ui/main/main_window.h"

class QLabel;
class QLineEdit;

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
class StationSpots : public QObject, public SpotHost {
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

  private:
    void placeStrip();
    void connectMenus();

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
};

} // namespace wexon::ui
