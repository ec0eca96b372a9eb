#include "ui/spots/spotting_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QSignalBlocker>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/file_io.h"
#include "core/text_util.h"
#include "platform/telnet_client.h"
#include "spots/spotting_texts.h"
#include "ui/common/plain_text.h"
#include "ui/common/screen_layout.h"
#include "ui/common/text_conversion.h"

// The spotting window's controls, its settings file and its choice of source.
// Opening, closing, sending and receiving are in spotting_window_sources.cpp.

namespace wexon::ui {

namespace {

constexpr const char* kBauds[] = {"1200", "2400", "4800", "9600", "14400", "19200"};
constexpr const char* kBaudNames[] = {"optBaud12", "optBaud24",  "optBaud48",
                                      "optBaud96", "optBaud144", "optBaud192"};
constexpr const char* kParities[] = {"O", "N", "E"};
constexpr const char* kParityNames[] = {"optParityOdd", "optParityNone", "optParityEven"};
constexpr const char* kPowers[] = {"N", "R", "D"};
constexpr const char* kPowerNames[] = {"optPowerNone", "optPowerRTS", "optPowerDTR"};
constexpr const char* kHandshakeCaptions[] = {"None", "Xon Xoff", "RTS", "RTS OnOff"};

template <std::size_t N> int checkedIndex(const std::array<QRadioButton*, N>& group) {
    for (std::size_t i = 0; i < N; ++i) {
        if (group[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

SpottingWindow::SpottingWindow(SpottingServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(std::move(services)) {
    setObjectName("PacketSpotfrm");
    setWindowTitle(" DX Spotting Setup");
    // Stretched further, the window's controls outgrow a large screen.
    setProperty(SecondaryWindowScaler::kMaxStretchProperty, kMaxStretch);
    m_telnet = std::make_unique<platform::TelnetClient>();
    m_telnet->onChunk = [this](const QByteArray& chunk) {
        receiveTelnetChunk(chunk.toStdString());
    };
    m_telnet->onError = [this](int number) { telnetError(number); };
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kTimerMs);
    connect(Timer1, &QTimer::timeout, this, &SpottingWindow::timerTick);
    buildControls();
}

SpottingWindow::~SpottingWindow() = default;

void SpottingWindow::buildControls() {
    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    top->addLayout(left, 0);
    top->addLayout(right, 1);

    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    for (const char* s : spots::kSpotSources) {
        List1->addItem(QString::fromLatin1(s));
    }
    connect(List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { list1Click(List1->row(item)); });
    left->addWidget(plainLabel("Spot source:", this));
    left->addWidget(List1, 1);

    auto* telnet = new QGridLayout;
    txtTelnetHost = new QLineEdit(this);
    txtTelnetHost->setObjectName("txtTelnetHost");
    txtTelnetPort = new QLineEdit(this);
    txtTelnetPort->setObjectName("txtTelnetPort");
    txtTelnetPort->setMaxLength(5);
    telnet->addWidget(plainLabel("Telnet host:", this), 0, 0);
    telnet->addWidget(txtTelnetHost, 0, 1);
    telnet->addWidget(plainLabel("Port:", this), 1, 0);
    telnet->addWidget(txtTelnetPort, 1, 1);
    left->addLayout(telnet);

    auto* serial = new QGroupBox("TNC serial port", this);
    auto* grid = new QGridLayout(serial);
    auto addGroup = [&](int column, const QString& title, auto& group, const char* const* names,
                        const QStringList& captions) {
        auto* box = new QVBoxLayout;
        box->addWidget(plainLabel(title, serial));
        auto* buttons = new QButtonGroup(serial);
        for (std::size_t i = 0; i < group.size(); ++i) {
            auto* b = new QRadioButton(captions[static_cast<qsizetype>(i)], serial);
            b->setObjectName(names[i]);
            buttons->addButton(b);
            box->addWidget(b);
            group[i] = b;
            connect(b, &QRadioButton::clicked, this, &SpottingWindow::serialOptionClicked);
        }
        box->addStretch();
        grid->addLayout(box, 0, column);
    };
    std::array<std::string, 10> commNames;
    std::array<const char*, 10> commPtrs{};
    QStringList commCaptions;
    for (int i = 0; i < 10; ++i) {
        commNames[static_cast<std::size_t>(i)] = "optComm_" + std::to_string(i);
        commPtrs[static_cast<std::size_t>(i)] = commNames[static_cast<std::size_t>(i)].c_str();
        commCaptions << QStringLiteral("COM%1").arg(i + 1);
    }
    addGroup(0, "Port", optComm, commPtrs.data(), commCaptions);
    addGroup(1, "Baud", m_baudOptions, kBaudNames,
             {"1200", "2400", "4800", "9600", "14400", "19200"});
    addGroup(2, "Parity", m_parityOptions, kParityNames, {"Odd", "None", "Even"});
    static const char* const dataNames[] = {"optData7", "optData8"};
    addGroup(3, "Data", m_dataOptions, dataNames, {"7", "8"});
    static const char* const stopNames[] = {"optStop1", "optStop2"};
    addGroup(4, "Stop", m_stopOptions, stopNames, {"1", "2"});
    addGroup(5, "Connection Power", m_powerOptions, kPowerNames, {"None", "RTS", "DTR"});
    static const char* const handshakeNames[] = {"Option1", "Option2", "Option3", "Option4"};
    addGroup(6, "Handshaking", m_handshakeOptions, handshakeNames,
             {kHandshakeCaptions[0], kHandshakeCaptions[1], kHandshakeCaptions[2],
              kHandshakeCaptions[3]});
    auto* hexRow = new QHBoxLayout;
    hexRow->addWidget(plainLabel("TNC cmd mode hex character:", serial));
    txtHex = new QLineEdit(serial);
    txtHex->setObjectName("txtHex");
    txtHex->setMaxLength(2);
    txtHex->setMaximumWidth(40);
    hexRow->addWidget(txtHex);
    chkConvToHex = new QCheckBox("Convert to Hex", serial);
    chkConvToHex->setObjectName("chkConvToHex");
    hexRow->addWidget(chkConvToHex);
    hexRow->addStretch();
    grid->addLayout(hexRow, 1, 0, 1, 7);
    left->addWidget(serial);

    auto* display = new QHBoxLayout;
    auto* displayGroup = new QButtonGroup(this);
    OptBand = new QRadioButton("Band Map", this);
    OptBand->setObjectName("OptBand");
    OptList = new QRadioButton("List", this);
    OptList->setObjectName("OptList");
    displayGroup->addButton(OptBand);
    displayGroup->addButton(OptList);
    display->addWidget(OptBand);
    display->addWidget(OptList);
    chkDX = new QCheckBox("List DX Only (also controls main form)", this);
    chkDX->setObjectName("chkDX");
    connect(chkDX, &QCheckBox::toggled, this, [this](bool on) { m_receiver.setListDxOnly(on); });
    display->addWidget(chkDX);
    left->addLayout(display);

    // Which spots the band map and the list show, and what Ctrl+Up and
    // Ctrl+Down pass over; they apply at once and are saved on "&Done".
    auto* marks = new QHBoxLayout;
    chkHideDupes = new QCheckBox("Hide d&upes", this);
    chkHideDupes->setObjectName("chkHideDupes");
    chkNewPrefixesOnly = new QCheckBox("&New prefixes only", this);
    chkNewPrefixesOnly->setObjectName("chkNewPrefixesOnly");
    chkJumpSkipsDupes = new QCheckBox("Ctrl+Up/Down s&kip dupes", this);
    chkJumpSkipsDupes->setObjectName("chkJumpSkipsDupes");
    for (QCheckBox* c : {chkHideDupes, chkNewPrefixesOnly, chkJumpSkipsDupes}) {
        marks->addWidget(c);
        connect(c, &QCheckBox::toggled, this, &SpottingWindow::spotChoicesChanged);
    }
    marks->addStretch();
    left->addLayout(marks);

    auto* buttons = new QHBoxLayout;
    Command1 = new QPushButton("Open Port", this);
    Command1->setObjectName("Command1");
    Command2 = new QPushButton("Close Port", this);
    Command2->setObjectName("Command2");
    Command3 = new QPushButton("&Spot Last", this);
    Command3->setObjectName("Command3");
    cmdDone = new QPushButton("&Done", this);
    cmdDone->setObjectName("cmdDone");
    for (QPushButton* b : {Command1, Command2, Command3, cmdDone}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(Command1, &QPushButton::clicked, this, &SpottingWindow::openPort);
    connect(Command2, &QPushButton::clicked, this, &SpottingWindow::closePort);
    connect(Command3, &QPushButton::clicked, this, &SpottingWindow::spotLast);
    connect(cmdDone, &QPushButton::clicked, this, &SpottingWindow::done);
    left->addLayout(buttons);
    left->addStretch();

    Label4 = plainLabel("Listening", this);
    Label4->setObjectName("Label4");
    QPalette blue = Label4->palette();
    blue.setColor(QPalette::Window, Qt::blue);
    blue.setColor(QPalette::WindowText, Qt::white);
    Label4->setPalette(blue);
    Label4->setAutoFillBackground(true);
    Label4->hide();
    right->addWidget(Label4);
    txtUnProcessed = new QPlainTextEdit(this);
    txtUnProcessed->setObjectName("txtUnProcessed");
    txtUnProcessed->setReadOnly(true);
    txtUnProcessed->setMinimumWidth(420);
    right->addWidget(txtUnProcessed, 1);
    Label6 = plainLabel(QString::fromLatin1(spots::kSendLabelTelnet), this);
    Label6->setObjectName("Label6");
    right->addWidget(Label6);
    txtSent = new QLineEdit(this);
    txtSent->setObjectName("txtSent");
    connect(txtSent, &QLineEdit::textChanged, this, &SpottingWindow::sendBoxTextChanged);
    right->addWidget(txtSent);

    // The window sees keys before its controls (Esc and Ctrl+C for the TNC).
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }

    // Design-time state: the band map chosen, nothing enabled but the list.
    OptBand->setChecked(true);
    applySettings(spots::PackSpotSettings{});
    m_spotSource = "None";
    enableControls();
}

void SpottingWindow::formLoad() {
    // TncBuffer starts as one line feed when the window loads; the receiver
    // starts that way.
    loadSpotSettings();
}

void SpottingWindow::loadSpotSettings() {
    m_loading = true;
    const std::string path =
        core::joinPath(toLatin1(m_services.workingFolder), spots::kPackSpotFileName);
    const auto bytes = core::readWholeFile(path, 1u << 20);
    bool complete = false;
    spots::PackSpotSettings s;
    if (bytes) {
        s = spots::readPackSpot(*bytes, spots::PackSpotSettings{}, &complete);
    }
    if (!complete) {
        // A missing or damaged file leaves the design-time values.
        m_loading = false;
        return;
    }
    applySettings(s);
    // "List DX Only" is stored but always starts unchecked.
    m_loading = false;
    enableControls();
    if (!isSource("None")) {
        openPort();
    }
}

void SpottingWindow::applySettings(const spots::PackSpotSettings& s) {
    const bool wasLoading = m_loading;
    m_loading = true;
    chkConvToHex->setChecked(s.convertToHex != 0);
    OptList->setChecked(s.optList);
    OptBand->setChecked(!s.optList);
    txtHex->setText(fromLatin1(s.hexCharacter));
    txtTelnetPort->setText(fromLatin1(s.telnetPort));
    txtTelnetHost->setText(fromLatin1(s.telnetHost));
    for (int i = 0; i < List1->count(); ++i) {
        if (core::equalsIgnoreCase(toLatin1(List1->item(i)->text()), s.spotSource)) {
            List1->setCurrentRow(i);
            list1Click(i);
        }
    }
    if (s.portNumber >= 1 && s.portNumber <= 10) {
        optComm[static_cast<std::size_t>(s.portNumber - 1)]->setChecked(true);
    }
    const std::string baud = core::trimRight(s.baud);
    for (std::size_t i = 0; i < 6; ++i) {
        if (baud == kBauds[i]) {
            m_baudOptions[i]->setChecked(true);
        }
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (core::equalsIgnoreCase(s.parity, kParities[i])) {
            m_parityOptions[i]->setChecked(true);
        }
        if (core::equalsIgnoreCase(s.powerLine, kPowers[i])) {
            m_powerOptions[i]->setChecked(true);
        }
    }
    m_dataOptions[s.dataBits == "7" ? 0 : 1]->setChecked(s.dataBits == "7" || s.dataBits == "8");
    m_stopOptions[s.stopBits == "2" ? 1 : 0]->setChecked(s.stopBits == "1" || s.stopBits == "2");
    if (s.handshake >= 1 && s.handshake <= 4) {
        m_handshakeOptions[static_cast<std::size_t>(s.handshake - 1)]->setChecked(true);
    }
    {
        const QSignalBlocker b1(chkHideDupes);
        const QSignalBlocker b2(chkNewPrefixesOnly);
        const QSignalBlocker b3(chkJumpSkipsDupes);
        chkHideDupes->setChecked(s.hideDupes);
        chkNewPrefixesOnly->setChecked(s.newPrefixesOnly);
        chkJumpSkipsDupes->setChecked(s.jumpSkipsDupes);
    }
    spotChoicesChanged();
    m_loading = wasLoading;
}

spots::SpotFilter SpottingWindow::spotFilter() const {
    spots::SpotFilter f;
    f.hideDupes = chkHideDupes->isChecked();
    f.newPrefixesOnly = chkNewPrefixesOnly->isChecked();
    return f;
}

bool SpottingWindow::jumpSkipsDupes() const {
    return chkJumpSkipsDupes->isChecked();
}

void SpottingWindow::spotChoicesChanged() {
    if (m_services.spotChoices) {
        m_services.spotChoices(spotFilter(), jumpSkipsDupes());
    }
}

spots::PackSpotSettings SpottingWindow::currentSettings() const {
    spots::PackSpotSettings s;
    const int baud = checkedIndex(m_baudOptions);
    s.baud = baud >= 0 ? kBauds[baud] : "9600";
    const int parity = checkedIndex(m_parityOptions);
    s.parity = parity >= 0 ? kParities[parity] : "N";
    s.dataBits.assign(1, m_dataOptions[0]->isChecked() ? '7' : '8');
    s.stopBits.assign(1, m_stopOptions[1]->isChecked() ? '2' : '1');
    s.portNumber = std::max(0, checkedIndex(optComm)) + 1;
    const int power = checkedIndex(m_powerOptions);
    s.powerLine = power >= 0 ? kPowers[power] : "N";
    s.spotSource = m_spotSource;
    s.convertToHex = chkConvToHex->isChecked() ? 1 : 0;
    s.handshake = std::max(0, checkedIndex(m_handshakeOptions)) + 1;
    s.listDxOnly = chkDX->isChecked() ? 1 : 0;
    s.optList = OptList->isChecked();
    s.hideDupes = chkHideDupes->isChecked();
    s.newPrefixesOnly = chkNewPrefixesOnly->isChecked();
    s.jumpSkipsDupes = chkJumpSkipsDupes->isChecked();
    s.hexCharacter = toLatin1(txtHex->text());
    s.telnetPort = toLatin1(txtTelnetPort->text());
    s.telnetHost = toLatin1(txtTelnetHost->text());
    return s;
}

void SpottingWindow::saveSpotSettings() {
    const std::string path =
        core::joinPath(toLatin1(m_services.workingFolder), spots::kPackSpotFileName);
    core::replaceAtomically(path, spots::writePackSpot(currentSettings()));
}

bool SpottingWindow::optList() const {
    return OptList->isChecked();
}

bool SpottingWindow::listDxOnly() const {
    return chkDX->isChecked();
}

bool SpottingWindow::timerRunning() const {
    return Timer1->isActive();
}

bool SpottingWindow::isSource(const char* name) const {
    return core::equalsIgnoreCase(m_spotSource, name);
}

void SpottingWindow::beep() {
    if (m_services.prompts != nullptr) {
        m_services.prompts->beep();
    }
}

void SpottingWindow::enableControls() {
    const bool tnc = isSource("TNC");
    const bool telnet = isSource("Telnet");
    const bool agw = isSource("AGW Packet Engine");
    for (auto* b : optComm) {
        b->setEnabled(tnc);
    }
    for (auto* b : m_baudOptions) {
        b->setEnabled(tnc);
    }
    for (auto* b : m_parityOptions) {
        b->setEnabled(tnc);
    }
    for (auto* b : m_dataOptions) {
        b->setEnabled(tnc);
    }
    for (auto* b : m_stopOptions) {
        b->setEnabled(tnc);
    }
    for (auto* b : m_powerOptions) {
        b->setEnabled(tnc);
    }
    for (auto* b : m_handshakeOptions) {
        b->setEnabled(tnc);
    }
    txtHex->setEnabled(tnc);
    chkConvToHex->setEnabled(tnc);
    txtTelnetHost->setEnabled(telnet);
    txtTelnetPort->setEnabled(telnet);
    const bool sending = tnc || telnet || agw;
    txtSent->setEnabled(sending);
    Label6->setEnabled(sending);
    OptBand->setEnabled(sending);
    OptList->setEnabled(sending);
}

void SpottingWindow::list1Click(int row) {
    if (row < 0 || row >= List1->count()) {
        return;
    }
    chkDX->setChecked(false);
    if (!m_loading) {
        closePort();
        m_spotSource = toLatin1(List1->item(row)->text());
        if (isSource("TNC")) {
            m_baudOptions[3]->setChecked(true);      // 9600
            m_parityOptions[1]->setChecked(true);    // None
            m_dataOptions[1]->setChecked(true);      // 8
            m_stopOptions[0]->setChecked(true);      // 1
            m_handshakeOptions[2]->setChecked(true); // RTS
            txtHex->setText("03");
        }
    } else {
        m_spotSource = toLatin1(List1->item(row)->text());
    }
    enableControls();
    showSpottingHelp();
    if (isSource("TNC")) {
        Label6->setText(QString::fromLatin1(spots::kSendLabelTnc));
    } else if (isSource("AGW Packet Engine")) {
        Label6->setText(QString::fromLatin1(spots::kSendLabelAgw));
    } else if (isSource("Telnet")) {
        Label6->setText(QString::fromLatin1(spots::kSendLabelTelnet));
    }
}

void SpottingWindow::serialOptionClicked() {
    if (!m_loading) {
        closePort();
    }
}

void SpottingWindow::showSpottingHelp() {
    setTerminal(spots::spottingHelp(m_spotSource));
    txtUnProcessed->moveCursor(QTextCursor::Start);
}

void SpottingWindow::spotLast() {
    const std::string call =
        m_services.host != nullptr ? m_services.host->lastLoggedCall() : std::string();
    txtSent->setText(fromLatin1("DX Frequency in kHz " + call));
    txtSent->setFocus();
    txtSent->setSelection(3, 16);
}

void SpottingWindow::done() {
    if (!isSource("None") && !m_listening) {
        openPort();
    }
    if (m_services.host != nullptr) {
        m_services.host->savePref();
    }
    saveSpotSettings();
    if (m_services.packetResize) {
        m_services.packetResize();
    }
    hide();
}

bool SpottingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrlC = key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier;
    if (key->key() == Qt::Key_Escape || ctrlC) {
        if (tncCommandKey()) {
            return true;
        }
        if (watched == txtSent && key->key() == Qt::Key_Escape) {
            if (isSource("AGW Packet Engine")) {
                txtSent->insert(":");
            }
            return true;
        }
    }
    if (watched == txtSent && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        sendLine();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SpottingWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshTerminal(); // what arrived while the window was closed
}

void SpottingWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isSource("None")) {
        trimTerminal();
        txtSent->setFocus();
    }
}

} // namespace wexon::ui