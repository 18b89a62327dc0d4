// Heap memory readied ahead of time for the texture uploads, which otherwise fault in tens of
// megabytes page by page on the main thread.
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "platform/platform.h"

static constexpr std::uintptr_t HugePageBytes = std::uintptr_t{2} << 20;

SysHeapBlock SysReserveHeap(std::size_t bytes)
{
    // Large blocks come from the heap and stay in it once freed, instead of each being mapped
    // afresh (and faulted in afresh) and handed back to the system.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    void* block = std::malloc(bytes);
    if (block == nullptr)
        return {};
    // Huge pages where the kernel gives them on request: one fault per 2 MiB instead of per 4 KiB.
    const auto first = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t start = (first + HugePageBytes - 1) & ~(HugePageBytes - 1);
    const std::uintptr_t end = (first + bytes) & ~(HugePageBytes - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    return {block, bytes};
}

void SysWarmUpHeap(SysHeapBlock block)
{
    if (block.Memory == nullptr)
        return;
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    auto* bytes = static_cast<volatile unsigned char*>(block.Memory);
    for (std::size_t at = 0; at < block.Bytes; at += page)
        bytes[at] = 0;
    std::free(block.Memory);
}
