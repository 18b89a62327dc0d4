// The sound set-up and the music's life in a run, on the fake platform and the fake sound library.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake.h"
#include "platform/sound_fake.h"
#include "shell/master.h"
#include "shell/music.h"
#include "shell/window.h"
#include "tests/support/shell_fixture.h"

using SoundSetUpTest = ShellTest;

namespace {

const std::string VersionMessage = "MessageBox Sound: BASS version 2.0 Sound System was not loaded";
const std::string InitMessage = "MessageBox Sound: Can't initialize digital sound system";
const std::string StreamMessage = "MessageBox Sound: Can't create digital sound stream. Music file might be missing";
const std::string InitCall = "BASS_Init 1 44100 0";
const std::string StreamCall = "BASS_StreamCreateFile 0 data\\muza_demo.ogg 0 0 0";

// Ends a run after a few frames through the window's close box.
void CloseAfterFrames(int frames)
{
    FakeSetSwapHook([frames](int swap) {
        if (swap == frames)
            FakePostMessage(WmClose, 0, 0);
    });
}

}  // namespace

TEST_F(SoundSetUpTest, OnlyVersionTwoExactlyIsAcceptedAndARefusalTouchesNothingElse)
{
    // 2.4, 2.0 with its words swapped, older and newer, none at all.
    for (std::uint32_t version : {0x0204u, 0x00020000u, 1u, 3u, 0u}) {
        FakeReset();
        FakeSoundReset();
        FakeSoundSetVersion(version);
        Music.Stream = 7;
        Music.Ready = true;
        EXPECT_TRUE(SetUpSound());
        const std::vector<std::string> expected = {"BASS_GetVersion", VersionMessage};
        EXPECT_EQ(FakeCalls(), expected) << "version " << version;
        EXPECT_EQ(Music.Stream, 0u);
        EXPECT_FALSE(Music.Ready);
    }
}

TEST_F(SoundSetUpTest, ARefusedVersionLeavesTheDemoRunningSilentToTheEnd)
{
    FakeSoundSetVersion(0x0204);
    FakeSetTicksPerSwap(2000);
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(Count(VersionMessage), 1);
    EXPECT_EQ(Count("BASS_Init"), 0);
    EXPECT_EQ(Count("BASS_StreamCreateFile"), 0);
    EXPECT_EQ(Count("BASS_StreamPlay"), 0);
    EXPECT_GT(Clock.DemoTime, DemoEndTime);  // ended by the clock, not by the failure
    EXPECT_EQ(Count("BASS_Free"), 1);
}

TEST_F(SoundSetUpTest, AnInitFailureIsReportedAndNothingAfterItIsTried)
{
    FakeSoundFailInit();
    CloseAfterFrames(4);
    EXPECT_EQ(ProgramEntry(), 0);
    const int init = IndexOf(InitCall);
    ASSERT_GE(init, 0);
    EXPECT_EQ(IndexOf(InitMessage), init + 1);
    EXPECT_EQ(Count("BASS_Start"), 0);
    EXPECT_EQ(Count("BASS_StreamCreateFile"), 0);
    EXPECT_EQ(Count("BASS_StreamPlay"), 0);
    EXPECT_EQ(FakeSwapCount(), 4);
    EXPECT_FALSE(Music.Ready);
}

TEST_F(SoundSetUpTest, AMissingFileIsReportedAfterInitAndStartSucceeded)
{
    FakeSoundFailStream();
    CloseAfterFrames(3);
    ProgramEntry();
    const std::vector<std::string> sound = CallsStartingWith("BASS_");
    const std::vector<std::string> expected = {"BASS_GetVersion", InitCall, "BASS_Start", StreamCall, "BASS_Free"};
    EXPECT_EQ(sound, expected);
    EXPECT_EQ(IndexOf(StreamMessage), IndexOf(StreamCall) + 1);
    EXPECT_EQ(Count("MessageBox Sound"), 1) << "one sound message on this path";
    EXPECT_EQ(Music.Stream, 0u);
    EXPECT_FALSE(Music.Ready);
    EXPECT_EQ(FakeSwapCount(), 3);
}

TEST_F(SoundSetUpTest, AWholeRunOpensTheMusicLastInWindowCreationAndPlaysItOnce)
{
    FakeSetTicksPerSwap(500);
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_GT(Clock.DemoTime, DemoEndTime);
    const std::vector<std::string> sound = CallsStartingWith("BASS_");
    const std::vector<std::string> expected = {"BASS_GetVersion",       InitCall,   "BASS_Start", StreamCall,
                                               "BASS_StreamPlay 1 0 0", "BASS_Free"};
    EXPECT_EQ(sound, expected);
    EXPECT_EQ(Count("MessageBox Sound"), 0);
    // After the window is shown and before the first frame.
    EXPECT_GT(IndexOf("BASS_GetVersion"), IndexOf("ShowWindow"));
    EXPECT_LT(IndexOf(StreamCall), IndexOf("SwapBuffers"));
    // The first frame loads; the second starts the music.
    const int firstSwap = IndexOf("SwapBuffers");
    const int play = IndexOf("BASS_StreamPlay");
    EXPECT_GT(play, firstSwap);
    EXPECT_LT(play, IndexOf("SwapBuffers", firstSwap + 1));
    EXPECT_TRUE(Music.Ready);
    EXPECT_EQ(Music.Stream, 1u);
}

