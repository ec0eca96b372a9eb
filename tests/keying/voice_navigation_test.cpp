// Voice navigation: which prompts each mode speaks, and prompts played in turn.
#include "keying/voice_navigation.h"

#include <gtest/gtest.h>

#include <fstream>

#include "keying/voice_fakes.h"
#include "support/temp_dir.h"

namespace wexon::keying {
namespace {

using Names = std::vector<std::string>;

TEST(VoiceNavigationRules, EachModeSpeaksItsPrompts) {
    const NavigationMode off = NavigationMode::Off;
    const NavigationMode call = NavigationMode::CallOnly;
    const NavigationMode all = NavigationMode::AllFields;
    for (NavigationMode m : {off, call, all}) {
        EXPECT_TRUE(promptSpoken("Dupe", m));
        EXPECT_TRUE(promptSpoken("NavEn", m));
        EXPECT_TRUE(promptSpoken("NavDis", m));
        EXPECT_FALSE(promptSpoken("Unknown", m));
        EXPECT_FALSE(promptSpoken("", m));
    }
    EXPECT_FALSE(promptSpoken("Call", off));
    EXPECT_TRUE(promptSpoken("Call", call));
    EXPECT_TRUE(promptSpoken("Call", all));
    for (const char* field : {"Country", "Points", "Prefix", "RstRcvd", "RstSnt", "SerNum"}) {
        EXPECT_FALSE(promptSpoken(field, off)) << field;
        EXPECT_FALSE(promptSpoken(field, call)) << field;
        EXPECT_TRUE(promptSpoken(field, all)) << field;
    }
}

TEST(VoiceNavigationRules, ModesFromTheStoredByte) {
    EXPECT_EQ(navigationModeFromByte(0), NavigationMode::Off);
    EXPECT_EQ(navigationModeFromByte(1), NavigationMode::CallOnly);
    EXPECT_EQ(navigationModeFromByte(2), NavigationMode::AllFields);
    EXPECT_EQ(navigationModeFromByte(3), NavigationMode::Off);
    EXPECT_EQ(navigationModeFromByte(255), NavigationMode::Off);
    EXPECT_EQ(modeChoicePrompts(NavigationMode::Off), Names{"NavDis"});
    EXPECT_EQ(modeChoicePrompts(NavigationMode::CallOnly), (Names{"NavEn", "Call"}));
    EXPECT_EQ(modeChoicePrompts(NavigationMode::AllFields), Names{"NavEn"});
    EXPECT_EQ(promptFile("/home/op/station", "RstRcvd"), "/home/op/station/RstRcvd.wav");
}

// Every prompt the program speaks ships as a small PCM WAV file in data/.
TEST(VoiceNavigationPrompts, EachPromptShipsAsASixteenKilohertzMonoWav) {
    for (const char* name : {"NavEn", "NavDis", "Call", "Country", "Points", "Prefix", "RstRcvd",
                             "RstSnt", "SerNum", "Dupe"}) {
        std::ifstream in(promptFile(std::string(WEXON_SOURCE_DIR) + "/data", name),
                         std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::string head(44, '\0');
        in.read(head.data(), 44);
        ASSERT_EQ(in.gcount(), 44) << name;
        auto u16 = [&head](int at) {
            return static_cast<unsigned>(static_cast<unsigned char>(head[at])) |
                   static_cast<unsigned>(static_cast<unsigned char>(head[at + 1])) << 8;
        };
        EXPECT_EQ(head.substr(0, 4), "RIFF") << name;
        EXPECT_EQ(head.substr(8, 8), "WAVEfmt ") << name;
        EXPECT_EQ(u16(20), 1u) << name << " is PCM";
        EXPECT_EQ(u16(22), 1u) << name << " is mono";
        EXPECT_EQ(u16(24) | u16(26) << 16, 16000u) << name;
        EXPECT_EQ(u16(34), 16u) << name;
        in.seekg(0, std::ios::end);
        EXPECT_LT(in.tellg(), 100 * 1024) << name << " stays small";
    }
}

class PromptPlayerTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::FakeSoundPlayer player;
    test::FakeVoiceTimer poll;
    std::unique_ptr<PromptPlayer> prompts;

    void SetUp() override {
        for (const char* name : {"NavEn", "Call", "Dupe"}) {
            dir.write(std::string(name) + ".wav", "RIFF");
        }
        prompts = std::make_unique<PromptPlayer>(player, poll, dir.path());
    }
    std::string file(const char* name) { return dir.file(std::string(name) + ".wav"); }
};

TEST_F(PromptPlayerTest, CallOnlyPlaysCallOnceNavEnHasEnded) {
    prompts->playSequence(modeChoicePrompts(NavigationMode::CallOnly));
    EXPECT_EQ(player.started, Names{file("NavEn")});
    EXPECT_TRUE(poll.isActive()) << "waits without blocking";
    EXPECT_TRUE(prompts->isPlaying());
    prompts->pollTick();
    EXPECT_EQ(player.started.size(), 1u) << "NavEn still plays";
    player.finish();
    EXPECT_EQ(player.started, (Names{file("NavEn"), file("Call")}));
    EXPECT_FALSE(poll.isActive());
    player.finish();
    EXPECT_FALSE(prompts->isPlaying());
}

TEST_F(PromptPlayerTest, APlayerThatEndsWithoutSayingSoIsSeenByThePoll) {
    prompts->playSequence({"NavEn", "Call"});
    player.endQuietly();
    prompts->pollTick();
    EXPECT_EQ(player.started.back(), file("Call"));
}

TEST_F(PromptPlayerTest, MissingFilesArePassedOverSilently) {
    prompts->play("Country");
    EXPECT_EQ(player.played, Names{file("Country")});
    EXPECT_TRUE(player.started.empty());
    EXPECT_FALSE(prompts->isPlaying());
    EXPECT_FALSE(poll.isActive());

    // A sequence goes on with the next file that exists.
    std::filesystem::remove(dir.file("NavEn.wav"));
    prompts->playSequence({"NavEn", "Call"});
    EXPECT_EQ(player.started, Names{file("Call")});
}

TEST_F(PromptPlayerTest, ANewPromptClosesTheOneThatPlaysAndWhatWasQueued) {
    prompts->playSequence({"NavEn", "Call"});
    prompts->play("Dupe");
    EXPECT_EQ(player.started, (Names{file("NavEn"), file("Dupe")}));
    player.finish();
    EXPECT_EQ(player.started.size(), 2u) << "Call was dropped";
    EXPECT_FALSE(prompts->isPlaying());

    prompts->playSequence({"NavEn", "Call"});
    prompts->stop();
    EXPECT_FALSE(prompts->isPlaying());
    EXPECT_FALSE(poll.isActive());
}

} // namespace
} // namespace wexon::keying
