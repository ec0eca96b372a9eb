// Names for the screen reader: every control of every window is announced by a
// name, and the message and input boxes carry their title and text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "keying/voice_fakes.h"
#include "platform/qt_prompts.h"
#include "support/accessibility_check.h"
#include "support/main_window_fixture.h"
#include "ui/common/accessibility.h"
#include "ui/keying/code_practice_window.h"
#include "ui/keying/cw_strings_window.h"
#include "ui/keying/cw_window.h"
#include "ui/keying/station_voice.h"
#include "ui/keying/voice_keyer_window.h"
#include "ui/keying/voice_navigation_window.h"
#include "ui/keying/winkey_window.h"
#include "ui/link/digital_link_window.h"
#include "ui/output/edit_contact_window.h"
#include "ui/output/rate_graph_window.h"
#include "ui/output/summary_sheet_window.h"
#include "ui/rig/rig_band_plan_dialog.h"
#include "ui/rig/rig_control_window.h"
#include "ui/rig/rig_frequency_test_dialog.h"
#include "ui/rig/rig_tune_dialog.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/spectrum_map_window.h"
#include "ui/spots/spotting_window.h"
#include "ui/spots/station_spots.h"
#include "ui/station/help_window.h"
#include "ui/station/logo_window.h"
#include "ui/station/station_tools.h"
#include "ui/station/station_window.h"

using namespace wexon;
using test::everyControlNamed;
using test::logOf;
using test::MainWindowTest;

namespace {

// Every label of a window shows its text as plain text: a label whose text can
// come from outside (a spot, a cluster line, a rig reply, a file) must never
// take it as markup, and requiring it of all labels keeps a new label from
// slipping through. Offenders are listed by object name, or by text.
::testing::AssertionResult everyLabelPlain(const QWidget& window) {
    QStringList offenders;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->window() != &window) {
            continue; // a window of its own
        }
        if (label->textFormat() != Qt::PlainText) {
            offenders << (label->objectName().isEmpty() ? label->text() : label->objectName());
        }
    }
    if (offenders.isEmpty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << window.metaObject()->className()
           << " shows markup in: " << offenders.join(", ").toStdString();
}

// ---------------------------------------------------------------- how names are found

// A dialog with the naming installed on the application, as the program has it.
class NamingTest : public ::testing::Test {
  protected:
    ui::AccessibleNaming naming;
    QDialog dialog;
    void SetUp() override { qApp->installEventFilter(&naming); }
    void TearDown() override { qApp->removeEventFilter(&naming); }
};

TEST_F(NamingTest, ACaptionTiedToTheControlOrBesideItInALayoutNamesIt) {
    auto* form = new QFormLayout(&dialog);
    auto* call = new QLineEdit;
    form->addRow("&Call sign:", call);

    auto* gridHolder = new QWidget;
    auto* grid = new QGridLayout(gridHolder);
    auto* speed = new QSpinBox;
    grid->addWidget(new QLabel("Speed"), 0, 0);
    grid->addWidget(speed, 0, 1);
    auto* band = new QComboBox;
    grid->addWidget(new QLabel("Band"), 1, 1);
    grid->addWidget(band, 2, 1);
    form->addRow(gridHolder);

    auto* row = new QHBoxLayout;
    auto* port = new QComboBox;
    row->addWidget(new QLabel("Port"));
    row->addWidget(port);
    form->addRow(row);

    auto* buddyHolder = new QWidget;
    auto* buddyBox = new QLineEdit(buddyHolder);
    auto* caption = new QLabel("<b>Grid square</b>", &dialog);
    caption->setBuddy(buddyBox);
    form->addRow(buddyHolder);

    EXPECT_EQ(ui::nameAccessibleControls(dialog), 0);
    EXPECT_EQ(call->accessibleName(), "Call sign");
    EXPECT_EQ(speed->accessibleName(), "Speed");
    EXPECT_EQ(band->accessibleName(), "Band");
    EXPECT_EQ(port->accessibleName(), "Port");
    EXPECT_EQ(buddyBox->accessibleName(), "Grid square");
    EXPECT_TRUE(everyControlNamed(dialog));
}

TEST_F(NamingTest, APlainTextCaptionIsSpokenAsTheCharactersItShows) {
    auto* form = new QFormLayout(&dialog);
    auto* caption = new QLabel("<b>Grid</b> square:");
    caption->setTextFormat(Qt::PlainText);
    auto* box = new QLineEdit;
    form->addRow(caption, box);
    ui::nameAccessibleControls(dialog);
    EXPECT_EQ(box->accessibleName(), "<b>Grid</b> square");
}

