// The frame loop on the fake platform: the demo clock, the load states, and the ways a run ends.
#include <cstdint>
#include <limits>

#include "platform/fake.h"
#include "platform/sound_fake.h"
#include "shell/master.h"
#include "shell/music.h"
#include "shell/window.h"
#include "tests/support/shell_fixture.h"

using FrameLoopTest = ShellTest;

TEST_F(FrameLoopTest, DemoTimeHalvesTheGapWithA64BitSumAcrossTheTickWrap)
{
    Clock.DemoTime = 100;
    Clock.StartTick = 1000;
    FakeSetTickCount(1301);
    UpdateDemoTime();
    EXPECT_EQ(Clock.DemoTime, 200);

    // Remainders are dropped.
    Clock.DemoTime = 0;
    Clock.StartTick = 5000;
    FakeSetTickCount(5001);
    UpdateDemoTime();
    EXPECT_EQ(Clock.DemoTime, 0);

    // A 32-bit sum of these would overflow.
    Clock.DemoTime = 2000000000;
    Clock.StartTick = 0;
    FakeSetTickCount(2000000000);
    UpdateDemoTime();
    EXPECT_EQ(Clock.DemoTime, 2000000000);

    // The tick counter wraps between the start and now: the unsigned difference is still right.
    Clock.DemoTime = 0;
    Clock.StartTick = 0xFFFFFF00u;
    FakeSetTickCount(0x100u);
    UpdateDemoTime();
    EXPECT_EQ(Clock.DemoTime, 0x200 / 2);
}

TEST_F(FrameLoopTest, SteadyFramesSettleOneFrameBehindAndAStallShowsHalved)
{
    Clock.DemoTime = 0;
    Clock.StartTick = 0;
    std::uint32_t now = 0;
    for (int frame = 0; frame < 200; ++frame) {
        now += 20;
        FakeSetTickCount(now);
        UpdateDemoTime();
    }
    EXPECT_NEAR(static_cast<int>(now) - Clock.DemoTime, 20, 1);
    const std::int32_t before = Clock.DemoTime;
    now += 1000;
    FakeSetTickCount(now);
    UpdateDemoTime();
    EXPECT_NEAR(Clock.DemoTime - before, (1000 + 20) / 2, 2);
}

TEST_F(FrameLoopTest, LoadStateGoesZeroOneTwoAndTheClockRestartsOneMillisecondBeforeThePlay)
{
    FakeSetTickCount(50000);
    LoadState loadStateAtSwap[4] = {};
    std::int32_t demoTimeAtSwap[4] = {};
    FakeSetSwapHook([&](int swap) {
        if (swap <= 3) {
            loadStateAtSwap[swap] = Clock.Loading;
            demoTimeAtSwap[swap] = Clock.DemoTime;
        }
        if (swap == 3)
            FakePostMessage(WmClose, 0, 0);
    });
    EXPECT_EQ(ProgramEntry(), 0);

    EXPECT_EQ(loadStateAtSwap[1], LoadState::Loaded);  // the first frame only loads
    EXPECT_EQ(loadStateAtSwap[2], LoadState::Running);
    EXPECT_EQ(Clock.StartTick, 50000u - 1);
    EXPECT_EQ(demoTimeAtSwap[2], 0);  // the tick did not move: raw 1, halved to 0
    // The music starts in the second drawn frame, exactly once.
    const int play = IndexOf("BASS_StreamPlay");
    ASSERT_GE(play, 0);
    EXPECT_GT(play, IndexOf("SwapBuffers"));
    EXPECT_LT(play, IndexOf("SwapBuffers", IndexOf("SwapBuffers") + 1));
    EXPECT_EQ(Count("BASS_StreamPlay"), 1);
}

TEST_F(FrameLoopTest, WithoutMusicTheClockStillRestartsAndTheRunGoesOnSilent)
{
    FakeSoundFailStream();
    FakeSetTickCount(777);
    FakeSetSwapHook([](int swap) {
        if (swap == 4)
            FakePostMessage(WmClose, 0, 0);
    });
    ProgramEntry();
    EXPECT_FALSE(Music.Ready);
    EXPECT_EQ(Clock.Loading, LoadState::Running);
    EXPECT_EQ(Clock.StartTick, 776u);
    EXPECT_EQ(Count("BASS_StreamPlay"), 0);
    EXPECT_EQ(Count("MessageBox Sound: Can't create digital sound stream. Music file might be missing"), 1);
}

