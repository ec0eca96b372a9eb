#include "ui/link/digital_link_window.h"

#include <algorithm>

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>

#include "core/entry_box.h"
#include "core/number_format.h"
#include "core/text_util.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_labels.h"
#include "ui/station/station_window.h"
#include "ui/common/text_conversion.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

constexpr const char* kConnectedTitle = "Connected with Vemo!";
constexpr const char* kConnectedText =
    "Connected with Vemo!\n\nFor best display of both programs on your screen, click Options > "
    "Appearance > Form Size and enter 85 from this program's menu options.";
constexpr const char* kNotFoundTitle = "Unable to find Vemo RTTY.";
constexpr const char* kNotFoundAdvice = "Please start Vemo RTTY and click Setup to try again!";
constexpr const char* kLostMessage =
    "The link with Vemo RTTY was lost.  Start Vemo RTTY and click Setup to connect again.";
constexpr const char* kStalledMessage =
    "The link with Vemo RTTY was dropped: Vemo RTTY stopped reading what is sent to it.  Click "
    "Setup to connect again.";
constexpr const char* kNoRuntimeFolder =
    "There is no private runtime folder (XDG_RUNTIME_DIR) to hold the link's socket.";

// The code a key goes by in the link: the keyboard's own key numbers (F1 =
// 112, arrows 37 to 40, letters their capitals, punctuation the codes of its
// US-keyboard key). 0 for a key that has none.
int linkKeyCodeOf(const QKeyEvent* e) {
    const int k = e->key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) {
        return 112 + (k - Qt::Key_F1);
    }
    if ((e->modifiers() & Qt::KeypadModifier) != 0) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9) {
            return 96 + (k - Qt::Key_0);
        }
        switch (k) {
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Period:
            return 110;
        case Qt::Key_Slash:
            return 111;
        default:
            break;
        }
    }
    switch (k) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Meta:
        return 91;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    default:
        break;
    }
    // Below 128 a Qt key is the character itself (letters as capitals).
    return k > 0 && k < 128 ? link::keyCodeForCharacter(static_cast<char32_t>(k)) : 0;
}

bool isParentOf(const QObject* ancestor, const QObject* object) {
    for (const QObject* o = object != nullptr ? object->parent() : nullptr; o != nullptr;
         o = o->parent()) {
        if (o == ancestor) {
            return true;
        }
    }
    return false;
}

} // namespace

DigitalLinkWindow::DigitalLinkWindow(MainWindow& window, core::SettingsStore& settings,
                                     Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_window(window), m_settings(settings), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmDigitalSource"));
    setWindowTitle(QStringLiteral("Vemo RTTY Link"));
    buildControls();

    m_link.onChunk = [this](const QByteArray& chunk) { received(chunk); };
    m_link.onClosed = [this](platform::LocalLink::Loss loss) { partnerLost(loss); };

    connect(m_fldigi, &FldigiLinkPanel::linkLost, this, [this](const QString& text) {
        m_keyboardMode = false;
        showOnMessageLine(text);
    });
    connect(m_fldigi, &FldigiLinkPanel::programChanged, this, [this] {
        // One program at a time: choosing fldigi drops the local socket.
        if (m_fldigi->fldigiChosen() && m_session.linked()) {
            m_session.setLinked(false);
            m_link.close();
            showStatus(QStringLiteral("Not connected."));
        }
    });
    connect(&m_window, &MainWindow::stationSetupAccepted, this, &DigitalLinkWindow::startLink);
    // The window is also reachable from the Options menu, so that the program
    // (Vemo RTTY or fldigi) can be chosen before any link is started.
    if (auto* options = m_window.findChild<QMenu*>(QStringLiteral("mnuOptions"))) {
        QAction* item = options->addAction(QStringLiteral("RTTY Program &Link..."));
        item->setObjectName(QStringLiteral("mnuDigitalLink"));
        connect(item, &QAction::triggered, this, [this] {
            show();
            raise();
            activateWindow();
        });
    }
    m_window.setDigitalLink(this);
    // Every key that goes down in the main window is seen here first, before
    // the window's own key handling decides what it does.
    qApp->installEventFilter(this);
}

DigitalLinkWindow::~DigitalLinkWindow() {
    qApp->removeEventFilter(this);
    m_window.setDigitalLink(nullptr);
    m_link.onChunk = nullptr;
    m_link.onClosed = nullptr;
    m_link.close();
}

