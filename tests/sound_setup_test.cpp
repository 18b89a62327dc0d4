// The sound set-up and the music's life in a run, on the fake platform and the fake sound library.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake.h"
#include "platform/sound_fake.h"
#include "shell/master.h"
#include "shell/music.h"
#include "shell/window.h"
#include "tests/shell_fixture.h"

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
        MusicStream = 7;
        MusicReady = true;
        EXPECT_TRUE(SetUpSound());
        const std::vector<std::string> expected = {"BASS_GetVersion", VersionMessage};
        EXPECT_EQ(FakeCalls(), expected) << "version " << version;
        EXPECT_EQ(MusicStream, 0u);
        EXPECT_FALSE(MusicReady);
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
    EXPECT_GT(DemoTime, DemoEndTime);  // ended by the clock, not by the failure
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
    EXPECT_FALSE(MusicReady);
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
    EXPECT_EQ(MusicStream, 0u);
    EXPECT_FALSE(MusicReady);
    EXPECT_EQ(FakeSwapCount(), 3);
}

TEST_F(SoundSetUpTest, AWholeRunOpensTheMusicLastInWindowCreationAndPlaysItOnce)
{
    FakeSetTicksPerSwap(500);
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_GT(DemoTime, DemoEndTime);
    const std::vector<std::string> sound = CallsStartingWith("BASS_");
    const std::vector<std::string> expected = {"BASS_GetVersion", InitCall,   "BASS_Start", StreamCall,
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
    EXPECT_TRUE(MusicReady);
    EXPECT_EQ(MusicStream, 1u);
}
