#ifndef PONDQUEST_CPLAYER_H
#define PONDQUEST_CPLAYER_H

#include "scene/CObject.h"

class COverlay;
class CSoundClip;
class CSoundSystem;

// The duckling: follows the camera 3 units below the eye and applies the contact rules.
class CPlayer : public CObject {
public:
    CViewCamera* camera;
    COverlay* overlay;
    CSoundClip* ouchClip;
    CSoundSystem* sound;
    CSoundClip* eatClip;

    CPlayer();
    ~CPlayer() override;
    CPlayer(const CPlayer&) = delete;
    CPlayer& operator=(const CPlayer&) = delete;

    void SetCamera(CViewCamera* c) { camera = c; }
    void SetOverlay(COverlay* o) { overlay = o; }

    // Stands the duckling 3 units below the eye; drawing it does just that.
    void FollowCamera();
    void Render(CViewCamera* camera) override;
    void HandleContact(CObject* other) override;
    void LoadAssets() override;
    void FreeAssets() override;
};

#endif
