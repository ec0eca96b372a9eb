#include "platform/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace wexon::platform {

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
    box.exec();
}

bool QtPrompts::question(const QString& title, const QString& text) {
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

std::optional<QString> QtPrompts::input(const QString& title, const QString& prompt,
                                        const QString& defaultText) {
    bool ok = false;
    QString text =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
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
