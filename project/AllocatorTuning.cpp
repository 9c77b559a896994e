#include "project/AllocatorTuning.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

void tuneAllocatorForLargeDocuments()
{
#ifdef __GLIBC__
    mallopt(M_MXFAST, 0);
#endif
}
