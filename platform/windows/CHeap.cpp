#include "platform/CHeap.h"

#include <malloc.h>

void CHeap::ReturnFreePages() { _heapmin(); }
