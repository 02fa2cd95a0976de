#include "scene/CGameError.h"

CGameError::CGameError(const std::string& message, int status, bool alreadyShown)
    : std::runtime_error(message), exitStatus(status), shown(alreadyShown) {}
