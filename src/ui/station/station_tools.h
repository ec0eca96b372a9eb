#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "keying/cw_host.h"
#include "ui/output/log_output_actions.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_hooks.h"
#include "ui/rig/rig_main_window_host.h"

class QTreeView;

namespace wexon::ui {

class CwWindow;
class RigControlWindow;

// The station's tool windows around the main window: the File-menu operations
// on the log with the edit and delete buttons, and the rig windows. It plugs
// them into the main window's menu items, buttons and window-wide keys, so the
// main window itself stays the entry workflow. Created once, after the main
// window and before its start-up runs.
class StationTools : public QObject, public ToolWindowsHook {
  public:
    StationTools(MainWindow& window, MainWindowServices services);
    ~StationTools() override;

    // The last start-up step: with a rig chosen, its window is made (hidden)
    // and its Test runs, which opens the port and starts polling.
    void startRig();
    // Program end: the rig's closing bytes, then its port is closed.
    void shutdown();

    // --- ToolWindowsHook ---
    void showRigInterface() override;
    void runRigTune() override;
    void runFreqPrivileges() override;
    void showCwWindow() override;
    void showCwStrings() override;
    void showVoiceKeyer() override;
    void showSpotting() override;
    void runSpectrumMap() override;

    // The windows that other station parts own (the voice keyer, the spotting
    // windows) are opened from the window-wide keys through these.
    struct WindowOpeners {
        std::function<void()> voiceKeyer;
        std::function<void()> spotting;
        std::function<void()> spectrumMap;
    };
    void setVoiceKeyerOpener(std::function<void()> open) { m_openers.voiceKeyer = std::move(open); }
    // The voice keyer's PTT port, closed when the CW window opens its own.
    void setVoicePortCloser(std::function<void()> close) { m_closeVoicePort = std::move(close); }
    void setSpotOpeners(std::function<void()> spotting, std::function<void()> spectrumMap) {
        m_openers.spotting = std::move(spotting);
        m_openers.spectrumMap = std::move(spectrumMap);
    }

    LogOutputActions& logActions() { return *m_actions; }
    RigControlWindow& rigWindow();
    CwWindow& cwWindow() { return *m_cw; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectMenus();
    void makeCwWindow();
    void connectEditButtons();
    void copyListToClipboard();
    void showEditButtons(bool show);
    // Edit or Delete pressed while no row of the list is selected.
    void sayNoContactSelected();
    int selectedRecord() const;
    int runModal(QDialog& dialog);

    MainWindow& m_window;
    MainWindowServices m_services;
    MainWindowRigHost m_rigHost;
    std::unique_ptr<LogOutputActions> m_actions;
    std::unique_ptr<RigControlWindow> m_rig;
    std::unique_ptr<keying::CwHost> m_cwHost;
    std::unique_ptr<CwWindow> m_cw;
    QTreeView* m_list = nullptr;
    WindowOpeners m_openers;
    std::function<void()> m_closeVoicePort;
};

inline constexpr const char* kNoContactSelectedTitle = "No Contact Selected";
inline constexpr const char* kNoContactSelectedText =
    "No contact is selected. Click the contact in the log list first, then Edit Contact or "
    "Delete Contact.";

} // namespace wexon::ui
