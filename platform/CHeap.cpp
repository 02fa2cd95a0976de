#include "platform/CHeap.h"

#include <malloc.h>

void CHeap::ReturnFreePages() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
