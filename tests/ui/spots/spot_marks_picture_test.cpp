// Draws the band map and the spot list with every kind of spot (ordinary, dupe,
// new prefix; from people and from skimmers, confirmed or not; three ages)
// into one picture, "bandmap.png" in $WEXON_SCREENSHOT_DIR (or a temporary
// folder), and checks what each label shows.
#include <gtest/gtest.h>

#include <map>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QTreeWidget>

#include "core/wpx_prefix.h"
#include "spots/fake_spot_host.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/band_map_widget.h"
#include "ui/spots/spot_list_widget.h"
#include "ui/spots/spotting_window.h"

namespace wexon::ui {
namespace {

std::string pictureSpotText(const std::string& comment) {
    std::string text = "de W1XX:";
    text.resize(36, ' ');
    text += comment;
    text.resize(67, ' ');
    return text + "1234Z";
}

std::string pictureSkimmerText(const std::string& skimmer, const std::string& khz,
                               const std::string& call) {
    return "de " + skimmer + "-#:    " + khz + "  " + call + "  CW  18 dB  26 WPM  CQ  1234Z";
}

class SpotMarksPicture : public ::testing::Test {
  protected:
    SpotMarksPicture() {
        main.resize(1000, 300);
        host.statusRule = [](const std::string& call) {
            static const std::map<std::string, core::ContactStatus> kLog{
                {"K1AA", core::ContactStatus::Dupe},
                {"DL1ABC", core::ContactStatus::Dupe},
                {"JA2ABC", core::ContactStatus::NewPrefix},
                {"OH2BH", core::ContactStatus::NewPrefix},
                {"XX9ZZZ", core::ContactStatus::NewPrefix},
            };
            core::ContactStatusResult r;
            r.prefix = core::derivePrefix(call);
            const auto it = kLog.find(call);
            if (it != kLog.end()) {
                r.status = it->second;
            }
            return r;
        };
        host.known = {"OH2BH"};
        SpotServices s;
        s.host = &host;
        s.prompts = &prompts;
        s.clock = &clock;
        s.workingFolder = QString::fromStdString(dir.path());
        s.tncPort = &port;
        s.agw = &agw;
        s.runModal = [](QDialog&) { return 0; };
        controller = std::make_unique<BandMapController>(std::move(s), &main);
    }
    ~SpotMarksPicture() override { controller->shutdown(); }

    void show(bool list) {
        SpottingWindow* w = controller->spottingWindow();
        auto* sources = w->findChild<QListWidget*>("List1");
        const auto items = sources->findItems("Telnet", Qt::MatchExactly);
        sources->setCurrentItem(items[0]);
        w->list1Click(sources->row(items[0]));
        w->findChild<QRadioButton*>(list ? "OptList" : "OptBand")->setChecked(true);
        w->done();
        w->hide();
    }
    void person(const std::string& call, const std::string& khz) {
        controller->bandMapSpots(call, khz, pictureSpotText("CQ WPX"));
    }
    void skimmer(const std::string& who, const std::string& call, const std::string& khz) {
        controller->bandMapSpots(call, khz, pictureSkimmerText(who, khz, call));
    }
    QLabel* labelOf(const std::string& call) {
        for (int i = spots::SpotStore::kSlots - 1; i >= 0; --i) {
            const auto& s = controller->store().slot(i);
            if (s.call == call && s.frequency != 0.0f) {
                return controller->bandMap()->spotLabel(i);
            }
        }
        return nullptr;
    }

    QWidget main;
    test::TempDir dir;
    test::FakeSpotHost host;
    test::FakePrompts prompts;
    test::FakeClock clock;
    test::FakeCatPort port;
    test::FakeAgwLink agw;
    std::unique_ptr<BandMapController> controller;
};

TEST_F(SpotMarksPicture, EveryKindOfSpotIsDrawnAndSaved) {
    show(false);
    controller->strip()->setGeometry(0, 0, 1000, 120);
    main.show();
    person("K1AA", "14010.0"); // a dupe, 35 minutes old
    clock.advanceSeconds(20 * 60);
    person("JA1ABC", "14055.0"); // ordinary, 15 minutes old
    clock.advanceSeconds(15 * 60);
    person("JA2ABC", "14100.0"); // new prefixes and the rest, fresh
    skimmer("DK9IP", "OH2BH", "14145.1");
    skimmer("W3LPL", "OH2BH", "14145.2");
    skimmer("DK9IP", "XX9ZZZ", "14190.0");
    person("DL1ABC", "14235.0");
    skimmer("VE2WU", "K3LR", "14280.0");
    person("G4ABC", "14325.0");

    QLabel* dupe = labelOf("K1AA");
    ASSERT_NE(dupe, nullptr);
    EXPECT_TRUE(dupe->font().strikeOut());
    EXPECT_EQ(dupe->palette().color(QPalette::WindowText), QColor(192, 192, 192)) << "still gray";
    QLabel* fresh = labelOf("JA2ABC");
    EXPECT_TRUE(fresh->font().bold());
    EXPECT_EQ(fresh->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    EXPECT_EQ(labelOf("XX9ZZZ")->text(), "XX9?");
    EXPECT_EQ(labelOf("K3LR")->text(), "K3?");
    EXPECT_EQ(labelOf("OH2BH")->text(), "OH2") << "heard by two skimmers";
    EXPECT_EQ(labelOf("OH2BH")->accessibleName(), "OH2BH 14.145, new prefix OH2, 2 skimmers, just now");
    EXPECT_FALSE(labelOf("G4ABC")->font().bold());

    QApplication::processEvents();
    const QImage map = controller->bandMap()->grab().toImage();
    show(true);
    controller->strip()->setGeometry(0, 0, 1000, 230);
    QApplication::processEvents();
    SpotListWidget* list = controller->spotList();
    EXPECT_EQ(list->topLevelItem(2)->text(3), "dupe") << "DL1ABC";
    EXPECT_TRUE(list->topLevelItem(2)->font(0).strikeOut());
    const QImage rows = list->grab().toImage();

    QImage picture(std::max(map.width(), rows.width()), map.height() + rows.height() + 8,
                   QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.drawImage(0, 0, map);
    p.drawImage(0, map.height() + 8, rows);
    p.end();
    const QString folder = qEnvironmentVariableIsSet("WEXON_SCREENSHOT_DIR")
                               ? qEnvironmentVariable("WEXON_SCREENSHOT_DIR")
                               : QString::fromStdString(dir.path());
    const QString file = folder + "/bandmap.png";
    ASSERT_TRUE(picture.save(file)) << file.toStdString();
    EXPECT_FALSE(QImage(file).isNull());
}

} // namespace
} // namespace wexon::ui
