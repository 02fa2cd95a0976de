#ifndef PONDQUEST_TESTS_HEAPINUSE_H
#define PONDQUEST_TESTS_HEAPINUSE_H

#include <cstddef>

// Heap bytes the program holds right now (the sanitizer's allocator replaces malloc's).
size_t HeapInUse();

#endif
