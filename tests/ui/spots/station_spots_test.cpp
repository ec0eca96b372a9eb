// The DX-spot displays plugged into the main window: the menu items and keys
// that open them, the strip at the bottom of the window, and what a spot does
// to the entry row, the message line and the rig.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QListWidget>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTreeWidget>

#include "support/main_window_fixture.h"
#include "ui/rig/rig_host.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/band_map_widget.h"
#include "ui/spots/spectrum_map_window.h"
#include "ui/spots/spot_list_widget.h"
#include "ui/spots/spotting_window.h"
#include "ui/spots/station_spots.h"
#include "ui/station/station_tools.h"

using namespace wexon;
using wexon::test::logOf;
using wexon::test::MainWindowTest;

namespace {

// The rig window as the spots see it: records what it was asked to tune to.
class RecordingTuner : public ui::RigTuner {
  public:
    std::vector<float> tuned;
    void changeFrequency(float mhz) override { tuned.push_back(mhz); }
    void changeMode(float, const std::string&) override {}
    std::string rigName() const override { return "Kenwood"; }
};

std::string clusterLine(const std::string& khz, const std::string& call,
                        const std::string& comment = "CQ WPX") {
    std::string line = "DX de W9XX:";
    line.resize(15, ' ');
    line += std::string(9 - khz.size(), ' ') + khz + "  " + call;
    line.resize(39, ' ');
    line += comment;
    line.resize(70, ' ');
    return line + "1234Z";
}

// The text a cluster line hands on: the line without "DX ".
std::string spotText(const std::string& khz, const std::string& call) {
    return clusterLine(khz, call).substr(3);
}

bool waitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

class StationSpotsTest : public MainWindowTest {
  protected:
    std::unique_ptr<ui::StationTools> tools;
    std::unique_ptr<ui::StationSpots> spots;
    RecordingTuner tuner;
    std::function<void(QDialog&)> onModal;
    int spectrumMapsShown = 0;

    ui::MainWindow& start(int contacts = 2) {
        dir.write("work/log.txt", logOf(contacts));
        prompts.questionAnswers = {true};
        auto& w = make();
        auto stationModal = services.runModal;
        services.runModal = [this, stationModal](QDialog& d) {
            if (dynamic_cast<ui::SpectrumMapWindow*>(&d) != nullptr) {
                ++spectrumMapsShown;
                if (onModal) {
                    onModal(d);
                }
                return 0;
            }
            return stationModal(d);
        };
        tools = std::make_unique<ui::StationTools>(w, services);
        spots = std::make_unique<ui::StationSpots>(w, services, *tools, &tuner);
        w.formLoad();
        w.show();
        return w;
    }
    void TearDown() override {
        spots.reset();
        tools.reset();
    }

    ui::BandMapController& controller() { return spots->controller(); }
    ui::SpottingWindow* spotting() { return controller().spottingWindow(); }

