#include "ui/main/main_window.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

#include <QLabel>
#include <QTimer>

#include "core/bands.h"
#include "core/log_list.h"
#include "core/operating_time.h"
#include "ui/common/plain_text.h"
#include "ui/common/text_conversion.h"
#include "ui/main/entry_row_controller.h"
#include "ui/main/log_list_model.h"
#include "ui/main/main_window_labels.h"
#include "ui/main/score_panel.h"

// The main window's menus and controls: where each one sits and what it is
// connected to.

namespace wexon::ui {

namespace {

const char* kBandItemNames[6] = {"mnu160", "mnu80", "mnu40", "mnu20", "mnu15", "mnu10"};
const char* kBandCaptions[6] = {"1&60", "&80", "&40", "&20", "1&5", "&10"};

QLineEdit* makeEntryBox(QWidget* parent, const char* name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

// Every label has an accessible name: its caption, or for a value label what
// the value is.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = QString(),
                  const QString& spoken = QString()) {
    auto* label = plainLabel(text, parent);
    label->setObjectName(name);
    if (spoken.isEmpty()) {
        label->setAccessibleName(text);
    } else {
        setLabelCaption(label, spoken);
    }
    return label;
}

// Paints a line edit's selection only while the box has the focus. A line
// edit draws its selection whether or not it has the focus, so a selection
// left for typing over (the looked-up country, the default reports) would
// still show while the operator types in the call box. The selection colours
// are made the box's own background and text colours whenever the focus is
// elsewhere, and given back when it returns.
class SelectionWithFocusOnly : public QObject {
  public:
    explicit SelectionWithFocusOnly(QLineEdit* box) : QObject(box), m_shown(box->palette()) {
        m_hidden = m_shown;
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            m_hidden.setColor(group, QPalette::Highlight, m_shown.color(group, QPalette::Base));
            m_hidden.setColor(group, QPalette::HighlightedText,
                              m_shown.color(group, QPalette::Text));
        }
        // In a window that is not active no selection shows at all.
        m_shown.setColor(QPalette::Inactive, QPalette::Highlight,
                         m_hidden.color(QPalette::Inactive, QPalette::Highlight));
        m_shown.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         m_hidden.color(QPalette::Inactive, QPalette::HighlightedText));
        box->setPalette(box->hasFocus() ? m_shown : m_hidden);
        box->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::FocusIn) {
            box->setPalette(m_shown);
        } else if (event->type() == QEvent::FocusOut) {
            box->setPalette(m_hidden);
        }
        return false;
    }

  private:
    QPalette m_shown;
    QPalette m_hidden;
};

} // namespace

