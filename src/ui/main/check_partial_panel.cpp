#include "ui/main/check_partial_panel.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAction>
#include <QBrush>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTimer>

#include "platform/memory_release.h"
#include "ui/common/plain_text.h"
#include "ui/main/main_window.h"

namespace wexon::ui {

namespace {

// Room on each side of a call inside its cell.
constexpr int kCellPadding = 4;
// Room between cells, and around them in the view.
constexpr int kCellSpacing = 2;

} // namespace

// --- the model ---

int CheckPartialModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant CheckPartialModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= m_entries.size()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const CheckPartialEntry& e = m_entries[row];
    switch (role) {
    case Qt::DisplayRole:
        return e.call;
    case Qt::AccessibleTextRole: {
        QString text = e.call;
        if (e.worked) {
            text += QStringLiteral(", worked on this band");
        }
        if (e.spotted) {
            text += QStringLiteral(", spotted on this band");
        }
        return text;
    }
    case Qt::ToolTipRole:
        if (e.worked && e.spotted) {
            return QStringLiteral("Worked on this band; spotted on this band");
        }
        if (e.worked || e.spotted) {
            return e.worked ? QStringLiteral("Worked on this band")
                            : QStringLiteral("Spotted on this band");
        }
        return {};
    case Qt::FontRole:
        if (e.spotted) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ForegroundRole:
        return e.worked ? QVariant(QBrush(QColor(kCheckPartialWorkedColour))) : QVariant();
    case Qt::SizeHintRole:
        return QSize(m_widths[row], m_height);
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignCenter);
    case WorkedRole:
        return e.worked;
    default:
        return {};
    }
}

void CheckPartialModel::setEntries(std::vector<CheckPartialEntry> entries, std::vector<int> widths,
                                   int height) {
    beginResetModel();
    m_entries = std::move(entries);
    m_widths = std::move(widths);
    m_widths.resize(m_entries.size(), 0);
    m_height = height;
    endResetModel();
}

// --- the view ---

CheckPartialPanel::CheckPartialPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("checkPartialPanel");
    setAccessibleName("Known calls containing the call typed");
    setFocusPolicy(Qt::NoFocus);

    m_model = new CheckPartialModel(this);
    m_view = new QListView(this);
    m_view->setObjectName("lstCheckPartial");
    m_view->setAccessibleName("Known calls");
    m_view->setModel(m_model);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->viewport()->setFocusPolicy(Qt::NoFocus);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setFlow(QListView::LeftToRight);
    m_view->setWrapping(true);
    m_view->setResizeMode(QListView::Adjust);
    m_view->setSpacing(kCellSpacing);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setTextElideMode(Qt::ElideNone);
    const int rowHeight = m_view->fontMetrics().height() + 2;
    m_view->setFixedHeight(kRows * (rowHeight + 2 * kCellSpacing) + 2 * kCellSpacing);
    // Every change of the view's width decides anew how many calls fit.
    m_view->viewport()->installEventFilter(this);

    m_moreLabel = plainLabel(QString(), this);
    m_moreLabel->setObjectName("lblCheckPartialMore");
    m_moreLabel->setAccessibleName("Further known calls");
    m_moreLabel->setFocusPolicy(Qt::NoFocus);
    m_moreLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_moreLabel);
    applyNote();
}

bool CheckPartialPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport() && event->type() == QEvent::Resize) {
        refit();
    }
    return QWidget::eventFilter(watched, event);
}

int CheckPartialPanel::cellWidth(const QString& call) const {
    return m_view->fontMetrics().horizontalAdvance(call) + 2 * kCellPadding;
}

void CheckPartialPanel::setMatches(std::vector<CheckPartialEntry> entries, std::size_t total) {
    m_candidates = std::move(entries);
    m_total = std::max(total, m_candidates.size());
    refit();
}

void CheckPartialPanel::setNote(const QString& note) {
    if (note != m_note) {
        m_note = note;
        applyNote();
    }
}

void CheckPartialPanel::applyNote() {
    if (m_note.isEmpty()) {
        // A fixed width for the count, so that the room for calls does not
        // change while a call is typed.
        m_moreLabel->setFixedWidth(m_moreLabel->fontMetrics().horizontalAdvance(" +000000 "));
        m_view->show();
    } else {
        m_moreLabel->setMinimumWidth(0);
        m_moreLabel->setMaximumWidth(QWIDGETSIZE_MAX);
        m_view->hide();
    }
    refit();
}

