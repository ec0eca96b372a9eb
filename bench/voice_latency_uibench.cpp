// The time from a function key to sound: FKeyPhone (F1) on the voice keyer
// window, with the real Qt Multimedia player, into a private PulseAudio null
// sink, playing the shipped prompt "Call.wav" (16 kHz mono, 0.42 s).
//
// Measured from the call of fKeyPhone(112), on the window thread's clock:
//   returned  - fKeyPhone has returned (the file handed to the player; PTT
//               rises once the player has accepted it, just before the sound);
//   buffered  - the player reports BufferedMedia: the media pipeline has
//               prerolled, which means its first buffer of audio has reached
//               the audio sink element (the figure the 50 ms target is for);
//   moving    - the first position above 0: the sink's clock runs, so audio
//               frames are being played out (bounded by the player's
//               position updates, which come about every 100 ms);
//   ended     - the player reports the end and PTT has dropped.
// The null sink runs with a configured latency of 2 s, and the default
// (GStreamer) backend reports the end only once the server has played the
// last sample out, so "moving" and "ended" carry that sink's latency; a sound
// card's sink is far quicker. Set QT_MEDIA_BACKEND=ffmpeg to measure Qt's
// other backend, which reports its end when its own buffer has been handed
// over (before the server has played it: too early to drop PTT on).
#include <QApplication>
#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "keying/voice_audio.h"
#include "platform/qt_sound_player.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/keying/voice_keyer_window.h"

using namespace wexon;

namespace {

struct Figures {
    std::vector<double> returned, buffered, moving, ended;
};

void print(const char* name, std::vector<double> v) {
    if (v.empty()) {
        std::printf("  %-9s no figure\n", name);
        return;
    }
    std::sort(v.begin(), v.end());
    std::printf("  %-9s median %7.1f ms   p90 %7.1f ms   max %7.1f ms\n", name, v[v.size() / 2],
                v[v.size() * 9 / 10], v.back());
}

// Runs the event loop until `done` holds or `limitMs` have passed.
template <typename Pred> bool waitFor(Pred done, int limitMs) {
    QEventLoop loop;
    QTimer check;
    QElapsedTimer clock;
    clock.start();
    bool ok = done();
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        ok = done();
        if (ok || clock.elapsed() > limitMs) {
            loop.quit();
        }
    });
    if (!ok) {
        check.start(1);
        loop.exec();
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    test::PulseNullSink sink;
    if (!sink.start()) {
        std::printf("voice latency: no audio sink could be started (%s)\n", sink.reason().c_str());
        return 0;
    }
    QApplication app(argc, argv);
    test::TempDir dir;
    test::FakePrompts prompts;
    const std::string call = std::string(WEXON_SOURCE_DIR) + "/data/Call.wav";
    dir.write("wave2.txt", "\"" + call +
                               "\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                               "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
    platform::QtSoundPlayer player;
    ui::VoiceKeyerServices services;
    services.workingFolder = dir.path();
    services.prompts = &prompts;
    services.player = &player;
    ui::VoiceKeyerWindow window(services);
    window.loadSettings();

    QElapsedTimer clock;
    double buffered = -1;
    double moving = -1;
    QObject::connect(&player.mediaPlayer(), &QMediaPlayer::mediaStatusChanged,
                     [&](QMediaPlayer::MediaStatus s) {
                         if (s == QMediaPlayer::BufferedMedia && buffered < 0) {
                             buffered = clock.nsecsElapsed() / 1e6;
                         }
                     });
    QObject::connect(&player.mediaPlayer(), &QMediaPlayer::positionChanged, [&](qint64 p) {
        if (p > 0 && moving < 0) {
            moving = clock.nsecsElapsed() / 1e6;
        }
    });

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    Figures f;
    // One warm-up run loads the media framework's plugins.
    for (int i = -1; i < runs; ++i) {
        buffered = -1;
        moving = -1;
        clock.start();
        window.fKeyPhone(112);
        const double returned = clock.nsecsElapsed() / 1e6;
        if (!waitFor([&] { return !window.keyer().keyed() && !window.isPlaying(); }, 20000)) {
            std::printf("run %d: the message never ended\n", i);
            continue;
        }
        const double ended = clock.nsecsElapsed() / 1e6;
        if (i < 0) {
            continue;
        }
        f.returned.push_back(returned);
        if (buffered >= 0) {
            f.buffered.push_back(buffered);
        }
        if (moving >= 0) {
            f.moving.push_back(moving);
        }
        f.ended.push_back(ended);
        waitFor([] { return false; }, 50);
    }
    const QByteArray backend = qgetenv("QT_MEDIA_BACKEND");
    std::printf("F1 to sound, %d runs of Call.wav (0.42 s), backend %s, null sink\n", runs,
                backend.isEmpty() ? "default" : backend.constData());
    print("returned", f.returned);
    print("buffered", f.buffered);
    print("moving", f.moving);
    print("ended", f.ended);
    std::printf("  target: first audio at the sink (buffered) within 50 ms\n");
    return 0;
}
