#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_dir.h"
#include "ui/station/help_window.h"
#include "ui/station/logo_window.h"

namespace {

using wexon::test::TempDir;
using wexon::ui::HelpWindow;
using wexon::ui::LogoWindow;

QPlainTextEdit* helpTextBox(HelpWindow& window) {
    return window.findChild<QPlainTextEdit*>(QStringLiteral("txtHelp"));
}

// ---- Help window -----------------------------------------------------------

TEST(HelpWindow, ShowsTheFileBytesAsLatin1WithLineEndsNormalised) {
    TempDir dir;
    // "Caf\xE9" is Latin-1 for the French word; CR LF, bare LF and bare CR all end lines.
    dir.write("readme.txt", std::string("Caf\xE9 r\xE9sum\xE9\r\nsecond line\nthird\rfourth\r\n"));

    HelpWindow window(QString::fromStdString(dir.file("readme.txt")));

    EXPECT_TRUE(window.loaded());
    EXPECT_EQ(window.objectName(), QStringLiteral("frmHelp"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Help"));
    const QString expected =
        QStringLiteral("Caf\u00E9 r\u00E9sum\u00E9\nsecond line\nthird\nfourth\n");
    EXPECT_EQ(window.text(), expected);
    ASSERT_NE(helpTextBox(window), nullptr);
    EXPECT_EQ(helpTextBox(window)->toPlainText(), expected);
}

TEST(HelpWindow, TextBoxIsReadOnlyAndIgnoresTyping) {
    TempDir dir;
    dir.write("readme.txt", "Nothing to change here.\r\n");
    HelpWindow window(QString::fromStdString(dir.file("readme.txt")));
    window.show();
    QPlainTextEdit* box = helpTextBox(window);
    ASSERT_NE(box, nullptr);

    EXPECT_TRUE(box->isReadOnly());
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, "abc");
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Return);

    EXPECT_EQ(window.text(), QStringLiteral("Nothing to change here.\n"));
}

TEST(HelpWindow, MissingFileShowsALineNamingIt) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("readwexon.txt"));

    HelpWindow window(path);

    EXPECT_FALSE(window.loaded());
    EXPECT_TRUE(window.text().contains(path)) << window.text().toStdString();
    EXPECT_TRUE(window.text().contains(QStringLiteral("could not be found")));
}

TEST(HelpWindow, ControlBytesInADamagedFileDoNotReachTheScreen) {
    TempDir dir;
    dir.write("bad.txt", std::string("a\0b\1c\177d\r\n", 9));

    HelpWindow window(QString::fromStdString(dir.file("bad.txt")));

    EXPECT_TRUE(window.loaded());
    EXPECT_EQ(window.text(), QStringLiteral("a b c d\n"));
}

TEST(HelpWindow, FileAboveTheSizeBoundIsNotLoaded) {
    TempDir dir;
    dir.write("huge.txt", std::string(HelpWindow::kMaxFileBytes + 1, 'x'));
    const QString path = QString::fromStdString(dir.file("huge.txt"));

    HelpWindow window(path);

    EXPECT_FALSE(window.loaded());
    EXPECT_TRUE(window.text().contains(path));
    EXPECT_TRUE(window.text().contains(QStringLiteral("too large")));
}

TEST(HelpWindow, CloseButtonClosesTheWindow) {
    TempDir dir;
    dir.write("readme.txt", "x\r\n");
    HelpWindow window(QString::fromStdString(dir.file("readme.txt")));
    window.show();
    auto* close = window.findChild<QPushButton*>(QStringLiteral("cmdClose"));
    ASSERT_NE(close, nullptr);

    QTest::mouseClick(close, Qt::LeftButton);

    EXPECT_FALSE(window.isVisible());
}

// ---- Logo window -----------------------------------------------------------

TEST(LogoWindow, ShowsNameSubtitleAndVersion) {
    LogoWindow logo(QStringLiteral("1.2.3"));

    EXPECT_EQ(logo.objectName(), QStringLiteral("frmLogo"));
    EXPECT_TRUE(logo.isModal());
    EXPECT_TRUE(logo.windowFlags().testFlag(Qt::FramelessWindowHint));
    auto* name = logo.findChild<QLabel*>(QStringLiteral("lblName"));
    auto* version = logo.findChild<QLabel*>(QStringLiteral("lblVersion"));
    ASSERT_NE(name, nullptr);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("Wexon"));
    EXPECT_TRUE(version->text().contains(QStringLiteral("1.2.3")));
    EXPECT_NE(logo.findChild<QLabel*>(QStringLiteral("lblSubtitle")), nullptr);
}

