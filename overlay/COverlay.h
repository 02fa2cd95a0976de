#ifndef PONDQUEST_COVERLAY_H
#define PONDQUEST_COVERLAY_H

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
        health = 5;
    }
    void SetEnergy(int timeLeft) { energy = timeLeft + energyBonus; }
    void SetGoalReached(bool reached) { goalReached = reached; }
    bool IsGoalReached() const { return goalReached; }
    void SetTimeLeft(int s);

    void DrawMainMenu();
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
    // The HUD's font, made on first use.
    CTextFont* HudFont();
    bool ClockShowsZero() const { return minutes <= 0 && seconds <= 0 && subSeconds <= 0; }
};

#endif
