#include "ui/common/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace wexon::ui {

namespace {

// Labels further than this from a control are not taken for its caption.
constexpr int kCaptionReach = 160;

// Inner parts of compound controls carry no name of their own: the control
// around them does.
bool isInnerPart(const QWidget& w) {
    for (const QWidget* p = w.parentWidget(); p != nullptr && !p->isWindow();
         p = p->parentWidget()) {
        if (qobject_cast<const QComboBox*>(p) != nullptr ||
            qobject_cast<const QAbstractSpinBox*>(p) != nullptr ||
            qobject_cast<const QAbstractItemView*>(p) != nullptr ||
            qobject_cast<const QTabBar*>(p) != nullptr ||
            qobject_cast<const QLineEdit*>(p) != nullptr ||
            qobject_cast<const QMenuBar*>(p) != nullptr ||
            qobject_cast<const QCalendarWidget*>(p) != nullptr) {
            return true;
        }
    }
    return false;
}

// A caption as a screen reader should speak it: plain text, no mnemonic
// marks, no trailing colon. Markup is dropped only from text shown as markup.
QString spoken(QString text, bool shownAsMarkup = true) {
    if (shownAsMarkup && Qt::mightBeRichText(text)) {
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    out = out.simplified();
    while (out.endsWith(':')) {
        out.chop(1);
        out = out.trimmed();
    }
    return out;
}

QString labelText(const QWidget* w) {
    const auto* label = qobject_cast<const QLabel*>(w);
    return label != nullptr ? spoken(label->text(), label->textFormat() != Qt::PlainText)
                            : QString();
}

// The layout (at any depth under the parent's layout) holding the widget.
QLayout* layoutHolding(QLayout* layout, const QWidget& w) {
    if (layout == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item == nullptr) {
            continue;
        }
        if (item->widget() == &w) {
            return layout;
        }
        if (QLayout* inner = layoutHolding(item->layout(), w)) {
            return inner;
        }
    }
    return nullptr;
}

QString buddyCaption(const QWidget& w) {
    const QWidget* window = w.window();
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == &w) {
            QString text = spoken(label->text(), label->textFormat() != Qt::PlainText);
            if (!text.isEmpty()) {
                return text;
            }
        }
    }
    return {};
}

// The label before the control in its layout: beside it in a form, left of it
// or above it in a grid, just before it in a row or column.
QString layoutCaption(const QWidget& w) {
    QWidget* parent = w.parentWidget();
    QLayout* layout = parent != nullptr ? layoutHolding(parent->layout(), w) : nullptr;
    if (layout == nullptr) {
        return {};
    }
    if (auto* form = qobject_cast<QFormLayout*>(layout)) {
        return labelText(form->labelForField(const_cast<QWidget*>(&w)));
    }
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        const int index = grid->indexOf(&w);
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        for (auto [r, c] : {std::pair{row, column - 1}, std::pair{row - 1, column}}) {
            if (r < 0 || c < 0) {
                continue;
            }
            QLayoutItem* item = grid->itemAtPosition(r, c);
            QString text = item != nullptr ? labelText(item->widget()) : QString();
            if (!text.isEmpty()) {
                return text;
            }
        }
        return {};
    }
    const int index = layout->indexOf(&w);
    if (index > 0) {
        QLayoutItem* before = layout->itemAt(index - 1);
        return before != nullptr ? labelText(before->widget()) : QString();
    }
    return {};
}

// A label among the control's siblings just left of it on the same line, or
// just above it and overlapping it: the caption of a control placed by hand.
QString nearbyCaption(const QWidget& w) {
    const QWidget* parent = w.parentWidget();
    const QRect r = w.geometry();
    if (parent == nullptr || r.isEmpty()) {
        return {};
    }
    QString best;
    int bestDistance = kCaptionReach + 1;
    for (const QObject* o : parent->children()) {
        const auto* label = qobject_cast<const QLabel*>(o);
        if (label == nullptr || label->isWindow()) {
            continue;
        }
        const QRect l = label->geometry();
        if (l.isEmpty()) {
            continue;
        }
        int distance = kCaptionReach + 1;
        const int centreY = r.center().y();
        if (l.right() <= r.left() && centreY >= l.top() && centreY <= l.bottom()) {
            distance = r.left() - l.right();
        } else if (l.bottom() <= r.top() && l.right() >= r.left() && l.left() <= r.right()) {
            distance = r.top() - l.bottom();
        }
        if (distance < bestDistance) {
            QString text = spoken(label->text(), label->textFormat() != Qt::PlainText);
            if (!text.isEmpty()) {
                best = text;
                bestDistance = distance;
            }
        }
    }
    return best;
}

