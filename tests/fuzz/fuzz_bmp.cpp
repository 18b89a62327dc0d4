// libFuzzer entry for the BMP decoder.
#include "tests/fuzz/check_decoded.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckDecoded(DecodeBMP(data, size, "data\\fuzz.bmp", false));
    return 0;
}
