#ifndef PONDQUEST_CSPHERE_H
#define PONDQUEST_CSPHERE_H

#include "scene/CObject.h"
#include "textures/CTextureImage.h"

struct GLUquadric;

// The Wise Old Man: a textured ball in the far corner; touching him wins level one.
class CSphere : public CObject {
public:
    GLUquadric* quadric;
    CTextureImage image;

    CSphere();
    ~CSphere() override;

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    bool IsVisible(const CFrustum& view) override;
    void HandleContact(CObject* other) override;
    void BeforeFrame() override;
};

#endif
