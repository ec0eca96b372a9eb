#include "ui/station/station_window.h"

#include <memory>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/fake_prompts.h"
#include "support/temp_dir.h"

// Readable failure messages for Qt texts.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace wexon::ui {
namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";

class StationWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Sorted by prefix, as the country file is.
        table.add({"4L", "Georgia", "AS", -44.8f, 41.7f});
        table.add({"DL", "Germany", "EU", -10.0f, 51.0f});
        table.add({"G", "England", "EU", 2.0f, 52.0f});
        table.add({"K", "USA", "NA", 90.0f, 40.0f});
        table.add({"ZB2", "Gibraltar", "EU", 5.3f, 36.1f});
        prefs.ownCall = "W1AW";
        prefs.utcOffset = 5.0f;
        prefs.contestMode = "CW";
        prefs.ownCountry = "USA";
        prefs.ownContinent = "NA";
        prefs.ownLongitude = 72.7f;
        prefs.ownLatitude = 41.75f;
        prefs.serialPerBand = 1;
        shared.load(sharedPath());
    }

    std::string sharedPath() const { return dir.file("SharedUserPreferences.xml"); }

    // Opens the window shown and active, as the operator sees it.
    StationWindow& open() {
        window = std::make_unique<StationWindow>(prefs, table, settings, shared, prompts);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    QLineEdit* box(const char* name) const { return window->findChild<QLineEdit*>(name); }
    QRadioButton* option(const char* name) const { return window->findChild<QRadioButton*>(name); }
    // Clicks an option button on its round indicator, where it takes clicks.
    void click(QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    QCheckBox* vemo() const { return window->findChild<QCheckBox*>("chkVemoRtty"); }
    QPushButton* done() const { return window->findChild<QPushButton*>("Command1"); }
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }

    test::TempDir dir;
    core::Preferences prefs;
    core::CountryTable table;
    core::MemorySettingsStore settings;
    core::SharedPreferences shared;
    test::FakePrompts prompts;
    std::unique_ptr<StationWindow> window;
};

TEST_F(StationWindowTest, HasTheDesignedControlsAndCaptions) {
    open();
    EXPECT_EQ(window->objectName(), "frmStationID");
    EXPECT_EQ(window->windowTitle(), " Amateur Station I.D.");
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text7", "Text6"}) {
        EXPECT_NE(box(name), nullptr) << name;
    }
    const char* captions[] = {"Please Enter your Call Sign:",
                              "Your Country:",
                              "Your Continent:",
                              "Your Longitude:",
                              "Your Latitude:",
                              "Hours added for UTC:",
                              "Connect to Vemo RTTY?"};
    for (const char* caption : captions) {
        bool found = false;
        for (QLabel* label : window->findChildren<QLabel*>()) {
            found = found || label->text() == caption;
        }
        EXPECT_TRUE(found) << caption;
    }
    EXPECT_EQ(option("Option1")->text(), "Phone");
    EXPECT_EQ(option("Option2")->text(), "CW");
    EXPECT_EQ(option("Option5")->text(), "RTTY");
    EXPECT_EQ(option("Option3")->text(), "Individual Band");
    EXPECT_EQ(option("Option4")->text(), "All Bands");
    EXPECT_EQ(done()->text(), "Done");
}

TEST_F(StationWindowTest, FormLoadFillsTheBoxesAndOptions) {
    prefs.contestMode = "RY";
    prefs.serialPerBand = 0;
    prefs.utcOffset = -4.5f;
    settings.write("UserVemoOption", "1");
    open();
    EXPECT_EQ(box("Text1")->text(), "W1AW");
    EXPECT_EQ(box("Text2")->text(), "USA");
    EXPECT_EQ(box("Text3")->text(), "NA");
    EXPECT_EQ(box("Text4")->text(), "72.7");
    EXPECT_EQ(box("Text7")->text(), "41.75");
    EXPECT_EQ(box("Text6")->text(), "-4.5");
    EXPECT_TRUE(option("Option5")->isChecked());
    EXPECT_TRUE(option("Option4")->isChecked());
    EXPECT_TRUE(vemo()->isChecked());
    EXPECT_TRUE(vemo()->isEnabled());
}

