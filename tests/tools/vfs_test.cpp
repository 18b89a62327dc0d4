// Checks the archive reader and the real vfs.dll: round trips, idempotent extraction, damaged and
// hostile archives, and runs that are killed or run out of space part-way.
#include "tools/vfs/archive.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Bytes(const std::string& seed, std::size_t size)
{
    std::string out(size, '\0');
    std::uint32_t state = 2166136261u;
    for (char c : seed)
        state = (state ^ std::uint8_t(c)) * 16777619u;
    for (char& c : out) {
        state = state * 1664525u + 1013904223u;
        c = char(state >> 24);
    }
    return out;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// What the production's data looks like to the tool: a few files of very different sizes.
std::map<std::string, std::string> SampleFiles()
{
    return {{"logo.tga", Bytes("logo", 70000)},
            {"roza.txt", "0.25\r\n-0.5\r\n"},
            {"empty.dat", ""},
            {"muza_demo.ogg", Bytes("music", 600000)},
            {"ende.jpg", Bytes("ende", 150000)}};
}

std::vector<ArchiveFile> AsArchiveFiles(const std::map<std::string, std::string>& files)
{
    std::vector<ArchiveFile> out;
    for (const auto& [name, bytes] : files)
        out.push_back({name, bytes});
    return out;
}

struct RunResult {
    int Status = -1;     // exit code, or -1 when killed
    std::string Errors;  // what it wrote on stderr
    std::string Output;  // what it wrote on stdout
};

// Runs a program in a folder, the way the production launches the extractor.
RunResult RunProgram(const fs::path& program, const std::vector<std::string>& args, const fs::path& folder)
{
    fs::path errors = folder / ".stderr";
    fs::path output = folder / ".stdout";
    pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 2);
        int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    RunResult result;
    if (WIFEXITED(status))
        result.Status = WEXITSTATUS(status);
    result.Errors = ReadAll(errors);
    result.Output = ReadAll(output);
    fs::remove(errors);
    fs::remove(output);
    return result;
}

// A release folder of its own per test: vfs.dll with an archive beside it, and a working folder.
class VfsTool : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(testing::TempDir()) / "vfs_test.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Root = pattern;
        Release = Root / "release";
        Work = Root / "work";
        fs::create_directories(Release);
        fs::create_directories(Work);
        Tool = Release / "vfs.dll";
        fs::copy_file(VFS_TOOL, Tool);
    }
    void TearDown() override { fs::remove_all(Root); }

    void InstallArchive(const std::string& bytes) { WriteAll(Release / "moravel.vfs", bytes); }

    RunResult Extract() { return RunProgram(Tool, {"--e", "data"}, Work); }

    void ExpectAllExtracted(const std::map<std::string, std::string>& files)
    {
        for (const auto& [name, bytes] : files)
            EXPECT_TRUE(ReadAll(Work / "data" / name) == bytes) << name;
        for (const auto& item : fs::directory_iterator(Work / "data"))
            EXPECT_NE(item.path().filename().string().front(), '.') << "left behind: " << item.path();
    }

    fs::path Root, Release, Work, Tool;
};

// When each file was last written, and which file it is: a rewrite through rename changes both.
std::map<std::string, std::pair<std::int64_t, std::int64_t>> ModificationTimes(const fs::path& folder)
{
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> times;
    for (const auto& item : fs::directory_iterator(folder)) {
        struct stat info;
        stat(item.path().c_str(), &info);
        std::int64_t mtime = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        times[item.path().filename().string()] = {mtime, std::int64_t(info.st_ino)};
    }
    return times;
}

}  // namespace

