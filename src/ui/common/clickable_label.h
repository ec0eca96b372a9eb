#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace wexon::ui {

// A label that reports clicks (the band label steps the band when clicked).
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            emit clicked();
        }
        QLabel::mousePressEvent(event);
    }
};

} // namespace wexon::ui
