#pragma once

#include <string>
#include <vector>

#include <QAbstractTableModel>

#include "core/qso_record.h"
#include "core/remote_contact.h"

namespace wexon::core {
class StationLog;
}

namespace wexon::ui {

// The log list's rows as a view over the QSO store: the model keeps no copy of
// a record and formats a cell when the view asks for it. The newest contacts
// are worked out from the store's size, so showing a log of any length, the
// last 20 or all of it, costs the same and builds no item.
//
// With the whole station's log (a station name set, or other stations'
// contacts held) the rows are that log newest first by date and time, and a
// twelfth column, "Stn", names the station that logged each one. Rows of other
// stations' contacts have no record number.
class LogListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kStationColumn = 11;

    explicit LogListModel(QObject* parent = nullptr);

    // The store the record numbers refer to; it must outlive the model.
    void setStore(const std::vector<core::QsoRecord>* records);
    // The whole station's log, for the station view; it must outlive the model.
    void setStationLog(core::StationLog* log) { m_stationLog = log; }
    // Shows the whole station's log with the station column (this station's
    // rows carry `ownStation`), or only this station's records. True when that
    // changed what the list shows; it is then empty until filled again.
    bool setStationView(bool on, const std::string& ownStation);
    bool stationView() const { return m_stationView; }
    // Whether the rows are the newest contacts (not a list of earlier contacts
    // with one call, nor a sorted copy).
    bool showsNewest() const { return m_mode != Mode::Listed; }
    // The newest records first: all of them, or the last 20.
    void showNewest(bool showAll);
    // The given records (1-based numbers) in the given order, for the list of
    // earlier contacts with one call.
    void showRecords(std::vector<int> numbers);
    // Empties the list.
    void clear();
    // Sorts the rows shown now once by one column, ascending, as text. Rows shown
    // later come in their own order again.
    void sortOnceByColumn(int column);

    // The record number shown in `row`, or 0 outside the list and for another
    // station's contact.
    int recordNumberAt(int row) const;
    // Another station's contact shown in `row`, or null.
    const core::RemoteContact* remoteAt(int row) const;
    // The record numbers of this station's rows, in display order.
    std::vector<int> recordNumbers() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    // One row: this station's record `record`, or (record 0) another station's
    // contact.
    struct Row {
        int record = 0;
        std::string remoteId; // kept by id: a contact may go while it is listed
    };
    enum class Mode { Listed, NewestOwn, NewestStation };

    Row rowAt(int row) const;
    const core::RemoteContact* remoteOf(const Row& row) const;
    int newestCount() const;
    void replaceRows(Mode mode, std::vector<Row> rows);
    std::string cellText(const Row& row, int column) const;

    const std::vector<core::QsoRecord>* m_records = nullptr;
    core::StationLog* m_stationLog = nullptr;
    bool m_stationView = false;
    std::string m_ownStation;
    Mode m_mode = Mode::Listed;
    bool m_showAll = false;
    int m_shownCount = 0;    // rows since the last reset
    std::vector<Row> m_rows; // the rows in Listed mode
};

} // namespace wexon::ui
