#pragma once

#include <QDialog>

#include "core/country_table.h"
#include "core/preferences.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "ui/common/prompts.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace wexon::ui {

// Settings-store keys this window uses.
inline constexpr const char* kUserVemoOptionKey = "UserVemoOption";
inline constexpr const char* kUserCallSignKey = "UserCallSign";

// The station information window `frmStationID`: own call, country, continent,
// coordinates, UTC offset, contest mode and serial counting. "Done" writes the
// Vemo option to the settings store and the own-station values to the shared
// preferences document; the caller copies the values into the preference record
// with applyTo(). Made for one opening: create it, run it modally, read it, drop it.
class StationWindow : public QDialog {
    Q_OBJECT
  public:
    StationWindow(const core::Preferences& prefs, const core::CountryTable& table,
                  core::SettingsStore& settings, core::SharedPreferences& shared, Prompts& prompts,
                  QWidget* parent = nullptr);

    // True once "Done" ran; false when the window was closed by its close box or Esc.
    bool donePressed() const { return m_donePressed; }
    // `prefs` with the window's values copied in (OwnCall, UtcOffset, ContestMode,
    // OwnCountry, OwnContinent, OwnLongitude, OwnLatitude, SerialPerBand); `prefs`
    // unchanged when "Done" was not pressed.
    core::Preferences applyTo(core::Preferences prefs) const;
    // Whether to connect to the external RTTY program: the check box after "Done",
    // otherwise the stored "UserVemoOption".
    bool connectVemoRtty() const;

    // "Done" (`Command1_Click`, also Enter in any box).
    void command1Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void formLoad(const core::Preferences& prefs);
    bool boxKeyPress(QLineEdit* box, QKeyEvent* key);
    bool countryKeyPress(QKeyEvent* key);
    void numberBoxFocusOut(QLineEdit* box);
    void contestOptionChanged();
    bool isNumberBox(const QObject* object) const;

    const core::CountryTable& m_table;
    core::SettingsStore& m_settings;
    core::SharedPreferences& m_shared;
    Prompts& m_prompts;

    QLineEdit* m_callBox = nullptr;                 // Text1
    QLineEdit* m_countryBox = nullptr;              // Text2
    QLineEdit* m_continentBox = nullptr;            // Text3
    QLineEdit* m_longitudeBox = nullptr;            // Text4
    QLineEdit* m_latitudeBox = nullptr;             // Text7
    QLineEdit* m_utcBox = nullptr;                  // Text6
    QRadioButton* m_phoneOption = nullptr;          // Option1
    QRadioButton* m_cwOption = nullptr;             // Option2
    QRadioButton* m_rttyOption = nullptr;           // Option5
    QRadioButton* m_individualBandOption = nullptr; // Option3
    QRadioButton* m_allBandsOption = nullptr;       // Option4
    QLabel* lblVemoRtty = nullptr;
    QCheckBox* chkVemoRtty = nullptr;
    QPushButton* m_doneButton = nullptr; // Command1

    bool m_donePressed = false;
    bool m_inDone = false;
    bool m_storedVemoOption = false;
    // The number box the focus is being returned to after a bad value; while it
    // is set, the box that loses the focus to it is not checked.
    QLineEdit* m_returningFocusTo = nullptr;
};

} // namespace wexon::ui
