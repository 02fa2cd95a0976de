#ifndef PONDQUEST_CFROZENVIEW_H
#define PONDQUEST_CFROZENVIEW_H

// The dimmed level behind a text screen, kept as a picture while nothing in it can change.
// A level stands still on those screens: unless the view turns or moves, every frame would
// draw the same pixels again, at the cost of a whole level frame.
class CFrozenView {
public:
    CFrozenView();
    ~CFrozenView();
    CFrozenView(const CFrozenView&) = delete;
    CFrozenView& operator=(const CFrozenView&) = delete;

    // Whether the picture kept is exactly what drawing `scene` at `version` would give now:
    // the same matrices, viewport and colours the drawing starts from.
    bool Matches(const void* scene, int version);
    // Keeps the frame as drawn so far, for the scene and state Matches last looked at.
    void Keep();
    // Draws the picture kept over the viewport, leaving the state as the dimming leaves it.
    void Show();
    void Forget();

    int shown;  // frames drawn from the picture kept

private:
    struct Key {
        const void* scene;
        int version;
        float modelview[16];
        float projection[16];
        int viewport[4];
        float clearColor[4];
        float color[4];
        unsigned char enables[3];  // blending, texturing, depth test
    };
    static void Read(Key* key, const void* scene, int version);

    Key kept;
    Key now;
    bool valid;
    unsigned int texture;
    int textureWidth, textureHeight;
};

#endif
