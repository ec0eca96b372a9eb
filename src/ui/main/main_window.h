#pragma once

#include <functional>
#include <string>
#include <utility>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

#include "core/clock.h"
#include "core/contest.h"
#include "core/dupe_index.h"
#include "core/entry_window_keys.h"
#include "core/operating_time.h"
#include "core/prefix_list.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "core/station_log.h"
#include "ui/common/clickable_label.h"
#include "ui/common/prompts.h"
#include "ui/main/entry_row_controller.h"
#include "ui/main/main_window_hooks.h"

class QDialog;
class QMenu;
class QTimer;
class QVBoxLayout;
class QTreeView;

namespace wexon::ui {

class LogListModel;
class ScorePanel;

// Where the program's files live, fixed once at start.
struct AppFolders {
    QString working;     // the folder the program was started in
    QString documents;   // the user's documents folder
    QString programData; // documents + "/TARNO Software/CQ WPX"
    QString shared;      // documents + "/TARNO Software/Shared"
    QString backup;      // program data + "/BACKUP"
};

// What the main window needs from outside: dialogs, clocks, the settings store,
// the shared preferences document and the folders. Modal windows are shown
// through `runModal`, which tests replace to answer them.
struct MainWindowServices {
    Prompts* prompts = nullptr;
    core::Clock* clock = nullptr;
    core::SettingsStore* settings = nullptr;
    core::SharedPreferences* shared = nullptr;
    AppFolders folders;
    std::function<int(QDialog&)> runModal;
    // Screen width in pixels used for column widths; 0 takes the primary screen.
    int screenWidth = 0;
};

// The main window: the entry row, the log list, the menus, and all contest state.
// The entry row's rules live in core::EntryRow, which an EntryRowController
// mirrors onto the boxes; the window carries out what the row asks for (lookups,
// labels, logging) through the EntryRowHost methods.
class MainWindow : public QMainWindow, private EntryRowHost {
    Q_OBJECT
  public:
    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    // The log list's model points into the contest store, which goes before the
    // child widgets do; the model lets go of it first.
    ~MainWindow() override;

    enum class LoadOutcome {
        Ready,        // every start-up step ran
        StoppedEarly, // a start-up step failed and showed its message; the window stays
        EndProgram,   // the log could not be read: the program must end
    };
    // The start-up sequence: preferences, UTC offset, band, country table, station
    // window, the continue-log question and the log.
    LoadOutcome formLoad();

    // --- operations other windows and the rig call ---
    void savePref();
    void applyBand();
    void selectBand(const std::string& band);
    // Reads "log.txt" into the store and refreshes everything built from it.
    // Returns false when the file could not be read (the program must end).
    bool mnuopen2();
    void fillLogList();
    // A rig frequency in MHz: follows its band and keeps it for the next contact.
    void bandFreqConversion(float mhz);
    // A mode reported by the rig. The log keeps one mode for the whole contest and
    // none per contact, so a reading changes nothing.
    void modeSelection(const std::string& /*mode*/) {}
    // Adds a contact (a failed write is reported and leaves the log untouched).
    // True when it was logged.
    // A torn last line of the log is moved aside first and the message line says
    // so once the contact is in. The duplicate index, the prefix list and the
    // rates take the contact as the contest tells them of it.
    bool appendQso(const core::QsoRecord& record);

    // Rewrites "log.txt" from the store and reads it back.
    bool rewriteLog();
    // Reads "log.txt" again after another part changed it; a log that cannot be
    // read then ends the program, as at start-up.
    bool reloadLog();
    void lookupCountry();
    void hdCalc(float latitude, float longitude);
    void mnuSetupClick();
    void mnuClearClick();
    // Logs the contact on the screen (Enter in any box, or a CW message's "!").
    void mains();
    // The log-on button: "Time On" / "Time Off".
    void cmdLogOnClick();
    // The one-second clock tick and the rates (also run by the one-minute timer).
    void timer2Tick();
    void timeStats();
    // The score labels and the prefixes worked.
    void labelDisplay();
    // Rebuilds the whole station log (prefixes, duplicate index, rates) from the
    // store and the other stations' contacts.
    void preFixLoad();
    void mnuPostContestClick();
    // Starts a new, empty log after a typed confirmation; reloads the log in any case.
    void confirmNewLog();
    // Empties "log.txt" after copying it into the backup folder; a log that could
    // not be copied is left as it is, with a message.
    void startNewLog();
    // The log changed in this run: copy it into the backup folder (errors ignored).
    void backup();

