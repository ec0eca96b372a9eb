#include "ui/main/main_window.h"

#include <algorithm>

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
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/backup.h"
#include "core/bands.h"
#include "core/country_table.h"
#include "core/file_io.h"
#include "core/log_list.h"
#include "core/log_repair.h"
#include "core/number_format.h"
#include "core/shared_preferences.h"
#include "core/text_util.h"
#include "core/utc_offset.h"
#include "ui/main/country_completion.h"
#include "ui/main/log_list_model.h"
#include "ui/main/score_panel.h"
#include "ui/station/help_window.h"
#include "ui/station/station_window.h"

#include "ui/common/frame_fit.h"
#include "ui/common/screen_layout.h"
#include "ui/common/text_conversion.h"
#include "ui/main/main_window_labels.h"

namespace wexon::ui {

namespace {

const char* kDefaultDataTitle = "Error opening default data.";
const char* kDefaultDataText =
    "Error loading default data .  Check to make sure wexonprf.txt is in your working directory.";
const char* kCountryFileTitle = "Error opening country list file.";
const char* kCountryFileText =
    "Error reading country file (arrlpre2.txt).  Using notepad, open this file and check to make "
    "sure that there are quotes around each field and that they are separated by commas.";
const char* kStartMessage = "Select a band from the menu bar and click Log \"Time On\" below!";

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_contest(toPath(m_services.folders.working.isEmpty() ? QStringLiteral(".")
                                                            : m_services.folders.working)) {
    setObjectName("Form1");
    setWindowTitle("Wexon - CQ WPX Contest Logger");
    buildMenus();
    buildControls();
    // Other stations' contacts arrive one at a time, up to many a second; the
    // displays built from them are redrawn once per burst.
    m_remoteRefresh = new QTimer(this);
    m_remoteRefresh->setSingleShot(true);
    m_remoteRefresh->setInterval(kRemoteRefreshMs);
    connect(m_remoteRefresh, &QTimer::timeout, this, [this] { refreshAfterRemoteChange(); });
    m_prefixListRedraw = new QTimer(this);
    m_prefixListRedraw->setSingleShot(true);
    m_prefixListRedraw->setInterval(kPrefixListRedrawMs);
    connect(m_prefixListRedraw, &QTimer::timeout, this, [this] {
        m_scorePanel->showPrefixList(prefixes().displayText());
        m_prefixRevisionShown = m_stationLog.prefixRevision();
    });
    m_contest.addObserver(&m_remoteWatch);
}

void MainWindow::RemoteChangeWatch::remoteContactsChanged() {
    if (!m_window.m_remoteRefresh->isActive()) {
        m_window.m_remoteRefresh->start();
    }
}

bool MainWindow::showsStationLog() const {
    return !m_stationName.empty() || m_contest.remoteCount() > 0;
}

void MainWindow::setStationName(const std::string& name) {
    m_stationName = name;
    refreshAfterRemoteChange();
}

bool MainWindow::refuseRemoteContactChange() {
    const QModelIndex current = ListView1->currentIndex();
    const core::RemoteContact* remote =
        current.isValid() ? m_logListModel->remoteAt(current.row()) : nullptr;
    if (remote == nullptr) {
        return false;
    }
    const QString station =
        remote->station.empty() ? QStringLiteral("another station") : fromLatin1(remote->station);
    m_services.prompts->message("Contact of " + station,
                                fromLatin1(remote->record.call) + " on " +
                                    fromLatin1(remote->record.band) + " was logged by " + station +
                                    ". It belongs to that station's log, so it can be "
                                    "edited or deleted only there.",
                                Prompts::Icon::Information);
    return true;
}

void MainWindow::refreshAfterRemoteChange() {
    m_remoteRefresh->stop();
    const bool viewChanged = m_logListModel->setStationView(showsStationLog(), m_stationName);
    if (viewChanged && m_logListModel->stationView()) {
        ListView1->setColumnWidth(LogListModel::kStationColumn, designToPixels(480));
    }
    // A list of earlier contacts with one call stays until the call box is left.
    if (viewChanged || m_logListModel->showsNewest()) {
        fillLogList();
    }
    labelIncrement();
    labelDisplay();
    timeStats();
    updateNewFlag();
}

void MainWindow::fitToWorkArea() {
    // The form size and the taskbar mode decide where the window goes; the
    // screen layout, when one is installed, knows the screen it is placed on.
    if (auto* layout = findChild<ScreenLayout*>(QString(), Qt::FindDirectChildrenOnly)) {
        layout->placeMainWindow();
        return;
    }
    placeWindowFrame(*this, mainWindowArea(m_contest.prefs.formSizePercent,
                                           m_contest.prefs.taskbarMode, primaryScreenAreas()));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_fittedAfterShow) {
        m_fittedAfterShow = true;
        // Decorations arrive from the window manager some time after the first
        // show; the whole frame, title bar included, is put on its area again
        // once they are known.
        FramePlacement::install(*this, [this] {
            if (!isFullScreen()) {
                fitToWorkArea();
            }
        });
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        emit activated();
    }
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
    setLabelValue(lblDialog, text);
    QPalette pal = lblDialog->palette();
    pal.setColor(QPalette::Window, QColor(colour.isEmpty() ? QString(kDialogTeal) : colour));
    lblDialog->setPalette(pal);
}

MainWindow::~MainWindow() {
    m_contest.removeObserver(&m_remoteWatch);
    m_logListModel->setStore(nullptr);
}

// ---------------------------------------------------------------- start-up

MainWindow::LoadOutcome MainWindow::formLoad() {
    Prompts& prompts = *m_services.prompts;

    m_nextSerialPlain = "001";
    Label14->hide();
    m_contest.prefs.formSizePercent = 100;

    fitToWorkArea();
    setDialog(kStartMessage);
    // The clocks run whatever the rest of the start-up finds.
    Timer1->start();
    Timer2->start();
    timer2Tick();
    for (int i = 0; i < m_logListModel->columnCount(); ++i) {
        ListView1->setColumnWidth(
            i, designToPixels(core::kLogListColumns[static_cast<std::size_t>(i)].width));
    }
    m_partialDupes = true;

    // Temporary files of an interrupted rewrite are the program's own; they go.
    core::clearLeftoverTempFiles(m_contest.workingFolder(), core::kLogFileName);
    core::clearLeftoverTempFiles(m_contest.workingFolder(), core::kPreferenceFileName);
    if (!m_services.folders.shared.isEmpty()) {
        core::clearLeftoverTempFiles(toPath(m_services.folders.shared),
                                     core::kSharedPreferencesFileName);
    }

    // A start-up that stops early leaves the window in use, so the log is read
    // all the same: contacts logged then land after the ones already there, and
    // an edit never rewrites the file from an empty store. Reading never erases.
    auto stopEarly = [this] {
        if (!mnuopen2()) {
            m_closing = true;
            return LoadOutcome::EndProgram;
        }
        return LoadOutcome::StoppedEarly;
    };

    auto prefsLoad = m_contest.loadPreferences();
    if (!prefsLoad.ok) {
        prompts.beep();
        prompts.message(kDefaultDataTitle, kDefaultDataText, Prompts::Icon::Exclamation);
        return stopEarly();
    }
    mnuListPrevious->setChecked(m_contest.prefs.listPrevious == 1);
    setLabelValue(Label2, fromLatin1(m_contest.prefs.ownCall));
    m_opTime = core::OperatingTime(m_contest.prefs.timeOnSeconds);
    m_entry->row().setContestMode(m_contest.prefs.contestMode);
    m_entry->row().setLoggedOn(m_opTime.loggedOn());
    m_entry->row().setVoiceNavigation(m_contest.prefs.voiceNavigation);

    checkUtcOffset();
    // The form-size and taskbar options are applied by the window scaling.
    applyBand();

    if (!loadCountryTable()) {
        return stopEarly();
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
        core::kUtcOffsetTitle,
        fromLatin1(core::utcOffsetQuestion(utc, local, recommended, remembered)),
        fromLatin1(core::formatShortest(recommended)));
    if (!answer) {
        return false;
    }
    auto value = core::parseNumber(toLatin1(*answer));
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
            // The entries read before the fault are kept, so most calls still find
            // their country.
            m_contest.countries = std::move(loaded.table);
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
                                    "The preferences could not be saved: " + fromLatin1(r.error),
                                    Prompts::Icon::Exclamation);
    }
}

