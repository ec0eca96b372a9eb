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
    // Rewrites "log.txt" from the store and reads it back (the main window's
    // rewriteLog). Empty: the store is rewritten and read directly.
    std::function<bool()> rewriteLog;
    // Reads "log.txt" again and refreshes everything built from it (the main
    // window's mnuopen2). Empty: the store reads it directly.
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
    // "&Restore from Archive or Backup" (`mnuRestore`). True when the log was replaced.
    bool restore();
    // "&Graph" (`mnuGraph`).
    void showRateGraph();

    enum class EditResult { Unchanged, Changed, Deleted };
    // "Edit Contact" (`cmdEdit`) for record `record` (1-based): the edit window,
    // then "log.txt" rewritten and read back whatever was done. "Delete Dupe" in
    // the window asks and deletes like deleteContact().
    EditResult editContact(int record);
    // "Delete Contact" (`cmdDelete`): asks "Are you sure?"; on Yes removes record
    // `record` (1-based), rewrites "log.txt" and reads it back. True when deleted.
    bool deleteContact(int record);

    // Where the ADIF export looks for the DXCC table: shared, program data, working.
    QString findDxccTable() const;

  private:
    int runModal(QDialog& dialog);
    bool rewriteAndReload();
    bool reload();
    QString title() const;
    bool writeExport(const QString& path, const std::string& bytes);

    LogOutputServices m_s;
};

inline constexpr const char* kExportSuccessTitle = "Export Successful!";
inline constexpr const char* kAdifFilter = "ADIF Files (*.adi)";

} // namespace wexon::ui