TEST_F(StationWindowTest, UserCallSignFillsOnlyAnEmptyCall) {
    settings.write("UserCallSign", "DL1ABC");
    open();
    EXPECT_EQ(box("Text1")->text(), "W1AW");
    prefs.ownCall.clear();
    open();
    EXPECT_EQ(box("Text1")->text(), "DL1ABC");
}

TEST_F(StationWindowTest, TypedCountryCompletesAndFillsCoordinatesAndContinent) {
    prefs.ownCountry.clear();
    open();
    QLineEdit* country = box("Text2");
    country->setFocus();

    QTest::keyClick(country, Qt::Key_G, Qt::NoModifier);
    EXPECT_EQ(country->text(), "Gibraltar"); // capital, last entry beginning with "G"
    EXPECT_EQ(country->selectedText(), "ibraltar");
    EXPECT_EQ(box("Text3")->text(), "EU");

    QTest::keyClicks(country, "e");
    EXPECT_EQ(country->text(), "Germany");
    EXPECT_EQ(country->selectionStart(), 2);
    EXPECT_EQ(country->selectedText(), "rmany");
    EXPECT_EQ(country->cursorPosition(), 2);
    EXPECT_EQ(box("Text4")->text(), "-10");
    EXPECT_EQ(box("Text7")->text(), "51");
    EXPECT_EQ(box("Text3")->text(), "EU");

    QTest::keyClicks(country, "o");
    EXPECT_EQ(country->text(), "Georgia");
    EXPECT_EQ(box("Text4")->text(), "-44.8");
    EXPECT_EQ(box("Text7")->text(), "41.7");
    EXPECT_EQ(box("Text3")->text(), "AS");

    // No country begins with "Geox": the key is typed over the selection.
    QTest::keyClicks(country, "x");
    EXPECT_EQ(country->text(), "Geox");
    EXPECT_EQ(box("Text3")->text(), "AS");

    // A double quote is discarded.
    QTest::keyClicks(country, "\"");
    EXPECT_EQ(country->text(), "Geox");
}

TEST_F(StationWindowTest, NumberBoxesTakeOnlyMinusPointSlashAndDigits) {
    open();
    for (const char* name : {"Text4", "Text7", "Text6"}) {
        QLineEdit* b = box(name);
        b->clear();
        b->setFocus();
        QTest::keyClicks(b, "a-1b2.5 e+");
        EXPECT_EQ(b->text(), "-12.5") << name;
        QTest::keyClick(b, Qt::Key_Backspace);
        EXPECT_EQ(b->text(), "-12.") << name;
    }

    QLineEdit* utc = box("Text6");
    utc->clear();
    QGuiApplication::clipboard()->setText("12abc");
    QTest::keyClick(utc, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(utc->text(), "");
    utc->paste();
    EXPECT_EQ(utc->text(), "");
    QGuiApplication::clipboard()->setText("-3");
    QTest::keyClick(utc, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(utc->text(), "-3");
}

TEST_F(StationWindowTest, TextWhereANumberBelongsIsSavedAsZero) {
    open();
    box("Text6")->setText("five");
    box("Text4")->setText("");
    box("Text7")->setText("1-2");
    QTest::mouseClick(done(), Qt::LeftButton);
    EXPECT_TRUE(window->donePressed());
    EXPECT_EQ(box("Text6")->text(), "0");
    EXPECT_EQ(box("Text4")->text(), "0");
    EXPECT_EQ(box("Text7")->text(), "0");
    core::Preferences after = window->applyTo(prefs);
    EXPECT_EQ(after.utcOffset, 0.0f);
    EXPECT_EQ(after.ownLongitude, 0.0f);
    EXPECT_EQ(after.ownLatitude, 0.0f);
    EXPECT_NE(shared.text().find("<OWN_UTC>0</OWN_UTC>"), std::string::npos);
    EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(StationWindowTest, LeavingANumberBoxWithTextBeepsAndReturnsTheFocus) {
    open();
    QLineEdit* longitude = box("Text4");
    longitude->setFocus();
    longitude->setText("-");
    QTest::keyClick(longitude, Qt::Key_Tab);
    settle();
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), longitude);

    // A number leaves freely.
    longitude->setText("-71.5");
    QTest::keyClick(longitude, Qt::Key_Tab);
    settle();
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), box("Text7"));
}

