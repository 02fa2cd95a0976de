#include "world/CFrozenView.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

namespace {

// Whether the GL takes textures of any size; otherwise the picture sits in a power of two.
bool AnySizeTextures() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version && std::atoi(version) >= 2) return true;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions && std::strstr(extensions, "GL_ARB_texture_non_power_of_two");
}

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

}  // namespace

CFrozenView::CFrozenView()
    : shown(0), kept(), now(), valid(false), texture(0), textureWidth(0), textureHeight(0) {}

CFrozenView::~CFrozenView() {
    if (texture != 0) {
        GLuint name = texture;
        glDeleteTextures(1, &name);
    }
}

void CFrozenView::Read(Key* key, const void* scene, int version) {
    // Keys are compared byte for byte, so the padding is zeroed too.
    // cppcheck-suppress memsetClassFloat
    std::memset(key, 0, sizeof *key);
    key->scene = scene;
    key->version = version;
    glGetFloatv(GL_MODELVIEW_MATRIX, key->modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, key->projection);
    glGetIntegerv(GL_VIEWPORT, key->viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, key->clearColor);
    glGetFloatv(GL_CURRENT_COLOR, key->color);
    key->enables[0] = glIsEnabled(GL_BLEND);
    key->enables[1] = glIsEnabled(GL_TEXTURE_2D);
    key->enables[2] = glIsEnabled(GL_DEPTH_TEST);
}

bool CFrozenView::Matches(const void* scene, int version) {
    Read(&now, scene, version);
    // Read zeroes a key's padding before filling it, so equal keys are equal byte for byte.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    return valid && std::memcmp(&now, &kept, sizeof now) == 0;
}

void CFrozenView::Forget() { valid = false; }

void CFrozenView::Keep() {
    const int* v = now.viewport;
    if (v[2] <= 0 || v[3] <= 0) return;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (texture == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture = name;
        textureWidth = textureHeight = 0;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    const int w = AnySizeTextures() ? v[2] : PowerOfTwoAtLeast(v[2]);
    const int h = AnySizeTextures() ? v[3] : PowerOfTwoAtLeast(v[3]);
    if (w != textureWidth || h != textureHeight) {
        // Pixel for pixel: never filtered.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        textureWidth = w;
        textureHeight = h;
    }
    // From the buffer being drawn, whichever the caller reads from.
    GLint readBuffer = GL_BACK, drawBuffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, v[0], v[1], v[2], v[3]);
    glReadBuffer(static_cast<GLenum>(readBuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    std::memcpy(&kept, &now, sizeof kept);  // padding too: keys are compared bytewise
    valid = true;
}

void CFrozenView::Show() {
    ++shown;
    const float u = static_cast<float>(now.viewport[2]) / static_cast<float>(textureWidth);
    const float t = static_cast<float>(now.viewport[3]) / static_cast<float>(textureHeight);
    GLint bound = 0, envMode = GL_MODULATE;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(u, 0);
    glVertex2f(1, -1);
    glTexCoord2f(u, t);
    glVertex2f(1, 1);
    glTexCoord2f(0, t);
    glVertex2f(-1, 1);
    glEnd();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (now.enables[2]) glEnable(GL_DEPTH_TEST);
    // As the level and the dimming leave it.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
}
