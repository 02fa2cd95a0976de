#ifndef PONDQUEST_CMESSAGEBOX_H
#define PONDQUEST_CMESSAGEBOX_H

// Modal message boxes before and around the game's window; everything shown is also
// written to stderr, so a headless or font-less X server still tells the user why.
//
// SDL shows a box from a process of its own. The boxes here run that in a helper process
// heading a process group of its own, so a quit signal to the game closes the box with
// every process behind it, and the helper goes too if the game dies. Windows has no such
// helper: its boxes are shown by the game itself and are never Interrupted.
class CMessageBox {
public:
    enum Answer { kYes = 1, kNo = 0, kUnavailable = -1, kInterrupted = -2 };

    // OK box; caption null gives "Error". Returns early when a quit signal arrives.
    static void ShowError(const char* text, const char* caption);
    // Yes (Enter) / No (Esc) question; Interrupted when a quit signal closed it.
    static Answer AskYesNo(const char* text, const char* caption);
};

#endif
