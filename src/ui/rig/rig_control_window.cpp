#include "ui/rig/rig_control_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/file_io.h"
#include "core/text_util.h"
#include "platform/rig_timers.h"
#include "platform/rigctld_daemon.h"
#include "platform/rigctld_port.h"
#include "platform/serial_port.h"
#include "rig/band_plan.h"
#include "rig/hex_bytes.h"
#include "rig/rig_format.h"
#include "rig/rigctld_protocol.h"
#include "ui/rig/rig_frequency_test_dialog.h"
#include "ui/rig/rig_rigctld_panel.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

// The read-out of received bytes is cut here so that a flood of noise cannot
// stall the window; the copy to the clipboard takes what is shown.
constexpr std::size_t kShownBytesLimit = 2048;

std::string toStd(const QString& s) {
    return s.toLatin1().toStdString();
}
QString toQ(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}

} // namespace

std::string RigControlWindow::OptionGroup::checked() const {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked()) {
            return values[i];
        }
    }
    return values.empty() ? std::string() : values.front();
}

bool RigControlWindow::OptionGroup::check(const std::string& value) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (values[i] == value) {
            buttons[i]->setChecked(true);
            return true;
        }
    }
    return false;
}

RigControlWindow::RigControlWindow(RigWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(std::move(services)) {
    setObjectName("RigControlfrm");
    setWindowTitle(kRigWindowCaption);
    m_port = std::make_unique<platform::SerialPort>(m_services.settings);
    m_scheduler = std::make_unique<platform::QtScheduler>();
    m_timer = std::make_unique<platform::QtPollTimer>([this] { m_rig->tick(); });
    std::string pegasus = (QDir::homePath() + "/Pegasus").toLocal8Bit().toStdString();
    if (m_services.settings) {
        pegasus = m_services.settings->read(kPegasusFolderKey, pegasus);
    }
    m_rigctld = std::make_unique<platform::RigctldPort>(m_services.settings);
    m_daemon = std::make_unique<platform::RigctldDaemon>();
    m_rig = std::make_unique<rig::RigController>(
        rig::RigServices{m_port.get(), m_timer.get(), m_scheduler.get(), m_services.clock, this,
                         pegasus, m_rigctld.get()});
    if (m_services.host) {
        m_rig->settings().rigName = m_services.host->rigName();
    }
    buildControls();
    loadSettings();
}

RigControlWindow::~RigControlWindow() {
    m_rig->endTest();
}

void RigControlWindow::buildControls() {
    auto* grid = new QGridLayout(this);
    auto* rigBox = new QGroupBox("Select Rig:", this);
    auto* rigLayout = new QVBoxLayout(rigBox);
    List1 = new QListWidget(rigBox);
    List1->setObjectName("List1");
    rigLayout->addWidget(List1);
    grid->addWidget(rigBox, 0, 0, 4, 1);
    connect(List1, &QListWidget::itemClicked,
            [this](QListWidgetItem* item) { list1Click(item->text()); });

    int column = 1;
    int row = 0;
    auto group = [&](const char* caption, const char* prefix, OptionGroup& g,
                     std::vector<std::pair<const char*, const char*>> options) {
        auto* box = new QGroupBox(caption, this);
        auto* layout = new QGridLayout(box);
        int i = 0;
        for (const auto& [label, value] : options) {
            auto* b = new QRadioButton(label, box);
            b->setObjectName(QString("%1%2").arg(prefix).arg(i));
            layout->addWidget(b, i % 5, i / 5);
            g.buttons.push_back(b);
            g.values.push_back(value);
            // Any change of the port settings ends a test in progress.
            connect(b, &QRadioButton::clicked, [this] { command2Click(); });
            ++i;
        }
        grid->addWidget(box, row, column);
        if (++column > 4) {
            column = 1;
            ++row;
        }
    };
    group("Comm Port:", "optComm", m_port1,
          {{"1", "1"},
           {"2", "2"},
           {"3", "3"},
           {"4", "4"},
           {"5", "5"},
           {"6", "6"},
           {"7", "7"},
           {"8", "8"},
           {"9", "9"},
           {"10", "10"}});
    group("Baud Rate (k):", "optBaud", m_baud,
          {{"1.2", "1200"},
           {"2.4", "2400"},
           {"4.8", "4800"},
           {"9.6", "9600"},
           {"14.4", "14400"},
           {"19.2", "19200"},
           {"28.8", "28800"},
           {"38.4", "38400"},
           {"56", "56000"}});
    group("Parity:", "optParity", m_parity, {{"Odd", "O"}, {"None", "N"}, {"Even", "E"}});
    group("Data Bits:", "optData", m_data, {{"7", "7"}, {"8", "8"}});
    group("Stop Bits:", "optStop", m_stop, {{"1", "1"}, {"2", "2"}});
    group("Connection Power:", "optPower", m_power, {{"None", "N"}, {"RTS", "R"}, {"DTR", "D"}});
    group("Radio Polling Rate:", "optPoll", m_pollRate,
          {{"100 ms", "F"}, {"500 ms", "M"}, {"2 Sec", "S"}, {"10 Sec", "R"}});

    auto* modeBox = new QGroupBox("Mode by:", this);
    auto* modeLayout = new QVBoxLayout(modeBox);
    OptRig = new QRadioButton("Rig", modeBox);
    OptRig->setObjectName("OptRig");
    OptFreq = new QRadioButton("Frequency", modeBox);
    OptFreq->setObjectName("OptFreq");
    OptDont = new QRadioButton("Don't Use", modeBox);
    OptDont->setObjectName("OptDont");
    for (QRadioButton* b : {OptRig, OptFreq, OptDont}) {
        modeLayout->addWidget(b);
        connect(b, &QRadioButton::clicked, [this] { modeOptionClick(); });
    }
    grid->addWidget(modeBox, row, column);

    chkFrequency = new QCheckBox("Use Frequency", this);
    chkFrequency->setObjectName("chkFrequency");
    chkConvToHex = new QCheckBox("Convert to Hex", this);
    chkConvToHex->setObjectName("chkConvToHex");
    ChkConvHex = new QCheckBox("Convert from Hex", this);
    ChkConvHex->setObjectName("ChkConvHex");
    connect(chkConvToHex, &QCheckBox::clicked,
            [this] { ChkConvHex->setChecked(chkConvToHex->isChecked()); });
    grid->addWidget(chkFrequency, 4, 0);
    grid->addWidget(chkConvToHex, 5, 0);
    grid->addWidget(ChkConvHex, 6, 0);

    txtFreq = new QLineEdit(this);
    txtFreq->setObjectName("txtFreq");
    txtMode = new QLineEdit(this);
    txtMode->setObjectName("txtMode");
    grid->addWidget(plainLabel("String to read frequency:", this), 4, 1);
    grid->addWidget(txtFreq, 4, 2, 1, 2);
    grid->addWidget(plainLabel("String to read mode:", this), 5, 1);
    grid->addWidget(txtMode, 5, 2, 1, 2);
    // The settings mirror the boxes at every change.
    connect(txtFreq, &QLineEdit::textChanged,
            [this](const QString& t) { m_rig->settings().frequencyRead = toStd(t); });
    connect(txtMode, &QLineEdit::textChanged,
            [this](const QString& t) { m_rig->settings().modeRead = toStd(t); });
    txtFreq->installEventFilter(this);
    txtMode->installEventFilter(this);

    // The rigctld address, and a daemon the program may start, for the
    // "Hamlib (rigctld)" entry.
    m_rigctldPanel = new RigctldPanel(m_services.settings, this);
    grid->addWidget(m_rigctldPanel, 0, 5, 3, 1);
    for (QWidget* box : m_rigctldPanel->editBoxes()) {
        box->installEventFilter(this);
    }
    m_rigctldPanel->setEnabled(false);

    Label10 = plainLabel("Icom radio users will have to replace the 64 in the string with the ID "
                         "for your particular radio.  Please check your Icom user's manual for "
                         "details.",
                         this);
    Label10->setObjectName("Label10");
    Label10->setWordWrap(true);
    Label10->setVisible(false);
    grid->addWidget(Label10, 6, 1, 1, 3);

    lblFreq = plainLabel(QString(), this);
    lblFreq->setObjectName("lblFreq");
    lblMode = plainLabel(QString(), this);
    lblMode->setObjectName("lblMode");
    lblUnProcess = plainLabel(QString(), this);
    lblUnProcess->setObjectName("lblUnProcess");
    lblUnProcess->setWordWrap(true);
    lblUnProcess->setTextFormat(Qt::PlainText);
    Label2 = plainLabel("Polling Rig", this);
    Label2->setObjectName("Label2");
    Label2->setVisible(false);
    grid->addWidget(plainLabel("Frequency:", this), 7, 0);
    grid->addWidget(lblFreq, 7, 1);
    grid->addWidget(plainLabel("Mode:", this), 7, 2);
    grid->addWidget(lblMode, 7, 3);
    grid->addWidget(plainLabel("Unprocessed data returned:", this), 8, 0);
    grid->addWidget(lblUnProcess, 8, 1, 1, 3);
    grid->addWidget(Label2, 9, 0);

    auto button = [&](QPushButton*& b, const char* name, const char* caption, int col) {
        b = new QPushButton(caption, this);
        b->setObjectName(name);
        grid->addWidget(b, 10, col);
    };
    button(Command1, "Command1", "Test", 0);
    button(Command2, "Command2", "End Test", 1);
    button(Command3, "Command3", "Change Frequency", 2);
    button(Command4, "Command4", "Copy unprocessed data to clipboard", 3);
    button(cmdDone, "cmdDone", "&Done", 4);
    Command2->setEnabled(false);
    connect(Command1, &QPushButton::clicked, [this] { command1Click(); });
    connect(Command2, &QPushButton::clicked, [this] { command2Click(); });
    connect(Command3, &QPushButton::clicked, [this] { command3Click(); });
    connect(Command4, &QPushButton::clicked, [this] { command4Click(); });
    connect(cmdDone, &QPushButton::clicked, [this] { cmdDoneClick(); });
}

void RigControlWindow::loadSettings() {
    for (const rig::RigProfile& p : rig::rigProfiles()) {
        List1->addItem(p.name);
    }
    // The window's starting state, kept where the file says nothing.
    m_port1.check("1");
    m_baud.check("9600");
    m_parity.check("N");
    m_data.check("8");
    m_stop.check("1");
    m_power.check("N");
    m_pollRate.check("M");
    OptRig->setChecked(true);
    chkConvToHex->setEnabled(false);

    m_loading = true;
    const std::string folder = m_services.workingFolder.toLocal8Bit().toStdString();
    if (auto content =
            core::readWholeFile(core::joinPath(folder, rig::kRigSettingsFileName), 1024 * 1024)) {
        rig::RigSettingsLoad load = rig::parseRigSettings(*content, m_rig->settings());
        m_rig->settings() = load.settings;
        applySettingsToControls(load.settings, load.modeByValid);
        if (load.valuesRead >= 11 && m_services.host) {
            m_services.host->setRigName(load.settings.rigName);
        }
    }
    if (auto plan =
            core::readWholeFile(core::joinPath(folder, rig::kBandPlanFileName), 1024 * 1024)) {
        m_rig->setBandPlanRows(rig::rowsOfClass(rig::parseBandPlan(*plan), 'E'));
    }
    m_loading = false;
}

void RigControlWindow::applySettingsToControls(const rig::RigSettings& s, bool modeByValid) {
    chkConvToHex->setChecked(s.convertToHex == 1);
    chkFrequency->setChecked(s.useFrequency == 1);
    if (modeByValid) {
        (s.modeBy == 2 ? OptFreq : s.modeBy == 3 ? OptDont : OptRig)->setChecked(true);
    }
    txtFreq->setText(toQ(s.frequencyRead));
    txtMode->setText(toQ(s.modeRead));
    const auto items = List1->findItems(toQ(s.rigName), Qt::MatchFixedString);
    if (!items.isEmpty()) {
        List1->setCurrentItem(items.front());
    }
    const rig::RigProfile& p = rig::profileFor(s.rigName);
    chkConvToHex->setEnabled(p.hexSelectable && !rig::isNoRig(s.rigName));
    Label10->setVisible(p.id == rig::RigId::Icom);
    showRigctldAddress(p);
    m_port1.check(std::to_string(s.portNumber));
    m_baud.check(core::trimRight(s.baud));
    m_parity.check(s.parity);
    m_data.check(s.dataBits);
    m_stop.check(s.stopBits);
    m_power.check(s.power);
    m_pollRate.check(s.pollRate);
}

void RigControlWindow::settingsFromControls() {
    rig::RigSettings& s = m_rig->settings();
    s.portNumber = std::stoi(m_port1.checked());
    s.baud = rig::padBaud(m_baud.checked());
    s.parity = m_parity.checked();
    s.dataBits = m_data.checked();
    s.stopBits = m_stop.checked();
    s.power = m_power.checked();
    s.pollRate = m_pollRate.checked();
    s.portSettings = rig::portSettingsText(s);
    s.convertToHex = chkConvToHex->isChecked() ? 1 : 0;
    s.useFrequency = chkFrequency->isChecked() ? 1 : 0;
    s.modeBy = OptFreq->isChecked() ? 2 : OptDont->isChecked() ? 3 : 1;
}

void RigControlWindow::list1Click(const QString& entry) {
    if (m_loading) {
        return;
    }
    command2Click();
    m_rig->settings().rigName = toStd(entry);
    txtFreq->clear();
    txtMode->clear();
    chkConvToHex->setChecked(false);
    chkConvToHex->setEnabled(false);
    Label10->setVisible(false);
    const rig::RigProfile& p = rig::profileFor(m_rig->settings().rigName);
    if (p.hexSelectable) {
        chkConvToHex->setEnabled(true);
    }
    showRigctldAddress(p);
    if (!p.loadsDefaults) {
        return;
    }
    if (p.baud) {
        m_baud.check(p.baud);
    }
    if (p.dataBits) {
        m_data.check(std::string(1, p.dataBits));
    }
    if (p.stopBits) {
        m_stop.check(std::string(1, p.stopBits));
    }
    if (p.parity) {
        m_parity.check(std::string(1, p.parity));
    }
    txtFreq->setText(p.frequencyRead ? p.frequencyRead : "");
    txtMode->setText(p.modeRead ? p.modeRead : "");
    chkConvToHex->setChecked(p.convertToHex);
    ChkConvHex->setChecked(p.convertToHex);
    Label10->setVisible(p.icomNote);
}

void RigControlWindow::command1Click() {
    settingsFromControls();
    if (rig::isNoRig(m_rig->settings().rigName)) {
        return;
    }
    if (!startRigctld()) {
        return;
    }
    lblMode->setText(kNoResponse);
    lblFreq->setText(kNoResponse);
    Command2->setEnabled(true);
    Label2->setVisible(true);
    rig::RigController::TestResult result = m_rig->test();
    if (result != rig::RigController::TestResult::Polling) {
        Command2->setEnabled(false);
        Label2->setVisible(false);
    }
}

void RigControlWindow::command2Click() {
    lblMode->clear();
    lblFreq->clear();
    lblUnProcess->clear();
    m_rig->endTest();
    Label2->setVisible(false);
    Command2->setEnabled(false);
}

void RigControlWindow::command3Click() {
    if (!m_rig->polling()) {
        m_services.prompts->message(
            "You must be polling your rig to test this function.",
            "You must be polling your rig to test this function.  Please select your rig type "
            "and click the Test command button.",
            Prompts::Icon::Information);
        return;
    }
    RigFrequencyTestDialog dialog(*this, this);
    if (m_services.runModal) {
        m_services.runModal(dialog);
    } else {
        dialog.exec();
    }
}

void RigControlWindow::command4Click() {
    QApplication::clipboard()->setText(lblUnProcess->text());
    cmdDone->setFocus();
}

void RigControlWindow::cmdDoneClick() {
    if (!rig::isNoRig(m_rig->settings().rigName)) {
        command1Click();
    } else {
        settingsFromControls();
    }
    if (m_services.host) {
        m_services.host->setRigName(m_rig->settings().rigName);
        m_services.host->savePref();
    }
    const std::string folder = m_services.workingFolder.toLocal8Bit().toStdString();
    core::FileResult r = core::replaceAtomically(core::joinPath(folder, rig::kRigSettingsFileName),
                                                 rig::serializeRigSettings(m_rig->settings()));
    if (!r.ok()) {
        m_services.prompts->message("File Error", toQ(r.error), Prompts::Icon::Critical);
    }
    hide();
}

void RigControlWindow::modeOptionClick() {
    lblMode->setText(kNoResponse);
    m_rig->reading().mode.clear();
    settingsFromControls();
}

void RigControlWindow::showRigctldAddress(const rig::RigProfile& profile) {
    const bool rigctld = profile.link == rig::LinkKind::Rigctld;
    m_rigctldPanel->setEnabled(rigctld);
    if (!rigctld) {
        m_daemon->stop(); // a daemon started for the rigctld entry ends with it
    } else if (m_rigctldPanel->startsDaemon()) {
        m_rigctldPanel->loadModels();
    }
}

bool RigControlWindow::startRigctld() {
    if (m_rig->profile().link != rig::LinkKind::Rigctld || !m_rigctldPanel->startsDaemon()) {
        return true;
    }
    std::string why = m_daemon->start(m_rigctldPanel->launch());
    if (!why.empty()) {
        m_services.prompts->message("Hamlib (rigctld)", toQ(why), Prompts::Icon::Exclamation);
        return false;
    }
    m_rigctld->allowStartUp(kRigctldStartUpMs);
    return true;
}

bool RigControlWindow::eventFilter(QObject* watched, QEvent* event) {
    bool addressBox = false;
    for (QWidget* box : m_rigctldPanel->editBoxes()) {
        addressBox = addressBox || watched == box;
    }
    if ((watched == txtFreq || watched == txtMode || addressBox) &&
        event->type() == QEvent::FocusIn) {
        command2Click();
    }
    return QWidget::eventFilter(watched, event);
}

void RigControlWindow::changeFrequency(float mhz) {
    m_rig->changeFrequency(mhz);
}

void RigControlWindow::changeMode(float mhz, const std::string& mode) {
    m_rig->changeMode(mhz, mode);
}

std::string RigControlWindow::rigName() const {
    return m_rig->settings().rigName;
}

bool RigControlWindow::polling() const {
    return m_rig->polling();
}

void RigControlWindow::formUnload() {
    m_rig->closing();
    m_port->drain();
    m_rig->endTest();
    m_daemon->stop();
}

void RigControlWindow::readingTaken(const rig::TickReport& report) {
    if (!isVisible()) {
        return;
    }
    if (report.frequency > 0) {
        lblFreq->setText(toQ(rig::formatReadout(report.frequency)));
    }
    lblMode->setText(toQ(report.mode));
    std::string shown = report.received.substr(0, kShownBytesLimit);
    lblUnProcess->setText(toQ(ChkConvHex->isChecked() ? rig::spacedHexOf(shown) : shown));
}

void RigControlWindow::frequencyForLog(float mhz) {
    if (m_services.host) {
        m_services.host->bandFreqConversion(mhz);
    }
}

void RigControlWindow::modeForLog(const std::string& mode) {
    if (m_services.host) {
        m_services.host->modeSelection(mode);
    }
}

void RigControlWindow::portFailed(const std::string& /*why*/) {
    Command2->setEnabled(false);
    Label2->setVisible(false);
    m_services.prompts->beep();
    const platform::PortFailureMessage m = platform::portFailureMessage(platform::PortOwner::Rig);
    m_services.prompts->message(m.title, m.text, Prompts::Icon::Exclamation);
    if (!isVisible()) {
        // Shown so that the operator can pick another port or "None".
        setWindowModality(Qt::ApplicationModal);
        show();
    }
}

void RigControlWindow::rigNotAnswering(const std::string& text) {
    // Polling goes on: a rig switched on again is read at once.
    lblFreq->setText(kNoResponse);
    lblMode->setText(kNoResponse);
    m_services.prompts->beep();
    m_services.prompts->message(kRigNotAnsweringTitle, toQ(text), Prompts::Icon::Exclamation);
}

void RigControlWindow::operationFailed(const std::string& title, const std::string& text) {
    m_services.prompts->message(toQ(title), toQ(text), Prompts::Icon::Exclamation);
}

} // namespace wexon::ui
