#ifndef PONDQUEST_CNODE_H
#define PONDQUEST_CNODE_H

// Tree link: parent, first child and a circular doubly linked sibling ring.
// Deleting a node deletes its whole subtree.
class CNode {
public:
    CNode* parent;
    CNode* child;
    CNode* prev;
    CNode* next;

    CNode();
    virtual ~CNode();

    void AttachTo(CNode* newParent);
    void Detach();
    bool HasParent() const { return parent != nullptr; }
    bool HasChild() const { return child != nullptr; }
    bool IsLastChild() const;
    CNode* FindRoot();
};

#endif
