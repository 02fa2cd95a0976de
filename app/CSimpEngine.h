#ifndef PONDQUEST_CSIMPENGINE_H
#define PONDQUEST_CSIMPENGINE_H

#include "app/CEngine.h"

#include <cstdint>
#include <string>

class COverlay;
class CSettingsFile;

// The game's engine: owns the camera, the world and the overlay, and handles the keys.
class CSimpEngine : public CEngine {
public:
    CViewCamera* camera;
    CGameWorld* world;
    COverlay* overlay;
    // Where changed settings are saved; null (nothing saved) unless the game attaches it.
    CSettingsFile* settingsFile;
    float shownSensitivity;   // the sensitivity as last noted and saved
    bool sensitivitySaveDue;  // changed by the keypad keys, saved once they leave it alone

    CSimpEngine(const char* title, bool fullscreen, int width, int height, int bits);
    ~CSimpEngine() override;

    void ClearScreen() override;
    CViewCamera* GetCamera() override;
    CGameWorld* GetWorld() override;
    void OnMouseMotion(int dx, int dy) override;
    void OnMouseMove(int x, int y, int width, int height) override;
    void OnKeyDown(int key) override;
    void OnKeyPressed(int key) override;
    bool RunStep(float dt) override;
    void RunFrame(float dt) override;

    // Takes the file's sensitivity and saves later changes there (file not owned).
    void UseSettings(CSettingsFile* file);
    // Notes a sensitivity change made by the keys: shown at once, saved once it settles.
    void NoticeSensitivity();
    // The settings file gets the current sensitivity and sound levels.
    void SaveSettings();

    // A fingerprint of where the game stands: state, eye and its angles, energy, health and
    // clock. Two runs fed the same steps give the same digest on any machine.
    uint64_t StateDigest() const;
    // The same fields as one line of text, with the digest.
    std::string DescribeState() const;
};

#endif