TEST_F(StationWindowTest, TwoBadNumberBoxesDoNotPassTheFocusBackAndForth) {
    open();
    QLineEdit* longitude = box("Text4");
    QLineEdit* latitude = box("Text7");
    longitude->setText(".");
    latitude->setText("-");
    longitude->setFocus();
    QTest::keyClick(longitude, Qt::Key_Tab); // to the latitude box
    settle();
    settle();
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), longitude);
}

TEST_F(StationWindowTest, DoneStillWorksFromABadNumberBox) {
    open();
    QLineEdit* utc = box("Text6");
    utc->setFocus();
    utc->setText("-");
    QTest::mouseClick(done(), Qt::LeftButton);
    settle();
    EXPECT_TRUE(window->donePressed());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(utc->text(), "0");
    EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(StationWindowTest, EnterInAnyBoxRunsDone) {
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text7", "Text6"}) {
        open();
        QTest::keyClick(box(name), Qt::Key_Return);
        EXPECT_TRUE(window->donePressed()) << name;
        EXPECT_EQ(window->result(), QDialog::Accepted) << name;
        EXPECT_FALSE(window->isVisible()) << name;
    }
}

TEST_F(StationWindowTest, CallAndContinentBoxesTypeCapitals) {
    open();
    QLineEdit* call = box("Text1");
    call->clear();
    QTest::keyClicks(call, "dl1abc/p");
    EXPECT_EQ(call->text(), "DL1ABC/P");
    QLineEdit* continent = box("Text3");
    continent->clear();
    QTest::keyClicks(continent, "eu");
    EXPECT_EQ(continent->text(), "EU");
    QTest::keyClick(call, Qt::Key_Enter);
    core::Preferences after = window->applyTo(prefs);
    EXPECT_EQ(after.ownCall, "DL1ABC/P");
    EXPECT_EQ(after.ownContinent, "EU");
}

TEST_F(StationWindowTest, ClosingWithoutDoneChangesNothing) {
    open();
    box("Text1")->setText("K1XYZ");
    option("Option1")->setChecked(true);
    window->close();
    EXPECT_FALSE(window->donePressed());
    EXPECT_EQ(window->applyTo(prefs), prefs);
    EXPECT_EQ(settings.read("UserVemoOption", "unset"), "unset");
    EXPECT_FALSE(dir.exists("SharedUserPreferences.xml"));

    open();
    box("Text1")->setText("K1XYZ");
    QTest::keyClick(box("Text1"), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->applyTo(prefs), prefs);
}

TEST_F(StationWindowTest, RttyEnablesTheVemoLabelAndCheckBox) {
    open();
    QLabel* label = window->findChild<QLabel*>("lblVemoRtty");
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(vemo()->isEnabled());
    EXPECT_FALSE(label->isEnabled());
    click(option("Option5"));
    EXPECT_TRUE(vemo()->isEnabled());
    EXPECT_TRUE(label->isEnabled());
    QTest::mouseClick(label, Qt::LeftButton); // the label ticks its box
    EXPECT_TRUE(vemo()->isChecked());
    click(option("Option1"));
    EXPECT_FALSE(vemo()->isEnabled());
    EXPECT_FALSE(label->isEnabled());
}