QString groupTitle(const QWidget& w) {
    for (const QWidget* p = w.parentWidget(); p != nullptr && !p->isWindow();
         p = p->parentWidget()) {
        if (const auto* group = qobject_cast<const QGroupBox*>(p)) {
            QString text = spoken(group->title());
            if (!text.isEmpty()) {
                return text;
            }
        }
    }
    return {};
}

bool isReadOnlyText(const QWidget& w) {
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&w)) {
        return plain->isReadOnly();
    }
    if (const auto* rich = qobject_cast<const QTextEdit*>(&w)) {
        return rich->isReadOnly();
    }
    return false;
}

// Qt speaks a button's own text; such a button needs nothing more.
bool speaksOwnText(const QWidget& w) {
    const auto* button = qobject_cast<const QAbstractButton*>(&w);
    return button != nullptr && !spoken(button->text()).isEmpty();
}

bool nameIfMissing(QWidget& w) {
    if (!w.accessibleName().isEmpty() || speaksOwnText(w)) {
        return true;
    }
    const QString name = derivedAccessibleName(w);
    if (name.isEmpty()) {
        return false;
    }
    w.setAccessibleName(name);
    return true;
}

} // namespace

bool isInteractiveControl(const QWidget& w) {
    if (w.isWindow() || isInnerPart(w)) {
        return false;
    }
    if (qobject_cast<const QHeaderView*>(&w) != nullptr ||
        qobject_cast<const QScrollBar*>(&w) != nullptr) {
        return false;
    }
    if (qobject_cast<const QTabBar*>(&w) != nullptr) {
        return false; // its tabs are named by their own texts
    }
    return qobject_cast<const QAbstractButton*>(&w) != nullptr ||
           qobject_cast<const QLineEdit*>(&w) != nullptr ||
           qobject_cast<const QComboBox*>(&w) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(&w) != nullptr ||
           qobject_cast<const QAbstractItemView*>(&w) != nullptr ||
           qobject_cast<const QAbstractSlider*>(&w) != nullptr ||
           qobject_cast<const QTextEdit*>(&w) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(&w) != nullptr;
}

QString derivedAccessibleName(const QWidget& w) {
    QString name = buddyCaption(w);
    if (name.isEmpty()) {
        name = layoutCaption(w);
    }
    if (name.isEmpty()) {
        name = nearbyCaption(w);
    }
    if (name.isEmpty()) {
        if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
            name = spoken(button->text());
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) {
            name = spoken(edit->placeholderText());
        } else if (const auto* text = qobject_cast<const QPlainTextEdit*>(&w)) {
            name = spoken(text->placeholderText());
        } else if (const auto* rich = qobject_cast<const QTextEdit*>(&w)) {
            name = spoken(rich->placeholderText());
        }
    }
    if (name.isEmpty()) {
        name = spoken(w.toolTip());
    }
    if (name.isEmpty()) {
        name = spoken(w.statusTip());
    }
    if (name.isEmpty()) {
        name = groupTitle(w);
    }
    if (name.isEmpty() && isReadOnlyText(w)) {
        // A text the window only shows is the window's content: a help text.
        name = spoken(w.window()->windowTitle());
    }
    return name;
}

int nameAccessibleControls(QWidget& root) {
    int unnamed = 0;
    const auto visit = [&unnamed](QWidget& w) {
        if (isInteractiveControl(w) && !nameIfMissing(w)) {
            ++unnamed;
        }
    };
    if (!root.isWindow()) {
        visit(root);
    }
    for (QWidget* w : root.findChildren<QWidget*>()) {
        // Windows owned by this one are named when they are shown.
        if (w->window() == root.window()) {
            visit(*w);
        }
    }
    return unnamed;
}

AccessibleNaming* AccessibleNaming::install() {
    auto* naming = new AccessibleNaming(qApp);
    qApp->installEventFilter(naming);
    return naming;
}

bool AccessibleNaming::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return QObject::eventFilter(watched, event);
    }
    auto* w = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && w->isWindow()) {
        nameAccessibleControls(*w);
    } else if (event->type() == QEvent::Polish && !w->isWindow() && w->window()->isVisible() &&
               isInteractiveControl(*w)) {
        // A control added to a window already on the screen.
        nameIfMissing(*w);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wexon::ui
