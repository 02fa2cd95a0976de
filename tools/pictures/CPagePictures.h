#ifndef PONDQUEST_TOOLS_CPAGEPICTURES_H
#define PONDQUEST_TOOLS_CPAGEPICTURES_H

#include "CPicture.h"
#include "CTextPainter.h"

// The title picture and the two credits pages, with their text, and the icon.
class CPagePictures {
public:
    // Where the title screen prints its red key lines, as fractions of the
    // picture from its left and top edges; this area stays plain and dark.
    static constexpr float keyAreaLeft = 0.28f, keyAreaRight = 0.92f;
    static constexpr float keyAreaTop = 0.64f, keyAreaBottom = 0.90f;
    // Credits text stays in this middle band: the camera sees only the
    // middle of the pages when it is low over them.
    static constexpr float textBandLeft = 0.2f, textBandRight = 0.8f;

    static CPicture Title(CTextPainter& text);              // titlemenu.tga
    static CPicture Credits(CTextPainter& text, int page);  // credits1.tga (1), credits2.tga (2)
    // The game's icon: the duckling on a round patch of pond, kIconSize square, over a plain
    // background (painted over two backgrounds, the pair gives the icon's transparency).
    static constexpr int kIconSize = 768;
    static CPicture Icon(const CColour& background);
};

#endif
