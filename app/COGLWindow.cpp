#include "app/COGLWindow.h"

#include "app/CInputDevices.h"
#include "app/Keys.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scene/CGameError.h"

namespace {
// The box main shows when the window cannot be made, and the status the game then ends with.
const char* const kCreateFailure = "ERROR: Creating OpenGL Window!";
const int kCreateFailureStatus = -1;
}  // namespace

int32_t COGLWindow::dragOrigin = 0;
bool COGLWindow::leftHeld = false;
bool COGLWindow::rightHeld = false;

int32_t PackPosition(int x, int y) {
    uint32_t packed = (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
    return static_cast<int32_t>(packed);
}

static int LowWord(int32_t packed) { return static_cast<int>(static_cast<uint32_t>(packed) & 0xFFFFu); }
static int HighWord(int32_t packed) {
    return static_cast<int>((static_cast<uint32_t>(packed) >> 16) & 0xFFFFu);
}

bool COGLWindow::RegisterWindowClass() {
    // Without either, SDL falls through to back ends that never show a window; a chosen
    // driver is the user's to answer for.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!driver || !*driver) && (!x11 || !*x11) && (!wayland || !*wayland)) {
        SDL_SetError("neither DISPLAY nor WAYLAND_DISPLAY is set");
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // When no display server answers, SDL settles for drawing off screen, unseen, forever.
    const char* chosen = SDL_GetCurrentVideoDriver();
    if ((!driver || !*driver) && chosen &&
        (std::strcmp(chosen, "offscreen") == 0 || std::strcmp(chosen, "dummy") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no display server answers (DISPLAY=\"%s\", WAYLAND_DISPLAY=\"%s\")", x11 ? x11 : "",
                     wayland ? wayland : "");
        return false;
    }
    return true;
}

uint32_t COGLWindow::QuitEventType() {
    static uint32_t type = SDL_RegisterEvents(1);
    return type;
}

void COGLWindow::PostQuit(int code) {
    SDL_Event event;
    SDL_zero(event);
    event.type = QuitEventType();
    event.user.code = code;
    if (event.type == static_cast<uint32_t>(-1) || SDL_PushEvent(&event) < 0) {
        // No custom events left: fall back to SDL's own quit, which the loop treats as code 0.
        std::fprintf(stderr, "Pondquest: cannot post quit event: %s\n", SDL_GetError());
        SDL_Event quit;
        SDL_zero(quit);
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
}

COGLWindow::COGLWindow(const char* title, bool fullscreenMode, int w, int h, int depth)
    : hwnd(nullptr),
      hdc(nullptr),
      palette(nullptr),
      glContext(nullptr),
      width(w),
      height(h),
      bits(depth),
      viewSize(w > h ? w : h),
      cursorX(0),
      cursorY(0),
      fullscreen(fullscreenMode),
      mouseSensitivity(2.0f),
      useDirectInput(false),
      input(nullptr),
      hasCapture(false),
      aspect(h > 0 ? double(w) / h : 1.0),
      ownsVideo(false),
      letterboxed(false),
      view{0, 0, w, h},
      focusLost(false),
      minimised(false) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Pondquest: SDL video: %s\n", SDL_GetError());
        throw CGameError(kCreateFailure, kCreateFailureStatus, false);
    }
    ownsVideo = true;
    // A quit left over from an earlier window must not end this one's loop.
    SDL_FlushEvent(QuitEventType());
    // Focus changes are handled below, for both modes.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SetupPixelFormat();

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    int windowWidth = width, windowHeight = height;
    if (fullscreen) {
        // Full screen keeps the desktop's own mode. The window is made at the desktop's size
        // from the start, so it covers the screen even where no window manager resizes it.
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
            windowWidth = desktop.w;
            windowHeight = desktop.h;
        }
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    SDL_Window* window = SDL_CreateWindow(title, 0, 0, windowWidth, windowHeight, flags);
    if (window) {
        hwnd = window;
        if (!Create()) {
            Destroy();
            window = nullptr;
        }
    }
    if (!window) {
        std::fprintf(stderr, "Pondquest: window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        ownsVideo = false;
        throw CGameError(kCreateFailure, kCreateFailureStatus, false);
    }
    ReadDrawableSize();
    SetupProjection();

    SDL_ShowWindow(hwnd);
    mouseSensitivity = 2.0f;
    input = new CInputDevices();
    useDirectInput = input->Initialize(hwnd, kInputKeyboard | kInputMouse);
    SDL_RaiseWindow(hwnd);
    SetCapture();
    if (useDirectInput) {
        input->AcquireAll();
        input->Update();
    }
    SDL_ShowCursor(SDL_DISABLE);
}

COGLWindow::~COGLWindow() {
    delete input;
    input = nullptr;
    if (glContext) Destroy();
    if (fullscreen) RestoreDisplayMode();
    ReleaseCapture();
    SDL_ShowCursor(SDL_ENABLE);
    if (ownsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool COGLWindow::OnCreate() { return true; }
bool COGLWindow::ReservedCheck() { return true; }
void COGLWindow::OnResize() {}
void COGLWindow::OnLeftButtonDown(float, float) {}
void COGLWindow::OnRightButtonDown(float, float) {}
void COGLWindow::OnLeftButtonUp() {}
void COGLWindow::OnRightButtonUp() {}
void COGLWindow::OnMouseMotion(int, int) {}
void COGLWindow::OnMouseMove(int, int, int, int) {}
void COGLWindow::OnLeftDrag(int, int, int, int) {}
void COGLWindow::OnRightDrag(int, int, int, int) {}
void COGLWindow::ReservedNotifyA(int, int, int) {}
void COGLWindow::ReservedNotifyB(int, int, int) {}
void COGLWindow::OnKeyUp(int) {}
void COGLWindow::ReservedKeyA(int) {}
void COGLWindow::OnKeyDown(int) {}
void COGLWindow::ReservedKeyB(int) {}
void COGLWindow::OnKeyPressed(int) {}

bool COGLWindow::Create() {
    hdc = hwnd;
    SetupPalette();
    glContext = SDL_GL_CreateContext(hwnd);
    if (!glContext) return false;
    SDL_GL_MakeCurrent(hwnd, glContext);
    // Let the buffer swap pace the loop at the display's rate, where the driver offers it.
    SDL_GL_SetSwapInterval(1);
    OnCreate();
    return true;
}

void COGLWindow::Destroy() {
    if (glContext) {
        SDL_GL_MakeCurrent(hwnd, nullptr);
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
    palette = nullptr;
    SDL_Window* window = hwnd;
    hwnd = nullptr;  // events arriving from now on are not ours
    hdc = nullptr;
    if (window) {
        if (fullscreen) SDL_SetWindowFullscreen(window, 0);
        SDL_DestroyWindow(window);
    }
}

void COGLWindow::SetupPixelFormat() {
    // Double-buffered RGBA with a depth buffer of 16 bits or more; SDL needs this before the window.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

// True-colour visuals need no palette.
void COGLWindow::SetupPalette() {}

void COGLWindow::ReadDrawableSize() {
    // Pixels, not window units: a high-DPI drawable is larger than the window.
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(hwnd, &w, &h);
    width = w;
    height = h;
}

void COGLWindow::ToDrawable(int* x, int* y) const {
    // Mouse events come in window units; the size the handlers compare with is in pixels.
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(hwnd, &windowWidth, &windowHeight);
    if (windowWidth > 0 && windowWidth != width) *x = static_cast<int>(int64_t(*x) * width / windowWidth);
    if (windowHeight > 0 && windowHeight != height)
        *y = static_cast<int>(int64_t(*y) * height / windowHeight);
}

void COGLWindow::FitView(int drawableWidth, int drawableHeight, int* view) {
    view[0] = 0;
    view[1] = 0;
    view[2] = drawableWidth;
    view[3] = drawableHeight;
    if (drawableWidth <= 0 || drawableHeight <= 0) return;
    // The largest picture of the game's own shape that fits, centred.
    if (int64_t(drawableWidth) * kPictureHeight > int64_t(drawableHeight) * kPictureWidth)
        view[2] = static_cast<int>(int64_t(drawableHeight) * kPictureWidth / kPictureHeight);
    else
        view[3] = static_cast<int>(int64_t(drawableWidth) * kPictureHeight / kPictureWidth);
    view[0] = (drawableWidth - view[2]) / 2;
    view[1] = (drawableHeight - view[3]) / 2;
}

void COGLWindow::SetupProjection() {
    viewSize = width > height ? width : height;
    if (!glContext) return;
    // A window shows the view at its own shape; full screen shows the game's picture scaled
    // to fit, black bars beside it, so nothing is cut off whatever the desktop's shape.
    if (fullscreen) {
        FitView(width, height, view);
    } else {
        view[0] = view[1] = 0;
        view[2] = width;
        view[3] = height;
    }
    letterboxed = view[2] != width || view[3] != height;
    glViewport(view[0], view[1], view[2], view[3]);
    // The game's clears then keep to the picture; the bars are painted by ClearBars.
    if (letterboxed) {
        glScissor(view[0], view[1], view[2], view[3]);
        glEnable(GL_SCISSOR_TEST);
        ClearBars();
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero-height client area keeps the previous aspect rather than dividing by zero.
    if (view[3] > 0) aspect = static_cast<double>(view[2]) / static_cast<double>(view[3]);
    gluPerspective(54.0, aspect, 0.1f, 200.0);
    OnResize();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

float COGLWindow::ToViewX(int32_t position) {
    if (viewSize == 0) return 0.0f;
    int x = static_cast<int16_t>(LowWord(position));
    // NOLINTNEXTLINE(bugprone-integer-division): the centre in whole pixels, as positions come
    return static_cast<float>(x - width / 2) * mouseSensitivity / static_cast<float>(viewSize);
}

float COGLWindow::ToViewY(int32_t position) {
    if (viewSize == 0) return 0.0f;
    int y = static_cast<int16_t>(HighWord(position));
    // NOLINTNEXTLINE(bugprone-integer-division): the centre in whole pixels, as positions come
    return static_cast<float>(y - height / 2) * mouseSensitivity / static_cast<float>(viewSize);
}

// The desktop keeps its mode: switching it cropped or stretched the game on screens of
// another shape. Full screen covers the desktop at its own size instead.
void COGLWindow::SetDisplayMode(int, int, int) {
    if (hwnd) SDL_SetWindowFullscreen(hwnd, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void COGLWindow::RestoreDisplayMode() {
    if (hwnd) SDL_SetWindowFullscreen(hwnd, 0);
}

void COGLWindow::ClearBars() {
    if (!letterboxed || !glContext) return;
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // Left, right, below and above the picture; two of them are empty.
    const int right = view[0] + view[2], top = view[1] + view[3];
    const int bars[4][4] = {{0, 0, view[0], height},
                            {right, 0, width - right, height},
                            {0, 0, width, view[1]},
                            {0, top, width, height - top}};
    for (const int* r : bars) {
        if (r[2] <= 0 || r[3] <= 0) continue;
        glScissor(r[0], r[1], r[2], r[3]);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glScissor(view[0], view[1], view[2], view[3]);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
}

void COGLWindow::SwapBuffers() {
    if (!hdc) return;
    SDL_GL_SwapWindow(hdc);
    // What the new back buffer held is undefined: its bars are made black again.
    ClearBars();
}

// The frame loop draws; exposure needs nothing here.
void COGLWindow::OnPaint() {}

// No palettes on true-colour visuals, so there is never one to realise.
bool COGLWindow::OnQueryNewPalette() { return false; }
void COGLWindow::OnPaletteChanged(SDL_Window*) {}

void COGLWindow::SetCapture() {
    hasCapture = true;
    if (!useDirectInput) SDL_CaptureMouse(SDL_TRUE);
}

void COGLWindow::ReleaseCapture() {
    if (hasCapture && !useDirectInput) SDL_CaptureMouse(SDL_FALSE);
    hasCapture = false;
}

int COGLWindow::VirtualKeyFromSdl(int key) {
    if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
    if (key >= '0' && key <= '9') return key;
    if (key >= SDLK_F1 && key <= SDLK_F12) return Keys::kVkF1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Keys::kVkReturn;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return 17;
    case SDLK_LALT:
    case SDLK_RALT: return 18;
    case SDLK_PAUSE: return 19;
    case SDLK_CAPSLOCK: return Keys::kVkCapital;
    case SDLK_ESCAPE: return Keys::kVkEscape;
    case SDLK_SPACE: return Keys::kVkSpace;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return Keys::kVkLeft;
    case SDLK_UP: return Keys::kVkUp;
    case SDLK_RIGHT: return Keys::kVkRight;
    case SDLK_DOWN: return Keys::kVkDown;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_KP_0: return 96;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return Keys::kVkAdd;
    case SDLK_KP_MINUS: return Keys::kVkSubtract;
    case SDLK_KP_PERIOD: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_NUMLOCKCLEAR: return Keys::kVkNumLock;
    case SDLK_SCROLLLOCK: return 145;
    case SDLK_LEFTBRACKET: return Keys::kVkOem4;
    case SDLK_RIGHTBRACKET: return Keys::kVkOem6;
    default: return 0;
    }
}

int COGLWindow::WindowProc(const SDL_Event& event) {
    if (!hwnd) return 1;  // detached: nothing reaches the handlers
    switch (event.type) {
    case SDL_QUIT:
        Destroy();
        PostQuit(0);
        return 0;
    case SDL_WINDOWEVENT:
        if (event.window.windowID != SDL_GetWindowID(hwnd)) return 1;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            Destroy();
            PostQuit(0);
            return 0;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (SDL_GetWindowFlags(hwnd) & SDL_WINDOW_MINIMIZED) return 0;
            ReadDrawableSize();
            SetupProjection();
            return 0;
        case SDL_WINDOWEVENT_MINIMIZED:  // a minimise leaves the size and projection alone
            minimised = true;
            return 0;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: minimised = false; return 1;
        case SDL_WINDOWEVENT_EXPOSED: OnPaint(); return 0;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focusLost = false;
            minimised = false;  // back at the keyboard, so in view again
            if (fullscreen) SetDisplayMode(width, height, bits);
            if (SDL_GetWindowFlags(hwnd) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(hwnd);
            return 0;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // Going to the background steps aside: minimised, and the desktop's mode given back.
            focusLost = true;
            SDL_MinimizeWindow(hwnd);
            if (fullscreen) RestoreDisplayMode();
            return 0;
        default: return 1;
        }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (useDirectInput) return 0;
        int key = VirtualKeyFromSdl(event.key.keysym.sym);
        if (key == 0) return 1;
        if (Keys::IsSoundKey(key)) {
            if (event.type == SDL_KEYDOWN && !event.key.repeat) OnKeyPressed(key);
            return 0;
        }
        if (event.type == SDL_KEYDOWN)
            OnKeyDown(key);
        else
            OnKeyUp(key);
        return 0;
    }
    case SDL_MOUSEMOTION: {
        if (useDirectInput) return 1;
        int x = event.motion.x, y = event.motion.y;
        ToDrawable(&x, &y);
        x &= 0xFFFF;
        y &= 0xFFFF;
        cursorX = x;
        cursorY = y;
        int dx = x - LowWord(dragOrigin);
        int dy = y - HighWord(dragOrigin);
        OnMouseMove(x, y, width, height);
        if (hasCapture) {
            if (leftHeld) OnLeftDrag(x, y, dx, dy);
            if (rightHeld) OnRightDrag(x, y, dx, dy);
            dragOrigin = PackPosition(x, y);
        }
        return 1;
    }
    case SDL_MOUSEBUTTONDOWN: {
        if (useDirectInput) return 1;
        int bx = event.button.x, by = event.button.y;
        ToDrawable(&bx, &by);
        int32_t position = PackPosition(bx, by);
        if (event.button.button == SDL_BUTTON_LEFT) {
            SetCapture();
            dragOrigin = position;
            leftHeld = true;
            OnLeftButtonDown(ToViewX(position), ToViewY(position));
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            SetCapture();
            dragOrigin = position;
            rightHeld = true;
            OnRightButtonDown(ToViewX(position), ToViewY(position));
        }
        return 1;
    }
    case SDL_MOUSEBUTTONUP:
        if (useDirectInput) return 1;
        if (event.button.button == SDL_BUTTON_LEFT) {
            if (hasCapture && !rightHeld) ReleaseCapture();
            leftHeld = false;
            OnLeftButtonUp();
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            if (hasCapture && !leftHeld) ReleaseCapture();
            rightHeld = false;
            OnRightButtonUp();
        }
        return 1;
    default: return 1;
    }
}
