#include "memorytuning.h"

#include <malloc.h>

void keepLargeAllocations()
{
    mallopt(M_MMAP_THRESHOLD, 32 << 20);   // the largest glibc takes
    mallopt(M_TRIM_THRESHOLD, 128 << 20);  // free memory kept at the top of the heap
}
