#ifndef PONDQUEST_CMAINMENU_H
#define PONDQUEST_CMAINMENU_H

#include "scene/CObject.h"
#include "textures/CTextureImage.h"

// The title picture: one 20 x 20 square at x = 20 facing the origin.
class CMainMenu : public CObject {
public:
    int32_t halfSize;
    CTextureImage images[5];
    bool loaded;  // images[0] has been read since it was last let go

    CMainMenu();
    ~CMainMenu() override;

    void Draw();

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    void HandleContact(CObject* other) override;
    void LoadAssets() override;
    void FreeAssets() override;
};

#endif
