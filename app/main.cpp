// Pondquest: ask about full screen, open the window, run the frame loop until a quit.
#include "app/CMessageBox.h"
#include "app/COGLWindow.h"
#include "app/CSimpEngine.h"

#include <SDL.h>
#include <cstdio>
#include <exception>

int main(int, char**) {
    if (!COGLWindow::RegisterWindowClass()) {
        std::fprintf(stderr, "Pondquest: SDL: %s\n", SDL_GetError());
        CMessageBox::ShowError("Failed to register window class", "Error");
        return -1;
    }

    CMessageBox::Answer answer = CMessageBox::AskYesNo(
        "We are going to run in 800x600x16 mode, would you like to run in fullscreen?", "Fullscreen?");
    if (answer == CMessageBox::Unavailable)
        std::fprintf(stderr, "Pondquest: no answer to the full-screen question; running in a window\n");
    bool fullscreen = answer == CMessageBox::Yes;

    CSimpEngine* engine = nullptr;
    int result = -1;
    try {
        engine = new CSimpEngine("OpenGL Game", fullscreen, 800, 600, 16);
        result = engine->Run();
        delete engine;
        engine = nullptr;
    } catch (const char* text) {
        CMessageBox::ShowError(text, nullptr);
        delete engine;
        result = -1;
    } catch (const std::exception& error) {
        CMessageBox::ShowError(error.what(), nullptr);
        delete engine;
        result = -1;
    }
    SDL_Quit();
    return result;
}
