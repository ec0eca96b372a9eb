#include <gtest/gtest.h>

#include <map>
#include <set>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

#include "spots/fake_spot_host.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/band_map_widget.h"
#include "ui/spots/spectrum_map_window.h"
#include "ui/spots/spot_list_widget.h"
#include "ui/spots/spotting_window.h"

namespace wexon::ui {
namespace {

std::string clusterText(const std::string& time = "1234Z") {
    std::string text = "de W1XX:";
    text.resize(67, ' ');
    return text + time;
}

class BandMapControllerTest : public ::testing::Test {
  protected:
    BandMapControllerTest() {
        main.resize(800, 600);
        SpotServices s;
        s.host = &host;
        s.prompts = &prompts;
        s.clock = &clock;
        s.workingFolder = QString::fromStdString(dir.path());
        s.tncPort = &port;
        s.agw = &agw;
        s.workArea = QRect(0, 0, 1024, 740);
        s.runModal = [this](QDialog& d) {
            if (onModal) {
                onModal(d);
            }
            return 0;
        };
        controller = std::make_unique<BandMapController>(std::move(s), &main);
    }
    ~BandMapControllerTest() override { controller->shutdown(); }

    // Leaves the spotting window with "&Done" after choosing a source and display.
    void openStrip(const char* source, bool list) {
        SpottingWindow* w = controller->spottingWindow();
        auto* sources = w->findChild<QListWidget*>("List1");
        const auto items = sources->findItems(source, Qt::MatchExactly);
        sources->setCurrentItem(items[0]);
        w->list1Click(sources->row(items[0]));
        w->findChild<QRadioButton*>(list ? "OptList" : "OptBand")->setChecked(true);
        w->done();
    }
    void spot(const std::string& call, const std::string& khz) {
        controller->bandMapSpots(call, khz, clusterText());
    }
    QLabel* label(int slot) { return controller->bandMap()->spotLabel(slot); }

    QWidget main;
    test::TempDir dir;
    test::FakeSpotHost host;
    test::FakePrompts prompts;
    test::FakeClock clock;
    test::FakeCatPort port;
    test::FakeAgwLink agw;
    std::function<void(QDialog&)> onModal;
    std::unique_ptr<BandMapController> controller;
};

TEST_F(BandMapControllerTest, PacketResizeOpensSwitchesAndClosesTheStrip) {
    EXPECT_TRUE(controller->strip()->isHidden());
    openStrip("Telnet", true);
    EXPECT_EQ(controller->display(), BandMapController::Display::List);
    EXPECT_FALSE(controller->strip()->isHidden());
    openStrip("Telnet", false);
    EXPECT_EQ(controller->display(), BandMapController::Display::BandMap);
    EXPECT_EQ(static_cast<QStackedWidget*>(controller->strip())->currentWidget(),
              controller->bandMap());
    openStrip("None", false);
    EXPECT_EQ(controller->display(), BandMapController::Display::None);
    EXPECT_TRUE(controller->strip()->isHidden());
}

TEST_F(BandMapControllerTest, OwnCallSpottedWarnsEvenWithoutAFrequency) {
    controller->bandMapSpots("k1abc", "not a number", "de W1XX: you're loud");
    EXPECT_EQ(host.warnings, 1);
    EXPECT_EQ(host.dialogText, "You've been spotted! ");
    EXPECT_EQ(host.dupeText, "You've been spotted!  de W1XX: you're loud");
    EXPECT_EQ(controller->spotList()->topLevelItemCount(), 0);
}

TEST_F(BandMapControllerTest, SpotListKeepsTwoHundredRowsNewestOnTop) {
    for (int i = 1; i <= 201; ++i) {
        spot("K" + std::to_string(i) + "AA", "14025");
    }
    SpotListWidget* list = controller->spotList();
    ASSERT_EQ(list->topLevelItemCount(), 200);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "K201AA");
    EXPECT_EQ(list->topLevelItem(199)->text(0), "K2AA");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "14.025");
    EXPECT_EQ(list->topLevelItem(0)->text(6), "1234");
    // The status column shows each spot's mark; with no log rule, none.
    EXPECT_FALSE(list->isColumnHidden(3));
    EXPECT_EQ(list->topLevelItem(0)->text(3), "");
    EXPECT_EQ(list->headerItem()->text(4), "Comments");
}

