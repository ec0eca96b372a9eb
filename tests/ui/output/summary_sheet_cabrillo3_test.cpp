#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/output/summary_sheet_window.h"

using namespace wexon;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

core::QsoRecord contact(const std::string& call, const std::string& band,
                        const std::string& frequency) {
    core::QsoRecord r;
    r.call = call;
    r.rstReceived = "599";
    r.serialReceived = "7";
    r.rstSent = "599";
    r.qsoDate = "2026/03/28";
    r.qsoTime = "12:34:56";
    r.band = band;
    r.prefix = call.substr(0, 2);
    r.serialSent = "001";
    r.frequency = frequency;
    return r;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without CR LF";
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

// A summary sheet over a two-contact log, with fake prompts and stores. Each
// call of `open` makes a fresh window, as every opening of the menu item does.
class SummarySheetCabrillo3Test : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::FakePrompts prompts;
    core::MemorySettingsStore settings;
    core::SharedPreferences shared;
    std::vector<core::QsoRecord> qsos{contact("K1ABC", "20", "14.025"),
                                      contact("DL1XYZ", "40", "")};

    void SetUp() override {
        std::filesystem::create_directories(dir.file("shared"));
        shared.load(dir.file("shared/SharedUserPreferences.xml"));
    }

    std::unique_ptr<ui::SummarySheetWindow> open() {
        ui::CabrilloSource source;
        source.programTitle = "Wexon - CQ WPX Contest Logger";
        source.ownCall = "W1AW";
        source.contestMode = "CW";
        source.qsos = &qsos;
        source.totalPoints = 4;
        source.prefixCount = 2;
        source.programDataFolder = q(dir.path());
        return std::make_unique<ui::SummarySheetWindow>(source, settings, shared, prompts);
    }

    static QCheckBox* choice(QWidget& w) {
        auto* c = w.findChild<QCheckBox*>("chkCabrillo3");
        EXPECT_NE(c, nullptr);
        return c;
    }

    // Writes through the window to `name` and returns the file's text.
    std::string write(ui::SummarySheetWindow& w, const std::string& name) {
        prompts.fileAnswers = {q(dir.file(name))};
        EXPECT_EQ(w.command4Click(), q(dir.file(name)));
        return dir.read(name);
    }
};

} // namespace

TEST_F(SummarySheetCabrillo3Test, TheChoiceStartsAtTwoPointZero) {
    auto w = open();
    QCheckBox* c = choice(*w);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->text(), "Cabrillo 3.0");
    EXPECT_EQ(c->accessibleName(), "Cabrillo 3.0");
    EXPECT_FALSE(c->isChecked());
    EXPECT_EQ(w->cabrilloVersion(), output::CabrilloVersion::V2);

    const std::string text = write(*w, "two.log");
    EXPECT_EQ(text.substr(0, 19), "START-OF-LOG: 2.0\r\n");
    EXPECT_NE(text.find("CATEGORY: SINGLE-OP ALL LOW\r\n"), std::string::npos);
    EXPECT_EQ(text.find("CATEGORY-OPERATOR"), std::string::npos);
    EXPECT_EQ(settings.read(ui::kCabrilloVersionKey, "?"), "2.0");

    // A stored value that is not "3.0" leaves the default.
    for (const char* stored : {"", "2.0", "3", "yes"}) {
        settings.write(ui::kCabrilloVersionKey, stored);
        EXPECT_FALSE(choice(*open())->isChecked()) << stored;
    }
}

TEST_F(SummarySheetCabrillo3Test, CheckedWritesThreePointZeroAndIsRemembered) {
    auto w = open();
    choice(*w)->setChecked(true);
    w->findChild<QRadioButton*>("Option5")->setChecked(true); // Single Assisted
    w->findChild<QRadioButton*>("Option18")->setChecked(true);
    w->findChild<QCheckBox*>("Check3")->setChecked(true);
    w->findChild<QLineEdit*>("txtSection")->setText("CT");
    w->findChild<QLineEdit*>("Text11")->setText("Fine bands.");
    const std::string text = write(*w, "three.log");
    const auto l = lines(text);
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l.front(), "START-OF-LOG: 3.0");
    EXPECT_EQ(l.back(), "END-OF-LOG:");
    for (const char* expected :
         {"CONTEST: CQ-WPX-CW", "CALLSIGN: W1AW", "LOCATION: CT", "CATEGORY-OPERATOR: SINGLE-OP",
          "CATEGORY-ASSISTED: ASSISTED", "CATEGORY-BAND: ALL", "CATEGORY-MODE: CW",
          "CATEGORY-POWER: HIGH", "CATEGORY-TRANSMITTER: ONE", "CATEGORY-OVERLAY: TB-WIRES",
          "CLAIMED-SCORE: 8", "SOAPBOX: Fine bands."}) {
        EXPECT_NE(std::find(l.begin(), l.end(), expected), l.end()) << expected;
    }
    EXPECT_EQ(text.find("CATEGORY: "), std::string::npos);
    // The first contact has its own frequency, the second the band edge.
    EXPECT_NE(text.find("\r\nQSO: 14025 CW 2026-03-28 1234 W1AW"), std::string::npos);
    EXPECT_NE(text.find("\r\nQSO:  7000 CW 2026-03-28 1234 W1AW"), std::string::npos);
    EXPECT_EQ(settings.read(ui::kCabrilloVersionKey, "?"), "3.0");

    // The next opening starts with the choice made, and unchecking it goes back.
    auto again = open();
    EXPECT_TRUE(choice(*again)->isChecked());
    EXPECT_EQ(again->cabrilloVersion(), output::CabrilloVersion::V3);
    choice(*again)->setChecked(false);
    EXPECT_EQ(write(*again, "back.log").substr(0, 19), "START-OF-LOG: 2.0\r\n");
    EXPECT_EQ(settings.read(ui::kCabrilloVersionKey, "?"), "2.0");
}

