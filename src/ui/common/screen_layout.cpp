#include "ui/common/screen_layout.h"

#include <algorithm>
#include <cmath>

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>

#include "ui/common/frame_fit.h"
#include "ui/common/prompts.h"
#include "ui/common/text_conversion.h"
#include "ui/main/main_window.h"

namespace wexon::ui {

namespace {

using core::ControlKind;
using core::pixelsToTwips;
using core::twipsToPixels;

const char* kScaledProperty = "wexonScaledToScreen";

int toPixels(double twips) {
    return static_cast<int>(std::lround(twipsToPixels(twips)));
}

core::TwipRect toTwips(const QRect& r) {
    return {pixelsToTwips(r.x()), pixelsToTwips(r.y()), pixelsToTwips(r.width()),
            pixelsToTwips(r.height())};
}

QRect toPixels(const core::TwipRect& r) {
    return QRect(toPixels(r.left), toPixels(r.top), std::max(0, toPixels(r.width)),
                 std::max(0, toPixels(r.height)));
}

// The font at a new size; point and pixel sizes are both kept in their unit.
QFont resized(QFont font, const std::function<double(double)>& size) {
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(std::max(1.0, size(font.pointSizeF())));
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size(font.pixelSize())))));
    }
    return font;
}

// A widget whose own code gave it a font size (the others take the window's).
bool hasOwnFontSize(const QWidget& w) {
    return w.testAttribute(Qt::WA_SetFont) && (w.font().resolveMask() & (QFont::SizeResolved)) != 0;
}

bool layoutHolds(QLayout* layout, const QWidget* w) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item == nullptr) {
            continue;
        }
        if (item->widget() == w) {
            return true;
        }
        if (item->layout() != nullptr && layoutHolds(item->layout(), w)) {
            return true;
        }
    }
    return false;
}

// Plain containers: their children are theirs to place, by layout or by hand.
// Compound widgets (lists, spin boxes, custom drawing widgets, splitters) place
// their own inner parts and are not entered.
bool isPlainContainer(const QWidget& w) {
    const QMetaObject* meta = w.metaObject();
    return meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject ||
           meta == &QGroupBox::staticMetaObject || meta == &QStackedWidget::staticMetaObject ||
           meta == &QTabWidget::staticMetaObject;
}

// Children of a container that no layout places: their geometry is the design.
bool placedByHand(const QWidget& child) {
    const QWidget* parent = child.parentWidget();
    if (parent == nullptr || child.isWindow()) {
        return false;
    }
    if (qobject_cast<const QMainWindow*>(parent) != nullptr) {
        return false;
    }
    if (parent->layout() != nullptr && layoutHolds(parent->layout(), &child)) {
        return false;
    }
    // Tab pages and stacked pages are placed by their container.
    return qobject_cast<const QStackedWidget*>(parent) == nullptr &&
           qobject_cast<const QTabWidget*>(parent) == nullptr;
}

// Every widget under the window that the stretch may move: the window's own
// children and, through plain containers, theirs.
void collectPlaced(QWidget& container, std::vector<QWidget*>& out) {
    for (QObject* o : container.children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (child == nullptr || child->isWindow()) {
            continue;
        }
        if (placedByHand(*child)) {
            out.push_back(child);
        }
        if (isPlainContainer(*child)) {
            collectPlaced(*child, out);
        }
    }
}

// A horizontal or vertical line as its two end points.
core::TwipLine lineOf(const QRect& r, bool horizontal) {
    const core::TwipRect t = toTwips(r);
    if (horizontal) {
        const double y = t.top + t.height / 2;
        return {t.left, y, t.left + t.width, y};
    }
    const double x = t.left + t.width / 2;
    return {x, t.top, x, t.top + t.height};
}

// A line's new rectangle: the end points move, the thickness stays.
QRect lineRect(const core::TwipLine& line, const QRect& old, bool horizontal) {
    if (horizontal) {
        const int y = toPixels(line.y1) - old.height() / 2;
        return QRect(toPixels(line.x1), y, std::max(0, toPixels(line.x2 - line.x1)), old.height());
    }
    const int x = toPixels(line.x1) - old.width() / 2;
    return QRect(x, toPixels(line.y1), old.width(), std::max(0, toPixels(line.y2 - line.y1)));
}

