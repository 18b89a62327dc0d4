// The SDL2_mixer sound backend on SDL's disk driver, which writes what the device plays to a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include <time.h>

#include "platform/sound.h"
#include "tests/support/music_pieces.h"
#include "tests/support/vorbis_fixture.h"

namespace {

constexpr std::uintmax_t BytesPerFrame = 2 * FixtureChannels;

std::uintmax_t FileSize(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// The disk driver writes in real time; wait until it has written at least this much.
bool WaitForOutput(const std::string& path, std::uintmax_t bytes, std::chrono::seconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (FileSize(path) < bytes) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Waits until the device has written more than it had; false after a second without.
bool WaitForGrowth(const std::string& path, std::uintmax_t bytes)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (FileSize(path) == bytes) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

std::vector<std::int16_t> ReadSamples(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::size_t FirstNonZero(const std::vector<std::int16_t>& samples, std::size_t from = 0)
{
    return std::find_if(samples.begin() + from, samples.end(), [](std::int16_t s) { return s != 0; }) - samples.begin();
}

// The chord growing louder from half to full: no stretch of it sounds the same twice, so a piece of
// it found in the device's output can only come from one place.
std::vector<std::int16_t> MakeSwellingChord(int frames)
{
    std::vector<std::int16_t> samples = MakeTestChord(frames);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(samples[i] * (0.5 + 0.5 * static_cast<double>(i) / samples.size()));
    return samples;
}

double SamplesToMs(std::size_t samples)
{
    return static_cast<double>(samples / FixtureChannels) * 1000.0 / FixtureRate;
}

// The clock the backend stamps its mixes with.
double MonotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Where the music the device played starts: its first sound in the device and which sample of the
// music that is. The music starts where the clock is when the device takes it, so past its own start.
struct MusicOnset {
    std::size_t Device = 0;
    std::size_t Music = 0;
};

MusicOnset FindMusicOnset(const std::vector<std::int16_t>& device, const std::vector<std::int16_t>& music)
{
    MusicOnset onset;
    onset.Device = FirstNonZero(device);
    if (onset.Device >= device.size())
        return onset;
    onset.Device -= onset.Device % FixtureChannels;
    onset.Music = FindInMusic(device, onset.Device, music, FixtureChannels);
    return onset;
}

// One device buffer, and the longest the device's next one may be late on a loaded machine.
constexpr double DeviceBufferMs = 1024 * 1000.0 / FixtureRate;

class DiskSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = MakeTempDirectory();
        ASSERT_FALSE(Dir.empty());
        Music = Dir + "/music.ogg";
        Output = Dir + "/device.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", Output.c_str(), 1);
    }
    void TearDown() override
    {
        BASS_Free();
        std::error_code error;
        std::filesystem::remove_all(Dir, error);
    }

    std::string Dir;
    std::string Music;
    std::string Output;
};

TEST_F(DiskSound, PlaysTheWholeFileOnceSampleForSampleFromThePlayCall)
{
    ASSERT_TRUE(WriteOggVorbis(Music, MakeTestChord(FixtureRate / 2)));
    const std::vector<std::int16_t> expected = DecodeOggVorbis(Music);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(FixtureRate / 2 * FixtureChannels));

    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    ASSERT_TRUE(BASS_Start());
    const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
    ASSERT_NE(stream, 0u);
    // The device runs with the stream open but not started: all of this must stay silent.
    ASSERT_TRUE(WaitForOutput(Output, 8 * 1024 * BytesPerFrame, std::chrono::seconds(10)));
    const std::uintmax_t beforePlay = FileSize(Output);
    ASSERT_TRUE(BASS_StreamPlay(stream, false, 0));
    const std::uintmax_t afterMusic = beforePlay + expected.size() * 2 + FixtureRate / 2 * BytesPerFrame;
    ASSERT_TRUE(WaitForOutput(Output, afterMusic, std::chrono::seconds(30)));
    BASS_Free();

