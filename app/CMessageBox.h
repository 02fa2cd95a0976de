#ifndef PONDQUEST_CMESSAGEBOX_H
#define PONDQUEST_CMESSAGEBOX_H

// Modal message boxes before and around the game's window; everything shown is also
// written to stderr, so a headless or font-less X server still tells the user why.
class CMessageBox {
public:
    enum Answer { kYes = 1, kNo = 0, kUnavailable = -1 };

    // OK box; caption null gives "Error".
    static void ShowError(const char* text, const char* caption);
    // Yes (Enter) / No (Esc) question.
    static Answer AskYesNo(const char* text, const char* caption);
};

#endif
