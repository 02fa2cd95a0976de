#include "app/CMessageBox.h"

#include <SDL.h>
#include <cstdio>

// Windows has no fork: the box is shown in the game's own process, on the main thread. A
// console's Ctrl+C is noted by CQuitSignals and acted on once the box is answered, so no box
// here ends as Interrupted.

namespace {
// SDL's result: 0 shown, negative failed (the reason is then in SDL_GetError).
int Show(const SDL_MessageBoxData& data, int* button) {
    *button = -1;
    return SDL_ShowMessageBox(&data, button);
}
}  // namespace

void CMessageBox::ShowError(const char* text, const char* caption) {
    if (!caption) caption = "Error";
    std::fprintf(stderr, "Pondquest: %s: %s\n", caption, text);
    const SDL_MessageBoxButtonData button = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
    SDL_MessageBoxData data;
    SDL_zero(data);
    data.flags = SDL_MESSAGEBOX_ERROR;
    data.title = caption;
    data.message = text;
    data.numbuttons = 1;
    data.buttons = &button;
    int answer;
    if (Show(data, &answer) < 0)
        std::fprintf(stderr, "Pondquest: the message box could not be shown: %s\n", SDL_GetError());
}

CMessageBox::Answer CMessageBox::AskYesNo(const char* text, const char* caption) {
    const SDL_MessageBoxButtonData buttons[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYes, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNo, "No"},
    };
    SDL_MessageBoxData data;
    SDL_zero(data);
    data.flags = SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.title = caption;
    data.message = text;
    data.numbuttons = 2;
    data.buttons = buttons;
    int answer;
    if (Show(data, &answer) != 0) {
        std::fprintf(stderr, "Pondquest: cannot ask \"%s\" (%s)\n", text, SDL_GetError());
        return kUnavailable;
    }
    return answer == kYes ? kYes : kNo;
}
