#include "ui/station/station_tools.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include "core/text_util.h"
#include "output/pavix_export.h"
#include "ui/keying/cw_strings_window.h"
#include "ui/keying/cw_window.h"
#include "ui/main/log_list_model.h"
#include "ui/rig/rig_band_plan_dialog.h"
#include "ui/rig/rig_control_window.h"
#include "ui/rig/rig_tune_dialog.h"
#include "ui/common/text_conversion.h"

namespace wexon::ui {

namespace {

// The main window's entry row and message line as the CW keyer reads them.
class MainWindowCwHost : public keying::CwHost {
  public:
    explicit MainWindowCwHost(MainWindow& window) : m_window(window) {}
    std::string callText() const override { return boxText("txtCall"); }
    std::string serialText() const override { return labelText("Label4"); }
    std::string reportSentText() const override { return boxText("txtRSTS"); }
    void logContact() override { m_window.mains(); }
    void showDialogText(const std::string& text) override {
        if (auto* label = m_window.findChild<QLabel*>("lblDialog")) {
            label->setText(fromLatin1(text));
        }
    }

  private:
    std::string boxText(const char* name) const {
        auto* box = m_window.findChild<QLineEdit*>(name);
        return box ? toLatin1(box->text()) : std::string();
    }
    std::string labelText(const char* name) const {
        auto* label = m_window.findChild<QLabel*>(name);
        return label ? toLatin1(label->text()) : std::string();
    }
    MainWindow& m_window;
};

} // namespace

StationTools::StationTools(MainWindow& window, MainWindowServices services)
    : m_window(window), m_services(std::move(services)), m_rigHost(window) {
    LogOutputServices out;
    out.contest = &m_window.contest();
    out.prompts = m_services.prompts;
    out.clock = m_services.clock;
    out.settings = m_services.settings;
    out.shared = m_services.shared;
    out.folders = {m_services.folders.working, m_services.folders.programData,
                   m_services.folders.shared, m_services.folders.backup};
    out.parent = &m_window;
    out.programTitle = [this] { return m_window.windowTitle(); };
    out.runModal = m_services.runModal;
    out.reloadLog = [this] { return m_window.reloadLog(); };
    out.prefixCount = [this] { return m_window.prefixes().count(); };
    m_actions = std::make_unique<LogOutputActions>(std::move(out));

    m_list = m_window.findChild<QTreeView*>("ListView1");
    makeCwWindow();
    connectMenus();
    connectEditButtons();
    m_window.setToolWindows(this);
}

StationTools::~StationTools() {
    m_window.setToolWindows(nullptr);
    m_window.setCwKeyer(nullptr);
}

void StationTools::makeCwWindow() {
    m_cwHost = std::make_unique<MainWindowCwHost>(m_window);
    CwWindowServices cs;
    cs.workingFolder = toPath(m_services.folders.working);
    cs.programDataFolder = toPath(m_services.folders.programData);
    cs.ownCall = [this] { return m_window.contest().prefs.ownCall; };
    cs.closeVoicePort = [this] {
        if (m_closeVoicePort) {
            m_closeVoicePort();
        }
    };
    cs.runModal = m_services.runModal;
    cs.focusMainWindow = [this] {
        m_window.activateWindow();
        if (auto* call = m_window.findChild<QWidget*>("txtCall")) {
            call->setFocus();
        }
    };
    m_cw = std::make_unique<CwWindow>(*m_cwHost, *m_services.settings, *m_services.clock,
                                      *m_services.prompts, std::move(cs));
    m_cw->loadCwSettings();
    m_window.setCwKeyer(m_cw.get());
}

void StationTools::showCwWindow() {
    m_cw->showNormal();
    m_cw->raise();
    m_cw->activateWindow();
}

void StationTools::showCwStrings() {
    if (CwStringsWindow* strings = m_cw->stringsWindow()) {
        strings->showNormal();
        strings->raise();
    }
}

void StationTools::showVoiceKeyer() {
    if (m_openers.voiceKeyer) {
        m_openers.voiceKeyer();
    }
}

void StationTools::showSpotting() {
    if (m_openers.spotting) {
        m_openers.spotting();
    }
}

void StationTools::runSpectrumMap() {
    if (m_openers.spectrumMap) {
        m_openers.spectrumMap();
    }
}

int StationTools::runModal(QDialog& dialog) {
    if (m_services.runModal) {
        return m_services.runModal(dialog);
    }
    return dialog.exec();
}

void StationTools::connectMenus() {
    auto wire = [this](const char* name, auto&& action) {
        if (auto* item = m_window.findChild<QAction*>(name)) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, std::forward<decltype(action)>(action));
        }
    };
    wire("mnuWriteSumm", [this] { m_actions->writeCabrillo(); });
    wire("mnuADIF", [this] { m_actions->exportAdif(); });
    wire("mnuPavixExport", [this] { m_actions->exportPavix(); });
    wire("mnuCopyListtoClipboard", [this] { copyListToClipboard(); });
    wire("mnuArchive", [this] { m_actions->archive(); });
    wire("mnuRestore", [this] { m_actions->restore(); });
    wire("mnuGraph", [this] { m_actions->showRateGraph(); });
    // The new-log question copies the log into BACKUP once, after "YES".
    wire("mnuNew", [this] { m_window.confirmNewLog(); });
    wire("mnuRigInterface", [this] { showRigInterface(); });
    wire("mnuCw", [this] { showCwWindow(); });
    wire("mnuPrivileges", [this] { runFreqPrivileges(); });
}

