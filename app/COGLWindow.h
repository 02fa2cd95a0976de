#ifndef PONDQUEST_COGLWINDOW_H
#define PONDQUEST_COGLWINDOW_H

#include <cstdint>

struct SDL_Window;
union SDL_Event;
class CInputDevices;

// Packs a client position the way button and move messages carry it: x in the low 16 bits,
// y in the high 16 bits.
int32_t PackPosition(int x, int y);

// The game's window with its OpenGL context. Window events become calls of the virtual
// handlers below; key and mouse events only while the polled input devices are not in use.
class COGLWindow {
public:
    SDL_Window* hwnd;  // the window; null once destroyed
    SDL_Window* hdc;   // the drawable the frame is swapped to (the same window)
    void* palette;     // always null: true-colour visuals need no palette
    void* glContext;   // SDL_GLContext; null when none is held
    int32_t width;
    int32_t height;
    int32_t bits;
    int32_t viewSize;
    int32_t cursorX;
    int32_t cursorY;
    bool fullscreen;
    float mouseSensitivity;
    bool useDirectInput;
    CInputDevices* input;
    // Beyond the window itself:
    bool hasCapture;   // the window holds the mouse capture
    double aspect;     // last aspect given to the projection, kept when the height is 0
    bool ownsVideo;    // holds a reference on SDL's video subsystem
    bool letterboxed;  // the view is narrower or lower than the drawable: black bars beside it
    int view[4];       // the viewport in the drawable: x, y, width, height
    bool focusLost;    // the window has lost the keyboard focus (until it gains it again)
    bool minimised;

    // The game's picture, whose shape full screen keeps.
    static const int kPictureWidth = 800;
    static const int kPictureHeight = 600;

    // Process-wide, shared by every window (the game has one).
    static int32_t dragOrigin;
    static bool leftHeld;
    static bool rightHeld;

    // Starts SDL's video subsystem; false, with the reason in SDL_GetError, when it cannot
    // start or there is no display to start it on.
    static bool RegisterWindowClass();

    // Throws a CGameError "ERROR: Creating OpenGL Window!" (status -1) when the window or its
    // context cannot be made.
    COGLWindow(const char* title, bool fullscreen, int width, int height, int bits);

    // Called while the window is made, from its constructor: the window's own versions run
    // then, a derived engine's once it exists (Create, and every size change).
    // cppcheck-suppress virtualCallInConstructor
    virtual bool OnCreate();
    virtual bool ReservedCheck();
    // cppcheck-suppress virtualCallInConstructor
    virtual void OnResize();
    virtual void OnLeftButtonDown(float x, float y);
    virtual void OnRightButtonDown(float x, float y);
    virtual void OnLeftButtonUp();
    virtual void OnRightButtonUp();
    virtual void OnMouseMotion(int dx, int dy);
    virtual void OnMouseMove(int x, int y, int width, int height);
    virtual void OnLeftDrag(int x, int y, int dx, int dy);
    virtual void OnRightDrag(int x, int y, int dx, int dy);
    virtual void ReservedNotifyA(int, int, int);
    virtual void ReservedNotifyB(int, int, int);
    virtual void OnKeyUp(int key);
    virtual void ReservedKeyA(int);
    virtual void OnKeyDown(int key);
    virtual void ReservedKeyB(int);
    // Once per press of one of the sound keys (Keys::kSoundKeyTable).
    virtual void OnKeyPressed(int key);
    virtual ~COGLWindow();

    // Play stands still while the window is minimised or without the keyboard focus.
    bool InBackground() const { return focusLost || minimised; }

    // Handles one event for this window; returns 0 when handled, 1 when left to the default.
    int WindowProc(const SDL_Event& event);

    bool Create();
    void Destroy();
    void SetupPixelFormat();
    void SetupPalette();
    void SetupProjection();
    // Width and height from the drawable, in pixels.
    void ReadDrawableSize();
    // A position in window units to drawable pixels (they differ on high-DPI screens).
    void ToDrawable(int* x, int* y) const;
    // The largest rectangle of the picture's shape inside a drawable, centred: x, y, w, h.
    static void FitView(int drawableWidth, int drawableHeight, int* view);
    // Paints the bars beside a letterboxed view black.
    void ClearBars();
    // Shows the frame drawn.
    void SwapBuffers();
    float ToViewX(int32_t position);
    float ToViewY(int32_t position);
    void SetDisplayMode(int width, int height, int bits);
    void RestoreDisplayMode();
    void OnPaint();
    bool OnQueryNewPalette();
    void OnPaletteChanged(SDL_Window* changer);
    void SetCapture();
    void ReleaseCapture();

    // Ends the frame loop with code once the events queued before it are handled.
    static void PostQuit(int code);
    // The SDL event type that carries a posted quit (code in user.code).
    static uint32_t QuitEventType();

    // Windows virtual-key code for an SDL key, or 0 for keys without one.
    static int VirtualKeyFromSdl(int sdlKey);

    COGLWindow(const COGLWindow&) = delete;
    COGLWindow& operator=(const COGLWindow&) = delete;
};

#endif
