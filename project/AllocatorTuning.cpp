#include "project/AllocatorTuning.h"

#include <cstdlib> // defines __GLIBC__ where glibc is the C library

#ifdef __GLIBC__
#include <malloc.h>
#endif

void tuneAllocatorForLargeDocuments()
{
#ifdef __GLIBC__
    mallopt(M_MXFAST, 0);
#endif
}
