// libFuzzer entry for the JPEG decoder.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "tests/fuzz/check_decoded.h"

// A header may declare up to 65500 x 65500 pixels in a few bytes; decoding such a picture only
// measures memory and time, so inputs above this are left out (the decoder handles them the same way).
constexpr unsigned long MaxFuzzPixels = 1u << 20;

struct PeekErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Return;
};

static void LeavePeek(j_common_ptr decoder)
{
    std::longjmp(reinterpret_cast<PeekErrors*>(decoder->err)->Return, 1);
}

static void IgnorePeekMessage(j_common_ptr, int) {}

// Whether the header is readable and declares a picture small enough to decode here.
static bool SmallEnough(const std::uint8_t* data, std::size_t size)
{
    jpeg_decompress_struct decoder{};
    PeekErrors errors{};
    decoder.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = LeavePeek;
    errors.Base.emit_message = IgnorePeekMessage;
    bool small = true;
    if (setjmp(errors.Return) == 0) {
        jpeg_create_decompress(&decoder);
        jpeg_mem_src(&decoder, data, static_cast<unsigned long>(size));
        jpeg_read_header(&decoder, TRUE);
        small = static_cast<unsigned long>(decoder.image_width) * decoder.image_height <= MaxFuzzPixels;
    }
    jpeg_destroy_decompress(&decoder);
    return small;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!SmallEnough(data, size))
        return 0;
    CheckDecoded(DecodeJPG(data, size, "data\\fuzz.jpg", false));
    return 0;
}
