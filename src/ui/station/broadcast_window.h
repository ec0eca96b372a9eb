#pragma once

#include <QDialog>

#include "core/settings_store.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace wexon::ui {

class StationBroadcasts;

// The "Broadcasts" window: whether UDP messages go out, where to, which of
// them, and the operator and station names they carry. OK saves to the
// settings store and applies at once; the status line counts what was sent.
class BroadcastWindow : public QDialog {
  public:
    BroadcastWindow(StationBroadcasts& broadcasts, core::SettingsStore& settings,
                    QWidget* parent = nullptr);

    // Fills the controls from the settings store.
    void loadSettings();
    // OK: checks the destinations, saves and applies; false (the window stays)
    // when an entry cannot be read.
    bool accept2();
    void showStatus(const QString& text);

  private:
    StationBroadcasts& m_broadcasts;
    core::SettingsStore& m_settings;
    QCheckBox* m_enabledCheck;
    QLineEdit* m_destinationsBox;
    QCheckBox* m_contactsCheck;
    QCheckBox* m_radioCheck;
    QCheckBox* m_scoreCheck;
    QLineEdit* m_operatorBox;
    QLineEdit* m_stationNameBox;
    QLabel* m_errorLabel;
    QLabel* m_statusLabel;
};

} // namespace wexon::ui
