#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/country_table.h"
#include "core/date_time.h"
#include "core/file_io.h"
#include "core/log_file.h"
#include "core/preferences.h"
#include "core/qso_record.h"
#include "core/remote_contact.h"

namespace wexon::core {

// Told of every change to the contest's contacts, after the change is on disk.
// Record numbers are 1-based, as in the store. Observers must not change the
// store from inside a call.
class ContactObserver {
  public:
    virtual ~ContactObserver() = default;
    virtual void contactAppended(int /*number*/, const QsoRecord& /*record*/) {}
    virtual void contactReplaced(int /*number*/, const QsoRecord& /*before*/,
                                 const QsoRecord& /*after*/) {}
    virtual void contactRemoved(int /*number*/, const QsoRecord& /*removed*/) {}
    // The whole store was replaced (log read again, new log started).
    virtual void logReplaced() {}
    // One other station's contact arrived under `id` (`before` is null) or took
    // the place of the one held under it (`before` is the old one, valid only
    // during the call). Told before remoteContactsChanged().
    virtual void remoteContactPut(const std::string& /*id*/, const RemoteContact* /*before*/,
                                  const RemoteContact& /*now*/) {}
    // The contact under `id` is gone; `removed` is valid only during the call.
    virtual void remoteContactRemoved(const std::string& /*id*/, const RemoteContact& /*removed*/) {
    }
    // Every other station's contact is gone.
    virtual void remoteContactsCleared() {}
    // Other stations' contacts were added, changed or removed (after any of
    // the three above).
    virtual void remoteContactsChanged() {}
};

// The contest state the main window owns for the life of the program: the
// preference record, the QSO store and its totals, and the country table. All
// files are read and written in the working folder.
class Contest {
  public:
    explicit Contest(std::string workingFolder = ".") : m_workingFolder(std::move(workingFolder)) {}

    const std::string& workingFolder() const { return m_workingFolder; }
    std::string pathOf(const std::string& fileName) const;

    Preferences prefs;
    CountryTable countries;

    // --- preferences ---
    struct PrefsLoad {
        bool ok = false;
        std::string error;
    };
    // Reads "wexonprf.txt" into `prefs`; on failure `prefs` keeps what it held.
    PrefsLoad loadPreferences();
    // Rewrites "wexonprf.txt" whole, atomically.
    FileResult savePreferences() const;

    // --- QSO store ---
    const std::vector<QsoRecord>& qsos() const { return m_qsos; }
    int qsoCount() const { return static_cast<int>(m_qsos.size()); }
    // Record `number`, 1-based.
    const QsoRecord& qso(int number) const {
        return m_qsos.at(static_cast<std::size_t>(number - 1));
    }
    // QSO points of the whole station: this station's contacts and the others'.
    std::int32_t totalPoints() const { return m_totalPoints; }
    int openedCount() const { return m_openedCount; }

    // Formatted frequency of the last rig reading; goes into the next contact.
    std::string lastFrequency;
    // Whether the log list shows every record instead of the last 20.
    bool showAllContacts = false;

    struct LogLoad {
        bool opened = false;   // false: the file could not be opened or read
        LogReadResult details; // what the reading found; its records move into the store
    };
    // Reads "log.txt" into a fresh store and puts it in place of the old one only
    // when the file could be read: a failed read leaves the store as it was. A
    // missing file counts as not opened.
    LogLoad readLog();
    // Whether "log.txt" has been read (or an empty one started) in this run.
    // Until then nothing is appended to it and it is never rewritten: a rewrite
    // would replace contacts the program has not seen.
    bool logLoaded() const { return m_logLoaded; }
    // The last read found records whose values are out of place (a line with
    // too many or too few values). A rewrite would make the slide permanent, so
    // rewrites are refused until allowDamagedRewrite() has kept a copy.
    bool rewriteNeedsConsent() const { return m_rewriteNeedsConsent; }
    // After the operator's yes: copies "log.txt" into `backupFolder` (under the
    // next free backup name, `savedAs`) and, when the copy is made, lets
    // rewrites through until the log is read again.
    FileResult allowDamagedRewrite(const std::string& backupFolder, const DateTime& local,
                                   std::string& savedAs);
    // Starts an empty store and an empty "log.txt" (the file is created when
    // missing and left as it is when it exists and is empty).
    FileResult startEmptyLog();

