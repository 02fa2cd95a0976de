#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "scene/CObject.h"
#include "support/GLSuite.h"
#include "support/NodeRing.h"

namespace {

// Records every virtual call of the test objects as a short word, e.g. "UA" for
// A's Update, "HA<B" for A touching B, "DA" for A's destruction.
struct Trace {
    std::vector<std::string> events;
    void Add(const std::string& e) { events.push_back(e); }
    std::string Text() const {
        std::string s;
        for (const std::string& e : events)
            s += (s.empty() ? "" : " ") + e;
        return s;
    }
    void Clear() { events.clear(); }
};

class TObj : public CObject {
public:
    TObj(Trace* trace, std::string name, bool looksForContacts = false)
        : trace(trace), name(std::move(name)), looksForContacts(looksForContacts) {}
    ~TObj() override {
        if (trace) trace->Add("D" + name);
    }
    void Update(float dt) override {
        if (trace) trace->Add("U" + name);
        CObject::Update(dt);
    }
    void Render(CViewCamera*) override {
        if (trace) trace->Add("R" + name);
        if (onRender) onRender(this);
    }
    void HandleContact(CObject* other) override {
        if (trace) trace->Add("H" + name + "<" + static_cast<TObj*>(other)->name);
        if (onContact) onContact(this, static_cast<TObj*>(other));
    }
    void BeforeFrame() override {
        if (trace) trace->Add("B" + name);
        if (looksForContacts) CObject::BeforeFrame();
    }
    void SetBox(float x0, float x1, float y0, float y1, float z0, float z1) {
        minX = x0;
        maxX = x1;
        minY = y0;
        maxY = y1;
        minZ = z0;
        maxZ = z1;
    }
    void SetPos(float x, float y, float z) { position = CVec3(x, y, z); }

    Trace* trace;
    std::string name;
    bool looksForContacts;
    std::function<void(TObj*)> onRender;
    std::function<void(TObj*, TObj*)> onContact;
};

// A new object made the parent's last child, so that the parent's subtree owns it.
TObj* Kid(CNode* parent, Trace* trace, const char* name, bool looksForContacts = false) {
    TObj* o = new TObj(trace, name, looksForContacts);
    o->AttachTo(parent);
    return o;
}

TObj* Child(CNode* n) { return static_cast<TObj*>(n->child); }
TObj* Next(CNode* n) { return static_cast<TObj*>(n->next); }

// Names of a node's children in ring order, checking both directions of the ring.
std::string Children(CNode* parent) {
    std::string s;
    if (!parent->child) return s;
    CNode* first = parent->child;
    std::vector<CNode*> forward;
    CNode* n = first;
    do {
        EXPECT_EQ(n->parent, parent);
        forward.push_back(n);
        n = n->next;
    } while (n != first && forward.size() < 100000);
    size_t i = forward.size();
    n = first;
    do {
        n = n->prev;
        EXPECT_EQ(n, forward[--i]);
    } while (n != first && i > 0);
    for (CNode* c : forward)
        s += static_cast<TObj*>(c)->name;
    return s;
}

// The walks as plain recursion, straight from their rules; the game's loops must match them.
bool RefInside(const CObject* a, const CObject* o) {
    return o->minX < a->position.x && a->position.x < o->maxX && o->minY < a->position.y &&
           a->position.y < o->maxY && o->minZ < a->position.z && a->position.z < o->maxZ;
}
bool RefHasNext(const CNode* n) { return n->parent && n->parent->child->prev != n; }

void RefCheck(CObject* a, CObject* o) {
    if (RefInside(a, o)) {
        a->HandleContact(o);
        if (a->child) RefCheck(static_cast<CObject*>(a->child), o);
        if (RefHasNext(a)) RefCheck(static_cast<CObject*>(a->next), o);
    }
    if (o->child) RefCheck(a, static_cast<CObject*>(o->child));
    if (RefHasNext(o)) RefCheck(a, static_cast<CObject*>(o->next));
}

void RefUpdate(CObject* n, float dt) {
    n->Update(dt);
    if (n->child) RefUpdate(static_cast<CObject*>(n->child), dt);
    if (RefHasNext(n)) RefUpdate(static_cast<CObject*>(n->next), dt);
    if (n->isDead) delete n;
}

void RefPrepare(TObj* n, TObj* root, Trace* trace) {
    trace->Add("B" + n->name);
    if (n->looksForContacts) RefCheck(n, root);
    if (n->child) RefPrepare(Child(n), root, trace);
    if (RefHasNext(n)) RefPrepare(Next(n), root, trace);
}

std::string Shape(CNode* n) {
    std::string s = static_cast<TObj*>(n)->name;
    if (n->child) {
        s += "(";
        for (CNode* c : RingChildren(n))
            s += Shape(c) + " ";
        s += ")";
    }
    return s;
}

// A random tree of named objects whose positions and boxes overlap often.
std::vector<TObj*> RandomTree(unsigned seed, Trace* trace, int count) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(0, 4);
    std::vector<TObj*> nodes;
    for (int i = 0; i < count; ++i) {
        TObj* o = new TObj(trace, "n" + std::to_string(i), rng() % 2 == 0);
        o->SetPos(coord(rng), coord(rng) / 2, coord(rng));
        float x = coord(rng), z = coord(rng);
        float w = 1 + coord(rng), d = 1 + coord(rng);
        o->SetBox(x - w, x + w, -1, 2, z - d, z + d);
        o->isDead = rng() % 4 == 0;
        if (i > 0) o->AttachTo(nodes[rng() % nodes.size()]);
        nodes.push_back(o);
    }
    return nodes;
}