    core::Contest& contest() { return m_contest; }
    const core::Contest& contest() const { return m_contest; }
    int foundCountryIndex() const { return m_foundCountryIndex; }
    const std::string& foundContinent() const { return m_foundContinent; }
    const QString& nextSerialPlain() const { return m_nextSerialPlain; }

    // Operating-time state; the log-on button sets it.
    bool loggedOn() const { return m_opTime.loggedOn(); }
    // Logs on or off (as the button does) when the state differs.
    void setLoggedOn(bool on);
    // Operating time so far: earlier on-periods plus the current one.
    float timeOnRunning();

    const core::PrefixList& prefixes() const { return m_stationLog.prefixes(); }
    // The calls of the whole station's log, by band: what the dupe check asks.
    const core::DupeIndex& dupes() const { return m_stationLog.dupes(); }
    // The whole station's log: this station's records and other stations' contacts.
    core::StationLog& stationLog() { return m_stationLog; }

    // The name of this station on the station network; empty when networking is
    // off. With a name, or with other stations' contacts held, the log list shows
    // the whole station's log newest first with a station column.
    void setStationName(const std::string& name);
    const std::string& stationName() const { return m_stationName; }
    // Whether the log list shows the whole station's log (station column).
    bool showsStationLog() const;
    // Edit or Delete with another station's contact selected in the log list:
    // says that the contact belongs to that station's log and must be changed
    // there, and returns true. False when the selection is no such contact.
    bool refuseRemoteContactChange();
    // The displays built from the whole station's log (score, rates, serial,
    // "New" flag, log list) are brought up to date at most this often while
    // other stations' contacts arrive.
    static constexpr int kRemoteRefreshMs = 100;
    static constexpr int kPrefixListRedrawMs = 250;
    EntryRowController& entryRow() { return *m_entry; }
    bool keyboardCwMode() const { return m_keyboardCwMode; }
    bool keyboardRttyMode() const { return m_keyboardRttyMode; }
    bool partialDupesOn() const { return m_partialDupes; }

    // The windows plugged in later; nullptr puts back the do-nothing default.
    void setCwKeyer(CwKeyerHook* keyer);
    void setVoiceKeyer(VoiceKeyerHook* keyer);
    void setVoicePrompter(VoicePrompterHook* prompter);
    void setToolWindows(ToolWindowsHook* windows);
    void setDigitalLink(DigitalLinkHook* link);

    // CW sending state the keyer drives; a close is refused while it sends.
    bool cwSending = false;
    std::string cwBuffer;

  signals:
    // The program must end now (Exit, or a log that cannot be read).
    void endProgram(int exitCode);
    // The station window was closed with its settings taken over (the link to
    // the RTTY program starts here).
    void stationSetupAccepted();
    // The band was set (menu, keys, rig); the band label already shows it.
    void bandApplied();
    // The window became the active one.
    void activated();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildMenus();
    void buildControls();
    void buildStatusControls(QWidget* central, QVBoxLayout* outer);
    bool isEntryBox(const QWidget* w) const;
    QAction* addItem(QMenu* menu, const char* objectName, const QString& caption,
                     bool enabled = false);
    bool checkUtcOffset();
    bool loadCountryTable();
    void askContinueLog();
    void setDialog(const QString& text, const QString& colour = QString());
    void showLogWarnings(const core::Contest::LogLoad& load);
    void labelIncrement();
    void setNextSerial(const QString& serial);
    void setDialogColour(core::MessageColour colour);
    void clearDupeLabelColour();
    void runPointsRule();
    void updateNewFlag();
    // Redraws what the whole station's log feeds, after other stations' changes.
    void refreshAfterRemoteChange();
    void sendToLink(const char* item, const QString& value);
    bool postContestKey(QLineEdit* box, QKeyEvent* key);
    void focusAfter(QWidget* widget);
    void listPreviousToggled(bool checked);
    void cmdDupClick();
    core::WindowKeyState windowKeyState() const;

