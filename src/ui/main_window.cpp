#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include "core/backup.h"
#include "core/bands.h"
#include "core/country_table.h"
#include "core/file_io.h"
#include "core/log_list.h"
#include "core/number_format.h"
#include "core/text_util.h"
#include "core/utc_offset.h"
#include "ui/country_completion.h"
#include "ui/help_window.h"
#include "ui/station_window.h"

namespace wexon::ui {

namespace {

QString L1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
std::string toL1(const QString& s) {
    return s.toLatin1().toStdString();
}
// File paths are in the system's own encoding, not the data files' 8-bit texts.
std::string toPath(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

const char* kDefaultDataTitle = "Error opening default data.";
const char* kDefaultDataText =
    "Error loading default data .  Check to make sure wexonprf.txt is in your working directory.";
const char* kCountryFileTitle = "Error opening country list file.";
const char* kCountryFileText =
    "Error reading country file (arrlpre2.txt).  Using notepad, open this file and check to make "
    "sure that there are quotes around each field and that they are separated by commas.";
const char* kStartMessage = "Select a band from the menu bar and click Log \"Time On\" below!";

const char* kBandItemNames[6] = {"mnu160", "mnu80", "mnu40", "mnu20", "mnu15", "mnu10"};
const char* kBandCaptions[6] = {"1&60", "&80", "&40", "&20", "1&5", "&10"};

QLineEdit* makeEntryBox(QWidget* parent, const char* name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_contest(toPath(m_services.folders.working.isEmpty() ? QStringLiteral(".")
                                                            : m_services.folders.working)) {
    setObjectName("Form1");
    setWindowTitle("Wexon - CQ WPX Contest Logger");
    buildMenus();
    buildControls();
}

// ---------------------------------------------------------------- layout

QAction* MainWindow::addItem(QMenu* menu, const char* objectName, const QString& caption,
                             bool enabled) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(objectName);
    a->setEnabled(enabled);
    return a;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* mnuFile = bar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    addItem(mnuFile, "mnuNew", "&New");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuArchive", "Archive Current &Log");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuRestore", "&Restore from Archive or Backup");
    mnuFile->addSeparator();
    QAction* open = addItem(mnuFile, "mnuOpen", "Open", true);
    connect(open, &QAction::triggered, this, [this] { mnuopen2(); });
    addItem(mnuFile, "mnuWriteSumm", "&Write Cabrillo File");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuPavixExport", "E&xport for Pavix Import");
    addItem(mnuFile, "mnuADIF", "Export &ADIF Format");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuCopyListtoClipboard", "&Copy Listed Items to Clipboard");
    mnuFile->addSeparator();
    QAction* exit = addItem(mnuFile, "mnuExit", "&Exit", true);
    connect(exit, &QAction::triggered, this, [this] {
        saveOperatingTimeOnExit();
        m_closing = true;
        emit endProgram(0);
    });

    QMenu* mnuOptions = bar->addMenu("&Options");
    mnuOptions->setObjectName("mnuOptions");
    QMenu* transmit = mnuOptions->addMenu("&Transmit");
    transmit->setObjectName("mnuTrnsmit");
    transmit->menuAction()->setObjectName("mnuTrnsmit");
    addItem(transmit, "mnuCw", "&CW");
    addItem(transmit, "mnuVoice", "&Voice");
    mnuOptions->addSeparator();
    QMenu* appearance = mnuOptions->addMenu("&Appearance");
    appearance->setObjectName("mnuAppearance");
    appearance->menuAction()->setObjectName("mnuAppearance");
    addItem(appearance, "mnuFormSize", "&Form Size");
    addItem(appearance, "mnuTaskbar", "&Taskbar");
    mnuOptions->addSeparator();
    addItem(mnuOptions, "mnuRigInterface", "&Rig Interface");
    mnuOptions->addSeparator();
    QMenu* spotting = mnuOptions->addMenu("&DX Spotting");
    spotting->setObjectName("mnuDXSpottingMain");
    spotting->menuAction()->setObjectName("mnuDXSpottingMain");
    addItem(spotting, "mnuDXSpotting", "&Configure");
    addItem(spotting, "mnuSpectrumMap", "&View Spectrum Map");
    mnuOptions->addSeparator();
    addItem(mnuOptions, "mnuBlind", "&Voice Navigation");
    mnuOptions->addSeparator();
    mnuListPrevious = addItem(mnuOptions, "mnuListPrevious", "&List Previous Contacts");
    mnuListPrevious->setCheckable(true);
    mnuOptions->addSeparator();
    QAction* post = addItem(mnuOptions, "mnuPostContest", "&Post Contest Mode");
    post->setCheckable(true);

    QAction* setup = bar->addAction("&Setup");
    setup->setObjectName("mnuSetup");
    connect(setup, &QAction::triggered, this, [this] { mnuSetupClick(); });

    QAction* clear = bar->addAction("&Clear");
    clear->setObjectName("mnuClear");
    connect(clear, &QAction::triggered, this, [this] { mnuClearClick(); });

    QMenu* mnuBand = bar->addMenu("&Band");
    mnuBand->setObjectName("mnuBand");
    for (int i = 0; i < 6; ++i) {
        QAction* a = addItem(mnuBand, kBandItemNames[i], kBandCaptions[i], true);
        a->setCheckable(true);
        std::string band = core::kBandWindows[static_cast<std::size_t>(i)].name;
        connect(a, &QAction::triggered, this, [this, band] { selectBand(band); });
        m_bandItems[i] = a;
    }
    mnuBand->addSeparator();
    addItem(mnuBand, "mnuPrivileges", "&Frequency Privileges");

    QAction* graph = bar->addAction("&Graph");
    graph->setObjectName("mnuGraph");
    graph->setEnabled(false);

    QAction* help = bar->addAction("&Help");
    help->setObjectName("mnuHelp");
    connect(help, &QAction::triggered, this, [this] { showHelp(); });
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("centralWidget");
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);