bool MainWindow::isEntryBox(const QWidget* w) const {
    for (core::EntryBox box : core::kEntryBoxes) {
        if (m_entry->widget(box) == w) {
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- layout

QAction* MainWindow::addItem(QMenu* menu, const char* objectName, const QString& caption,
                             bool enabled) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(objectName);
    a->setEnabled(enabled);
    return a;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* mnuFile = bar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    addItem(mnuFile, "mnuNew", "&New");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuArchive", "Archive Current &Log");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuRestore", "&Restore from Archive or Backup");
    mnuFile->addSeparator();
    QAction* open = addItem(mnuFile, "mnuOpen", "Open", true);
    connect(open, &QAction::triggered, this, [this] {
        if (!mnuopen2()) {
            endAfterFileError();
        }
    });
    addItem(mnuFile, "mnuWriteSumm", "&Write Cabrillo File");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuPavixExport", "E&xport for Pavix Import");
    addItem(mnuFile, "mnuADIF", "Export &ADIF Format");
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuCopyListtoClipboard", "&Copy Listed Items to Clipboard");
    mnuFile->addSeparator();
    QAction* exit = addItem(mnuFile, "mnuExit", "&Exit", true);
    connect(exit, &QAction::triggered, this, [this] {
        saveOperatingTimeOnExit();
        m_closing = true;
        emit endProgram(0);
    });

    QMenu* mnuOptions = bar->addMenu("&Options");
    mnuOptions->setObjectName("mnuOptions");
    QMenu* transmit = mnuOptions->addMenu("&Transmit");
    transmit->setObjectName("mnuTrnsmit");
    transmit->menuAction()->setObjectName("mnuTrnsmit");
    addItem(transmit, "mnuCw", "&CW");
    addItem(transmit, "mnuVoice", "&Voice");
    mnuOptions->addSeparator();
    QMenu* appearance = mnuOptions->addMenu("&Appearance");
    appearance->setObjectName("mnuAppearance");
    appearance->menuAction()->setObjectName("mnuAppearance");
    addItem(appearance, "mnuFormSize", "&Form Size");
    addItem(appearance, "mnuTaskbar", "&Taskbar");
    mnuOptions->addSeparator();
    addItem(mnuOptions, "mnuRigInterface", "&Rig Interface");
    mnuOptions->addSeparator();
    QMenu* spotting = mnuOptions->addMenu("&DX Spotting");
    spotting->setObjectName("mnuDXSpottingMain");
    spotting->menuAction()->setObjectName("mnuDXSpottingMain");
    addItem(spotting, "mnuDXSpotting", "&Configure");
    addItem(spotting, "mnuSpectrumMap", "&View Spectrum Map");
    mnuOptions->addSeparator();
    addItem(mnuOptions, "mnuBlind", "&Voice Navigation");
    mnuOptions->addSeparator();
    mnuListPrevious = addItem(mnuOptions, "mnuListPrevious", "&List Previous Contacts", true);
    mnuListPrevious->setCheckable(true);
    connect(mnuListPrevious, &QAction::triggered, this,
            [this](bool checked) { listPreviousToggled(checked); });
    mnuOptions->addSeparator();
    mnuPostContest = addItem(mnuOptions, "mnuPostContest", "&Post Contest Mode", true);
    mnuPostContest->setCheckable(true);
    connect(mnuPostContest, &QAction::triggered, this, [this] { mnuPostContestClick(); });

    QAction* setup = bar->addAction("&Setup");
    setup->setObjectName("mnuSetup");
    connect(setup, &QAction::triggered, this, [this] { mnuSetupClick(); });

    QAction* clear = bar->addAction("&Clear");
    clear->setObjectName("mnuClear");
    connect(clear, &QAction::triggered, this, [this] { mnuClearClick(); });

    QMenu* mnuBand = bar->addMenu("&Band");
    mnuBand->setObjectName("mnuBand");
    for (int i = 0; i < 6; ++i) {
        QAction* a = addItem(mnuBand, kBandItemNames[i], kBandCaptions[i], true);
        a->setCheckable(true);
        std::string band = core::kBandWindows[static_cast<std::size_t>(i)].name;
        connect(a, &QAction::triggered, this, [this, band] { selectBand(band); });
        m_bandItems[i] = a;
    }
    mnuBand->addSeparator();
    addItem(mnuBand, "mnuPrivileges", "&Frequency Privileges");

    QAction* graph = bar->addAction("&Graph");
    graph->setObjectName("mnuGraph");
    graph->setEnabled(false);

    QAction* help = bar->addAction("&Help");
    help->setObjectName("mnuHelp");
    connect(help, &QAction::triggered, this, [this] { showHelp(); });
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("centralWidget");
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);

    // Own call, band and next serial.
    auto* top = new QHBoxLayout;
    Label2 = makeLabel(central, "Label2", QString(), "Own call");
    QFont big = Label2->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label2->setFont(big);
    Label21 = new ClickableLabel(central);
    Label21->setObjectName("Label21");
    setLabelCaption(Label21, "Band");
    Label21->setFont(big);
    Label21->setToolTip("Click to step to the next band");
    Label21->setCursor(Qt::PointingHandCursor);
    connect(Label21, &ClickableLabel::clicked, this,
            [this] { selectBand(core::nextBand(m_contest.prefs.band)); });
    Label4 = makeLabel(central, "Label4", "001", "Next serial number");
    Label4->setFont(big);
    Label14 = makeLabel(central, "Label14", "New", "New prefix");
    Label14->setStyleSheet("color: #C00000; font-weight: bold;");
    Label14->hide();
    top->addWidget(makeLabel(central, "lblOwnCallCaption", "Station:"));
    top->addWidget(Label2);
    top->addSpacing(24);
    top->addWidget(makeLabel(central, "lblBandCaption", "Band:"));
    top->addWidget(Label21);
    top->addSpacing(24);
    top->addWidget(makeLabel(central, "lblSerialCaption", "Next serial #:"));
    top->addWidget(Label4);
    top->addSpacing(24);
    top->addWidget(Label14);
    top->addStretch(1);
    outer->addLayout(top);

    // The entry row, captions above the boxes.
    auto* grid = new QGridLayout;
    txtCall = makeEntryBox(central, "txtCall", 20);
    txtRSTR = makeEntryBox(central, "txtRSTR", 3);
    txtSec = makeEntryBox(central, "txtSec", 6);
    txtRSTS = makeEntryBox(central, "txtRSTS", 3);
    txtCntry = makeEntryBox(central, "txtCntry", 40);
    txtPref = makeEntryBox(central, "txtPref", 12);
    txtPoints = makeEntryBox(central, "txtPoints", 1);
    QFont entryFont = txtCall->font();
    entryFont.setPointSizeF(entryFont.pointSizeF() * 1.4);
    entryFont.setBold(true);
    // Widths in characters: the reports, serial and points need only a few, so the
    // call and the country keep their room on a small screen.
    struct EntryColumn {
        QLineEdit* box;
        const char* caption;
        const char* sample; // the widest text the box should show whole
        int stretch;
    };
    const EntryColumn columns[] = {{txtCall, "Call", "WW9WWW/WWW", 3},
                                   {txtRSTR, "RST Rcvd", "5999", 0},
                                   {txtSec, "Serial #", "999999", 0},
                                   {txtRSTS, "RST Sent", "5999", 0},
                                   {txtCntry, "Country", "Guantanamo Bay W", 4},
                                   {txtPref, "Prefix", "WWW99", 1},
                                   {txtPoints, "Points", "999", 0}};
    const QFontMetrics entryMetrics(entryFont);
    // Frame and inner margins of a line edit, beyond its text.
    const int boxPadding = 16;
    int col = 0;
    for (const auto& column : columns) {
        QLineEdit* box = column.box;
        box->setFont(entryFont);
        box->setAccessibleName(column.caption);
        const int textWidth = entryMetrics.horizontalAdvance(column.sample) + boxPadding;
        if (column.stretch == 0) {
            box->setFixedWidth(textWidth);
        } else {
            box->setMinimumWidth(textWidth);
        }
        new SelectionWithFocusOnly(box);
        auto* caption = makeLabel(central, "", column.caption);
        caption->setObjectName(box->objectName() + "Caption");
        caption->setBuddy(box);
        grid->addWidget(caption, 0, col);
        grid->addWidget(box, 1, col);
        grid->setColumnStretch(col, column.stretch);
        ++col;
    }
    // The post-contest date and time, after the points box in tab order.
    lblPostConDate = makeLabel(central, "lblPostConDate", "Date");
    lblPostConTime = makeLabel(central, "lblPostConTime", "Time");
    txtPostConDate = makeEntryBox(central, "txtPostConDate", 10);
    txtPostConTime = makeEntryBox(central, "txtPostConTime", 8);
    txtPostConDate->setAccessibleName("Date");
    txtPostConTime->setAccessibleName("Time");
    txtPostConDate->setFixedWidth(entryMetrics.horizontalAdvance("2026/05/30") + boxPadding);
    txtPostConTime->setFixedWidth(entryMetrics.horizontalAdvance("00:00") + boxPadding);
    grid->addWidget(lblPostConDate, 0, col);
    grid->addWidget(txtPostConDate, 1, col);
    grid->addWidget(lblPostConTime, 0, col + 1);
    grid->addWidget(txtPostConTime, 1, col + 1);
    for (QWidget* w : std::initializer_list<QWidget*>{lblPostConDate, lblPostConTime,
                                                      txtPostConDate, txtPostConTime}) {
        w->hide();
    }
    outer->addLayout(grid);
    m_entry =
        new EntryRowController({txtCall, txtRSTR, txtSec, txtRSTS, txtCntry, txtPref, txtPoints},
                               *this, *m_services.clock, this);

    // Continent, bearing and distance of the call on the screen.
    auto* info = new QHBoxLayout;
    Label19 = makeLabel(central, "Label19", QString(), "Continent");
    Label22 = makeLabel(central, "Label22", QString(), "Bearing");
    Label23 = makeLabel(central, "Label23", QString(), "Distance in miles");
    lblDupe = makeLabel(central, "lblDupe", QString(), "Possible Duplicates");
    lblDupe->setAutoFillBackground(true);
    // Its text can be as long as a cluster line: cut, it never widens the window.
    lblDupe->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Room for the widest value, so the row does not shift while a call is typed.
    const QFontMetrics metrics(Label19->font());
    Label19->setMinimumWidth(metrics.horizontalAdvance(" WWW "));
    Label22->setMinimumWidth(metrics.horizontalAdvance(" 000 "));
    Label23->setMinimumWidth(metrics.horizontalAdvance(" 00,000 "));
    info->addWidget(makeLabel(central, "lblContinentCaption", "Continent:"));
    info->addWidget(Label19);
    info->addSpacing(16);
    info->addWidget(makeLabel(central, "lblBearingCaption", "Bearing:"));
    info->addWidget(Label22);
    info->addSpacing(16);
    info->addWidget(makeLabel(central, "lblDistanceCaption", "Miles:"));
    info->addWidget(Label23);
    info->addSpacing(16);
    info->addWidget(makeLabel(central, "lblDupeCaption", "Possible Duplicates:"));
    cmdDup = new QPushButton("On", central);
    cmdDup->setObjectName("cmdDup");
    cmdDup->setAccessibleName("Possible duplicates list on or off");
    connect(cmdDup, &QPushButton::clicked, this, [this] { cmdDupClick(); });
    info->addWidget(cmdDup);
    info->addWidget(lblDupe, 1);
    outer->addLayout(info);

    lblDialog = makeLabel(central, "lblDialog", QString(), "Message");
    lblDialog->setAutoFillBackground(true);
    lblDialog->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblDialog->setMargin(4);
    QFont dialogFont = lblDialog->font();
    dialogFont.setBold(true);
    lblDialog->setFont(dialogFont);
    outer->addWidget(lblDialog);
    setDialog(" ");

    // Room for the known calls matching the call being typed; the station
    // tools that fill it show it.
    auto* checkPartialArea = new QWidget(central);
    checkPartialArea->setObjectName("checkPartialArea");
    auto* checkPartialLayout = new QVBoxLayout(checkPartialArea);
    checkPartialLayout->setContentsMargins(0, 0, 0, 0);
    checkPartialArea->hide();
    outer->addWidget(checkPartialArea);

    // The log list with its buttons: a view over the QSO store.
    m_logListModel = new LogListModel(this);
    m_logListModel->setStore(&m_contest.qsos());
    m_logListModel->setStationLog(&m_stationLog);
    ListView1 = new QTreeView(central);
    ListView1->setObjectName("ListView1");
    ListView1->setAccessibleName("Log");
    ListView1->header()->setAccessibleName("Log columns");
    ListView1->setModel(m_logListModel);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAlternatingRowColors(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setSortIndicatorShown(false);
    ListView1->header()->setStretchLastSection(false);
    // One click sorts once by that column, as text; later additions are not sorted.
    connect(ListView1->header(), &QHeaderView::sectionClicked, m_logListModel,
            &LogListModel::sortOnceByColumn);
    outer->addWidget(ListView1, 1);

    // Room at the bottom for the spot list or band map strip, which the
    // station tools put here.
    auto* bandMapArea = new QWidget(central);
    bandMapArea->setObjectName("bandMapArea");
    auto* bandMapLayout = new QVBoxLayout(bandMapArea);
    bandMapLayout->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(bandMapArea);

    auto* buttons = new QHBoxLayout;
    cmdList = new QPushButton("Last 20", central);
    cmdList->setObjectName("cmdList");
    connect(cmdList, &QPushButton::clicked, this, [this] {
        m_contest.showAllContacts = !m_contest.showAllContacts;
        cmdList->setText(m_contest.showAllContacts ? "All" : "Last 20");
        fillLogList();
        txtCall->setFocus();
    });
    cmdEdit = new QPushButton("Edit Contact", central);
    cmdEdit->setObjectName("cmdEdit");
    cmdEdit->hide();
    cmdDelete = new QPushButton("Delete Contact", central);
    cmdDelete->setObjectName("cmdDelete");
    cmdDelete->hide();
    cmdList->setAccessibleName("Show last 20 or all contacts");
    cmdEdit->setAccessibleName("Edit Contact");
    cmdDelete->setAccessibleName("Delete Contact");
    cmdLogOn = new QPushButton(core::kLogOnCaption, central);
    cmdLogOn->setObjectName("cmdLogOn");
    cmdLogOn->setAccessibleName("Log time on or off");
    connect(cmdLogOn, &QPushButton::clicked, this, [this] {
        cmdLogOnClick();
        m_entry->apply(m_entry->row().focusBox(core::EntryBox::Call));
        txtCall->setFocus(Qt::OtherFocusReason);
    });
    buttons->addWidget(cmdLogOn);
    buttons->addWidget(cmdList);
    buttons->addStretch(1);
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdDelete);
    outer->addLayout(buttons);

    buildStatusControls(central, outer);

    // The window sees every key before its controls do; the entry boxes pass
    // theirs on through the entry row.
    for (QWidget* w : central->findChildren<QWidget*>()) {
        if (w->focusPolicy() != Qt::NoFocus && !isEntryBox(w)) {
            w->installEventFilter(this);
        }
    }
}

void MainWindow::buildStatusControls(QWidget* central, QVBoxLayout* outer) {
    m_scorePanel = new ScorePanel(central);
    connect(m_scorePanel, &ScorePanel::prefixCaptionClicked, this, [this] { selectBand("160"); });
    outer->addWidget(m_scorePanel);

    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, [this] { timer2Tick(); });
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(60000);
    connect(Timer1, &QTimer::timeout, this, [this] { timeStats(); });
}

int MainWindow::designToPixels(int design) const {
    int width = m_services.screenWidth;
    if (width <= 0) {
        QScreen* screen = QGuiApplication::primaryScreen();
        width = screen ? screen->geometry().width() : 1280;
    }
    return width * design / 9600;
}

} // namespace wexon::ui