bool isLine(const QWidget& w, bool* horizontal) {
    const auto* frame = qobject_cast<const QFrame*>(&w);
    if (frame == nullptr || frame->metaObject() != &QFrame::staticMetaObject) {
        return false;
    }
    if (frame->frameShape() == QFrame::HLine) {
        *horizontal = true;
        return true;
    }
    if (frame->frameShape() == QFrame::VLine) {
        *horizontal = false;
        return true;
    }
    return false;
}

void scaleColumns(QWidget& w, const std::function<double(double)>& width) {
    QHeaderView* header = nullptr;
    if (auto* tree = qobject_cast<QTreeView*>(&w)) {
        header = tree->header();
    } else if (auto* table = qobject_cast<QTableView*>(&w)) {
        header = table->horizontalHeader();
    }
    if (header == nullptr) {
        return;
    }
    for (int i = 0; i < header->count(); ++i) {
        if (header->sectionResizeMode(i) == QHeaderView::Stretch ||
            header->sectionResizeMode(i) == QHeaderView::ResizeToContents) {
            continue;
        }
        header->resizeSection(
            i, std::max(1, static_cast<int>(std::lround(width(header->sectionSize(i))))));
    }
}

} // namespace

ScreenAreas primaryScreenAreas() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    return {screen->geometry(), screen->availableGeometry()};
}

core::ControlKind controlKindOf(const QWidget& w) {
    bool horizontal = false;
    if (isLine(w, &horizontal)) {
        return ControlKind::Line;
    }
    if (qobject_cast<const QTreeView*>(&w) != nullptr ||
        qobject_cast<const QTableView*>(&w) != nullptr) {
        return ControlKind::ListView;
    }
    if (qobject_cast<const QListView*>(&w) != nullptr) {
        return ControlKind::ListBox;
    }
    if (qobject_cast<const QCheckBox*>(&w) != nullptr) {
        return ControlKind::CheckBox;
    }
    if (qobject_cast<const QRadioButton*>(&w) != nullptr) {
        return ControlKind::OptionButton;
    }
    if (qobject_cast<const QPushButton*>(&w) != nullptr ||
        qobject_cast<const QToolButton*>(&w) != nullptr) {
        return ControlKind::CommandButton;
    }
    if (qobject_cast<const QLineEdit*>(&w) != nullptr ||
        qobject_cast<const QTextEdit*>(&w) != nullptr ||
        qobject_cast<const QPlainTextEdit*>(&w) != nullptr ||
        qobject_cast<const QAbstractSpinBox*>(&w) != nullptr) {
        return ControlKind::TextBox;
    }
    if (qobject_cast<const QComboBox*>(&w) != nullptr) {
        return ControlKind::ComboBox;
    }
    if (qobject_cast<const QProgressBar*>(&w) != nullptr) {
        return ControlKind::ProgressBar;
    }
    if (const auto* label = qobject_cast<const QLabel*>(&w)) {
        return label->pixmap().isNull() ? ControlKind::Label : ControlKind::Image;
    }
    if (qobject_cast<const QGroupBox*>(&w) != nullptr ||
        w.metaObject() == &QFrame::staticMetaObject) {
        return ControlKind::Frame;
    }
    return ControlKind::Other;
}

void scaleWindow(QWidget& window, const core::WindowScale& scale, const ScreenAreas& areas) {
    const QString family = fromLatin1(scale.fontName());

    // Controls first, measured at their design geometry.
    std::vector<QWidget*> placed;
    collectPlaced(window, placed);
    for (QWidget* w : placed) {
        const ControlKind kind = controlKindOf(*w);
        bool horizontal = false;
        if (kind == ControlKind::Line && isLine(*w, &horizontal)) {
            w->setGeometry(
                lineRect(scale.line(lineOf(w->geometry(), horizontal)), w->geometry(), horizontal));
        } else if (kind != ControlKind::Other) {
            w->setGeometry(toPixels(scale.control(kind, toTwips(w->geometry()))));
        }
    }
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window) {
            continue; // a window of its own, or part of one
        }
        const ControlKind kind = controlKindOf(*w);
        if (hasOwnFontSize(*w) && scale.controlFontScales(kind)) {
            QFont font =
                resized(w->font(), [&](double s) { return scale.controlFontSize(kind, s); });
            if (!family.isEmpty()) {
                font.setFamily(family);
            }
            w->setFont(font);
        } else if (!family.isEmpty() && w->testAttribute(Qt::WA_SetFont)) {
            QFont font = w->font();
            font.setFamily(family);
            w->setFont(font);
        }
        if (kind == ControlKind::ListView) {
            scaleColumns(*w, [&](double width) { return scale.columnWidth(width); });
        }
    }

    QFont font = resized(window.font(), [&](double s) { return scale.windowFontSize(s); });
    if (!family.isEmpty()) {
        font.setFamily(family);
    }
    window.setFont(font);

    // The window's rectangle, on the screen, kept on the work area.
    const QRect screen = areas.screen;
    core::TwipRect rect = scale.window(toTwips(QRect(QPoint(0, 0), window.size())));
    rect.left += pixelsToTwips(screen.x());
    rect.top += pixelsToTwips(screen.y());
    if (areas.work.isValid()) {
        rect = core::keepInside(rect, toTwips(areas.work));
    }
    const QRect target = toPixels(rect);
    window.resize(target.size());
    window.move(target.topLeft());
}