    // Own call, band and next serial.
    auto* top = new QHBoxLayout;
    Label2 = makeLabel(central, "Label2");
    QFont big = Label2->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label2->setFont(big);
    Label21 = new ClickableLabel(central);
    Label21->setObjectName("Label21");
    Label21->setFont(big);
    Label21->setToolTip("Click to step to the next band");
    Label21->setCursor(Qt::PointingHandCursor);
    connect(Label21, &ClickableLabel::clicked, this,
            [this] { selectBand(core::nextBand(m_contest.prefs.band)); });
    Label4 = makeLabel(central, "Label4", "001");
    Label4->setFont(big);
    Label14 = makeLabel(central, "Label14", "New");
    Label14->setStyleSheet("color: #C00000; font-weight: bold;");
    Label14->hide();
    top->addWidget(makeLabel(central, "lblOwnCallCaption", "Station:"));
    top->addWidget(Label2);
    top->addSpacing(24);
    top->addWidget(makeLabel(central, "lblBandCaption", "Band:"));
    top->addWidget(Label21);
    top->addSpacing(24);
    top->addWidget(makeLabel(central, "lblSerialCaption", "Next serial #:"));
    top->addWidget(Label4);
    top->addSpacing(24);
    top->addWidget(Label14);
    top->addStretch(1);
    outer->addLayout(top);