    const std::vector<std::int16_t> device = ReadSamples(Output);
    const MusicOnset onset = FindMusicOnset(device, expected);
    ASSERT_LT(onset.Device, device.size()) << "the device played nothing";
    ASSERT_LT(onset.Music, expected.size()) << "the device's first sound is not the music, or left and right swapped";
    EXPECT_GE(onset.Device * 2, beforePlay) << "music reached the device before the play call";
    // It starts where the time since the play call is when the device takes it: the buffer the
    // device was on, and at most one more, plus what a loaded machine may delay it by.
    EXPECT_LE(SamplesToMs(onset.Music), 2 * DeviceBufferMs + 100.0) << "music started far into itself";
    ASSERT_GE(onset.Device, onset.Music);
    const std::size_t start = onset.Device - onset.Music;  // where its first sample would have been
    EXPECT_GE((start + 1024 * FixtureChannels) * 2, beforePlay) << "the music is placed before the play call";
    EXPECT_LT(start * 2, beforePlay + FixtureRate * BytesPerFrame) << "music started long after the play call";

    ASSERT_GE(device.size(), start + expected.size());
    const auto mismatch = std::mismatch(expected.begin() + onset.Music, expected.end(), device.begin() + onset.Device);
    EXPECT_TRUE(mismatch.first == expected.end()) << "first at sample " << mismatch.first - expected.begin();
    // Played once: silence after the end, no second pass.
    EXPECT_EQ(FirstNonZero(device, start + expected.size()), device.size());
}

TEST_F(DiskSound, RefusesFilesItCannotDecodeAndTakesTheProductionsNames)
{
    EXPECT_EQ(BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0), 0u) << "a stream without init";
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    EXPECT_FALSE(BASS_Init(1, 44100, 0, 0, nullptr));
    EXPECT_EQ(BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0), 0u) << "a missing file";
    for (const std::vector<std::uint8_t>& bytes : {std::vector<std::uint8_t>(5000, 'x'), std::vector<std::uint8_t>{}}) {
        WriteBytes(Music, bytes);
        EXPECT_EQ(BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0), 0u) << bytes.size() << " bytes";
    }
    EXPECT_FALSE(BASS_StreamPlay(0, false, 0));
    EXPECT_FALSE(BASS_StreamPlay(7, false, 0));

    ASSERT_TRUE(WriteOggVorbis(Music, MakeTestChord(1000)));
    std::string production = Music;
    std::replace(production.begin(), production.end(), '/', '\\');
    EXPECT_NE(BASS_StreamCreateFile(false, production.c_str(), 0, 0, 0), 0u);
}

TEST_F(DiskSound, FailsWithoutADeviceAndFreesHarmlessly)
{
    EXPECT_FALSE(BASS_Free()) << "free without init";
    // No silent driver steps in when the one asked for is not there.
    setenv("SDL_AUDIODRIVER", "moravel-no-such-driver", 1);
    EXPECT_FALSE(BASS_Init(1, 44100, 0, 0, nullptr));
    EXPECT_FALSE(BASS_Start());
    EXPECT_FALSE(BASS_Free());

    setenv("SDL_AUDIODRIVER", "disk", 1);
    EXPECT_FALSE(BASS_Init(0, 44100, 0, 0, nullptr)) << "only the default device exists here";
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    ASSERT_TRUE(WriteOggVorbis(Music, MakeTestChord(FixtureRate)));
    const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
    ASSERT_TRUE(BASS_StreamPlay(stream, false, 0));
    // Freeing while the music plays stops it; a second free finds nothing to do.
    EXPECT_TRUE(BASS_Free());
    EXPECT_FALSE(BASS_StreamPlay(stream, false, 0));
    EXPECT_FALSE(BASS_Free());
    const std::uintmax_t atFree = FileSize(Output);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(FileSize(Output), atFree) << "the device still runs after free";
}

