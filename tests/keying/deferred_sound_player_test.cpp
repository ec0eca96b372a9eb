// The voice players are made on first use, so the audio stack stays unloaded
// for an operator who never plays a sound, and nothing said to the player
// before then is lost.
#include <gtest/gtest.h>

#include "keying/deferred_sound_player.h"
#include "voice_fakes.h"

using wexon::keying::DeferredSoundPlayer;
using wexon::test::FakeSoundPlayer;

TEST(DeferredSoundPlayer, IsMadeAtTheFirstPlayAndKeepsTheHandlersGivenBefore) {
    int made = 0;
    FakeSoundPlayer* real = nullptr;
    DeferredSoundPlayer player([&] {
        ++made;
        auto p = std::make_unique<FakeSoundPlayer>();
        p->anyPath = true;
        real = p.get();
        return p;
    });
    int ended = 0;
    int started = 0;
    player.setEndedHandler([&] { ++ended; });
    player.setStartedHandler([&] { ++started; });
    player.stop(); // stopping what never played makes nothing
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(made, 0);

    ASSERT_TRUE(player.play("/a.wav"));
    ASSERT_TRUE(player.play("/b.wav"));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(started, 2); // the handlers given before the player was made reach it
    EXPECT_TRUE(player.isPlaying());
    real->finish();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(real->played, (std::vector<std::string>{"/a.wav", "/b.wav"}));
}

TEST(DeferredSoundPlayer, APlayerThatCannotBeMadePlaysNothing) {
    DeferredSoundPlayer player([] { return std::unique_ptr<wexon::keying::SoundPlayer>(); });
    EXPECT_FALSE(player.play("/a.wav"));
    EXPECT_FALSE(player.isPlaying());
}