void scaleWindowToScreen(QWidget& window, const ScreenAreas& areas) {
    if (!areas.screen.isValid()) {
        return;
    }
    scaleWindow(window,
                core::WindowScale::toScreen(pixelsToTwips(areas.screen.width()),
                                            pixelsToTwips(areas.screen.height())),
                areas);
}

void placeWindowFrame(QWidget& window, const QRect& frame) {
    if (!frame.isValid()) {
        return;
    }
    if ((window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0) {
        window.setWindowState(window.windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    }
    // The window manager's decorations are known once the window is shown;
    // before that the inside is given the whole rectangle.
    QSize decorations = window.frameGeometry().size() - window.geometry().size();
    if (!window.isVisible() || decorations.width() < 0 || decorations.height() < 0) {
        decorations = QSize(0, 0);
    }
    window.resize(frame.size() - decorations);
    window.move(frame.topLeft());
}

QRect mainWindowArea(int formSizePercent, int taskbarMode, const ScreenAreas& areas) {
    const int percent = core::usableFormSizePercent(formSizePercent);
    if (percent < core::kMaxFormSizePercent) {
        const core::FormSizeLayout layout(percent);
        const core::TwipRect r = layout.window(pixelsToTwips(areas.screen.width()),
                                               pixelsToTwips(areas.screen.height()));
        return QRect(areas.screen.topLeft(), toPixels(r).size());
    }
    if (core::coversWorkArea(taskbarMode) && areas.work.isValid()) {
        return areas.work;
    }
    return areas.screen;
}

// ---------------------------------------------------------------- secondary windows

SecondaryWindowScaler::SecondaryWindowScaler(std::function<ScreenAreas()> areas, QObject* parent)
    : QObject(parent), m_areas(std::move(areas)) {}

SecondaryWindowScaler* SecondaryWindowScaler::install() {
    auto* scaler = new SecondaryWindowScaler(primaryScreenAreas, qApp);
    qApp->installEventFilter(scaler);
    return scaler;
}

bool SecondaryWindowScaler::wantsScaling(const QWidget& w) {
    if (!w.isWindow() || w.property(kScaledProperty).toBool() ||
        w.property(kKeepSizeProperty).toBool()) {
        return false;
    }
    const Qt::WindowType type = w.windowType();
    if (type != Qt::Window && type != Qt::Dialog && type != Qt::Tool) {
        return false; // menus, tool tips, pop-ups
    }
    if (qobject_cast<const QMainWindow*>(&w) != nullptr ||
        qobject_cast<const QMessageBox*>(&w) != nullptr ||
        qobject_cast<const QInputDialog*>(&w) != nullptr ||
        qobject_cast<const QFileDialog*>(&w) != nullptr ||
        qobject_cast<const QProgressDialog*>(&w) != nullptr ||
        qobject_cast<const QColorDialog*>(&w) != nullptr ||
        qobject_cast<const QFontDialog*>(&w) != nullptr) {
        return false;
    }
    // A window whose code sized it has placed itself against the screen.
    return !w.testAttribute(Qt::WA_Resized);
}

void SecondaryWindowScaler::scaleToFit(QWidget& w, const ScreenAreas& areas) {
    const QRect work = areas.work.isValid() ? areas.work : areas.screen;
    const QSize natural = w.sizeHint().expandedTo(w.minimumSizeHint()).expandedTo(w.size());
    if (!areas.screen.isValid() || !work.isValid() || natural.isEmpty()) {
        scaleWindowToScreen(w, areas);
        return;
    }
    // A laid-out window cannot shrink below what its controls need at their
    // scaled fonts, so it is stretched no further than its natural size fits
    // the work area; otherwise a big screen would push its right and bottom
    // edges (and the controls there) off the screen.
    // The window manager's frame goes round it and must fit too.
    QSize frame = w.frameGeometry().size() - w.geometry().size();
    frame = frame.expandedTo(QSize(0, 0));
    const QSize room = work.size() - frame;
    double fit = std::max(1.0, std::min(static_cast<double>(room.width()) / natural.width(),
                                        static_cast<double>(room.height()) / natural.height()));
    bool capped = false;
    const double maxStretch = w.property(kMaxStretchProperty).toDouble(&capped);
    if (capped && maxStretch >= 1.0) {
        fit = std::min(fit, maxStretch);
    }
    const double rx = areas.screen.width() / 640.0;
    const double ry = areas.screen.height() / 480.0;
    if (rx <= fit && ry <= fit) {
        scaleWindowToScreen(w, areas);
        return;
    }
    const QSize stretched(static_cast<int>(640.0 * std::min(rx, fit)),
                          static_cast<int>(480.0 * std::min(ry, fit)));
    scaleWindowToScreen(w, ScreenAreas{QRect(areas.screen.topLeft(), stretched), work});
    QRect placed(QPoint(0, 0), (w.size() + frame).boundedTo(work.size()));
    placed.moveCenter(work.center());
    w.move(placed.topLeft());
}

bool SecondaryWindowScaler::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && !w->property(kScaledProperty).toBool()) {
            const bool scale = wantsScaling(*w);
            // Marked either way: a window is judged once, at its first show.
            w->setProperty(kScaledProperty, true);
            if (scale) {
                const ScreenAreas areas = m_areas();
                scaleToFit(*w, areas);
                const QRect work = areas.work.isValid() ? areas.work : areas.screen;
                const QSize scaledSize = w->size();
                FramePlacement::install(
                    *w,
                    [w, work, scaledSize] {
                        keepFrameOnWorkArea(*w, work, w->size() != scaledSize);
                    },
                    FramePlacement::Watch::SizeToo);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------- main window

ScreenLayout::ScreenLayout(MainWindow& window, Prompts& prompts, std::function<ScreenAreas()> areas)
    : QObject(&window), m_window(window), m_prompts(prompts), m_areas(std::move(areas)) {
    setObjectName("screenLayout");
    m_formSizeItem = window.findChild<QAction*>("mnuFormSize");
    m_taskbarItem = window.findChild<QAction*>("mnuTaskbar");
    if (m_formSizeItem != nullptr) {
        m_formSizeItem->setEnabled(true);
        connect(m_formSizeItem, &QAction::triggered, this, [this] { formSizeClick(); });
    }
    if (m_taskbarItem != nullptr) {
        m_taskbarItem->setEnabled(true);
        m_taskbarItem->setCheckable(true);
        m_taskbarItem->setChecked(core::coversWorkArea(window.contest().prefs.taskbarMode));
        connect(m_taskbarItem, &QAction::triggered, this, [this] { taskbarClick(); });
    }
}

void ScreenLayout::applyStartupSize() {
    core::Preferences& prefs = m_window.contest().prefs;
    const int percent = core::usableFormSizePercent(prefs.formSizePercent);
    prefs.formSizePercent = static_cast<std::uint8_t>(percent);
    if (percent < core::kMaxFormSizePercent) {
        applyFormSize(percent);
    }
    applyFullScreen();
}

void ScreenLayout::applyFormSize(int percent) {
    const core::FormSizeLayout layout(percent);
    std::vector<QWidget*> placed;
    collectPlaced(m_window, placed);
    for (QWidget* w : placed) {
        const ControlKind kind = controlKindOf(*w);
        bool horizontal = false;
        if (kind == ControlKind::Line && isLine(*w, &horizontal)) {
            w->setGeometry(lineRect(layout.line(lineOf(w->geometry(), horizontal)), w->geometry(),
                                    horizontal));
        } else if (layout.controlScales(kind)) {
            w->setGeometry(toPixels(layout.control(kind, toTwips(w->geometry()))));
        }
    }
    const auto shrink = [&](double s) { return layout.fontSize(s); };
    for (QWidget* w : m_window.findChildren<QWidget*>()) {
        if (w->window() != &m_window) {
            continue; // a window of its own, or part of one
        }
        const ControlKind kind = controlKindOf(*w);
        if (hasOwnFontSize(*w) && layout.controlScales(kind)) {
            w->setFont(resized(w->font(), shrink));
        }
        const QString name = w->objectName();
        if (name == "ListView1" || name == "txtDX") {
            scaleColumns(*w, [&](double width) { return layout.columnWidth(width); });
        }
    }
    m_window.setFont(resized(m_window.font(), shrink));
    const QRect area = mainWindowArea(percent, 0, m_areas());
    placeWindowFrame(m_window, area);
    m_coveredSize = area.size();
}

void ScreenLayout::applyFullScreen() {
    const core::Preferences& prefs = m_window.contest().prefs;
    if (m_taskbarItem != nullptr) {
        m_taskbarItem->setChecked(core::coversWorkArea(prefs.taskbarMode));
    }
    const int percent = core::usableFormSizePercent(prefs.formSizePercent);
    if (percent != core::kMaxFormSizePercent) {
        return;
    }
    const ScreenAreas areas = m_areas();
    const QRect target = mainWindowArea(percent, prefs.taskbarMode, areas);
    if (!target.isValid()) {
        return;
    }
    const QSize from = m_coveredSize.value_or(areas.screen.size());
    const core::FullScreenLayout layout(pixelsToTwips(from.width()), pixelsToTwips(from.height()),
                                        pixelsToTwips(target.width()),
                                        pixelsToTwips(target.height()));
    std::vector<QWidget*> placed;
    collectPlaced(m_window, placed);
    for (QWidget* w : placed) {
        bool horizontal = false;
        if (isLine(*w, &horizontal)) {
            w->setGeometry(lineRect(layout.line(lineOf(w->geometry(), horizontal)), w->geometry(),
                                    horizontal));
        } else {
            w->setGeometry(toPixels(layout.control(toTwips(w->geometry()))));
        }
    }
    if (auto* spots = m_window.findChild<QWidget*>("txtDX")) {
        scaleColumns(*spots, [&](double width) { return layout.columnWidth(width); });
    }
    placeWindowFrame(m_window, target);
    m_coveredSize = target.size();
}

void ScreenLayout::placeMainWindow() {
    const core::Preferences& prefs = m_window.contest().prefs;
    placeWindowFrame(m_window, mainWindowArea(prefs.formSizePercent, prefs.taskbarMode, m_areas()));
}

void ScreenLayout::formSizeClick() {
    core::Preferences& prefs = m_window.contest().prefs;
    const std::optional<QString> answer = m_prompts.input(
        core::kFormSizeTitle, core::kFormSizePrompt, QString::number(int(prefs.formSizePercent)));
    if (!answer) {
        return; // cancelled
    }
    const std::optional<int> percent = core::formSizeFromAnswer(toLatin1(answer->trimmed()));
    if (!percent) {
        m_prompts.message(core::kNumericOnlyTitle, core::kNumericOnlyText,
                          Prompts::Icon::Exclamation);
        return;
    }
    prefs.formSizePercent = static_cast<std::uint8_t>(*percent);
    m_window.savePref();
    m_prompts.message(core::kRestartTitle, core::kRestartText, Prompts::Icon::Information);
}

void ScreenLayout::taskbarClick() {
    core::Preferences& prefs = m_window.contest().prefs;
    const core::TaskbarToggle toggle =
        core::toggleTaskbar(core::usableFormSizePercent(prefs.formSizePercent), prefs.taskbarMode);
    if (!toggle.allowed) {
        // The menu item ticked itself when clicked; it follows the setting.
        if (m_taskbarItem != nullptr) {
            m_taskbarItem->setChecked(core::coversWorkArea(prefs.taskbarMode));
        }
        m_prompts.message(core::kTaskbarNeedsFullTitle, core::kTaskbarNeedsFullText,
                          Prompts::Icon::Exclamation);
        return;
    }
    prefs.taskbarMode = static_cast<std::uint8_t>(toggle.newMode);
    m_window.savePref();
    applyFullScreen();
}

} // namespace wexon::ui
