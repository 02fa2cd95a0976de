#include "support/GLTestContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <stdexcept>
#include <string>

GLTestContext::GLTestContext(int w, int h) : width(w), height(h), window(nullptr), context(nullptr) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw std::runtime_error(std::string("SDL video: ") + SDL_GetError());
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    window = SDL_CreateWindow("test", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window) throw std::runtime_error(std::string("window: ") + SDL_GetError());
    context = SDL_GL_CreateContext(window);
    if (!context) throw std::runtime_error(std::string("GL context: ") + SDL_GetError());
    SDL_GL_MakeCurrent(window, context);
    SetupProjection();
}

GLTestContext::~GLTestContext() {
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
    // SDL's video stays up: quitting it unloads the GL driver before the leak check runs,
    // and the driver's own allocations would then show up as ours.
}

void GLTestContext::SetupProjection() {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(54.0, static_cast<double>(width) / height, 0.1f, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GLTestContext::Clear(float r, float g, float b) {
    glClearColor(r, g, b, 1);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

PixelImage GLTestContext::ReadPixels() const {
    PixelImage img;
    img.width = width;
    img.height = height;
    img.rgba.resize(static_cast<size_t>(width) * height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, img.rgba.data());
    return img;
}

void GLTestContext::Swap() { SDL_GL_SwapWindow(window); }

int GLTestContext::ModelviewDepth() const {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

void GLTestContext::DrawTextureOverViewport(unsigned textureId) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

bool PixelImage::WritePPM(const char* path) const {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::fwrite(At(x, y), 1, 3, f);
    return std::fclose(f) == 0;
}