QString CheckPartialPanel::moreText() const {
    return m_moreLabel->text();
}

void CheckPartialPanel::refit() {
    // Lay the calls out as the view will: left to right with spacing around
    // each cell, a new row when the next cell would cross the right edge, and
    // nothing past the last row.
    const int width = m_view->viewport()->width();
    const int rowHeight = m_view->fontMetrics().height() + 2;
    std::vector<CheckPartialEntry> shown;
    std::vector<int> widths;
    if (m_note.isEmpty()) {
        int row = 0;
        int x = 0;
        for (const CheckPartialEntry& e : m_candidates) {
            const int w = cellWidth(e.call) + 2 * kCellSpacing;
            if (x > 0 && x + w >= width) {
                ++row;
                x = 0;
            }
            if (row >= kRows || w >= width) {
                break;
            }
            shown.push_back(e);
            widths.push_back(w - 2 * kCellSpacing);
            x += w;
        }
    }
    const std::size_t more = m_total - shown.size();
    m_model->setEntries(std::move(shown), std::move(widths), rowHeight);
    if (!m_note.isEmpty()) {
        m_moreLabel->setText(m_note);
    } else {
        m_moreLabel->setText(more > 0 ? QStringLiteral("+%1").arg(more) : QString());
    }
}

// --- the installer ---

CheckPartialInstaller::CheckPartialInstaller(MainWindow& window, core::SettingsStore& settings,
                                             const core::Clock& clock, QObject* parent)
    : QObject(parent), m_window(window), m_settings(settings), m_clock(clock) {
    m_area = window.findChild<QWidget*>("checkPartialArea");
    m_callBox = window.findChild<QLineEdit*>("txtCall");

    m_panel = new CheckPartialPanel(m_area != nullptr ? m_area : &window);
    if (m_area != nullptr && m_area->layout() != nullptr) {
        m_area->layout()->addWidget(m_panel);
    } else {
        m_panel->hide();
    }

    // The menu item goes beside "List Previous Contacts", the other aid to the
    // call being typed.
    auto* options = window.findChild<QMenu*>("mnuOptions");
    QObject* itemOwner = options != nullptr ? static_cast<QObject*>(options) : &window;
    m_menuItem = new QAction("Super &Check Partial", itemOwner);
    m_menuItem->setObjectName("mnuSuperCheckPartial");
    m_menuItem->setCheckable(true);
    if (options != nullptr) {
        const QList<QAction*> items = options->actions();
        QAction* before = nullptr;
        for (qsizetype i = 0; i + 1 < items.size(); ++i) {
            if (items[i]->objectName() == "mnuListPrevious") {
                before = items[i + 1];
            }
        }
        options->insertAction(before, m_menuItem);
    }
    m_enabled = m_settings.read(kSuperCheckPartialKey, "0") == "1";
    m_menuItem->setChecked(m_enabled);
    connect(m_menuItem, &QAction::toggled, this, [this](bool on) { setEnabled(on); });

    // The entry row writes the call box with its signals blocked, so a key
    // typed is seen when it is released, and any other change (a row cleared,
    // a held key let through) when the box is next painted. A text set by
    // other code comes with textChanged.
    m_deferredCheck = new QTimer(this);
    m_deferredCheck->setSingleShot(true);
    m_deferredCheck->setInterval(0);
    connect(m_deferredCheck, &QTimer::timeout, this, [this] { callChanged(); });
    if (m_callBox != nullptr) {
        connect(m_callBox, &QLineEdit::textChanged, this, [this] { callChanged(); });
        m_callBox->installEventFilter(this);
    }
    connect(&window, &MainWindow::bandApplied, this, [this] { refresh(); });
    // The log list is refilled whenever the whole station's log changes (a
    // contact logged here or by another station, edited or deleted, a log
    // read): the calls shown are coloured again.
    if (auto* list = window.findChild<QAbstractItemView*>("ListView1");
        list != nullptr && list->model() != nullptr) {
        QAbstractItemModel* logModel = list->model();
        const auto stale = [this] {
            if (!m_searched.empty()) {
                refresh();
            }
        };
        connect(logModel, &QAbstractItemModel::modelReset, this, stale);
        connect(logModel, &QAbstractItemModel::rowsInserted, this, stale);
        connect(logModel, &QAbstractItemModel::rowsRemoved, this, stale);
        connect(logModel, &QAbstractItemModel::dataChanged, this, stale);
        connect(logModel, &QAbstractItemModel::layoutChanged, this, stale);
    }

    if (m_enabled) {
        m_enabled = false;
        setEnabled(true);
    }
}

