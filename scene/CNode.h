#ifndef PONDQUEST_CNODE_H
#define PONDQUEST_CNODE_H

// Tree link: parent, first child and a circular doubly linked sibling ring
// (the first child's prev is the last child). Deleting a node deletes its
// whole subtree.
class CNode {
public:
    CNode* parent;
    CNode* child;
    CNode* prev;
    CNode* next;

    // Changes with every attach and detach, in any tree: what is worked out from a tree's
    // shape stays good while it holds.
    static unsigned shapeVersion;

    CNode();
    virtual ~CNode();

    // Makes this node the last child of newParent. A null parent just detaches;
    // a parent inside this node's own subtree is refused, as it would close a loop.
    void AttachTo(CNode* newParent);
    void Detach();
    bool HasParent() const { return parent != nullptr; }
    bool HasChild() const { return child != nullptr; }
    bool IsLastChild() const { return parent != nullptr && parent->child->prev == this; }
    CNode* FindRoot();
    // The walks go on to the next sibling only from a linked node that is not the last child.
    bool HasNextSibling() const { return parent != nullptr && !IsLastChild(); }
};

#endif