TEST(ArchiveReader, EncodedArchiveParsesBackWithOffsetsAndChecksums)
{
    auto files = SampleFiles();
    std::string archive = EncodeArchive(AsArchiveFiles(files));
    const auto* data = reinterpret_cast<const std::uint8_t*>(archive.data());
    std::vector<ArchiveEntry> entries;
    std::string reason;
    ASSERT_TRUE(ParseArchive(data, archive.size(), entries, reason)) << reason;
    ASSERT_EQ(entries.size(), files.size());
    for (const ArchiveEntry& entry : entries) {
        const std::string& bytes = files.at(entry.Name);
        EXPECT_EQ(entry.Size, bytes.size());
        EXPECT_EQ(archive.substr(entry.Offset, entry.Size), bytes) << entry.Name;
    }
    EXPECT_TRUE(CheckArchiveContents(data, entries, reason)) << reason;

    // An archive with no entries is valid and empty.
    std::string none = EncodeArchive({});
    EXPECT_TRUE(ParseArchive(reinterpret_cast<const std::uint8_t*>(none.data()), none.size(), entries, reason));
    EXPECT_TRUE(entries.empty());
}

TEST(ArchiveReader, EveryKindOfDamageIsRefusedWithAReason)
{
    const std::string good = EncodeArchive(AsArchiveFiles(SampleFiles()));
    const std::size_t tableEnd = ArchiveHeaderSize + (good[16] & 0xff) + ((good[17] & 0xff) << 8);
    auto flip = [&](std::size_t at) {
        std::string bad = good;
        bad[at] ^= 0x40;
        return bad;
    };
    auto setCount = [&](std::uint32_t count) {
        std::string bad = good;
        for (int i = 0; i < 4; ++i)
            bad[12 + i] = char(count >> (8 * i));
        return bad;
    };
    const std::map<std::string, std::string> damaged = {
        {"empty", ""},
        {"header cut", good.substr(0, 10)},
        {"bad magic", flip(1)},
        {"other version", flip(8)},
        {"table cut", good.substr(0, ArchiveHeaderSize + 5)},
        {"last file cut", good.substr(0, good.size() - 1)},
        {"bytes after the end", good + "x"},
        {"table byte changed", flip(ArchiveHeaderSize + 3)},
        {"contents byte changed", flip(tableEnd + 100)},
        {"last contents byte changed", flip(good.size() - 1)},
        {"count too large", setCount(6)},
        {"count too small", setCount(4)},
        {"count absurd", setCount(0xffffffffu)},
        {"same name twice", EncodeArchive({{"a.jpg", "1"}, {"a.jpg", "2"}})},
    };
    for (const auto& [what, bytes] : damaged) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        std::vector<ArchiveEntry> entries;
        std::string reason;
        bool accepted =
            ParseArchive(data, bytes.size(), entries, reason) && CheckArchiveContents(data, entries, reason);
        EXPECT_FALSE(accepted) << what;
        EXPECT_FALSE(reason.empty()) << what;
    }
}

TEST(ArchiveReader, OnlyPlainFileNamesAreSafe)
{
    for (const char* name : {"logo.tga", "cr_tavrel.tga", "muza_demo.ogg", "a", "x..y"})
        EXPECT_TRUE(IsSafeEntryName(name)) << name;
    for (const char* name : {"", ".", "..", "../data.txt", "a/b", "a\\b", "/etc/passwd", "\\\\server\\x", "c:evil",
                             ".hidden", ".logo.tga.part", "line\nbreak", "tab\there"})
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
    EXPECT_TRUE(IsSafeEntryName(std::string(255, 'n')));
    EXPECT_FALSE(IsSafeEntryName(std::string(256, 'n')));
    EXPECT_FALSE(IsSafeEntryName(std::string("nul\0byte", 8)));
}

