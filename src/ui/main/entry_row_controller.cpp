#include "ui/main/entry_row_controller.h"

#include <algorithm>
#include <chrono>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include "ui/common/text_conversion.h"

namespace wexon::ui {

using core::EntryBox;
using core::EntryEffectKind;

std::string latin1Only(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t c : text.toUcs4()) {
        if (c <= 0xFF) {
            out.push_back(static_cast<char>(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

EntryRowController::EntryRowController(std::array<QLineEdit*, core::kEntryBoxCount> boxes,
                                       EntryRowHost& host, const core::Clock& clock,
                                       QObject* parent)
    : QObject(parent), m_boxes(boxes), m_host(host), m_clock(clock) {
    m_holdTimer = new QTimer(this);
    m_holdTimer->setObjectName("tmrDupeHold");
    m_holdTimer->setSingleShot(true);
    connect(m_holdTimer, &QTimer::timeout, this, [this] { releaseHeldKeys(); });
    for (EntryBox box : core::kEntryBoxes) {
        QLineEdit* w = widget(box);
        w->installEventFilter(this);
        // Pastes, Delete and a text set by other code reach the model here; the
        // model's own writes come with the signals blocked.
        connect(w, &QLineEdit::textChanged, this, [this, box] {
            if (!m_mirroring) {
                QLineEdit* edit = widget(box);
                const int start =
                    edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
                const int length = static_cast<int>(edit->selectedText().size());
                apply(m_row.setBox(box, latin1Only(edit->text()), edit->cursorPosition(), start,
                                   length));
            }
        });
    }
}

int EntryRowController::boxIndexOf(QObject* object) const {
    for (int i = 0; i < core::kEntryBoxCount; ++i) {
        if (m_boxes[static_cast<std::size_t>(i)] == object) {
            return i;
        }
    }
    return -1;
}

// ---------------------------------------------------------------- effects

void EntryRowController::apply(const core::EntryEffects& effects) {
    ++m_depth;
    for (const core::EntryEffect& fx : effects.list()) {
        bool stop = false;
        switch (fx.kind) {
        case EntryEffectKind::TextChanged:
            m_host.boxChanged(fx.box);
            break;
        case EntryEffectKind::FocusMoved:
            break; // mirrored below
        case EntryEffectKind::FocusNextControl:
            m_host.focusNextControl();
            break;
        case EntryEffectKind::Message:
            m_host.showMessage(fx.text, fx.colour);
            break;
        case EntryEffectKind::Beep:
            m_host.beep();
            break;
        case EntryEffectKind::LogContact:
            m_host.logContact();
            break;
        case EntryEffectKind::PartialDupes:
            m_host.partialDupes(fx.key, fx.text);
            break;
        case EntryEffectKind::DupCheck:
            // A duplicate clears the row: what follows in the list described a
            // row that is gone.
            stop = m_host.dupCheck();
            break;
        case EntryEffectKind::CompleteCountry:
            m_host.completeCountry(fx.key);
            break;
        case EntryEffectKind::VoicePrompt:
            m_host.voicePrompt(fx.text);
            break;
        case EntryEffectKind::CallGotFocus:
            m_host.callGotFocus();
            break;
        case EntryEffectKind::ClearCountryLabels:
            m_host.clearCountryLabels();
            break;
        case EntryEffectKind::ClearDupeLabel:
            m_host.clearDupeLabel();
            break;
        }
        if (stop) {
            break;
        }
    }
    --m_depth;
    if (m_depth == 0) {
        mirror();
    }
}

void EntryRowController::mirror() {
    m_mirroring = true;
    for (EntryBox box : core::kEntryBoxes) {
        QLineEdit* w = widget(box);
        const core::EntryBoxState& s = m_row.box(box);
        const QString text = fromLatin1(s.text);
        QSignalBlocker block(w);
        if (w->text() != text) {
            w->setText(text);
        }
        const int wStart = w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
        const int wLength = static_cast<int>(w->selectedText().size());
        if (wStart == s.selStart && wLength == s.selLength && w->cursorPosition() == s.cursor) {
            continue;
        }
        if (s.selLength > 0) {
            // The anchor stands at the end opposite the caret.
            if (s.cursor == s.selStart) {
                w->setSelection(s.selStart + s.selLength, -s.selLength);
            } else {
                w->setSelection(s.selStart, s.selLength);
            }
        } else {
            w->setCursorPosition(s.cursor);
        }
    }
    if (auto focused = m_row.focus()) {
        QLineEdit* w = widget(*focused);
        if (w->window()->focusWidget() != w || QApplication::focusWidget() != w) {
            // Not a Tab: Qt would select the whole text.
            w->setFocus(Qt::OtherFocusReason);
        }
    }
    m_mirroring = false;
}

// ---------------------------------------------------------------- keys

void EntryRowController::syncFromWidget(EntryBox box) {
    QLineEdit* w = widget(box);
    const int start = w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
    const int length = static_cast<int>(w->selectedText().size());
    core::EntryEffects fx =
        m_row.setBox(box, latin1Only(w->text()), w->cursorPosition(), start, length);
    if (!fx.empty()) {
        apply(fx);
    }
}

void EntryRowController::feedKey(EntryBox box, int key) {
    if (box == EntryBox::Call && m_hold.offer(key, m_clock.steadyNow())) {
        scheduleRelease();
        return;
    }
    feedNow(box, key);
}

void EntryRowController::feedNow(EntryBox box, int key) {
    ++m_depth;
    syncFromWidget(box);
    if (m_row.focus() != box) {
        // The key went to this box, so the box has the focus whatever the model
        // last heard.
        apply(m_row.focusBox(box));
    }
    m_host.beforeKey(box);
    apply(m_row.pressKey(key));
    --m_depth;
    if (m_depth == 0) {
        mirror();
    }
}

void EntryRowController::duplicateFound() {
    m_hold.duplicateFound(m_clock.steadyNow());
}

void EntryRowController::scheduleRelease() {
    auto at = m_hold.releaseAt();
    if (!at) {
        return;
    }
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(*at - m_clock.steadyNow());
    m_holdTimer->start(static_cast<int>(std::clamp<long long>(wait.count(), 0, 3000)));
}

void EntryRowController::releaseHeldKeys() {
    std::deque<int> keys = m_hold.release(m_clock.steadyNow());
    if (keys.empty()) {
        // Too early (the timer fired before the clock reached the end of the
        // hold): wait for the rest.
        scheduleRelease();
        return;
    }
    for (int key : keys) {
        feedNow(EntryBox::Call, key);
    }
}

bool EntryRowController::keyPress(EntryBox box, QKeyEvent* event) {
    if (m_host.windowKey(event)) {
        return true;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false; // clipboard and other editing shortcuts stay with the widget
    }
    int named = 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        named = core::entry_key::kEnter;
        break;
    case Qt::Key_Backspace:
        named = core::entry_key::kBackspace;
        break;
    case Qt::Key_Space:
        named = core::entry_key::kSpace;
        break;
    case Qt::Key_Tab:
        named = core::entry_key::kTab;
        break;
    case Qt::Key_Escape:
        named = core::entry_key::kEscape;
        break;
    default:
        break;
    }
    if (named != 0) {
        feedKey(box, named);
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) {
        return false; // Delete, arrows, Home, End: the widget edits, textChanged follows
    }
    for (char32_t c : text.toUcs4()) {
        if (auto key = core::entryKeyFromCodePoint(c)) {
            feedKey(box, *key);
        }
    }
    return true;
}

bool EntryRowController::eventFilter(QObject* watched, QEvent* event) {
    const int index = boxIndexOf(watched);
    if (index < 0) {
        return QObject::eventFilter(watched, event);
    }
    const EntryBox box = core::kEntryBoxes[static_cast<std::size_t>(index)];
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPress(box, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
        if (!m_mirroring && m_row.focus() != box) {
            apply(m_row.focusBox(box));
        }
        break;
    case QEvent::FocusOut: {
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (m_mirroring || reason == Qt::ActiveWindowFocusReason ||
            reason == Qt::PopupFocusReason) {
            break;
        }
        QWidget* next = QApplication::focusWidget();
        if (next != nullptr && boxIndexOf(next) < 0 && m_row.focus() == box) {
            apply(m_row.focusLeftRow());
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wexon::ui
