#pragma once

#include <memory>
#include <string>

#include "keying/sound_player.h"

namespace wexon::platform {

// The name of the entry point the audio module exports: a function taking
// nothing and returning a new keying::SoundPlayer the caller owns.
inline constexpr const char* kSoundPlayerEntry = "wexon_make_sound_player";

// Makes a real sound player from the audio module (the Qt Multimedia player
// and the audio stack under it), loading the module at the first call. The
// module sits beside the program, or in ../lib/wexon from it, or in the build
// folder it was built in. Nothing when it cannot be loaded; `error` then says
// why, for the operator.
std::unique_ptr<keying::SoundPlayer> makeModuleSoundPlayer(std::string* error = nullptr);

} // namespace wexon::platform
