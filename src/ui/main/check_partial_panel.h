#pragma once

#include <functional>
#include <string_view>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <QAbstractListModel>
#include <QString>
#include <QWidget>

#include "core/clock.h"
#include "core/settings_store.h"
#include "core/super_check_partial.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QTimer;

namespace wexon::ui {

class MainWindow;

// The settings key that keeps the check-partial list on ("1") or off ("0").
inline constexpr const char* kSuperCheckPartialKey = "SuperCheckPartial";
// Colour of a call already in the log on the current band.
inline constexpr const char* kCheckPartialWorkedColour = "#C00000";

// One call of the list.
struct CheckPartialEntry {
    QString call;
    bool worked = false;  // in the log on the current band
    bool spotted = false; // on the band map or spot list of the current band
};

// The calls the list shows, for the view: the call, its colour and whether it
// was worked on this band.
class CheckPartialModel : public QAbstractListModel {
    Q_OBJECT
  public:
    enum Role { WorkedRole = Qt::UserRole + 1 };

    explicit CheckPartialModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void setEntries(std::vector<CheckPartialEntry> entries, std::vector<int> widths, int height);
    const std::vector<CheckPartialEntry>& entries() const { return m_entries; }

  private:
    std::vector<CheckPartialEntry> m_entries;
    std::vector<int> m_widths; // each entry's cell width in pixels
    int m_height = 0;
};

// The view: the calls flowing left to right over a fixed number of rows, and
// on the right how many more matched than there was room for (or why there is
// no list). It never takes the focus.
class CheckPartialPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRows = 2;

    explicit CheckPartialPanel(QWidget* parent = nullptr);

    // Shows as many of `entries`, in order, as fit; `total` counts every match.
    void setMatches(std::vector<CheckPartialEntry> entries, std::size_t total);
    // A note in place of the count ("MASTER.SCP not found"); empty clears it.
    void setNote(const QString& note);

    const CheckPartialModel& model() const { return *m_model; }
    QListView* view() const { return m_view; }
    QString moreText() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyNote();
    // Fills the model with the calls that fit the view's current width.
    void refit();
    int cellWidth(const QString& call) const;

    QListView* m_view = nullptr;
    QLabel* m_moreLabel = nullptr;
    CheckPartialModel* m_model = nullptr;
    std::vector<CheckPartialEntry> m_candidates;
    std::size_t m_total = 0;
    QString m_note;
    int m_fittedWidth = -1;
};

// Puts the check-partial list into a main window: the Options menu item that
// turns it on and off (kept in the settings store), the view in the window's
// "checkPartialArea", and a search on every change of the call box. The file
// of known calls is read when the list is turned on, and read again when it
// has changed, checked at most every few seconds while a call is typed.
class CheckPartialInstaller : public QObject {
    Q_OBJECT
  public:
    // How many matches are fetched for the view to choose from; more than a
    // window row can ever show.
    static constexpr std::size_t kCandidates = 200;
    static constexpr std::chrono::seconds kRecheckInterval{3};

    CheckPartialInstaller(MainWindow& window, core::SettingsStore& settings,
                          const core::Clock& clock, QObject* parent = nullptr);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    QAction* menuItem() const { return m_menuItem; }
    CheckPartialPanel* panel() const { return m_panel; }
    const core::SuperCheckPartial& calls() const { return m_calls; }
    // The file the calls came from; empty when none was found.
    const std::string& loadedPath() const { return m_loadedPath; }

    // Searches again for the text in the call box.
    void refresh();
    // The file read when the working folder holds none (the system's copy).
    void setSystemFile(std::string path) { m_systemFile = std::move(path); }
    // Whether a call is spotted on the current band; the calls it names are
    // shown in bold. Empty: nothing is marked.
    void setSpottedQuery(std::function<bool(std::string_view)> spotted) {
        m_spotted = std::move(spotted);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Searches when the call differs from the one last searched.
    void callChanged();
    std::string typedCall() const;
    // Reads the file when it is another one, or changed, since the last read.
    void reloadIfChanged();

    MainWindow& m_window;
    std::function<bool(std::string_view)> m_spotted;
    core::SettingsStore& m_settings;
    const core::Clock& m_clock;
    QAction* m_menuItem = nullptr;
    QWidget* m_area = nullptr;
    QLineEdit* m_callBox = nullptr;
    CheckPartialPanel* m_panel = nullptr;
    bool m_enabled = false;
    QTimer* m_deferredCheck = nullptr;
    std::string m_searched; // the call the list was last made for

    core::SuperCheckPartial m_calls;
    std::string m_systemFile = core::kCheckPartialSystemFile;
    std::string m_loadedPath;
    std::optional<core::FileStamp> m_loadedStamp;
    QString m_loadNote;
    std::optional<std::chrono::steady_clock::time_point> m_lastCheck;
};

} // namespace wexon::ui
