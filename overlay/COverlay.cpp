#include "overlay/COverlay.h"

#include <GL/gl.h>

#include <cmath>

#include "overlay/CMainMenu.h"
#include "overlay/CTextFont.h"

namespace {

// Text screens sit 1.1 units in front of the eye.
const float kScreenZ = -0.1f;

struct Rgba {
    float r, g, b, a;
};
const Rgba kGreen = {0.3f, 1.0f, 0.3f, 0.8f};
const Rgba kPaleGreen = {0.4f, 1.0f, 0.3f, 0.8f};
const Rgba kBlue = {0.3f, 0.3f, 1.0f, 0.8f};
const Rgba kRed = {1.0f, 0.3f, 0.3f, 0.8f};
const Rgba kWhite = {1.0f, 1.0f, 1.0f, 0.8f};

void BeginTextScreen() {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void EndTextScreen() {
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
}

// The current colour and texture coordinate as text found them, given back when it is done.
// Not glPushAttrib: Mesa keeps a 2.5 MiB block for every depth of its attribute stack ever used.
struct CurrentKept {
    GLfloat colour[4];
    GLfloat texCoord[4];
    CurrentKept() {
        glGetFloatv(GL_CURRENT_COLOR, colour);
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    }
    ~CurrentKept() {
        glColor4fv(colour);
        glTexCoord4fv(texCoord);
    }
};

void Line(CTextFont* font, const Rgba& c, float x, float y, const char* text) {
    font->SetColor(c.r, c.g, c.b, c.a);
    font->SetPosition(x, y, kScreenZ);
    font->Print("%s", text);
}

}  // namespace

COverlay::COverlay()
    : minutes(0),
      seconds(0),
      subSeconds(0),
      energy(0),
      health(kStartingHealth),
      energyBonus(0),
      goalReached(false),
      smallFont(nullptr),
      largeFont(nullptr),
      mediumFont(nullptr),
      mainMenu(nullptr),
      noteSeconds(0.0f) {
    largeFont = new CTextFont("Arial", 40);
    mediumFont = new CTextFont("Arial", 30);
    // The HUD and the text screens lie over the level: a dark edge keeps them legible.
    largeFont->SetShadow(true);
    mainMenu = new CMainMenu();
}

COverlay::~COverlay() {
    delete smallFont;
    delete largeFont;
    delete mediumFont;
    delete mainMenu;
}

void COverlay::SetTimeLeft(int s) {
    minutes = static_cast<int>(static_cast<double>(s) / 60.0);
    double whole = std::floor(static_cast<double>(s));
    seconds = static_cast<int>(whole) % 60;
    subSeconds = static_cast<int>((static_cast<double>(s) - whole) * 60.0);
}

void COverlay::ReleaseTitle() { mainMenu->FreeAssets(); }

void COverlay::DrawMainMenu() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    mainMenu->Draw();
    glDisable(GL_TEXTURE_2D);
    // The title's lines are part of its picture: no shadow.
    largeFont->SetShadow(false);
    largeFont->SetColor(1.0f, 0.0f, 0.0f, 1.0f);
    largeFont->SetPosition(-0.04f, -0.27f, kScreenZ);
    largeFont->Print("P = Play");
    largeFont->SetShadow(true);
    mediumFont->SetColor(1.0f, 0.0f, 0.0f, 1.0f);
    mediumFont->SetPosition(-0.09f, -0.4f, kScreenZ);
    mediumFont->Print("ESC key = Exit");
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
}

void COverlay::DrawLevelOneIntro() {
    BeginTextScreen();
    Line(largeFont, kGreen, -0.25f, 0.15f, "Level One");
    Line(largeFont, kWhite, -0.7f, 0.0f, "You must find the Wise Old Man to");
    Line(largeFont, kWhite, -0.7f, -0.08f, "get information about your parents.");
    Line(largeFont, kWhite, -0.7f, -0.16f, "As, a duckling, you have a high");
    Line(largeFont, kWhite, -0.7f, -0.24f, "metabolism and must constantly eat.");
    Line(largeFont, kRed, -0.7f, -0.32f, "Don't let your energy level go to zero.");
    Line(largeFont, kWhite, -0.7f, -0.42f, "Press Spacebar to begin...");
    EndTextScreen();
}

void COverlay::DrawLevelOneWon() {
    BeginTextScreen();
    Line(largeFont, kGreen, -0.68f, 0.4f, "CONGRADULATIONS, YOUNG DUCK!");
    Line(largeFont, kBlue, -0.6f, 0.16f, "You have finally found me! I will");
    Line(largeFont, kBlue, -0.6f, 0.08f, "give you a vision of the future.");
    Line(largeFont, kBlue, -0.6f, 0.0f, "It is your job to make sure this ");
    Line(largeFont, kBlue, -0.6f, -0.08f, "vision does not come true.");
    Line(largeFont, kBlue, -0.5f, -0.16f, "That's it...go to sleep...");
    Line(largeFont, kWhite, -0.5f, -0.3f, "Space = Continue to level two");
    Line(largeFont, kWhite, -0.5f, -0.4f, "Q = Go to Main Menu");
    EndTextScreen();
}

