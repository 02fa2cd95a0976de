#ifndef PONDQUEST_TOOLS_CWALLPICTURES_H
#define PONDQUEST_TOOLS_CWALLPICTURES_H

#include "CPicture.h"

// Textures repeated along walls: the maze's plant wall and the nest's woven
// sides. Both are painted large with wrap-around shapes and then reduced,
// which smooths the edges and keeps the tiles seamless.
class CWallPictures {
public:
    static CPicture Plants();  // plant25.tga, 64 x 64
    static CPicture Twigs();   // nest.tga
};

#endif
