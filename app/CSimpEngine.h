#ifndef PONDQUEST_CSIMPENGINE_H
#define PONDQUEST_CSIMPENGINE_H

#include "app/CEngine.h"

#include <cstdint>
#include <string>

class COverlay;

// The game's engine: owns the camera, the world and the overlay, and handles the keys.
class CSimpEngine : public CEngine {
public:
    CViewCamera* camera;
    CGameWorld* world;
    COverlay* overlay;

    CSimpEngine(const char* title, bool fullscreen, int width, int height, int bits);
    ~CSimpEngine() override;

    void ClearScreen() override;
    CViewCamera* GetCamera() override;
    CGameWorld* GetWorld() override;
    void OnMouseMotion(int dx, int dy) override;
    void OnMouseMove(int x, int y, int width, int height) override;
    void OnKeyDown(int key) override;

    // A fingerprint of where the game stands: state, eye and its angles, energy, health and
    // clock. Two runs fed the same steps give the same digest on any machine.
    uint64_t StateDigest() const;
    // The same fields as one line of text, with the digest.
    std::string DescribeState() const;
};

#endif