TEST_F(FrameLoopTest, TheRunEndsOnlyOnceDemoTimeExceedsTheEnd)
{
    FakeSetSwapHook([](int swap) {
        // The swap comes after the clock step and before the end test.
        if (swap == 5)
            Clock.DemoTime = DemoEndTime;
        if (swap == 6)
            Clock.DemoTime = DemoEndTime + 1;
    });
    ProgramEntry();
    EXPECT_EQ(FakeSwapCount(), 6);
}

TEST_F(FrameLoopTest, EscapeEndsTheRunOnlyWhenHeldAtTheEndOfAFrame)
{
    FakeSetSwapHook([](int swap) {
        if (swap == 3) {  // pressed and released before the next frame: the run goes on
            FakePostMessage(WmKeyDown, VkEscape, 0);
            FakePostMessage(WmKeyUp, VkEscape, 0);
        }
        if (swap == 6)
            FakePostMessage(WmKeyDown, VkEscape, 0);
    });
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(FakeSwapCount(), 7);
    // Normal shutdown: the window first, then the sound, and no message on the way.
    const int restore = IndexOf("ChangeDisplaySettings restore");
    EXPECT_GT(restore, IndexOf("SwapBuffers"));
    EXPECT_GT(IndexOf("BASS_Free"), IndexOf("UnregisterClass", restore));
    EXPECT_EQ(Count("MessageBox Zendra Error"), 0);
}

TEST_F(FrameLoopTest, ClosingTheWindowEndsThroughQuitInTheNormalOrder)
{
    FakeSetSwapHook([](int swap) {
        if (swap == 4)
            FakePostMessage(WmClose, 0, 0);
    });
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(FakeSwapCount(), 4);
    const int quit = IndexOf("PostQuitMessage 0");
    ASSERT_GE(quit, 0);
    const std::vector<std::string> expected = {"ChangeDisplaySettings restore",
                                               "ShowCursor 1",
                                               "MakeCurrent none",
                                               "DeleteContext",
                                               "ReleaseDC",
                                               "DestroyWindow",
                                               "UnregisterClass OpenGL",
                                               "BASS_Free"};
    int at = quit;
    for (const std::string& call : expected) {
        const int next = IndexOf(call, at + 1);
        EXPECT_GT(next, at) << call;
        at = next;
    }
    EXPECT_EQ(Count("BASS_Free"), 1);
}

TEST_F(FrameLoopTest, ALeftClickFreesTheSoundFirstTearsDownOnceAndDrawsNoMore)
{
    FakeSetSwapHook([](int swap) {
        if (swap == 3)
            FakePostMessage(WmLButtonDown, 1, 0);
    });
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(FakeSwapCount(), 3);
    const int free = IndexOf("BASS_Free");
    ASSERT_GE(free, 0);
    EXPECT_LT(free, IndexOf("ChangeDisplaySettings restore"));
    EXPECT_EQ(Count("BASS_Free"), 1);
    EXPECT_EQ(Count("DestroyWindow"), 1);
    EXPECT_EQ(Count("UnregisterClass"), 1);
    EXPECT_EQ(IndexOf("SwapBuffers", free), -1);
}

TEST_F(FrameLoopTest, TheEntryWaitsForTheExtractorAndGoesOnAtOnceWhenItCannotStart)
{
    FakeSetSwapHook([](int) { FakePostMessage(WmClose, 0, 0); });
    ProgramEntry();
    EXPECT_EQ(std::vector<std::string>(FakeCalls().begin(), FakeCalls().begin() + 5),
              (std::vector<std::string>{"CheckDisplay", "ChooseDataFolder", "StartProgram vfs.dll --e data show=1",
                                        "WaitForProgram 60000", "ProgramResult"}));

    FakeReset();
    FakeSoundReset();
    ResetMasterState();
    ResetWindowState();
    FakeFailStep("StartProgram");
    FakeSetSwapHook([](int) { FakePostMessage(WmClose, 0, 0); });
    ProgramEntry();
    EXPECT_EQ(Count("WaitForProgram"), 0);
    EXPECT_EQ(Count("Sleep"), 0);
    EXPECT_GE(IndexOf("RegisterClass"), 0);
}
