// The write loop of vfs_io.cpp and vfs_io_win32.cpp.
#include "chunked_write.h"

#include <algorithm>
#include <cstdlib>

namespace {

long long KillAfter()
{
    static const long long limit = [] {
        const char* value = std::getenv("MORAVEL_VFS_KILL_AFTER");
        return value != nullptr ? std::atoll(value) : -1LL;
    }();
    return limit;
}

long long BytesWritten = 0;

}  // namespace

bool WriteInChunks(const std::uint8_t* data, std::size_t size, const WriteSomeBytes& writeSome, void (*endNow)())
{
    while (size > 0) {
        std::size_t chunk = std::min(size, WriteChunk);
        if (KillAfter() >= 0 && BytesWritten + static_cast<long long>(chunk) > KillAfter()) {
            chunk = static_cast<std::size_t>(std::max(0LL, KillAfter() - BytesWritten));
            std::size_t done = 0;
            if (chunk > 0 && !writeSome(data, chunk, done))
                return false;
            endNow();
        }
        std::size_t done = 0;
        if (!writeSome(data, chunk, done))
            return false;
        data += done;
        size -= done;
        BytesWritten += static_cast<long long>(done);
    }
    return true;
}
