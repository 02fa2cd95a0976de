#ifndef PONDQUEST_CBOX_H
#define PONDQUEST_CBOX_H

#include "scene/CObject.h"
#include "textures/CTextureImage.h"

// Base of every box- or panel-shaped level object: three extents and one owned image.
class CBox : public CObject {
public:
    float height;  // along y
    float depth;   // along z
    float width;   // along x, or the length of a wall piece
    CTextureImage image;

    CBox();
    ~CBox() override;
};

#endif
