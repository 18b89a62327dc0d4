// Encodes the rendered music track as Ogg Vorbis and writes it out.
#include "music.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr float MusicQuality = 0.5f;     // libvorbisenc's scale, -0.1 .. 1
constexpr int MusicSerial = 0x4d6f7261;  // a fixed stream serial keeps the file's bytes the same every run
constexpr int EncodeChunk = 1024;

void AppendPage(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header), page.header_len);
    out.append(reinterpret_cast<const char*>(page.body), page.body_len);
}

// Moves every finished block through the encoder and every full page into the output.
void DrainEncoder(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream, std::string& out)
{
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            while (ogg_stream_pageout(&stream, &page))
                AppendPage(out, page);
        }
    }
}

bool EncodeMusic(const std::vector<float>& left, const std::vector<float>& right, std::string& out)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, MusicRate, MusicQuality) != 0) {
        std::fprintf(stderr, "muza_demo.ogg: the Vorbis encoder refused its settings\n");
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Moravel");
    vorbis_comment_add_tag(&comment, "ARTIST", "Ostrevia");

    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, MusicSerial);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    // The headers stand on pages of their own, so audio starts on a fresh page as decoders expect.
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    std::size_t count = left.size();
    for (std::size_t at = 0; at < count; at += EncodeChunk) {
        int chunk = static_cast<int>(std::min<std::size_t>(EncodeChunk, count - at));
        float** buffer = vorbis_analysis_buffer(&dsp, chunk);
        std::memcpy(buffer[0], left.data() + at, chunk * sizeof(float));
        std::memcpy(buffer[1], right.data() + at, chunk * sizeof(float));
        vorbis_analysis_wrote(&dsp, chunk);
        DrainEncoder(dsp, block, stream, out);
    }
    vorbis_analysis_wrote(&dsp, 0);
    DrainEncoder(dsp, block, stream, out);
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

}  // namespace

bool WriteMusic(const std::string& path)
{
    // Open first: a bad destination should fail at once, not after the long render.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "%s: cannot create: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    std::vector<float> left, right;
    RenderMusic(left, right);
    std::string bytes;
    if (!EncodeMusic(left, right, bytes)) {
        std::fclose(file);
        std::remove(path.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int writeError = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        writeError = errno;
    }
    if (!written) {
        std::fprintf(stderr, "%s: cannot write: %s\n", path.c_str(), std::strerror(writeError));
        std::remove(path.c_str());
        return false;
    }
    return true;
}
