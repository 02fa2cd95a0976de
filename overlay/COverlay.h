#ifndef PONDQUEST_COVERLAY_H
#define PONDQUEST_COVERLAY_H

#include <string>

class CTextFont;
class CMainMenu;

// Text screens, HUDs, and the level statistics that decide winning and losing.
class COverlay {
public:
    int minutes;
    int seconds;
    int subSeconds;
    int energy;
    int health;
    int energyBonus;
    bool goalReached;
    CTextFont* smallFont;  // the HUD's; null until a HUD is first drawn
    CTextFont* largeFont;
    CTextFont* mediumFont;
    CMainMenu* mainMenu;
    // A short line over every screen after a setting changes; gone after kNoteSeconds.
    std::string note;
    float noteSeconds;  // how long it stays up yet
    static constexpr float kNoteSeconds = 1.0f;

    // Health at the start of each level; a cougar's touch takes one.
    static constexpr int kStartingHealth = 5;

    COverlay();
    ~COverlay();
    COverlay(const COverlay&) = delete;
    COverlay& operator=(const COverlay&) = delete;

    int GetEnergy() const { return energy; }
    int GetHealth() const { return health; }
    void LoseHealth() { health -= 1; }
    void AddEnergyBonus(int n) { energyBonus += n; }
    void ResetLevelStats() {
        energyBonus = 0;
        health = kStartingHealth;
    }
    void SetEnergy(int timeLeft) { energy = timeLeft + energyBonus; }
    void SetGoalReached(bool reached) { goalReached = reached; }
    bool IsGoalReached() const { return goalReached; }
    void SetTimeLeft(int s);

    void DrawMainMenu();
    // Lets the title picture go while a level is played; the title reads it again when shown.
    void ReleaseTitle();
    void DrawLevelOneIntro();
    void DrawLevelOneWon();
    void DrawLevelTwoIntro();
    void DrawLevelTwoWon();
    void DrawLost();
    void DrawInGameMenu();
    void DrawEnergyHud();
    // Drawing the clock at zero is how level two is won: it sets goalReached.
    void DrawHealthTimeHud();
    // The same picture without touching goalReached, and the rule on its own.
    void PrintHealthTimeHud();
    void ShowNote(const char* text) {
        note = text;
        noteSeconds = kNoteSeconds;
    }
    void AgeNote(float dt) {
        if (noteSeconds > 0.0f) noteSeconds -= dt;
    }
    // Over whatever the screen shows, while it lasts.
    void DrawNote();
    // The HUD's font, made on first use.
    CTextFont* HudFont();
    bool ClockShowsZero() const { return minutes <= 0 && seconds <= 0 && subSeconds <= 0; }
};

#endif
