#ifndef PONDQUEST_COBJECT_H
#define PONDQUEST_COBJECT_H

#include "scene/CNode.h"
#include "scene/CVec3.h"

class CFrustum;
class CViewCamera;

// Everything that lives in a level: motion, an axis-aligned contact box and a
// removal flag. The tree walks drive update, drawing and the contact pass.
// Aligned to a cache line, so that what the walks read of a node (the links, the flags, the
// box's x extent) is one line; unaligned, every walk read two lines a node and a 2000-cougar
// contact pass took half as long again.
class alignas(64) CObject : public CNode {
public:
    // What the walks read of every node comes first, next to the tree links.
    bool isDead;
    // False for objects whose HandleContact does nothing (set before the object joins a
    // tree): the contact pass skips the walks that could reach only such objects, so its cost
    // grows linearly with the tree.
    bool handlesContacts;
    // Set by PrepareTree when the tree's shape has changed: a walk started here can reach an
    // object that handles contacts.
    bool contactReach;
    // When RenderTree draws the object: in its turn; after everything drawn in turn (a ground
    // hides nothing, so only what shows of it is shaded); or last (see-through surfaces,
    // blended over what lies behind them). An object drawn later must not move its
    // children's origin in Render.
    enum DrawOrder : unsigned char { kInTurn, kUnderneath, kSeeThrough };
    DrawOrder drawOrder;
    // Set with the reach marks: the sibling kWalkAhead places further round the ring (null
    // near its end). The contact walk fetches it early, so a ring too big for the first-level
    // cache is not walked one memory wait a node.
    CObject* walkAhead;
    static const int kWalkAhead = 8;
    // The box's x extent shares the first cache line: most contact tests end there.
    float maxX, minX;
    float maxY, minY;
    float maxZ, minZ;
    CVec3 position;
    CVec3 velocity;
    CVec3 acceleration;
    float size;
    // The shapeVersion at which PrepareTree last marked the contact reach from here.
    unsigned reachMarkedAt;

    // Off, every object with the base BeforeFrame walks its whole tree (for comparison).
    static bool skipIdleContactWalks;

    CObject();
    ~CObject() override;

    virtual void Update(float dt);
    virtual void Render(CViewCamera* camera);
    virtual void HandleContact(CObject* other);
    virtual void BeforeFrame();
    virtual void LoadAssets();
    virtual void FreeAssets();
    // Whether Render could put anything inside the view; the default draws always.
    // Objects that answer here must answer for everything their Render draws, and
    // their Render must change nothing but the picture.
    virtual bool IsVisible(const CFrustum& view);

    // The contact box: centre plus or minus the half extents on each axis.
    void SetBox(const CVec3& centre, float halfX, float halfY, float halfZ);

    void UpdateTree(float dt);
    // Draws the tree in drawOrder, skipping the Render of objects wholly outside the current
    // view (their children are still walked).
    void RenderTree(CViewCamera* camera);
    void PrepareTree();
    // Point-in-box contact test of this object's position against other's box,
    // spreading through both trees.
    void CheckContacts(CObject* other);
    // This object's position lies strictly inside other's contact box.
    bool IsInside(const CObject* other) const;

private:
    void PrepareWalk();
    // Marks contactReach on this node, its following siblings and all their subtrees; true
    // when any of them handles contacts.
    bool MarkContactReach();
};

#endif
