// moravel-inspect model, run as a user runs it: counts and bounds of a good file, the demo's message and exit 1 for a
// bad one.
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "tests/support/startup_fixtures.h"

namespace {

struct RunResult {
    int ExitCode;
    std::string Output;
};

// Runs the inspector with these arguments, stdout and stderr together.
RunResult Inspect(const std::string& arguments)
{
    const std::string command = std::string(MORAVEL_INSPECT) + " " + arguments + " 2>&1";
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

RunResult InspectModelFile(const std::string& file)
{
    return Inspect("model '" + file + "'");
}

}  // namespace

TEST(InspectModel, PrintsCountsAndBoundsOrTheDemosMessage)
{
    ScratchWorkDir workDir;
    WriteTextFile("data/star.txt",
                  "3\r\n-1.5\r\n2\r\n0\r\n4\r\n-3\r\n0.25\r\n0\r\n0\r\n-8\r\n0\r\n1\r\n2\r\n2\r\n1\r\n0\r\n");
    const RunResult good = InspectModelFile("data/star.txt");
    EXPECT_EQ(good.ExitCode, 0) << good.Output;
    EXPECT_EQ(good.Output, "vertices 3 triangles 2\nx -1.5 .. 4\ny -3 .. 2\nz -8 .. 0.25\n");

    WriteTextFile("data/bad.txt", "3\n0\n0\n0\n");
    const RunResult bad = InspectModelFile("data/bad.txt");
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_EQ(bad.Output,
              "Model File Error: data/bad.txt, line 1: a line feed without a carriage return "
              "(lines must end in CR LF or CR)\n");

    const RunResult missing = InspectModelFile("data/none.txt");
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Output, "Model File Error: data/none.txt cannot be read\n");
}

// Only regular files of a sane size reach the reader: a device would be read until memory runs out.
TEST(InspectModel, RefusesWhatIsNotARegularFileOrIsFarTooLarge)
{
    ScratchWorkDir workDir;
    std::filesystem::create_directory("data");
    std::filesystem::create_symlink("/dev/zero", "data/zero.txt");
    const RunResult zero = InspectModelFile("data/zero.txt");
    EXPECT_EQ(zero.ExitCode, 1);
    EXPECT_EQ(zero.Output, "moravel-inspect: cannot read data/zero.txt: a device; only regular files are read\n");

    std::filesystem::create_directory("data/folder.txt");
    EXPECT_EQ(InspectModelFile("data/folder.txt").Output,
              "moravel-inspect: cannot read data/folder.txt: a folder; only regular files are read\n");

    // Sparse: the size is what counts, not the blocks.
    WriteTextFile("data/huge.txt", "3\r\n");
    std::filesystem::resize_file("data/huge.txt", (256ull << 20) + 1);
    const RunResult huge = InspectModelFile("data/huge.txt");
    EXPECT_EQ(huge.ExitCode, 1);
    EXPECT_EQ(huge.Output,
              "moravel-inspect: cannot read data/huge.txt: 268435457 bytes, more than the 256 MiB "
              "a picture or model may have\n");
}

TEST(InspectCommandLine, HelpVersionAndClearRefusals)
{
    const RunResult help = Inspect("--help");
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Output.rfind("usage: moravel-inspect texture FILE OUT.png\n", 0), 0u) << help.Output;
    const RunResult version = Inspect("--version");
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Output, std::string("moravel-inspect (Moravel) ") + MORAVEL_VERSION + "\n");

    const std::pair<const char*, const char*> refused[] = {
        {"--verbose model x.txt", "moravel-inspect: unknown option --verbose; the options are --help and --version\n"},
        {"sound x.ogg", "moravel-inspect: unknown command \"sound\"; the commands are texture and model\n"},
        {"", "moravel-inspect: no command given\n"},
        {"texture in.tga", "moravel-inspect: texture takes FILE OUT.png, not 1 argument\n"},
        {"model a.txt b.txt", "moravel-inspect: model takes FILE, not 2 arguments\n"},
    };
    for (const auto& [arguments, message] : refused) {
        const RunResult run = Inspect(arguments);
        EXPECT_EQ(run.ExitCode, 2) << arguments;
        EXPECT_EQ(run.Output.rfind(message, 0), 0u) << arguments << ": " << run.Output;
        EXPECT_NE(run.Output.find("usage: moravel-inspect"), std::string::npos) << arguments;
    }
}
