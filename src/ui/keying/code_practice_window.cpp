#include "ui/keying/code_practice_window.h"

#include <chrono>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

#include "core/number_format.h"
#include "core/text_util.h"
#include "keying/code_practice.h"
#include "keying/cw_keyer.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

int countFrom(const QString& text) {
    auto v = core::parseNumber(text.toLatin1().toStdString());
    if (!v || *v < 0) {
        return 0;
    }
    return *v > 1e6 ? 1'000'000 : static_cast<int>(*v);
}

} // namespace

CodePracticeWindow::CodePracticeWindow(keying::CwKeyer& keyer, QWidget* parent)
    : QDialog(parent), m_keyer(keyer),
      m_random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())) {
    setObjectName("frmCodePractice");
    setWindowTitle("On the Air Code Practice");
    m_clipboard = [] { return QApplication::clipboard()->text(); };

    auto* grid = new QGridLayout(this);
    m_toSend = new QPlainTextEdit(this);
    m_toSend->setObjectName("Text1");
    m_toSend->installEventFilter(this);
    m_sent = new QPlainTextEdit(this);
    m_sent->setObjectName("Text2");
    m_sent->setReadOnly(true);
    grid->addWidget(plainLabel("Text to Send", this), 0, 0);
    grid->addWidget(m_toSend, 1, 0, 1, 4);
    grid->addWidget(plainLabel(" Text Sent", this), 2, 0);
    grid->addWidget(m_sent, 3, 0, 1, 4);

    auto* include = new QGroupBox("Include:", this);
    auto* includeLayout = new QHBoxLayout(include);
    m_lettersOnly = new QRadioButton("Letters Only", include);
    m_lettersOnly->setObjectName("Option1");
    m_all = new QRadioButton("All", include);
    m_all->setObjectName("Option2");
    m_all->setChecked(true);
    includeLayout->addWidget(m_lettersOnly);
    includeLayout->addWidget(m_all);
    grid->addWidget(include, 4, 0, 1, 4);

    m_groups = new QLineEdit("10", this);
    m_groups->setObjectName("Text3");
    m_length = new QLineEdit("5", this);
    m_length->setObjectName("Text4");
    auto* generateRow = new QHBoxLayout;
    generateRow->addWidget(plainLabel("Generate", this));
    generateRow->addWidget(m_groups);
    generateRow->addWidget(plainLabel("groups of", this));
    generateRow->addWidget(m_length);
    generateRow->addWidget(plainLabel("characters each.", this));
    grid->addLayout(generateRow, 5, 0, 1, 4);

    m_keyboard = new QLineEdit(this);
    m_keyboard->setObjectName("Text5");
    m_keyboard->installEventFilter(this);
    grid->addWidget(plainLabel("Type characters here to send text from keyboard:", this), 6, 0, 1,
                    4);
    grid->addWidget(m_keyboard, 7, 0, 1, 4);

    m_speed = plainLabel(QString::fromLatin1(m_keyer.settings().speedText), this);
    m_speed->setObjectName("Label8");
    grid->addWidget(m_speed, 8, 3);

    auto button = [&](const char* name, const char* caption, int row, int col) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        grid->addWidget(b, row, col);
        return b;
    };
    connect(button("Command2", "&Generate Random Characters", 9, 0), &QPushButton::clicked, this,
            [this] { command2Click(); });
    connect(button("Command3", "&Send", 9, 1), &QPushButton::clicked, this,
            [this] { command3Click(); });
    connect(button("Command4", "S&top", 9, 2), &QPushButton::clicked, this,
            [this] { command4Click(); });
    connect(button("Command1", "&Paste from Clipboard", 10, 0), &QPushButton::clicked, this,
            [this] { command1Click(); });
    connect(button("Command6", "&Clear", 10, 1), &QPushButton::clicked, this,
            [this] { m_toSend->clear(); });
    connect(button("Command5", "Cl&ear", 10, 2), &QPushButton::clicked, this,
            [this] { m_sent->clear(); });
    connect(button("Command7", "&Faster", 8, 0), &QPushButton::clicked, this, [this] {
        if (m_faster) {
            showSpeed(m_faster());
        }
    });
    connect(button("Command8", "S&lower", 8, 1), &QPushButton::clicked, this, [this] {
        if (m_slower) {
            showSpeed(m_slower());
        }
    });

    m_sendTimer.setInterval(2);
    connect(&m_sendTimer, &QTimer::timeout, this, [this] { step(); });
}

