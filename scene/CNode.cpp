#include "scene/CNode.h"

unsigned CNode::shapeVersion = 0;

CNode::CNode() : parent(nullptr), child(nullptr), prev(this), next(this) {}

CNode::~CNode() {
    Detach();
    // Each child's destructor detaches it, so the first child moves on until none is left.
    while (child)
        delete child;
}

void CNode::AttachTo(CNode* newParent) {
    for (CNode* up = newParent; up; up = up->parent)
        if (up == this) return;
    if (parent) Detach();
    if (!newParent) return;
    ++shapeVersion;
    parent = newParent;
    if (!newParent->child) {
        newParent->child = this;
    } else {
        CNode* first = newParent->child;
        prev = first->prev;
        next = first;
        first->prev->next = this;
        first->prev = this;
    }
}

void CNode::Detach() {
    ++shapeVersion;
    if (parent && parent->child == this) parent->child = (next == this) ? nullptr : next;
    prev->next = next;
    next->prev = prev;
    prev = next = this;
    // Nothing reads the parent of a detached node, but a cleared link keeps HasParent honest.
    parent = nullptr;
}

CNode* CNode::FindRoot() {
    CNode* node = this;
    while (node->parent)
        node = node->parent;
    return node;
}
