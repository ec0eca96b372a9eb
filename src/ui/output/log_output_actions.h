#pragma once

#include <functional>

#include <QString>

#include "core/clock.h"
#include "core/contest.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "ui/common/prompts.h"

class QDialog;
class QTreeWidget;
class QWidget;

namespace wexon::ui {

// The folders the File-menu operations use (the same paths as the main window's).
struct OutputFolders {
    QString working;
    QString programData;
    QString shared;
    QString backup;
};

// What the operations need from the main window.
struct LogOutputServices {
    core::Contest* contest = nullptr;
    Prompts* prompts = nullptr;
    core::Clock* clock = nullptr;
    core::SettingsStore* settings = nullptr;
    core::SharedPreferences* shared = nullptr;
    OutputFolders folders;
    QWidget* parent = nullptr;
    // The main window's title, which the exports name as their author.
    std::function<QString()> programTitle;
    // Shows a modal window; empty: QDialog::exec(). Tests answer windows here.
    std::function<int(QDialog&)> runModal;
    // Reads "log.txt" again and refreshes everything built from it (the main
    // window's reloadLog). Empty: the store reads it directly.
    std::function<bool()> reloadLog;
    // The multiplier count; empty: counted from the store.
    std::function<int()> prefixCount;
};

// The File-menu operations on the log and the edit and delete buttons of the log
// list. The main window owns one and calls it from its menu items and buttons.
class LogOutputActions {
  public:
    explicit LogOutputActions(LogOutputServices services);

    // "&Write Cabrillo File" (`mnuWriteSumm`): the summary sheet, modally.
    void writeCabrillo();
    // "Export &ADIF Format" (`mnuADIF`).
    void exportAdif();
    // "E&xport for Pavix Import" (`mnuPavixExport`).
    void exportPavix();
    // "&Copy Listed Items to Clipboard" (`mnuCopyListtoClipboard`): the list as shown.
    void copyListToClipboard(const QTreeWidget& list);
    // "Archive Current &Log" (`mnuArchive`).
    void archive();
    // "&Restore from Archive or Backup" (`mnuRestore`). True when the log was
    // replaced; a message then says where the replaced log was saved.
    bool restore();
    // "&Graph" (`mnuGraph`).
    void showRateGraph();

    enum class EditResult { Unchanged, Changed, Deleted };
    // "Edit Contact" (`cmdEdit`) for record `record` (1-based): the edit window;
    // a saved change is written to "log.txt" and taken into the store together,
    // or not at all. When the file cannot be written, the operator is told and
    // the window opens again with the typed values, to retry or to close.
    // "Delete Dupe" in the window asks and deletes like deleteContact().
    EditResult editContact(int record);
    // "Delete Contact" (`cmdDelete`): asks "Are you sure?"; on Yes removes record
    // `record` (1-based) from "log.txt" and the store together, or from neither
    // when the file cannot be written. True when deleted.
    bool deleteContact(int record);

    // Where the ADIF export looks for the DXCC table: shared, program data, working.
    QString findDxccTable() const;

  private:
    int runModal(QDialog& dialog);
    bool reload();
    // A log with out-of-place records is rewritten only after the operator's
    // yes, and only once a copy of it is in BACKUP.
    bool allowRewrite();
    void reportUnchanged(const std::string& error, const QString& retryNote);
    QString title() const;
    bool writeExport(const QString& path, const std::string& bytes);

    LogOutputServices m_s;
};

inline constexpr const char* kExportSuccessTitle = "Export Successful!";
inline constexpr const char* kLogUnchangedTitle = "File Error";
inline constexpr const char* kMisplacedRewriteTitle = "Damaged Log";
inline constexpr const char* kMisplacedRewriteText =
    "log.txt holds contacts whose values are out of place (a line has more or fewer than 12 "
    "values). Writing the log now keeps them as they were read, shifted. A copy of log.txt "
    "goes to BACKUP first.\n\nWrite the change anyway?";
inline constexpr const char* kRestoredTitle = "Log Restored";
inline constexpr const char* kAdifFilter = "ADIF Files (*.adi)";

} // namespace wexon::ui
