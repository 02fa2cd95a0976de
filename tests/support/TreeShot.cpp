#include "support/TreeShot.h"

#include "scene/CObject.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

PixelImage RenderTreeAndRead(GLTestContext& gl, CObject* root, CViewCamera* camera) {
    const int depthBefore = gl.ModelviewDepth();
    root->RenderTree(camera);
    EXPECT_EQ(gl.ModelviewDepth(), depthBefore);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return gl.ReadPixels();
}

void LookFrom(GLTestContext& gl, float ex, float ey, float ez, float cx, float cy, float cz, float ux,
              float uy, float uz) {
    gl.Clear(0, 0, 0);
    gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
    glColor4f(1, 1, 1, 1);
}

void RenderWholeTree(CObject* root, CViewCamera* camera) {
    for (CObject* node = root;; node = static_cast<CObject*>(node->next)) {
        glPushMatrix();
        node->Render(camera);
        if (node->child) RenderWholeTree(static_cast<CObject*>(node->child), camera);
        glPopMatrix();
        if (!node->HasNextSibling()) break;
    }
}
