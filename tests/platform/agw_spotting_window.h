#pragma once

// A spotting window whose spot source is an AGW Packet Engine at a given port
// on this machine, with fakes for everything around it: what the AGW tests
// drive, against a fake engine or direwolf.

#include <QListWidget>
#include <QWidget>

#include <memory>

#include "platform/agw_client.h"
#include "spots/fake_spot_host.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/spotting_window.h"

namespace wexon::test {

struct AgwSpottingWindow {
    QWidget main;
    FakeSpotHost host;
    FakePrompts prompts;
    FakeClock clock;
    TempDir dir;
    platform::AgwClient agw;
    std::unique_ptr<ui::BandMapController> controller;
    ui::SpottingWindow* window = nullptr;

    explicit AgwSpottingWindow(quint16 port) : agw("127.0.0.1", port) {
        ui::SpotServices s;
        s.host = &host;
        s.prompts = &prompts;
        s.clock = &clock;
        s.workingFolder = QString::fromStdString(dir.path());
        s.agw = &agw;
        controller = std::make_unique<ui::BandMapController>(std::move(s), &main);
        window = controller->spottingWindow();
    }
    ~AgwSpottingWindow() { controller->shutdown(); }

    // Chooses the AGW Packet Engine as the source and opens the port.
    void open() {
        window->findChild<QListWidget*>("List1")->setCurrentRow(3);
        window->list1Click(3);
        window->openPort();
    }
};

} // namespace wexon::test
