#pragma once

#include <memory>
#include <vector>

#include <QGroupBox>

#include "core/settings_store.h"
#include "rig/rigctld_models.h"

namespace wexon::platform {
class HamlibModelListing;
}

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace wexon::ui {

// The rigctld part of the rig window: the daemon's host and port, and whether
// the program starts rigctld itself for a Hamlib model, serial device and
// speed. Every box is kept in the settings store as it changes; the TCP link
// reads the address from there when it opens. Enabled for the rigctld entry
// only.
class RigctldPanel : public QGroupBox {
  public:
    RigctldPanel(core::SettingsStore* settings, QWidget* parent);
    ~RigctldPanel() override;

    // The boxes whose focus ends a test in progress, as the command boxes do.
    std::vector<QWidget*> editBoxes() const;
    bool startsDaemon() const;
    // The launch the boxes describe (the model 0 when none is chosen).
    rig::RigctldLaunch launch() const;
    // Fills the model list (once), in the background.
    void loadModels();
    // The models arrived: fills the list and selects the stored model.
    void setModels(const std::vector<rig::HamlibModel>& models);

  private:
    void store(const char* key, const QString& value);

    core::SettingsStore* m_settings;
    std::unique_ptr<platform::HamlibModelListing> m_listing; // set once asked
    QLineEdit* m_host = nullptr;
    QLineEdit* m_port = nullptr;
    QCheckBox* m_start = nullptr;
    QComboBox* m_model = nullptr;
    QLineEdit* m_device = nullptr;
    QLineEdit* m_speed = nullptr;
};

} // namespace wexon::ui
