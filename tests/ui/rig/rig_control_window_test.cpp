#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/bands.h"
#include "core/clock.h"
#include "core/number_format.h"
#include "core/settings_store.h"
#include "rig/fake_rig.h"
#include "rig/rigctld_models.h"
#include "rig/rigctld_process.h"
#include "rig/rigctld_protocol.h"
#include "rig/rig_settings.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/rig/rig_control_window.h"
#include "ui/rig/rig_main_window_host.h" // compiled here so the adapter stays buildable
#include "ui/rig/rig_tune_dialog.h"

using namespace wexon;

namespace {

// The main window's side: the band follows the frequency as the log's does.
struct FakeHost : ui::RigHost {
    std::string band = "20";
    std::vector<std::string> modes;
    std::string name = "None";
    int saves = 0;
    void bandFreqConversion(float mhz) override {
        if (auto b = core::bandForFrequency(mhz)) {
            band = *b;
        }
    }
    void modeSelection(const std::string& mode) override { modes.push_back(mode); }
    std::string rigName() const override { return name; }
    void setRigName(const std::string& n) override { name = n; }
    void savePref() override { ++saves; }
};

class RigWindowTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::PtyPair pty;
    core::MemorySettingsStore settings;
    core::SystemClock clock;
    test::FakePrompts prompts;
    FakeHost host;
    std::unique_ptr<ui::RigControlWindow> window;

    void SetUp() override { settings.write("Ports/COM2", pty.slavePath()); }
    void TearDown() override { window.reset(); }

    void open() {
        window = std::make_unique<ui::RigControlWindow>(ui::RigWindowServices{
            &prompts, &settings, &clock, &host, QString::fromStdString(dir.path()), {}});
    }
    template <typename T> T* child(const char* name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { child<QAbstractButton>(name)->click(); }
};

} // namespace

TEST_F(RigWindowTest, TestPollsAKenwoodAndTheLogsBandFollowsIt) {
    open();
    long long hz = 14025000;
    test::FakeRig fake(pty, test::FakeRig::Framing::Semicolon, [&](const std::string& r) {
        if (r == "FA;") {
            return "FA" + core::zeroPad(hz, 11) + ";";
        }
        return std::string(r == "MD;" ? "MD3;" : "");
    });
    window->show();
    window->list1Click("Kenwood");
    child<QCheckBox>("chkFrequency")->setChecked(true);
    click("optComm1"); // COM2
    click("optPoll0"); // 100 ms
    click("optBaud7"); // 38.4 k
    host.band = "80";
    click("Command1");
    EXPECT_TRUE(window->polling());
    EXPECT_TRUE(child<QPushButton>("Command2")->isEnabled());
    EXPECT_TRUE(child<QLabel>("Label2")->isVisible());
    ASSERT_TRUE(test::spinUntil([&] { return host.band == "20"; }));
    hz = 7025000;
    ASSERT_TRUE(test::spinUntil([&] { return host.band == "40"; }));
    EXPECT_TRUE(test::spinUntil([&] { return child<QLabel>("lblFreq")->text() == "7.02500"; }));
    EXPECT_EQ(child<QLabel>("lblMode")->text(), "CW");
    EXPECT_FALSE(host.modes.empty());
    click("Command2");
    EXPECT_FALSE(window->polling());
    EXPECT_EQ(child<QLabel>("lblFreq")->text(), "");
}