    // --- what the entry row asks for ---
    bool windowKey(QKeyEvent* event) override;
    void beforeKey(core::EntryBox box) override;
    void boxChanged(core::EntryBox box) override;
    void showMessage(const std::string& text, core::MessageColour colour) override;
    void beep() override;
    void logContact() override { mains(); }
    void partialDupes(int key, const std::string& callBefore) override;
    bool dupCheck() override;
    void completeCountry(int key) override;
    void voicePrompt(const std::string& name) override;
    void callGotFocus() override;
    void clearCountryLabels() override;
    void clearDupeLabel() override;
    void focusNextControl() override;
    void saveOperatingTimeOnExit();
    // "log.txt" could not be read back: the program ends, as it does at start-up.
    void endAfterFileError();
    void formUnload();
    void showHelp();
    QString file(const char* name) const;
    int designToPixels(int design) const;
    // Sizes the window, frame included, to the screen's work area.
    void fitToWorkArea();
    int runModal(QDialog& dialog);

    // Schedules one coalesced refresh when other stations' contacts change.
    class RemoteChangeWatch final : public core::ContactObserver {
      public:
        explicit RemoteChangeWatch(MainWindow& window) : m_window(window) {}
        void remoteContactsChanged() override;

      private:
        MainWindow& m_window;
    };

    MainWindowServices m_services;
    core::Contest m_contest;
    // Observes m_contest before the window's own watch, so it is up to date
    // when the watch runs.
    core::StationLog m_stationLog{m_contest};
    RemoteChangeWatch m_remoteWatch{*this};
    QTimer* m_remoteRefresh = nullptr;
    // Redraws the prefixes-worked text, which lays out thousands of prefixes,
    // at most once per kPrefixListRedrawMs instead of once per new prefix.
    QTimer* m_prefixListRedraw = nullptr;
    std::string m_stationName;

    // Entry row.
    QLineEdit* txtCall = nullptr;
    QLineEdit* txtRSTR = nullptr;
    QLineEdit* txtSec = nullptr;
    QLineEdit* txtRSTS = nullptr;
    QLineEdit* txtCntry = nullptr;
    QLineEdit* txtPref = nullptr;
    QLineEdit* txtPoints = nullptr;
    // Labels.
    QLabel* Label2 = nullptr;          // own call
    QLabel* Label4 = nullptr;          // next serial
    QLabel* Label14 = nullptr;         // "New" prefix flag
    QLabel* Label19 = nullptr;         // continent
    ClickableLabel* Label21 = nullptr; // band
    QLabel* Label22 = nullptr;         // bearing
    QLabel* Label23 = nullptr;         // distance
    QLabel* lblDialog = nullptr;
    QLabel* lblDupe = nullptr;
    QPushButton* cmdLogOn = nullptr;
    QPushButton* cmdDup = nullptr;
    // Post-contest date and time.
    QLineEdit* txtPostConDate = nullptr;
    QLineEdit* txtPostConTime = nullptr;
    QLabel* lblPostConDate = nullptr;
    QLabel* lblPostConTime = nullptr;
    ScorePanel* m_scorePanel = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    EntryRowController* m_entry = nullptr;
    // Log list and its buttons.
    QTreeView* ListView1 = nullptr;
    LogListModel* m_logListModel = nullptr;
    QPushButton* cmdList = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdDelete = nullptr;
    // Menu items the window itself changes.
    QAction* mnuListPrevious = nullptr;
    QAction* mnuPostContest = nullptr;
    QAction* m_bandItems[6] = {};

    int m_foundCountryIndex = 0;
    std::string m_foundContinent;
    QString m_nextSerialPlain = "001";
    bool m_partialDupes = true;
    core::OperatingTime m_opTime;
    // The prefix list revision the prefix display shows.
    std::uint64_t m_prefixRevisionShown = 0;
    bool m_keyboardCwMode = false;
    bool m_keyboardRttyMode = false;
    bool m_closing = false;
    bool m_fittedAfterShow = false;

    CwKeyerHook m_noCwKeyer;
    VoiceKeyerHook m_noVoiceKeyer;
    VoicePrompterHook m_noPrompter;
    ToolWindowsHook m_noToolWindows;
    DigitalLinkHook m_noLink;
    CwKeyerHook* m_cwKeyer = &m_noCwKeyer;
    VoiceKeyerHook* m_voiceKeyer = &m_noVoiceKeyer;
    VoicePrompterHook* m_prompter = &m_noPrompter;
    ToolWindowsHook* m_tools = &m_noToolWindows;
    DigitalLinkHook* m_link = &m_noLink;
};

// Colours of the message line.
inline constexpr const char* kDialogTeal = "#00C0C0";
inline constexpr const char* kDialogRed = "#FF0000";
inline constexpr const char* kDialogYellow = "#FFFFC0";

} // namespace wexon::ui
