#ifndef PONDQUEST_CSIMPENGINE_H
#define PONDQUEST_CSIMPENGINE_H

#include "app/CEngine.h"

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
};

#endif
