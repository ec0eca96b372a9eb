#pragma once

#include <array>
#include <string>

#include <QPointer>
#include <QWidget>

#include "core/settings_store.h"
#include "link/link_protocol.h"
#include "link/link_session.h"
#include "platform/local_link.h"
#include "ui/link/fldigi_link_panel.h"
#include "ui/main/main_window_hooks.h"
#include "ui/common/prompts.h"

class QEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace wexon::ui {

class MainWindow;

// Settings-store key naming the local socket of the RTTY program. Empty or
// missing: the link topic made safe for a file name ("Vemo_RTTY_frmDigitalDest")
// in the user's runtime folder; another name without "/" lies there too. A
// name holding "/" is the socket's path.
inline constexpr const char* kVemoLinkServerKey = "VemoLinkServer";

// The hidden link window `frmDigitalSource`: twenty boxes mirroring the items
// exchanged with the RTTY program ("txtB..." sent, "txtS..." received) and the
// "Reconnect" button. It plugs itself into the main window as its digital
// link, starts the link when the station setup is accepted, copies every key
// that goes down in the main window to the other program, and puts received
// calls, reports and sections into the entry row.
//
// Make it after the main window and drop it before; it has no parent.
class DigitalLinkWindow : public QWidget, public DigitalLinkHook {
    Q_OBJECT
  public:
    // How long a connection attempt may keep the program waiting.
    static constexpr int kConnectTimeoutMs = 2000;

    DigitalLinkWindow(MainWindow& window, core::SettingsStore& settings, Prompts& prompts,
                      QWidget* parent = nullptr);
    ~DigitalLinkWindow() override;

    // `ConnectWithVemo`: empties the boxes and connects; says whether that worked.
    void connectWithVemo();
    // `SendToVemo`: the own call and the next QSO number.
    void sendToVemo();
    // "Reconnect" (`Command1`): connects again in the RTTY contest.
    void command1Click();
    // Connects the program chosen on the window: the local socket, or fldigi
    // (whose answer comes later; the window is shown for its receive text).
    void connectChosenProgram();
    // The station setup was accepted: in the RTTY contest with "Connect to Vemo
    // RTTY?" checked, connect and send the own call and QSO number.
    void startLink();

    // The path of the local socket the link connects to (empty: there is no
    // runtime folder to hold it).
    QString serverName() const;
    // What the link window says of the link's state (plain text).
    QString statusText() const;
    const link::LinkSession& session() const { return m_session; }
    bool keyboardMode() const { return m_keyboardMode; }
    // The fldigi link, chosen on this window instead of the local socket.
    FldigiLinkPanel& fldigiLink() { return *m_fldigi; }
    bool fldigiChosen() const { return m_fldigi->fldigiChosen(); }
    // fldigi owns the rig: Wexon's own rig polling must stay off.
    bool rigSharedThroughFldigi() const { return m_fldigi->rigShared(); }

    // --- DigitalLinkHook ---
    bool connected() const override;
    void sendItem(const std::string& item, const std::string& value) override;
    void passKey(int keyCode) override;
    void setKeyboardMode(bool on) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    std::string contestMode() const;
    void send(const std::string& bytes);
    void received(const QByteArray& chunk);
    void partnerLost(platform::LocalLink::Loss loss);
    void showStatus(const QString& text);
    void showOnMessageLine(const QString& text);
    void showBoxes();
    void keyDown(QObject* receiver, QKeyEvent* event);

    MainWindow& m_window;
    core::SettingsStore& m_settings;
    Prompts& m_prompts;
    link::LinkSession m_session;
    platform::LocalLink m_link;
    bool m_keyboardMode = false;

    // The key event last copied to the other program, so that the same event
    // passed on to a parent widget, or handed over again through passKey(), is
    // not sent twice. Cleared when a key is released.
    const QEvent* m_lastKeyEvent = nullptr;
    QPointer<QObject> m_lastKeyReceiver;
    int m_lastKeyCode = 0;
    bool m_keyPending = false;

    std::array<QLineEdit*, link::kItemCount> m_boxes{};
    QLabel* m_outCaption = nullptr; // Label1
    QLabel* m_inCaption = nullptr;  // Label2
    QPushButton* m_reconnectButton = nullptr; // Command1
    QLabel* m_statusLabel = nullptr;          // the link's state, in words
    FldigiLinkPanel* m_fldigi = nullptr;      // the program choice and the fldigi link
};

} // namespace wexon::ui
