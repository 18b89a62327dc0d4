// Reads a file written by SDL's disk audio driver (signed 16-bit stereo at 44100 Hz) and says where
// the sound in it starts and ends; given the music file, also whether the music is in it unchanged.
//
//   audio_probe DEVICE_FILE [MUSIC.ogg]
//
// Prints key=value lines; exits 0 when the file holds sound (and, with MUSIC.ogg, holds that music
// sample for sample from its onset to the end of the file or of the music), 1 otherwise. The music
// starts where the demo clock is when the device takes it, a few tens of ms into itself
// ("music_from_ms"). Where the demo moved the music to keep it with the picture, the device goes on
// from another place in it: each piece between two moves must then be the music sample for sample,
// with nothing between the pieces and only silence after the music's end. "moves" counts them; one
// line per piece gives where it lies in the file and in the music.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/music_pieces.h"
#include "tests/support/vorbis_fixture.h"

static std::size_t FirstNonZero(const std::vector<std::int16_t>& samples)
{
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (samples[i] != 0)
            return i;
    return samples.size();
}

static std::size_t LastNonZero(const std::vector<std::int16_t>& samples)
{
    for (std::size_t i = samples.size(); i > 0; --i)
        if (samples[i - 1] != 0)
            return i - 1;
    return samples.size();
}

static double Milliseconds(std::size_t sample)
{
    return static_cast<double>(sample / FixtureChannels) * 1000.0 / FixtureRate;
}

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: audio_probe DEVICE_FILE [MUSIC.ogg]\n");
        return 2;
    }
    const std::vector<std::uint8_t> bytes = ReadBytes(argv[1]);
    std::vector<std::int16_t> device(bytes.size() / 2);
    std::memcpy(device.data(), bytes.data(), device.size() * 2);
    const std::size_t onset = FirstNonZero(device);
    std::printf("frames=%zu\nseconds=%.3f\n", device.size() / FixtureChannels, Milliseconds(device.size()) / 1000.0);
    if (onset == device.size()) {
        std::printf("sound=none\n");
        return 1;
    }
    std::printf("first_sound_ms=%.3f\nlast_sound_ms=%.3f\n", Milliseconds(onset), Milliseconds(LastNonZero(device)));
    if (argc == 2)
        return 0;

    const std::vector<std::int16_t> music = DecodeOggVorbis(argv[2]);
    if (FirstNonZero(music) == music.size()) {
        std::printf("music=undecodable_or_silent\n");
        return 1;
    }
    // The music starts where the demo clock is when the device takes its first buffer, so a little
    // way into itself: find which of its samples the device's first sound is.
    const std::size_t first = onset - onset % FixtureChannels;
    const std::size_t from = FindInMusic(device, first, music, FixtureChannels);
    if (from == music.size()) {
        std::printf("music=not_found\n");
        return 1;
    }
    if (from > first) {
        std::printf("music_start=before_the_device\n");
        return 1;
    }
    // Where the music's first sample lies in the device file, or would, had it started from it.
    const std::size_t start = first - from;
    std::printf("music_from_ms=%.3f\n", Milliseconds(from));
    const MusicPieces split = SplitIntoMusicPieces(device, first, music, FixtureChannels, from);
    std::size_t compared = 0;
    for (const MusicPiece& piece : split.Pieces) {
        compared += piece.Length;
        std::printf("piece=%.3f %.3f %.3f\n", Milliseconds(piece.DeviceStart), Milliseconds(piece.MusicStart),
                    Milliseconds(piece.Length));
    }
    std::printf("music_start_ms=%.3f\nmusic_compared_ms=%.3f\nmusic_ms=%.3f\nmoves=%zu\n", Milliseconds(start),
                Milliseconds(compared), Milliseconds(music.size()), split.Pieces.size() - 1);
    if (!split.Matched) {
        std::printf("first_unmatched_ms=%.3f\n", Milliseconds(split.FirstUnmatched));
        return 1;
    }
    return 0;
}
