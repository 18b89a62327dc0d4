// Window creation, teardown and the window procedure on the fake platform, failure by failure.
#include <string>
#include <vector>

#include "platform/fake.h"
#include "shell/master.h"
#include "shell/window.h"
#include "tests/support/shell_fixture.h"

using MainWindowTest = ShellTest;

// The calls from the first one starting with `from`, keeping only the window and message calls.
static std::vector<std::string> WindowCallsFrom(int from)
{
    std::vector<std::string> kept;
    const std::vector<std::string>& calls = FakeCalls();
    for (int i = from; i >= 0 && i < static_cast<int>(calls.size()); ++i)
        if (calls[i].rfind("MessageBox Zendra Error", 0) == 0 || calls[i].rfind("ChangeDisplaySettings", 0) == 0 ||
            calls[i].rfind("ShowCursor", 0) == 0 || calls[i].rfind("MakeCurrent", 0) == 0 ||
            calls[i].rfind("DeleteContext", 0) == 0 || calls[i].rfind("ReleaseDC", 0) == 0 ||
            calls[i].rfind("DestroyWindow", 0) == 0 || calls[i].rfind("UnregisterClass", 0) == 0)
            kept.push_back(calls[i]);
    return kept;
}

TEST_F(MainWindowTest, CreationAsksForTheFullScreenModeClassStylesAndPixelFormat)
{
    ASSERT_TRUE(CreateMainWindow(640, 480, true, 32));
    EXPECT_EQ(FakeCalls().at(0), "ChangeDisplaySettings 640x480x32 size=156 fields=0x1c0000 flags=4");
    EXPECT_EQ(FakeCalls().at(1), "RegisterClass OpenGL style=0x23 cursor=32512");
    EXPECT_EQ(FakeCalls().at(2), "ShowCursor 0");
    EXPECT_EQ(FakeCalls().at(3),
              "CreateWindow exstyle=0x40000 class=OpenGL title=Moravel by Ostrevia 2k4 style=0x86000000 0,0 640x480");
    EXPECT_EQ(FakeCalls().at(4), "GetDC");
    EXPECT_EQ(FakeCalls().at(5),
              "ChoosePixelFormat size=40 version=1 flags=0x25 type=0 color=32 alpha=0 accum=0 depth=16 stencil=0");
    const std::vector<std::string> rest = {"SetPixelFormat 1", "CreateContext", "MakeCurrent context",
                                           "SetTimer 1 1000",  "ShowWindow 5",  "SetForegroundWindow",
                                           "SetFocus"};
    for (std::size_t i = 0; i < rest.size(); ++i)
        EXPECT_EQ(FakeCalls().at(6 + i), rest[i]);
    // The sound set-up is the last step.
    EXPECT_GT(IndexOf("BASS_GetVersion"), IndexOf("SetFocus"));
}

TEST_F(MainWindowTest, AFullScreenRefusalGivesAFramedWindowWithAVisibleCursor)
{
    FakeSetDisplayChangeResult(DispChangeFailed);
    ASSERT_TRUE(CreateMainWindow(640, 480, true, 32));
    EXPECT_EQ(FakeCalls().at(1), "MessageBox Zendra Error: Nie moge przelaczyc do trybu pelnoekranowego!");
    EXPECT_EQ(Count("ShowCursor 0"), 0);
    EXPECT_EQ(CallsStartingWith("CreateWindow").at(0),
              "CreateWindow exstyle=0x40100 class=OpenGL title=Moravel by Ostrevia 2k4 style=0x6cf0000 0,0 640x480");
    EXPECT_FALSE(DisplayModeChanged());
}

TEST_F(MainWindowTest, OtherDisplayChangeResultsCountAsSuccess)
{
    FakeSetDisplayChangeResult(-2);  // DISP_CHANGE_BADMODE: only -1 is a failure
    ASSERT_TRUE(CreateMainWindow(640, 480, true, 32));
    EXPECT_EQ(Count("MessageBox Zendra Error"), 0);
    EXPECT_EQ(Count("ShowCursor 0"), 1);
}

