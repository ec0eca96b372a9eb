#include <QApplication>
#include <QDir>
#include <QTimer>

#include "core/clock.h"
#include "core/shared_preferences.h"
#include "platform/folders_qt.h"
#include "platform/memory_release.h"
#include "platform/qt_prompts.h"
#include "platform/qt_settings_store.h"
#include "ui/common/accessibility.h"
#include "ui/main/check_partial_panel.h"
#include "ui/link/digital_link_window.h"
#include "ui/station/logo_window.h"
#include "ui/main/main_window.h"
#include "ui/common/screen_layout.h"
#include "ui/station/startup.h"
#include "ui/station/station_broadcasts.h"
#include "spots/spot_marks.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/station_spots.h"
#include "ui/keying/station_voice.h"
#include "ui/net/station_network.h"
#include "ui/station/station_tools.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Wexon");
    QApplication::setApplicationVersion(WEXON_VERSION);
    // Every control gets a name for the screen reader, and every secondary
    // window is stretched to the screen when it first shows.
    wexon::ui::AccessibleNaming::install();
    wexon::ui::SecondaryWindowScaler::install();

    const QString working = QDir::currentPath();

    wexon::platform::QtPrompts prompts;
    wexon::core::SystemClock clock;
    wexon::platform::QtSettingsStore settings;
    wexon::core::SharedPreferences shared;

    {
        wexon::ui::LogoWindow logo(WEXON_VERSION);
        logo.exec();
    }

    wexon::ui::AppFolders folders =
        wexon::ui::resolveFolders(working, wexon::platform::documentsFolder(), prompts);
    shared.load((folders.shared + "/" + wexon::core::kSharedPreferencesFileName)
                    .toLocal8Bit()
                    .toStdString());
    wexon::ui::ensureFolderWithMessages(folders.backup, true, prompts);

    wexon::ui::MainWindowServices services;
    services.prompts = &prompts;
    services.clock = &clock;
    services.settings = &settings;
    services.shared = &shared;
    services.folders = folders;

    wexon::ui::MainWindow window(services);
    prompts.setParentWidget(&window);
    // The Form Size and Taskbar menu items; owned by the main window.
    auto* screenLayout = new wexon::ui::ScreenLayout(window, prompts);
    QObject::connect(
        &window, &wexon::ui::MainWindow::endProgram, &app,
        [](int code) { QApplication::exit(code); }, Qt::QueuedConnection);
    // The log's File-menu operations, the edit buttons and the rig windows.
    wexon::ui::StationTools tools(window, services);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&tools] { tools.shutdown(); });
    // The voice keyer (reads "wave2.txt") and voice navigation.
    wexon::ui::StationVoice voice(window, tools, services);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&voice] { voice.shutdown(); });
    // The DX-spot displays: the spot strip, the spotting window and the spectrum map.
    wexon::ui::StationSpots spots(window, services, tools);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&spots] { spots.shutdown(); });
    // The known calls containing the call being typed (Options > Super Check Partial).
    wexon::ui::CheckPartialInstaller checkPartial(window, settings, clock);
    // The spot displays and the check-partial list inform each other: spots are
    // marked unconfirmed unless the known calls hold them, and the list shows
    // in bold the calls spotted on this band.
    spots.setKnownCalls(&checkPartial.calls());
    spots.setVoicePrompter(&voice);
    checkPartial.setSpottedQuery(
        [&spots](std::string_view call) { return spots.spottedCalls().contains(call); });
    QObject::connect(&spots.controller(), &wexon::ui::BandMapController::spottedCallsChanged,
                     &checkPartial, &wexon::ui::CheckPartialInstaller::refresh);
    // The link with the RTTY program: it starts when the station setup is accepted.
    wexon::ui::DigitalLinkWindow digitalLink(window, settings, prompts);
    // UDP broadcasts for dashboards and live score posting (Options menu).
    wexon::ui::StationBroadcasts broadcasts(window, services);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&broadcasts] { broadcasts.shutdown(); });
    // Several stations, one log: off until turned on in the Network window.
    auto* network = new wexon::ui::StationNetwork(
        window, services, [&window](const std::string& name) { window.setStationName(name); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [network] { network->shutdown(); });
    const auto loaded = window.formLoad();
    if (loaded == wexon::ui::MainWindow::LoadOutcome::EndProgram) {
        return 1;
    }
    screenLayout->applyStartupSize();
    window.show();
    // With the rig reached through fldigi, fldigi alone polls it.
    if (loaded == wexon::ui::MainWindow::LoadOutcome::Ready) {
        if (!digitalLink.rigSharedThroughFldigi()) {
            tools.startRig();
        }
        network->start();
    }
    // Reading the log and the tables is done: what it used and freed goes back
    // to the system once the window has been drawn.
    QTimer::singleShot(0, [] { wexon::platform::releaseFreedMemory(); });
    return app.exec();
}
