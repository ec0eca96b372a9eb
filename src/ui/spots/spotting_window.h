#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include <QString>
#include <QWidget>

#include "rig/cat_port.h"
#include "spots/pack_spot_settings.h"
#include "spots/spot_marks.h"
#include "spots/spot_links.h"
#include "spots/spot_receiver.h"
#include "spots/terminal_text.h"
#include "ui/common/prompts.h"
#include "ui/spots/band_map_host.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace wexon::platform {
class TelnetClient;
}

namespace wexon::ui {

// What the spotting window works with.
struct SpottingServices {
    SpotHost* host = nullptr;
    Prompts* prompts = nullptr;
    rig::CatPort* tncPort = nullptr; // the TNC's serial port
    spots::AgwLink* agw = nullptr;   // the AGW Packet Engine link
    QString workingFolder;           // where "PackSpot.txt" lives
    // A spot found in the received text (PostSpot): call, frequency text (kHz)
    // and the spot text.
    std::function<void(const std::string&, const std::string&, const std::string&)> postSpot;
    // Called with true before the spots of one received piece are posted and with
    // false after them, so that the displays redraw once per piece.
    std::function<void(bool)> spotBatch;
    // Two minutes passed without a spot: the band map should redraw its ages.
    std::function<void()> refreshLabels;
    // "&Done" ran: the main window lays out its spot display (PacketResize).
    std::function<void()> packetResize;
    // The band-map filters or the jump option changed (also when settings load).
    std::function<void(const spots::SpotFilter&, bool jumpSkipsDupes)> spotChoices;
};

// The DX spotting window (`PacketSpotfrm`): chooses the spot source, opens and
// closes it, and works as a terminal for it. Modeless; hidden, not destroyed, by
// "&Done".
class SpottingWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTimerMs = 333;
    static constexpr int kRefreshTicks = 360;
    // The most the window is stretched to a large screen.
    static constexpr double kMaxStretch = 1.5;

    explicit SpottingWindow(SpottingServices services, QWidget* parent = nullptr);
    ~SpottingWindow() override;

    // Window load: reads "PackSpot.txt" and reopens a saved source.
    void formLoad();
    // Window unload: disconnects and closes the AGW link.
    void formUnload();

    // --- the window's operations ---
    void list1Click(int row);
    void openPort();
    void closePort();
    void sendLine();
    void spotLast();
    void done();
    void timerTick();
    // Esc or Ctrl+C: TNC command mode. True when the key was used up.
    bool tncCommandKey();

    // --- what the main window reads ---
    const std::string& spotSource() const { return m_spotSource; }
    bool optList() const;
    bool listDxOnly() const;
    spots::SpotFilter spotFilter() const;
    bool jumpSkipsDupes() const;
    bool listening() const { return m_listening; }
    bool timerRunning() const;
    const std::string& terminal() const { return m_terminal.text(); }
    const std::string& agwConnectedCall() const { return m_receiver.agwConnectedCall(); }
    float labelUpdateTimeCounter = 0.0f;

    // The settings as the controls hold them.
    spots::PackSpotSettings currentSettings() const;
    void saveSpotSettings();

    // Received text from each source (the timer and socket call these).
    void receiveTelnetChunk(const std::string& chunk);
    void telnetError(int number);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void loadSpotSettings();
    void applySettings(const spots::PackSpotSettings& s);
    void enableControls();
    void spotChoicesChanged();
    void serialOptionClicked();
    void showSpottingHelp();
    void trimTerminal();
    void appendTerminal(const std::string& text);
    void setTerminal(const std::string& text);
    void refreshTerminal();
    void setListening(bool on);
    void openTncPort();
    void openTelnet();
    void openAgwLink();
    void agwFailed(); // the AGW link could not be brought up
    void sendAgwLine(const std::string& line);
    void pollTnc();
    void pollAgw();
    void handle(const spots::Received& r);
    void sendBoxTextChanged();
    bool isSource(const char* name) const;
    void beep();

    SpottingServices m_services;
    spots::TerminalText m_terminal;
    spots::SpotReceiver m_receiver{m_terminal};
    std::string m_spotSource = "None";
    bool m_loading = false;
    bool m_listening = false;
    std::size_t m_shownReplacements = static_cast<std::size_t>(-1);
    std::size_t m_shownLength = 0;

    std::unique_ptr<platform::TelnetClient> m_telnet;
    QTimer* Timer1 = nullptr;

    QListWidget* List1 = nullptr;
    QLineEdit* txtTelnetHost = nullptr;
    QLineEdit* txtTelnetPort = nullptr;
    QLineEdit* txtHex = nullptr;
    std::array<QRadioButton*, 10> optComm{};
    std::array<QRadioButton*, 6> m_baudOptions{};
    std::array<QRadioButton*, 3> m_parityOptions{};
    std::array<QRadioButton*, 2> m_dataOptions{};
    std::array<QRadioButton*, 2> m_stopOptions{};
    std::array<QRadioButton*, 3> m_powerOptions{};
    std::array<QRadioButton*, 4> m_handshakeOptions{}; // Option1 to Option4
    QRadioButton* OptBand = nullptr;
    QRadioButton* OptList = nullptr;
    QCheckBox* chkDX = nullptr;
    QCheckBox* chkConvToHex = nullptr;
    QCheckBox* chkHideDupes = nullptr;
    QCheckBox* chkNewPrefixesOnly = nullptr;
    QCheckBox* chkJumpSkipsDupes = nullptr;
    QPlainTextEdit* txtUnProcessed = nullptr;
    QLineEdit* txtSent = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* cmdDone = nullptr;
};

} // namespace wexon::ui
