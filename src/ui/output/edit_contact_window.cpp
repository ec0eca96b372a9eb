#include "ui/output/edit_contact_window.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "output/contact_edit.h"
#include "ui/main/country_completion.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

QString L1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
std::string toL1(const QString& s) {
    return s.toLatin1().toStdString();
}

// A box's text as the record stores it: 8-bit text, the quote (which the log's
// form cannot hold) removed even when it was pasted.
std::string boxText(const QLineEdit* box) {
    QString t = box->text();
    t.remove(QLatin1Char('"'));
    return toL1(t);
}

} // namespace

EditContactWindow::EditContactWindow(const std::vector<core::QsoRecord>& qsos, int record,
                                     const core::CountryTable& countries, Prompts& prompts,
                                     QWidget* parent)
    : QDialog(parent), m_qsos(qsos), m_record(record), m_countries(countries), m_prompts(prompts) {
    setObjectName("frmEditCon");
    setWindowTitle("Edit Contact Entry");
    buildControls();
    fillBoxes();
}

void EditContactWindow::buildControls() {
    auto* grid = new QGridLayout;
    auto add = [&](const char* name, const char* caption, int row, int column) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->installEventFilter(this);
        auto* label = plainLabel(caption, this);
        label->setBuddy(box);
        grid->addWidget(label, row * 2, column);
        grid->addWidget(box, row * 2 + 1, column);
        return box;
    };
    txtEditCall = add("txtEditCall", "Callsign", 0, 0);
    txtEditNum = add("txtEditNum", "Rst(S)", 0, 1);
    txtEditCk = add("txtEditCk", "Rst(R)", 0, 2);
    txtEditSec = add("txtEditSec", "# Rec", 0, 3);
    m_serialSentBox = add("Text2", "# Sent", 0, 4);
    txtEditPre = add("txtEditPre", "Country", 1, 0);
    m_prefixBox = add("Text1", "Prefix", 1, 1);
    txtEditDate = add("txtEditDate", "Date", 1, 2);
    txtEditTime = add("txtEditTime", "Time", 1, 3);
    txtEditBnd = add("txtEditBnd", "Band", 1, 4);
    txtEditPoints = add("txtEditPoints", "Points", 1, 5);
    txtEditPoints->setMaxLength(1); // one digit, 0 to 6

    m_invalidLabel = plainLabel("   Invalid!", this);
    m_invalidLabel->setObjectName("Label3");
    m_invalidLabel->setStyleSheet("color: #FF0000");
    m_invalidLabel->hide();
    grid->addWidget(m_invalidLabel, 4, 4);

    m_dupeLabel = plainLabel("Dupe!", this);
    m_dupeLabel->setObjectName("Label1");
    m_dupeLabel->setStyleSheet("color: #FF0000; font-weight: bold");
    m_dupeLabel->hide();
    cmdDeleteDupe = new QPushButton("Delete Dupe", this);
    cmdDeleteDupe->setObjectName("cmdDeleteDupe");
    cmdDeleteDupe->setAutoDefault(false);
    cmdDeleteDupe->hide();
    cmdDone = new QPushButton("Done", this);
    cmdDone->setObjectName("cmdDone");
    cmdDone->setAutoDefault(false);
    connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDoneClick(); });
    connect(cmdDeleteDupe, &QPushButton::clicked, this, [this] { cmdDeleteDupeClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_dupeLabel);
    buttons->addWidget(cmdDeleteDupe);
    buttons->addStretch();
    buttons->addWidget(cmdDone);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void EditContactWindow::fillBoxes() {
    const core::QsoRecord& r = m_qsos.at(static_cast<std::size_t>(m_record - 1));
    const output::ContactEditBoxes b = output::editBoxesFor(r);
    txtEditCall->setText(L1(b.call));
    txtEditNum->setText(L1(b.rstSent));
    txtEditCk->setText(L1(b.rstReceived));
    txtEditSec->setText(L1(b.serialReceived));
    m_serialSentBox->setText(L1(b.serialSent));
    txtEditPre->setText(L1(b.country));
    m_prefixBox->setText(L1(b.prefix));
    txtEditDate->setText(L1(b.date));
    txtEditTime->setText(L1(b.time));
    txtEditBnd->setText(L1(b.band));
    txtEditPoints->setText(L1(b.points));
}

void EditContactWindow::cmdDoneClick() {
    output::ContactEditBoxes b;
    b.call = boxText(txtEditCall);
    b.rstSent = boxText(txtEditNum);
    b.rstReceived = boxText(txtEditCk);
    b.serialReceived = boxText(txtEditSec);
    b.serialSent = boxText(m_serialSentBox);
    b.country = boxText(txtEditPre);
    b.prefix = boxText(m_prefixBox);
    b.date = boxText(txtEditDate);
    b.time = boxText(txtEditTime);
    b.band = boxText(txtEditBnd);
    b.points = boxText(txtEditPoints);
    const core::QsoRecord& original = m_qsos.at(static_cast<std::size_t>(m_record - 1));
    output::EditDecision d = output::decideEdit(m_qsos, m_record, b, original);
    using Step = output::EditDecision::Step;
    switch (d.step) {
    case Step::InvalidTime:
        invalidTime();
        return;
    case Step::InvalidDate:
        invalidDate();
        return;
    case Step::InvalidBand:
        checkBand();
        return;
    case Step::Duplicate:
        m_dupeLabel->show();
        cmdDeleteDupe->show();
        for (std::size_t i = 0; i < d.duplicates.size(); ++i) {
            m_prompts.beep();
        }
        txtEditPoints->setText(L1(d.points));
        return;
    case Step::Save:
        m_dupeLabel->hide();
        txtEditPoints->setText(L1(d.points));
        m_saved = d.record;
        m_outcome = Outcome::Saved;
        m_warning = true; // closing moves the focus: nothing more to check
        accept();
        return;
    }
}

void EditContactWindow::cmdDeleteDupeClick() {
    m_outcome = Outcome::DeleteRequested;
    m_warning = true; // closing moves the focus: nothing more to check
    hide();
    done(QDialog::Rejected);
}

void EditContactWindow::invalidTime() {
    m_prompts.beep();
    const bool was = m_warning;
    m_warning = true;
    m_prompts.message(output::kInvalidTimeTitle, output::kInvalidTimeText,
                      Prompts::Icon::Exclamation);
    m_warning = was;
    focusBack(txtEditTime);
}

void EditContactWindow::invalidDate() {
    m_prompts.beep();
    const bool was = m_warning;
    m_warning = true;
    m_prompts.message(output::kInvalidDateTitle, output::kInvalidDateText,
                      Prompts::Icon::Exclamation);
    m_warning = was;
    focusBack(txtEditDate);
}

bool EditContactWindow::checkBand() {
    if (output::isEditBand(boxText(txtEditBnd))) {
        m_invalidLabel->hide();
        return true;
    }
    m_prompts.beep();
    m_invalidLabel->show();
    focusBack(txtEditBnd);
    return false;
}

void EditContactWindow::focusBack(QLineEdit* box) {
    // Moving the focus back makes another box lose it; that is not the operator
    // leaving that box, so it is not checked (two bad boxes would otherwise
    // hand the focus to each other for ever).
    auto apply = [this, box] {
        const bool was = m_warning;
        m_warning = true;
        box->setFocus();
        m_warning = was;
    };
    apply();
    // Again once a focus change that is under way has finished.
    QTimer::singleShot(0, box, apply);
}

bool EditContactWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box != nullptr && box->parent() == this) {
        if (event->type() == QEvent::KeyPress) {
            return boxKeyPress(box, static_cast<QKeyEvent*>(event));
        }
        if (event->type() == QEvent::FocusOut && !m_warning) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Switching to another program or opening a menu is not leaving the box.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                reason != Qt::MenuBarFocusReason) {
                boxFocusOut(box);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EditContactWindow::boxFocusOut(QLineEdit* box) {
    m_warning = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_warning};
    if (box == txtEditBnd) {
        checkBand();
    } else if (box == txtEditDate && !output::isEditDate(boxText(txtEditDate))) {
        invalidDate();
    } else if (box == txtEditTime && !output::isEditTime(boxText(txtEditTime))) {
        invalidTime();
    }
}

bool EditContactWindow::boxKeyPress(QLineEdit* box, QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        cmdDoneClick();
        return true;
    }
    const QString text = key->text();
    if (key->key() == Qt::Key_Backspace || text.size() != 1 || text[0].unicode() < 32 ||
        text[0].unicode() == 127 || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return false; // Backspace and editing keys keep their meaning
    }
    const QChar typed = text[0];
    if (typed.unicode() > 0xFF) {
        return true; // cannot be stored in the log
    }
    const char c = static_cast<char>(typed.unicode());
    char accepted = 0;
    if (box == txtEditPoints) {
        accepted = output::editPointsKey(c);
    } else if (box == txtEditDate) {
        accepted = output::editDateKey(c);
    } else if (box == txtEditTime) {
        accepted = output::editTimeKey(c);
    } else if (box == txtEditPre) {
        if (c == '"') {
            return true;
        }
        // Completion as in the main window's country box, names keep their case.
        typeCountryKey(*txtEditPre, typed, m_countries);
        return true;
    } else {
        accepted = output::editTextKey(c);
    }
    if (accepted != 0) {
        box->insert(QString(QChar::fromLatin1(accepted)));
    }
    return true;
}

} // namespace wexon::ui
