// Pondquest: ask about full screen, open the window, run the frame loop until a quit.
#include "app/CDemoSession.h"
#include "app/CMessageBox.h"
#include "app/COGLWindow.h"
#include "app/CSimpEngine.h"
#include "scene/CGameError.h"

#include <SDL.h>
#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    // --- Timing and demo options. Other arguments are ignored, as before. ---
    CDemoSession demo;
    std::string problem;
    for (int i = 1; i < argc && problem.empty(); ++i)
        demo.TakeOption(argc, argv, &i, &problem);
    if (problem.empty()) demo.Open(&problem);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return CDemoSession::kUsageError;
    }
    // --- end of the timing and demo options ---

    if (!COGLWindow::RegisterWindowClass()) {
        std::fprintf(stderr, "Pondquest: SDL: %s\n", SDL_GetError());
        CMessageBox::ShowError("Failed to register window class", "Error");
        return -1;
    }

    bool fullscreen = false;
    if (demo.AsksFullScreen()) {
        CMessageBox::Answer answer = CMessageBox::AskYesNo(
            "We are going to run in 800x600x16 mode, would you like to run in fullscreen?", "Fullscreen?");
        if (answer == CMessageBox::kUnavailable)
            std::fprintf(stderr, "Pondquest: no answer to the full-screen question; running in a window\n");
        fullscreen = answer == CMessageBox::kYes;
    }

    CSimpEngine* engine = nullptr;
    int result = -1;
    try {
        engine = new CSimpEngine("OpenGL Game", fullscreen, 800, 600, 16);
        demo.Attach(engine);
        result = demo.Finish(engine, engine->Run());
        delete engine;
        engine = nullptr;
    } catch (const CGameError& error) {
        // A sound failure has shown its own box already; the window's is shown here.
        if (!error.shown) CMessageBox::ShowError(error.what(), nullptr);
        delete engine;
        result = error.exitStatus;
    } catch (const std::exception& error) {
        CMessageBox::ShowError(error.what(), nullptr);
        delete engine;
        result = -1;
    }
    SDL_Quit();
    return result;
}
