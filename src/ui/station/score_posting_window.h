#pragma once

#include <QDialog>

#include "core/settings_store.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace wexon::ui {

class StationBroadcasts;

// The "Live Score Posting" window: the scoreboard's address, the account,
// the entry class the score is filed under, and one status line saying how
// the last post went and when the next one goes.
class ScorePostingWindow : public QDialog {
  public:
    ScorePostingWindow(StationBroadcasts& broadcasts, core::SettingsStore& settings,
                       QWidget* parent = nullptr);

    void loadSettings();
    // OK: checks the address, saves and applies; false when the address is
    // not usable while posting is on.
    bool accept2();
    void showStatus(const QString& text);

  private:
    StationBroadcasts& m_broadcasts;
    core::SettingsStore& m_settings;
    QCheckBox* m_enabledCheck;
    QLineEdit* m_urlBox;
    QLineEdit* m_userBox;
    QLineEdit* m_passwordBox;
    QLineEdit* m_operatorsBox;
    QLineEdit* m_clubBox;
    QComboBox* m_powerList;
    QComboBox* m_assistedList;
    QComboBox* m_transmitterList;
    QComboBox* m_opsList;
    QComboBox* m_bandsList;
    QLabel* m_errorLabel;
    QLabel* m_statusLabel;
};

} // namespace wexon::ui
