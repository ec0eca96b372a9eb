#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QPointer>
#include <QString>

#include "net/network_settings.h"
#include "ui/main/main_window.h"

class QAction;
class QLabel;

namespace wexon::net {
class StationSync;
}
namespace wexon::platform {
class MqttStationLink;
}

namespace wexon::ui {

class NetworkWindow;

// The station network plugged into the main window: the "Network" item beside
// Setup, the network state on the status bar (only while networking is on, so
// a single station sees the window as it always was), the synchroniser that
// keeps the whole station's log in step and its broker link, the band-change
// warnings of the multi-operator categories on the message line, and the
// station's Cabrillo file. Created once, after the main window; started after
// the log has been read.
class StationNetwork : public QObject {
    Q_OBJECT
  public:
    // `stationNameHook` tells the main window this station's name for the log
    // list's station column (empty text when networking is off).
    StationNetwork(MainWindow& window, const MainWindowServices& services,
                   std::function<void(const std::string&)> stationNameHook = {});
    ~StationNetwork() override;

    // Reads the settings and, when networking is on, starts it.
    void start();
    // Says "down" to the other stations and closes the link.
    void shutdown();

    // Takes the settings: checks them, stores them, sets the serial scheme of
    // the category, and (re)starts or stops the network as needed. False with
    // a message box when they cannot be used.
    bool apply(const net::NetworkSettings& settings);
    // Writes the whole station's Cabrillo file to `path`; empty text on success.
    std::string writeStationCabrillo(const std::string& path) const;

    NetworkWindow& networkWindow();
    net::StationSync* sync() { return m_sync.get(); }
    platform::MqttStationLink* link() { return m_link.get(); }
    const net::NetworkSettings& settings() const { return m_settings; }
    // The state line as shown on the status bar.
    QString stateLine() const;

  private:
    void startNetwork();
    // `keepContacts`: leave the other stations' contacts in the contest (at
    // program end); otherwise they go with the network.
    void stopNetwork(bool keepContacts = false);
    void notice(const std::string& text);
    void refreshState();
    void warnBandChange();
    void showOnMessageLine(const QString& text);
    void askStationCabrillo();
    std::string contestId() const;

    MainWindow& m_window;
    MainWindowServices m_services;
    std::function<void(const std::string&)> m_stationNameHook;
    net::NetworkSettings m_settings;
    std::unique_ptr<net::StationSync> m_sync;
    std::unique_ptr<platform::MqttStationLink> m_link;
    QPointer<NetworkWindow> m_networkWindow;
    QPointer<QLabel> m_stateLabel;
    QPointer<QLabel> m_messageLine;
};

} // namespace wexon::ui