void COverlay::DrawLevelTwoIntro() {
    BeginTextScreen();
    Line(largeFont, kGreen, -0.25f, 0.15f, "Level Two");
    Line(largeFont, kWhite, -0.7f, 0.0f, "You must stay alive by avoiding the");
    Line(largeFont, kWhite, -0.7f, -0.08f, "cougars. Although it's only a vision, ");
    Line(largeFont, kWhite, -0.7f, -0.16f, "if you die here, you die in real life.");
    Line(largeFont, kWhite, -0.7f, -0.24f, "(like in the Matrix)");
    Line(largeFont, kWhite, -0.7f, -0.42f, "Press Spacebar to begin...");
    EndTextScreen();
}

void COverlay::DrawLevelTwoWon() {
    BeginTextScreen();
    Line(largeFont, kPaleGreen, -0.35f, 0.4f, "IMPRESSIVE MOVES!");
    Line(largeFont, kBlue, -0.6f, 0.2f, "Now you have seen the horor of the");
    Line(largeFont, kBlue, -0.6f, 0.12f, "cougars.  Incidentally, the cougar");
    Line(largeFont, kBlue, -0.6f, 0.04f, "in the vision is the one who killed");
    Line(largeFont, kBlue, -0.6f, -0.04f, "your parents.");
    Line(largeFont, kBlue, -0.3f, -0.12f, "* You get very mad *");
    Line(largeFont, kBlue, -0.3f, -0.2f, "...to be continued...");
    Line(largeFont, kWhite, -0.5f, -0.3f, "Space = Continue to Credits");
    Line(largeFont, kWhite, -0.5f, -0.4f, "Q = Go to Main Menu");
    EndTextScreen();
}

void COverlay::DrawLost() {
    // A level won in the same frame it was lost shows no loss.
    if (goalReached) return;
    BeginTextScreen();
    Line(largeFont, kRed, -0.25f, 0.15f, "YOU LOSE!");
    Line(largeFont, kWhite, -0.5f, -0.2f, "Space = try again");
    Line(largeFont, kWhite, -0.5f, -0.4f, "Q = Go to Main Menu");
    EndTextScreen();
}

void COverlay::DrawInGameMenu() {
    BeginTextScreen();
    Line(largeFont, kGreen, -0.25f, 0.15f, "InGame Menu");
    Line(largeFont, kWhite, -0.5f, -0.2f, "Esc = Return to Game");
    Line(largeFont, kWhite, -0.5f, -0.4f, "Q = Go to Main Menu");
    EndTextScreen();
}

// Made when a HUD is first drawn, after the first title frame: the title does not use it.
CTextFont* COverlay::HudFont() {
    if (!smallFont) {
        smallFont = new CTextFont("Arial", 16);
        smallFont->SetShadow(true);
    }
    return smallFont;
}

void COverlay::DrawEnergyHud() {
    CTextFont* font = HudFont();
    CurrentKept kept;
    glDisable(GL_TEXTURE_2D);
    font->SetPosition(0.3f, 0.5f, kScreenZ);
    font->SetColor(1.0f, 0.0f, 0.0f, 1.0f);
    font->Print("Enegy Level: %i", energy > 0 ? energy : 0);
    glEnable(GL_TEXTURE_2D);
}

void COverlay::DrawHealthTimeHud() {
    // The clock showing zero is how level two is won.
    if (ClockShowsZero()) goalReached = true;
    PrintHealthTimeHud();
}

void COverlay::PrintHealthTimeHud() {
    CTextFont* font = HudFont();
    CurrentKept kept;
    glDisable(GL_TEXTURE_2D);
    font->SetColor(kBlue.r, kBlue.g, kBlue.b, kBlue.a);
    font->SetPosition(0.1f, 0.5f, kScreenZ);
    font->Print("Health: %i", health);

    font->SetPosition(0.3f, 0.5f, kScreenZ);
    if (ClockShowsZero()) {
        font->Print("Time: 0:0.00");
    } else if (seconds < 10 && subSeconds < 10) {
        font->Print("Time: %d:0%d.0%d", minutes, seconds, subSeconds);
    } else if (seconds < 10) {
        font->Print("Time: %d:0%d.%d", minutes, seconds, subSeconds);
    } else if (subSeconds < 10) {
        font->Print("Time: %d:%d.0%d", minutes, seconds, subSeconds);
    } else {
        font->Print("Time: %d:%d.%d", minutes, seconds, subSeconds);
    }
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
}

void COverlay::DrawNote() {
    if (noteSeconds <= 0.0f || note.empty()) return;
    CurrentKept kept;
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    const GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    BeginTextScreen();
    mediumFont->SetShadow(true);
    Line(mediumFont, kWhite, -0.7f, -0.52f, note.c_str());  // lower left, under the text screens
    mediumFont->SetShadow(false);
    EndTextScreen();
    // Given back as found: the note lies over any screen, in any state.
    if (depthTest) glEnable(GL_DEPTH_TEST);
    if (!texturing) glDisable(GL_TEXTURE_2D);
    if (blending) glEnable(GL_BLEND);
}
