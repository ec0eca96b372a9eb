#include "platform/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace wexon::platform {

namespace {

// A screen reader announces a dialog by its accessible name and reads its
// description after it: the title and the text the operator must hear.
void announce(QWidget& dialog, const QString& title, const QString& text) {
    dialog.setAccessibleName(title);
    dialog.setAccessibleDescription(text);
}

} // namespace

void QtPrompts::message(const QString& title, const QString& text, Icon icon) {
    QMessageBox::Icon qIcon = QMessageBox::Information;
    switch (icon) {
    case Icon::Information:
        qIcon = QMessageBox::Information;
        break;
    case Icon::Warning:
    case Icon::Exclamation:
        qIcon = QMessageBox::Warning;
        break;
    case Icon::Critical:
        qIcon = QMessageBox::Critical;
        break;
    }
    QMessageBox box(qIcon, title, text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    announce(box, title, text);
    box.exec();
}

bool QtPrompts::question(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    announce(box, title, text);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPrompts::input(const QString& title, const QString& prompt,
                                        const QString& defaultText) {
    QInputDialog dialog(m_parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
    }
    dialog.setTextValue(defaultText);
    dialog.setTextEchoMode(QLineEdit::Normal);
    announce(dialog, title, prompt);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

QString QtPrompts::openFile(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, title, folder, filter);
}

QString QtPrompts::saveFile(const QString& title, const QString& folder, const QString& fileName,
                            const QString& filter) {
    QString start = folder.isEmpty() ? fileName : folder + "/" + fileName;
    return QFileDialog::getSaveFileName(m_parent, title, start, filter);
}

void QtPrompts::beep() {
    QApplication::beep();
}

} // namespace wexon::platform
