#pragma once
// What the scripted player does in the game, page by page, through the
// session's keys and mouse (play/PlaySession.h). Each step checks
// what a player would see happen (the page reached, the race finished, the
// setting kept) and notes every fault it finds instead of stopping, so one
// run lists them all. Races are ridden by the computer racer's driver on the
// player's motorcycle once the start signal has gone; hint boxes are closed
// with Enter, as a player would.
#include <cstdio>
#include <string>
#include <vector>

#include "play/PlaySession.h"

namespace play
{

// One race as the player saw it.
struct RaceOutcome
{
    bool finished = false;   // the result screen came up
    int row = -1;            // race-table row raced
    int area = -1, season = -1;
    int place = 0;                      // 1-based, 0 unknown
    float raceTime = 0.0f;              // s
    double gameSeconds = 0;             // from START! back to the menu
    int upgradeLevels[3] = {0, 0, 0};   // the player's motorcycle in the race
};

class Player
{
public:
    // Progress lines go to `log` (may be null); pictures (OpenGL only) into
    // `pictureFolder` when it is not empty.
    Player(Session& session, FILE* log, const std::string& pictureFolder);

    // The profile: the name typed on the name page (the first page with no
    // profile yet), the motorcycle picked with >>> `model` times, OK.
    bool CreateProfile(const std::string& name, int model);
    // The profile page's DONE on the listed profile `slot`, to the main page.
    bool ChooseProfile(int slot);
    // A quick race from the main page on an open area and season, `laps`
    // 1..3, the fewest racers; CONTINUE on the result screen, back to the
    // main page.
    bool QuickRace(int area, int season, int laps, RaceOutcome* outcome);
    // The next career race from the main page (CONTINUE CAREER, upgrades
    // bought first when there are points, START!), CONTINUE on the result,
    // and every upgrade point spent on the upgrade page that follows.
    bool CareerRace(RaceOutcome* outcome);
    // After the last career race: the career-complete screen, a key, and
    // back on the main page.
    bool FinishCareer();
    // Every row of the graphics page stepped once and accepted, both volumes
    // stepped, the controls page seen; each checked in the running game and
    // in "Game.ini".
    bool ChangeOptions();
    // The records page opened from the main page and closed with OK.
    bool ViewRecords();
    // A quick race on the first area interrupted with the pause menu: Esc
    // and Esc again go on with the race, RESTART RACE puts everyone back on
    // the grid, TERMINATE RACE leads back to the main page.
    bool PauseMenu();
    // CHANGE PROFILE, a second profile made, then chosen away again and
    // deleted, and the first chosen back: its career as it was.
    bool SecondProfile(const std::string& name);
    // The main page by keyboard alone (the mouse put aside): Down to
    // OPTIONS, Enter, then Esc back.
    bool KeyboardMenus();
    // BACK from the career page (or the page's Esc) to the main page.
    bool BackToMain();
    // EXIT on the main page: the program asks to quit.
    bool Exit();

    // The upgrade page: points spent on the first system below the top,
    // until none are left; on the career page afterwards.
    bool SpendUpgrades();

    const std::vector<std::string>& Faults() const { return m_Faults; }
    void Fault(const std::string& what);
    void Note(const char* format, ...);
    // A picture of the current frame, named `name`.png in the picture folder.
    void Picture(const std::string& name);

private:
    bool WaitForPage(int state, int maxFrames, const char* what);
    bool RideRace(RaceOutcome* outcome);
    bool SetChoice(int option, int value);

    Session& m_Session;
    FILE* m_Log;
    std::string m_PictureFolder;
    std::vector<std::string> m_Faults;
};

}   // namespace play
