// The calls every Linux backend shares, seen through the fake: messages reach their window's
// procedure, and registering the frame reporter leaves the record of calls as it was; the check
// for threads left running as the program ends.
#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "platform/fake.h"
#include "platform/platform.h"
#include "platform/posix_threads.h"

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

// Pages of [memory, memory + bytes) the process has in memory already, that is, that touching will not fault in.
[[maybe_unused]] static std::size_t ResidentPages(void* memory, std::size_t bytes)
{
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(memory) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(memory) + bytes) & ~(page - 1);
    std::vector<unsigned char> resident((end - start) / page);
    if (mincore(reinterpret_cast<void*>(start), end - start, resident.data()) != 0)
        return 0;
    std::size_t count = 0;
    for (const unsigned char flags : resident)
        count += flags & 1;
    return count;
}

// The heap warm-up pays for the faults on another thread only if the main thread's next large
// blocks are carved from the very block it touched: reserved on this thread, warmed and given back
// on another, a block taken afterwards here is in memory before it is first written.
TEST(HeapWarmUp, TheMainThreadsNextLargeBlockIsInMemoryAlready)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own heap";
#else
    constexpr std::size_t Reserved = std::size_t{8} << 20, Taken = std::size_t{4} << 20;
    const SysHeapBlock block = SysReserveHeap(Reserved);
    ASSERT_NE(block.Memory, nullptr);
    EXPECT_EQ(block.Bytes, Reserved);
    std::thread warmer([block] { SysWarmUpHeap(block); });
    warmer.join();
    void* next = std::malloc(Taken);
    ASSERT_NE(next, nullptr);
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    EXPECT_GE(ResidentPages(next, Taken), Taken / page - 2) << "its pages are still to be faulted in";
    std::free(next);
#endif
}

// The end-of-program check sees a helper that was never joined, by the name it gave itself, and
// stops seeing it once it is joined; it says so on stderr only while one runs.
TEST(PosixThreads, AHelperStillRunningIsNamedUntilItIsJoined)
{
    ASSERT_TRUE(PosixOtherThreads().empty()) << "another test left a thread running";
    std::promise<void> release;
    std::thread helper([done = release.get_future()]() mutable {
        pthread_setname_np(pthread_self(), "left-running");
        done.wait();
    });
    std::vector<std::string> others;
    for (int i = 0; i < 200 && (others.empty() || others[0].rfind("left-running", 0) != 0); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // until it has named itself
        others = PosixOtherThreads();
    }
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].rfind("left-running (", 0), 0u) << others[0];
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PosixReportThreadsLeft());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(": 1 thread still runs as the program ends: left-running ("), std::string::npos) << said;

    release.set_value();
    helper.join();
    EXPECT_TRUE(PosixOtherThreads().empty());
    testing::internal::CaptureStderr();
    EXPECT_TRUE(PosixReportThreadsLeft());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
