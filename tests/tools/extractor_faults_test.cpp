// vfs.dll under faults a user's machine can bring on it: killed at random moments, a folder it may
// not write into even as root, a file it cannot write among others it can, the shell's own
// file-size limit, and archives damaged anywhere.
#include "tools/vfs/archive.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uid_t NobodyId = 65534;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Shaped like the production's data: 32 files from a few bytes to a megabyte, one of them empty.
std::map<std::string, std::string> DataFiles()
{
    std::mt19937 random(32);
    std::map<std::string, std::string> files;
    for (int i = 0; i < 32; ++i) {
        const std::size_t size = i == 0 ? 0 : i == 1 ? 7 : std::size_t(1) << (8 + random() % 13);
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = char(random());
        files["file" + std::to_string(i) + (i % 3 == 0 ? ".tga" : ".jpg")] = bytes;
    }
    return files;
}

std::string ArchiveOf(const std::map<std::string, std::string>& files)
{
    std::vector<ArchiveFile> list;
    for (const auto& [name, bytes] : files)
        list.push_back({name, bytes});
    return EncodeArchive(list);
}

// The lines of what the extractor wrote on stderr.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Names as the extractor's last line lists them: "a, b, c".
std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

struct RunResult {
    int Status = -1;  // exit code, or -1 when a signal ended it
    int Signal = 0;
    std::string Errors;
};

struct RunOptions {
    std::string ShellPrefix;        // run through sh -c with this before the command (e.g. "ulimit -f 100;")
    int KillAfterUs = -1;           // SIGKILL from outside after this long
    long long KillAfterBytes = -1;  // the extractor's own kill hook
    bool AsNobody = false;          // drop root rights first, so that permissions apply
};

// Runs "vfs.dll --e data" in folder the way the production starts it, with one fault applied.
// Its stderr comes back through a pipe: a file-size limit would cut a file short.
RunResult Extract(const fs::path& tool, const fs::path& folder, const RunOptions& options = {})
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        dup2(pipeEnds[1], 2);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        signal(SIGXFSZ, SIG_DFL);  // the system's own answer to a write past the limit, as in a shell
        if (options.KillAfterBytes >= 0)
            setenv("MORAVEL_VFS_KILL_AFTER", std::to_string(options.KillAfterBytes).c_str(), 1);
        if (options.AsNobody && getuid() == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(NobodyId) != 0 || setuid(NobodyId) != 0)
                _exit(125);
        }
        if (!options.ShellPrefix.empty()) {
            const std::string command = options.ShellPrefix + " exec '" + tool.string() + "' --e data";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        } else {
            execl(tool.c_str(), tool.c_str(), "--e", "data", static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    close(pipeEnds[1]);
    if (options.KillAfterUs >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(options.KillAfterUs));
        kill(child, SIGKILL);
    }
    RunResult result;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        result.Errors.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status))
        result.Status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.Signal = WTERMSIG(status);
    return result;
}

// A release folder (vfs.dll and its archive) and a working folder, all open to every user so that
// a run without root rights can read them.
class ExtractorFaults : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(testing::TempDir()) / "extractor_faults.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Root = pattern;
        Work = Root / "work";
        Tool = Root / "vfs.dll";
        fs::create_directories(Work);
        fs::copy_file(VFS_TOOL, Tool);
        fs::permissions(Root, fs::perms::all);
        fs::permissions(Work, fs::perms::all);
    }
    void TearDown() override
    {
        if (fs::exists(Work / "data"))
            fs::permissions(Work / "data", fs::perms::owner_all);
        fs::remove_all(Root);
    }

    void InstallArchive(const std::string& bytes)
    {
        WriteAll(Root / "moravel.vfs", bytes);
        fs::permissions(Root / "moravel.vfs", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                                  fs::perms::others_read);
    }

    // Files in data/ are whole copies of their entries; temporary files are allowed only when
    // allowTemporary (a killed run cannot clean up; the next run removes them).
    void ExpectOnlyWholeFiles(const std::map<std::string, std::string>& files, bool allowTemporary,
                              const std::string& when)
    {
        if (!fs::exists(Work / "data"))
            return;
        for (const auto& item : fs::directory_iterator(Work / "data")) {
            const std::string name = item.path().filename().string();
            if (name.front() == '.') {
                EXPECT_TRUE(allowTemporary) << when << ": left behind " << name;
                continue;
            }
            ASSERT_TRUE(files.count(name)) << when << ": unexpected file " << name;
            EXPECT_TRUE(ReadAll(item.path()) == files.at(name)) << when << ": " << name << " is partial";
        }
    }

    void ExpectComplete(const std::map<std::string, std::string>& files, const std::string& when)
    {
        ExpectOnlyWholeFiles(files, false, when);
        for (const auto& [name, bytes] : files)
            EXPECT_TRUE(fs::exists(Work / "data" / name)) << when << ": missing " << name;
    }

    fs::path Root, Work, Tool;
};

}  // namespace

