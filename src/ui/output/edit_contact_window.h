#pragma once

#include <vector>

#include <QDialog>

#include "core/country_table.h"
#include "core/qso_record.h"
#include "ui/common/prompts.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace wexon::ui {

// The edit window `frmEditCon` ("Edit Contact Entry") for one record of the log.
// It changes nothing by itself: after it closes the caller reads outcome() and
// stores savedRecord(), or deletes the record when "Delete Dupe" was pressed.
class EditContactWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Outcome {
        Closed,          // closed without "Done" succeeding: the record stays as it was
        Saved,           // "Done" found no duplicate: savedRecord() holds the new record
        DeleteRequested, // "Delete Dupe": the record is to be deleted
    };

    // `record` is 1-based and must exist in `qsos`.
    EditContactWindow(const std::vector<core::QsoRecord>& qsos, int record,
                      const core::CountryTable& countries, Prompts& prompts,
                      QWidget* parent = nullptr);

    Outcome outcome() const { return m_outcome; }
    const core::QsoRecord& savedRecord() const { return m_saved; }
    int editedRecord() const { return m_record; }

    // "Done" (also Enter in any box).
    void cmdDoneClick();
    // "Delete Dupe".
    void cmdDeleteDupeClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void fillBoxes();
    bool boxKeyPress(QLineEdit* box, QKeyEvent* key);
    void boxFocusOut(QLineEdit* box);
    bool checkBand();
    void invalidTime();
    void invalidDate();
    void focusBack(QLineEdit* box);

    const std::vector<core::QsoRecord>& m_qsos;
    const int m_record;
    const core::CountryTable& m_countries;
    Prompts& m_prompts;
    Outcome m_outcome = Outcome::Closed;
    core::QsoRecord m_saved;
    bool m_warning = false; // checking a box or moving the focus back: ignore focus changes

    QLineEdit* txtEditCall = nullptr;
    QLineEdit* txtEditNum = nullptr;      // RST sent
    QLineEdit* txtEditCk = nullptr;       // RST received
    QLineEdit* txtEditSec = nullptr;      // serial received
    QLineEdit* m_serialSentBox = nullptr; // Text2
    QLineEdit* txtEditPre = nullptr;      // country
    QLineEdit* m_prefixBox = nullptr;     // Text1
    QLineEdit* txtEditDate = nullptr;
    QLineEdit* txtEditTime = nullptr;
    QLineEdit* txtEditBnd = nullptr;
    QLineEdit* txtEditPoints = nullptr;
    QLabel* m_dupeLabel = nullptr;    // Label1
    QLabel* m_invalidLabel = nullptr; // Label3
    QPushButton* cmdDone = nullptr;
    QPushButton* cmdDeleteDupe = nullptr;
};

} // namespace wexon::ui