TEST_F(VfsTool, PackThenExtractGivesBackEveryFileAndPacksTheSameBytesTwice)
{
    auto files = SampleFiles();
    fs::path folder = Root / "assets";
    fs::create_directories(folder);
    for (const auto& [name, bytes] : files)
        WriteAll(folder / name, bytes);

    RunResult pack = RunProgram(Tool, {"--p", folder.string(), (Release / "moravel.vfs").string()}, Work);
    ASSERT_EQ(pack.Status, 0) << pack.Errors;
    RunResult again = RunProgram(Tool, {"--p", folder.string(), (Root / "again.vfs").string()}, Work);
    ASSERT_EQ(again.Status, 0) << again.Errors;
    EXPECT_TRUE(ReadAll(Release / "moravel.vfs") == ReadAll(Root / "again.vfs"));
    // Sorted by name, so the archive does not depend on the order the folder lists its files in.
    EXPECT_TRUE(ReadAll(Release / "moravel.vfs") == EncodeArchive(AsArchiveFiles(files)));

    // Run from another working folder: the archive is found beside the program, data/ lands here.
    RunResult extract = Extract();
    ASSERT_EQ(extract.Status, 0) << extract.Errors;
    ExpectAllExtracted(files);

    EXPECT_EQ(RunProgram(Tool, {"--l", (Release / "moravel.vfs").string()}, Work).Status, 0);
}

TEST_F(VfsTool, SecondExtractionWritesNothingAndRepairsOnlyWhatChanged)
{
    auto files = SampleFiles();
    InstallArchive(EncodeArchive(AsArchiveFiles(files)));
    ASSERT_EQ(Extract().Status, 0);
    auto before = ModificationTimes(Work / "data");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(Extract().Status, 0);
    EXPECT_EQ(ModificationTimes(Work / "data"), before);

    // A damaged copy of the same size and a missing file are restored; the rest stay untouched.
    std::string changed = files["logo.tga"];
    changed[500] ^= 1;
    WriteAll(Work / "data" / "logo.tga", changed);
    fs::remove(Work / "data" / "ende.jpg");
    before = ModificationTimes(Work / "data");
    ASSERT_EQ(Extract().Status, 0);
    ExpectAllExtracted(files);
    auto after = ModificationTimes(Work / "data");
    EXPECT_EQ(after["roza.txt"], before["roza.txt"]);
    EXPECT_EQ(after["muza_demo.ogg"], before["muza_demo.ogg"]);
    EXPECT_NE(after["logo.tga"], before["logo.tga"]);
}

TEST_F(VfsTool, DamagedArchiveIsReportedAndNothingIsWritten)
{
    std::string good = EncodeArchive(AsArchiveFiles(SampleFiles()));
    std::string badMagic = good, badContents = good, badTable = good;
    badMagic[0] = 'X';
    badContents[good.size() - 1000] ^= 0x10;
    badTable[ArchiveHeaderSize + 1] ^= 0x10;
    for (const std::string& bytes : {badMagic, good.substr(0, good.size() / 2), badContents, badTable, good + "tail"}) {
        InstallArchive(bytes);
        RunResult run = Extract();
        EXPECT_NE(run.Status, 0);
        EXPECT_NE(run.Errors.find("damaged"), std::string::npos) << run.Errors;
        EXPECT_FALSE(fs::exists(Work / "data")) << "wrote before it had checked the archive";
        EXPECT_NE(RunProgram(Tool, {"--l", (Release / "moravel.vfs").string()}, Work).Status, 0);
    }

    fs::remove(Release / "moravel.vfs");
    RunResult missing = Extract();
    EXPECT_NE(missing.Status, 0);
    EXPECT_NE(missing.Errors.find("moravel.vfs"), std::string::npos) << missing.Errors;
    EXPECT_EQ(RunProgram(Tool, {"--x"}, Work).Status, 2);
}

