// moravel-inspect model, run as a user runs it: counts and bounds of a good file, the demo's message and exit 1 for a bad one.
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "tests/startup_fixtures.h"

namespace {

struct RunResult {
    int ExitCode;
    std::string Output;
};

// Runs the inspector on a file with stdout and stderr together.
RunResult InspectModelFile(const std::string& file)
{
    const std::string command = std::string(MORAVEL_INSPECT) + " model '" + file + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    RunResult result{-1, ""};
    if (pipe == nullptr)
        return result;
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe) != nullptr)
        result.Output += chunk.data();
    const int status = pclose(pipe);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

TEST(InspectModel, PrintsCountsAndBoundsOrTheDemosMessage)
{
    ScratchWorkDir workDir;
    WriteTextFile("data/star.txt", "3\r\n-1.5\r\n2\r\n0\r\n4\r\n-3\r\n0.25\r\n0\r\n0\r\n-8\r\n0\r\n1\r\n2\r\n2\r\n1\r\n0\r\n");
    const RunResult good = InspectModelFile("data/star.txt");
    EXPECT_EQ(good.ExitCode, 0) << good.Output;
    EXPECT_EQ(good.Output, "vertices 3 triangles 2\nx -1.5 .. 4\ny -3 .. 2\nz -8 .. 0.25\n");

    WriteTextFile("data/bad.txt", "3\n0\n0\n0\n");
    const RunResult bad = InspectModelFile("data/bad.txt");
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_EQ(bad.Output, "Model File Error: data/bad.txt, line 1: a line feed without a carriage return "
                          "(lines must end in CR LF or CR)\n");

    const RunResult missing = InspectModelFile("data/none.txt");
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Output, "Model File Error: data/none.txt cannot be read\n");
}