    // Chooses a source and a display in the spotting window and leaves it with
    // "&Done", as the operator does.
    void chooseAndDone(const char* source, bool list) {
        ui::SpottingWindow* w = spotting();
        auto* sources = w->findChild<QListWidget*>("List1");
        const auto items = sources->findItems(source, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        sources->setCurrentItem(items[0]);
        w->list1Click(sources->row(items[0]));
        w->findChild<QRadioButton*>(list ? "OptList" : "OptBand")->setChecked(true);
        QTest::mouseClick(w->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
    }
    void spot(const std::string& khz, const std::string& call) {
        controller().bandMapSpots(call, khz, spotText(khz, call));
    }
    QLabel* spotLabel(int slot) { return controller().bandMap()->spotLabel(slot); }
    QWidget* strip() { return controller().strip(); }
};

} // namespace

// ---------------------------------------------------------------- opening the windows

TEST_F(StationSpotsTest, TheMenuItemsAreLiveAndOpenTheirWindows) {
    start();
    auto* configure = child<QAction>("mnuDXSpotting");
    auto* spectrum = child<QAction>("mnuSpectrumMap");
    ASSERT_NE(configure, nullptr);
    ASSERT_NE(spectrum, nullptr);
    EXPECT_TRUE(configure->isEnabled());
    EXPECT_TRUE(spectrum->isEnabled());

    // "&Configure" saves the preferences first: a band changed in memory only
    // is on disk once the spotting window shows.
    window->contest().prefs.band = "40";
    configure->trigger();
    EXPECT_TRUE(spotting()->isVisible());
    EXPECT_EQ(savedPrefs().band, "40");

    spectrum->trigger();
    EXPECT_EQ(spectrumMapsShown, 1);
    EXPECT_EQ(controller().spectrumMap(), nullptr) << "unloaded when it closes";
}

TEST_F(StationSpotsTest, CtrlDShowsTheSpottingWindowAndCtrlBTheSpectrumMap) {
    auto& w = start();
    auto* call = w.findChild<QLineEdit*>("txtCall");
    call->setFocus();
    QTest::keyClick(call, Qt::Key_D, Qt::ControlModifier);
    ui::SpottingWindow* sw = spotting();
    EXPECT_TRUE(sw->isVisible());
    EXPECT_FALSE(sw->isMinimized());
    sw->showMinimized();
    QTest::keyClick(call, Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(sw->windowState() & Qt::WindowMinimized) << "brought back in its normal state";

    QTest::keyClick(call, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(spectrumMapsShown, 1);
    EXPECT_EQ(call->text(), "") << "nothing typed with Ctrl reached the call box";
}

// ---------------------------------------------------------------- the strip

TEST_F(StationSpotsTest, TheStripOpensInTheBandMapAreaOnlyAfterDone) {
    start();
    auto* area = child<QWidget>("bandMapArea");
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->isAncestorOf(strip()));
    EXPECT_FALSE(strip()->isVisible()) << "nothing shown before a source is chosen";

    spot("14025.0", "JA1XYZ");
    EXPECT_FALSE(strip()->isVisible()) << "a spot alone does not open the strip";

    chooseAndDone("Telnet", false);
    EXPECT_FALSE(spotting()->isVisible());
    ASSERT_TRUE(strip()->isVisible());
    EXPECT_EQ(controller().display(), ui::BandMapController::Display::BandMap);
    // The spot taken before the strip opened is drawn once it opens.
    EXPECT_TRUE(spotLabel(49)->isVisible());
    EXPECT_EQ(spotLabel(49)->text(), "JA1");
    // The log list keeps most of the room.
    EXPECT_GT(child<QTreeView>("ListView1")->height(), strip()->height());

    // Choosing "None" and "&Done" gives the room back.
    chooseAndDone("None", false);
    EXPECT_FALSE(strip()->isVisible());
    EXPECT_EQ(controller().display(), ui::BandMapController::Display::None);
}

TEST_F(StationSpotsTest, ASpotFromAClusterAppearsInTheListAfterDone) {
    start();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* client = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection,
                     [&] { client = server.nextPendingConnection(); });

    ui::SpottingWindow* sw = spotting();
    sw->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
    sw->findChild<QLineEdit*>("txtTelnetPort")->setText(QString::number(server.serverPort()));
    chooseAndDone("Telnet", true); // "&Done" opens the connection
    ASSERT_TRUE(waitUntil([&] { return client != nullptr; }));
    ASSERT_TRUE(strip()->isVisible());
    EXPECT_EQ(controller().display(), ui::BandMapController::Display::List);

    client->write(QByteArray::fromStdString(clusterLine("7012.5", "DL1ABC") + "\r\n"));
    client->flush();
    auto* list = child<QTreeWidget>("txtDX");
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitUntil([&] { return list->topLevelItemCount() == 1; }));
    EXPECT_EQ(list->topLevelItem(0)->text(0), "DL1ABC");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "Germany") << "country from the main window's table";

    // Program end closes the connection.
    bool disconnected = false;
    QObject::connect(client, &QTcpSocket::disconnected, [&] { disconnected = true; });
    spots->shutdown();
    EXPECT_TRUE(waitUntil([&] { return disconnected; }));
    spots->shutdown(); // a second call does nothing
}

// What a tool tip shows: Qt takes one that looks like markup for rich text.
QString shownToolTip(const QString& tip) {
    QString shown =
        Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
    return shown.replace(QChar::Nbsp, u' ');
}