TEST_F(BandMapControllerTest, AReadOfManySpotsKeepsTheNewestTwoHundredInOrder) {
    for (int i = 1; i <= 100; ++i) {
        spot("K" + std::to_string(i) + "AA", "14025");
    }
    controller->beginSpots();
    for (int i = 1; i <= 250; ++i) {
        spot("N" + std::to_string(i) + "BB", "14030");
    }
    controller->endSpots();
    SpotListWidget* list = controller->spotList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItem(0)->text(0) == "N250BB"; }, 2000));
    ASSERT_EQ(list->topLevelItemCount(), 200);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "N249BB");
    EXPECT_EQ(list->topLevelItem(199)->text(0), "N51BB");

    // A short read pushes out only as many rows as it brings.
    controller->beginSpots();
    spot("W1XX", "14031");
    spot("W2XX", "14032");
    controller->endSpots();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItem(0)->text(0) == "W2XX"; }, 2000));
    ASSERT_EQ(list->topLevelItemCount(), 200);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "W1XX");
    EXPECT_EQ(list->topLevelItem(2)->text(0), "N250BB");
    EXPECT_EQ(list->topLevelItem(199)->text(0), "N53BB");
}

TEST_F(BandMapControllerTest, BandMapShowsLabelsWithAgeColours) {
    openStrip("Telnet", false);
    spot("K1AA", "14010");
    clock.advanceSeconds(30 * 60);
    spot("K2BB", "14020");
    clock.advanceSeconds(20 * 60);
    spot("K3CC", "14030");
    clock.advanceSeconds(9 * 60);
    controller->displayBandMapLabels();
    // K1AA is 59, K2BB 29 and K3CC 9 minutes old
    EXPECT_FALSE(label(47)->isHidden());
    EXPECT_EQ(label(47)->palette().color(QPalette::WindowText), QColor(192, 192, 192));
    EXPECT_EQ(label(48)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(label(49)->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    EXPECT_EQ(label(49)->text(), "K3");
    EXPECT_TRUE(label(49)->toolTip().startsWith("K3CC  14.030  "));
    EXPECT_EQ(controller->bandMap()->scaleLabel(0)->text(), "14.009");
    EXPECT_EQ(controller->bandMap()->scaleLabel(4)->text(), "14.031");

    clock.advanceSeconds(60);
    controller->displayBandMapLabels();
    EXPECT_TRUE(label(47)->isHidden()); // an hour old
    EXPECT_FALSE(label(48)->isHidden());
    EXPECT_GT(label(49)->x(), label(48)->x());
}

TEST_F(BandMapControllerTest, SpotsOfOneReadAreDrawnOnceAtTheEnd) {
    openStrip("Telnet", false);
    controller->beginSpots();
    spot("K1AA", "14010");
    spot("K2BB", "14020");
    spot("K3CC", "14030");
    EXPECT_TRUE(label(49)->isHidden());
    EXPECT_EQ(controller->spotList()->topLevelItemCount(), 0);
    EXPECT_EQ(controller->store().slot(49).call, "K3CC"); // the store is current at once
    controller->endSpots();
    EXPECT_FALSE(label(49)->isHidden());
    EXPECT_FALSE(label(47)->isHidden());
    ASSERT_EQ(controller->spotList()->topLevelItemCount(), 3);
    EXPECT_EQ(controller->spotList()->topLevelItem(0)->text(0), "K3CC");
    EXPECT_EQ(controller->spotList()->topLevelItem(2)->text(0), "K1AA");
}

TEST_F(BandMapControllerTest, TheEndCaptionsOfTheScaleAreDrawnWhole) {
    openStrip("Telnet", false);
    controller->strip()->setGeometry(0, 0, 600, 90);
    main.show();
    QApplication::processEvents();
    BandMapWidget* map = controller->bandMap();
    ASSERT_EQ(map->width(), 600);
    // No spot yet, and then spots: the axis leaves room for half a caption at
    // either end, whatever the labels above it hold.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 5; ++i) {
            const QRect caption = map->scaleLabel(i)->geometry();
            EXPECT_GE(caption.left(), 0) << "caption " << i << " round " << round;
            EXPECT_LE(caption.right(), map->width() - 1) << "caption " << i << " round " << round;
        }
        spot("K1AA", "14010");
        spot("K2BB", "14030");
    }
    EXPECT_EQ(map->scaleLabel(0)->text(), "14.009");
}

