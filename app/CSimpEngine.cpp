#include "app/CSimpEngine.h"

#include "app/CSettingsFile.h"
#include "app/Keys.h"

#include "overlay/COverlay.h"
#include "scene/CVec3.h"
#include "scene/CViewCamera.h"
#include "sound/CSoundSystem.h"
#include "sound/CSynthesizer.h"
#include "world/CGameWorld.h"

#include <GL/gl.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

CSimpEngine::CSimpEngine(const char* title, bool fullscreenMode, int w, int h, int depth)
    : CEngine(title, fullscreenMode, w, h, depth),
      camera(nullptr),
      world(nullptr),
      overlay(nullptr),
      settingsFile(nullptr),
      shownSensitivity(mouseSensitivity),
      sensitivitySaveDue(false) {
    camera = new CViewCamera();
    overlay = new COverlay();
    // The soundfont loads once the title is shown, not beside the drawing of its first frame.
    CSynthesizer::HoldLoading();
    try {
        world = new CGameWorld(camera, overlay);
    } catch (...) {  // a sound failure on the way to main: nothing of the engine stays behind
        delete overlay;
        delete camera;
        throw;
    }
    world->SetScreenSize(w, h);
}

CSimpEngine::~CSimpEngine() {
    if (sensitivitySaveDue) SaveSettings();
    delete world;
    world = nullptr;
    delete camera;
    camera = nullptr;
    delete overlay;
    overlay = nullptr;
}

