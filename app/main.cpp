// Pondquest: ask about full screen, open the window, run the frame loop until a quit.
#include "app/CDemoSession.h"
#include "app/CMessageBox.h"
#include "app/COGLWindow.h"
#include "app/CQuitSignals.h"
#include "app/CSettingsFile.h"
#include "app/CSimpEngine.h"
#include "sound/CSoundSystem.h"

#include <SDL.h>
#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    CQuitSignals::Install();  // before SDL, which would otherwise take SIGINT and SIGTERM
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
        // No box: there is nowhere to show one.
        std::fprintf(stderr, "Pondquest: cannot open a display: %s\n", SDL_GetError());
        return 1;
    }
    CSettingsFile settings(CSettingsFile::DefaultPath());
    settings.LoadAndTell();
    CSoundSystem::SetMusicVolume(settings.values.musicVolume);
    CSoundSystem::SetEffectsVolume(settings.values.effectsVolume);
    CSoundSystem::SetMuted(settings.values.muted);

    bool fullscreen = false;
    if (demo.AsksFullScreen()) {
        CMessageBox::Answer answer = CMessageBox::AskYesNo(
            "We are going to run in 800x600x16 mode, would you like to run in fullscreen?", "Fullscreen?");
        if (answer == CMessageBox::Interrupted) {
            SDL_Quit();
            return 0;
        }
        if (answer == CMessageBox::Unavailable)
            std::fprintf(stderr, "Pondquest: no answer to the full-screen question; running in a window\n");
        fullscreen = answer == CMessageBox::Yes;
    }

    CSimpEngine* engine = nullptr;
    int result = -1;
    try {
        engine = new CSimpEngine("OpenGL Game", fullscreen, 800, 600, 16);
        engine->UseSettings(&settings);
        demo.Attach(engine);
        if (demo.player) engine->UseSettings(nullptr);  // a demo's keypad presses are not the player's
        result = demo.Finish(engine, engine->Run());
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
