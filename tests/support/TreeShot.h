#ifndef PONDQUEST_TESTS_TREESHOT_H
#define PONDQUEST_TESTS_TREESHOT_H

#include "support/GLTestContext.h"

#include <cstdint>

class CObject;
class CViewCamera;

// Draws the tree under the current view as a frame does, checks that it left the
// modelview stack as deep as it found it and raised no GL error, and reads the frame back.
PixelImage RenderTreeAndRead(GLTestContext& gl, CObject* root, CViewCamera* camera);

// Draws every object of the tree, seen or not, as the walk did before it skipped what lies
// outside the view: the reference the game's walk must match pixel for pixel.
void RenderWholeTree(CObject* root, CViewCamera* camera);

// Clears to black, looks from the eye to the centre and sets a white current colour.
void LookFrom(GLTestContext& gl, float ex, float ey, float ez, float cx, float cy, float cz, float ux = 0,
              float uy = 1, float uz = 0);

// A pixel something was drawn on: brighter than the black clear by more than noise.
inline bool Lit(uint8_t r, uint8_t g, uint8_t b) { return r + g + b > 15; }

#endif
