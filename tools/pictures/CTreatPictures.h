#ifndef PONDQUEST_TOOLS_CTREATPICTURES_H
#define PONDQUEST_TOOLS_CTREATPICTURES_H

#include "CPicture.h"

// The nest's top (eggs in straw, one of them hatching) and the food ball.
class CTreatPictures {
public:
    static CPicture EggsInStraw();  // eggcrack.tga
    static CPicture Sweet();        // reeses.tga, wrapped round a sphere
};

#endif