TEST_F(NamingTest, AControlPlacedByHandTakesTheLabelLeftOfItOrAbove) {
    auto* left = new QLabel("Frequency", &dialog);
    left->setGeometry(10, 10, 80, 20);
    auto* frequency = new QLineEdit(&dialog);
    frequency->setGeometry(100, 10, 100, 20);
    auto* above = new QLabel("Comment", &dialog);
    above->setGeometry(10, 50, 80, 20);
    auto* comment = new QLineEdit(&dialog);
    comment->setGeometry(10, 72, 200, 20);
    // A label far away is nobody's caption.
    auto* far = new QLabel("Far away", &dialog);
    far->setGeometry(10, 400, 80, 20);
    auto* alone = new QLineEdit(&dialog);
    alone->setObjectName("Text9");
    alone->setGeometry(600, 100, 50, 20);

    EXPECT_EQ(ui::nameAccessibleControls(dialog), 1);
    EXPECT_EQ(frequency->accessibleName(), "Frequency");
    EXPECT_EQ(comment->accessibleName(), "Comment");
    EXPECT_EQ(alone->accessibleName(), "");
    // The walk names the offender.
    EXPECT_EQ(test::unnamedControls(dialog), QStringList{"Text9"});
    EXPECT_FALSE(everyControlNamed(dialog));
}

TEST_F(NamingTest, WithoutACaptionTheToolTipOrTheGroupNamesIt) {
    auto* layout = new QVBoxLayout(&dialog);
    auto* tipped = new QLineEdit;
    tipped->setToolTip("Seconds between repeats");
    layout->addWidget(tipped);
    auto* group = new QGroupBox("&Sources");
    auto* inGroup = new QVBoxLayout(group);
    auto* sources = new QListWidget;
    inGroup->addWidget(sources);
    layout->addWidget(group);
    auto* placeholder = new QLineEdit;
    placeholder->setPlaceholderText("Search");
    layout->addWidget(placeholder);

    ui::nameAccessibleControls(dialog);
    EXPECT_EQ(tipped->accessibleName(), "Seconds between repeats");
    EXPECT_EQ(sources->accessibleName(), "Sources");
    EXPECT_EQ(placeholder->accessibleName(), "Search");
}

TEST_F(NamingTest, AShownTextTakesItsWindowsTitleButAnEditableOneDoesNot) {
    dialog.setWindowTitle("Help");
    auto* layout = new QVBoxLayout(&dialog);
    auto* shown = new QPlainTextEdit;
    shown->setReadOnly(true);
    layout->addWidget(shown);
    auto* typed = new QPlainTextEdit;
    typed->setObjectName("Text1");
    layout->addWidget(typed);
    EXPECT_EQ(ui::nameAccessibleControls(dialog), 1);
    EXPECT_EQ(shown->accessibleName(), "Help");
    EXPECT_EQ(typed->accessibleName(), "");
    // A control awaiting its name is tolerated only when listed.
    EXPECT_TRUE(everyControlNamed(dialog, {"Text1"}));
    EXPECT_FALSE(everyControlNamed(dialog, {"Text2"}));
}

TEST_F(NamingTest, AButtonKeepsSpeakingItsOwnTextAsItChanges) {
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("Logging"));
    auto* logOn = new QPushButton("Time &On");
    layout->addWidget(logOn);
    auto* rts = new QCheckBox("RTS");
    layout->addWidget(rts);
    ui::nameAccessibleControls(dialog);
    EXPECT_EQ(logOn->accessibleName(), "");
    logOn->setText("Time Off");
    EXPECT_EQ(test::announcedName(*logOn), "Time Off");
    EXPECT_EQ(rts->accessibleName(), "");
    EXPECT_TRUE(everyControlNamed(dialog));
}

TEST_F(NamingTest, NamesGivenByTheProgramAreKept) {
    auto* layout = new QFormLayout(&dialog);
    auto* box = new QLineEdit;
    box->setAccessibleName("Own call");
    layout->addRow("Call", box);
    ui::nameAccessibleControls(dialog);
    EXPECT_EQ(box->accessibleName(), "Own call");
}

