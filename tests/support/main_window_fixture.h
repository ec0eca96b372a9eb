#pragma once

// A main window in a temporary working folder, wired to fakes: the fixture the
// window tests share.

#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <filesystem>
#include <memory>

#include "core/log_file.h"
#include "core/number_format.h"
#include "core/preferences.h"
#include "core/settings_store.h"
#include "core/shared_preferences.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/main/main_window.h"
#include "ui/station/startup.h"
#include "ui/station/station_window.h"


namespace wexon::test {

inline const char* kCountries = "\"DL\",\"Germany\",\"EU\",-10,51,\"230\",\"14\",\"28\"\r\n"
                         "\"G\",\"England\",\"EU\",2,52,\"223\",\"14\",\"27\"\r\n"
                         "\"GM\",\"Scotland\",\"EU\",4,56,\"279\",\"14\",\"27\"\r\n"
                         "\"K\",\"USA\",\"NA\",97,38,\"291\",\"5\",\"8\"\r\n"
                         "\"KH6\",\"Hawaii\",\"OC\",157,21,\"110\",\"31\",\"61\"\r\n"
                         "\"W\",\"USA\",\"NA\",97,38,\"291\",\"5\",\"8\"\r\n";

inline core::QsoRecord qso(int n, const std::string& band = "20") {
    core::QsoRecord r;
    r.call = "K" + std::to_string(n) + "AA";
    r.rstReceived = "599";
    r.serialReceived = std::to_string(n);
    r.rstSent = "599";
    r.country = "USA";
    r.qsoDate = "2026/05/30";
    r.qsoTime = "00:00:00";
    r.band = band;
    r.points = 1;
    r.prefix = "K" + std::to_string(n);
    r.serialSent = core::zeroPad(n, 3);
    return r;
}

inline QString cell(QTreeView* list, int row, int column) {
    return list->model()->index(row, column).data().toString();
}

inline std::string logOf(int count) {
    std::vector<core::QsoRecord> v;
    for (int i = 1; i <= count; ++i) {
        v.push_back(qso(i));
    }
    return core::formatLog(v);
}

// A working folder with a documents folder beside it, the shipped preference
// values (own station W1AW, band 20, UTC offset matching the fake clock) and a
// small country table, and a main window wired to fakes.
class MainWindowTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::FakeClock clock;
    test::FakePrompts prompts;
    core::MemorySettingsStore settings;
    core::SharedPreferences shared;
    core::Preferences prefs;
    bool pressDone = true;
    int stationWindowsShown = 0;
    // How many prompts had been shown when the station window opened.
    int shownBeforeStation = -1;
    std::unique_ptr<ui::MainWindow> window;
    // What the last window made was given, for windows made beside it.
    ui::MainWindowServices services;

    void SetUp() override {
        prefs.ownCall = "W1AW";
        prefs.utcOffset = 5; // the fake computer is five hours behind UTC
        prefs.band = "20";
        prefs.ownLatitude = 41.71f;
        prefs.ownLongitude = 72.73f;
        prefs.ownCountry = "USA";
        prefs.ownContinent = "NA";
        std::filesystem::create_directories(dir.file("work"));
        std::filesystem::create_directories(dir.file("docs"));
        dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
        dir.write("work/arrlpre2.txt", kCountries);
    }

    ui::MainWindow& make() {
        ui::MainWindowServices s;
        s.prompts = &prompts;
        s.clock = &clock;
        s.settings = &settings;
        s.shared = &shared;
        s.folders = ui::resolveFolders(QString::fromStdString(dir.file("work")),
                                       QString::fromStdString(dir.file("docs")), prompts);
        ui::ensureFolderWithMessages(s.folders.backup, true, prompts);
        shared.load(s.folders.shared.toStdString() + "/SharedUserPreferences.xml");
        s.screenWidth = 1920;
        s.runModal = [this](QDialog& dialog) {
            if (auto* station = qobject_cast<ui::StationWindow*>(&dialog)) {
                ++stationWindowsShown;
                shownBeforeStation = static_cast<int>(prompts.shown.size());
                if (pressDone) {
                    station->command1Click();
                }
            }
            return 0;
        };
        services = s;
        window = std::make_unique<ui::MainWindow>(s);
        return *window;
    }

    template <typename T> T* child(const char* name) { return window->findChild<T*>(name); }
    QString text(const char* name) {
        if (auto* box = child<QLineEdit>(name)) {
            return box->text();
        }
        return child<QLabel>(name)->text();
    }
    core::Preferences savedPrefs() {
        return core::parsePreferences(dir.read("work/wexonprf.txt")).prefs;
    }
};

} // namespace wexon::test
