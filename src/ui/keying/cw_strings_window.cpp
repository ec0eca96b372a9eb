#include "ui/keying/cw_strings_window.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>

#include "keying/cw_keyer.h"
#include "ui/common/clickable_label.h"

namespace wexon::ui {

CwStringsWindow::CwStringsWindow(keying::CwKeyer& keyer, QWidget* parent)
    : QDialog(parent), m_keyer(keyer) {
    setObjectName("frmCWStrings");
    setWindowTitle("CW Strings");
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < kRows; ++i) {
        auto* key = new ClickableLabel(QString("F%1").arg(i + 1), this);
        key->setObjectName(QString("lblKey_%1").arg(i));
        auto* message = new ClickableLabel(this);
        message->setObjectName(QString("lblMessage_%1").arg(i));
        if (i == kRows - 1) {
            message->setText("Keyboard");
        }
        m_messages[i] = message;
        grid->addWidget(key, i, 0);
        grid->addWidget(message, i, 1);
        connect(key, &ClickableLabel::clicked, this, [this, i] { rowClicked(i); });
        connect(message, &ClickableLabel::clicked, this, [this, i] { rowClicked(i); });
    }
    auto* done = new QPushButton("Done", this);
    done->setObjectName("cmdDone");
    done->setAutoDefault(false);
    done->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(done, kRows, 1);
    connect(done, &QPushButton::clicked, this, [this] { doneClick(); });
    refresh();
}

void CwStringsWindow::refresh() {
    const auto& messages = m_keyer.settings().messages;
    for (int i = 0; i < kRows - 1; ++i) {
        const std::string& text = messages[static_cast<std::size_t>(i)];
        m_messages[i]->setText(
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
}

void CwStringsWindow::rowClicked(int index) {
    int code = 112 + index;
    if (code == 121) {
        code = 124;
    }
    if (code == 123 || m_keyer.settings().interface == 0) {
        return;
    }
    m_keyer.fKeyCW(code);
}

void CwStringsWindow::doneClick() {
    showMinimized();
}

void CwStringsWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        refresh();
    }
    QDialog::changeEvent(event);
}

void CwStringsWindow::showEvent(QShowEvent* event) {
    refresh();
    QDialog::showEvent(event);
}

void CwStringsWindow::keyPressEvent(QKeyEvent* event) {
    if (m_forward && m_forward(event)) {
        return;
    }
    // Esc would close the window; here it belongs to the main window.
    if (event->key() == Qt::Key_Escape) {
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace wexon::ui
