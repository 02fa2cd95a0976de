#include "app/CMessageBox.h"

#include <SDL.h>
#include <cstdio>

void CMessageBox::ShowError(const char* text, const char* caption) {
    if (!caption) caption = "Error";
    std::fprintf(stderr, "Pondquest: %s: %s\n", caption, text);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) != 0)
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
    data.window = nullptr;
    data.title = caption;
    data.message = text;
    data.numbuttons = 2;
    data.buttons = buttons;
    data.colorScheme = nullptr;
    int answer = -1;
    if (SDL_ShowMessageBox(&data, &answer) != 0) {
        std::fprintf(stderr, "Pondquest: cannot ask \"%s\" (%s)\n", text, SDL_GetError());
        return kUnavailable;
    }
    return answer == kYes ? kYes : kNo;
}