    enum class AppendStatus { Appended, WriteFailed, LogNotLoaded };
    struct AppendOutcome {
        AppendStatus status;
        std::string error;
    };
    // Adds `record` as the newest contact and appends its line to "log.txt",
    // on the disk before returning. The store has no fixed size. A log not yet
    // read or a failed write leaves the store exactly as it was.
    AppendOutcome appendQso(const QsoRecord& record);
    // Replaces record `number` (1-based): "log.txt" is rewritten with the
    // change, and only when that succeeded does the store take it. On any
    // failure the store and the file are as they were.
    FileResult replaceQso(int number, const QsoRecord& record);
    // Removes record `number`, later records moving down one place, on the
    // same all-or-nothing terms.
    FileResult removeQso(int number);
    // Rewrites "log.txt" from the store, atomically. Refused while no log is loaded or consent is
    // needed.
    FileResult rewriteLog() const;

    // --- bands and frequencies ---
    // Stores the formatted frequency as `lastFrequency` and returns the band it
    // falls in when that differs from the current band (the caller selects it).
    // A frequency that is not a finite number is ignored.
    std::optional<std::string> bandFreqConversion(float mhz);

    // The serial number to send next, at least three digits ("001"): one more
    // than the highest serial sent in this sequence (the whole log, or the
    // current band when serials count per band), other stations' contacts
    // included, so that two stations that gave the same number at once both
    // keep it and the next one continues above both. O(1) per call.
    std::string nextSerial() const;

    // --- other stations' contacts ---
    // Adds the contact under `id` (unique in the station's log), or replaces the
    // one already there.
    void putRemote(const std::string& id, RemoteContact contact);
    // False when there was no such contact.
    bool removeRemote(const std::string& id);
    void clearRemotes();
    const RemoteContact* findRemote(const std::string& id) const;
    int remoteCount() const { return static_cast<int>(m_remotes.size()); }
    // Every other station's contact by id.
    const std::map<std::string, RemoteContact, std::less<>>& remotes() const { return m_remotes; }
    // Points of this station's contacts and of the others'.
    std::int32_t ownPoints() const { return m_ownPoints; }

    // --- change observers ---
    void addObserver(ContactObserver* observer);
    void removeObserver(ContactObserver* observer);

  private:
    // Totals and serial bookkeeping of the own store, from scratch.
    void recomputeTotals();
    void recomputeRemoteSerials();
    void noteOwnContact(int number);
    void noteRemoteSerial(const QsoRecord& record);
    void updateTotalPoints();
    // Why "log.txt" may not be rewritten now; empty when it may.
    std::string rewriteRefusal() const;
    // Writes `records` over "log.txt"; on success they become the store.
    FileResult commitStore(std::vector<QsoRecord> records);

    std::string m_workingFolder;
    std::vector<QsoRecord> m_qsos;
    std::int32_t m_totalPoints = 0;
    std::int32_t m_ownPoints = 0;
    double m_ownPointSum = 0;
    double m_remotePointSum = 0;
    // Index of the newest own record on each band (upper-cased band name).
    std::map<std::string, std::size_t, std::less<>> m_newestOwnOnBand;
    // Highest whole serial other stations sent, over all bands and per band.
    long long m_remoteSerialMax = 0;
    std::map<std::string, long long, std::less<>> m_remoteSerialMaxOnBand;
    std::map<std::string, RemoteContact, std::less<>> m_remotes;
    std::vector<ContactObserver*> m_observers;
    template <class F> void notify(F&& f) const {
        for (ContactObserver* o : m_observers) {
            f(*o);
        }
    }
    int m_openedCount = 0;
    bool m_logLoaded = false;
    bool m_rewriteNeedsConsent = false;
};

inline constexpr const char* kLogNotLoadedText =
    "log.txt has not been read in this run, so nothing is written to it. Open it with File > "
    "Open, then log the contact again.";

} // namespace wexon::core
