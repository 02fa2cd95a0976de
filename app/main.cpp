// Pondquest: ask about full screen, open the window, run the frame loop until a quit.
#include "app/CDataFolder.h"
#include "app/CDemoSession.h"
#include "app/CMessageBox.h"
#include "app/COGLWindow.h"
#include "app/COptions.h"
#include "app/CQuitSignals.h"
#include "app/CSettingsFile.h"
#include "app/CSimpEngine.h"
#include "app/CWindowIcon.h"
#include "scene/CGameError.h"
#include "sound/CSoundSystem.h"

#include <SDL.h>
#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    CQuitSignals::Install();  // before SDL, which would otherwise take SIGINT and SIGTERM
    // --- The command line, then the data folder, which becomes the working directory. ---
    CDemoSession demo;
    COptions options;
    std::string problem;
    switch (options.Parse(argc, argv, &demo, &problem)) {
    case COptions::kExitOk: std::fputs(problem.c_str(), stdout); return 0;
    case COptions::kBadUsage: std::fputs(problem.c_str(), stderr); return COptions::kUsageError;
    case COptions::kRun: break;
    }
    if (!demo.Open(&problem)) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return CDemoSession::kUsageError;
    }
    CDataFolder::Enter(options.dataDir);
    // --- end of the command line ---

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

    bool fullscreen = options.fullscreen;
    if (demo.AsksFullScreen() && !options.windowed && !options.fullscreen) {
        CMessageBox::Answer answer = CMessageBox::AskYesNo(
            "We are going to run in 800x600x16 mode, would you like to run in fullscreen?", "Fullscreen?");
        if (answer == CMessageBox::kInterrupted) {
            SDL_Quit();
            return 0;
        }
        if (answer == CMessageBox::kUnavailable)
            std::fprintf(stderr, "Pondquest: no answer to the full-screen question; running in a window\n");
        fullscreen = answer == CMessageBox::kYes;
    }

    if (options.mute) CSoundSystem::SetMuted(true);
    CSimpEngine* engine = nullptr;
    int result = -1;
    try {
        engine = new CSimpEngine("OpenGL Game", fullscreen, 800, 600, 16);
        engine->UseSettings(&settings);
        CWindowIcon::Apply(engine->hwnd, CWindowIcon::kFileName);
        demo.Attach(engine);
        if (demo.player) engine->UseSettings(nullptr);  // a demo's keypad presses are not the player's
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
