// The silent sound backend: no device, but only a decodable Ogg Vorbis file makes a stream.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sound.h"
#include "tests/vorbis_fixture.h"

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

TEST_F(SilentSound, OpensOnlyDecodableVorbisFiles)
{
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    EXPECT_TRUE(BASS_Start());

    EXPECT_EQ(BASS_StreamCreateFile(false, (Dir + "/missing.ogg").c_str(), 0, 0, 0), 0u);

    WriteBytes(Dir + "/empty.ogg", {});
    EXPECT_EQ(BASS_StreamCreateFile(false, (Dir + "/empty.ogg").c_str(), 0, 0, 0), 0u);

    WriteBytes(Dir + "/text.ogg", std::vector<std::uint8_t>(5000, 'x'));
    EXPECT_EQ(BASS_StreamCreateFile(false, (Dir + "/text.ogg").c_str(), 0, 0, 0), 0u);

    // An Ogg page header followed by nothing usable: the container alone is not enough.
    std::vector<std::uint8_t> bytes = ReadBytes(Music);
    bytes.resize(60);
    WriteBytes(Dir + "/cut.ogg", bytes);
    EXPECT_EQ(BASS_StreamCreateFile(false, (Dir + "/cut.ogg").c_str(), 0, 0, 0), 0u);

    // The codebook header damaged: its page no longer passes the checksum.
    bytes = ReadBytes(Music);
    ASSERT_GT(bytes.size(), 400u);
    for (std::size_t i = 200; i < 400; ++i)
        bytes[i] ^= 0x5A;
    WriteBytes(Dir + "/damaged.ogg", bytes);
    EXPECT_EQ(BASS_StreamCreateFile(false, (Dir + "/damaged.ogg").c_str(), 0, 0, 0), 0u);

    const HStream stream = BASS_StreamCreateFile(false, Music.c_str(), 0, 0, 0);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(BASS_StreamPlay(stream, false, 0));
    EXPECT_FALSE(BASS_StreamPlay(stream + 100, false, 0));
    EXPECT_FALSE(BASS_StreamPlay(0, false, 0));
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

TEST_F(SilentSound, MapsProductionNamesToTheFileSystem)
{
    ASSERT_TRUE(BASS_Init(1, 44100, 0, 0, nullptr));
    std::string production = Music;
    for (char& c : production)
        if (c == '/')
            c = '\\';
    EXPECT_NE(BASS_StreamCreateFile(false, production.c_str(), 0, 0, 0), 0u);
}