    // The entry row, captions above the boxes.
    auto* grid = new QGridLayout;
    txtCall = makeEntryBox(central, "txtCall", 20);
    txtRSTR = makeEntryBox(central, "txtRSTR", 3);
    txtSec = makeEntryBox(central, "txtSec", 6);
    txtRSTS = makeEntryBox(central, "txtRSTS", 3);
    txtCntry = makeEntryBox(central, "txtCntry", 40);
    txtPref = makeEntryBox(central, "txtPref", 12);
    txtPoints = makeEntryBox(central, "txtPoints", 2);
    QFont entryFont = txtCall->font();
    entryFont.setPointSizeF(entryFont.pointSizeF() * 1.4);
    entryFont.setBold(true);
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {txtCall, "Call"},     {txtRSTR, "RST Rcvd"}, {txtSec, "Serial #"}, {txtRSTS, "RST Sent"},
        {txtCntry, "Country"}, {txtPref, "Prefix"},   {txtPoints, "Points"}};
    int col = 0;
    for (const auto& [box, caption] : boxes) {
        box->setFont(entryFont);
        grid->addWidget(new QLabel(caption, central), 0, col);
        grid->addWidget(box, 1, col);
        ++col;
    }
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(4, 4);
    grid->setColumnStretch(5, 2);
    outer->addLayout(grid);
    txtCall->installEventFilter(this);
    txtCntry->installEventFilter(this);
    connect(txtCall, &QLineEdit::textChanged, this, [this] { lookupCountry(); });

    // Continent, bearing and distance of the call on the screen.
    auto* info = new QHBoxLayout;
    Label19 = makeLabel(central, "Label19");
    Label22 = makeLabel(central, "Label22");
    Label23 = makeLabel(central, "Label23");
    lblDupe = makeLabel(central, "lblDupe");
    // Room for the widest value, so the row does not shift while a call is typed.
    const QFontMetrics metrics(Label19->font());
    Label19->setMinimumWidth(metrics.horizontalAdvance(" WWW "));
    Label22->setMinimumWidth(metrics.horizontalAdvance(" 000 "));
    Label23->setMinimumWidth(metrics.horizontalAdvance(" 00,000 "));
    info->addWidget(makeLabel(central, "lblContinentCaption", "Continent:"));
    info->addWidget(Label19);
    info->addSpacing(16);
    info->addWidget(makeLabel(central, "lblBearingCaption", "Bearing:"));
    info->addWidget(Label22);
    info->addSpacing(16);
    info->addWidget(makeLabel(central, "lblDistanceCaption", "Miles:"));
    info->addWidget(Label23);
    info->addSpacing(16);
    info->addWidget(lblDupe, 1);
    outer->addLayout(info);

    lblDialog = makeLabel(central, "lblDialog");
    lblDialog->setAutoFillBackground(true);
    lblDialog->setMargin(4);
    QFont dialogFont = lblDialog->font();
    dialogFont.setBold(true);
    lblDialog->setFont(dialogFont);
    outer->addWidget(lblDialog);
    setDialog(" ");

    // The log list with its buttons.
    ListView1 = new QTreeWidget(central);
    ListView1->setObjectName("ListView1");
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAlternatingRowColors(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList titles;
    for (const auto& c : core::kLogListColumns) {
        titles << c.title;
    }
    ListView1->setHeaderLabels(titles);
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setSortIndicatorShown(false);
    // One click sorts once by that column, as text; later additions are not sorted.
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1->sortItems(column, Qt::AscendingOrder); });
    outer->addWidget(ListView1, 1);

    auto* buttons = new QHBoxLayout;
    cmdList = new QPushButton("Last 20", central);
    cmdList->setObjectName("cmdList");
    connect(cmdList, &QPushButton::clicked, this, [this] {
        m_contest.showAllContacts = !m_contest.showAllContacts;
        cmdList->setText(m_contest.showAllContacts ? "All" : "Last 20");
        fillLogList();
        txtCall->setFocus();
    });
    cmdEdit = new QPushButton("Edit Contact", central);
    cmdEdit->setObjectName("cmdEdit");
    cmdEdit->hide();
    cmdDelete = new QPushButton("Delete Contact", central);
    cmdDelete->setObjectName("cmdDelete");
    cmdDelete->hide();
    buttons->addWidget(cmdList);
    buttons->addStretch(1);
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdDelete);
    outer->addLayout(buttons);
}

