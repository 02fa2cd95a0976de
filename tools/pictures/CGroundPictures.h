#ifndef PONDQUEST_TOOLS_CGROUNDPICTURES_H
#define PONDQUEST_TOOLS_CGROUNDPICTURES_H

#include "CPicture.h"

// The tiled ground and water textures: the game repeats each of them across
// a whole level, up to 128 times per side, so every one is seamless.
class CGroundPictures {
public:
    static CPicture Sand();   // sanddark.tga
    static CPicture Fire();   // fire2.tga
    static CPicture Water();  // water1.tga
};

#endif
