#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTimer;

namespace wexon::ui {

// The logo shown for a moment at program start: the program's name, what it
// is and its version, on a painted background. It is modal and frameless and
// closes itself after kShowMs, or at once on a mouse click or a key.
class LogoWindow : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kShowMs = 1900;

    explicit LogoWindow(const QString& version, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QTimer* m_closeTimer = nullptr;
};

} // namespace wexon::ui