void CSimpEngine::ClearScreen() {
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

CViewCamera* CSimpEngine::GetCamera() { return camera; }

CGameWorld* CSimpEngine::GetWorld() { return world; }

void CSimpEngine::OnMouseMotion(int dx, int dy) {
    if (world->state == MainMenu || world->state == Credits) return;
    camera->yaw += static_cast<float>(dx) * mouseSensitivity;
    camera->pitch -= static_cast<float>(dy) * mouseSensitivity;
}

void CSimpEngine::OnMouseMove(int x, int y, int w, int h) {
    int halfW = w / 2;
    int halfH = h / 2;
    float step = 0.25f * mouseSensitivity;
    if (static_cast<float>(x) < static_cast<float>(halfW))
        camera->yaw -= step;
    else if (static_cast<float>(x) > static_cast<float>(halfW))
        camera->yaw += step;
    if (static_cast<float>(y) < static_cast<float>(halfH))
        camera->pitch += step;
    else if (static_cast<float>(y) > static_cast<float>(halfH))
        camera->pitch -= step;
}

// The key half of the state machine. Called once a frame for every held key, in the
// engine's fixed order, so a later key of the same frame meets the state an earlier one left.
void CSimpEngine::OnKeyDown(int key) {
    // States in which every key first stops the camera (screens over a frozen level).
    static const bool kZeroesCamera[15] = {false, false, true, false, true, true,  true, true,
                                           false, true,  true, true,  true, false, false};
    const int state = world->state;
    if (state >= 0 && state < 15 && kZeroesCamera[state]) camera->velocity = CVec3(0, 0, 0);

    // Moving and turning keys shared by both play states.
    auto playKeys = [&](int k) {
        switch (k) {
        case Keys::kW: camera->velocity += CVec3(0, 0, 2); break;
        case Keys::kS: camera->velocity += CVec3(0, 0, -2); break;
        case Keys::kPadPlus: mouseSensitivity += 0.01; break;
        case Keys::kPadMinus:
            mouseSensitivity -= 0.01;
            if (mouseSensitivity < 0.05) mouseSensitivity = 0.05f;
            break;
        default: break;
        }
    };
    // Leaving for another screen: the state changes first, then the music stops.
    auto go = [&](int next, bool stopMusic) {
        world->state = next;
        if (stopMusic) world->StopMusic();
    };

    switch (state) {
    case MainMenu:
        if (key == Keys::kEsc)
            PostQuit(0);
        else if (key == Keys::kP)
            go(LevelOneLoading, true);
        break;
    case LevelOneLoading:
        world->StartLevelOne();
        world->state = LevelOneIntro;
        break;
    case LevelOneIntro:
        if (key == Keys::kSpace) go(LevelOnePlay, false);
        break;
    case LevelOnePlay:
        if (key == Keys::kEnter)
            go(LevelOneMenu, false);
        else if (key == Keys::kF1)
            go(LevelTwoLoading, true);
        else
            playKeys(key);
        break;
    case LevelOneMenu:
        if (key == Keys::kQ)
            go(MainMenu, true);
        else if (key == Keys::kEsc)
            go(LevelOnePlay, false);
        break;
    case LevelOneWon:
        if (key == Keys::kQ)
            go(MainMenu, true);
        else if (key == Keys::kSpace)
            go(LevelTwoLoading, true);
        break;
    case LevelOneLost:
        if (key == Keys::kQ)
            go(MainMenu, true);
        else if (key == Keys::kSpace)
            go(LevelOneLoading, true);
        break;
    case LevelTwoLoading:
        world->StartLevelTwo();
        world->state = LevelTwoIntro;
        break;
    case LevelTwoPlay:
        if (key == Keys::kEnter)
            go(LevelTwoMenu, false);
        else
            playKeys(key);
        break;
    case LevelTwoMenu:
        if (key == Keys::kQ)
            go(MainMenu, true);
        else if (key == Keys::kEsc)
            go(LevelTwoPlay, false);
        break;
    case LevelTwoWon:
        if (key == Keys::kQ)
            go(MainMenu, true);
        else if (key == Keys::kSpace)
            go(CreditsLoading, true);
        break;
    case LevelTwoIntro:
        if (key == Keys::kSpace) go(LevelTwoPlay, false);
        break;
    case LevelTwoLost:
        if (key == Keys::kQ)
            go(MainMenu, true);
        else if (key == Keys::kSpace)
            go(LevelTwoLoading, true);
        break;
    case CreditsLoading:
        world->StartCredits();
        world->state = Credits;
        break;
    case Credits:
        if (key == Keys::kQ) {
            world->state = MainMenu;
            camera->pitchLimitOff = false;
            world->StopMusic();
        }
        break;
    default: break;
    }
}

void CSimpEngine::UseSettings(CSettingsFile* file) {
    settingsFile = file;
    if (file) mouseSensitivity = file->values.mouseSensitivity;
    shownSensitivity = mouseSensitivity;
    sensitivitySaveDue = false;
}

void CSimpEngine::SaveSettings() {
    sensitivitySaveDue = false;
    if (!settingsFile) return;
    settingsFile->values.mouseSensitivity = mouseSensitivity;
    settingsFile->values.musicVolume = CSoundSystem::GetMusicVolume();
    settingsFile->values.effectsVolume = CSoundSystem::GetEffectsVolume();
    settingsFile->values.muted = CSoundSystem::IsMuted();
    settingsFile->SaveAndTell();
}

void CSimpEngine::NoticeSensitivity() {
    // Held keypad keys change it every step: the note follows, the save waits for a step
    // that leaves it alone.
    if (mouseSensitivity != shownSensitivity) {
        shownSensitivity = mouseSensitivity;
        sensitivitySaveDue = true;
        char note[64];
        std::snprintf(note, sizeof note, "Mouse sensitivity %.2f", static_cast<double>(mouseSensitivity));
        overlay->ShowNote(note);
    } else if (sensitivitySaveDue) {
        SaveSettings();
    }
}

bool CSimpEngine::RunStep(float dt) {
    const bool ran = CEngine::RunStep(dt);
    NoticeSensitivity();
    overlay->AgeNote(dt);
    return ran;
}

void CSimpEngine::RunFrame(float dt) {
    CEngine::RunFrame(dt);
    NoticeSensitivity();
    overlay->AgeNote(dt);
}

void CSimpEngine::OnKeyPressed(int key) {
    char note[64];
    if (key == Keys::kMute) {
        CSoundSystem::SetMuted(!CSoundSystem::IsMuted());
        std::snprintf(note, sizeof note, "%s", CSoundSystem::IsMuted() ? "Sound off" : "Sound on");
    } else if (key == Keys::kMusicDown || key == Keys::kMusicUp) {
        // Tenths, counted whole so that steps never drift off them.
        const float tenths =
            std::round(CSoundSystem::GetMusicVolume() * 10.0f) + (key == Keys::kMusicUp ? 1 : -1);
        CSoundSystem::SetMusicVolume(tenths / 10.0f);
        std::snprintf(note, sizeof note, "Music volume %d%%%s",
                      static_cast<int>(std::lround(CSoundSystem::GetMusicVolume() * 100.0f)),
                      CSoundSystem::IsMuted() ? " (sound off)" : "");
    } else {
        return;
    }
    overlay->ShowNote(note);
    SaveSettings();
}

namespace {
// FNV-1a over the bytes of each field, floats by their bit pattern.
struct Fnv {
    uint64_t hash = 1469598103934665603ull;
    void Bytes(const void* data, size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= p[i];
            hash *= 1099511628211ull;
        }
    }
    void Int(int32_t v) { Bytes(&v, sizeof v); }
    void Float(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Bytes(&bits, sizeof bits);
    }
};
}  // namespace

uint64_t CSimpEngine::StateDigest() const {
    Fnv fnv;
    fnv.Int(world->state);
    fnv.Float(camera->position.x);
    fnv.Float(camera->position.y);
    fnv.Float(camera->position.z);
    fnv.Float(camera->yaw);
    fnv.Float(camera->pitch);
    fnv.Int(overlay->energy);
    fnv.Int(overlay->health);
    fnv.Int(overlay->minutes);
    fnv.Int(overlay->seconds);
    fnv.Int(overlay->subSeconds);
    fnv.Float(world->elapsed);
    return fnv.hash;
}

std::string CSimpEngine::DescribeState() const {
    char line[256];
    std::snprintf(line, sizeof line,
                  "state %d, eye (%.3f, %.3f, %.3f) yaw %.3f pitch %.3f, energy %d health %d clock %d:%02d "
                  "after %.3f s, digest %016" PRIx64,
                  world->state, camera->position.x, camera->position.y, camera->position.z, camera->yaw,
                  camera->pitch, overlay->energy, overlay->health, overlay->minutes, overlay->seconds,
                  world->elapsed, StateDigest());
    return line;
}
