#include "ui/output/log_output_actions.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDate>
#include <QDialog>
#include <QGuiApplication>
#include <QLocale>
#include <QTreeWidget>

#include "core/file_io.h"
#include "core/folders.h"
#include "core/log_file.h"
#include "output/adif.h"
#include "output/archive.h"
#include "output/cabrillo.h"
#include "output/contact_edit.h"
#include "output/pavix_export.h"
#include "ui/output/edit_contact_window.h"
#include "ui/output/rate_graph_window.h"
#include "ui/output/summary_sheet_window.h"

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
// A typed text for the ADIF file: a character beyond Latin-1 becomes a control
// byte, which the file's writer replaces visibly and counts, instead of the
// silent "?" of a plain conversion.
std::string toL1ForAdif(const QString& s) {
    std::string out;
    for (char32_t c : s.toUcs4()) {
        out.push_back(c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '\x1a');
    }
    return out;
}
QString fromPath(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

const char* kAdifPowerTitle = "Please enter your transmitter output power.";
const char* kAdifPowerPrompt =
    "Please enter the power value that you would like to record.  This is an optional value that "
    "will be included in each QSO record and displayed in Pavix's power output column.";
const char* kAdifCommentTitle = "Please enter a comment.";
const char* kAdifCommentPrompt =
    "Please enter a comment that you would like to appear on each QSO record.  This is an "
    "optional description that will be displayed in Pavix's Comments column.";
const char* kPavixPowerTitle = "Please enter the output power.";
const char* kPavixPowerPrompt = "Please enter the output power value you would like Pavix to "
                                "assign to the contacts in this contest.";

} // namespace

LogOutputActions::LogOutputActions(LogOutputServices services) : m_s(std::move(services)) {}

int LogOutputActions::runModal(QDialog& dialog) {
    if (m_s.runModal) {
        return m_s.runModal(dialog);
    }
    return dialog.exec();
}

QString LogOutputActions::title() const {
    return m_s.programTitle ? m_s.programTitle() : QString("Wexon");
}

bool LogOutputActions::reload() {
    if (m_s.reloadLog) {
        return m_s.reloadLog();
    }
    return m_s.contest->readLog().opened;
}

bool LogOutputActions::allowRewrite() {
    core::Contest& c = *m_s.contest;
    if (!c.rewriteNeedsConsent()) {
        return true;
    }
    Prompts& p = *m_s.prompts;
    if (!p.question(kMisplacedRewriteTitle, kMisplacedRewriteText)) {
        return false;
    }
    std::string savedAs;
    const core::FileResult copied =
        c.allowDamagedRewrite(toPath(m_s.folders.backup), m_s.clock->localNow(), savedAs);
    if (!copied.ok()) {
        p.beep();
        p.message(kLogUnchangedTitle,
                  "log.txt could not be copied to the backup folder, so it was not changed.\n\n" +
                      L1(copied.error),
                  Prompts::Icon::Critical);
        return false;
    }
    return true;
}

void LogOutputActions::reportUnchanged(const std::string& error, const QString& retryNote) {
    m_s.prompts->beep();
    m_s.prompts->message(kLogUnchangedTitle,
                         "log.txt could not be rewritten, so the contact was not changed: the "
                         "file and the list are as they were." +
                             retryNote + "\n\n" + L1(error),
                         Prompts::Icon::Critical);
}

