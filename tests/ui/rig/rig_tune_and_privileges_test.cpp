#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/rig/rig_band_plan_dialog.h"
#include "ui/rig/rig_tune_dialog.h"

using namespace wexon;

namespace {

struct FakeTuner : ui::RigTuner {
    std::vector<float> frequencies;
    std::vector<std::string> modes;
    std::string name = "Kenwood";
    void changeFrequency(float mhz) override { frequencies.push_back(mhz); }
    void changeMode(float, const std::string& mode) override { modes.push_back(mode); }
    std::string rigName() const override { return name; }
};

class TuneTest : public ::testing::Test {
  protected:
    FakeTuner tuner;
    ui::RigTuneDialog dialog{tuner};
    template <typename T> T* child(const char* name) {
        T* w = dialog.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

} // namespace

TEST_F(TuneTest, StepsGoAndNonNumericTextDisablesThem) {
    auto* freq = child<QLineEdit>("txtFreq");
    EXPECT_FALSE(child<QPushButton>("cmdTune_6")->isEnabled());
    freq->setText("14.2");
    EXPECT_TRUE(child<QPushButton>("cmdTune_6")->isEnabled());
    QTest::mouseClick(child<QPushButton>("cmdTune_6"), Qt::LeftButton);
    EXPECT_EQ(freq->text(), "14.201");
    ASSERT_EQ(tuner.frequencies.size(), 1u);
    EXPECT_FLOAT_EQ(tuner.frequencies[0], 14.201f);
    dialog.cmdTuneClick(3); // -1 MHz
    EXPECT_EQ(freq->text(), "13.201");
    dialog.cmdTuneClick(1); // -10 Hz
    EXPECT_EQ(freq->text(), "13.20099");

    freq->setText("abc");
    EXPECT_FALSE(child<QPushButton>("cmdTune_0")->isEnabled());
    dialog.command1Click();
    EXPECT_EQ(tuner.frequencies.size(), 3u);
}

TEST_F(TuneTest, BandsModesAndTheNoneRig) {
    dialog.cmdBandClick(5);
    EXPECT_EQ(child<QLineEdit>("txtFreq")->text(), "14.175");
    EXPECT_FLOAT_EQ(tuner.frequencies.back(), 14.175f);
    dialog.cmdBandClick(15);
    EXPECT_FLOAT_EQ(tuner.frequencies.back(), 1270.0f);
    QTest::mouseClick(child<QPushButton>("cmdRTTY"), Qt::LeftButton);
    EXPECT_EQ(tuner.modes, std::vector<std::string>{"RTTY"});
    tuner.name = "None";
    dialog.cmdBandClick(0);
    EXPECT_EQ(tuner.frequencies.size(), 2u);
}

TEST_F(TuneTest, EnterGoesAndOnlyNumberKeysAreTaken) {
    auto* freq = child<QLineEdit>("txtFreq");
    dialog.show();
    freq->setFocus();
    QTest::keyClicks(freq, "7.0a2x5");
    EXPECT_EQ(freq->text(), "7.025");
    QTest::keyClick(freq, Qt::Key_Return);
    ASSERT_EQ(tuner.frequencies.size(), 1u);
    EXPECT_FLOAT_EQ(tuner.frequencies[0], 7.025f);
    EXPECT_EQ(freq->cursorPosition(), 5);
}

TEST_F(TuneTest, ScanWrapsAndAnyKeyStopsIt) {
    auto* freq = child<QLineEdit>("txtFreq");
    auto* scan = child<QCheckBox>("chkScan");
    QTest::mouseClick(child<QRadioButton>("Option5"), Qt::LeftButton); // 2.5 kHz
    scan->click();
    EXPECT_EQ(freq->text(), "1.8"); // takes "From" when empty
    dialog.timer1Timer();
    EXPECT_EQ(freq->text(), "1.8025");
    freq->setText("53.999");
    dialog.timer1Timer();
    EXPECT_EQ(freq->text(), "1.8"); // past 54: back to the start
    EXPECT_FLOAT_EQ(tuner.frequencies.back(), 1.8f);
    const std::size_t sent = tuner.frequencies.size();
    QTest::keyClick(child<QPushButton>("cmdDone"), Qt::Key_A);
    EXPECT_FALSE(scan->isChecked());
    dialog.timer1Timer();
    EXPECT_EQ(tuner.frequencies.size(), sent); // the rig stays where it was
}

TEST(PrivilegesWindow, MissingFileSaysSo) {
    test::TempDir dir;
    test::FakePrompts prompts;
    ui::RigBandPlanDialog d(QString::fromStdString(dir.path()), prompts);
    EXPECT_FALSE(d.loaded());
    ASSERT_TRUE(prompts.wasShown("Band Data Not Available."));
    EXPECT_EQ(prompts.find("Band Data Not Available.")->text, "Band data not available.");
}

TEST(PrivilegesWindow, DrawsOneClassAtATime) {
    test::TempDir dir;
    dir.write("BandPlan.txt", "\"July 2024\"\r\n\"80\",\"O\",\"\",3.5,4\r\n"
                              "\"80\",\"E\",\"CW\",3.5,3.6\r\n\"80\",\"E\",\"PH\",3.6,4\r\n"
                              "\"80\",\"G\",\"CW\",3.525,3.6\r\n\"20\",\"O\",\"\",14,14.35\r\n"
                              "\"20\",\"E\",\"PH\",14.15,14.35\r\n");
    test::FakePrompts prompts;
    ui::RigBandPlanDialog d(QString::fromStdString(dir.path()), prompts, nullptr, 1024);
    ASSERT_TRUE(d.loaded());
    EXPECT_EQ(d.findChild<QLabel*>("Label1")->text(), "Frequencies Effective: July 2024");
    EXPECT_EQ(d.findChild<QLabel*>("Label2")->text(), "Extra Frequency Privileges");
    EXPECT_NE(d.findChild<QLabel*>("blbl2"), nullptr);
    EXPECT_NE(d.findChild<QLabel*>("bnlb2"), nullptr);
    QLabel* seg = d.findChild<QLabel*>("priv1");
    ASSERT_NE(seg, nullptr);
    EXPECT_EQ(seg->text(), "3.500 - 3.600");
    EXPECT_EQ(seg->toolTip(), "CW  3.500 - 3.600");
    QLabel* bar = d.findChild<QLabel*>("blbl1");
    EXPECT_EQ(bar->toolTip(), "80  3.500 - 4.000");
    // The segment sits at its share of the bar.
    EXPECT_EQ(seg->x(), bar->x());
    EXPECT_NEAR(seg->width(), bar->width() / 5, 2);
    EXPECT_NE(d.findChild<QLabel*>("priv3"), nullptr);

    QTest::mouseClick(d.findChild<QPushButton*>("Command4"), Qt::LeftButton); // General
    EXPECT_EQ(d.findChild<QLabel*>("Label2")->text(), "General Frequency Privileges");
    EXPECT_EQ(d.findChild<QLabel*>("blbl2"), nullptr);
    EXPECT_EQ(d.findChild<QLabel*>("priv2"), nullptr);
    EXPECT_EQ(d.findChild<QLabel*>("priv1")->toolTip(), "CW  3.525 - 3.600");

    d.drawClass('N', "Novice Frequency Privileges");
    EXPECT_EQ(d.findChild<QLabel*>("blbl1"), nullptr);
    EXPECT_EQ(d.findChild<QLabel*>("priv1"), nullptr);
}