// Runs fn on a thread with a small stack: a walk that recursed once per sibling would overflow it.
void RunOnSmallStack(const std::function<void()>& fn) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, 2u << 20), 0);
    pthread_t thread;
    auto body = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, body, const_cast<std::function<void()>*>(&fn)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

}  // namespace

TEST(SceneTreeLinks, NewObjectIsUnlinkedAndZeroed) {
    CObject o;
    EXPECT_EQ(o.parent, nullptr);
    EXPECT_EQ(o.child, nullptr);
    EXPECT_EQ(o.prev, &o);
    EXPECT_EQ(o.next, &o);
    EXPECT_FALSE(o.HasParent());
    EXPECT_FALSE(o.HasChild());
    EXPECT_FALSE(o.IsLastChild());
    EXPECT_EQ(o.position.Length() + o.velocity.Length() + o.acceleration.Length(), 0.0f);
    EXPECT_EQ(o.size, 0.0f);
    EXPECT_FALSE(o.isDead);
    // The empty box holds nothing, not even its own corner.
    EXPECT_FALSE(o.IsInside(&o));
}

TEST(SceneTreeLinks, AttachKeepsOrderAndDetachRepairsRing) {
    Trace t;
    TObj p(&t, "P");
    TObj* a = Kid(&p, &t, "A");
    TObj* b = Kid(&p, &t, "B");
    TObj* c = Kid(&p, &t, "C");
    EXPECT_EQ(p.child, a);
    EXPECT_EQ(Children(&p), "ABC");
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(c->next, a);
    EXPECT_EQ(a->prev, c);
    EXPECT_FALSE(a->IsLastChild());
    EXPECT_FALSE(b->IsLastChild());
    EXPECT_TRUE(c->IsLastChild());
    EXPECT_FALSE(p.IsLastChild());
    EXPECT_TRUE(p.HasChild());
    EXPECT_TRUE(a->HasParent());

    a->Detach();
    EXPECT_EQ(p.child, b);
    EXPECT_EQ(Children(&p), "BC");
    EXPECT_EQ(a->prev, a);
    EXPECT_EQ(a->next, a);
    EXPECT_FALSE(a->HasParent());
    EXPECT_FALSE(a->IsLastChild());

    c->Detach();  // the last child: B is now first and last
    EXPECT_EQ(Children(&p), "B");
    EXPECT_TRUE(b->IsLastChild());
    b->Detach();
    EXPECT_EQ(p.child, nullptr);
    EXPECT_FALSE(p.HasChild());
    b->Detach();  // detaching an unlinked node changes nothing
    EXPECT_EQ(b->prev, b);
    delete a;
    delete b;
    delete c;
}

