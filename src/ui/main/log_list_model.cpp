#include "ui/main/log_list_model.h"

#include <algorithm>

#include "core/log_list.h"
#include "core/station_log.h"

namespace wexon::ui {

namespace {

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LogListModel::LogListModel(QObject* parent) : QAbstractTableModel(parent) {}

void LogListModel::setStore(const std::vector<core::QsoRecord>* records) {
    m_records = records;
    if (records == nullptr) {
        m_stationLog = nullptr;
    }
    clear();
}

bool LogListModel::setStationView(bool on, const std::string& ownStation) {
    on = on && m_stationLog != nullptr;
    if (on == m_stationView && ownStation == m_ownStation) {
        return false;
    }
    // The column count changes: the view takes the model anew.
    beginResetModel();
    m_stationView = on;
    m_ownStation = ownStation;
    m_mode = Mode::Listed;
    m_rows.clear();
    m_shownCount = 0;
    endResetModel();
    return true;
}

void LogListModel::replaceRows(Mode mode, std::vector<Row> rows) {
    beginResetModel();
    m_mode = mode;
    m_rows = std::move(rows);
    m_shownCount = mode == Mode::Listed ? static_cast<int>(m_rows.size()) : newestCount();
    endResetModel();
}

int LogListModel::newestCount() const {
    int count = 0;
    if (m_mode == Mode::NewestStation && m_stationLog != nullptr) {
        count = static_cast<int>(m_stationLog->timeOrder().size());
    } else if (m_records != nullptr) {
        count = static_cast<int>(m_records->size());
    }
    return m_showAll ? count : std::min(count, core::kLogListRecent);
}

void LogListModel::showNewest(bool showAll) {
    m_showAll = showAll;
    replaceRows(m_stationView ? Mode::NewestStation : Mode::NewestOwn, {});
}

void LogListModel::showRecords(std::vector<int> numbers) {
    const int count = m_records ? static_cast<int>(m_records->size()) : 0;
    std::vector<Row> rows;
    rows.reserve(numbers.size());
    for (int n : numbers) {
        if (n >= 1 && n <= count) {
            rows.push_back(Row{n, {}});
        }
    }
    replaceRows(Mode::Listed, std::move(rows));
}

void LogListModel::clear() {
    replaceRows(Mode::Listed, {});
}

LogListModel::Row LogListModel::rowAt(int row) const {
    if (row < 0 || row >= m_shownCount) {
        return {};
    }
    switch (m_mode) {
    case Mode::Listed:
        return m_rows[static_cast<std::size_t>(row)];
    case Mode::NewestOwn: {
        const int count = m_records ? static_cast<int>(m_records->size()) : 0;
        return row < count ? Row{count - row, {}} : Row{};
    }
    case Mode::NewestStation: {
        const auto& order = m_stationLog->timeOrder();
        if (static_cast<std::size_t>(row) >= order.size()) {
            return {};
        }
        const core::StationLog::Row& r = order[order.size() - 1 - static_cast<std::size_t>(row)];
        return r.record > 0 ? Row{r.record, {}} : Row{0, *r.id};
    }
    }
    return {};
}

const core::RemoteContact* LogListModel::remoteOf(const Row& row) const {
    if (row.record != 0 || row.remoteId.empty() || m_stationLog == nullptr) {
        return nullptr;
    }
    return m_stationLog->contest().findRemote(row.remoteId);
}

void LogListModel::sortOnceByColumn(int column) {
    if (column < 0 || column >= columnCount() || m_shownCount < 2) {
        return;
    }
    // Format each key once, then sort the rows by it.
    std::vector<std::pair<std::string, Row>> keyed;
    keyed.reserve(static_cast<std::size_t>(m_shownCount));
    for (int i = 0; i < m_shownCount; ++i) {
        Row row = rowAt(i);
        keyed.emplace_back(cellText(row, column), std::move(row));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Row> rows;
    rows.reserve(keyed.size());
    for (auto& k : keyed) {
        rows.push_back(std::move(k.second));
    }
    replaceRows(Mode::Listed, std::move(rows));
}

int LogListModel::recordNumberAt(int row) const {
    return rowAt(row).record;
}

const core::RemoteContact* LogListModel::remoteAt(int row) const {
    return remoteOf(rowAt(row));
}

std::vector<int> LogListModel::recordNumbers() const {
    std::vector<int> numbers;
    for (int i = 0; i < m_shownCount; ++i) {
        if (const int n = rowAt(i).record; n > 0) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

int LogListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownCount;
}

int LogListModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return static_cast<int>(core::kLogListColumns.size()) + (m_stationView ? 1 : 0);
}

std::string LogListModel::cellText(const Row& row, int column) const {
    if (row.record > 0) {
        if (m_records == nullptr || row.record > static_cast<int>(m_records->size())) {
            return {};
        }
        if (column == kStationColumn) {
            return m_ownStation;
        }
        return core::logListCell((*m_records)[static_cast<std::size_t>(row.record - 1)], row.record,
                                 column);
    }
    const core::RemoteContact* remote = remoteOf(row);
    if (remote == nullptr) {
        return {};
    }
    if (column == kStationColumn) {
        return remote->station;
    }
    // Another station's contact has no number in this station's log.
    return column == 0 ? std::string() : core::logListCell(remote->record, 0, column);
}

QVariant LogListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    return latin1(cellText(rowAt(index.row()), index.column()));
}

QVariant LogListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    if (section == kStationColumn) {
        return QStringLiteral("Stn");
    }
    return QString::fromLatin1(core::kLogListColumns[static_cast<std::size_t>(section)].title);
}

} // namespace wexon::ui
