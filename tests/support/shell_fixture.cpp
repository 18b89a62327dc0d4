// A fresh fake platform and shell for each test, run in a scratch folder with tiny model files.
#include "tests/support/shell_fixture.h"

#include <unistd.h>

#include <fstream>

#include "platform/fake.h"
#include "platform/sound_fake.h"
#include "shell/master.h"
#include "shell/window.h"

static void WriteModel(const std::filesystem::path& path)
{
    // One triangle, CR LF line ends as the model reader wants them.
    std::ofstream(path, std::ios::binary) << "3\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n2\r\n";
}

void ShellTest::SetUp()
{
    OldDirectory = std::filesystem::current_path();
    Scratch =
        std::filesystem::temp_directory_path() / ("moravel-shell-" + std::to_string(::getpid()) + "-" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Scratch / "data");
    WriteModel(Scratch / "data" / "rozgwiazda.txt");
    WriteModel(Scratch / "data" / "roza.txt");
    std::filesystem::current_path(Scratch);
    FakeReset();
    FakeSoundReset();
    ResetMasterState();
    ResetWindowState();
}

void ShellTest::TearDown()
{
    std::filesystem::current_path(OldDirectory);
    std::filesystem::remove_all(Scratch);
}

std::vector<std::string> ShellTest::CallsStartingWith(const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& call : FakeCalls())
        if (call.rfind(prefix, 0) == 0)
            found.push_back(call);
    return found;
}

int ShellTest::IndexOf(const std::string& call, int from)
{
    const std::vector<std::string>& calls = FakeCalls();
    for (int i = from; i < static_cast<int>(calls.size()); ++i)
        if (calls[i].rfind(call, 0) == 0)
            return i;
    return -1;
}

int ShellTest::Count(const std::string& call)
{
    return static_cast<int>(CallsStartingWith(call).size());
}
