#pragma once

#include <functional>
#include <random>

#include <QDialog>
#include <QTimer>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace wexon::keying {
class CwKeyer;
}

namespace wexon::ui {

// The code practice window `frmCodePractice` ("On the Air Code Practice"):
// random groups, pasted or typed text sent through the CW keyer one character
// at a time, with what was sent shown below. Opened modally from the CW window.
class CodePracticeWindow : public QDialog {
  public:
    explicit CodePracticeWindow(keying::CwKeyer& keyer, QWidget* parent = nullptr);

    // The CW window's "Faster" and "Slower", each giving the new speed.
    void setSpeedButtons(std::function<QString()> faster, std::function<QString()> slower);
    // Clipboard text for "Paste" (tests replace the clipboard).
    void setClipboardText(std::function<QString()> clipboard) {
        m_clipboard = std::move(clipboard);
    }
    // Seeds the group generator (tests make it repeatable).
    void seed(unsigned value) { m_random.seed(value); }

    void command2Click(); // Generate
    void command3Click(); // Send
    void command4Click(); // Stop
    void command1Click(); // Paste
    bool practiceRunning() const { return m_running; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void step();
    bool mayClose();
    void appendSent(QChar c);
    void showSpeed(const QString& wpm);

    keying::CwKeyer& m_keyer;
    std::function<QString()> m_faster;
    std::function<QString()> m_slower;
    std::function<QString()> m_clipboard;
    std::mt19937 m_random;
    QTimer m_sendTimer;
    bool m_running = false;
    int m_position = 0;

    QPlainTextEdit* m_toSend = nullptr;    // Text1
    QPlainTextEdit* m_sent = nullptr;      // Text2
    QLineEdit* m_groups = nullptr;         // Text3
    QLineEdit* m_length = nullptr;         // Text4
    QLineEdit* m_keyboard = nullptr;       // Text5
    QRadioButton* m_lettersOnly = nullptr; // Option1
    QRadioButton* m_all = nullptr;         // Option2
    QLabel* m_speed = nullptr;             // Label8
};

} // namespace wexon::ui
