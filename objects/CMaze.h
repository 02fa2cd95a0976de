#ifndef PONDQUEST_CMAZE_H
#define PONDQUEST_CMAZE_H

#include "scene/CObject.h"

class CMazeWall;

// Carves the 11 x 11 maze once, in its constructor, and places the 264 pieces.
class CMaze : public CObject {
public:
    static constexpr int kWallCount = 264;
    // The first pieces run along x (orientation 0), the rest along z.
    static constexpr int kWallsAlongX = 132;
    static constexpr int kCellCount = 121;
    static constexpr int kEdgeCount = 220;

    float wallSpots[kWallCount][3];  // x of 666666 marks a removed piece

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