// Sixty kills at random moments, by the extractor's own byte counter and by the clock from outside,
// each run resuming what the last ones left: only whole files are ever visible, and a run that is
// let alone completes.
TEST_F(ExtractorFaults, RandomKillsLeaveOnlyWholeFilesAndTheNextRunCompletes)
{
    const auto files = DataFiles();
    InstallArchive(ArchiveOf(files));
    std::size_t total = 0;
    for (const auto& item : files)
        total += item.second.size();

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Extract(Tool, Work).Status, 0);
    const auto fullRunUs =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count();
    ExpectComplete(files, "first run");

    // What a run still has to write: the entries not yet there whole.
    auto remaining = [&] {
        std::size_t left = 0;
        for (const auto& [name, bytes] : files)
            if (ReadAll(Work / "data" / name) != bytes || !fs::exists(Work / "data" / name))
                left += bytes.size();
        return left;
    };

    std::mt19937 random(2004);
    int kills = 0;
    for (int round = 0; round < 200 && kills < 60; ++round) {
        std::size_t left = remaining();
        if (left == 0) {
            fs::remove_all(Work / "data");
            left = total;
        }
        RunOptions fault;
        if (round % 2 == 0)
            fault.KillAfterBytes = static_cast<long long>(random() % left);
        else
            fault.KillAfterUs = static_cast<int>(random() % (fullRunUs * left / total + 1));
        const RunResult run = Extract(Tool, Work, fault);
        const std::string when = "round " + std::to_string(round);
        if (run.Signal == SIGKILL)
            ++kills;
        else
            EXPECT_EQ(run.Status, 0) << when << ": " << run.Errors;  // it finished before the clock came
        ExpectOnlyWholeFiles(files, true, when);
        if (run.Signal == SIGKILL && kills % 6 == 0) {
            const RunResult next = Extract(Tool, Work);
            ASSERT_EQ(next.Status, 0) << when << ": " << next.Errors;
            ExpectComplete(files, when + ", next run");
        }
    }
    EXPECT_EQ(kills, 60);
    std::printf("extractor killed %d times\n", kills);
}