void CodePracticeWindow::setSpeedButtons(std::function<QString()> faster,
                                         std::function<QString()> slower) {
    m_faster = std::move(faster);
    m_slower = std::move(slower);
}

void CodePracticeWindow::showSpeed(const QString& wpm) {
    m_speed->setText(wpm);
}

void CodePracticeWindow::command2Click() {
    m_groups->setText(QString::fromLatin1(
        keying::practiceGroupCountText(m_groups->text().toLatin1().toStdString())));
    m_length->setText(QString::fromLatin1(
        keying::practiceGroupLengthText(m_length->text().toLatin1().toStdString())));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::string text = keying::generatePracticeGroups(
        countFrom(m_groups->text()), countFrom(m_length->text()), m_lettersOnly->isChecked(),
        [&] { return uniform(m_random); });
    m_toSend->setPlainText(QString::fromLatin1(text));
}

void CodePracticeWindow::command1Click() {
    m_toSend->setPlainText(m_clipboard ? m_clipboard() : QString());
}

void CodePracticeWindow::command3Click() {
    m_toSend->setFocus();
    m_position = 0;
    m_running = true;
    step();
    if (m_running) {
        m_sendTimer.start();
    }
}

void CodePracticeWindow::command4Click() {
    m_running = false;
    m_sendTimer.stop();
    m_keyer.engine().clearBuffer();
}

void CodePracticeWindow::step() {
    if (!m_running) {
        m_sendTimer.stop();
        return;
    }
    // The next character goes in once the keyer has taken the last one, so it
    // follows without a gap; edits to the text take effect from it.
    if (!m_keyer.engine().bufferEmpty()) {
        return;
    }
    QString text = m_toSend->toPlainText();
    if (m_position >= text.size()) {
        m_running = false;
        m_sendTimer.stop();
        return;
    }
    QChar c = text[m_position];
    char ch = c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?';
    m_keyer.engine().append(std::string(1, ch));
    if (!m_keyer.isSending()) {
        m_keyer.loopThroughCwBuffer();
    }
    ++m_position;
    appendSent(c);
    QTextCursor cursor = m_toSend->textCursor();
    cursor.setPosition(std::min<int>(m_position, static_cast<int>(text.size())));
    m_toSend->setTextCursor(cursor);
}

void CodePracticeWindow::appendSent(QChar c) {
    QTextCursor end = m_sent->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(QString(c));
    end.movePosition(QTextCursor::Left);
    m_sent->setTextCursor(end);
}

bool CodePracticeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    QString text = key->text();
    if (watched == m_toSend) {
        if (text.size() == 1 && text[0] >= QLatin1Char('a') && text[0] <= QLatin1Char('z')) {
            m_toSend->insertPlainText(text.toUpper());
            return true;
        }
        return false;
    }
    if (watched == m_keyboard) {
        if (key->key() == Qt::Key_Backspace) {
            m_keyer.engine().removeLast();
            QString sent = m_sent->toPlainText();
            if (!sent.isEmpty()) {
                sent.chop(1);
                m_sent->setPlainText(sent);
            }
            return true;
        }
        if (text.size() == 1 && key->key() != Qt::Key_Tab && text[0].unicode() <= 0xFF &&
            text[0].unicode() >= 0x20) {
            char ch = core::toUpperAscii(static_cast<char>(text[0].unicode()));
            appendSent(QChar::fromLatin1(ch));
            m_keyer.engine().append(std::string(1, ch));
            if (!m_keyer.isSending()) {
                m_keyer.loopThroughCwBuffer();
            }
            return true;
        }
        return key->key() != Qt::Key_Tab;
    }
    return QDialog::eventFilter(watched, event);
}

bool CodePracticeWindow::mayClose() {
    command4Click();
    return !m_keyer.isSending();
}

void CodePracticeWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CodePracticeWindow::reject() {
    if (mayClose()) {
        QDialog::reject();
    }
}

} // namespace wexon::ui
