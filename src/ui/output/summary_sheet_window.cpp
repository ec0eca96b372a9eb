#include "ui/output/summary_sheet_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/file_io.h"
#include "core/folders.h"
#include "core/text_util.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

QString L1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
std::string toL1(const QString& s) {
    return s.toLatin1().toStdString();
}
std::string toPath(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

// The settings-store key and the shared-preferences key of each address box.
struct AddressKey {
    const char* settingsKey;
    const char* sharedKey;
};
constexpr AddressKey kAddressKeys[] = {
    {"UserAddressName", "OWN_ADDRESS_NAME"},   {"UserAddressLine1", "OWN_ADDRESS_Line1"},
    {"UserAddressLine2", "OWN_ADDRESS_Line2"}, {"UserEMail", "OWN_EMAIL"},
    {"UserARRLSection", "OWN_ARRL_SECTION"},   {"UserClubName", "OWN_CLUB_NAME"},
};

const char* kSuccessText =
    "The file was successfully written to the directory:\n\n%1.\n\nAttach this file to an e-mail "
    "addressed for contest submission.  If you wish to print this file, you can open it with "
    "Notepad or Wordpad to print.";
const char* kThanksTitle = "  Thanks!";
const char* kThanksText = "Thanks for using this program.  I hope that you enjoyed it!  If so, "
                          "please tell a friend!\n73 and good luck in the contest,\nthe Wexon "
                          "developers";

QLineEdit* makeBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QRadioButton* makeOption(QWidget* parent, const char* name, const char* caption) {
    auto* o = new QRadioButton(caption, parent);
    o->setObjectName(name);
    return o;
}

} // namespace

SummarySheetWindow::SummarySheetWindow(CabrilloSource source, core::SettingsStore& settings,
                                       core::SharedPreferences& shared, Prompts& prompts,
                                       QWidget* parent)
    : QDialog(parent), m_source(std::move(source)), m_settings(settings), m_shared(shared),
      m_prompts(prompts) {
    setObjectName("Form2");
    setWindowTitle("Summary Sheet Information");
    buildControls();
    formLoad();
}

void SummarySheetWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    layout->addLayout(top);

    txtSection = makeBox(this, "txtSection");
    txtSection->installEventFilter(this);
    top->addWidget(plainLabel("ARRL Section:", this), 0, 0);
    top->addWidget(txtSection, 0, 1);

    auto* operatorFrame = new QGroupBox("Operator:", this);
    operatorFrame->setObjectName("fraOperator");
    auto* ol = new QVBoxLayout(operatorFrame);
    m_singleOption = makeOption(operatorFrame, "Option6", "Single");
    m_assistedOption = makeOption(operatorFrame, "Option5", "Single Assisted");
    m_multipleOption = makeOption(operatorFrame, "Option7", "Multiple");
    m_checklogOption = makeOption(operatorFrame, "Option9", "Checklog");
    for (auto* o : {m_singleOption, m_assistedOption, m_multipleOption, m_checklogOption}) {
        ol->addWidget(o);
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                operatorChanged();
            }
        });
    }
    top->addWidget(operatorFrame, 1, 0);

    m_transmitterFrame = new QGroupBox("Number of Transmitters (if multioperator)", this);
    m_transmitterFrame->setObjectName("Frame1");
    auto* tl = new QVBoxLayout(m_transmitterFrame);
    m_oneOption = makeOption(m_transmitterFrame, "Option1", "One");
    m_twoOption = makeOption(m_transmitterFrame, "Option2", "Two");
    m_multiOption = makeOption(m_transmitterFrame, "Option3", "Multi");
    for (auto* o : {m_oneOption, m_twoOption, m_multiOption}) {
        tl->addWidget(o);
    }
    // A two-transmitter 3.0 log marks each contact with the transmitter that
    // made it; this log is one transmitter's.
    m_transmitterIdList = new QComboBox(m_transmitterFrame);
    m_transmitterIdList->setObjectName("cboTransmitterId");
    m_transmitterIdList->addItems({"0", "1"});
    m_transmitterIdList->setAccessibleName("Transmitter ID");
    m_transmitterIdList->setToolTip("Which of the two transmitters made this log's contacts "
                                    "(Cabrillo 3.0)");
    auto* idRow = new QHBoxLayout;
    auto* idCaption = plainLabel("Transmitter ID:", m_transmitterFrame);
    idCaption->setBuddy(m_transmitterIdList);
    idRow->addWidget(idCaption);
    idRow->addWidget(m_transmitterIdList);
    tl->addLayout(idRow);
    connect(m_twoOption, &QRadioButton::toggled, this, [this] { layoutChoiceChanged(); });
    top->addWidget(m_transmitterFrame, 1, 1);

    auto* powerFrame = new QGroupBox("Power Category:", this);
    powerFrame->setObjectName("fraPower");
    auto* pl = new QVBoxLayout(powerFrame);
    m_highOption = makeOption(powerFrame, "Option18", "High");
    m_lowOption = makeOption(powerFrame, "Option19", "Low");
    m_qrpOption = makeOption(powerFrame, "Option20", "QRP");
    for (auto* o : {m_highOption, m_lowOption, m_qrpOption}) {
        pl->addWidget(o);
    }
    top->addWidget(powerFrame, 1, 2);

    m_bandList = new QComboBox(this);
    m_bandList->setObjectName("Combo1");
    m_bandList->installEventFilter(this);
    top->addWidget(plainLabel("Band:", this), 2, 0);
    top->addWidget(m_bandList, 2, 1);

    auto* overlayFrame = new QGroupBox("Select if appropriate for Category Overlay:", this);
    overlayFrame->setObjectName("fraOverlay");
    auto* vl = new QHBoxLayout(overlayFrame);
    m_rookieCheck = new QCheckBox("Rookie", overlayFrame);
    m_rookieCheck->setObjectName("Check1");
    m_bandLimitedCheck = new QCheckBox("Band-Limited", overlayFrame);
    m_bandLimitedCheck->setObjectName("Check2");
    m_tbWiresCheck = new QCheckBox("TB-Wires", overlayFrame);
    m_tbWiresCheck->setObjectName("Check3");
    vl->addWidget(m_rookieCheck);
    vl->addWidget(m_bandLimitedCheck);
    vl->addWidget(m_tbWiresCheck);
    // A 3.0 file takes one overlay, from its own list of values; left on the
    // first item it follows the check boxes.
    m_overlay3List = new QComboBox(overlayFrame);
    m_overlay3List->setObjectName("cboOverlay3");
    m_overlay3List->addItem("As checked", QString());
    for (const char* value : output::kCabrillo3Overlays) {
        m_overlay3List->addItem(value, QString(value));
    }
    m_overlay3List->setAccessibleName("Cabrillo 3.0 overlay");
    auto* overlay3Caption = plainLabel("Cabrillo 3.0 overlay:", overlayFrame);
    overlay3Caption->setBuddy(m_overlay3List);
    vl->addWidget(overlay3Caption);
    vl->addWidget(m_overlay3List);
    layout->addWidget(overlayFrame);

    auto* form = new QGridLayout;
    layout->addLayout(form);
    auto addBox = [&](const char* name, const char* caption, int row) {
        QLineEdit* box = makeBox(this, name);
        form->addWidget(plainLabel(caption, this), row, 0);
        form->addWidget(box, row, 1);
        return box;
    };
    m_operatorsBox = addBox("Text2", "If multioperator, list calls of all operators:", 0);
    m_operatorsBox->installEventFilter(this);
    m_nameBox = addBox("Text5", "Your Name:", 1);
    m_address1Box = addBox("Text6", "Address Line 1:", 2);
    m_address2Box = addBox("Text7", "Address Line 2:", 3);
    m_emailBox = addBox("Text8", "Email Address:", 4);
    m_clubBox = addBox("Text10", "Club Name (if club participation):", 5);
    m_soapboxBox =
        addBox("Text11", "Soapbox (Add any comments you would like to make about the contest):", 6);

    auto* buttons = new QHBoxLayout;
    // The robot that checks the logs reads the categories best as the separate
    // tags of the 3.0 layout; 2.0 stays the default.
    m_cabrillo3Check = new QCheckBox("Cabrillo 3.0", this);
    m_cabrillo3Check->setObjectName("chkCabrillo3");
    m_cabrillo3Check->setAccessibleName("Cabrillo 3.0");
    m_cabrillo3Check->setToolTip("Write the file in the Cabrillo 3.0 layout, each category "
                                 "on its own line");
    buttons->addWidget(m_cabrillo3Check);
    connect(m_cabrillo3Check, &QCheckBox::toggled, this, [this] { layoutChoiceChanged(); });
    m_writeButton = new QPushButton("Write Cabrillo Log File", this);
    m_writeButton->setObjectName("Command4");
    m_writeButton->setAutoDefault(false);
    m_doneButton = new QPushButton("Done", this);
    m_doneButton->setObjectName("Command3");
    m_doneButton->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(m_writeButton);
    buttons->addWidget(m_doneButton);
    layout->addLayout(buttons);
    connect(m_writeButton, &QPushButton::clicked, this, [this] { command4Click(); });
    connect(m_doneButton, &QPushButton::clicked, this, [this] { command3Click(); });
}

