#pragma once

#include <cstddef>

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace wexon::ui {

// A plain read-only window that shows one of the program's help text files
// (the operator's guide "readwexon.txt" among them). The file is read as
// Latin-1 bytes; a file that is missing, unreadable or too large is not an
// error for the caller: the window then says so in its text instead.
class HelpWindow : public QDialog {
    Q_OBJECT

  public:
    // Help files are small; anything above this is not a help file.
    static constexpr std::size_t kMaxFileBytes = 4u * 1024u * 1024u;

    explicit HelpWindow(const QString& filePath, QWidget* parent = nullptr);

    // True when the file was read and is what the window shows.
    bool loaded() const { return m_loaded; }
    // The text shown, with line ends as single "\n".
    QString text() const;

  private:
    void loadFile(const QString& filePath);
    void fitToText();

    QPlainTextEdit* m_textBox = nullptr;
    QPushButton* m_closeButton = nullptr;
    bool m_loaded = false;
};

} // namespace wexon::ui