TEST_F(RigWindowTest, ChoosingAnEntryLoadsItsProfile) {
    open();
    window->list1Click("Icom");
    EXPECT_EQ(child<QLineEdit>("txtFreq")->text(), "FE FE 64 E0 03 FD");
    EXPECT_TRUE(child<QCheckBox>("chkConvToHex")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("chkConvToHex")->isEnabled());
    EXPECT_FALSE(child<QLabel>("Label10")->isHidden());
    EXPECT_TRUE(child<QRadioButton>("optBaud0")->isChecked()); // 1.2 k

    window->list1Click("Kenwood 2");
    EXPECT_EQ(child<QLineEdit>("txtFreq")->text(), "IF;");
    EXPECT_EQ(child<QLineEdit>("txtMode")->text(), "");
    EXPECT_TRUE(child<QLabel>("Label10")->isHidden());
    EXPECT_TRUE(child<QRadioButton>("optStop1")->isChecked()); // 2 stop bits

    click("optStop0");
    click("optData0");
    window->list1Click("Yaesu FTdx9000"); // baud only: data, stop and parity stay
    EXPECT_TRUE(child<QRadioButton>("optBaud2")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("optStop0")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("optData0")->isChecked());
    EXPECT_EQ(child<QLineEdit>("txtMode")->text(), "MD0;");

    window->list1Click("Other");
    EXPECT_TRUE(child<QCheckBox>("chkConvToHex")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("txtFreq")->text(), "");
}

TEST_F(RigWindowTest, DoneSavesTheSettingsAndAReopenedWindowRestoresThem) {
    open();
    window->list1Click("Other");
    child<QLineEdit>("txtFreq")->setText("01 02 03");
    child<QLineEdit>("txtMode")->setText("ZZ;");
    child<QCheckBox>("chkConvToHex")->setChecked(true);
    click("optComm1");
    click("OptDont");
    click("optPoll3");
    settings.write("Ports/COM2", pty.slavePath());
    window->show();
    click("cmdDone");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(host.name, "Other");
    EXPECT_EQ(host.saves, 1);
    rig::RigSettingsLoad saved = rig::parseRigSettings(dir.read(rig::kRigSettingsFileName));
    EXPECT_TRUE(saved.complete());
    EXPECT_EQ(saved.settings.frequencyRead, "01 02 03");
    EXPECT_EQ(saved.settings.portNumber, 2);
    EXPECT_EQ(saved.settings.pollRate, "R");
    EXPECT_EQ(saved.settings.modeBy, 3);
    EXPECT_EQ(saved.settings.convertToHex, 1);

    window.reset();
    host.name = "None";
    open();
    EXPECT_EQ(host.name, "Other");
    EXPECT_EQ(child<QLineEdit>("txtFreq")->text(), "01 02 03"); // not a profile's text
    EXPECT_EQ(child<QLineEdit>("txtMode")->text(), "ZZ;");
    EXPECT_TRUE(child<QRadioButton>("OptDont")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("optComm1")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chkConvToHex")->isEnabled());
    EXPECT_EQ(child<QListWidget>("List1")->currentItem()->text(), "Other");
    EXPECT_EQ(child<QListWidget>("List1")->count(), 20);
}

TEST_F(RigWindowTest, AModeByOutsideOneToThreeLeavesTheOptions) {
    rig::RigSettings s;
    s.rigName = "Kenwood";
    s.modeBy = 2;
    std::string text = rig::serializeRigSettings(s);
    text.replace(text.rfind("2\r\n"), 1, "7");
    dir.write(rig::kRigSettingsFileName, text);
    open();
    EXPECT_TRUE(child<QRadioButton>("OptRig")->isChecked());
    EXPECT_EQ(host.name, "Kenwood");
}

TEST_F(RigWindowTest, APortThatCannotOpenShowsTheRigMessage) {
    settings.write("Ports/COM5", "/nonexistent/tty");
    open();
    window->list1Click("Kenwood");
    click("optComm4");
    click("Command1");
    EXPECT_FALSE(window->polling());
    ASSERT_TRUE(prompts.wasShown("Invalid Comm Settings."));
    EXPECT_TRUE(prompts.find("Invalid Comm Settings.")->text.contains("rig interface"));
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_FALSE(child<QPushButton>("Command2")->isEnabled());
    EXPECT_TRUE(window->isVisible()); // shown so the operator can choose again
}

TEST_F(RigWindowTest, ChangeFrequencyButtonNeedsPolling) {
    open();
    click("Command3");
    EXPECT_TRUE(prompts.wasShown("You must be polling your rig to test this function."));
}

TEST_F(RigWindowTest, TheRigctldEntryComesLastAndKeepsItsAddressInTheSettingsStore) {
    open();
    auto* list = child<QListWidget>("List1");
    EXPECT_EQ(list->item(list->count() - 1)->text(), "Hamlib (rigctld)");
    EXPECT_EQ(list->item(list->count() - 2)->text(), "Other");
    auto* box = child<QWidget>("rigctldBox");
    auto* hostBox = child<QLineEdit>("txtRigctldHost");
    auto* portBox = child<QLineEdit>("txtRigctldPort");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(hostBox->text(), "127.0.0.1");
    EXPECT_EQ(portBox->text(), "4532");
    EXPECT_EQ(hostBox->accessibleName(), "rigctld host");

    window->list1Click("Hamlib (rigctld)");
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("chkConvToHex")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("txtFreq")->text(), "");
    hostBox->setText(" radio.local ");
    portBox->setText("4600");
    EXPECT_EQ(settings.read(rig::kRigctldHostKey, ""), "radio.local");
    EXPECT_EQ(settings.read(rig::kRigctldPortKey, ""), "4600");
    window->list1Click("Kenwood");
    EXPECT_FALSE(box->isEnabled());

    // A reopened window shows the stored address and, for the saved entry, the box.
    window->list1Click("Hamlib (rigctld)");
    click("cmdDone");
    window.reset();
    open();
    EXPECT_EQ(child<QLineEdit>("txtRigctldHost")->text(), "radio.local");
    EXPECT_EQ(child<QLineEdit>("txtRigctldPort")->text(), "4600");
    EXPECT_TRUE(child<QWidget>("rigctldBox")->isEnabled());
    EXPECT_EQ(host.name, "Hamlib (rigctld)");
}

