// The entry on the fake platform: no display, a failed unpacking reported first and by its own
// reason, and a click taken inside a message box (as a modal box's loop on Windows delivers it).
#include <string>
#include <vector>

#include "platform/fake.h"
#include "platform/sound_fake.h"
#include "shell/master.h"
#include "shell/window.h"
#include "tests/support/shell_fixture.h"

using EntryTest = ShellTest;

namespace {

const std::string UnpackMessage = "MessageBox vfs.dll: The demo's data could not be unpacked:\n";

// Ends each run at its first presented frame, as a closed window would.
void CloseAtFirstSwap()
{
    FakeSetSwapHook([](int) { FakePostMessage(WmClose, 0, 0); });
}

// Clicks inside the n-th message box (1-based) whose call starts with prefix.
void ClickInsideMessage(const std::string& prefix, int n)
{
    FakeSetMessageBoxHook([prefix, n, seen = 0](const std::string& call) mutable {
        if (call.rfind(prefix, 0) == 0 && ++seen == n)
            SysDispatchMessage(SysMessage{MainWindow.Window, WmLButtonDown, 1, 0});
    });
}

}  // namespace

TEST_F(EntryTest, WithoutADisplayTheRunEndsAtOnceWithAFailureCode)
{
    FakeFailStep("CheckDisplay");
    EXPECT_EQ(ProgramEntry(), NoDisplayExitCode);
    EXPECT_NE(NoDisplayExitCode, 0);
    // Nothing unpacked, no window; what the backend started is ended all the same.
    EXPECT_EQ(FakeCalls(), (std::vector<std::string>{"CheckDisplay", "Shutdown"}));
}

TEST_F(EntryTest, AFailedUnpackingIsReportedFirstWithTheExtractorsOwnReasons)
{
    struct Case {
        const char* Name;
        bool Ended;
        int ExitCode;
        std::string Errors;
        std::string Text;  // "" when nothing may be reported
    };
    const std::vector<Case> cases = {
        {"success", true, 0, "", ""},
        {"entries refused", true, 1,
         "vfs.dll: cannot write data/logo.tga: Is a directory\nvfs.dll: 1 of 32 files could not be written\n",
         "cannot write data/logo.tga: Is a directory\n1 of 32 files could not be written"},
        {"silent failure", true, 3, "", "vfs.dll ended with exit code 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeReset();
        CloseAtFirstSwap();
        FakeSetProgramOutcome(c.Ended, c.ExitCode, c.Errors);
        EXPECT_EQ(ProgramEntry(), 0);
        const std::vector<std::string> messages = CallsStartingWith("MessageBox");
        if (c.Text.empty()) {
            EXPECT_EQ(Count(UnpackMessage), 0);
            continue;
        }
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.front(), UnpackMessage + c.Text);  // before every loader's message
        EXPECT_EQ(Count(UnpackMessage), 1);
        EXPECT_LT(IndexOf(UnpackMessage), IndexOf("RegisterClass"));
    }
}

TEST_F(EntryTest, AnExtractorThatDoesNotFinishOrNoUsableFolderIsReportedAndTheRunGoesOn)
{
    FakeFailStep("WaitForProgram");
    CloseAtFirstSwap();
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(CallsStartingWith("MessageBox").front(), UnpackMessage + "vfs.dll did not finish within 60 s");
    EXPECT_EQ(Count("ProgramResult"), 0);

    FakeReset();
    FakeFailStep("ChooseDataFolder");
    CloseAtFirstSwap();
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(CallsStartingWith("MessageBox").front(), UnpackMessage + "no folder can be written");
    EXPECT_EQ(Count("StartProgram"), 0);  // nowhere to unpack into
    EXPECT_GE(IndexOf("SwapBuffers"), 0);
}

// On Windows a message box runs its own message loop: a click on the demo's window reaches the
// window procedure from inside the loader that showed the box.
TEST_F(EntryTest, AClickInsideAMessageBoxTearsDownOnceAndNothingRunsOnWithoutTheWindow)
{
    struct Case {
        const char* Name;
        std::string Prefix;  // the message box the click lands in
        int Nth;
    };
    // The scratch folder has no pictures: the first batch (at start-up) and the second batch (the
    // loading frame) each report their missing files; the sound set-up is made to miss the music.
    const std::vector<Case> cases = {
        {"first batch", "MessageBox", 1},
        {"second batch", "MessageBox", 12},
        {"sound set-up", "MessageBox Sound", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeReset();
        FakeSoundReset();
        FakeSoundFailStream();
        ResetMasterState();
        CloseAtFirstSwap();
        ClickInsideMessage(c.Prefix, c.Nth);
        EXPECT_EQ(ProgramEntry(), 0);
        EXPECT_EQ(Count("DestroyWindow"), 1);
        EXPECT_EQ(Count("UnregisterClass"), 1);
        EXPECT_EQ(Count("ChangeDisplaySettings restore"), 1);
        EXPECT_EQ(Count("BASS_Free"), 1);
        EXPECT_EQ(Count("MessageBox Zendra Error"), 0);  // nothing torn down twice, so nothing refused
        const int destroyed = IndexOf("DestroyWindow");
        EXPECT_EQ(IndexOf("SwapBuffers", destroyed), -1);
        EXPECT_EQ(IndexOf("BASS_Init", destroyed), -1);
        EXPECT_LT(IndexOf("BASS_Free"), destroyed);  // a click frees the sound first
    }
}

TEST_F(EntryTest, AClickInsideAMessageOfTheFinalTeardownDoesNotStartASecondOne)
{
    FakeFailStep("DestroyWindow");
    CloseAtFirstSwap();
    ClickInsideMessage("MessageBox Zendra Error: Nie moge zamknac okna", 1);
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(Count("DestroyWindow"), 1);
    EXPECT_EQ(Count("UnregisterClass"), 1);
    EXPECT_EQ(Count("BASS_Free"), 1);
    EXPECT_GT(IndexOf("BASS_Free"), IndexOf("UnregisterClass"));  // the normal order: window, then sound
}
