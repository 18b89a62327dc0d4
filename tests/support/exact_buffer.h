// A copy of some bytes in a heap block of exactly their size, the way libFuzzer hands over its inputs.
// A std::vector or std::string usually has room after its data (capacity, the terminating zero), so a
// reader that looks one byte past the end reads that spare room and nobody notices; in a block of
// exactly the input's size the same read is a heap overflow that AddressSanitizer stops.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

class ExactBuffer {
public:
    ExactBuffer(const void* bytes, std::size_t size) : Bytes(new std::uint8_t[size]), Size(size)
    {
        if (size != 0)
            std::memcpy(Bytes.get(), bytes, size);
    }
    // Any container of bytes or chars: std::vector<std::uint8_t>, std::string.
    template <class Container>
    explicit ExactBuffer(const Container& bytes) : ExactBuffer(bytes.data(), bytes.size())
    {
    }

    const std::uint8_t* data() const { return Bytes.get(); }
    std::size_t size() const { return Size; }

private:
    std::unique_ptr<std::uint8_t[]> Bytes;
    std::size_t Size;
};
