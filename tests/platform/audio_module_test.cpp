// The audio stack is loaded at the first sound, from the audio module, and not
// before: the program at rest maps no media framework.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "keying/deferred_sound_player.h"
#include "platform/sound_player_loader.h"
#include "support/temp_dir.h"

using namespace wexon;

namespace {

bool mapped(const std::string& library) {
    std::ifstream maps("/proc/self/maps");
    std::stringstream all;
    all << maps.rdbuf();
    return all.str().find(library) != std::string::npos;
}

} // namespace

TEST(AudioModule, TheFirstPlayLoadsTheModuleAndItsPlayerRefusesWhatIsNoSound) {
    if (mapped("wexon_audio")) {
        GTEST_SKIP() << "another test in this process loaded the audio module already";
    }
    int made = 0;
    std::string why;
    keying::DeferredSoundPlayer player([&] {
        ++made;
        return platform::makeModuleSoundPlayer(&why);
    });
    test::TempDir dir;
    EXPECT_FALSE(mapped("wexon_audio"));

    // A missing file is refused before anything plays; the module is loaded
    // for it all the same, once.
    EXPECT_FALSE(player.play(dir.file("missing.wav")));
    EXPECT_TRUE(mapped("wexon_audio")) << why;
    EXPECT_TRUE(why.empty()) << why;
    EXPECT_FALSE(player.play(dir.file("missing.wav")));
    EXPECT_EQ(made, 1);
    EXPECT_FALSE(player.isPlaying());
}