TEST(SceneTreeLinks, ReattachMovesBetweenParentsAndToTheEnd) {
    Trace t;
    TObj p(&t, "P"), q(&t, "Q");
    TObj* a = Kid(&p, &t, "A");
    TObj* b = Kid(&p, &t, "B");
    Kid(&p, &t, "C");
    a->AttachTo(&p);  // again: becomes the last child
    EXPECT_EQ(Children(&p), "BCA");
    b->AttachTo(&q);
    EXPECT_EQ(Children(&p), "CA");
    EXPECT_EQ(Children(&q), "B");
    EXPECT_EQ(b->parent, &q);
}

TEST(SceneTreeLinks, NullParentDetachesAndLoopsAreRefused) {
    Trace t;
    TObj root(&t, "R");
    TObj* a = Kid(&root, &t, "A");
    TObj* a1 = Kid(a, &t, "a");
    a->AttachTo(a1);  // would make A its own ancestor
    EXPECT_EQ(a->parent, &root);
    EXPECT_EQ(Children(a), "a");
    a->AttachTo(a);
    EXPECT_EQ(a->parent, &root);
    EXPECT_EQ(Children(&root), "A");
    EXPECT_EQ(a->FindRoot(), &root);

    a->AttachTo(nullptr);
    EXPECT_EQ(root.child, nullptr);
    EXPECT_FALSE(a->HasParent());
    EXPECT_EQ(a->FindRoot(), a);
    delete a;
}

TEST(SceneTreeLinks, FindRootFromAnyDepth) {
    Trace t;
    TObj r(&t, "R");
    TObj* b = Kid(Kid(&r, &t, "A"), &t, "B");
    TObj* c = Kid(b, &t, "C");
    EXPECT_EQ(c->FindRoot(), &r);
    EXPECT_EQ(b->FindRoot(), &r);
    EXPECT_EQ(r.FindRoot(), &r);
}

TEST(SceneTreeLinks, DeletingANodeDeletesItsSubtreeDepthFirst) {
    Trace t;
    TObj* r = new TObj(&t, "R");
    TObj* a = Kid(r, &t, "A");
    TObj* b = Kid(r, &t, "B");
    Kid(r, &t, "C");
    Kid(a, &t, "a");
    delete b;  // a middle child leaves the ring intact
    EXPECT_EQ(Children(r), "AC");
    t.Clear();
    delete r;
    EXPECT_EQ(t.Text(), "DR DA Da DC");
}

TEST(SceneTreeUpdate, MotionUsesVelocityFromBeforeThisFrame) {
    CObject o;
    o.position = CVec3(1, 2, 3);
    o.velocity = CVec3(10, 0, 0);
    o.acceleration = CVec3(0, -10, 2);
    o.UpdateTree(0.5f);
    EXPECT_FLOAT_EQ(o.position.x, 6);
    EXPECT_FLOAT_EQ(o.position.y, 2);
    EXPECT_FLOAT_EQ(o.position.z, 3);
    EXPECT_FLOAT_EQ(o.velocity.y, -5);
    EXPECT_FLOAT_EQ(o.velocity.z, 1);
    o.UpdateTree(0.5f);
    EXPECT_FLOAT_EQ(o.position.y, -0.5f);
    EXPECT_FLOAT_EQ(o.position.z, 3.5f);
}

