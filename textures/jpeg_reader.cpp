// The JPEG decoder: libjpeg at its default settings, into opaque RGBA rows with the bottom row first.
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "textures/textures.h"

// libjpeg's own error handling ends the process; this one jumps back to the decoder instead.
struct JpegErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Return;
};

static void LeaveOnError(j_common_ptr decoder)
{
    std::longjmp(reinterpret_cast<JpegErrorManager*>(decoder->err)->Return, 1);
}

// Warnings (corrupt or truncated data) are not reported: the picture is used as decoded.
static void IgnoreMessage(j_common_ptr, int) {}

// A few header bytes can declare a picture of 65500 x 65500 pixels; when there is no room for it the
// load fails like any other bad file instead of ending the program.
static bool AllocateOpaque(std::vector<std::uint8_t>& pixels, std::size_t size)
{
    try {
        pixels.assign(size, 255);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Decodes into the prepared buffer. Holds nothing that needs destroying, so a jump back out of
// libjpeg to the setjmp here skips no destructor; `picture` belongs to the caller.
static bool Decompress(jpeg_decompress_struct& decoder, JpegErrorManager& errors, const std::uint8_t* bytes,
                       std::size_t size, PixelBuffer& picture)
{
    if (setjmp(errors.Return) != 0)
        return false;
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&decoder, TRUE);
    jpeg_start_decompress(&decoder);
    // CMYK and YCCK pictures come out with four components per pixel; only RGB and grey are taken.
    const int components = decoder.output_components;
    if (components != 3 && components != 1)
        return false;
    const std::size_t width = decoder.output_width;
    const std::size_t height = decoder.output_height;
    picture.Width = static_cast<std::uint16_t>(width);
    picture.Height = static_cast<std::uint16_t>(height);
    picture.Format = GL_RGBA;
    if (!AllocateOpaque(picture.Pixels, width * height * 4))
        return false;
    JSAMPARRAY row = (*decoder.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decoder), JPOOL_IMAGE,
                                                  static_cast<JDIMENSION>(width * components), 1);
    // The decoder gives the top row first; the texture wants the bottom row first.
    while (decoder.output_scanline < height) {
        const std::size_t y = height - 1 - decoder.output_scanline;
        jpeg_read_scanlines(&decoder, row, 1);
        std::uint8_t* out = picture.Pixels.data() + y * width * 4;
        for (std::size_t x = 0; x < width; ++x, out += 4) {
            const JSAMPLE* in = row[0] + x * components;
            out[0] = in[0];
            out[1] = in[components == 3 ? 1 : 0];
            out[2] = in[components == 3 ? 2 : 0];
        }
    }
    jpeg_finish_decompress(&decoder);
    return true;
}

DecodeResult DecodeJPG(const std::uint8_t* bytes, std::size_t size, const char* fileName, bool fromResource)
{
    jpeg_decompress_struct decoder{};
    JpegErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = LeaveOnError;
    errors.Base.emit_message = IgnoreMessage;

    DecodeResult result;
    result.Ok = Decompress(decoder, errors, bytes, size, result.Picture);
    jpeg_destroy_decompress(&decoder);
    if (!result.Ok) {
        result.Picture = PixelBuffer{};
        result.Caption = "Zendra Engine";
        result.Text = fromResource ? std::string("I can`t load texture Resource - \"") + fileName + "\""
                                   : std::string("I can`t load texture - \"") + fileName + "\"";
    }
    return result;
}