TEST_F(NamingTest, InnerPartsOfControlsAreNotCounted) {
    auto* layout = new QFormLayout(&dialog);
    auto* combo = new QComboBox;
    combo->setEditable(true);
    layout->addRow("Rig", combo);
    layout->addRow("Speed", new QSpinBox);
    layout->addRow("Spots", new QListWidget);
    EXPECT_EQ(ui::nameAccessibleControls(dialog), 0);
    EXPECT_FALSE(ui::isInteractiveControl(*combo->lineEdit()));
    EXPECT_TRUE(everyControlNamed(dialog));
}

TEST_F(NamingTest, WindowsAreNamedWhenShownAndControlsAddedLaterToo) {
    auto* layout = new QFormLayout(&dialog);
    auto* first = new QLineEdit;
    layout->addRow("First", first);
    dialog.show();
    EXPECT_EQ(first->accessibleName(), "First");

    auto* later = new QLineEdit;
    later->setToolTip("Added later");
    layout->addRow(later);
    later->show();
    QApplication::processEvents();
    EXPECT_EQ(later->accessibleName(), "Added later");
}

// ---------------------------------------------------------------- message and input boxes

// Runs `act` once the modal box it opens is up, then closes it with `close`.
template <typename Box>
void whenModal(const std::function<void(Box&)>& seen, const std::function<void(Box&)>& close) {
    QTimer::singleShot(0, [seen, close] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen(*box);
        close(*box);
    });
}

TEST(QtPromptsAnnounce, AMessageBoxCarriesItsTitleAndText) {
    platform::QtPrompts prompts;
    QString name;
    QString description;
    whenModal<QMessageBox>(
        [&](QMessageBox& box) {
            name = box.accessibleName();
            description = box.accessibleDescription();
            // A message may carry a file's or a peer's text: never markup.
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
        },
        [](QMessageBox& box) { box.accept(); });
    prompts.message("Numeric Values Required", "Please enter only numeric values.",
                    ui::Prompts::Icon::Exclamation);
    EXPECT_EQ(name, "Numeric Values Required");
    EXPECT_EQ(description, "Please enter only numeric values.");
}