TEST_F(StationSpotsTest, MarkupFromAClusterIsShownAsTheCharactersItHolds) {
    auto& w = start();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* client = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection,
                     [&] { client = server.nextPendingConnection(); });
    ui::SpottingWindow* sw = spotting();
    sw->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
    sw->findChild<QLineEdit*>("txtTelnetPort")->setText(QString::number(server.serverPort()));
    chooseAndDone("Telnet", false);
    ASSERT_TRUE(waitUntil([&] { return client != nullptr; }));
    const QSize sizeBefore = w.size();

    // The own call spotted with an image as its comment, and a call that is
    // markup itself.
    const std::string image = "<img width=20000 height=20000>";
    client->write(QByteArray::fromStdString(clusterLine("14025.0", "W1AW", image) + "\r\n" +
                                            clusterLine("14030.0", "<b>K1ABC</b>") + "\r\n"));
    client->flush();
    ASSERT_TRUE(waitUntil([&] { return controller().store().slot(49).call == "<b>K1ABC</b>"; }));
    QApplication::processEvents();

    auto* dupe = child<QLabel>("lblDupe");
    EXPECT_TRUE(dupe->text().contains(QString::fromStdString(image)));
    EXPECT_EQ(dupe->textFormat(), Qt::PlainText);
    // Taken as markup, the label would ask for an image 20000 pixels square.
    EXPECT_LT(dupe->sizeHint().width(), 2000);
    EXPECT_LT(dupe->sizeHint().height(), 200);
    EXPECT_EQ(w.size(), sizeBefore) << "the entry row stays on the window";

    QLabel* label = spotLabel(49);
    ASSERT_FALSE(label->isHidden());
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    // The log is empty, so the spot is a new prefix (the call's prefix,
    // taken from the markup, is whatever the entry row would make of it).
    EXPECT_TRUE(shownToolTip(label->toolTip()).startsWith("<b>K1ABC</b>  14.030  12:00:00, new prefix"));
    // The mouse over it puts the same text, not its markup, on the dupe line.
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(label, &enter);
    EXPECT_EQ(text("lblDupe"), shownToolTip(label->toolTip()));
    spots->shutdown();
}

// ---------------------------------------------------------------- clicks

TEST_F(StationSpotsTest, ARightClickOnASpotEntersTheCallAndTunesTheRig) {
    auto& w = start(2);
    chooseAndDone("Telnet", false);
    spot("14025.0", "JA1XYZ");
    QLabel* label = spotLabel(49);
    ASSERT_TRUE(label->isVisible());
    QTest::mouseClick(label, Qt::RightButton);

    ASSERT_EQ(tuner.tuned.size(), 1u);
    EXPECT_FLOAT_EQ(tuner.tuned[0], 14.025f);
    EXPECT_EQ(text("txtCall"), "JA1XYZ");
    // The call went in as if typed: the row knows it, and the Tab moved on.
    EXPECT_EQ(w.entryRow().row().text(core::EntryBox::Call), "JA1XYZ");
    EXPECT_EQ(w.entryRow().row().focus(), core::EntryBox::Rstr);
    EXPECT_EQ(text("txtPref"), "JA1");
}

TEST_F(StationSpotsTest, ARightClickOnAWorkedCallRunsTheDuplicateCheck) {
    start(2); // K1AA and K2AA worked on 20
    chooseAndDone("Telnet", false);
    spot("14030.0", "K2AA");
    const int beepsBefore = prompts.beeps;
    QTest::mouseClick(spotLabel(49), Qt::RightButton);
    EXPECT_GT(prompts.beeps, beepsBefore);
    EXPECT_EQ(text("txtCall"), "") << "the duplicate clears the row";
}

TEST_F(StationSpotsTest, AListClickTunesOnlyWithARigChosen) {
    auto& w = start();
    chooseAndDone("Telnet", true);
    spot("21025.0", "PY2AA");
    auto* list = child<QTreeWidget>("txtDX");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    auto click = [&] {
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    };

    w.contest().prefs.rigName = "None";
    click();
    EXPECT_TRUE(tuner.tuned.empty());
    EXPECT_EQ(text("txtCall"), "PY2AA");
    EXPECT_EQ(w.entryRow().row().focus(), core::EntryBox::Call) << "no Tab from the list";

    w.findChild<QLineEdit*>("txtCall")->clear();
    w.contest().prefs.rigName = "Kenwood TS-850";
    click();
    ASSERT_EQ(tuner.tuned.size(), 1u);
    EXPECT_FLOAT_EQ(tuner.tuned[0], 21.025f);
}