// A folder that may not be written into, tried without root rights so that even a test run as root
// sees the refusal: a clear message, a non-zero exit, nothing written, what was there untouched.
TEST_F(ExtractorFaults, ReadOnlyFolderIsRefusedWithoutRootRights)
{
    const auto files = DataFiles();
    InstallArchive(ArchiveOf(files));
    fs::create_directories(Work / "data");
    WriteAll(Work / "data" / "file5.jpg", files.at("file5.jpg"));
    WriteAll(Work / "data" / "file6.tga", "stale");
    fs::permissions(Work / "data", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

    RunOptions unprivileged;
    unprivileged.AsNobody = true;
    const RunResult run = Extract(Tool, Work, unprivileged);
    ASSERT_NE(run.Status, 125) << "cannot drop root rights here";
    EXPECT_EQ(run.Status, 1) << run.Errors;
    // Every file but the intact one is tried and named, each on its own line, then all of them at the end.
    const std::string denied = std::string(": ") + std::strerror(EACCES);
    std::vector<std::string> expected, refused;
    for (const auto& item : files) {
        if (item.first == "file5.jpg")
            continue;
        expected.push_back("vfs.dll: cannot write data/" + item.first + denied);
        refused.push_back(item.first);
    }
    expected.push_back("vfs.dll: 31 of 32 files could not be written to data: " + Joined(refused));
    EXPECT_EQ(LinesOf(run.Errors), expected);
    EXPECT_EQ(ReadAll(Work / "data" / "file5.jpg"), files.at("file5.jpg"));
    EXPECT_EQ(ReadAll(Work / "data" / "file6.tga"), "stale");
    EXPECT_EQ(std::distance(fs::directory_iterator(Work / "data"), fs::directory_iterator()), 2);

    // A data folder that cannot even be created.
    fs::permissions(Work / "data", fs::perms::owner_all);
    fs::remove_all(Work / "data");
    fs::permissions(Work,
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    const RunResult none = Extract(Tool, Work, unprivileged);
    fs::permissions(Work, fs::perms::all);
    EXPECT_EQ(none.Status, 1) << none.Errors;
    // One line naming the folder and the reason, not one per file.
    EXPECT_EQ(none.Errors, "vfs.dll: cannot create data" + denied + "\n");
    EXPECT_FALSE(fs::exists(Work / "data"));
}

// A file the extractor cannot write (here a folder in the way under its name) is named with the
// system's reason and passed over: every other file is written whole, an intact one is left alone,
// a stale temporary file further on is still removed, and the run ends with exit 1 and one last
// line naming every file that is missing. Once the way is clear, the next run completes.
TEST_F(ExtractorFaults, FilesThatCannotBeWrittenAreNamedAndEveryOtherFileIsWritten)
{
    const auto files = DataFiles();
    InstallArchive(ArchiveOf(files));
    const fs::path data = Work / "data";
    const std::string inTheWay = std::string(": ") + std::strerror(EISDIR);

    // Whole copies of every entry but the blocked ones, which are still the folders they were.
    auto expectWrittenExcept = [&](const std::vector<std::string>& blocked, const std::string& when) {
        for (const auto& [name, bytes] : files) {
            if (std::find(blocked.begin(), blocked.end(), name) != blocked.end())
                EXPECT_TRUE(fs::is_directory(data / name)) << when << ": " << name;
            else
                EXPECT_TRUE(ReadAll(data / name) == bytes) << when << ": " << name << " is missing or partial";
        }
        for (const auto& item : fs::directory_iterator(data))
            EXPECT_NE(item.path().filename().string().front(), '.') << when << ": left behind " << item.path();
    };

    // One folder in the way halfway through the archive, with a file of its own inside.
    fs::create_directories(data / "file13.jpg");
    WriteAll(data / "file13.jpg" / "keep.txt", "mine");
    WriteAll(data / "file5.jpg", files.at("file5.jpg"));
    WriteAll(data / ".file9.tga.part", "left by a run that was killed");
    struct stat before;
    ASSERT_EQ(stat((data / "file5.jpg").c_str(), &before), 0);
    const RunResult one = Extract(Tool, Work);
    EXPECT_EQ(one.Signal, 0);
    EXPECT_EQ(one.Status, 1) << one.Errors;
    EXPECT_EQ(LinesOf(one.Errors), (std::vector<std::string>{
                                       "vfs.dll: cannot write data/file13.jpg" + inTheWay,
                                       "vfs.dll: 1 of 32 files could not be written to data: file13.jpg",
                                   }));
    expectWrittenExcept({"file13.jpg"}, "one folder in the way");
    EXPECT_EQ(ReadAll(data / "file13.jpg" / "keep.txt"), "mine");
    struct stat after;
    ASSERT_EQ(stat((data / "file5.jpg").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "an intact file was written again";

    // The first and the last entry both blocked: both named, in archive order.
    fs::remove_all(data);
    fs::create_directories(data / files.begin()->first);
    fs::create_directories(data / files.rbegin()->first);
    ASSERT_EQ(files.begin()->first, "file0.tga");
    ASSERT_EQ(files.rbegin()->first, "file9.tga");
    const RunResult two = Extract(Tool, Work);
    EXPECT_EQ(two.Status, 1) << two.Errors;
    EXPECT_EQ(LinesOf(two.Errors), (std::vector<std::string>{
                                       "vfs.dll: cannot write data/file0.tga" + inTheWay,
                                       "vfs.dll: cannot write data/file9.tga" + inTheWay,
                                       "vfs.dll: 2 of 32 files could not be written to data: file0.tga, file9.tga",
                                   }));
    expectWrittenExcept({"file0.tga", "file9.tga"}, "two folders in the way");

    fs::remove(data / "file0.tga");
    fs::remove(data / "file9.tga");
    const RunResult clear = Extract(Tool, Work);
    EXPECT_EQ(clear.Status, 0) << clear.Errors;
    EXPECT_EQ(clear.Errors, "");
    ExpectComplete(files, "the way cleared");
}

// The shell's own "ulimit -f", where the system's default answer to a write past the limit is to
// kill the process: the extractor must still say so, exit 1, and leave no file, whole or temporary,
// that is not an entry; without the limit the next run completes.
TEST_F(ExtractorFaults, ShellFileSizeLimitIsAFailureNotADeath)
{
    const auto files = DataFiles();
    InstallArchive(ArchiveOf(files));
    const std::string tooLarge = std::string(": ") + std::strerror(EFBIG) + "\n";
    // In the shell's blocks (512 bytes in dash, 1024 in bash); the largest file is 1 MB.
    for (const int blocks : {0, 1, 4, 64, 300, 700}) {
        const std::string when = "ulimit -f " + std::to_string(blocks);
        fs::remove_all(Work / "data");
        RunOptions limited;
        limited.ShellPrefix = "ulimit -f " + std::to_string(blocks) + ";";
        const RunResult run = Extract(Tool, Work, limited);
        EXPECT_EQ(run.Signal, 0) << when << ": ended by signal " << run.Signal;
        EXPECT_EQ(run.Status, 1) << when << ": " << run.Errors;
        ExpectOnlyWholeFiles(files, false, when);

        // A file over the limit does not stop the run: each one is named, every smaller file is
        // written, and the last line lists what is missing.
        std::vector<std::string> refused;
        std::size_t largestWritten = 0, smallestRefused = SIZE_MAX;
        for (const auto& [name, bytes] : files) {
            const bool named = run.Errors.find("vfs.dll: cannot write data/" + name + tooLarge) != std::string::npos;
            EXPECT_NE(named, fs::exists(Work / "data" / name)) << when << ": " << name << "\n" << run.Errors;
            if (named) {
                refused.push_back(name);
                smallestRefused = std::min(smallestRefused, bytes.size());
            } else {
                largestWritten = std::max(largestWritten, bytes.size());
            }
        }
        EXPECT_LT(largestWritten, smallestRefused) << when << ": a file was given up that fits under the limit";
        const std::vector<std::string> lines = LinesOf(run.Errors);
        EXPECT_EQ(lines.size(), refused.size() + 1) << when << ": " << run.Errors;
        ASSERT_FALSE(lines.empty()) << when;
        EXPECT_EQ(lines.back(), "vfs.dll: " + std::to_string(refused.size()) +
                                    " of 32 files could not be written to data: " + Joined(refused))
            << when;
    }
    const RunResult next = Extract(Tool, Work);
    ASSERT_EQ(next.Status, 0) << next.Errors;
    ExpectComplete(files, "after the limits");
}

// An archive damaged at any byte, or cut anywhere, is refused before anything is written, and an
// earlier extraction in the folder is left exactly as it was.
TEST_F(ExtractorFaults, ArchiveDamagedAnywhereIsNeverHalfExtracted)
{
    const auto files = DataFiles();
    const std::string good = ArchiveOf(files);
    std::mt19937 random(121);
    for (int trial = 0; trial < 40; ++trial) {
        std::string bad = good;
        const std::size_t at = random() % good.size();
        std::string what;
        if (trial % 4 == 3) {
            bad.resize(at);
            what = "cut at " + std::to_string(at);
        } else {
            bad[at] = char(bad[at] ^ (1 + random() % 255));
            what = "byte " + std::to_string(at) + " changed";
        }
        InstallArchive(bad);
        fs::remove_all(Work / "data");
        const bool withEarlier = trial % 2 == 1;
        if (withEarlier) {
            fs::create_directories(Work / "data");
            WriteAll(Work / "data" / "file3.tga", "from an earlier release");
        }
        const RunResult run = Extract(Tool, Work);
        EXPECT_EQ(run.Status, 1) << what << ": " << run.Errors;
        EXPECT_NE(run.Errors.find("damaged"), std::string::npos) << what << ": " << run.Errors;
        if (withEarlier) {
            EXPECT_EQ(std::distance(fs::directory_iterator(Work / "data"), fs::directory_iterator()), 1) << what;
            EXPECT_EQ(ReadAll(Work / "data" / "file3.tga"), "from an earlier release") << what;
        } else {
            EXPECT_FALSE(fs::exists(Work / "data")) << what;
        }
    }
}