TEST_F(StationWindowTest, DoneWritesTheVemoOption) {
    open();
    option("Option5")->setChecked(true);
    vemo()->setChecked(true);
    QTest::mouseClick(done(), Qt::LeftButton);
    EXPECT_EQ(settings.read("UserVemoOption", ""), "1");
    EXPECT_TRUE(window->connectVemoRtty());

    open();
    EXPECT_TRUE(vemo()->isChecked());
    vemo()->setChecked(false);
    QTest::mouseClick(done(), Qt::LeftButton);
    EXPECT_EQ(settings.read("UserVemoOption", ""), "0");
    EXPECT_FALSE(window->connectVemoRtty());
}

TEST_F(StationWindowTest, DoneWritesTheSixSharedKeysInOrder) {
    dir.write("SharedUserPreferences.xml", kDecl + "\r\n<OWN_EMAIL>w1aw@arrl.net</OWN_EMAIL>\r\n");
    shared.load(sharedPath());
    open();
    QTest::mouseClick(done(), Qt::LeftButton);
    EXPECT_EQ(dir.read("SharedUserPreferences.xml"),
              kDecl + "\r\n<OWN_EMAIL>w1aw@arrl.net</OWN_EMAIL>"
                      "\r\n<OWN_CALL>W1AW</OWN_CALL>"
                      "\r\n<OWN_UTC>5</OWN_UTC>"
                      "\r\n<OWN_COUNTRY>USA</OWN_COUNTRY>"
                      "\r\n<OWN_LONGITUDE>72.7</OWN_LONGITUDE>"
                      "\r\n<OWN_LATITUDE>41.75</OWN_LATITUDE>"
                      "\r\n<OWN_CONTINENT>NA</OWN_CONTINENT>\r\n");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(StationWindowTest, ApplyToCopiesTheStationValues) {
    open();
    box("Text1")->setText(QString::fromLatin1("VE3\xc9X")); // one byte per character
    box("Text2")->setText("Canada");
    box("Text3")->setText("NA");
    box("Text4")->setText("79.4");
    box("Text7")->setText("43.7");
    box("Text6")->setText("-5");
    option("Option1")->setChecked(true);
    option("Option4")->setChecked(true);
    QTest::mouseClick(done(), Qt::LeftButton);
    core::Preferences after = window->applyTo(prefs);
    EXPECT_EQ(after.ownCall, "VE3\xc9X");
    EXPECT_EQ(after.ownCountry, "Canada");
    EXPECT_EQ(after.ownContinent, "NA");
    EXPECT_EQ(after.ownLongitude, 79.4f);
    EXPECT_EQ(after.ownLatitude, 43.7f);
    EXPECT_EQ(after.utcOffset, -5.0f);
    EXPECT_EQ(after.contestMode, "PH");
    EXPECT_EQ(after.serialPerBand, 0);
    EXPECT_EQ(after.band, prefs.band); // not the window's business

    open();
    option("Option5")->setChecked(true);
    option("Option3")->setChecked(true);
    QTest::mouseClick(done(), Qt::LeftButton);
    after = window->applyTo(prefs);
    EXPECT_EQ(after.contestMode, "RY");
    EXPECT_EQ(after.serialPerBand, 1);
}

TEST_F(StationWindowTest, SharedDocumentFailureIsShownAndTheValuesKept) {
    shared.load(dir.file("missing/SharedUserPreferences.xml"));
    open();
    box("Text1")->setText("K1ABC");
    QTest::mouseClick(done(), Qt::LeftButton);
    const auto* shown = prompts.find("Unable to save shared preferences.");
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->text.startsWith(
        QString::fromStdString(dir.file("missing/SharedUserPreferences.xml") + "  ")));
    EXPECT_TRUE(shown->text.contains("No such file or directory"));
    EXPECT_TRUE(window->donePressed());
    EXPECT_EQ(window->applyTo(prefs).ownCall, "K1ABC");
    EXPECT_EQ(settings.read("UserVemoOption", ""), "0");
}

} // namespace
} // namespace wexon::ui