TEST_F(DiskSound, ThePositionIsWhatTheDeviceTookAndAMoveGoesOnFromTheNewPlace)
{
    ASSERT_TRUE(WriteOggVorbis(Music, MakeSwellingChord(3 * FixtureRate)));
    const std::vector<std::int16_t> music = DecodeOggVorbis(Music);
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(SoundGetStreamPosition(stream), -1.0) << "a position before the music started";
    EXPECT_FALSE(SoundSetStreamPosition(stream, 1000)) << "moved before the music started";
    ASSERT_TRUE(WaitForOutput(Output, 4 * 1024 * BytesPerFrame, std::chrono::seconds(10)));

    const std::uintmax_t beforePlay = FileSize(Output);
    ASSERT_TRUE(BASS_StreamPlay(stream, false, 0));
    EXPECT_EQ(SoundGetStreamPosition(stream + 1), -1.0);
    ASSERT_TRUE(WaitForOutput(Output, beforePlay + FixtureRate / 2 * BytesPerFrame, std::chrono::seconds(10)));
    // The file gets each buffer once it is mixed; the position counts it from then on, at most
    // one buffer (23.2 ms) ahead of what is in the file.
    const double written = static_cast<double>(FileSize(Output) - beforePlay) / BytesPerFrame * 1000.0 / FixtureRate;
    const double playing = SoundGetStreamPosition(stream);
    EXPECT_GE(playing, written - 25.0);
    EXPECT_LE(playing, written + 50.0);

    ASSERT_TRUE(SoundSetStreamPosition(stream, 2000));
    const auto moved = std::chrono::steady_clock::now();
    const double justMoved = SoundGetStreamPosition(stream);
    EXPECT_GE(justMoved, 2000.0);
    EXPECT_LT(justMoved, 2010.0) << "the move does not show in the position";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double since = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - moved).count();
    const double later = SoundGetStreamPosition(stream);
    EXPECT_GT(later, 2000.0 + since - 80.0) << "the position does not go on from the move";
    EXPECT_LT(later, 2000.0 + since + 30.0) << "the position does not go on from the move";

    // Played to its end: no position any more, and nothing to move.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (SoundGetStreamPosition(stream) >= 0.0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(SoundGetStreamPosition(stream), -1.0) << "a position after the music ended";
    EXPECT_FALSE(SoundSetStreamPosition(stream, 500)) << "moved after the music ended";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    BASS_Free();
    EXPECT_EQ(SoundGetStreamPosition(stream), -1.0);

    // The device took the music from its start, then from where it was moved to, each sample for
    // sample, and the moved piece where the position said it would be.
    const std::vector<std::int16_t> device = ReadSamples(Output);
    const MusicOnset onset = FindMusicOnset(device, music);
    ASSERT_LT(onset.Device, device.size());
    ASSERT_LT(onset.Music, music.size());
    const MusicPieces split = SplitIntoMusicPieces(device, onset.Device, music, FixtureChannels, onset.Music);
    ASSERT_TRUE(split.Matched) << "unmatched from " << SamplesToMs(split.FirstUnmatched) << " ms";
    ASSERT_EQ(split.Pieces.size(), 2u) << "one move, one seam";
    EXPECT_LE(SamplesToMs(split.Pieces[0].MusicStart), 2 * DeviceBufferMs + 100.0);
    EXPECT_GE(SamplesToMs(split.Pieces[0].Length), 500.0);
    const double movedTo = SamplesToMs(split.Pieces[1].MusicStart);
    EXPECT_GE(movedTo, justMoved);
    EXPECT_LE(movedTo, justMoved + 2 * 23.3 + 10.0) << "the moved music lags where the position said it was";
    EXPECT_EQ(split.Pieces[1].MusicStart + split.Pieces[1].Length, music.size()) << "not played to the end";
}