TEST_F(VfsTool, UnsafeNamesAreRefusedBeforeAnythingIsWritten)
{
    for (const char* name : {"../escape.txt", "/tmp/vfs_test_absolute.txt", "sub/inner.txt", "..", ".hidden"}) {
        InstallArchive(EncodeArchive({{"logo.tga", "fine"}, {name, "evil"}}));
        RunResult run = Extract();
        EXPECT_NE(run.Status, 0) << name;
        EXPECT_NE(run.Errors.find("unsafe entry name"), std::string::npos) << run.Errors;
        EXPECT_FALSE(fs::exists(Work / "data")) << name;
        EXPECT_FALSE(fs::exists(Work / "escape.txt"));
        EXPECT_FALSE(fs::exists("/tmp/vfs_test_absolute.txt"));
        // Listing judges the names as extraction does.
        RunResult list = RunProgram(Tool, {"--l", (Release / "moravel.vfs").string()}, Work);
        EXPECT_EQ(list.Status, 1) << name;
        EXPECT_NE(list.Errors.find("unsafe entry name"), std::string::npos) << list.Errors;
    }

    // The packer will not store what the extractor would refuse, nor a subfolder.
    for (const char* odd : {".hidden", "sub"}) {
        fs::path folder = Root / (std::string("odd") + odd);
        fs::create_directories(folder);
        WriteAll(folder / "logo.tga", "fine");
        if (std::string(odd) == "sub")
            fs::create_directories(folder / odd);
        else
            WriteAll(folder / odd, "x");
        RunResult pack = RunProgram(Tool, {"--p", folder.string(), (Root / "odd.vfs").string()}, Work);
        EXPECT_NE(pack.Status, 0) << odd;
        EXPECT_FALSE(fs::exists(Root / "odd.vfs")) << odd;
    }

    // Nor a link: it would store whatever the link points at, from anywhere on the system.
    fs::path linked = Root / "linked";
    fs::create_directories(linked);
    WriteAll(linked / "logo.tga", "fine");
    WriteAll(Root / "secret", "not for the archive");
    fs::create_symlink(Root / "secret", linked / "host.txt");
    RunResult pack = RunProgram(Tool, {"--p", linked.string(), (Root / "linked.vfs").string()}, Work);
    EXPECT_EQ(pack.Status, 1);
    EXPECT_EQ(pack.Errors,
              "vfs.dll: " + (linked / "host.txt").string() + ": a symbolic link; only plain files can be packed\n");
    EXPECT_FALSE(fs::exists(Root / "linked.vfs"));
}

TEST_F(VfsTool, CommandLineGivesHelpVersionAndClearRefusals)
{
    RunResult help = RunProgram(Tool, {"--help"}, Work);
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Output.rfind("usage: vfs.dll --e DIR", 0), 0u) << help.Output;
    EXPECT_TRUE(help.Errors.empty()) << help.Errors;
    RunResult version = RunProgram(Tool, {"--version"}, Work);
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Output, std::string("vfs.dll (Moravel) ") + MORAVEL_VERSION + "\n");

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--x"}, "unknown option --x; the commands are --e, --p, --l, --help and --version"},
        {{"--e"}, "--e needs a value"},
        {{"--p", "assets"}, "--p takes FOLDER ARCHIVE, not 1 argument"},
        {{"--l", "a.vfs", "b.vfs"}, "--l takes one ARCHIVE, not 2 arguments"},
        {{"data"}, "unknown command \"data\""},
        {{}, "no command given"},
        {{"--version", "x"}, "--version takes nothing after it"},
    };
    for (const auto& [args, message] : refused) {
        RunResult run = RunProgram(Tool, args, Work);
        EXPECT_EQ(run.Status, 2) << message;
        EXPECT_EQ(run.Errors.rfind("vfs.dll: " + message + "\nusage: vfs.dll --e DIR", 0), 0u) << run.Errors;
    }
    EXPECT_FALSE(fs::exists(Work / "data"));
}

// A full disk, a read-only folder and kills are in extractor_faults_test.cpp.
TEST_F(VfsTool, ADestinationThatIsAFileIsReportedAndLeftAlone)
{
    InstallArchive(EncodeArchive(AsArchiveFiles(SampleFiles())));
    WriteAll(Work / "data", "in the way");
    RunResult blocked = Extract();
    EXPECT_EQ(blocked.Status, 1);
    // One line naming the folder and the system's reason: no file is tried, so none is listed.
    EXPECT_EQ(blocked.Errors, "vfs.dll: cannot open data: " + std::string(std::strerror(ENOTDIR)) + "\n");
    EXPECT_EQ(ReadAll(Work / "data"), "in the way");
}