int MainWindow::designToPixels(int design) const {
    int width = m_services.screenWidth;
    if (width <= 0) {
        QScreen* screen = QGuiApplication::primaryScreen();
        width = screen ? screen->geometry().width() : 1280;
    }
    return width * design / 9600;
}

int MainWindow::runModal(QDialog& dialog) {
    if (m_services.runModal) {
        return m_services.runModal(dialog);
    }
    return dialog.exec();
}

QString MainWindow::file(const char* name) const {
    return m_services.folders.working + "/" + name;
}

void MainWindow::setDialog(const QString& text, const QString& colour) {
    lblDialog->setText(text);
    QPalette pal = lblDialog->palette();
    pal.setColor(QPalette::Window, QColor(colour.isEmpty() ? QString(kDialogTeal) : colour));
    lblDialog->setPalette(pal);
}

// ---------------------------------------------------------------- start-up

MainWindow::LoadOutcome MainWindow::formLoad() {
    Prompts& prompts = *m_services.prompts;

    setNextSerial("001");
    Label14->hide();
    m_contest.prefs.formSizePercent = 100;
    m_timeOnStart = m_services.clock->localNow();

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        resize(area.size());
        move(area.topLeft());
    }
    setDialog(kStartMessage);
    for (int i = 0; i < ListView1->columnCount(); ++i) {
        ListView1->setColumnWidth(
            i, designToPixels(core::kLogListColumns[static_cast<std::size_t>(i)].width));
    }
    m_partialDupes = true;

    auto prefsLoad = m_contest.loadPreferences();
    if (!prefsLoad.ok) {
        prompts.beep();
        prompts.message(kDefaultDataTitle, kDefaultDataText, Prompts::Icon::Exclamation);
        return LoadOutcome::StoppedEarly;
    }
    mnuListPrevious->setChecked(m_contest.prefs.listPrevious == 1);
    Label2->setText(L1(m_contest.prefs.ownCall));

    checkUtcOffset();
    // The form-size and taskbar options are applied by the window scaling.
    applyBand();

    if (!loadCountryTable()) {
        return LoadOutcome::StoppedEarly;
    }

    mnuSetupClick();

    askContinueLog();
    if (m_closing) {
        return LoadOutcome::EndProgram;
    }
    cmdEdit->hide();
    cmdDelete->hide();
    // The operator types the first call straight away.
    txtCall->setFocus();
    return LoadOutcome::Ready;
}

bool MainWindow::checkUtcOffset() {
    const float remembered = m_contest.prefs.utcOffset;
    core::DateTime utc = m_services.clock->utcNow();
    core::DateTime local = m_services.clock->localNow();
    double recommended = core::recommendedUtcOffset(utc, local);
    if (!core::utcOffsetDiffers(remembered, recommended)) {
        return false;
    }
    auto answer = m_services.prompts->input(
        core::kUtcOffsetTitle, L1(core::utcOffsetQuestion(utc, local, recommended, remembered)),
        L1(core::formatShortest(recommended)));
    if (!answer) {
        return false;
    }
    auto value = core::parseNumber(toL1(*answer));
    if (!value || std::abs(*value) > 24.0) {
        m_contest.prefs.utcOffset = remembered;
        return false;
    }
    m_contest.prefs.utcOffset = static_cast<float>(*value);
    savePref();
    return true;
}

bool MainWindow::loadCountryTable() {
    const QString folders[] = {m_services.folders.shared, m_services.folders.programData,
                               m_services.folders.working};
    for (const QString& folder : folders) {
        if (folder.isEmpty()) {
            continue;
        }
        std::string path = core::joinPath(toPath(folder), core::kCountryFileName);
        if (!core::fileExists(path)) {
            continue;
        }
        auto bytes = core::readWholeFile(path, 16u * 1024u * 1024u);
        auto loaded = bytes ? core::CountryTable::load(*bytes) : core::CountryTable::LoadResult{};
        if (!bytes || !loaded.ok()) {
            m_contest.countries = core::CountryTable{};
            m_services.prompts->beep();
            m_services.prompts->message(kCountryFileTitle, kCountryFileText,
                                        Prompts::Icon::Exclamation);
            return false;
        }
        m_contest.countries = std::move(loaded.table);
        return true;
    }
    // No table anywhere: every call shows "Not Found" and start-up goes on.
    m_contest.countries = core::CountryTable{};
    return true;
}

