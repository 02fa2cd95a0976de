#ifndef PONDQUEST_CBOUNDARY_H
#define PONDQUEST_CBOUNDARY_H

#include "objects/CBox.h"

// Burning fence wall of level two: 512 long, 15 high, 4 thick for contacts.
class CBoundary : public CBox {
public:
    int32_t orientation;  // 0 runs along x, anything else along z

    explicit CBoundary(int orientation);

    void SetPosition(float x, float y, float z);

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    bool IsVisible(const CFrustum& view) override;
    void HandleContact(CObject* other) override;
    void BeforeFrame() override;
};

#endif