void MainWindow::applyBand() {
    const std::string& band = m_contest.prefs.band;
    setLabelValue(Label21, fromLatin1(band));
    savePref();
    for (int i = 0; i < 6; ++i) {
        m_bandItems[i]->setChecked(
            core::equalsIgnoreCase(band, core::kBandWindows[static_cast<std::size_t>(i)].name));
    }
    labelIncrement();
    // The call on the screen is worth what the new band gives.
    if (!m_entry->row().text(core::EntryBox::Call).empty()) {
        runPointsRule();
        updateNewFlag();
    }
    emit bandApplied();
}

void MainWindow::selectBand(const std::string& band) {
    m_contest.prefs.band = band;
    applyBand();
}

void MainWindow::labelIncrement() {
    setNextSerial(fromLatin1(m_contest.nextSerial()));
}

void MainWindow::setNextSerial(const QString& serial) {
    // The plain copy follows changes of the caption; a caption set to what it
    // already shows leaves the copy as it is.
    if (Label4->text() == serial) {
        return;
    }
    setLabelValue(Label4, serial);
    sendToLink("txtBField3", serial);
    QString trimmed = serial.trimmed();
    auto v = core::parseNumber(toLatin1(trimmed));
    m_nextSerialPlain = v ? fromLatin1(core::formatShortest(*v)) : trimmed;
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
    // The station log followed the read as an observer; the displays catch up.
    m_prefixRevisionShown = 0;
    updateNewFlag();
    labelIncrement();
    labelDisplay();
    timeStats();
    return true;
}

