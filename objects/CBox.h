#ifndef PONDQUEST_CBOX_H
#define PONDQUEST_CBOX_H

#include "scene/CFrustum.h"
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

protected:
    // Wall pieces: placed with their foot at y, centred on (x, z) along their length;
    // contacts see them 4 units thick across, whatever the texture shows.
    void PlaceWall(float x, float y, float z, int orientation);
    // Whether any of a box of these half extents around the centre can be in view.
    static bool BoxVisible(const CFrustum& view, const CVec3& centre, float halfX, float halfY, float halfZ);
    // The same for an upright wall piece standing at its position.
    bool WallVisible(const CFrustum& view) const;
    // Moves the origin to `at` and binds the box's image for drawing there.
    void BindImageAt(const CVec3& at);
    // One upright textured panel of width x height at the position, tiled s x t times.
    void DrawWall(int orientation, float s, float t);
    // The four upright sides of a box of the given half extents around the current origin,
    // each tiled s x t times, as quads (the caller binds the texture).
    static void DrawSides(float halfX, float halfY, float halfZ, float s, float t);
};

#endif
