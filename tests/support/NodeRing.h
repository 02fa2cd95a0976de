#ifndef PONDQUEST_TESTS_NODERING_H
#define PONDQUEST_TESTS_NODERING_H

// Walks of the scene tree's child rings for tests, so that each test reads a level's
// objects the same way instead of writing its own do/while over the ring.

#include "scene/CNode.h"
#include "scene/CObject.h"

#include <vector>

// A node's children in ring order (empty for none or a null parent).
inline std::vector<CNode*> RingChildren(const CNode* parent) {
    std::vector<CNode*> out;
    if (!parent || !parent->child) return out;
    CNode* n = parent->child;
    do {
        out.push_back(n);
        n = n->next;
    } while (n != parent->child);
    return out;
}

// Children of type T (or derived from it) not yet marked dead, in ring order.
template <class T>
std::vector<T*> LiveChildren(const CNode* parent) {
    std::vector<T*> out;
    for (CNode* n : RingChildren(parent)) {
        T* object = dynamic_cast<T*>(n);
        if (object && !object->isDead) out.push_back(object);
    }
    return out;
}

template <class T>
int LiveCount(const CNode* parent) {
    return static_cast<int>(LiveChildren<T>(parent).size());
}

// A node and everything below it.
inline int CountNodes(const CNode* node) {
    if (!node) return 0;
    int n = 1;
    for (CNode* c : RingChildren(node))
        n += CountNodes(c);
    return n;
}

// A node and everything below it, parents before their children (empty for null).
inline void SubtreeNodes(CNode* node, std::vector<CNode*>* out) {
    if (!node) return;
    out->push_back(node);
    for (CNode* c : RingChildren(node))
        SubtreeNodes(c, out);
}

#endif
