// What a sound device played, taken apart into pieces of the music. The music plays straight on
// except where it was moved to keep up with the picture: then the device goes on with the music
// from another place. Every sample from the first sound to the end of the music must belong to a
// piece that matches the decoded music sample for sample; after the music, only silence.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct MusicPiece {
    std::size_t DeviceStart = 0;  // first sample of the piece in the device's output
    std::size_t MusicStart = 0;   // the same sample in the decoded music
    std::size_t Length = 0;       // samples
};

struct MusicPieces {
    std::vector<MusicPiece> Pieces;
    bool Matched = false;            // every sample accounted for
    std::size_t FirstUnmatched = 0;  // device sample where matching failed, when it did
};

inline std::size_t MatchingRun(const std::vector<std::int16_t>& device, std::size_t at,
                               const std::vector<std::int16_t>& music, std::size_t from)
{
    std::size_t n = 0;
    while (at + n < device.size() && from + n < music.size() && device[at + n] == music[from + n])
        ++n;
    return n;
}

// Where in the music the device's samples from q on come from (q at a frame), or music.size(). Pieces
// are at least one device buffer long (1024 frames) when the moves come one after the other; a
// stretch of 1024 samples of music never comes twice, and longer ones are tried first.
inline std::size_t FindInMusic(const std::vector<std::int16_t>& device, std::size_t q,
                               const std::vector<std::int16_t>& music, int channels)
{
    for (const std::size_t wanted : {std::size_t{8192}, std::size_t{2048}, std::size_t{1024}}) {
        const std::size_t length = std::min(wanted, device.size() - q);
        for (std::size_t j = 0; j + length <= music.size(); j += static_cast<std::size_t>(channels))
            if (music[j] == device[q] && std::equal(device.begin() + q, device.begin() + q + length, music.begin() + j))
                return j;
    }
    return music.size();
}

// device: what the device played; start: where the music's first piece lies in it (a frame), and
// from: which sample of the music that piece starts with (a frame; the music may start past its own
// first sample).
inline MusicPieces SplitIntoMusicPieces(const std::vector<std::int16_t>& device, std::size_t start,
                                        const std::vector<std::int16_t>& music, int channels, std::size_t from = 0)
{
    MusicPieces result;
    std::size_t at = start;
    for (;;) {
        const std::size_t run = MatchingRun(device, at, music, from);
        result.Pieces.push_back({at, from, run});
        const std::size_t end = at + run;
        if (end == device.size()) {
            result.Matched = true;
            return result;
        }
        // The first sample that differs: either the music ended, or it was moved. A move takes
        // effect at a frame; the samples before the first sound of the next piece are silence.
        const auto frame = static_cast<std::size_t>(channels);
        std::size_t q = end - end % frame;
        while (q < device.size() && device[q] == 0)
            ++q;
        if (q == device.size()) {
            // Silence to the end: the music ended, or was moved past its end.
            result.Matched = true;
            return result;
        }
        if (from + run == music.size()) {
            result.FirstUnmatched = q;  // sound after the music's end
            return result;
        }
        q -= q % frame;
        std::size_t found = FindInMusic(device, q, music, channels);
        if (found == music.size()) {
            result.FirstUnmatched = end;
            return result;
        }
        // Take in the silence the new piece may start with; silence the music does not hold there
        // is a gap the device should not have played.
        while (q > end && found > 0 && device[q - 1] == music[found - 1]) {
            --q;
            --found;
        }
        if (q > end) {
            result.FirstUnmatched = end;
            return result;
        }
        at = q;
        from = found;
    }
}
