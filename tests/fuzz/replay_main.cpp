// Feeds files, or every file of the given directories, through a fuzz entry the way libFuzzer would,
// so that the seed corpora are replayed in builds without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/exact_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Each input goes over in a block of exactly its size, as libFuzzer hands it over: a vector's spare
// capacity would hide a read one byte past the end from AddressSanitizer.
static void Replay(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const ExactBuffer exact(bytes);
    LLVMFuzzerTestOneInput(exact.data(), exact.size());
}

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& input : inputs)
        Replay(input);
    std::printf("replayed %zu inputs\n", inputs.size());
    // An empty corpus is a mistake in the set-up, not a pass.
    return inputs.empty() ? 1 : 0;
}
