#include "objects/CMaze.h"

#include "objects/CMazeWall.h"
#include "scene/CRandom.h"

namespace {

const float REMOVED = 666666.0f;
const int SIDE = 11;  // cells per row and per column

// Union-find over the cells: a negative entry marks a root.
int Find(int* sets, int i) {
    if (sets[i] < 0) return i;
    sets[i] = Find(sets, sets[i]);
    return sets[i];
}

bool AllJoined(int* sets) {
    for (int i = 0; i < CMaze::CELL_COUNT - 1; ++i)
        if (Find(sets, i) != Find(sets, i + 1)) return false;
    return true;
}

}  // namespace

CMaze::CMaze(CMazeWall** walls) {
    handlesContacts = false;
    FillSpots();
    Generate();

    // A maze without pieces is still carved; nothing is placed then.
    if (!walls) return;
    for (int j = 0; j < WALL_COUNT; ++j) {
        if (!walls[j]) continue;
        if (wallSpots[j][0] == REMOVED) {
            walls[j]->SetPosition(-100, -5, -100);  // parked outside, sunk into the ground
            walls[j]->parked = true;
        } else {
            walls[j]->SetPosition(wallSpots[j][0], wallSpots[j][1], wallSpots[j][2]);
        }
    }
}

void CMaze::FillSpots() {
    int i = 0;
    // Rows of pieces running along x, from z = 550 down to z = 0.
    for (int row = SIDE; row >= 0; --row)
        for (int col = 0; col < SIDE; ++col, ++i) {
            wallSpots[i][0] = col * 50.0f + 25.0f;
            wallSpots[i][1] = 0;
            wallSpots[i][2] = row * 50.0f;
        }
    // Columns of pieces running along z, from x = 0 to x = 550.
    for (int col = 0; col <= SIDE; ++col)
        for (int row = SIDE - 1; row >= 0; --row, ++i) {
            wallSpots[i][0] = col * 50.0f;
            wallSpots[i][1] = 0;
            wallSpots[i][2] = row * 50.0f + 25.0f;
        }
}

void CMaze::Generate() {
    int edgeCells[EDGE_COUNT][2];
    int edgePiece[EDGE_COUNT];
    for (int e = 0; e < 110; ++e) {
        // Same column, next row towards low z.
        edgeCells[e][0] = e;
        edgeCells[e][1] = e + SIDE;
        edgePiece[e] = e + SIDE;
    }
    for (int e = 110; e < EDGE_COUNT; ++e) {
        // Same row, next column towards high x.
        const int r = (e - 110) / SIDE;
        const int k = (e - 110) % SIDE;
        edgeCells[e][0] = k * SIDE + r;
        edgeCells[e][1] = k * SIDE + r + 1;
        edgePiece[e] = e + 33;
    }

    int sets[CELL_COUNT];
    for (int c = 0; c < CELL_COUNT; ++c)
        sets[c] = -1;

    // Extra pieces fall too, so the maze gets loops and open areas.
    const float extraLimit = EDGE_COUNT * 0.7f;
    do {
        const int e = CRandom::Rand() % EDGE_COUNT;
        const int t = CRandom::Rand() % EDGE_COUNT;
        const int a = edgeCells[e][0];
        const int b = edgeCells[e][1];
        if (Find(sets, a) != Find(sets, b)) {
            const int rootB = Find(sets, b);
            const int rootA = Find(sets, a);
            sets[rootB] = rootA;
            wallSpots[edgePiece[e]][0] = REMOVED;
        }
        if (t < extraLimit) wallSpots[edgePiece[e]][0] = REMOVED;
    } while (!AllJoined(sets));
}

void CMaze::Update(float) {}

void CMaze::Render(CViewCamera*) {}

void CMaze::HandleContact(CObject*) {}

void CMaze::BeforeFrame() {}