TEST_F(StationSpotsTest, ARightClickOnTheSpectrumMapEntersTheCallAndClosesIt) {
    start();
    spot("10120.0", "OH2BH");
    onModal = [](QDialog& d) {
        auto& map = static_cast<ui::SpectrumMapWindow&>(d);
        QLabel* label = map.spotLabel(49);
        ASSERT_TRUE(label->isVisibleTo(&map)) << "30 m is on the spectrum map";
        QTest::mouseClick(label, Qt::RightButton);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    QTest::keyClick(child<QLineEdit>("txtCall"), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(spectrumMapsShown, 1);
    EXPECT_EQ(text("txtCall"), "OH2BH");
    ASSERT_EQ(tuner.tuned.size(), 1u);
    EXPECT_FLOAT_EQ(tuner.tuned[0], 10.12f);
}

TEST_F(StationSpotsTest, TheMouseOverASpotShowsItsDetails) {
    start();
    chooseAndDone("Telnet", false);
    spot("14025.0", "JA1XYZ");
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(spotLabel(49), &enter);
    // Call, frequency and the time in UTC (the fake clock reads 12:00 UTC),
    // then the mark: nothing is logged yet, so JA1 is a new prefix.
    EXPECT_EQ(text("lblDupe"), "JA1XYZ  14.025  12:00:00, new prefix JA1");
}

// ---------------------------------------------------------------- warnings and redraws

TEST_F(StationSpotsTest, TheOwnCallSpottedWarnsOnTheMessageLine) {
    start();
    const int beepsBefore = prompts.beeps;
    // An announcement with no frequency still warns.
    controller().bandMapSpots("w1aw", "soon", "de W9XX: W1AW on the air");
    EXPECT_EQ(prompts.beeps, beepsBefore + 1);
    EXPECT_EQ(text("lblDialog"), "You've been spotted! ");
    EXPECT_EQ(text("lblDupe"), "You've been spotted!  de W9XX: W1AW on the air");
    EXPECT_EQ(child<QLabel>("lblDialog")->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(child<QLabel>("lblDupe")->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(controller().store().slot(49).call, "") << "nothing stored without a frequency";
}

TEST_F(StationSpotsTest, ABandChangeRedrawsTheMapForTheNewBand) {
    auto& w = start();
    chooseAndDone("Telnet", false);
    spot("14025.0", "JA1XYZ");
    spot("7012.5", "DL1ABC");
    EXPECT_TRUE(spotLabel(48)->isVisible());
    EXPECT_FALSE(spotLabel(49)->isVisible());
    EXPECT_EQ(controller().bandMap()->scaleLabel(0)->text(), "14.000");

    w.selectBand("40");
    EXPECT_FALSE(spotLabel(48)->isVisible());
    EXPECT_TRUE(spotLabel(49)->isVisible());
    EXPECT_EQ(spotLabel(49)->text(), "DL1");
    EXPECT_EQ(controller().bandMap()->scaleLabel(0)->text(), "7.000");
    EXPECT_EQ(controller().bandMap()->scaleLabel(4)->text(), "7.300");
}

TEST_F(StationSpotsTest, ActivatingTheWindowAgesTheLabels) {
    auto& w = start();
    chooseAndDone("Telnet", false);
    spot("14025.0", "JA1XYZ");
    const QColor fresh = spotLabel(49)->palette().color(QPalette::WindowText);
    EXPECT_EQ(fresh, QColor(255, 255, 128));
    clock.advanceSeconds(11 * 60);
    emit w.activated();
    EXPECT_EQ(spotLabel(49)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    clock.advanceSeconds(50 * 60);
    emit w.activated();
    EXPECT_FALSE(spotLabel(49)->isVisible()) << "an hour old: gone";
}

TEST_F(StationSpotsTest, TwoMinutesWithoutSpotsRecolourTheLabels) {
    start();
    chooseAndDone("Telnet", false);
    spot("14025.0", "JA1XYZ");
    clock.advanceSeconds(31 * 60);
    for (int i = 0; i < ui::SpottingWindow::kRefreshTicks; ++i) {
        spotting()->timerTick();
    }
    EXPECT_EQ(spotLabel(49)->palette().color(QPalette::WindowText), QColor(255, 255, 128))
        << "not redrawn before two minutes have passed";
    spotting()->timerTick();
    EXPECT_EQ(spotLabel(49)->palette().color(QPalette::WindowText), QColor(192, 192, 192));
}

TEST_F(StationSpotsTest, SpotLastOffersTheLastLoggedCall) {
    start(3);
    ui::SpottingWindow* sw = spotting();
    sw->findChild<QPushButton*>("Command3")->click();
    auto* box = sw->findChild<QLineEdit*>("txtSent");
    EXPECT_EQ(box->text(), "DX Frequency in kHz K3AA");
    EXPECT_EQ(box->selectedText(), "Frequency in kHz");
}