TEST(LogoWindow, MouseClickClosesItAtOnce) {
    LogoWindow logo(QStringLiteral("1.0"));
    logo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&logo));
    QSignalSpy finished(&logo, &QDialog::finished);

    QTest::mouseClick(&logo, Qt::LeftButton, {}, QPoint(20, 20));

    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(logo.isVisible());
    EXPECT_EQ(logo.result(), QDialog::Accepted);
}

TEST(LogoWindow, ClickOnTheTextClosesItToo) {
    LogoWindow logo(QStringLiteral("1.0"));
    logo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&logo));
    auto* name = logo.findChild<QLabel*>(QStringLiteral("lblName"));
    ASSERT_NE(name, nullptr);

    // A click on the big name is the natural place to click; the label must
    // not swallow it.
    QTest::mouseClick(name, Qt::LeftButton, {}, name->rect().center());

    EXPECT_FALSE(logo.isVisible());
}

TEST(LogoWindow, ExecReturnsByItselfAfterItsTime) {
    LogoWindow logo(QStringLiteral("1.0"));
    QElapsedTimer elapsed;
    // A guard so that a broken timer fails the test instead of hanging it.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &logo, &QDialog::reject);
    guard.start(LogoWindow::kShowMs + 6000);

    elapsed.start();
    const int result = logo.exec();
    const qint64 ms = elapsed.elapsed();

    EXPECT_EQ(result, QDialog::Accepted) << "closed by the guard after " << ms << " ms";
    EXPECT_GE(ms, LogoWindow::kShowMs - 50);
    // Room for a busy machine; the guard above is well beyond it.
    EXPECT_LT(ms, LogoWindow::kShowMs + 4000);
}

TEST(LogoWindow, ClickDuringExecEndsIt) {
    LogoWindow logo(QStringLiteral("1.0"));
    QTimer::singleShot(100, &logo,
                       [&logo] { QTest::mouseClick(&logo, Qt::LeftButton, {}, QPoint(10, 10)); });
    QElapsedTimer elapsed;
    elapsed.start();

    EXPECT_EQ(logo.exec(), QDialog::Accepted);
    EXPECT_LT(elapsed.elapsed(), LogoWindow::kShowMs - 500);
}

// ---- The operator's guide shipped in data/ ----------------------------------

std::string readGuide() {
    std::ifstream in(std::string(WEXON_SOURCE_DIR) + "/data/readwexon.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(OperatorsGuide, IsPlainLatin1TextWithCrLfLinesOfReadableLength) {
    const std::string guide = readGuide();
    ASSERT_FALSE(guide.empty()) << "data/readwexon.txt is missing or empty";
    ASSERT_GE(guide.size(), 2u);
    EXPECT_EQ(guide.substr(guide.size() - 2), "\r\n") << "the last line must end in CR LF";

    int lineNumber = 1;
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < guide.size(); ++i) {
        const auto c = static_cast<unsigned char>(guide[i]);
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < guide.size() && guide[i + 1] == '\n')
                << "bare CR in line " << lineNumber;
            continue;
        }
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && guide[i - 1] == '\r') << "bare LF in line " << lineNumber;
            ++lineNumber;
            lineLength = 0;
            continue;
        }
        // Printable ASCII or printable Latin-1; no tabs or other control bytes.
        ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c >= 0xA0)
            << "byte " << int(c) << " in line " << lineNumber;
        ++lineLength;
        ASSERT_LE(lineLength, 100u) << "line " << lineNumber << " is too long";
    }
}

TEST(OperatorsGuide, NamesTheFilesAndMessagesTheOperatorMeets) {
    // Collapse line breaks and runs of blanks, so that wrapped text still matches.
    std::string flat;
    for (char c : readGuide()) {
        const bool blank = c == ' ' || c == '\r' || c == '\n';
        if (!blank) {
            flat += c;
        } else if (!flat.empty() && flat.back() != ' ') {
            flat += ' ';
        }
    }
    for (const char* phrase :
         {"wexonprf.txt",
          "log.txt",
          "arrlpre2.txt",
          "TARNO Software/CQ WPX",
          "TARNO Software/Shared",
          "BACKUP",
          "Amateur Station I.D.",
          "Open existing log?",
          "Time On",
          "Last 20",
          "Write Cabrillo File",
          "Export ADIF Format",
          "Export for Pavix Import",
          "Archive Current Log",
          "Restore from Archive or Backup",
          "Error loading default data . Check to make sure wexonprf.txt is in your working "
          "directory.",
          "Error opening country list file.",
          "File Error",
          "Error opening file.",
          "/dev/ttyS0",
          "/dev/ttyUSB0",
          "Ports/COM"}) {
        EXPECT_NE(flat.find(phrase), std::string::npos) << "the guide does not mention: " << phrase;
    }
}

} // namespace