TEST_F(MainWindowTest, EachCreationFailureTearsDownThenReportsInOrder)
{
    struct Case {
        std::string Step;
        std::vector<std::string> Expected;  // window calls from the failing step on
    };
    const std::string noRender = "MessageBox Zendra Error: Nie moge zainicjowac trybu renderingu!";
    const std::vector<Case> cases = {
        {"CreateWindow",
         {"ChangeDisplaySettings restore", "ShowCursor 1", "MakeCurrent none", "DeleteContext", noRender,
          "UnregisterClass OpenGL", "MessageBox Zendra Error: Nie moge stworzyc okna!"}},
        {"GetDC",
         {"ChangeDisplaySettings restore", "ShowCursor 1", "MakeCurrent none", "DeleteContext", noRender,
          "DestroyWindow", "UnregisterClass OpenGL", "MessageBox Zendra Error: Konflikt sprzetowy!"}},
        {"ChoosePixelFormat",
         {"ChangeDisplaySettings restore", "ShowCursor 1", "MakeCurrent none", "DeleteContext", noRender, "ReleaseDC",
          "DestroyWindow", "UnregisterClass OpenGL", "MessageBox Zendra Error: Nie moge rozpoznac formatu textury!"}},
        {"SetPixelFormat",
         {"ChangeDisplaySettings restore", "ShowCursor 1", "MakeCurrent none", "DeleteContext", noRender, "ReleaseDC",
          "DestroyWindow", "UnregisterClass OpenGL", "MessageBox Zendra Error: Nie moge rozpoznac formatu textury!"}},
        {"CreateContext",
         {"ChangeDisplaySettings restore", "ShowCursor 1", "MakeCurrent none", "DeleteContext", noRender, "ReleaseDC",
          "DestroyWindow", "UnregisterClass OpenGL", "MessageBox Zendra Error: Nie moge rozpoznac formatu textury!"}},
        {"MakeCurrent",
         {"MakeCurrent context", "ChangeDisplaySettings restore", "ShowCursor 1", "MakeCurrent none", "DeleteContext",
          "ReleaseDC", "DestroyWindow", "UnregisterClass OpenGL",
          "MessageBox Zendra Error: Nie moge zainicjowac trybu OpenGL"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Step);
        FakeReset();
        ResetWindowState();
        FakeFailStep(c.Step);
        EXPECT_FALSE(CreateMainWindow(640, 480, true, 32));
        EXPECT_EQ(WindowCallsFrom(IndexOf(c.Step)), c.Expected);
        EXPECT_EQ(Count("SetTimer"), 0);
        EXPECT_EQ(Count("BASS_"), 0);
    }
}

TEST_F(MainWindowTest, ARefusedClassPutsTheDisplayModeBackAndEndsTheRun)
{
    FakeFailStep("RegisterClass");
    FakeSetSwapHook([](int) { FakePostMessage(WmClose, 0, 0); });
    EXPECT_EQ(ProgramEntry(), 0);
    EXPECT_EQ(WindowCallsFrom(0),
              (std::vector<std::string>{"ChangeDisplaySettings 640x480x32 size=156 fields=0x1c0000 flags=4",
                                        "ChangeDisplaySettings restore",
                                        "MessageBox Zendra Error: Nie moge zrejestrowac klasy okna!"}));
    EXPECT_EQ(Count("CreateWindow"), 0);
    EXPECT_EQ(Count("SwapBuffers"), 0);
    EXPECT_EQ(Count("BASS_Free"), 1);  // the entry frees the sound whatever happened
}

TEST_F(MainWindowTest, TeardownFailuresAreEachReportedAndNeverStopTheTeardown)
{
    ASSERT_TRUE(CreateMainWindow(640, 480, true, 32));
    for (const char* step : {"MakeCurrentNone", "DeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClass"})
        FakeFailStep(step);
    const int from = static_cast<int>(FakeCalls().size());
    DestroyMainWindow(true);
    EXPECT_EQ(
        WindowCallsFrom(from),
        (std::vector<std::string>{"ChangeDisplaySettings restore", "ShowCursor 1", "MakeCurrent none",
                                  "MessageBox Zendra Error: Nie moge zainicjowac trybu renderingu!", "DeleteContext",
                                  "MessageBox Zendra Error: Nie moge zainicjowac trybu renderingu!", "ReleaseDC",
                                  "MessageBox Zendra Error: Konflikt sprzetowy!", "DestroyWindow",
                                  "MessageBox Zendra Error: Nie moge zamknac okna", "UnregisterClass OpenGL",
                                  "MessageBox Zendra Error: Nie moge wyrejestrowac klasy okna!"}));
    EXPECT_EQ(MainWindow.Context, 0u);
    EXPECT_EQ(MainWindow.DC, 0u);
    EXPECT_EQ(MainWindow.Window, 0u);
}

TEST_F(MainWindowTest, TheWindowProcedureHandlesItsMessagesAndPassesTheRestOn)
{
    ASSERT_TRUE(CreateMainWindow(640, 480, true, 32));
    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmCreate, 0, 0), 0);
    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmSize, 0, (200 << 16) | 300), 0);

    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmKeyDown, VkEscape, 0), 0);
    EXPECT_TRUE(Input.KeyDown[VkEscape]);
    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmKeyUp, VkEscape, 0), 0);
    EXPECT_FALSE(Input.KeyDown[VkEscape]);

    Clock.FrameCount = 437;
    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmTimer, 2, 0), 0);  // not the frame-rate timer
    EXPECT_EQ(Clock.FrameCount, 437);
    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmTimer, FrameRateTimerId, 0), 0);
    EXPECT_EQ(FakeCalls().back(), "SetWindowText Moravel by Ostrevia 2k4   [437 FPS]");
    EXPECT_EQ(Clock.FrameCount, 0);

    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmClose, 0, 0), 0);
    EXPECT_EQ(FakeCalls().back(), "PostQuitMessage 0");

    EXPECT_EQ(MainWindowProc(MainWindow.Window, WmDestroy, 0, 0), 0);
    EXPECT_EQ(FakeCalls().back(), "DefWindowProc 0x2");
    MainWindowProc(MainWindow.Window, 0x0006, 1, 0);  // activation: the system's business
    EXPECT_EQ(FakeCalls().back(), "DefWindowProc 0x6");
}
