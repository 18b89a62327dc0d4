// libFuzzer entry for the TGA decoder.
#include "tests/fuzz/check_decoded.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckDecoded(DecodeTGA(data, size, "data\\fuzz.tga", false));
    return 0;
}
