#ifndef PONDQUEST_TESTS_GLTESTCONTEXT_H
#define PONDQUEST_TESTS_GLTESTCONTEXT_H

#include <cstdint>
#include <vector>

struct SDL_Window;

// RGBA pixels read back from the frame buffer; (x, y) with y = 0 at the top.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // bottom row first, as glReadPixels gives it

    const uint8_t* At(int x, int y) const { return &rgba[((height - 1 - y) * width + x) * 4]; }
    // Pixels in the rectangle [x0, x1) x [y0, y1) for which pred(r, g, b) holds.
    template <class Pred>
    int Count(int x0, int y0, int x1, int y1, Pred pred) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = At(x, y);
                if (pred(p[0], p[1], p[2])) ++n;
            }
        return n;
    }
    bool WritePPM(const char* path) const;
};

// A real window with an OpenGL compatibility context (Xvfb + Mesa in tests),
// set up like the game's window: 54 degree perspective, near 0.1, far 200.
class GLTestContext {
public:
    explicit GLTestContext(int width = 800, int height = 600);
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    void SetupProjection();
    // Clears colour and depth with the given colour and loads the identity modelview.
    void Clear(float r = 0, float g = 0, float b = 0);
    PixelImage ReadPixels() const;
    void Swap();
    int ModelviewDepth() const;
    // Draws the texture untinted over the whole current viewport, with identity matrices
    // for the quad only; leaves texturing on and the modelview matrix current.
    void DrawTextureOverViewport(unsigned textureId);

    int width;
    int height;
    SDL_Window* window;
    void* context;
};

#endif