class SmallTree : public ::testing::Test {
protected:
    // R ( A ( a1 a2 ) B C ( c1 ) )
    void SetUp() override {
        r = new TObj(&t, "R", true);
        a = Make("A", r);
        a1 = Make("a1", a);
        a2 = Make("a2", a);
        b = Make("B", r);
        c = Make("C", r);
        c1 = Make("c1", c);
    }
    void TearDown() override { delete r; }
    TObj* Make(const char* name, TObj* parent) { return Kid(parent, &t, name, true); }
    Trace t;
    TObj *r, *a, *a1, *a2, *b, *c, *c1;
};

TEST_F(SmallTree, UpdateVisitsPreOrderAndDeletesAfterFollowingSiblings) {
    a1->isDead = a2->isDead = b->isDead = c->isDead = c1->isDead = true;
    r->UpdateTree(0.1f);
    EXPECT_EQ(t.Text(), "UR UA Ua1 Ua2 Da2 Da1 UB UC Uc1 Dc1 DC DB");
    EXPECT_EQ(Shape(r), "R(A )");
}

TEST_F(SmallTree, DeadParentTakesLiveChildrenWithIt) {
    a->isDead = true;
    r->UpdateTree(0.1f);
    EXPECT_EQ(t.Text(), "UR UA Ua1 Ua2 UB UC Uc1 DA Da1 Da2");
    EXPECT_EQ(Shape(r), "R(B C(c1 ) )");
}

TEST_F(SmallTree, WalkFromAMiddleSiblingSkipsEarlierOnes) {
    b->isDead = true;
    b->UpdateTree(0.1f);
    EXPECT_EQ(t.Text(), "UB UC Uc1 DB");
    t.Clear();
    c->PrepareTree();
    EXPECT_EQ(t.Text(), "BC Bc1");
}

TEST_F(SmallTree, PrepareVisitsPreOrderWithoutContactsInEmptyBoxes) {
    r->PrepareTree();
    EXPECT_EQ(t.Text(), "BR BA Ba1 Ba2 BB BC Bc1");
}

TEST(SceneTreeUpdate, RingOfThreeLosesLastTwoLastFirst) {
    Trace t;
    TObj p(&t, "P");
    TObj* a = Kid(&p, &t, "A");
    TObj* b = Kid(&p, &t, "B");
    TObj* c = Kid(&p, &t, "C");
    b->isDead = c->isDead = true;
    p.UpdateTree(0.1f);
    EXPECT_EQ(t.Text(), "UP UA UB UC DC DB");
    EXPECT_EQ(Children(&p), "A");
    EXPECT_TRUE(a->IsLastChild());
}

TEST(SceneTreeUpdate, MatchesPlainRecursionOnRandomTrees) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        Trace mine, ref;
        std::vector<TObj*> x = RandomTree(seed, &mine, 30);
        std::vector<TObj*> y = RandomTree(seed, &ref, 30);
        // Never delete the roots here; they are deleted below.
        x[0]->isDead = y[0]->isDead = false;
        x[0]->UpdateTree(0.25f);
        RefUpdate(y[0], 0.25f);
        ASSERT_EQ(mine.Text(), ref.Text()) << "seed " << seed;
        ASSERT_EQ(Shape(x[0]), Shape(y[0])) << "seed " << seed;
        EXPECT_NE(mine.Text().find('D'), std::string::npos);
        mine.Clear();
        ref.Clear();
        delete x[0];
        delete y[0];
        EXPECT_EQ(mine.Text(), ref.Text());
    }
}

TEST(SceneTreeContacts, PointInBoxIsStrictAndNaNNeverHits) {
    CObject box, p;
    box.minX = -1;
    box.maxX = 1;
    box.minY = 0;
    box.maxY = 2;
    box.minZ = -3;
    box.maxZ = 3;
    p.position = CVec3(0, 1, 0);
    EXPECT_TRUE(p.IsInside(&box));
    const float faces[6][3] = {{1, 1, 0}, {-1, 1, 0}, {0, 2, 0}, {0, 0, 0}, {0, 1, 3}, {0, 1, -3}};
    for (const auto& f : faces) {
        p.position = CVec3(f[0], f[1], f[2]);
        EXPECT_FALSE(p.IsInside(&box)) << f[0] << " " << f[1] << " " << f[2];
    }
    p.position = CVec3(std::nextafter(1.0f, 0.0f), 1, 0);
    EXPECT_TRUE(p.IsInside(&box));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    p.position = CVec3(0, nan, 0);
    EXPECT_FALSE(p.IsInside(&box));
    p.position = CVec3(0, 1, 0);
    box.maxZ = nan;
    EXPECT_FALSE(p.IsInside(&box));
    box.maxZ = std::numeric_limits<float>::infinity();
    box.minZ = -std::numeric_limits<float>::infinity();
    EXPECT_TRUE(p.IsInside(&box));
}

