// The player around the production on the fake platform: its command line, pausing with Space, looping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake.h"
#include "shell/master.h"
#include "shell/player.h"
#include "shell/player_options.h"
#include "tests/support/shell_fixture.h"

namespace {

bool Parse(std::vector<std::string> words, PlayerOptions& options, std::string& error)
{
    words.insert(words.begin(), "moravel");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    options = PlayerOptions{};
    return ParsePlayerOptions(static_cast<int>(words.size()), argv.data(), options, error);
}

}  // namespace

TEST(PlayerOptions, EachOptionSetsWhatItNamesAndNothingElse)
{
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(Parse({}, options, error));
    EXPECT_EQ(options.Presentation.Screen, SysScreen::SwitchMode);
    EXPECT_FALSE(options.Presentation.VSync || options.Loop || options.Help || options.Version);

    ASSERT_TRUE(Parse({"--window", "--scale=3", "--loop"}, options, error)) << error;
    EXPECT_EQ(options.Presentation.Screen, SysScreen::Window);
    EXPECT_EQ(options.Presentation.WindowScale, 3);
    EXPECT_TRUE(options.Loop);
    EXPECT_FALSE(options.Presentation.VSync);

    ASSERT_TRUE(Parse({"--vsync", "--desktop"}, options, error)) << error;
    EXPECT_EQ(options.Presentation.Screen, SysScreen::Desktop);
    EXPECT_EQ(options.Presentation.WindowScale, 1);
    EXPECT_TRUE(options.Presentation.VSync);
    EXPECT_FALSE(options.Loop);

    // Parsed again from the start, as a second call must.
    ASSERT_TRUE(Parse({"--window", "--scale", "8"}, options, error)) << error;
    EXPECT_EQ(options.Presentation.WindowScale, 8);
    for (const char* refused : {"9", "0", "-1", "2x", ""})
        EXPECT_FALSE(Parse({"--window", "--scale", refused}, options, error)) << refused;
    EXPECT_FALSE(Parse({"--window", "--scale"}, options, error));
    EXPECT_EQ(error, "--scale needs a value");
}

using PlayerLoopTest = ShellTest;

TEST_F(PlayerLoopTest, SpacePausesOnceHeldAndNothingIsDrawnUntilResumed)
{
    FakeSetSwapHook([](int swap) {
        if (swap == 3) {
            FakePostMessage(WmKeyDown, VkSpace, 0);
            FakePostMessage(WmKeyDown, VkSpace, 0);  // the key's repeat: no second toggle
            FakePostMessage(WmKeyDown, VkEscape, 0);
        }
    });
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(FakeSwapCount(), 3);
    EXPECT_EQ(Count("SoundPauseStream 1 pause"), 1);
    EXPECT_EQ(Count("SoundPauseStream 1 resume"), 0);
}

TEST_F(PlayerLoopTest, ResumingTakesThePausedTimeOutOfTheClock)
{
    Clock.Loading = LoadState::SecondBatchPending;
    FakeSetTickCount(5000);
    TogglePause();  // loading: nothing to pause
    EXPECT_FALSE(Paused());

    Clock.Loading = LoadState::Running;
    Clock.StartTick = 1000;
    TogglePause();
    EXPECT_TRUE(Paused());
    FakeSetTickCount(8000);
    TogglePause();
    EXPECT_FALSE(Paused());
    EXPECT_EQ(Clock.StartTick, 4000u);
}

TEST_F(PlayerLoopTest, LoopingStartsClockAndMusicAgainAfterTheEnd)
{
    SetLooping(true);
    FakeSetSwapHook([](int swap) {
        if (swap == 5)
            Clock.DemoTime = DemoEndTime + 1;
        if (swap == 7) {
            EXPECT_LT(Clock.DemoTime, 1000);
        }
        if (swap == 9)
            FakePostMessage(WmKeyDown, VkEscape, 0);
    });
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(FakeSwapCount(), 10);
    EXPECT_EQ(Count("BASS_StreamPlay"), 2);
}