namespace {

// The music opened and started as in a run, with the demo running at Clock.DemoTime ms.
void PlayMusicAt(std::int32_t demoTime)
{
    ASSERT_TRUE(SetUpSound());
    ASSERT_TRUE(Music.Ready);
    ASSERT_TRUE(BASS_StreamPlay(Music.Stream, false, 0));
    Clock.Loading = LoadState::Running;
    Clock.DemoTime = demoTime;
}

}  // namespace

TEST_F(SoundSetUpTest, MusicMoreThan80MsFromThePictureIsMovedToDemoTimeEitherWay)
{
    PlayMusicAt(60000);
    const std::string move = "SoundSetStreamPosition 1 60000";
    // The picture ahead of the music (the music held back by a stall or a slow device), and behind it.
    for (const double offset : {-81.0, 81.0, -80.01, 80.01, -5000.0, 60000.0}) {
        const int before = Count(move);
        FakeSoundSetPosition(Clock.DemoTime + offset);
        KeepMusicInStep();
        EXPECT_EQ(Count(move), before + 1) << "music " << offset << " ms from the picture";
        EXPECT_EQ(SoundGetStreamPosition(Music.Stream), 60000.0);
    }
    for (const double offset : {-80.0, 80.0, -79.0, 40.0, 0.0}) {
        FakeSoundSetPosition(Clock.DemoTime + offset);
        KeepMusicInStep();
        EXPECT_EQ(Count("SoundSetStreamPosition"), 6) << "music " << offset << " ms from the picture";
    }
}

TEST_F(SoundSetUpTest, NothingIsMovedBeforeTheMusicStartsAfterItEndsOrWithoutIt)
{
    // Opened but not started: no position, whatever the clock says.
    ASSERT_TRUE(SetUpSound());
    Clock.Loading = LoadState::Running;
    Clock.DemoTime = 5000;
    FakeSoundSetPosition(0);
    KeepMusicInStep();
    EXPECT_EQ(SoundGetStreamPosition(Music.Stream), -1.0);
    EXPECT_FALSE(SoundSetStreamPosition(Music.Stream, 5000)) << "a stream that does not play cannot move";

    // Started, but the loop is not running the demo yet.
    FakeReset();
    ASSERT_TRUE(BASS_StreamPlay(Music.Stream, false, 0));
    for (const LoadState state : {LoadState::SecondBatchPending, LoadState::Loaded}) {
        Clock.Loading = state;
        KeepMusicInStep();
    }
    // Over: the last sample has played.
    Clock.Loading = LoadState::Running;
    FakeSoundEndStream();
    KeepMusicInStep();
    // No music at all: the set-up failed and the run goes on silent.
    Music.Ready = false;
    KeepMusicInStep();
    EXPECT_EQ(Count("SoundSetStreamPosition"), 0);

    // The check itself works on this stream once it plays.
    Music.Ready = true;
    ASSERT_TRUE(BASS_StreamPlay(Music.Stream, false, 0));
    FakeSoundSetPosition(0);
    KeepMusicInStep();
    EXPECT_EQ(Count("SoundSetStreamPosition 1 5000"), 1);
}

TEST_F(SoundSetUpTest, EachFrameMovesTheMusicToTheDemoTimeItDrawsBeforeDrawingIt)
{
    // A device that keeps up with the clock, except that at the 20th frame it is found far behind.
    std::int32_t drawnAt21 = -1;
    FakeSetTicksPerSwap(10);
    FakeSetSwapHook([&](int swap) {
        FakeSoundSetPosition(swap == 20 ? 0.0 : static_cast<double>(Clock.DemoTime));
        if (swap == 21)
            drawnAt21 = Clock.DemoTime;
        if (swap == 30)
            FakePostMessage(WmClose, 0, 0);
    });
    EXPECT_EQ(ProgramEntry(), 0);
    ASSERT_GT(drawnAt21, 80);
    EXPECT_EQ(CallsStartingWith("SoundSetStreamPosition"),
              std::vector<std::string>{"SoundSetStreamPosition 1 " + std::to_string(drawnAt21)});
    int swap20 = -1;
    for (int i = 0; i < 20; ++i)
        swap20 = IndexOf("SwapBuffers", swap20 + 1);
    const int move = IndexOf("SoundSetStreamPosition");
    EXPECT_GT(move, swap20);
    EXPECT_LT(move, IndexOf("SwapBuffers", swap20 + 1)) << "moved after the 21st frame was presented";
}

TEST_F(SoundSetUpTest, AfterAStallTheMusicWaitsForDemoTimeToCatchUpAndIsMovedOnce)
{
    // A 5 s stall 10 s in: the raw clock jumps, Clock.DemoTime halves the gap frame by frame.
    PlayMusicAt(10000);
    Clock.StartTick = 1000;
    FakeSetTickCount(1000 + 15000);
    FakeSoundSetPosition(10000);
    for (int frame = 0; frame < 20; ++frame) {
        UpdateDemoTime();
        KeepMusicInStep();
        // 5 ms a frame, for the clock and the device alike.
        FakeSetTickCount(1000 + 15000 + 5 * (frame + 1));
        FakeSoundSetPosition(SoundGetStreamPosition(Music.Stream) + 5);
    }
    // Moved once, to a Clock.DemoTime that had all but caught up with the raw clock.
    const std::vector<std::string> moves = CallsStartingWith("SoundSetStreamPosition");
    ASSERT_EQ(moves.size(), 1u);
    const std::int32_t to = std::stoi(moves[0].substr(std::string("SoundSetStreamPosition 1 ").size()));
    EXPECT_GE(to, 15000 - 20);
    EXPECT_LE(to, 15100);
}