TEST_F(SummarySheetCabrillo3Test, ChoiceIsNotStoredWhenTheWriteFailsOrIsCancelled) {
    auto w = open();
    choice(*w)->setChecked(true);
    prompts.fileAnswers = {q(dir.file("missing/folder/x.log"))};
    EXPECT_TRUE(w->command4Click().isEmpty());
    EXPECT_EQ(prompts.shown.back().title, "Unable to write file.");
    EXPECT_EQ(w->command4Click(), QString()); // no answer left: cancelled
    EXPECT_EQ(settings.read(ui::kCabrilloVersionKey, "unset"), "unset");
    EXPECT_FALSE(choice(*open())->isChecked());
}

TEST_F(SummarySheetCabrillo3Test, SoapboxWithLineBreaksStaysWellFormedInBothLayouts) {
    auto w = open();
    const QString soapbox = "First thought\nsecond thought " + QString(90, 'x');
    w->findChild<QLineEdit*>("Text11")->setText(soapbox);
    w->findChild<QLineEdit*>("Text6")->setText("225 Main Street\r\nSuite 4");
    for (bool three : {false, true}) {
        SCOPED_TRACE(three ? "3.0" : "2.0");
        choice(*w)->setChecked(three);
        const std::string text = write(*w, three ? "s3.log" : "s2.log");
        const auto l = lines(text);
        EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), l.size());
        EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')), l.size());
        std::size_t soapboxLines = 0;
        bool secondSeen = false;
        for (const auto& x : l) {
            if (x.rfind("SOAPBOX:", 0) == 0) {
                ++soapboxLines;
                secondSeen = secondSeen || x.find("second thought") != std::string::npos;
                if (three) {
                    EXPECT_LE(x.size(), output::kCabrilloTextLineWidth) << x;
                }
            }
        }
        EXPECT_TRUE(secondSeen);
        // 2.0 keeps its three soapbox lines; 3.0 needs more than one here.
        if (three) {
            EXPECT_GT(soapboxLines, 1u);
        } else {
            EXPECT_EQ(soapboxLines, 3u);
        }
    }
}

TEST_F(SummarySheetCabrillo3Test, ThreePointZeroTakesOneOverlayAndATransmitterId) {
    auto w = open();
    auto* overlay = w->findChild<QComboBox*>("cboOverlay3");
    auto* id = w->findChild<QComboBox*>("cboTransmitterId");
    ASSERT_NE(overlay, nullptr);
    ASSERT_NE(id, nullptr);
    EXPECT_FALSE(overlay->isEnabled()); // 2.0 has no such list
    for (const char* check : {"Check1", "Check2", "Check3"}) {
        w->findChild<QCheckBox*>(check)->setChecked(true);
    }
    w->findChild<QRadioButton*>("Option7")->setChecked(true); // Multiple
    w->findChild<QRadioButton*>("Option2")->setChecked(true); // Two
    EXPECT_FALSE(id->isEnabled());
    choice(*w)->setChecked(true);
    EXPECT_TRUE(overlay->isEnabled());
    EXPECT_TRUE(id->isEnabled());
    id->setCurrentIndex(1);

    auto overlays = [](const std::string& text) {
        std::vector<std::string> found;
        for (const auto& l : lines(text)) {
            if (l.rfind("CATEGORY-OVERLAY:", 0) == 0) {
                found.push_back(l);
            }
        }
        return found;
    };
    // Left on its first item, the list follows the check boxes: one value.
    std::string text = write(*w, "m2.log");
    EXPECT_EQ(overlays(text), std::vector<std::string>{"CATEGORY-OVERLAY: ROOKIE"});
    EXPECT_NE(text.find("CATEGORY-TRANSMITTER: TWO\r\n"), std::string::npos);
    for (const auto& l : lines(text)) {
        if (l.rfind("QSO:", 0) == 0) {
            ASSERT_EQ(l.size(), 81u) << l;
            EXPECT_EQ(l.back(), '1') << l;
        }
    }
    overlay->setCurrentIndex(overlay->findText("OVER-50"));
    EXPECT_EQ(overlays(write(*w, "m2b.log")),
              std::vector<std::string>{"CATEGORY-OVERLAY: OVER-50"});

    // The 2.0 file stays as it was: every overlay checked, no transmitter ID.
    choice(*w)->setChecked(false);
    text = write(*w, "m2c.log");
    EXPECT_NE(text.find("CATEGORY-OVERLAY: ROOKIE BAND-LIMITED TB-WIRES\r\n"), std::string::npos);
    EXPECT_NE(text.find("599 7       \r\n"), std::string::npos); // a blank column 81
}