void DigitalLinkWindow::buildControls() {
    auto* grid = new QGridLayout(this);
    m_outCaption = plainLabel(QStringLiteral("Sent to Vemo RTTY"), this);
    m_outCaption->setObjectName(QStringLiteral("Label1"));
    m_inCaption = plainLabel(QStringLiteral("Received from Vemo RTTY"), this);
    m_inCaption->setObjectName(QStringLiteral("Label2"));
    grid->addWidget(m_outCaption, 0, 0);
    grid->addWidget(m_inCaption, 0, 1);

    int outRow = 1;
    int inRow = 1;
    for (std::size_t i = 0; i < link::kItems.size(); ++i) {
        const link::LinkItem& item = link::kItems[i];
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(item.name));
        box->setAccessibleName(QString::fromLatin1(item.name));
        // The boxes show the link; the program writes them, nobody types there.
        box->setReadOnly(true);
        if (item.direction == link::Direction::Out) {
            grid->addWidget(box, outRow++, 0);
        } else {
            grid->addWidget(box, inRow++, 1);
        }
        m_boxes[i] = box;
    }

    m_reconnectButton = new QPushButton(QStringLiteral("Reconnect"), this);
    m_reconnectButton->setObjectName(QStringLiteral("Command1"));
    m_reconnectButton->setAccessibleName(QStringLiteral("Reconnect"));
    connect(m_reconnectButton, &QPushButton::clicked, this, &DigitalLinkWindow::command1Click);
    const int lastRow = std::max(outRow, inRow);
    grid->addWidget(m_reconnectButton, lastRow, 0, 1, 2);

    m_statusLabel = plainLabel(QStringLiteral("Not connected."), this);
    m_statusLabel->setObjectName(QStringLiteral("lblLinkStatus"));
    // It shows socket paths and the system's error texts: never rich text.
    m_statusLabel->setTextFormat(Qt::PlainText);
    m_statusLabel->setWordWrap(true);
    grid->addWidget(m_statusLabel, lastRow + 1, 0, 1, 2);

    m_fldigi = new FldigiLinkPanel(m_window, m_settings, m_prompts, this);
    grid->addWidget(m_fldigi, lastRow + 2, 0, 1, 2);
}