void MainWindow::showLogWarnings(const core::Contest::LogLoad& load) {
    QStringList notes;
    if (load.details.lastRecordShort) {
        notes << "The last contact in log.txt is incomplete; it was loaded with its missing "
                 "fields left empty.";
    }
    if (load.details.lastLineUnterminated && !load.details.lastRecordShort &&
        !load.details.lastLineWholeRecord) {
        notes << "The last line of log.txt has no line end: it was cut off, so the last "
                 "contact may be incomplete. Check it in the list.";
    }
    if (load.details.misplacedCount > 0) {
        QStringList where;
        for (const core::MisplacedRecord& m : load.details.misplaced) {
            where << QString("record %1 (line %2)").arg(m.record).arg(m.line);
        }
        notes << QString("%1 contact(s) in log.txt hold values that cannot be where they are "
                         "(a band, date, time or points that are none), first %2. A line "
                         "before them, or their own, has more or fewer than 12 values, so the "
                         "contacts after it are shifted. Correct log.txt with a text editor. "
                         "Until then an edit or delete asks first and keeps a copy in BACKUP.")
                     .arg(load.details.misplacedCount)
                     .arg(where.join(", "));
    }
    if (load.details.outOfRangePoints > 0) {
        notes << QString("%1 contact(s) had points below 0 or above 999; they count 0 points.")
                     .arg(load.details.outOfRangePoints);
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
    m_logListModel->showNewest(m_contest.showAllContacts);
}

bool MainWindow::appendQso(const core::QsoRecord& record) {
    if (!m_contest.logLoaded()) {
        // Nothing touches a log that was not read in this run.
        m_services.prompts->beep();
        m_services.prompts->message("Log Write Error", core::kLogNotLoadedText,
                                    Prompts::Icon::Critical);
        return false;
    }
    // A torn last line (a crash, a full disk) is moved aside first, so the new
    // contact starts a line of its own.
    core::TornTailRepair repair =
        core::repairTornTail(m_contest.pathOf(core::kLogFileName),
                             toPath(m_services.folders.backup), m_services.clock->localNow());
    if (!repair.ok()) {
        m_services.prompts->beep();
        m_services.prompts->message(core::kTornTailErrorTitle,
                                    QString(core::tornTailErrorText(repair)) + "\n" +
                                        fromLatin1(repair.error),
                                    Prompts::Icon::Critical);
        return false;
    }
    if (repair.repaired && !mnuopen2()) {
        // The torn record read at start is no longer in the file; the store, the
        // list and the totals follow the file before the new contact goes in.
        endAfterFileError();
        return false;
    }
    auto outcome = m_contest.appendQso(record);
    switch (outcome.status) {
    case core::Contest::AppendStatus::Appended:
        // The station log (duplicates, prefixes, rates) took the contact as
        // the contest told it.
        fillLogList();
        if (repair.repaired) {
            setDialog(fromLatin1(core::tornTailMessage(repair)));
        }
        return true;
    case core::Contest::AppendStatus::LogNotLoaded:
    case core::Contest::AppendStatus::WriteFailed:
        m_services.prompts->beep();
        m_services.prompts->message("Log Write Error",
                                    "The contact could not be written to log.txt, so it was not "
                                    "logged; it is still in the entry boxes.\n\n" +
                                        fromLatin1(outcome.error),
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
                                        fromLatin1(r.error),
                                    Prompts::Icon::Critical);
        return false;
    }
    return reloadLog();
}

bool MainWindow::reloadLog() {
    if (!mnuopen2()) {
        endAfterFileError();
        return false;
    }
    return true;
}

void MainWindow::confirmNewLog() {
    auto answer = m_services.prompts->input(core::kNewLogTitle, core::kNewLogPrompt, QString());
    if (core::newLogConfirmed(answer ? std::optional<std::string>(toLatin1(*answer))
                                     : std::nullopt)) {
        startNewLog();
    }
    if (!mnuopen2()) {
        m_closing = true;
    }
}

void MainWindow::startNewLog() {
    // Whatever the log holds is copied to the backup folder before it is erased,
    // even when it was not read in this run. Without that copy nothing is erased.
    std::string path = m_contest.pathOf(core::kLogFileName);
    auto existing = core::readWholeFile(path, 256u * 1024u * 1024u);
    if (existing && !existing->empty()) {
        core::FileResult copied =
            core::backupLog(path, toPath(m_services.folders.backup), m_services.clock->localNow());
        if (!copied.ok()) {
            m_services.prompts->beep();
            m_services.prompts->message(
                "Backup Failed",
                "The existing log could not be copied to the backup folder, so it was not "
                "erased and no new log was started.\n\n" +
                    fromLatin1(copied.error),
                Prompts::Icon::Critical);
            return;
        }
    }
    core::FileResult r = core::replaceAtomically(path, {});
    if (!r.ok()) {
        m_services.prompts->message("File Error", "Error opening file.", Prompts::Icon::Critical);
        return;
    }
    m_opTime.reset(m_services.clock->utcNow());
    m_contest.prefs.timeOnSeconds = m_opTime.savedSeconds();
    savePref();
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
    // Every lookup starts from no entry, so an emptied call box leaves no country
    // index or continent behind for the points rule.
    m_foundCountryIndex = 0;
    m_foundContinent.clear();
    core::EntryRow& row = m_entry->row();
    auto found = core::lookupCountry(m_contest.countries, row.text(core::EntryBox::Call));
    if (!found) {
        clearCountryLabels();
        return;
    }
    m_foundCountryIndex = found->index;
    m_foundContinent = found->continent;
    std::string country = "Not Found";
    if (found->found) {
        country = found->country;
        setLabelValue(Label19, fromLatin1(found->continent));
        hdCalc(found->latitude, found->longitude);
    } else {
        clearCountryLabels();
    }
    // Typing into the country box replaces the country.
    const int n = std::min<int>(25, static_cast<int>(core::sanitizeEntryText(country, 40).size()));
    m_entry->apply(row.setBox(core::EntryBox::Cntry, country, n, 0, n));
}

void MainWindow::hdCalc(float latitude, float longitude) {
    auto r = core::hdCalc(m_contest.prefs.ownLatitude, m_contest.prefs.ownLongitude, latitude,
                          longitude);
    setLabelValue(Label22, fromLatin1(r.bearing));
    setLabelValue(Label23, fromLatin1(r.distance));
}

// ---------------------------------------------------------------- station window

void MainWindow::mnuSetupClick() {
    StationWindow station(m_contest.prefs, m_contest.countries, *m_services.settings,
                          *m_services.shared, *m_services.prompts, this);
    runModal(station);
    m_contest.prefs = station.applyTo(m_contest.prefs);
    setLabelValue(Label2, fromLatin1(m_contest.prefs.ownCall));
    m_entry->row().setContestMode(m_contest.prefs.contestMode);
    savePref();
    labelIncrement();
    emit stationSetupAccepted();
}

void MainWindow::mnuClearClick() {
    m_entry->apply(m_entry->row().clear());
}

// ---------------------------------------------------------------- operating time and exit

void MainWindow::setLoggedOn(bool on) {
    if (on != m_opTime.loggedOn()) {
        cmdLogOnClick();
    }
}

float MainWindow::timeOnRunning() {
    if (!m_opTime.loggedOn()) {
        return m_opTime.savedSeconds();
    }
    m_opTime.tick(m_services.clock->utcNow());
    return m_opTime.runningSeconds();
}

void MainWindow::saveOperatingTimeOnExit() {
    if (m_opTime.stopAtExit(m_services.clock->utcNow())) {
        m_contest.prefs.timeOnSeconds = m_opTime.savedSeconds();
        savePref();
    }
}

void MainWindow::endAfterFileError() {
    m_closing = true;
    emit endProgram(1);
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
    m_cwKeyer->clearCwBuffer();
    if (cwSending || m_cwKeyer->isSending()) {
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
        // The guide's text is let go when the window closes; it is read
        // again, as it stands then, when help is asked for next.
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace wexon::ui