TEST(SceneTreeContacts, OneObjectInsideAnotherGivesExactlyOneContact) {
    Trace t;
    TObj r(&t, "R", true);
    TObj* a = Kid(&r, &t, "A", true);
    TObj* b = Kid(&r, &t, "B", true);
    r.SetPos(100, 100, 100);
    a->SetPos(0, 0, 0);
    a->SetBox(10, 11, 10, 11, 10, 11);
    b->SetPos(5, 5, 5);
    b->SetBox(-1, 1, -1, 1, -1, 1);
    r.PrepareTree();
    EXPECT_EQ(t.Text(), "BR BA HA<B BB");
}

TEST(SceneTreeContacts, OwnBoxGivesContactWithItself) {
    Trace t;
    TObj r(&t, "R", true);
    r.SetBox(-1, 1, -1, 1, -1, 1);
    r.PrepareTree();
    EXPECT_EQ(t.Text(), "BR HR<R");
}

TEST(SceneTreeContacts, HitSpreadsToChildrenAndFollowingSiblings) {
    Trace t;
    TObj r(&t, "R");
    Kid(Kid(&r, &t, "A", true), &t, "a");
    Kid(&r, &t, "B");
    TObj* o = Kid(&r, &t, "O");
    o->SetBox(-1, 1, -1, 1, -1, 1);
    o->SetPos(50, 0, 0);
    r.SetPos(50, 0, 0);
    r.PrepareTree();
    // A stands in O's box, so its child and its following siblings are tested against O too.
    EXPECT_EQ(t.Text(), "BR BA HA<O Ha<O HB<O Ba BB BO");
}

// The reach marks are kept between frames: a change of the tree's shape must renew them.
TEST(SceneTreeContacts, ReachFollowsTheTreeAsItChanges) {
    Trace t;
    auto idle = [&t](const char* name, bool looks) {
        TObj* o = new TObj(&t, name, looks);
        o->handlesContacts = false;
        return o;
    };
    std::unique_ptr<TObj> r(idle("R", false));
    TObj* a = idle("A", true);
    a->AttachTo(r.get());
    TObj* o = idle("O", false);
    o->AttachTo(r.get());
    o->SetBox(-1, 1, -1, 1, -1, 1);
    r->PrepareTree();
    EXPECT_EQ(t.Text(), "BR BA BO") << "A's walk reaches no handler";
    TObj* c = Kid(a, &t, "C");
    t.Clear();
    r->PrepareTree();
    EXPECT_NE(t.Text().find("HC<O"), std::string::npos) << t.Text();
    delete c;
    t.Clear();
    r->PrepareTree();
    EXPECT_EQ(t.Text(), "BR BA BO");
}

TEST(SceneTreeContacts, MatchesPlainRecursionOnRandomTrees) {
    size_t contacts = 0;
    for (unsigned seed = 100; seed < 140; ++seed) {
        Trace mine, ref;
        std::vector<TObj*> x = RandomTree(seed, &mine, 30);
        for (TObj* from : x)
            for (TObj* start : {x[0], x[seed % x.size()]}) {
                mine.Clear();
                ref.Clear();
                from->CheckContacts(start);
                for (TObj* n : x)
                    n->trace = &ref;
                RefCheck(from, start);
                for (TObj* n : x)
                    n->trace = &mine;
                ASSERT_EQ(mine.Text(), ref.Text()) << "seed " << seed << " from " << from->name;
                contacts += mine.events.size();
            }
        mine.Clear();
        ref.Clear();
        x[0]->PrepareTree();
        for (TObj* n : x)
            n->trace = &ref;
        RefPrepare(x[0], x[0], &ref);
        EXPECT_EQ(mine.Text(), ref.Text()) << "seed " << seed;
        for (TObj* n : x)
            n->trace = nullptr;
        delete x[0];
    }
    EXPECT_GT(contacts, 1000u);  // the random boxes really overlap
}