void CheckPartialInstaller::setEnabled(bool on) {
    if (m_menuItem->isChecked() != on) {
        m_menuItem->setChecked(on); // comes back here through toggled
        return;
    }
    if (on == m_enabled) {
        return;
    }
    m_enabled = on;
    m_settings.write(kSuperCheckPartialKey, on ? "1" : "0");
    if (m_area != nullptr) {
        m_area->setVisible(on);
    }
    if (on) {
        m_lastCheck.reset(); // look at the file now
        reloadIfChanged();
        refresh();
    } else {
        m_panel->setMatches({}, 0);
        // Switched off, the known calls are let go; switching on reads them again.
        m_calls = core::SuperCheckPartial();
        m_loadedPath.clear();
        m_loadedStamp.reset();
        m_searched.clear();
        platform::releaseFreedMemory();
    }
}

bool CheckPartialInstaller::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_callBox && m_enabled) {
        switch (event->type()) {
        case QEvent::KeyRelease:
            callChanged();
            break;
        case QEvent::Paint:
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            m_deferredCheck->start();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

std::string CheckPartialInstaller::typedCall() const {
    // The entry row's own text of the call box: what the operator typed, as
    // the row keeps it (in capitals, cleaned of what a call box cannot hold).
    return m_window.entryRow().row().text(core::EntryBox::Call);
}

void CheckPartialInstaller::callChanged() {
    if (!m_enabled || typedCall() == m_searched) {
        return;
    }
    const auto now = m_clock.steadyNow();
    if (!m_lastCheck || now - *m_lastCheck >= kRecheckInterval) {
        reloadIfChanged();
    }
    refresh();
}

void CheckPartialInstaller::reloadIfChanged() {
    m_lastCheck = m_clock.steadyNow();
    const std::string path =
        core::checkPartialFilePath(m_window.contest().workingFolder(), m_systemFile);
    if (path.empty()) {
        m_calls = core::SuperCheckPartial();
        m_loadedPath.clear();
        m_loadedStamp.reset();
        m_loadNote = QStringLiteral("%1 not found").arg(core::kCheckPartialFileName);
        return;
    }
    const std::optional<core::FileStamp> stamp = core::fileStampOf(path);
    if (path == m_loadedPath && stamp == m_loadedStamp) {
        return;
    }
    core::SuperCheckPartial fresh;
    const core::SuperCheckPartial::LoadResult r = fresh.loadFile(path);
    if (!r.ok) {
        // The calls read before stay; the file is tried again at the next check.
        m_loadNote = m_calls.empty()
                         ? QStringLiteral("%1 could not be read").arg(core::kCheckPartialFileName)
                         : QString();
        return;
    }
    m_calls = std::move(fresh);
    // What the reading took beyond the calls themselves goes back to the system.
    platform::releaseFreedMemory();
    m_loadedPath = path;
    m_loadedStamp = stamp;
    m_loadNote = m_calls.empty() ? QStringLiteral("No calls in %1").arg(core::kCheckPartialFileName)
                                 : QString();
}

void CheckPartialInstaller::refresh() {
    if (!m_enabled) {
        return;
    }
    m_panel->setNote(m_loadNote);
    m_searched = typedCall();
    const core::SuperCheckPartial::Matches matches = m_calls.search(m_searched, kCandidates);
    if (matches.calls.empty()) {
        m_panel->setMatches({}, matches.total);
        return;
    }
    // Worked means in the whole station's log on this band: the duplicate
    // index answers that in O(log n) per call shown, with no list to gather.
    const core::DupeIndex& worked = m_window.dupes();
    const std::string& band = m_window.contest().prefs.band;
    std::vector<CheckPartialEntry> entries;
    entries.reserve(matches.calls.size());
    for (std::uint32_t i : matches.calls) {
        const std::string_view call = m_calls.call(i);
        entries.push_back({QString::fromLatin1(call.data(), static_cast<qsizetype>(call.size())),
                           worked.hasCallOnBand(call, band), m_spotted && m_spotted(call)});
    }
    m_panel->setMatches(std::move(entries), matches.total);
}

} // namespace wexon::ui