void SummarySheetWindow::formLoad() {
    m_bandList->addItems({"ALL", "160M", "80M", "40M", "20M", "15M", "10M"});
    m_bandList->setCurrentIndex(0);
    m_singleOption->setChecked(true);
    m_lowOption->setChecked(true);
    operatorChanged();
    QLineEdit* boxes[] = {m_nameBox,  m_address1Box, m_address2Box,
                          m_emailBox, txtSection,    m_clubBox};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        boxes[i]->setText(L1(m_settings.read(kAddressKeys[i].settingsKey, "")));
    }
    m_cabrillo3Check->setChecked(output::cabrilloVersionFromText(m_settings.read(
                                     kCabrilloVersionKey, "")) == output::CabrilloVersion::V3);
    layoutChoiceChanged();
}

void SummarySheetWindow::layoutChoiceChanged() {
    const bool three = m_cabrillo3Check->isChecked();
    m_overlay3List->setEnabled(three);
    m_bandLimitedCheck->setToolTip(three ? "Cabrillo 3.0 has no Band-Limited overlay" : QString());
    m_transmitterIdList->setEnabled(three && m_twoOption->isChecked());
}

void SummarySheetWindow::operatorChanged() {
    const bool multi = m_multipleOption->isChecked();
    m_transmitterFrame->setEnabled(multi);
    for (auto* o : {m_oneOption, m_twoOption, m_multiOption}) {
        o->setEnabled(multi);
    }
    // Radio buttons in one group cannot all be off unless exclusivity is lifted
    // for a moment.
    for (auto* o : {m_oneOption, m_twoOption, m_multiOption}) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
    if (multi) {
        m_oneOption->setChecked(true);
    }
    layoutChoiceChanged();
}