TEST(SceneTreeLarge, HundredThousandSiblingsNeedNoDeepStack) {
    const int count = 100000;
    Trace none;
    TObj* root = new TObj(nullptr, "R");
    int hits = 0;
    for (int i = 0; i < count; ++i) {
        TObj* o = new TObj(nullptr, "w");
        o->velocity = CVec3(1, 0, 0);
        o->SetPos(0, 0, static_cast<float>(i % 7));
        o->onContact = [&hits](TObj*, TObj*) { ++hits; };
        o->AttachTo(root);
    }
    // Last, so the walls reached by a spread have no further siblings of O to meet.
    TObj* big = new TObj(nullptr, "O");
    big->AttachTo(root);
    big->SetBox(-10, 10, -10, 10, -10, 10);
    big->SetPos(100, 0, 0);
    TObj* firstWall = Child(root);
    int remaining = -1;
    RunOnSmallStack([&] {
        root->UpdateTree(0.5f);
        root->PrepareTree();
        // The first wall meets every wall's (empty) box, then stands in O's box,
        // which spreads the test over all its following siblings.
        firstWall->CheckContacts(root);
        // Every second wall dies; they go in one walk.
        int i = 0;
        for (CNode* n = firstWall;; n = n->next, ++i) {
            if (n == big) break;
            static_cast<TObj*>(n)->isDead = i % 2 == 0;
        }
        root->UpdateTree(0.5f);
        remaining = 0;
        for (CNode* n = root->child;; n = n->next) {
            ++remaining;
            if (n->IsLastChild()) break;
        }
        delete root;
    });
    EXPECT_EQ(hits, count);
    EXPECT_EQ(remaining, 1 + count / 2);
}

// Drawing on a real context.
class SceneTreeRender : public GLSuite<200, 200> {
protected:
    void SetUp() override {
        gl->SetupProjection();
        gl->Clear(0, 0, 0);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 200, 0, 200, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

namespace {
// Draws a 20 x 20 square at the current origin after moving it by (dx, dy).
std::function<void(TObj*)> Square(float dx, float dy, float r, float g, float b) {
    return [=](TObj*) {
        glTranslatef(dx, dy, 0);
        glColor3f(r, g, b);
        glBegin(GL_QUADS);
        glVertex2f(0, 0);
        glVertex2f(20, 0);
        glVertex2f(20, 20);
        glVertex2f(0, 20);
        glEnd();
    };
}
bool IsColour(const PixelImage& img, int x, int yUp, int r, int g, int b) {
    const uint8_t* p = img.At(x, img.height - 1 - yUp);
    return p[0] == r && p[1] == g && p[2] == b;
}
}  // namespace

TEST_F(SceneTreeRender, ModelviewDepthIsRestoredAndNestsWithTheTree) {
    Trace t;
    TObj r(&t, "R");
    TObj* a = Kid(&r, &t, "A");
    TObj* a1 = Kid(a, &t, "a");
    TObj* b = Kid(&r, &t, "B");
    std::vector<int> depths;
    auto record = [&depths](TObj*) {
        GLint d = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d);
        depths.push_back(d);
        glTranslatef(1, 0, 0);
    };
    r.onRender = a->onRender = a1->onRender = b->onRender = record;
    const int before = gl->ModelviewDepth();
    r.RenderTree(nullptr);
    EXPECT_EQ(gl->ModelviewDepth(), before);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(t.Text(), "RR RA Ra RB");
    ASSERT_EQ(depths.size(), 4u);
    EXPECT_EQ(depths[0], before + 1);
    EXPECT_EQ(depths[1], before + 2);
    EXPECT_EQ(depths[2], before + 3);
    EXPECT_EQ(depths[3], before + 2);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0f);  // the objects' translations did not leak out
}

