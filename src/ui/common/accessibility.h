#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace wexon::ui {

// Names for the screen reader. Every control the operator can reach should be
// announced by a name; Qt gives a button its text, but a text box, a list or a
// combo box beside a caption is announced by nothing unless the caption is tied
// to it. These functions tie them.

// Whether a widget is a control the operator works with (as opposed to a label,
// a container, or an inner part of another control such as a spin box's edit
// field or a list's header).
bool isInteractiveControl(const QWidget& widget);

// The name a control would be given: the text of the label that is its buddy,
// of its caption in a form, grid or row layout, or of the label just left of it
// or above it; a line edit's placeholder; its tool tip or status tip; or the
// title of the group box around it; for a read-only text area, the title of
// its window (the text is what the window shows). Mnemonic ampersands and a trailing colon are
// dropped. Empty when nothing fits.
QString derivedAccessibleName(const QWidget& widget);

// Gives every interactive control under `root` (hidden ones too) that has no
// accessible name one derived as above. A button with text is left alone: the
// screen reader already speaks its text, and keeps up when the text changes.
// Returns how many controls still have no name at all.
int nameAccessibleControls(QWidget& root);

// Names the controls of every window when it is first shown, and of controls
// added to a window later. Installed once on the application object, so windows
// made after it are covered too.
class AccessibleNaming : public QObject {
    Q_OBJECT
  public:
    explicit AccessibleNaming(QObject* parent = nullptr) : QObject(parent) {}
    // Makes one and installs it on the running application.
    static AccessibleNaming* install();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace wexon::ui
