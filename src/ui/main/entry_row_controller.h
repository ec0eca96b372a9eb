#pragma once

#include <array>
#include <string>

#include <QObject>

#include "core/clock.h"
#include "core/entry_effects.h"
#include "core/entry_key_hold.h"
#include "core/entry_row.h"

class QKeyEvent;
class QLineEdit;
class QTimer;

namespace wexon::ui {

// What the entry row asks of the window it sits in: the lookups and labels that
// follow a changed box, the message line, logging and the duplicate check.
class EntryRowHost {
  public:
    virtual ~EntryRowHost() = default;
    // A key went down in a box: the window's own keys (shortcuts, F-keys,
    // keyboard CW). True when the window took it.
    virtual bool windowKey(QKeyEvent* event) = 0;
    // A key is about to be fed to `box` (the country box forgets the continent
    // found for the call on any key).
    virtual void beforeKey(core::EntryBox box) = 0;
    // The text of `box` changed: prefix and country for the call box, points for
    // the country box, "New" for the prefix box, the link for the report sent.
    virtual void boxChanged(core::EntryBox box) = 0;
    virtual void showMessage(const std::string& text, core::MessageColour colour) = 0;
    virtual void beep() = 0;
    virtual void logContact() = 0;
    virtual void partialDupes(int key, const std::string& callBefore) = 0;
    // The exact duplicate check; true when the call was a duplicate (the host
    // has then cleared the row).
    virtual bool dupCheck() = 0;
    virtual void completeCountry(int key) = 0;
    virtual void voicePrompt(const std::string& name) = 0;
    virtual void callGotFocus() = 0;
    virtual void clearCountryLabels() = 0;
    virtual void clearDupeLabel() = 0;
    // The focus leaves the row for the control after the points box.
    virtual void focusNextControl() = 0;
};

// Mirrors the entry row model onto the seven line edits of the main window.
// Keys typed into a box are taken by an event filter and fed to the model one
// at a time; editing keys the model does not take (Delete, arrows, Home, End,
// pastes) go to the widget and the widget's text is written back into the
// model. The effects the model answers are carried out in order through the
// host; afterwards every box whose text, caret or selection differs is set from
// the model, and the model's focused box gets the focus.
//
// Keys for the call box that arrive within 3 seconds of a duplicate wait in a
// queue and are fed when a single-shot timer ends the hold, so the window keeps
// running and no key is lost or reordered.
class EntryRowController : public QObject {
    Q_OBJECT
  public:
    EntryRowController(std::array<QLineEdit*, core::kEntryBoxCount> boxes, EntryRowHost& host,
                       const core::Clock& clock, QObject* parent = nullptr);

    core::EntryRow& row() { return m_row; }
    const core::EntryRow& row() const { return m_row; }
    QLineEdit* widget(core::EntryBox box) const {
        return m_boxes[static_cast<std::size_t>(core::entryBoxIndex(box))];
    }

    // Carries out effects of the model in order, then mirrors the model onto
    // the widgets (once, when the outermost call ends).
    void apply(const core::EntryEffects& effects);
    // Feeds one key to `box` as if typed there (the hold applies to the call box).
    void feedKey(core::EntryBox box, int key);

    // The duplicate check found the call: the next call-box keys wait.
    void duplicateFound();
    // Feeds the keys that waited once the hold is over; the hold timer calls it.
    void releaseHeldKeys();
    QTimer* holdTimer() const { return m_holdTimer; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int boxIndexOf(QObject* object) const;
    bool keyPress(core::EntryBox box, QKeyEvent* event);
    void feedNow(core::EntryBox box, int key);
    // Writes the widget's text, caret and selection into the model.
    void syncFromWidget(core::EntryBox box);
    void mirror();
    void scheduleRelease();

    std::array<QLineEdit*, core::kEntryBoxCount> m_boxes;
    EntryRowHost& m_host;
    const core::Clock& m_clock;
    core::EntryRow m_row;
    core::EntryKeyHold m_hold;
    QTimer* m_holdTimer = nullptr;
    int m_depth = 0;
    bool m_mirroring = false;
};

// The text of a widget as the 8-bit text of the domain; characters outside
// Latin-1 are dropped rather than turned into "?".
std::string latin1Only(const QString& text);

} // namespace wexon::ui