// Counts, per label, the events a screen reader hears about: shown, hidden,
// moved.
class LabelEvents : public QObject {
  public:
    explicit LabelEvents(const QList<QLabel*>& labels) {
        for (QLabel* l : labels) {
            l->installEventFilter(this);
        }
    }
    std::set<QObject*> touched;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (t == QEvent::Show || t == QEvent::Hide || t == QEvent::Move) {
            touched.insert(watched);
        }
        return false;
    }
};

TEST_F(BandMapControllerTest, ANewSpotChangesOnlyItsOwnLabel) {
    openStrip("Telnet", false);
    controller->strip()->setGeometry(0, 0, 800, 90);
    main.show();
    spot("K1AA", "14010");
    spot("K2BB", "14040");
    for (int i = 0; i < 10; ++i) {
        spot("K" + std::to_string(i) + "CC", std::to_string(14012 + 2 * i));
    }
    QApplication::processEvents();
    const QList<QLabel*> labels =
        controller->bandMap()->findChildren<QLabel*>(QRegularExpression("^lblDXSpot_"));
    ASSERT_EQ(labels.size(), 50);
    std::map<QLabel*, QString> textBefore;
    for (QLabel* l : labels) {
        textBefore[l] = l->text();
    }
    LabelEvents events(labels);

    spot("DL1XX", "14033"); // inside the scale: nothing else moves
    QLabel* newest = label(49);
    EXPECT_EQ(newest->text(), "DL1");
    EXPECT_FALSE(newest->isHidden());
    for (QLabel* l : labels) {
        if (l != newest) {
            EXPECT_EQ(l->text(), textBefore[l]) << l->objectName().toStdString();
            EXPECT_EQ(events.touched.count(l), 0u) << l->objectName().toStdString();
        }
    }
    // The labels still answer for the slots their spots moved to, and the
    // newest is drawn over the others.
    EXPECT_EQ(label(48)->text(), "K9");
    EXPECT_EQ(label(38)->text(), "K2");
    int newestIndex = -1;
    int highestOther = -1;
    const QObjectList order = controller->bandMap()->children();
    for (int i = 0; i < order.size(); ++i) {
        if (order[i] == newest) {
            newestIndex = i;
        } else if (auto* l = qobject_cast<QLabel*>(order[i]); l != nullptr && !l->isHidden()) {
            highestOther = i;
        }
    }
    EXPECT_GT(newestIndex, highestOther);
    QTest::mouseClick(label(38), Qt::RightButton);
    EXPECT_EQ(host.entered.back(), (std::pair<std::string, bool>{"K2BB", true}));
}

TEST_F(BandMapControllerTest, ReadsInQuickSuccessionAreDrawnAtACappedRate) {
    openStrip("Telnet", false);
    controller->beginSpots();
    spot("K1AA", "14010");
    controller->endSpots();
    EXPECT_EQ(label(49)->text(), "K1") << "a first read is drawn at once";
    ASSERT_EQ(controller->spotList()->topLevelItemCount(), 1);

    controller->beginSpots();
    spot("K2BB", "14020");
    controller->endSpots();
    // Held back, not lost: the store has it, the displays follow shortly.
    EXPECT_EQ(controller->store().slot(49).call, "K2BB");
    EXPECT_EQ(controller->spotList()->topLevelItemCount(), 1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return controller->spotList()->topLevelItemCount() == 2 && label(49)->text() == "K2";
        },
        2000));
    EXPECT_EQ(controller->spotList()->topLevelItem(0)->text(0), "K2BB");

    // A spot outside a read is drawn at once, after any held back.
    controller->beginSpots();
    spot("K3CC", "14030");
    controller->endSpots();
    spot("K4DD", "14040");
    ASSERT_EQ(controller->spotList()->topLevelItemCount(), 4);
    EXPECT_EQ(controller->spotList()->topLevelItem(0)->text(0), "K4DD");
    EXPECT_EQ(controller->spotList()->topLevelItem(1)->text(0), "K3CC");
    EXPECT_EQ(label(49)->text(), "K4");
}

TEST_F(BandMapControllerTest, TheSpectrumMapsWholeFrameFitsTheWorkArea) {
    bool checked = false;
    onModal = [&](QDialog& d) {
        d.show();
        // Its title bar and borders go inside the work area too, once known.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return d.frameGeometry() == QRect(0, 0, 1024, 740); }, 2000))
            << d.frameGeometry().x() << "," << d.frameGeometry().y() << " "
            << d.frameGeometry().width() << "x" << d.frameGeometry().height();
        d.hide();
        checked = true;
    };
    controller->showSpectrumMap();
    EXPECT_TRUE(checked);
}

