#ifndef PONDQUEST_CHEAP_H
#define PONDQUEST_CHEAP_H

// The C library's heap. Each platform has its own source for this header.
class CHeap {
public:
    // Hands the pages of freed memory back to the system (after a level build, which frees the
    // level it replaces and the pictures it decodes), so the next build starts no higher.
    static void ReturnFreePages();
};

#endif
