#pragma once

#include <functional>

#include <QDialog>

class QKeyEvent;
class QLabel;

namespace wexon::keying {
class CwKeyer;
}

namespace wexon::ui {

// The "CW Strings" window `frmCWStrings`: the eleven messages beside their
// keys; a click on a key or its message sends it. Keys typed here go to the
// main window's key handler, so the function keys work while it has the focus.
class CwStringsWindow : public QDialog {
  public:
    static constexpr int kRows = 12;

    explicit CwStringsWindow(keying::CwKeyer& keyer, QWidget* parent = nullptr);

    // The main window's key handler; returns whether it used the key.
    void setKeyForwarder(std::function<bool(QKeyEvent*)> forward) {
        m_forward = std::move(forward);
    }
    // Fills the message labels from the CW window's boxes (on activation).
    void refresh();
    // A click on row `index` (0 = F1 ... 11 = F12).
    void rowClicked(int index);
    // "Done": minimizes the window.
    void doneClick();

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    keying::CwKeyer& m_keyer;
    std::function<bool(QKeyEvent*)> m_forward;
    QLabel* m_messages[kRows] = {};
};

} // namespace wexon::ui
