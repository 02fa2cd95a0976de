#include "objects/CMaze.h"

#include "objects/CMazeWall.h"
#include "scene/CRandom.h"

namespace {

const float kRemoved = 666666.0f;
const int kSide = 11;  // cells per row and per column

// Union-find over the cells: a negative entry marks a root.
int Find(int* sets, int i) {
    if (sets[i] < 0) return i;
    sets[i] = Find(sets, sets[i]);
    return sets[i];
}

bool AllJoined(int* sets) {
    for (int i = 0; i < CMaze::kCellCount - 1; ++i)
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
    for (int j = 0; j < kWallCount; ++j) {
        if (!walls[j]) continue;
        if (wallSpots[j][0] == kRemoved) {
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
    for (int row = kSide; row >= 0; --row)
        for (int col = 0; col < kSide; ++col, ++i) {
            wallSpots[i][0] = col * 50.0f + 25.0f;
            wallSpots[i][1] = 0;
            wallSpots[i][2] = row * 50.0f;
        }
    // Columns of pieces running along z, from x = 0 to x = 550.
    for (int col = 0; col <= kSide; ++col)
        for (int row = kSide - 1; row >= 0; --row, ++i) {
            wallSpots[i][0] = col * 50.0f;
            wallSpots[i][1] = 0;
            wallSpots[i][2] = row * 50.0f + 25.0f;
        }
}

void CMaze::Generate() {
    int edgeCells[kEdgeCount][2];
    int edgePiece[kEdgeCount];
    for (int e = 0; e < 110; ++e) {
        // Same column, next row towards low z.
        edgeCells[e][0] = e;
        edgeCells[e][1] = e + kSide;
        edgePiece[e] = e + kSide;
    }
    for (int e = 110; e < kEdgeCount; ++e) {
        // Same row, next column towards high x.
        const int r = (e - 110) / kSide;
        const int k = (e - 110) % kSide;
        edgeCells[e][0] = k * kSide + r;
        edgeCells[e][1] = k * kSide + r + 1;
        edgePiece[e] = e + 33;
    }

    int sets[kCellCount];
    for (int c = 0; c < kCellCount; ++c)
        sets[c] = -1;

    // Extra pieces fall too, so the maze gets loops and open areas.
    const float extraLimit = kEdgeCount * 0.7f;
    do {
        const int e = CRandom::Rand() % kEdgeCount;
        const int t = CRandom::Rand() % kEdgeCount;
        const int a = edgeCells[e][0];
        const int b = edgeCells[e][1];
        if (Find(sets, a) != Find(sets, b)) {
            const int rootB = Find(sets, b);
            const int rootA = Find(sets, a);
            sets[rootB] = rootA;
            wallSpots[edgePiece[e]][0] = kRemoved;
        }
        if (t < extraLimit) wallSpots[edgePiece[e]][0] = kRemoved;
    } while (!AllJoined(sets));
}

void CMaze::Update(float) {}

void CMaze::Render(CViewCamera*) {}

void CMaze::HandleContact(CObject*) {}

void CMaze::BeforeFrame() {}
