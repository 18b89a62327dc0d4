// The calls every Linux backend shares, seen through the fake: messages reach their window's
// procedure, and registering the frame reporter leaves the record of calls as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake.h"
#include "platform/platform.h"

namespace {

std::vector<SysMessage> Received;

std::intptr_t RecordingProc(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    Received.push_back(SysMessage{window, message, wParam, lParam});
    return 77;
}

SysFrameReport Report()
{
    return SysFrameReport{};
}

class PlatformCallsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeReset();
        Received.clear();
    }
    void TearDown() override { FakeReset(); }
};

}  // namespace

TEST_F(PlatformCallsTest, ModuleAndCursorHandlesAreNeverNone)
{
    EXPECT_NE(SysGetModuleHandle(), 0u);
    EXPECT_NE(SysLoadCursor(IdcArrow), 0u);
    EXPECT_TRUE(FakeCalls().empty());
}

TEST_F(PlatformCallsTest, ADispatchedMessageReachesItsWindowsProcedureUntranslated)
{
    SysWindowClass windowClass;
    windowClass.WndProc = RecordingProc;
    windowClass.ClassName = "PlatformCallsTest";
    ASSERT_NE(SysRegisterClass(windowClass), 0);
    const SysWindow window = SysCreateWindow(0, windowClass.ClassName, "t", WsPopup, 0, 0, 64, 48, 0);
    ASSERT_NE(window, 0u);
    Received.clear();  // WmCreate and WmSize
    const std::size_t recorded = FakeCalls().size();

    const SysMessage key{window, WmKeyDown, VkEscape, 0};
    EXPECT_FALSE(SysTranslateMessage(key));
    EXPECT_EQ(SysDispatchMessage(key), 77);
    ASSERT_EQ(Received.size(), 1u);
    EXPECT_EQ(Received[0].Window, window);
    EXPECT_EQ(Received[0].Message, WmKeyDown);
    EXPECT_EQ(Received[0].WParam, VkEscape);
    EXPECT_EQ(FakeCalls().size(), recorded);
}

TEST_F(PlatformCallsTest, AMessageForNoWindowReachesNoProcedure)
{
    EXPECT_EQ(SysDispatchMessage(SysMessage{0x999, WmTimer, 1, 0}), 0);
    EXPECT_TRUE(Received.empty());
}

TEST_F(PlatformCallsTest, RegisteringTheFrameReporterIsNotRecorded)
{
    SysSetFrameReporter(Report);
    SysSwapBuffers(0);
    SysSetFrameReporter(nullptr);
    EXPECT_EQ(FakeCalls(), std::vector<std::string>{"SwapBuffers"});
}
