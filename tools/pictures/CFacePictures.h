#ifndef PONDQUEST_TOOLS_CFACEPICTURES_H
#define PONDQUEST_TOOLS_CFACEPICTURES_H

#include "CPicture.h"

// Faces: the cougar shown on every side of its cube, and the Wise Old Man
// wrapped round his ball.
class CFacePictures {
public:
    static CPicture Cougar();  // cougar.tga, 128 x 128
    static CPicture Elder();   // elder.tga, 512 x 256, longitude across, north at the top
};

#endif
