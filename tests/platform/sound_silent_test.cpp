// The silent sound backend: no device, but only a decodable Ogg Vorbis file makes a stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/sound.h"
#include "tests/support/vorbis_fixture.h"

class SilentSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = MakeTempDirectory();
        ASSERT_FALSE(Dir.empty());
        Music = Dir + "/music.ogg";
        ASSERT_TRUE(WriteOggVorbis(Music, MakeTestChord(FixtureRate / 4)));
    }
    void TearDown() override
    {
        BASS_Free();
        std::error_code error;
        std::filesystem::remove_all(Dir, error);
    }

    std::string Dir;
    std::string Music;
};

TEST_F(SilentSound, OpensOnlyDecodableVorbisFilesByEitherKindOfName)
{
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    EXPECT_TRUE(BASS_Start());
    const std::vector<std::uint8_t> music = ReadBytes(Music);
    ASSERT_GT(music.size(), 400u);
    // An Ogg page header followed by nothing usable; the codebook header damaged past its checksum.
    std::vector<std::uint8_t> damaged = music;
    for (std::size_t i = 200; i < 400; ++i)
        damaged[i] ^= 0x5A;
    const std::pair<const char*, std::vector<std::uint8_t>> refused[] = {{"empty", {}},
                                                                         {"text", std::vector<std::uint8_t>(5000, 'x')},
                                                                         {"cut", {music.begin(), music.begin() + 60}},
                                                                         {"damaged", damaged}};
    EXPECT_EQ(BASS_StreamCreateFile(false, (Dir + "/missing.ogg").c_str(), 0, 0, 0), 0u);
    for (const auto& [name, bytes] : refused) {
        WriteBytes(Dir + "/" + name + ".ogg", bytes);
        EXPECT_EQ(BASS_StreamCreateFile(false, (Dir + "/" + name + ".ogg").c_str(), 0, 0, 0), 0u) << name;
    }

    const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(BASS_StreamPlay(stream, false, 0));
    EXPECT_FALSE(BASS_StreamPlay(stream + 100, false, 0));
    EXPECT_FALSE(BASS_StreamPlay(0, false, 0));
    // The production names its files with backslashes.
    std::string production = Music;
    std::replace(production.begin(), production.end(), '/', '\\');
    EXPECT_NE(BASS_StreamCreateFile(false, production.c_str(), 0, 0, 0), 0u);
}

TEST_F(SilentSound, KeepsTheLibraryLifecycle)
{
    EXPECT_EQ(BASS_GetVersion(), 2u);
    // Nothing before init, and free is harmless without it.
    EXPECT_EQ(BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0), 0u);
    EXPECT_FALSE(BASS_Free());

    EXPECT_FALSE(BASS_Init(2, 44100, 0, 0, nullptr));
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    EXPECT_FALSE(BASS_Init(1, 44100, 0, 0, nullptr));
    const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
    ASSERT_NE(stream, 0u);
    // Only whole files are supported.
    EXPECT_EQ(BASS_StreamCreateFile(false, Music.c_str(), 100, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(true, Music.c_str(), 0, 0, 0), 0u);

    EXPECT_TRUE(BASS_Free());
    EXPECT_FALSE(BASS_StreamPlay(stream, false, 0));
    EXPECT_FALSE(BASS_Free());
    // Usable again after a free.
    EXPECT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
}
