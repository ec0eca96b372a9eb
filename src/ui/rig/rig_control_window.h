#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "core/clock.h"
#include "core/settings_store.h"
#include "rig/rig_controller.h"
#include "ui/common/prompts.h"
#include "ui/rig/rig_host.h"

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace wexon::platform {
class RigctldDaemon;
class RigctldPort;
class SerialPort;
class QtPollTimer;
class QtScheduler;
} // namespace wexon::platform

namespace wexon::ui {

class RigctldPanel;

// How long a rigctld the program has just started may take to listen.
inline constexpr int kRigctldStartUpMs = 3000;

// Settings-store key of the folder holding the Pegasus exchange files.
inline constexpr const char* kPegasusFolderKey = "PegasusFolder";

struct RigWindowServices {
    Prompts* prompts = nullptr;
    core::SettingsStore* settings = nullptr; // port map and Pegasus folder
    const core::Clock* clock = nullptr;
    RigHost* host = nullptr;
    QString workingFolder;                 // "RigCntrl.txt" and "BandPlan.txt"
    std::function<int(QDialog&)> runModal; // modal windows (tests answer them)
};

// The rig interface window `RigControlfrm`: the rig list and port settings, the
// read-outs, Test / End Test / Done. It owns the CAT port and the polling timer,
// and offers ChangeFrequency and ChangeMode to the other windows. It is hidden,
// not destroyed, when closed.
class RigControlWindow : public QWidget, public RigTuner, private rig::RigEvents {
  public:
    explicit RigControlWindow(RigWindowServices services, QWidget* parent = nullptr);
    ~RigControlWindow() override;

    // --- operations of other windows ---
    void changeFrequency(float mhz) override;
    void changeMode(float mhz, const std::string& mode) override;
    std::string rigName() const override;
    bool polling() const;
    // Program end: the rig's closing bytes, then the port is closed.
    void formUnload();

    // --- buttons ---
    void command1Click(); // Test
    void command2Click(); // End Test
    void command3Click(); // Change Frequency (test window)
    void command4Click(); // copy unprocessed data
    void cmdDoneClick();
    // Choosing a list entry (the rig's profile).
    void list1Click(const QString& entry);

    rig::RigController& controller() { return *m_rig; }

  private:
    struct OptionGroup {
        std::vector<QRadioButton*> buttons;
        std::vector<std::string> values;
        std::string checked() const;
        bool check(const std::string& value);
    };

    void buildControls();
    void loadSettings();
    void applySettingsToControls(const rig::RigSettings& s, bool modeByValid);
    void settingsFromControls();
    void modeOptionClick();
    // The rigctld boxes: enabled for the rigctld entry only; a daemon the
    // program started is stopped when another entry is chosen.
    void showRigctldAddress(const rig::RigProfile& profile);
    // Starts the daemon when the operator asked for it; false (after saying
    // why) when it could not be started.
    bool startRigctld();
    bool eventFilter(QObject* watched, QEvent* event) override;

    // rig::RigEvents
    void readingTaken(const rig::TickReport& report) override;
    void frequencyForLog(float mhz) override;
    void modeForLog(const std::string& mode) override;
    void portFailed(const std::string& why) override;
    void rigNotAnswering(const std::string& text) override;
    void operationFailed(const std::string& title, const std::string& text) override;

    RigWindowServices m_services;
    std::unique_ptr<platform::SerialPort> m_port;
    std::unique_ptr<platform::RigctldPort> m_rigctld;
    std::unique_ptr<platform::RigctldDaemon> m_daemon;
    std::unique_ptr<platform::QtScheduler> m_scheduler;
    std::unique_ptr<platform::QtPollTimer> m_timer;
    std::unique_ptr<rig::RigController> m_rig;
    bool m_loading = false;

    QListWidget* List1 = nullptr;
    OptionGroup m_port1;
    OptionGroup m_baud;
    OptionGroup m_parity;
    OptionGroup m_data;
    OptionGroup m_stop;
    OptionGroup m_power;
    OptionGroup m_pollRate;
    QRadioButton* OptRig = nullptr;
    QRadioButton* OptFreq = nullptr;
    QRadioButton* OptDont = nullptr;
    QCheckBox* chkFrequency = nullptr;
    QCheckBox* chkConvToHex = nullptr;
    QCheckBox* ChkConvHex = nullptr;
    QLineEdit* txtFreq = nullptr;
    QLineEdit* txtMode = nullptr;
    RigctldPanel* m_rigctldPanel = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* cmdDone = nullptr;
    QLabel* lblFreq = nullptr;
    QLabel* lblMode = nullptr;
    QLabel* lblUnProcess = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label10 = nullptr;
};

inline constexpr const char* kRigWindowCaption = " Rig Interface Setup";
inline constexpr const char* kNoResponse = "No Response";
inline constexpr const char* kRigNotAnsweringTitle = "Rig Not Answering";

} // namespace wexon::ui
