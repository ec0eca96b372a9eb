#pragma once

#include <optional>
#include <string>

#include <QString>
#include <QTimer>
#include <QWidget>

#include "core/settings_store.h"
#include "link/fldigi_rules.h"
#include "platform/xmlrpc_client.h"
#include "ui/common/prompts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace wexon::ui {

class MainWindow;

// The link with fldigi over its XML-RPC interface, as a panel of the link
// window: the choice of RTTY program, fldigi's address, whether the rig is
// shared through fldigi, fldigi's receive text (a click on a word puts it in
// the call box, digits alone in the exchange box) and the link's state.
//
// While linked it polls fldigi twice a second (transmit state, receive text,
// and the rig when shared), sends the function-key messages to fldigi's
// transmit buffer one at a time, and copies the entry boxes to fldigi's log
// fields. Every request goes through one asynchronous client, so a slow or
// missing fldigi never holds the window.
class FldigiLinkPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPollMs = 500;
    // Failed polls in a row after which the link counts as lost.
    static constexpr int kMaxFailedPolls = 3;
    // Characters of receive text the panel keeps.
    static constexpr int kMaxShownBlocks = 1000;

    FldigiLinkPanel(MainWindow& window, core::SettingsStore& settings, Prompts& prompts,
                    QWidget* parent = nullptr);
    ~FldigiLinkPanel() override;

    const link::FldigiSettings& settings() const { return m_settings; }
    bool fldigiChosen() const { return m_settings.program == link::DigitalProgram::Fldigi; }
    bool rigShared() const { return fldigiChosen() && m_settings.rigSharedThroughFldigi; }

    // Connects: asks fldigi's version, then polls. The answer comes later.
    void start();
    void stop();
    bool linked() const { return m_linked; }
    QString statusText() const;
    QString receivedText() const;
    link::TrxState trxState() const { return m_trxState; }
    platform::XmlRpcClient& client() { return m_client; }

    // What the main window hands the link.
    void sendItem(const std::string& item, const std::string& latin1Value);
    void passKey(int keyCode);
    void setKeyboardMode(bool on);
    // Text typed in the main window while keyboard RTTY is on.
    void keyboardText(const QString& text);

    // A click in the receive text at that position of the viewport.
    void clickReceiveText(const QPoint& viewportPos);

  signals:
    void programChanged();
    void linkLost(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void settingsEdited();
    void call(const link::FldigiCall& c);
    void calls(const std::vector<link::FldigiCall>& list);
    void poll();
    void pollFailed(const link::XmlRpcResponse& r);
    void pollAnswered();
    void readReceiveText(long long paneLength);
    void showStatus(const QString& text);
    void copyReceivedBoxes();

    MainWindow& m_window;
    core::SettingsStore& m_store;
    Prompts& m_prompts;
    link::FldigiSettings m_settings;
    platform::XmlRpcClient m_client;
    QTimer m_pollTimer;
    link::FldigiTransmitQueue m_transmit;
    link::FldigiReceiveText m_receive;
    link::TrxState m_trxState = link::TrxState::Unknown;
    bool m_linked = false;
    bool m_connecting = false;
    bool m_pollRunning = false;
    bool m_keyboardMode = false;
    int m_failedPolls = 0;
    unsigned m_generation = 0; // counts starts and stops, so late answers are dropped
    float m_lastMhz = 0.0F;
    // The received report and exchange last copied to fldigi's log (none yet).
    std::optional<std::string> m_sentReportReceived;
    std::optional<std::string> m_sentExchange;

    QComboBox* m_programBox = nullptr;       // cboLinkProgram
    QWidget* m_fldigiGroup = nullptr;        // the controls of the fldigi link
    QLineEdit* m_hostBox = nullptr;          // txtFldigiHost
    QSpinBox* m_portBox = nullptr;           // txtFldigiPort
    QCheckBox* m_rigSharedBox = nullptr;     // chkFldigiRig
    QComboBox* m_messageKeyBox = nullptr;    // cboFldigiKey: whose message is edited
    QLineEdit* m_messageBox = nullptr;       // txtFldigiMessage
    QLabel* m_statusLabel = nullptr;         // lblFldigiStatus
    QLabel* m_rigLabel = nullptr;            // lblFldigiRig
    QPlainTextEdit* m_receiveView = nullptr; // txtFldigiRx
};

} // namespace wexon::ui
