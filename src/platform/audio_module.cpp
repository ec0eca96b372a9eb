// The entry point of the audio module, the one shared object that brings in Qt
// Multimedia and the audio stack. The program loads it at the first sound it
// plays (platform/sound_player_loader), so none of that is mapped before.
#include "platform/qt_sound_player.h"

extern "C" __attribute__((visibility("default"))) wexon::keying::SoundPlayer*
wexon_make_sound_player() {
    return new wexon::platform::QtSoundPlayer();
}