TEST_F(RigWindowTest, ABadRigctldPortShowsTheRigMessage) {
    open();
    window->list1Click("Hamlib (rigctld)");
    child<QLineEdit>("txtRigctldPort")->setText("0");
    click("Command1");
    EXPECT_FALSE(window->polling());
    EXPECT_TRUE(prompts.wasShown("Invalid Comm Settings."));
}

TEST_F(RigWindowTest, TheWindowPollsAndTunesARealRigctld) {
    if (!test::haveHamlibTool("rigctld") || !test::haveHamlibTool("rigctl")) {
        GTEST_SKIP() << "rigctld and rigctl (Debian package libhamlib-utils) are not installed";
    }
    test::RigctldProcess rigctld;
    ASSERT_TRUE(rigctld.start());
    rigctld.rigctl("F 14025000");
    rigctld.rigctl("M CW 0");
    open();
    window->show();
    window->list1Click("Hamlib (rigctld)");
    child<QLineEdit>("txtRigctldPort")->setText(QString::number(rigctld.port()));
    child<QCheckBox>("chkFrequency")->setChecked(true);
    click("optPoll0");
    host.band = "80";
    click("Command1");
    EXPECT_TRUE(window->polling());
    ASSERT_TRUE(test::spinUntil([&] { return host.band == "20"; }));
    EXPECT_TRUE(test::spinUntil([&] { return child<QLabel>("lblMode")->text() == "CW"; }));
    rigctld.rigctl("F 7025000");
    ASSERT_TRUE(test::spinUntil([&] { return host.band == "40"; }));
    EXPECT_TRUE(test::spinUntil([&] { return child<QLabel>("lblFreq")->text() == "7.02500"; }));

    // The tune window and spot clicks tune through the rig window.
    ui::RigTuneDialog tune(*window);
    tune.findChild<QLineEdit*>("txtFreq")->setText("21.3");
    tune.command1Click();
    ASSERT_TRUE(test::spinUntil([&] { return host.band == "15"; }));
    EXPECT_EQ(rigctld.rigctl("f").substr(0, 8), "21300000");
    tune.modeClick("USB");
    EXPECT_TRUE(test::spinUntil([&] { return rigctld.rigctl("m").rfind("USB", 0) == 0; }));
    window->changeFrequency(14.2f);
    ASSERT_TRUE(test::spinUntil([&] { return host.band == "20"; }));
    EXPECT_EQ(rigctld.rigctl("f").substr(0, 8), "14200000");
    EXPECT_TRUE(prompts.shown.empty());

    rigctld.stop();
    ASSERT_TRUE(test::spinUntil([&] { return prompts.wasShown("Invalid Comm Settings."); }));
    EXPECT_FALSE(window->polling());
}

