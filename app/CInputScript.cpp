#include "app/CInputScript.h"

#include <cstring>

CInputScript::CInputScript() { Clear(); }

void CInputScript::Clear() {
    std::memset(keys, 0, sizeof keys);
    std::memset(&mouse, 0, sizeof mouse);
    lost = false;
    motionOnce = false;
}