bool LogOutputActions::writeExport(const QString& path, const std::string& bytes) {
    const core::FileResult r = core::replaceAtomically(toPath(path), bytes);
    if (!r.ok()) {
        m_s.prompts->beep();
        m_s.prompts->message(kWriteFailedTitle, L1(r.error), Prompts::Icon::Critical);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- Cabrillo

void LogOutputActions::writeCabrillo() {
    const core::Contest& c = *m_s.contest;
    CabrilloSource source;
    source.programTitle = toL1(title());
    source.ownCall = c.prefs.ownCall;
    source.contestMode = c.prefs.contestMode;
    source.qsos = &c.qsos();
    source.totalPoints = c.totalPoints();
    source.prefixCount = m_s.prefixCount ? m_s.prefixCount() : output::countPrefixes(c.qsos());
    source.programDataFolder = m_s.folders.programData;
    SummarySheetWindow window(source, *m_s.settings, *m_s.shared, *m_s.prompts, m_s.parent);
    runModal(window);
}

// ---------------------------------------------------------------- ADIF

QString LogOutputActions::findDxccTable() const {
    for (const QString& folder :
         {m_s.folders.shared, m_s.folders.programData, m_s.folders.working}) {
        if (folder.isEmpty()) {
            continue;
        }
        const std::string path = core::joinPath(toPath(folder), output::kDxccFileName);
        if (core::fileExists(path)) {
            return fromPath(path);
        }
    }
    return {};
}

void LogOutputActions::exportAdif() {
    Prompts& p = *m_s.prompts;
    const QString power = p.input(kAdifPowerTitle, kAdifPowerPrompt, "100").value_or(QString());
    const QString comment =
        p.input(kAdifCommentTitle, kAdifCommentPrompt, "CQ WPX Contest").value_or(QString());

    const QString tablePath = findDxccTable();
    auto tableBytes =
        tablePath.isEmpty() ? std::nullopt : core::readWholeFile(toPath(tablePath), 1u << 20);
    if (!tableBytes) {
        p.beep();
        p.message(kWriteFailedTitle,
                  QString("File not found: %1 (looked in %2, %3 and %4)")
                      .arg(output::kDxccFileName, m_s.folders.shared, m_s.folders.programData,
                           m_s.folders.working),
                  Prompts::Icon::Critical);
        return;
    }
    const output::DxccTable dxcc = output::DxccTable::parse(*tableBytes);

    const QString path =
        p.saveFile("Export ADIF Format", m_s.folders.programData, "CQ WPX.adi", kAdifFilter);
    if (path.isEmpty()) {
        return;
    }
    output::AdifExport e;
    e.programTitle = toL1(title());
    const core::DateTime today = m_s.clock->localNow();
    e.programVersion = toL1ForAdif(QCoreApplication::applicationVersion());
    e.exportDate = toL1ForAdif(QLocale::system().toString(QDate(today.year, today.month, today.day),
                                                          QLocale::ShortFormat));
    e.contestMode = m_s.contest->prefs.contestMode;
    e.power = toL1ForAdif(power);
    e.comment = toL1ForAdif(comment);
    output::AdifTextChanges changes;
    if (!writeExport(path, output::writeAdif(m_s.contest->qsos(), e, dxcc, &changes))) {
        return;
    }
    QString text = "The file was successfully written to the directory:\n\n" + path + ".";
    if (changes.any()) {
        text += "\n\nADIF holds plain ASCII text: " + L1(output::adifTextChangesNote(changes));
    }
    p.message(kWrittenTitle, text);
}

// ---------------------------------------------------------------- Pavix and clipboard

void LogOutputActions::exportPavix() {
    Prompts& p = *m_s.prompts;
    const QString power =
        p.input(kPavixPowerTitle, kPavixPowerPrompt, QString()).value_or(QString());
    const QString path =
        fromPath(core::joinPath(toPath(m_s.folders.working), output::kPavixFileName));
    const std::string bytes =
        output::writePavixExport(m_s.contest->qsos(), m_s.contest->prefs.contestMode, toL1(power));
    if (!writeExport(path, bytes)) {
        return;
    }
    p.beep();
    p.message(kExportSuccessTitle, L1(output::pavixSuccessText(toL1(m_s.folders.working))));
}

void LogOutputActions::copyListToClipboard(const QTreeWidget& list) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return;
    }
    clipboard->clear();
    const int columns = list.columnCount();
    std::vector<std::string> headers;
    for (int c = 0; c < columns; ++c) {
        headers.push_back(toL1(list.headerItem()->text(c)));
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(list.topLevelItemCount()));
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list.topLevelItem(i);
        std::vector<std::string> cells;
        for (int c = 0; c < columns; ++c) {
            cells.push_back(toL1(item->text(c)));
        }
        rows.push_back(std::move(cells));
    }
    clipboard->setText(L1(output::listClipboardText(headers, rows)));
}