void StationTools::copyListToClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (m_list == nullptr || clipboard == nullptr) {
        return;
    }
    // The list exactly as shown: its titles, then its rows in their order.
    const QAbstractItemModel& model = *m_list->model();
    std::vector<std::string> headers;
    for (int c = 0; c < model.columnCount(); ++c) {
        headers.push_back(toLatin1(model.headerData(c, Qt::Horizontal).toString()));
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(model.rowCount()));
    for (int r = 0; r < model.rowCount(); ++r) {
        std::vector<std::string> cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            cells.push_back(toLatin1(model.index(r, c).data().toString()));
        }
        rows.push_back(std::move(cells));
    }
    clipboard->clear();
    clipboard->setText(fromLatin1(output::listClipboardText(headers, rows)));
}

// ---------------------------------------------------------------- edit and delete

void StationTools::connectEditButtons() {
    auto* edit = m_window.findChild<QPushButton*>("cmdEdit");
    auto* del = m_window.findChild<QPushButton*>("cmdDelete");
    if (m_list == nullptr || edit == nullptr || del == nullptr) {
        return;
    }
    // A click on the list shows the buttons; so does the list losing the focus
    // while the log holds contacts. The call box getting the focus hides them.
    connect(m_list, &QAbstractItemView::clicked, this, [this] {
        if (m_list->model()->rowCount() > 0) {
            showEditButtons(true);
        }
    });
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(edit, &QPushButton::clicked, this, [this] {
        const int record = selectedRecord();
        if (record == 0) {
            if (m_window.refuseRemoteContactChange()) {
                showEditButtons(false);
                return;
            }
            sayNoContactSelected();
            return;
        }
        m_actions->editContact(record);
        showEditButtons(false);
        m_window.fillLogList();
        if (auto* call = m_window.findChild<QWidget*>("txtCall")) {
            call->setFocus();
        }
    });
    connect(del, &QPushButton::clicked, this, [this] {
        const int record = selectedRecord();
        if (record == 0) {
            if (m_window.refuseRemoteContactChange()) {
                showEditButtons(false);
                return;
            }
            sayNoContactSelected();
            return;
        }
        m_actions->deleteContact(record);
        showEditButtons(false);
        if (auto* call = m_window.findChild<QWidget*>("txtCall")) {
            call->setFocus();
        }
    });
}

bool StationTools::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::FocusOut &&
        m_window.contest().qsoCount() > 0) {
        showEditButtons(true);
    }
    if (m_list != nullptr && watched == m_list->viewport() &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton &&
        m_list->model()->rowCount() > 0 && selectedRecord() != 0) {
        // A right click on the list edits the contact under it.
        if (auto* edit = m_window.findChild<QPushButton*>("cmdEdit")) {
            QMetaObject::invokeMethod(edit, &QPushButton::click, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void StationTools::sayNoContactSelected() {
    m_services.prompts->message(kNoContactSelectedTitle, kNoContactSelectedText);
    showEditButtons(false);
    if (auto* call = m_window.findChild<QWidget*>("txtCall")) {
        call->setFocus();
    }
}

void StationTools::showEditButtons(bool show) {
    for (const char* name : {"cmdEdit", "cmdDelete"}) {
        if (auto* button = m_window.findChild<QPushButton*>(name)) {
            button->setVisible(show);
        }
    }
}

int StationTools::selectedRecord() const {
    if (m_list == nullptr) {
        return 0;
    }
    auto* model = qobject_cast<LogListModel*>(m_list->model());
    const QModelIndex current = m_list->currentIndex();
    if (model == nullptr || !current.isValid()) {
        return 0;
    }
    return model->recordNumberAt(current.row());
}

// ---------------------------------------------------------------- rig

RigControlWindow& StationTools::rigWindow() {
    if (!m_rig) {
        RigWindowServices rs;
        rs.prompts = m_services.prompts;
        rs.settings = m_services.settings;
        rs.clock = m_services.clock;
        rs.host = &m_rigHost;
        rs.workingFolder = m_services.folders.working;
        rs.runModal = m_services.runModal;
        m_rig = std::make_unique<RigControlWindow>(rs);
    }
    return *m_rig;
}

void StationTools::startRig() {
    if (!core::equalsIgnoreCase(m_window.contest().prefs.rigName, "None")) {
        rigWindow().command1Click();
    }
}

void StationTools::shutdown() {
    if (m_rig) {
        m_rig->formUnload();
    }
}

void StationTools::showRigInterface() {
    RigControlWindow& rig = rigWindow();
    rig.show();
    rig.raise();
    rig.activateWindow();
}

void StationTools::runRigTune() {
    RigTuneDialog tune(rigWindow(), &m_window);
    runModal(tune);
}

void StationTools::runFreqPrivileges() {
    const int width =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry().width() : 0;
    RigBandPlanDialog chart(m_services.folders.working, *m_services.prompts, &m_window, width);
    if (chart.loaded()) {
        runModal(chart);
    }
}

} // namespace wexon::ui
