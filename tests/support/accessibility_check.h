#pragma once

// A walk over a window for the screen reader: every control the operator can
// work must be announced by a name. Kept apart from the program's own naming
// code, so a fault there cannot hide an unnamed control here.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

namespace wexon::test {

// Buttons, text boxes, combo and spin boxes, check and option buttons, lists,
// trees and tables, sliders and text areas; not the inner parts of another
// control (a spin box's edit field, a list's header or scroll bars).
inline bool isOperatorControl(const QWidget& w) {
    if (w.isWindow() || qobject_cast<const QHeaderView*>(&w) != nullptr ||
        qobject_cast<const QScrollBar*>(&w) != nullptr) {
        return false;
    }
    for (const QWidget* p = w.parentWidget(); p != nullptr && !p->isWindow();
         p = p->parentWidget()) {
        if (qobject_cast<const QComboBox*>(p) != nullptr ||
            qobject_cast<const QAbstractSpinBox*>(p) != nullptr ||
            qobject_cast<const QAbstractItemView*>(p) != nullptr ||
            qobject_cast<const QTabBar*>(p) != nullptr ||
            qobject_cast<const QLineEdit*>(p) != nullptr ||
            qobject_cast<const QMenuBar*>(p) != nullptr) {
            return false;
        }
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

// The name a screen reader announces: the accessible name, or what Qt's own
// accessibility gives the control (a button's text).
inline QString announcedName(QWidget& w) {
    if (!w.accessibleName().trimmed().isEmpty()) {
        return w.accessibleName();
    }
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&w);
    return face != nullptr ? face->text(QAccessible::Name).trimmed() : QString();
}

// The object names (class names when unnamed) of the controls under `root`,
// shown or hidden, that would be announced by no name.
inline QStringList unnamedControls(QWidget& root) {
    QStringList offenders;
    for (QWidget* w : root.findChildren<QWidget*>()) {
        if (w->window() != root.window() || !isOperatorControl(*w)) {
            continue;
        }
        if (announcedName(*w).isEmpty()) {
            offenders << (w->objectName().isEmpty()
                              ? QString("<%1>").arg(w->metaObject()->className())
                              : w->objectName());
        }
    }
    return offenders;
}

// For EXPECT_TRUE: fails listing the controls without a name. `pending` lists
// controls known to have no name yet, whose windows' owners are to name them;
// they are tolerated, any other offender fails.
inline ::testing::AssertionResult everyControlNamed(QWidget& root,
                                                    const QStringList& pending = {}) {
    QStringList offenders = unnamedControls(root);
    offenders.removeIf([&pending](const QString& name) { return pending.contains(name); });
    if (offenders.isEmpty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << root.objectName().toStdString() << ": no accessible name for "
           << offenders.join(", ").toStdString();
}

} // namespace wexon::test
