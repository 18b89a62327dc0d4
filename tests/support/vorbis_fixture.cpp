// Encodes test music with libvorbisenc and decodes it with libvorbisfile.
#include "tests/support/vorbis_fixture.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

std::vector<std::int16_t> MakeTestChord(int frames)
{
    const double pi = 3.14159265358979323846;
    std::vector<std::int16_t> stereo(static_cast<std::size_t>(frames) * FixtureChannels);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / FixtureRate;
        const double left = 0.4 * std::cos(2 * pi * 440 * t) + 0.2 * std::sin(2 * pi * 660 * t);
        const double right = 0.3 * std::cos(2 * pi * 550 * t) + 0.25 * std::sin(2 * pi * 1210 * t);
        stereo[2 * i] = static_cast<std::int16_t>(std::lround(left * 32767));
        stereo[2 * i + 1] = static_cast<std::int16_t>(std::lround(right * 32767));
    }
    return stereo;
}

// Writes every page the stream will give: all of them when flushing, else only full ones.
static bool WritePages(std::FILE* file, ogg_stream_state& stream, bool flush)
{
    bool ok = true;
    ogg_page page;
    while ((flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0) {
        ok = std::fwrite(page.header, 1, page.header_len, file) == static_cast<std::size_t>(page.header_len) && ok;
        ok = std::fwrite(page.body, 1, page.body_len, file) == static_cast<std::size_t>(page.body_len) && ok;
    }
    return ok;
}

// Turns what the encoder has buffered into packets, and full pages into bytes.
static bool EncodeBlocks(std::FILE* file, vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream)
{
    bool ok = true;
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
            ogg_stream_packetin(&stream, &packet);
            ok = WritePages(file, stream, false) && ok;
        }
    }
    return ok;
}

bool WriteOggVorbis(const std::string& path, const std::vector<std::int16_t>& stereo)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, FixtureChannels, FixtureRate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        std::fclose(file);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet headers[3];
    vorbis_analysis_headerout(&dsp, &comment, &headers[0], &headers[1], &headers[2]);
    for (ogg_packet& header : headers)
        ogg_stream_packetin(&stream, &header);
    bool ok = WritePages(file, stream, true);

    const int frames = static_cast<int>(stereo.size() / FixtureChannels);
    for (int start = 0; start < frames; start += 1024) {
        const int count = std::min(1024, frames - start);
        float** buffer = vorbis_analysis_buffer(&dsp, count);
        for (int i = 0; i < count; ++i) {
            buffer[0][i] = stereo[2 * (start + i)] / 32768.0f;
            buffer[1][i] = stereo[2 * (start + i) + 1] / 32768.0f;
        }
        vorbis_analysis_wrote(&dsp, count);
        ok = EncodeBlocks(file, dsp, block, stream) && ok;
    }
    vorbis_analysis_wrote(&dsp, 0);  // end of input
    ok = EncodeBlocks(file, dsp, block, stream) && ok;
    ok = WritePages(file, stream, true) && ok;

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return std::fclose(file) == 0 && ok;
}

std::vector<std::int16_t> DecodeOggVorbis(const std::string& path)
{
    std::vector<std::int16_t> samples;
    OggVorbis_File vorbis;
    if (ov_fopen(path.c_str(), &vorbis) != 0)
        return samples;
    const int bigEndian = (std::endian::native == std::endian::big) ? 1 : 0;
    char pcm[4096];
    int section = 0;
    for (;;) {
        const long got = ov_read(&vorbis, pcm, sizeof pcm, bigEndian, 2, 1, &section);
        if (got < 0) {
            samples.clear();
            break;
        }
        if (got == 0)
            break;
        const std::size_t old = samples.size();
        samples.resize(old + static_cast<std::size_t>(got) / 2);
        std::memcpy(samples.data() + old, pcm, static_cast<std::size_t>(got));
    }
    ov_clear(&vorbis);
    return samples;
}

std::string MakeTempDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "moravel-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