TEST_F(BandMapControllerTest, LabelClicksTuneOrRemove) {
    openStrip("Telnet", false);
    spot("JA1XYZ", "14025");
    spot("DL1AA", "14030");
    ASSERT_FALSE(label(49)->isHidden());
    QTest::mouseClick(label(49), Qt::RightButton);
    ASSERT_EQ(host.tuned.size(), 1u);
    EXPECT_FLOAT_EQ(host.tuned[0], 14.030f);
    ASSERT_EQ(host.entered.size(), 1u);
    EXPECT_EQ(host.entered[0], (std::pair<std::string, bool>{"DL1AA", true}));

    QTest::mouseClick(label(48), Qt::LeftButton);
    EXPECT_FLOAT_EQ(controller->store().slot(48).frequency, 0.0f);
    EXPECT_TRUE(label(48)->isHidden());
}

TEST_F(BandMapControllerTest, ListClickTunesWhenARigIsChosen) {
    openStrip("Telnet", true);
    spot("JA1XYZ", "14025");
    SpotListWidget* list = controller->spotList();
    list->setCurrentItem(list->topLevelItem(0));
    const QRect r = list->visualItemRect(list->topLevelItem(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(host.tuned.size(), 1u);
    EXPECT_FLOAT_EQ(host.tuned[0], 14.025f);
    EXPECT_EQ(host.entered.back(), (std::pair<std::string, bool>{"JA1XYZ", false}));
    host.rig = false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(host.tuned.size(), 1u);
    EXPECT_EQ(host.entered.size(), 2u);
}

TEST_F(BandMapControllerTest, BandWithoutARangeShowsNoLabels) {
    openStrip("Telnet", false);
    host.bandText = "30";
    spot("K1AA", "10120");
    controller->bandChanged();
    EXPECT_EQ(controller->bandMap()->scaleLabel(0)->text(), ".000");
    EXPECT_TRUE(label(49)->isHidden());
}

TEST_F(BandMapControllerTest, SpectrumMapDrawsEveryBandAndTunesOnRightClick) {
    spot("K1AA", "10120");
    spot("K2BB", "7011");
    spot("K3CC", "7029");
    spot("K4DD", "5000");
    bool checked = false;
    onModal = [&](QDialog& d) {
        auto* map = dynamic_cast<SpectrumMapWindow*>(&d);
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->geometry(), QRect(0, 0, 1024, 740));
        QLabel* thirty = map->spotLabel(46);
        EXPECT_FALSE(thirty->isHidden());
        EXPECT_LT(thirty->y(), map->axis(3)->y());
        EXPECT_GT(thirty->y(), map->axis(2)->y());
        EXPECT_TRUE(map->spotLabel(49)->isHidden()); // 5 MHz is on no strip
        EXPECT_EQ(map->scaleLabel(10)->text(), "7.010");
        EXPECT_EQ(map->scaleLabel(14)->text(), "7.030");
        EXPECT_EQ(map->scaleLabel(20)->text(), "14.000");
        // a spot arriving while the map is open is drawn at once
        spot("K5EE", "14025");
        EXPECT_FALSE(map->spotLabel(49)->isHidden());
        // the 30 m spot has shifted to slot 45; a left click removes it
        ASSERT_FALSE(map->spotLabel(45)->isHidden());
        QTest::mouseClick(map->spotLabel(45), Qt::LeftButton);
        EXPECT_TRUE(map->spotLabel(45)->isHidden());
        EXPECT_FLOAT_EQ(controller->store().slot(45).frequency, 0.0f);
        QTest::mouseClick(map->spotLabel(49), Qt::RightButton);
        checked = true;
    };
    controller->showSpectrumMap();
    EXPECT_TRUE(checked);
    ASSERT_EQ(host.tuned.size(), 1u);
    EXPECT_FLOAT_EQ(host.tuned[0], 14.025f);
    EXPECT_EQ(host.entered.back(), (std::pair<std::string, bool>{"K5EE", false}));
    EXPECT_EQ(controller->spectrumMap(), nullptr);
}

} // namespace
} // namespace wexon::ui
