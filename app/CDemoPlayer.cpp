#include "app/CDemoPlayer.h"

#include "app/CDemoFile.h"
#include "app/CInputScript.h"
#include "app/Keys.h"

#include <SDL.h>
#include <cstring>

CDemoPlayer::CDemoPlayer(const CDemoFile* file, CInputScript* input)
    : demo(file), script(input), next(0), watchEscape(false), stopped(false) {}

bool CDemoPlayer::Finished() const { return stopped || next >= demo->steps.size(); }

bool CDemoPlayer::Feed() {
    if (watchEscape && !stopped) {
        // The devices read the demo, so the viewer's own keyboard is asked directly.
        int count = 0;
        const Uint8* keys = SDL_GetKeyboardState(&count);
        if (keys && SDL_SCANCODE_ESCAPE < count && keys[SDL_SCANCODE_ESCAPE]) stopped = true;
    }
    if (Finished()) return false;
    const CDemoStep& step = demo->steps[next++];
    std::memset(script->keys, 0, sizeof script->keys);
    for (int i = 0; i < Keys::kKeyCount; ++i)
        if (step.keys & (1u << i)) script->keys[Keys::kKeyTable[i].scanCode] = 0x80;
    std::memset(&script->mouse, 0, sizeof script->mouse);
    script->mouse.lX = step.dx;
    script->mouse.lY = step.dy;
    script->mouse.rgbButtons[0] = step.leftButton ? 0x80 : 0;
    return true;
}