output::SummarySheet SummarySheetWindow::sheet() const {
    output::SummarySheet s;
    s.createdBy = m_source.programTitle;
    s.arrlSection = toL1(txtSection->text());
    using Op = output::SummarySheet::Operator;
    s.op = m_assistedOption->isChecked()   ? Op::SingleAssisted
           : m_multipleOption->isChecked() ? Op::Multiple
           : m_checklogOption->isChecked() ? Op::Checklog
                                           : Op::Single;
    using Tx = output::SummarySheet::Transmitter;
    s.transmitter = m_oneOption->isChecked()     ? Tx::One
                    : m_twoOption->isChecked()   ? Tx::Two
                    : m_multiOption->isChecked() ? Tx::Multi
                                                 : Tx::None;
    s.bandItem = toL1(m_bandList->currentText());
    using Pw = output::SummarySheet::Power;
    s.power = m_highOption->isChecked() ? Pw::High : m_qrpOption->isChecked() ? Pw::Qrp : Pw::Low;
    s.rookie = m_rookieCheck->isChecked();
    s.bandLimited = m_bandLimitedCheck->isChecked();
    s.tbWires = m_tbWiresCheck->isChecked();
    s.overlay3 = toL1(m_overlay3List->currentData().toString());
    s.transmitterId = m_transmitterIdList->currentIndex() == 1 ? 1 : 0;
    s.operators = toL1(m_operatorsBox->text());
    s.club = toL1(m_clubBox->text());
    s.name = toL1(m_nameBox->text());
    s.address1 = toL1(m_address1Box->text());
    s.address2 = toL1(m_address2Box->text());
    s.email = toL1(m_emailBox->text());
    s.soapbox = toL1(m_soapboxBox->text());
    return s;
}

output::CabrilloVersion SummarySheetWindow::cabrilloVersion() const {
    return m_cabrillo3Check->isChecked() ? output::CabrilloVersion::V3
                                         : output::CabrilloVersion::V2;
}

QString SummarySheetWindow::command4Click() {
    const std::string ownCall = core::trim(m_source.ownCall);
    const QString fileName = L1(core::callToFileName(ownCall)) + ".log";
    const QString path = m_prompts.saveFile("Write Cabrillo Log File", m_source.programDataFolder,
                                            fileName, kCabrilloFilter);
    if (path.isEmpty()) {
        return {}; // cancelled
    }
    output::CabrilloLog log;
    log.ownCall = ownCall;
    log.contestMode = m_source.contestMode;
    log.qsos = m_source.qsos;
    log.totalPoints = m_source.totalPoints;
    log.prefixCount = m_source.prefixCount;
    const core::FileResult r = core::replaceAtomically(
        toPath(path), output::writeCabrilloFile(cabrilloVersion(), sheet(), log));
    if (!r.ok()) {
        m_prompts.beep();
        m_prompts.message(kWriteFailedTitle, L1(r.error), Prompts::Icon::Critical);
        return {};
    }
    m_prompts.beep();
    m_prompts.message(kWrittenTitle, QString(kSuccessText).arg(path));
    m_prompts.beep();
    m_prompts.message(kThanksTitle, kThanksText);
    m_doneButton->setFocus();
    storeSettings();
    return path;
}

void SummarySheetWindow::storeSettings() {
    const QLineEdit* boxes[] = {m_nameBox,  m_address1Box, m_address2Box,
                                m_emailBox, txtSection,    m_clubBox};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        m_settings.write(kAddressKeys[i].settingsKey, core::trim(toL1(boxes[i]->text())));
    }
    m_settings.write(kCabrilloVersionKey, output::cabrilloVersionText(cabrilloVersion()));
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        m_shared.set(kAddressKeys[i].sharedKey, core::trim(toL1(boxes[i]->text())),
                     i + 1 == std::size(boxes));
    }
}

void SummarySheetWindow::command3Click() {
    hide();
    done(QDialog::Accepted);
}

bool SummarySheetWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    const bool printable = text.size() == 1 && text[0].unicode() >= 32 &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (watched == m_bandList) {
        return printable; // typed keys are refused; the arrow keys still choose
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!printable || (box != txtSection && box != m_operatorsBox)) {
        return QDialog::eventFilter(watched, event);
    }
    QChar c = text[0];
    if (box == m_operatorsBox && (c == QLatin1Char(',') || c == QLatin1Char('"'))) {
        return true;
    }
    if (c.isLower() && c.unicode() < 128) {
        box->insert(QString(c.toUpper()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace wexon::ui
