#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "core/qso_record.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "output/cabrillo.h"
#include "output/cabrillo3.h"
#include "ui/common/prompts.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace wexon::ui {

// What the Cabrillo file is written from, read from the main window.
struct CabrilloSource {
    std::string programTitle; // the main window's title
    std::string ownCall;
    std::string contestMode;
    const std::vector<core::QsoRecord>* qsos = nullptr;
    long long totalPoints = 0;
    int prefixCount = 0;
    QString programDataFolder; // where the save dialog starts
};

// The summary-sheet window `Form2`: entrant category and address block, and the
// button that writes the whole log as a Cabrillo file. Made for one opening.
class SummarySheetWindow : public QDialog {
    Q_OBJECT
  public:
    SummarySheetWindow(CabrilloSource source, core::SettingsStore& settings,
                       core::SharedPreferences& shared, Prompts& prompts,
                       QWidget* parent = nullptr);

    // The sheet as the controls hold it now.
    output::SummarySheet sheet() const;
    // The layout "Cabrillo 3.0" chooses; 2.0 unless it is checked.
    output::CabrilloVersion cabrilloVersion() const;

    // "Write Cabrillo Log File": asks for the file and writes it. Returns the path
    // written, empty when cancelled or failed.
    QString command4Click();
    // "Done".
    void command3Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void formLoad();
    void operatorChanged();
    void layoutChoiceChanged();
    void storeSettings();

    CabrilloSource m_source;
    core::SettingsStore& m_settings;
    core::SharedPreferences& m_shared;
    Prompts& m_prompts;

    QLineEdit* txtSection = nullptr;
    QRadioButton* m_singleOption = nullptr;   // Option6
    QRadioButton* m_assistedOption = nullptr; // Option5
    QRadioButton* m_multipleOption = nullptr; // Option7
    QRadioButton* m_checklogOption = nullptr; // Option9
    QGroupBox* m_transmitterFrame = nullptr;  // Frame1
    QRadioButton* m_oneOption = nullptr;      // Option1
    QRadioButton* m_twoOption = nullptr;      // Option2
    QRadioButton* m_multiOption = nullptr;    // Option3
    QRadioButton* m_highOption = nullptr;     // Option18
    QRadioButton* m_lowOption = nullptr;      // Option19
    QRadioButton* m_qrpOption = nullptr;      // Option20
    QComboBox* m_bandList = nullptr;          // Combo1
    QCheckBox* m_rookieCheck = nullptr;       // Check1
    QCheckBox* m_bandLimitedCheck = nullptr;  // Check2
    QCheckBox* m_tbWiresCheck = nullptr;      // Check3
    QComboBox* m_overlay3List = nullptr;      // the one overlay of a 3.0 file
    QComboBox* m_transmitterIdList = nullptr; // 0 or 1, for a two-transmitter 3.0 file
    QLineEdit* m_operatorsBox = nullptr;      // Text2
    QLineEdit* m_nameBox = nullptr;           // Text5
    QLineEdit* m_address1Box = nullptr;       // Text6
    QLineEdit* m_address2Box = nullptr;       // Text7
    QLineEdit* m_emailBox = nullptr;          // Text8
    QLineEdit* m_clubBox = nullptr;           // Text10
    QLineEdit* m_soapboxBox = nullptr;        // Text11
    QCheckBox* m_cabrillo3Check = nullptr;    // chkCabrillo3
    QPushButton* m_writeButton = nullptr;     // Command4
    QPushButton* m_doneButton = nullptr;      // Command3
};

// The settings key of the "Cabrillo 3.0" choice: "3.0" or "2.0".
inline constexpr const char* kCabrilloVersionKey = "UserCabrilloVersion";
inline constexpr const char* kCabrilloFilter = "LOG Files (*.log)";
inline constexpr const char* kWriteFailedTitle = "Unable to write file.";
inline constexpr const char* kWrittenTitle = "File Written Successfully.";

} // namespace wexon::ui