// The production starts its clock, then the music. Whenever the device takes the music's first
// buffer, that buffer holds the music from the time since the play call on: the position the
// backend shows from then on, taken from the clock, puts the music's first sample at the play call.
// Without that the music would start from its first sample with the device's next buffer, and lag
// the clock by the time to it; the call comes right after the device took a buffer, so that is
// nearly a whole buffer. The device may take its buffer a little late; a few tries keep a loaded
// machine from failing what a quiet one passes.
TEST_F(DiskSound, TheMusicStartsWhereTheClockIsWhenTheDeviceTakesItsFirstBuffer)
{
    ASSERT_TRUE(WriteOggVorbis(Music, MakeSwellingChord(2 * FixtureRate)));
    const std::vector<std::int16_t> music = DecodeOggVorbis(Music);
    std::string misses;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::string output = Dir + "/device-" + std::to_string(attempt) + ".raw";
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
        const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
        ASSERT_NE(stream, 0u);
        // The device mixes silence for a while first, as it does while the demo loads.
        ASSERT_TRUE(WaitForOutput(output, 6 * 1024 * BytesPerFrame, std::chrono::seconds(10)));
        // Just after the device wrote a buffer, which it does right after mixing it.
        const std::uintmax_t written = FileSize(output);
        ASSERT_TRUE(WaitForGrowth(output, written));
        const double askedFrom = MonotonicMs();
        ASSERT_TRUE(BASS_StreamPlay(stream, false, 0));
        const double askedTo = MonotonicMs();
        // The first position with music, and the clock around it. Until the device takes the first
        // buffer there is none; the one read right after shows what that buffer starts with.
        double position = -1.0;
        double lastWithout = askedTo;
        double readAt = askedTo;
        int beforeAnyTaken = 0;  // positions other than -1 before it
        const double deadline = askedTo + 5000.0;
        while (position <= 0.0 && readAt < deadline) {
            const double before = MonotonicMs();
            position = SoundGetStreamPosition(stream);
            readAt = MonotonicMs();
            if (position <= 0.0) {
                beforeAnyTaken += position != -1.0 ? 1 : 0;
                lastWithout = before;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        ASSERT_GT(position, 0.0) << "the music never started";
        EXPECT_EQ(beforeAnyTaken, 0) << "a position before the device took any of the music";
        // Where the music's first sample lies on the clock, from the position read. Nothing took
        // the first buffer before lastWithout, so it starts with the music from at least
        // position - (readAt - lastWithout) ms, and at most position ms.
        const double musicZero = readAt - position;
        const double startsFrom = position - (readAt - lastWithout);
        ASSERT_TRUE(WaitForOutput(output, 30 * 1024 * BytesPerFrame, std::chrono::seconds(10)));
        BASS_Free();

        // What the device played is what the position says it took.
        const std::vector<std::int16_t> device = ReadSamples(output);
        const MusicOnset onset = FindMusicOnset(device, music);
        ASSERT_LT(onset.Device, device.size()) << "the device played nothing";
        ASSERT_LT(onset.Music, music.size()) << "the device's first sound is not the music";
        const double playedFrom = SamplesToMs(onset.Music);
        EXPECT_GE(playedFrom, startsFrom - 0.5) << "the device played other music than the position says";
        EXPECT_LE(playedFrom, position + 0.5) << "the device played other music than the position says";
        const MusicPieces split = SplitIntoMusicPieces(device, onset.Device, music, FixtureChannels, onset.Music);
        EXPECT_TRUE(split.Matched && split.Pieces.size() == 1) << "not played straight on";

        // On a device that keeps its pace the music's first sample lies at the call; a device late
        // by up to 10 ms puts it that much later.
        const double lateMs = musicZero - askedTo;
        const double earlyMs = askedFrom - musicZero;
        if (earlyMs <= 3.0 && lateMs <= 10.0)
            return;
        misses += " " + std::to_string(musicZero - (askedFrom + askedTo) / 2);
    }
    ADD_FAILURE() << "the music's first sample lies this many ms from the play call, not at it:" << misses;
}

TEST_F(DiskSound, AMovePastTheEndEndsTheMusic)
{
    ASSERT_TRUE(WriteOggVorbis(Music, MakeSwellingChord(FixtureRate)));
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
    ASSERT_TRUE(BASS_StreamPlay(stream, false, 0));
    ASSERT_TRUE(WaitForOutput(Output, 8 * 1024 * BytesPerFrame, std::chrono::seconds(10)));
    EXPECT_GE(SoundGetStreamPosition(stream), 0.0);
    EXPECT_TRUE(SoundSetStreamPosition(stream, 5000));
    EXPECT_EQ(SoundGetStreamPosition(stream), -1.0);
    const std::uintmax_t atMove = FileSize(Output);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    BASS_Free();
    const std::vector<std::int16_t> device = ReadSamples(Output);
    // At most the buffer being written when it moved still holds music.
    const std::size_t quiet = atMove / 2 + 1024 * FixtureChannels;
    ASSERT_GT(device.size(), quiet);
    EXPECT_EQ(FirstNonZero(device, quiet), device.size()) << "music after it was moved past its end";
}

}  // namespace