QString DigitalLinkWindow::serverName() const {
    // Qt makes the runtime folder (XDG_RUNTIME_DIR, or a private one) readable
    // by this user only, so nobody else can put a socket there.
    const QByteArray runtime =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toLocal8Bit();
    const std::string path = link::linkSocketPath(
        m_settings.read(kVemoLinkServerKey, ""),
        std::string_view(runtime.constData(), static_cast<std::size_t>(runtime.size())));
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

QString DigitalLinkWindow::statusText() const {
    return m_statusLabel->text();
}

void DigitalLinkWindow::showStatus(const QString& text) {
    m_statusLabel->setText(text);
}

std::string DigitalLinkWindow::contestMode() const {
    return m_window.contest().prefs.contestMode;
}

// ---------------------------------------------------------------- connecting

void DigitalLinkWindow::connectWithVemo() {
    m_session.clearBoxes();
    m_session.resetReader();
    m_keyPending = false;
    showBoxes();
    QString error;
    const QString path = serverName();
    if (path.isEmpty()) {
        m_link.close();
        error = QString::fromLatin1(kNoRuntimeFolder);
    }
    if (path.isEmpty() || !m_link.open(path, kConnectTimeoutMs, error)) {
        m_session.setLinked(false);
        showStatus(QStringLiteral("Not connected: ") + error);
        m_prompts.message(QString::fromLatin1(kNotFoundTitle),
                          error + "\n\n" + QString::fromLatin1(kNotFoundAdvice),
                          Prompts::Icon::Critical);
        return;
    }
    m_session.setLinked(true);
    showStatus(QStringLiteral("Connected to ") + path);
    m_prompts.message(QString::fromLatin1(kConnectedTitle), QString::fromLatin1(kConnectedText),
                      Prompts::Icon::Information);
    QCoreApplication::processEvents();
    sendToVemo();
}

void DigitalLinkWindow::sendToVemo() {
    const auto* serial = m_window.findChild<QLabel*>(QStringLiteral("Label4"));
    const std::string serialText = serial != nullptr ? latin1Only(serial->text()) : std::string();
    send(m_session.sendOwnCallAndSerial(contestMode(), m_window.contest().prefs.ownCall,
                                        serialText));
}

void DigitalLinkWindow::command1Click() {
    if (contestMode() == "RY") {
        connectChosenProgram();
    }
}

void DigitalLinkWindow::connectChosenProgram() {
    if (!m_fldigi->fldigiChosen()) {
        connectWithVemo();
        return;
    }
    // The receive text is read on this window, so it is shown.
    m_keyboardMode = false;
    show();
    raise();
    m_fldigi->start();
}

void DigitalLinkWindow::startLink() {
    if (!core::equalsIgnoreCase(core::trim(contestMode()), "RY")) {
        return;
    }
    // Read as the station window reads it: any number but 0 means checked.
    if (core::leadingNumber(m_settings.read(kUserVemoOptionKey, "0")) == 0.0) {
        return;
    }
    QCoreApplication::processEvents();
    if (m_fldigi->fldigiChosen()) {
        connectChosenProgram();
        return;
    }
    connectWithVemo();
    if (m_session.linked()) {
        sendToVemo();
    }
}

// ---------------------------------------------------------------- sending

void DigitalLinkWindow::send(const std::string& bytes) {
    if (bytes.empty()) {
        return;
    }
    showBoxes();
    m_link.write(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    m_link.flush();
}

bool DigitalLinkWindow::connected() const {
    return m_fldigi->fldigiChosen() ? m_fldigi->linked() : m_session.linked();
}

void DigitalLinkWindow::setKeyboardMode(bool on) {
    m_keyboardMode = on;
    if (m_fldigi->fldigiChosen()) {
        m_fldigi->setKeyboardMode(on);
    }
}

void DigitalLinkWindow::sendItem(const std::string& item, const std::string& value) {
    if (m_fldigi->fldigiChosen()) {
        if (link::maySend(contestMode(), m_fldigi->linked())) {
            m_fldigi->sendItem(item, value);
        }
        return;
    }
    send(m_session.write(contestMode(), item, value));
}

void DigitalLinkWindow::passKey(int keyCode) {
    if (m_fldigi->fldigiChosen()) {
        if (link::maySend(contestMode(), m_fldigi->linked())) {
            m_fldigi->passKey(keyCode);
        }
        return;
    }
    // The main window hands over the F-keys of a key event already copied
    // here when it went down.
    if (m_keyPending && link::linkKeyCode(m_lastKeyCode) == link::linkKeyCode(keyCode)) {
        return;
    }
    send(m_session.keyDown(contestMode(), keyCode));
}

bool DigitalLinkWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        m_keyPending = false;
        m_lastKeyEvent = nullptr;
    } else if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == &m_window) {
            keyDown(watched, static_cast<QKeyEvent*>(event));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DigitalLinkWindow::keyDown(QObject* receiver, QKeyEvent* event) {
    // A key a widget did not take travels on to its parents as the same event.
    if (m_keyPending && event == m_lastKeyEvent && isParentOf(receiver, m_lastKeyReceiver)) {
        m_lastKeyReceiver = receiver;
        return;
    }
    const int code = linkKeyCodeOf(event);
    m_lastKeyEvent = event;
    m_lastKeyReceiver = receiver;
    m_lastKeyCode = code;
    m_keyPending = true;
    if (m_fldigi->fldigiChosen()) {
        // fldigi takes no key codes; in keyboard RTTY the typed text is sent.
        if (m_keyboardMode && link::maySend(contestMode(), m_fldigi->linked()) &&
            (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
            m_fldigi->keyboardText(event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
                                       ? QStringLiteral("\n")
                                       : event->text());
        }
        return;
    }
    if (code != 0) {
        send(m_session.keyDown(contestMode(), code));
    }
}

// ---------------------------------------------------------------- receiving

void DigitalLinkWindow::received(const QByteArray& chunk) {
    const auto changes =
        m_session.receive(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
    showBoxes();
    EntryRowController& entry = m_window.entryRow();
    for (const link::LinkSession::Incoming& change : changes) {
        core::EntryBox box = core::EntryBox::Call;
        switch (change.target) {
        case link::LinkSession::Target::Call:
            box = core::EntryBox::Call;
            break;
        case link::LinkSession::Target::ReportReceived:
            box = core::EntryBox::Rstr;
            break;
        case link::LinkSession::Target::Section:
            box = core::EntryBox::Sec;
            break;
        }
        entry.apply(entry.row().setText(box, change.text));
    }
}

void DigitalLinkWindow::partnerLost(platform::LocalLink::Loss loss) {
    if (!m_session.linked()) {
        return;
    }
    m_session.setLinked(false);
    m_keyboardMode = false;
    const QString text = QString::fromLatin1(
        loss == platform::LocalLink::Loss::Stalled ? kStalledMessage : kLostMessage);
    showStatus(text);
    showOnMessageLine(text);
}

void DigitalLinkWindow::showOnMessageLine(const QString& text) {
    if (auto* dialog = m_window.findChild<QLabel*>(QStringLiteral("lblDialog"))) {
        setLabelValue(dialog, text);
        QPalette pal = dialog->palette();
        pal.setColor(QPalette::Window, QColor(QString::fromLatin1(kDialogRed)));
        dialog->setPalette(pal);
    }
}

void DigitalLinkWindow::showBoxes() {
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        const QString text = fromLatin1(m_session.box(i));
        if (m_boxes[i]->text() != text) {
            m_boxes[i]->setText(text);
        }
    }
}

} // namespace wexon::ui