TEST(QtPromptsAnnounce, AQuestionIsAnnouncedAndStillAnswersYesOrNo) {
    platform::QtPrompts prompts;
    QString name;
    whenModal<QMessageBox>([&](QMessageBox& box) { name = box.accessibleName(); },
                           [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(prompts.question("Open existing log?", "Continue?"));
    EXPECT_EQ(name, "Open existing log?");

    whenModal<QMessageBox>(
        [](QMessageBox& box) {
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            EXPECT_EQ(box.accessibleDescription(), "Sure?");
        },
        [](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
    EXPECT_FALSE(prompts.question("Are you sure?", "Sure?"));
}

TEST(QtPromptsAnnounce, AnInputBoxCarriesItsPromptAndReturnsTheAnswer) {
    platform::QtPrompts prompts;
    whenModal<QInputDialog>(
        [](QInputDialog& box) {
            EXPECT_EQ(box.accessibleName(), "Please enter screen percentage.");
            EXPECT_EQ(box.accessibleDescription(), "Enter the %");
            EXPECT_EQ(box.textValue(), "100");
            EXPECT_TRUE(everyLabelPlain(box));
            box.setTextValue("90");
        },
        [](QInputDialog& box) { box.accept(); });
    EXPECT_EQ(prompts.input("Please enter screen percentage.", "Enter the %", "100"),
              std::optional<QString>("90"));

    whenModal<QInputDialog>([](QInputDialog&) {}, [](QInputDialog& box) { box.reject(); });
    EXPECT_EQ(prompts.input("Title", "Prompt", "x"), std::nullopt);
}

// ---------------------------------------------------------------- every window

// The running program's windows, each shown with the naming installed and then
// walked. Adding a window is one line in the test below.
class EveryWindowTest : public MainWindowTest {
  protected:
    ui::AccessibleNaming naming;
    std::unique_ptr<ui::StationTools> tools;
    std::unique_ptr<ui::StationSpots> spots;
    std::unique_ptr<ui::StationVoice> voice;
    std::vector<std::unique_ptr<QWidget>> owned;
    std::vector<QString> modalChecked;

    void SetUp() override {
        MainWindowTest::SetUp();
        qApp->installEventFilter(&naming);
    }
    void TearDown() override {
        owned.clear();
        voice.reset();
        spots.reset();
        tools.reset();
        window.reset();
        qApp->removeEventFilter(&naming);
    }

    ui::MainWindow& start() {
        dir.write("work/log.txt", logOf(3));
        prompts.questionAnswers = {true};
        auto& w = make();
        auto stationModal = services.runModal;
        // Windows the program runs modally are walked while they are up.
        services.runModal = [this, stationModal](QDialog& d) {
            if (qobject_cast<ui::StationWindow*>(&d) == nullptr) {
                d.show();
                QApplication::processEvents();
                EXPECT_TRUE(everyControlNamed(d));
                EXPECT_TRUE(everyLabelPlain(d));
                modalChecked.push_back(d.metaObject()->className());
                d.hide();
                return 0;
            }
            return stationModal(d);
        };
        tools = std::make_unique<ui::StationTools>(w, services);
        ui::VoicePlayers players;
        players.messages = std::make_unique<test::FakeSoundPlayer>();
        players.prompts = std::make_unique<test::FakeSoundPlayer>();
        voice = std::make_unique<ui::StationVoice>(w, *tools, services, std::move(players));
        spots = std::make_unique<ui::StationSpots>(w, services, *tools);
        w.formLoad();
        w.show();
        return w;
    }

    ::testing::AssertionResult shownAndNamed(QWidget& w, const QStringList& pending = {}) {
        w.show();
        QApplication::processEvents();
        auto result = everyControlNamed(w, pending);
        EXPECT_TRUE(everyLabelPlain(w));
        w.hide();
        return result;
    }
    QWidget& own(std::unique_ptr<QWidget> w) {
        owned.push_back(std::move(w));
        return *owned.back();
    }
};

TEST_F(EveryWindowTest, EveryControlOfEveryWindowHasAName) {
    auto& w = start();
    const auto& contest = w.contest();
    EXPECT_TRUE(shownAndNamed(w));
    EXPECT_TRUE(shownAndNamed(own(std::make_unique<ui::StationWindow>(
        contest.prefs, contest.countries, settings, shared, prompts))));
    EXPECT_TRUE(shownAndNamed(tools->cwWindow()));
    keying::CwKeyer& keyer = tools->cwWindow().keyer();
    EXPECT_TRUE(shownAndNamed(own(std::make_unique<ui::CwStringsWindow>(keyer))));
    EXPECT_TRUE(shownAndNamed(*tools->cwWindow().winKeyWindow(true)));
    EXPECT_TRUE(shownAndNamed(own(std::make_unique<ui::CodePracticeWindow>(keyer))));
    EXPECT_TRUE(shownAndNamed(tools->rigWindow()));
    EXPECT_TRUE(shownAndNamed(own(std::make_unique<ui::RigTuneDialog>(tools->rigWindow()))));
    EXPECT_TRUE(
        shownAndNamed(own(std::make_unique<ui::RigFrequencyTestDialog>(tools->rigWindow()))));
    EXPECT_TRUE(shownAndNamed(own(std::make_unique<ui::RigBandPlanDialog>(
        QString::fromStdString(dir.file("work")), prompts))));
    EXPECT_TRUE(shownAndNamed(own(
        std::make_unique<ui::EditContactWindow>(contest.qsos(), 1, contest.countries, prompts))));
    ui::CabrilloSource source;
    source.ownCall = "W1AW";
    source.contestMode = "CW";
    source.qsos = &contest.qsos();
    EXPECT_TRUE(shownAndNamed(
        own(std::make_unique<ui::SummarySheetWindow>(source, settings, shared, prompts))));
    EXPECT_TRUE(shownAndNamed(own(std::make_unique<ui::RateGraphWindow>(contest.qsos(), prompts))));
    EXPECT_TRUE(shownAndNamed(*spots->controller().spottingWindow()));
    EXPECT_TRUE(shownAndNamed(own(
        std::make_unique<ui::HelpWindow>(QString::fromStdString(dir.file("work/readme.txt"))))));
    EXPECT_TRUE(shownAndNamed(own(std::make_unique<ui::LogoWindow>("1.0"))));
    EXPECT_TRUE(shownAndNamed(voice->keyerWindow()));
    EXPECT_TRUE(shownAndNamed(voice->navigationWindow()));
    auto& link = own(std::make_unique<ui::DigitalLinkWindow>(w, settings, prompts));
    EXPECT_TRUE(everyControlNamed(link));
    EXPECT_TRUE(everyLabelPlain(link));

    // The spectrum map runs modally from its menu item.
    child<QAction>("mnuSpectrumMap")->trigger();
    EXPECT_EQ(modalChecked, (std::vector<QString>{"wexon::ui::SpectrumMapWindow"}));
}

} // namespace