// ---------------------------------------------------------------- archive and restore

void LogOutputActions::archive() {
    Prompts& p = *m_s.prompts;
    p.message(output::kArchiveInfoTitle, output::kArchiveInfoText);
    core::ensureFolder(toPath(m_s.folders.backup));
    const std::string name =
        output::archiveFileName(m_s.contest->prefs.ownCall, m_s.clock->localNow());
    const QString path =
        p.saveFile("Archive Current Log", m_s.folders.backup, L1(name), output::kLogFilter);
    if (path.isEmpty()) {
        return;
    }
    const core::FileResult r =
        output::copyFileAtomically(m_s.contest->pathOf(core::kLogFileName), toPath(path));
    if (!r.ok()) {
        p.message(output::kArchiveErrorTitle, L1(r.error), Prompts::Icon::Critical);
    }
}

bool LogOutputActions::restore() {
    Prompts& p = *m_s.prompts;
    p.message(output::kRestoreInfoTitle, output::kRestoreInfoText);
    if (m_s.contest->qsoCount() > 0 &&
        !p.question(output::kRestoreQuestionTitle, output::kRestoreQuestionText)) {
        return false;
    }
    core::ensureFolder(toPath(m_s.folders.backup));
    const QString chosen =
        p.openFile("Restore from Archive or Backup", m_s.folders.backup, output::kLogFilter);
    if (chosen.isEmpty()) {
        return false;
    }
    const output::RestoreResult r =
        output::restoreLog(toPath(chosen), m_s.contest->pathOf(core::kLogFileName),
                           toPath(m_s.folders.backup), m_s.clock->localNow());
    if (!r.result.ok()) {
        p.message(output::kRestoreErrorTitle, L1(r.result.error), Prompts::Icon::Critical);
        return false;
    }
    reload();
    if (!r.replacedCopy.empty()) {
        p.message(kRestoredTitle,
                  "The log that was replaced was saved as:\n\n" + fromPath(r.replacedCopy));
    }
    return true;
}

// ---------------------------------------------------------------- rate graph

void LogOutputActions::showRateGraph() {
    RateGraphWindow window(m_s.contest->qsos(), *m_s.prompts, m_s.parent);
    runModal(window);
}

// ---------------------------------------------------------------- edit and delete

LogOutputActions::EditResult LogOutputActions::editContact(int record) {
    core::Contest& c = *m_s.contest;
    if (record < 1 || record > c.qsoCount()) {
        return EditResult::Unchanged;
    }
    // What the window shows: the log, with the edited record as last typed when
    // a save failed, so that nothing typed is lost on a retry.
    std::vector<core::QsoRecord> shown = c.qsos();
    for (;;) {
        EditContactWindow::Outcome outcome;
        core::QsoRecord saved;
        {
            EditContactWindow window(shown, record, c.countries, *m_s.prompts, m_s.parent);
            runModal(window);
            outcome = window.outcome();
            saved = window.savedRecord();
        }
        if (outcome == EditContactWindow::Outcome::DeleteRequested) {
            return deleteContact(record) ? EditResult::Deleted : EditResult::Unchanged;
        }
        if (outcome != EditContactWindow::Outcome::Saved || !allowRewrite()) {
            return EditResult::Unchanged;
        }
        const core::FileResult written = c.replaceQso(record, saved);
        if (written.ok()) {
            reload();
            return EditResult::Changed;
        }
        reportUnchanged(written.error, " The edit window opens again with your changes: press "
                                       "Done to try again, or close it to give up.");
        shown = c.qsos();
        shown[static_cast<std::size_t>(record - 1)] = saved;
    }
}

bool LogOutputActions::deleteContact(int record) {
    core::Contest& c = *m_s.contest;
    const bool yes = m_s.prompts->question(output::kDeleteQuestion, output::kDeleteQuestion);
    if (!yes || record < 1 || record > c.qsoCount() || !allowRewrite()) {
        return false;
    }
    const core::FileResult written = c.removeQso(record);
    if (!written.ok()) {
        reportUnchanged(written.error, QString());
        return false;
    }
    reload();
    return true;
}

} // namespace wexon::ui