void MainWindow::askContinueLog() {
    bool yes = m_services.prompts->question(
        "Open existing log?",
        "Do you want to continue an existing contest? (Yes opens your existing log, No erases "
        "any existing log and starts a new log.)");
    if (yes) {
        if (!mnuopen2()) {
            m_closing = true;
        }
    } else {
        confirmNewLog();
    }
}

// ---------------------------------------------------------------- preferences and band

void MainWindow::savePref() {
    core::FileResult r = m_contest.savePreferences();
    if (!r.ok()) {
        m_services.prompts->message("Error saving preferences.",
                                    "The preferences could not be saved: " + L1(r.error),
                                    Prompts::Icon::Exclamation);
    }
}

void MainWindow::applyBand() {
    const std::string& band = m_contest.prefs.band;
    Label21->setText(L1(band));
    savePref();
    for (int i = 0; i < 6; ++i) {
        m_bandItems[i]->setChecked(
            core::equalsIgnoreCase(band, core::kBandWindows[static_cast<std::size_t>(i)].name));
    }
    labelIncrement();
}

void MainWindow::selectBand(const std::string& band) {
    m_contest.prefs.band = band;
    applyBand();
}

void MainWindow::labelIncrement() {
    setNextSerial(L1(m_contest.nextSerial()));
}

void MainWindow::setNextSerial(const QString& serial) {
    Label4->setText(serial);
    QString trimmed = serial.trimmed();
    auto v = core::parseNumber(toL1(trimmed));
    m_nextSerialPlain = v ? L1(core::formatShortest(*v)) : trimmed;
}

void MainWindow::bandFreqConversion(float mhz) {
    if (auto band = m_contest.bandFreqConversion(mhz)) {
        selectBand(*band);
    }
}

// ---------------------------------------------------------------- log

bool MainWindow::mnuopen2() {
    core::Contest::LogLoad load = m_contest.readLog();
    if (!load.opened) {
        std::string path = m_contest.pathOf(core::kLogFileName);
        if (core::fileExists(path) || core::folderExists(path)) {
            m_services.prompts->message("File Error", "Error opening file.",
                                        Prompts::Icon::Critical);
            return false;
        }
        // No log yet (a first start): begin an empty one instead of ending.
        core::FileResult made = m_contest.startEmptyLog();
        if (!made.ok()) {
            m_services.prompts->message("File Error", "Error opening file.",
                                        Prompts::Icon::Critical);
            return false;
        }
        setDialog("No log was found, so a new, empty log has been started.");
    }
    showLogWarnings(load);
    fillLogList();
    show();
    labelIncrement();
    return true;
}

void MainWindow::showLogWarnings(const core::Contest::LogLoad& load) {
    QStringList notes;
    if (load.details.recordsBeyondLimit > 0) {
        notes << QString("The log holds more than %1 contacts; only the first %1 were loaded "
                         "and about %2 more were left in the file.")
                     .arg(core::Contest::kMaxQsos)
                     .arg(load.details.recordsBeyondLimit);
    }
    if (load.details.lastRecordShort) {
        notes << "The last contact in log.txt is incomplete; it was loaded with its missing "
                 "fields left empty.";
    }
    if (load.details.unreadablePoints > 0) {
        notes << QString("%1 contact(s) had points that were not a number; they count 0 points.")
                     .arg(load.details.unreadablePoints);
    }
    if (!notes.isEmpty()) {
        m_services.prompts->message("Log File Warning", notes.join("\n\n"), Prompts::Icon::Warning);
    }
}

