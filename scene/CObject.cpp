#include "scene/CObject.h"

#include <GL/gl.h>

#include "scene/CFrustum.h"

#include <initializer_list>

// The walks visit a node, its children in attachment order, then its following
// siblings. Siblings are walked in loops rather than by recursion, so a level
// with hundreds of wall pieces under one parent costs no stack; only the depth
// of the tree recurses.

namespace {
// Every node in a level tree is an object.
CObject* Obj(CNode* node) { return static_cast<CObject*>(node); }

// Inside PrepareTree, contactReach is fresh; outside it BeforeFrame always walks.
int prepareDepth = 0;

// The objects a drawing walk leaves for later, each with the matrix of its turn.
struct LaterDraws {
    static const int kMost = 8;  // a level has a ground and a water surface
    CObject* node[kMost];
    GLfloat matrix[kMost][16];
    int count = 0;
};

void RenderWalk(CObject* first, CViewCamera* camera, LaterDraws* later) {
    // The view as this level of the tree sees it (a parent may have moved the origin).
    CFrustum view;
    view.FromCurrentMatrices();
    for (CObject* node = first;;) {
        // Each object may translate freely: it and its children share one saved matrix.
        glPushMatrix();
        if (node->IsVisible(view)) {
            if (node->drawOrder == CObject::kInTurn || later->count == LaterDraws::kMost) {
                node->Render(camera);
            } else {
                later->node[later->count] = node;
                glGetFloatv(GL_MODELVIEW_MATRIX, later->matrix[later->count++]);
            }
        }
        if (node->child) RenderWalk(Obj(node->child), camera, later);
        glPopMatrix();
        if (!node->HasNextSibling()) break;
        node = Obj(node->next);
    }
}
}  // namespace

bool CObject::skipIdleContactWalks = true;

CObject::CObject()
    : isDead(false),
      handlesContacts(true),
      contactReach(true),
      drawOrder(kInTurn),
      walkAhead(nullptr),
      maxX(0.0f),
      minX(0.0f),
      maxY(0.0f),
      minY(0.0f),
      maxZ(0.0f),
      minZ(0.0f),
      position(0.0f, 0.0f, 0.0f),
      velocity(0.0f, 0.0f, 0.0f),
      acceleration(0.0f, 0.0f, 0.0f),
      size(0.0f),
      reachMarkedAt(CNode::shapeVersion - 1) {}

CObject::~CObject() {}

void CObject::Update(float dt) {
    // The position step uses the velocity from before this frame's change.
    position += velocity * dt;
    velocity += acceleration * dt;
}

void CObject::Render(CViewCamera*) {}

void CObject::HandleContact(CObject*) {}

void CObject::BeforeFrame() {
    // A walk from here reaches only this object, its subtree and its following siblings (a
    // hit spreads no further); if none of them handles contacts, it can change nothing.
    if (prepareDepth > 0 && skipIdleContactWalks && !contactReach) return;
    CheckContacts(Obj(FindRoot()));
}

void CObject::LoadAssets() {}

void CObject::FreeAssets() {}

bool CObject::IsVisible(const CFrustum&) { return true; }

void CObject::SetBox(const CVec3& centre, float halfX, float halfY, float halfZ) {
    maxX = centre.x + halfX;
    minX = centre.x - halfX;
    maxY = centre.y + halfY;
    minY = centre.y - halfY;
    maxZ = centre.z + halfZ;
    minZ = centre.z - halfZ;
}

void CObject::UpdateTree(float dt) {
    CObject* node = this;
    for (;;) {
        node->Update(dt);
        if (node->child) Obj(node->child)->UpdateTree(dt);
        if (!node->HasNextSibling()) break;
        node = Obj(node->next);
    }
    // Dead objects go only after their children and all following siblings have
    // been walked, last sibling first, so the ring never changes under a pending step.
    for (;;) {
        const bool first = (node == this);
        CObject* before = first ? nullptr : Obj(node->prev);
        if (node->isDead) delete node;
        if (first) break;
        node = before;
    }
}

void CObject::RenderTree(CViewCamera* camera) {
    LaterDraws later;
    RenderWalk(this, camera, &later);
    for (DrawOrder order : {kUnderneath, kSeeThrough})
        for (int i = 0; i < later.count; ++i) {
            if (later.node[i]->drawOrder != order) continue;
            glPushMatrix();
            glLoadMatrixf(later.matrix[i]);
            later.node[i]->Render(camera);
            glPopMatrix();
        }
}

void CObject::PrepareTree() {
    // Reach changes only with the tree's shape (handlesContacts is set before an object
    // joins a tree), so the marks are made again only after an attach, detach or delete.
    if (reachMarkedAt != CNode::shapeVersion) {
        MarkContactReach();
        reachMarkedAt = CNode::shapeVersion;
    }
    struct Depth {
        Depth() { ++prepareDepth; }
        ~Depth() { --prepareDepth; }
    } depth;
    PrepareWalk();
}

bool CObject::MarkContactReach() {
    // The ring's last sibling is the first child's prev; an unlinked node stands alone.
    CObject* last = parent ? Obj(parent->child->prev) : this;
    // From the last sibling back, so each node knows about the siblings after it.
    bool reach = false;
    CObject* met[kWalkAhead] = {};  // the last nodes met, the earliest at count % kWalkAhead
    int count = 0;
    for (CObject* node = last;; node = Obj(node->prev), ++count) {
        CObject*& earliest = met[count % kWalkAhead];
        node->walkAhead = earliest;  // met kWalkAhead steps ago: that far after this node
        earliest = node;
        const bool below = node->child && Obj(node->child)->MarkContactReach();
        reach = reach || node->handlesContacts || below;
        node->contactReach = reach;
        if (node == this) break;
    }
    return reach;
}

void CObject::PrepareWalk() {
    CObject* node = this;
    for (;;) {
        __builtin_prefetch(node->walkAhead);
        node->BeforeFrame();
        if (node->child) Obj(node->child)->PrepareWalk();
        if (!node->HasNextSibling()) break;
        node = Obj(node->next);
    }
}

bool CObject::IsInside(const CObject* other) const {
    // Strict on every face, and any NaN fails a comparison, so it is never a hit.
    return other->minX < position.x && position.x < other->maxX && other->minY < position.y &&
           position.y < other->maxY && other->minZ < position.z && position.z < other->maxZ;
}

void CObject::CheckContacts(CObject* other) {
    // This object meets `other`, then other's subtree, then other's following
    // siblings (the loop). A hit spreads to this object's children and following
    // siblings; each sibling reached that way then meets the rest of other's
    // subtree and siblings too, the last reached first.
    for (CObject* box = other;;) {
        __builtin_prefetch(box->walkAhead);
        CObject* reached = this;
        for (CObject* node = this; node->IsInside(box);) {
            node->HandleContact(box);
            if (node->child) Obj(node->child)->CheckContacts(box);
            if (!node->HasNextSibling()) break;
            node = Obj(node->next);
            reached = node;
        }
        for (CObject* node = reached; node != this; node = Obj(node->prev)) {
            if (box->child) node->CheckContacts(Obj(box->child));
            if (box->HasNextSibling()) node->CheckContacts(Obj(box->next));
        }
        if (box->child) CheckContacts(Obj(box->child));
        if (!box->HasNextSibling()) break;
        box = Obj(box->next);
    }
}