TEST_F(SceneTreeRender, ChildrenDrawInTheirParentsMatrixSiblingsDoNot) {
    TObj r(nullptr, "R");
    TObj* parent = Kid(&r, nullptr, "A");
    TObj* kid = Kid(parent, nullptr, "a");
    TObj* sibling = Kid(&r, nullptr, "B");
    parent->onRender = Square(100, 10, 1, 0, 0);  // red at (100, 10)
    kid->onRender = Square(0, 50, 0, 1, 0);       // green 50 above its parent: (100, 60)
    sibling->onRender = Square(10, 10, 0, 0, 1);  // blue at (10, 10), untouched by the red move
    r.RenderTree(nullptr);
    PixelImage img = gl->ReadPixels();
    EXPECT_TRUE(IsColour(img, 110, 20, 255, 0, 0));
    EXPECT_TRUE(IsColour(img, 110, 70, 0, 255, 0));
    EXPECT_TRUE(IsColour(img, 20, 20, 0, 0, 255));
    EXPECT_TRUE(IsColour(img, 20, 70, 0, 0, 0));  // no green above the sibling
    EXPECT_TRUE(IsColour(img, 120, 120, 0, 0, 0));
    EXPECT_EQ(gl->ModelviewDepth(), 1);
}

TEST_F(SceneTreeRender, FrameDrawsNothingThatAContactKilled) {
    Trace t;
    TObj r(&t, "R");
    TObj* player = Kid(&r, &t, "P", true);
    TObj* food = Kid(&r, &t, "F");
    TObj* crumb = Kid(food, &t, "f");
    food->SetBox(-1, 1, -1, 1, -1, 1);
    food->SetPos(50, 0, 0);  // so the hit spreads no further than the player
    crumb->SetPos(50, 0, 0);
    food->onRender = Square(50, 50, 1, 1, 0);
    crumb->onRender = Square(0, 0, 1, 1, 1);
    player->onContact = [](TObj*, TObj* other) { other->isDead = true; };
    // One frame: contacts, motion and removal, drawing.
    r.PrepareTree();
    r.UpdateTree(0.016f);
    r.RenderTree(nullptr);
    EXPECT_EQ(t.Text(), "BR BP HP<F BF Bf UR UP UF Uf DF Df RR RP");
    PixelImage img = gl->ReadPixels();
    EXPECT_EQ(img.Count(0, 0, 200, 200, [](int r, int g, int b) { return r + g + b > 0; }), 0);
}

TEST_F(SceneTreeRender, HundredThousandSiblingsDrawWithoutDeepStack) {
    TObj root(nullptr, "R");
    int drawn = 0;
    for (int i = 0; i < 100000; ++i) {
        TObj* o = new TObj(nullptr, "w");
        o->onRender = [&drawn](TObj*) {
            ++drawn;
            glTranslatef(1, 0, 0);
        };
        o->AttachTo(&root);
    }
    int depth = -1;
    GLenum error = GL_NO_ERROR;
    // The context moves to the small-stack thread for the walk and back afterwards.
    SDL_GL_MakeCurrent(gl->window, nullptr);
    RunOnSmallStack([&] {
        SDL_GL_MakeCurrent(gl->window, gl->context);
        root.RenderTree(nullptr);
        depth = gl->ModelviewDepth();
        error = glGetError();
        SDL_GL_MakeCurrent(gl->window, nullptr);
    });
    SDL_GL_MakeCurrent(gl->window, gl->context);
    EXPECT_EQ(drawn, 100000);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(error, static_cast<GLenum>(GL_NO_ERROR));
}