void MainWindow::fillLogList() {
    auto rows = core::logListRows(m_contest.qsos(), m_contest.showAllContacts);
    ListView1->setUpdatesEnabled(false);
    ListView1->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const auto& row : rows) {
        QStringList cells;
        for (const auto& cell : row) {
            cells << L1(cell);
        }
        items << new QTreeWidgetItem(cells);
    }
    ListView1->addTopLevelItems(items);
    ListView1->setUpdatesEnabled(true);
}

bool MainWindow::appendQso(const core::QsoRecord& record) {
    auto outcome = m_contest.appendQso(record);
    switch (outcome.status) {
    case core::Contest::AppendStatus::Appended:
        fillLogList();
        return true;
    case core::Contest::AppendStatus::LogFull:
        m_services.prompts->beep();
        m_services.prompts->message(core::kLogFullTitle, core::kLogFullText,
                                    Prompts::Icon::Exclamation);
        return false;
    case core::Contest::AppendStatus::WriteFailed:
        m_services.prompts->beep();
        m_services.prompts->message("Log Write Error",
                                    "The contact could not be written to log.txt, so it was not "
                                    "logged; it is still in the entry boxes.\n\n" +
                                        L1(outcome.error),
                                    Prompts::Icon::Critical);
        return false;
    }
    return false;
}

bool MainWindow::rewriteLog() {
    core::FileResult r = m_contest.rewriteLog();
    if (!r.ok()) {
        m_services.prompts->message("File Error",
                                    "log.txt could not be rewritten; the file on disk is "
                                    "unchanged.\n\n" +
                                        L1(r.error),
                                    Prompts::Icon::Critical);
        return false;
    }
    return mnuopen2();
}

void MainWindow::confirmNewLog() {
    auto answer = m_services.prompts->input(core::kNewLogTitle, core::kNewLogPrompt, QString());
    if (answer && answer->trimmed().toUpper() == "YES") {
        // Whatever the log holds is copied to the backup folder before it is erased,
        // even when it was not read in this run.
        std::string path = m_contest.pathOf(core::kLogFileName);
        auto existing = core::readWholeFile(path, 256u * 1024u * 1024u);
        if (existing && !existing->empty()) {
            core::backupLog(path, toPath(m_services.folders.backup), m_services.clock->localNow());
        }
        m_contest.prefs.timeOnSeconds = 0;
        m_timeOnStart = m_services.clock->localNow();
        core::FileResult r = core::replaceAtomically(path, {});
        if (!r.ok()) {
            m_services.prompts->message("File Error", "Error opening file.",
                                        Prompts::Icon::Critical);
        }
        savePref();
    }
    if (!mnuopen2()) {
        m_closing = true;
    }
}

void MainWindow::backup() {
    if (!core::backupNeeded(m_contest.qsoCount(), m_contest.openedCount())) {
        return;
    }
    core::backupLog(m_contest.pathOf(core::kLogFileName), toPath(m_services.folders.backup),
                    m_services.clock->localNow());
}

// ---------------------------------------------------------------- country

void MainWindow::lookupCountry() {
    auto found = core::lookupCountry(m_contest.countries, toL1(txtCall->text()));
    if (!found) {
        return;
    }
    m_foundCountryIndex = found->index;
    m_foundContinent = found->continent;
    if (found->found) {
        txtCntry->setText(L1(found->country));
        Label19->setText(L1(found->continent));
        hdCalc(found->latitude, found->longitude);
    } else {
        txtCntry->setText("Not Found");
        Label19->clear();
        Label22->clear();
        Label23->clear();
    }
    // Typing into the country box replaces the country.
    txtCntry->setSelection(0, std::min<int>(25, static_cast<int>(txtCntry->text().size())));
}

void MainWindow::hdCalc(float latitude, float longitude) {
    auto r = core::hdCalc(m_contest.prefs.ownLatitude, m_contest.prefs.ownLongitude, latitude,
                          longitude);
    Label22->setText(L1(r.bearing));
    Label23->setText(L1(r.distance));
}

