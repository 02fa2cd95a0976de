#include "objects/CPlayer.h"

#include <typeinfo>

#include "objects/CBoundary.h"
#include "objects/CCougarBox.h"
#include "objects/CMazeWall.h"
#include "objects/CNest.h"
#include "objects/CReeses.h"
#include "objects/CSphere.h"
#include "overlay/COverlay.h"
#include "scene/CViewCamera.h"
#include "sound/CSoundSystem.h"

CPlayer::CPlayer() : camera(nullptr), overlay(nullptr), ouchClip(nullptr), sound(nullptr), eatClip(nullptr) {
    // The player's own box stays empty: nothing is ever found inside the duckling.
    size = 5;
    sound = new CSoundSystem();
    try {
        sound->Initialize(nullptr);
        ouchClip = sound->Load("ouch.wav", false);
        eatClip = sound->Load("reeses.wav", false);
    } catch (...) {  // a missing effect ends the game; this half-made duckling keeps nothing
        delete sound;
        throw;
    }
}

CPlayer::~CPlayer() {
    // The clips belong to the sound system, which frees them with itself.
    if (sound) sound->Shutdown();
    delete sound;
    ouchClip = nullptr;
    eatClip = nullptr;
}

void CPlayer::Render(CViewCamera*) { FollowCamera(); }

void CPlayer::FollowCamera() {
    if (!camera) return;
    position = camera->position;
    position.y -= 3;  // the duckling stands 3 units below its eye
}

void CPlayer::HandleContact(CObject* other) {
    if (!other) return;
    // Exact run-time types: a class derived from one of these is something else.
    const std::type_info& type = typeid(*other);
    if (type == typeid(CBoundary) || type == typeid(CMazeWall) || type == typeid(CNest)) {
        // Only the forward speed survives, reversed, so the duckling backs off the obstacle.
        if (camera) camera->velocity = camera->velocity * CVec3(0, 0, -1);
    } else if (type == typeid(CSphere)) {
        if (camera) camera->velocity = CVec3(0, 0, 0);
        if (overlay) overlay->SetGoalReached(true);
    } else if (type == typeid(CReeses)) {
        other->isDead = true;
        if (overlay) overlay->AddEnergyBonus(CReeses::kEnergyBonus);
        if (camera) camera->velocity = CVec3(0, 0, 0);
        if (sound) sound->Play(eatClip, 1);
    } else if (type == typeid(CCougarBox)) {
        other->isDead = true;
        if (overlay) overlay->LoseHealth();
        if (camera) camera->velocity = CVec3(0, 0, 0);
        if (sound) sound->Play(ouchClip, 1);
    }
}

void CPlayer::LoadAssets() {}

void CPlayer::FreeAssets() {}
