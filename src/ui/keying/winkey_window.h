#pragma once

#include <functional>
#include <string>

#include <QDialog>

#include "core/settings_store.h"
#include "keying/winkey_settings.h"
#include "platform/winkey_keyer.h"
#include "ui/common/prompts.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace wexon::keying {
class CwKeyer;
}

namespace wexon::ui {

// The WinKey window `frmWinKey` (" WinKey Setup"): the keyer's settings, Open
// and Close, and the keyer itself (WKTransmit). Created when "WinKey" is chosen
// in the CW window or first shown; hidden, not destroyed, when closed.
class WinKeyWindow : public QDialog {
  public:
    // `wkFile` is the path of "WK.txt"; `ownCall` gives the own call for Test.
    WinKeyWindow(keying::CwKeyer& keyer, const core::SettingsStore* portMap, Prompts& prompts,
                 std::string wkFile, std::function<std::string()> ownCall,
                 QWidget* parent = nullptr);
    ~WinKeyWindow() override;

    platform::WinKeyer& keyer() { return m_winKeyer; }
    const keying::WinKeySettings& settings() const { return m_settings; }
    // Run before the keyer's port is opened (closes the voice keyer's and the
    // CW window's serial ports).
    void setBeforeOpen(std::function<void()> beforeOpen) { m_beforeOpen = std::move(beforeOpen); }

    void cmdOpenWinkeyClick();
    void cmdCloseWinkeyClick();
    void cmdDoneClick();
    void cmdStopClick();
    void command3Click(); // Test
    void command1Click(); // Buffer Test
    // ApplyWinKeySettings, in the keyer's order.
    void applyWinKeySettings();
    // The CW window's speed, copied into the WPM box.
    void setSpeedText(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void loadSettings();
    void leaveBox(QLineEdit* box);
    bool applySpeed();
    bool applyWeight();
    bool applyLeadTail();
    bool applyRatio();
    void optionChosen();
    void appendAndTransmit(const std::string& text);
    void focusDone();

    keying::CwKeyer& m_cwKeyer;
    Prompts& m_prompts;
    std::string m_wkFile;
    std::function<std::string()> m_ownCall;
    std::function<void()> m_beforeOpen;
    keying::WinKeySettings m_settings;
    platform::WinKeyer m_winKeyer;
    bool m_loading = false;

    QLineEdit* txtWKComPort = nullptr;
    QLineEdit* txtWKWPM = nullptr;
    QLineEdit* txtWeight = nullptr;
    QLineEdit* txtLeadIn = nullptr;
    QLineEdit* txtTail = nullptr;
    QLineEdit* txtRatio = nullptr;
    QLineEdit* m_typingBox = nullptr; // Text1
    QLabel* lblOpenStatus = nullptr;
    QLabel* lblVersion = nullptr;
    QRadioButton* m_pinOptions[4] = {};
    QRadioButton* m_modeOptions[4] = {};
    QPushButton* cmdOpenWinkey = nullptr;
    QPushButton* cmdCloseWinkey = nullptr;
    QPushButton* cmdDone = nullptr;
    QPushButton* cmdStop = nullptr;
};

} // namespace wexon::ui