bool MainWindow::countryKeyPress(QKeyEvent* key) {
    const QString text = key->text();
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        return true; // logging from the entry row arrives with the entry workflow
    }
    if (text.isEmpty() || key->key() == Qt::Key_Backspace || text[0].unicode() < 32 ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return false;
    }
    m_foundContinent.clear();
    QChar ch = text[0];
    if (ch == '"' || ch.unicode() > 0xFF) {
        return true; // a quote would break the log line; the log holds 8-bit text only
    }
    int selStart =
        txtCntry->hasSelectedText() ? txtCntry->selectionStart() : txtCntry->cursorPosition();
    if (ch == ' ' && selStart == 0) {
        txtPref->setFocus();
        return true;
    }
    int index = typeCountryKey(*txtCntry, ch, m_contest.countries);
    if (index == 0) {
        return true;
    }
    const core::CountryEntry& e = m_contest.countries.entry(index);
    Label19->setText(L1(e.continent));
    m_foundCountryIndex = index;
    m_foundContinent = e.continent;
    hdCalc(e.latitude, e.longitude);
    return true;
}

// ---------------------------------------------------------------- station window

void MainWindow::mnuSetupClick() {
    StationWindow station(m_contest.prefs, m_contest.countries, *m_services.settings,
                          *m_services.shared, *m_services.prompts, this);
    runModal(station);
    m_contest.prefs = station.applyTo(m_contest.prefs);
    Label2->setText(L1(m_contest.prefs.ownCall));
    // The link to the RTTY program is made by the digital-mode link window.
    savePref();
    labelIncrement();
}

void MainWindow::mnuClearClick() {
    for (QLineEdit* box : {txtCall, txtRSTR, txtSec, txtRSTS, txtCntry, txtPref, txtPoints}) {
        box->clear();
    }
    lblDupe->clear();
    Label19->clear();
    Label22->clear();
    Label23->clear();
    setDialog(" ");
    txtCall->setFocus();
}

// ---------------------------------------------------------------- keys

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == txtCntry) {
            return countryKeyPress(key);
        }
        if (watched == txtCall) {
            const QString text = key->text();
            if (text == "\"") {
                return true;
            }
            if (text.size() == 1 && text[0] >= 'a' && text[0] <= 'z' &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                txtCall->insert(text.toUpper());
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- operating time and exit

void MainWindow::setLoggedOn(bool on) {
    if (on && !m_loggedOn) {
        m_timeOnStart = m_services.clock->localNow();
    } else if (!on && m_loggedOn) {
        m_contest.prefs.timeOnSeconds = timeOnRunning();
        savePref();
    }
    m_loggedOn = on;
}

float MainWindow::timeOnRunning() const {
    if (!m_loggedOn) {
        return m_contest.prefs.timeOnSeconds;
    }
    auto now = m_services.clock->localNow().toEpochSeconds();
    auto elapsed = now - m_timeOnStart.toEpochSeconds();
    if (elapsed < 0) {
        elapsed = 0;
    }
    return m_contest.prefs.timeOnSeconds + static_cast<float>(elapsed);
}

void MainWindow::saveOperatingTimeOnExit() {
    if (m_loggedOn) {
        m_contest.prefs.timeOnSeconds = timeOnRunning();
        savePref();
        m_loggedOn = false;
    }
}

void MainWindow::formUnload() {
    // The tool windows close with the main window; then the log is backed up.
    backup();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    cwBuffer.clear();
    if (cwSending) {
        event->ignore();
        return;
    }
    formUnload();
    saveOperatingTimeOnExit();
    m_closing = true;
    event->accept();
    emit endProgram(0);
}

void MainWindow::showHelp() {
    auto* help = findChild<HelpWindow*>("frmHelp");
    if (help == nullptr) {
        help = new HelpWindow(file("readwexon.txt"), this);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace wexon::ui
