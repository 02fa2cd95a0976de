#ifndef PONDQUEST_CMAZE_H
#define PONDQUEST_CMAZE_H

#include "scene/CObject.h"

class CMazeWall;

// Carves the 11 x 11 maze once, in its constructor, and places the 264 pieces.
class CMaze : public CObject {
public:
    static const int WALL_COUNT = 264;
    static const int CELL_COUNT = 121;
    static const int EDGE_COUNT = 220;

    float wallSpots[WALL_COUNT][3];  // x of 666666 marks a removed piece

    explicit CMaze(CMazeWall** walls);

    // Puts every piece back at its place on the grid, none removed.
    void FillSpots();
    void Generate();

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    void HandleContact(CObject* other) override;
    void BeforeFrame() override;
};

#endif
