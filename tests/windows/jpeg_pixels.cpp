// Prints, for each JPEG file named, the size and a 64-bit FNV-1a digest of the pixels the
// production's decoder makes of it. Built for Linux and for Windows, so the two builds' decoders
// can be compared picture by picture.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "textures/textures.h"

static std::uint64_t Digest(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint8_t byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

int main(int argc, char** argv)
{
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        std::string name = argv[i];
        name.erase(0, name.find_last_of("/\\") + 1);
        const DecodeResult decoded = DecodeJPG(bytes.data(), bytes.size(), argv[i], false);
        if (!file || !decoded.Ok) {
            std::printf("%s: not decoded: %s\n", name.c_str(), decoded.Text.c_str());
            ++failures;
            continue;
        }
        std::printf("%s %ux%u %016llx\n", name.c_str(), unsigned(decoded.Picture.Width),
                    unsigned(decoded.Picture.Height), static_cast<unsigned long long>(Digest(decoded.Picture.Pixels)));
    }
    return failures == 0 ? 0 : 1;
}
