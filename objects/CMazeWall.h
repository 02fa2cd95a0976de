#ifndef PONDQUEST_CMAZEWALL_H
#define PONDQUEST_CMAZEWALL_H

#include "objects/CBox.h"

// One plant-wall piece of the maze: 50 long, 15 high, 4 thick for contacts.
class CMazeWall : public CBox {
public:
    int32_t orientation;  // 0 runs along x, anything else along z
    bool parked;          // removed by the maze's carving and put aside

    explicit CMazeWall(int orientation);

    void SetPosition(float x, float y, float z);

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    bool IsVisible(const CFrustum& view) override;
    void HandleContact(CObject* other) override;
    void BeforeFrame() override;
};

#endif
