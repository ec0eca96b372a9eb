#pragma once

#include "ui/main/main_window.h"
#include "ui/rig/rig_host.h"

namespace wexon::ui {

// The main window as the rig windows see it: its band follows the rig, and the
// rig name lives in its preference record.
class MainWindowRigHost : public RigHost {
  public:
    explicit MainWindowRigHost(MainWindow& window) : m_window(window) {}
    void bandFreqConversion(float mhz) override { m_window.bandFreqConversion(mhz); }
    void modeSelection(const std::string& mode) override { m_window.modeSelection(mode); }
    std::string rigName() const override { return m_window.contest().prefs.rigName; }
    void setRigName(const std::string& name) override { m_window.contest().prefs.rigName = name; }
    void savePref() override { m_window.savePref(); }

  private:
    MainWindow& m_window;
};

} // namespace wexon::ui