TEST_F(RigWindowTest, TheWindowStartsRigctldAndStopsItWhenTheRigChanges) {
    if (!test::haveHamlibTool("rigctld") || !test::haveHamlibTool("rigctl")) {
        GTEST_SKIP() << "rigctld and rigctl (Debian package libhamlib-utils) are not installed";
    }
    const int port = test::freeLocalPort();
    settings.write(rig::kRigctldModelKey, "1"); // the dummy rig
    open();
    window->show();
    window->list1Click("Hamlib (rigctld)");
    child<QLineEdit>("txtRigctldPort")->setText(QString::number(port));
    child<QLineEdit>("txtRigctldDevice")->setText("");
    child<QCheckBox>("chkRigctldStart")->setChecked(true);
    EXPECT_EQ(settings.read(rig::kRigctldStartKey, ""), "1");
    auto* models = child<QComboBox>("cboRigctldModel");
    ASSERT_TRUE(test::spinUntil([&] { return models->count() > 100; }, 6000));
    EXPECT_EQ(models->currentText(), "Hamlib Dummy (1)"); // the stored model stays chosen
    click("optPoll0");
    click("Command1");
    EXPECT_TRUE(window->polling());
    ASSERT_TRUE(test::spinUntil([&] { return child<QLabel>("lblFreq")->text() != "No Response"; },
                                5000));
    window->changeFrequency(14.025f);
    ASSERT_TRUE(test::spinUntil([&] { return host.band == "20"; }, 5000));
    EXPECT_TRUE(test::acceptsConnections(port));
    EXPECT_TRUE(prompts.shown.empty());

    window->list1Click("Kenwood");
    EXPECT_FALSE(window->polling());
    EXPECT_FALSE(test::acceptsConnections(port));
}

TEST_F(RigWindowTest, ARigctldThatCannotStartIsExplained) {
    settings.write(rig::kRigctldStartKey, "1");
    settings.write(rig::kRigctldModelKey, "1");
    settings.write(rig::kRigctldDeviceKey, "ttyUSB0"); // not a path
    open();
    window->list1Click("Hamlib (rigctld)");
    click("Command1");
    EXPECT_FALSE(window->polling());
    ASSERT_TRUE(prompts.wasShown("Hamlib (rigctld)"));
    EXPECT_TRUE(prompts.find("Hamlib (rigctld)")->text.contains("/dev/ttyUSB0"));
}

// A rig that stops answering is said so within seconds, and polling goes on
// so that it is read again as soon as it answers.
TEST_F(RigWindowTest, ARigThatStopsAnsweringIsReportedAndReadAgainWhenBack) {
    open();
    bool answering = true;
    test::FakeRig fake(pty, test::FakeRig::Framing::Semicolon, [&](const std::string& r) {
        return std::string(answering && r == "FA;" ? "FA00014025000;" : "");
    });
    window->show();
    window->list1Click("Kenwood");
    click("optComm1"); // COM2
    click("optPoll0");
    click("optBaud7");
    click("Command1");
    ASSERT_TRUE(test::spinUntil([&] { return child<QLabel>("lblFreq")->text() == "14.02500"; }));
    answering = false;
    ASSERT_TRUE(test::spinUntil([&] { return prompts.wasShown(ui::kRigNotAnsweringTitle); },
                                rig::kSilentRigMs + 2000));
    EXPECT_EQ(child<QLabel>("lblFreq")->text(), ui::kNoResponse);
    EXPECT_TRUE(window->polling());
    answering = true;
    EXPECT_TRUE(test::spinUntil([&] { return child<QLabel>("lblFreq")->text() == "14.02500"; }));
}
