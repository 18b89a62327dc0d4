// Heap warm-up on Windows: nothing to do; the uploads take their memory as it comes.
#include "platform/platform.h"

SysHeapBlock SysReserveHeap(std::size_t)
{
    return {};
}

void SysWarmUpHeap(SysHeapBlock) {}
