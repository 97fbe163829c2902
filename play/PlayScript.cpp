// The scripted player's steps: see PlayScript.h.
#include "play/PlayScript.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "app/GameEvent.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "interface/MenuOptions.h"
#include "interface/MenuRaceRules.h"
#include "platform/os/Ini.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace play
{
namespace
{
const int kSecond = 60;   // frames
// The longest race the player waits for, start signal to finish.
const int kRaceLimit = 600 * kSecond;

std::string IniValue(const char* section, const char* key)
{
    char buf[64];
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, "./Game.ini");
    return buf;
}

const char* PageName(int state)
{
    switch (state)
    {
    case MENU_NONE:
        return "no page";
    case MENU_PROFILES:
        return "profiles";
    case MENU_NEW_PROFILE:
        return "name entry";
    case MENU_MAIN:
        return "main";
    case MENU_QUICK_RACE:
        return "quick race";
    case MENU_CAREER:
        return "career";
    case MENU_NEW_CAREER:
        return "new career question";
    case MENU_MOTORCYCLE:
        return "motorcycle";
    case MENU_UPGRADE:
        return "upgrade";
    case MENU_OPTIONS:
        return "options";
    case MENU_GRAPHICS:
        return "graphics";
    case MENU_AUDIO:
        return "audio";
    case MENU_CONTROLS:
        return "controls";
    case MENU_CREDITS:
        return "credits";
    case MENU_RECORDS:
        return "records";
    case MENU_EXIT:
        return "exit";
    case MENU_LOADING:
        return "loading";
    default:
        return "unknown page";
    }
}

bool OnPage(int state)
{
    return g_MainMenu.active && g_MainMenu.state == state;
}
}   // namespace

Player::Player(Session& session, FILE* log, const std::string& pictureFolder)
    : m_Session(session), m_Log(log), m_PictureFolder(pictureFolder)
{}

void Player::Fault(const std::string& what)
{
    m_Faults.push_back(what);
    if (m_Log)
    {
        std::fprintf(m_Log, "FAULT %s\n", what.c_str());
        std::fflush(m_Log);
    }
}

void Player::Note(const char* format, ...)
{
    if (!m_Log)
        return;
    va_list args;
    va_start(args, format);
    std::fprintf(m_Log, "[%7.1f s] ", m_Session.GameSeconds());
    std::vfprintf(m_Log, format, args);
    std::fprintf(m_Log, "\n");
    std::fflush(m_Log);
    va_end(args);
}

void Player::Picture(const std::string& name)
{
    if (m_PictureFolder.empty())
        return;
    // The camera's fade back in after a race, over before the picture.
    m_Session.Frames(kSecond + kSecond / 2);
    const std::string path = m_PictureFolder + "/" + name + ".png";
    if (m_Session.Picture(path))
        Note("picture %s", path.c_str());
}

bool Player::WaitForPage(int state, int maxFrames, const char* what)
{
    if (m_Session.Until([state] { return OnPage(state); }, maxFrames))
        return true;
    Fault(std::string(what) + ": the " + PageName(state) + " page did not come; the menu is " +
          (g_MainMenu.active ? "on the " + std::string(PageName(g_MainMenu.state)) + " page" : "closed"));
    return false;
}

bool Player::CreateProfile(const std::string& name, int model)
{
    if (!m_Session.Until([] { return OnPage(MENU_NEW_PROFILE) || OnPage(MENU_PROFILES); }, 10 * kSecond))
    {
        Fault("the program did not open on a profile page");
        return false;
    }
    // The page fades in from the loading picture.
    m_Session.Frames(2 * kSecond + 10);
    if (OnPage(MENU_PROFILES))
    {
        m_Session.Click(g_MainMenu.buttons[BUTTON_NEW_PROFILE]);
        if (!WaitForPage(MENU_NEW_PROFILE, kSecond, "NEW PROFILE"))
            return false;
    }
    Picture("name_entry");
    for (size_t n = std::strlen(g_PlayerName); n > 0; --n)
        m_Session.Tap(SDLK_BACKSPACE);
    if (g_PlayerName[0] != 0)
        Fault(std::string("Backspace left \"") + g_PlayerName + "\" in the name");
    if (g_MainMenu.buttons[BUTTON_NAME_DONE].enabled)
        Fault("DONE is enabled with an empty name");
    m_Session.Type(name);
    if (name.compare(0, PROFILE_NAME_SIZE - 1, g_PlayerName) != 0)
        Fault("typed \"" + name + "\", the name reads \"" + g_PlayerName + "\"");
    Picture("name_typed");
    const int counter = g_ProfileCounter;
    m_Session.Tap(SDLK_RETURN);
    if (!WaitForPage(MENU_MOTORCYCLE, kSecond, "Enter on the name"))
        return false;
    char file[64];
    std::snprintf(file, sizeof file, "Save/Profile%02d.sav", counter + 1);
    if (access(file, F_OK) != 0)
        Fault(std::string("no profile file ") + file + " after the name was entered");
    if (IniValue("Misc", "Profiles") != std::to_string(counter + 1))
        Fault("\"Game.ini\" counts " + IniValue("Misc", "Profiles") + " profiles after the first was made");

    for (int i = 0; i < model; ++i)
        m_Session.Click(g_MainMenu.nextButton);
    if (g_Career.motorcycle != model)
        Fault(">>> " + std::to_string(model) + " times picked motorcycle " + std::to_string(g_Career.motorcycle));
    m_Session.Click(g_MainMenu.motorcycleSchemeButton);
    Picture("motorcycle");
    m_Session.Click(g_MainMenu.motorcycleOkButton);
    if (!WaitForPage(MENU_MAIN, kSecond, "OK on the motorcycle"))
        return false;
    if (!g_MainMenu.buttons[BUTTON_CONTINUE_CAREER].enabled)
        Fault("CONTINUE CAREER is disabled after the new career began");
    Picture("main");
    Note("profile \"%s\" made, motorcycle %d", g_PlayerName, g_Career.motorcycle);
    return true;
}

bool Player::ChooseProfile(int slot)
{
    if (!m_Session.Until([] { return OnPage(MENU_PROFILES) || OnPage(MENU_NEW_PROFILE); }, 10 * kSecond) ||
        !OnPage(MENU_PROFILES))
    {
        Fault("the program did not open on the profile list");
        return false;
    }
    m_Session.Frames(2 * kSecond + 10);
    Picture("profiles");
    if (slot >= g_MainMenu.profileCount)
    {
        Fault("profile " + std::to_string(slot + 1) + " is not listed (" + std::to_string(g_MainMenu.profileCount) +
              " listed)");
        return false;
    }
    m_Session.Click(g_MainMenu.buttons[BUTTON_PROFILE_SLOT + slot]);
    m_Session.Click(g_MainMenu.buttons[BUTTON_PROFILES_DONE]);
    if (!WaitForPage(MENU_MAIN, kSecond, "DONE on the profile list"))
        return false;
    Note("profile \"%s\" chosen", g_PlayerName);
    return true;
}

bool Player::SetChoice(int option, int value)
{
    for (int i = 0; i < 6 && g_QuickRaceOptions[option] != value; ++i)
        m_Session.Click(g_MainMenu.raceOptions[option].label);
    if (g_QuickRaceOptions[option] == value)
        return true;
    Fault("the quick-race row " + std::to_string(option) + " never reached " + std::to_string(value));
    return false;
}

bool Player::QuickRace(int area, int season, int laps, RaceOutcome* outcome)
{
    if (!OnPage(MENU_MAIN))
    {
        Fault("a quick race asked for away from the main page");
        return false;
    }
    m_Session.Click(g_MainMenu.buttons[BUTTON_QUICK_RACE]);
    if (!WaitForPage(MENU_QUICK_RACE, kSecond, "QUICK RACE"))
        return false;
    SetChoice(CHOICE_TRACK, area);
    SetChoice(CHOICE_SEASON, season);
    SetChoice(CHOICE_LAPS, laps - 1);
    SetChoice(CHOICE_RACERS, 0);
    const bool open = g_Career.unlocked[area * 3 + season] != 0;
    if (g_MainMenu.quickStartButton.enabled != (open ? 1 : 0))
        Fault("START! is " + std::string(g_MainMenu.quickStartButton.enabled ? "enabled" : "disabled") + " for area " +
              std::to_string(area + 1) + " season " + std::to_string(season) + ", which is " +
              (open ? "open" : "closed"));
    Picture("quick_race_" + std::to_string(area + 1) + "_" + std::to_string(season));
    if (!open)
    {
        m_Session.Tap(SDLK_ESCAPE);
        WaitForPage(MENU_MAIN, kSecond, "Esc on the quick-race page");
        return false;
    }
    m_Session.Click(g_MainMenu.quickStartButton);
    RaceOutcome local;
    RaceOutcome& o = outcome ? *outcome : local;
    if (!RideRace(&o))
        return false;
    if (o.area != area || o.season != season)
        Fault("the quick race asked for area " + std::to_string(area + 1) + " season " + std::to_string(season) +
              " ran on area " + std::to_string(o.area + 1) + " season " + std::to_string(o.season));
    if (g_RaceTable.laps[o.row] != laps)
        Fault("the quick race of " + std::to_string(laps) + " laps had " + std::to_string(g_RaceTable.laps[o.row]));
    return WaitForPage(MENU_MAIN, 6 * kSecond, "CONTINUE after a quick race");
}

bool Player::RideRace(RaceOutcome* o)
{
    const long startFrame = m_Session.FrameCount();
    // The loading page, then the area and the start's camera move.
    if (!m_Session.Until([] { return !g_MainMenu.active; }, 5 * kSecond))
    {
        Fault("START! did not lead into a race; the menu stays on the " + std::string(PageName(g_MainMenu.state)) +
              " page");
        return false;
    }
    o->row = g_CurrentRace;
    if (o->row >= 0 && o->row < RACE_ROWS)
    {
        o->area = g_RaceTable.area[o->row];
        o->season = g_RaceTable.season[o->row];
    }
    if (!g_PlayerVehicle)
    {
        Fault("the race started without the player's motorcycle");
        return false;
    }
    if (!m_Session.Until([] { return g_GameEvent.code != GEVENT_RACE_START; }, 15 * kSecond))
    {
        Fault("the race start never gave the start signal");
        return false;
    }
    for (int i = 0; i < 3; ++i)
        o->upgradeLevels[i] = g_PlayerVehicle->UpgradeLevels[i];
    // The player's motorcycle ridden by the computer racer's driver.
    g_PlayerVehicle->DriveState = DRIVE_AI;
    g_PlayerVehicle->ControlMode = CONTROL_COMPUTER;
    m_Session.SetFastRace(true);
    bool pictured = false;
    bool noResult = false;
    const long raceStart = m_Session.FrameCount();
    const bool done = m_Session.Until(
        [&] {
            if (g_GameHUD.resultOpen)
                return true;
            if (g_MainMenu.active)
            {
                noResult = true;
                return true;
            }
            // A hint box holds the race until Enter closes it.
            if (!GameRunning() && g_GameHUD.messageId != 0)
                m_Session.Tap(SDLK_RETURN);
            if (!pictured && !m_PictureFolder.empty() && m_Session.FrameCount() - raceStart > 10 * kSecond &&
                GameRunning() && g_PlayerVehicle->DriveState == DRIVE_AI)
            {
                // The display's readouts show while the keys ride: for the
                // picture the keys have the motorcycle for a second, the
                // driver steering on.
                pictured = true;
                m_Session.SetFastRace(false);
                g_PlayerVehicle->ControlMode = CONTROL_KEYBOARD;
                m_Session.Frames(kSecond);
                Picture("race_" + std::to_string(o->area + 1) + "_" + std::to_string(o->season));
                if (g_PlayerVehicle)
                    g_PlayerVehicle->ControlMode = CONTROL_COMPUTER;
                m_Session.SetFastRace(true);
            }
            return false;
        },
        kRaceLimit);
    m_Session.SetFastRace(false);
    if (!done)
    {
        char state[320] = "no motorcycle";
        if (const CVehicleObject* v = g_PlayerVehicle)
            std::snprintf(state, sizeof state,
                          "drive state %d, control %d, %.1f km/h at (%.1f, %.1f, %.1f), path point %d of %d, rider %s, "
                          "stuck timer %.2f, off-route %.2f, event %d, game running %d, message %d, race time %.1f",
                          v->DriveState, v->ControlMode, v->Speed, v->Position[0], v->Position[1], v->Position[2],
                          v->PathPoint, g_RacePathCount,
                          !v->Rider           ? "none"
                          : v->Rider->RagDoll ? "fallen"
                                              : "riding",
                          v->StuckTimer, v->OffRouteTimer, g_GameEvent.code, GameRunning(), g_GameHUD.messageId,
                          v->RaceStats.RaceTime);
        Fault("race on area " + std::to_string(o->area + 1) + " season " + std::to_string(o->season) +
              " did not reach its result screen in " + std::to_string(kRaceLimit / kSecond) +
              " s; the player: " + state);
        return false;
    }
    if (noResult)
    {
        Fault("race on area " + std::to_string(o->area + 1) + " season " + std::to_string(o->season) +
              " went back to the menu without its result screen");
        return false;
    }
    o->finished = true;
    o->place = g_PlayerVehicle ? g_PlayerVehicle->RaceStats.Position + 1 : 0;
    o->raceTime = g_PlayerVehicle ? g_PlayerVehicle->RaceStats.RaceTime : 0.0f;
    // The rows come in one after another; then the choice.
    m_Session.Frames(8 * kSecond);
    Picture("result_" + std::to_string(o->area + 1) + "_" + std::to_string(o->season));
    const bool closed = m_Session.Until(
        [&] {
            if (!g_GameHUD.resultOpen)
                return true;
            m_Session.Tap(SDLK_RETURN);
            m_Session.Frames(kSecond / 2);
            return false;
        },
        30 * kSecond);
    if (!closed)
    {
        Fault("Enter never closed the result screen");
        return false;
    }
    if (!g_GameHUD.careerComplete &&
        !m_Session.Until([] { return g_MainMenu.active && g_MainMenu.state != MENU_LOADING; }, 6 * kSecond))
    {
        Fault("CONTINUE on the result screen did not lead back to the menu");
        return false;
    }
    o->gameSeconds = (double)(m_Session.FrameCount() - startFrame) / kSecond;
    Note("race on area %d season %d (row %d): place %d, %.2f s; %.0f game s from START!", o->area + 1, o->season,
         o->row, o->place, o->raceTime, o->gameSeconds);
    return true;
}

bool Player::SpendUpgrades()
{
    for (int n = 0; n < 40 && OnPage(MENU_UPGRADE); ++n)
    {
        if (n == 0)
            Picture("upgrade");
        // Handling and pull before top speed: the computer's driver that
        // rides for the player takes its corners faster the higher the top
        // speed, so the chassis first, then the transmission, the engine
        // last.
        int pick = -1;
        for (int i : {2, 1, 0})
            if (pick < 0 && g_Career.upgradeLevel[i] < 10)
                pick = i;
        const int points = g_Career.upgradePoints;
        const int level = pick >= 0 ? g_Career.upgradeLevel[pick] : -1;
        if (pick >= 0)
            m_Session.Click(g_MainMenu.systemButtons[pick]);
        m_Session.Click(g_MainMenu.upgradeOkButton);
        if (pick >= 0 && g_Career.upgradeLevel[pick] != level + 1)
            Fault("OK on the upgrade page left system " + std::to_string(pick) + " at level " +
                  std::to_string(g_Career.upgradeLevel[pick]) + " (was " + std::to_string(level) + ")");
        if (g_Career.upgradePoints != points - 1 && g_Career.upgradePoints != 0)
            Fault("an upgrade bought left " + std::to_string(g_Career.upgradePoints) + " points of " +
                  std::to_string(points));
        Note("upgrade bought: system %d to level %d, %d points left", pick,
             pick >= 0 ? g_Career.upgradeLevel[pick] : -1, g_Career.upgradePoints);
        m_Session.Frames(2);
    }
    return WaitForPage(MENU_CAREER, kSecond, "the last upgrade bought");
}

bool Player::CareerRace(RaceOutcome* outcome)
{
    if (OnPage(MENU_MAIN))
    {
        m_Session.Click(g_MainMenu.buttons[BUTTON_CONTINUE_CAREER]);
        if (!m_Session.Until([] { return OnPage(MENU_CAREER) || OnPage(MENU_UPGRADE); }, kSecond))
        {
            Fault("CONTINUE CAREER led to the " + std::string(PageName(g_MainMenu.state)) + " page");
            return false;
        }
    }
    if (OnPage(MENU_UPGRADE) && !SpendUpgrades())
        return false;
    if (!OnPage(MENU_CAREER))
    {
        Fault("a career race asked for from the " + std::string(PageName(g_MainMenu.state)) + " page");
        return false;
    }
    const CareerData before = g_Career;
    const int index = before.raceIndex;
    Picture("career_" + std::to_string(index + 1));
    m_Session.Click(g_MainMenu.careerStartButton);
    RaceOutcome local;
    RaceOutcome& o = outcome ? *outcome : local;
    if (!RideRace(&o))
        return false;
    if (o.area != g_RaceTable.area[index] || o.season != g_RaceTable.season[index])
        Fault("career race " + std::to_string(index + 1) + " ran on area " + std::to_string(o.area + 1) + " season " +
              std::to_string(o.season) + ", the table has area " + std::to_string(g_RaceTable.area[index] + 1) +
              " season " + std::to_string(g_RaceTable.season[index]));
    for (int i = 0; i < 3; ++i)
        if (o.upgradeLevels[i] != before.upgradeLevel[i])
        {
            Fault("career race " + std::to_string(index + 1) + ": the motorcycle rode with upgrade levels " +
                  std::to_string(o.upgradeLevels[0]) + "/" + std::to_string(o.upgradeLevels[1]) + "/" +
                  std::to_string(o.upgradeLevels[2]) + ", the career has " + std::to_string(before.upgradeLevel[0]) +
                  "/" + std::to_string(before.upgradeLevel[1]) + "/" + std::to_string(before.upgradeLevel[2]));
            break;
        }
    const bool podium = o.place >= 1 && o.place <= 3;
    if (g_GameHUD.careerComplete)
    {
        if (index != CAREER_ROWS - 2 || !podium)
            Fault("the career ended after race " + std::to_string(index + 1) + " in place " + std::to_string(o.place));
        return true;
    }
    const int expected = podium ? index + 1 : index;
    if (g_Career.raceIndex != expected)
        Fault("after career race " + std::to_string(index + 1) + " in place " + std::to_string(o.place) +
              " the next race is " + std::to_string(g_Career.raceIndex + 1) + ", not " + std::to_string(expected + 1));
    if (podium && !g_Career.unlocked[o.area * 3 + o.season])
        Fault("a podium on area " + std::to_string(o.area + 1) + " season " + std::to_string(o.season) +
              " did not open it for quick races");
    if (g_Career.place[index] != o.place)
        Fault("the career keeps place " + std::to_string(g_Career.place[index]) + " for race " +
              std::to_string(index + 1) + ", raced in place " + std::to_string(o.place));
    if (podium && IniValue("Misc", "RaceID") != std::to_string(expected))
        Fault("\"Game.ini\" keeps RaceID " + IniValue("Misc", "RaceID") + " after career race " +
              std::to_string(index + 1));
    if (OnPage(MENU_UPGRADE))
        return SpendUpgrades();
    return WaitForPage(MENU_CAREER, kSecond, "CONTINUE after a career race");
}

bool Player::FinishCareer()
{
    if (!g_GameHUD.careerComplete)
    {
        Fault("no career-complete screen after the last career race");
        return false;
    }
    m_Session.Frames(13 * kSecond);
    Picture("career_complete");
    m_Session.Tap(SDLK_RETURN);
    if (!WaitForPage(MENU_MAIN, 8 * kSecond, "a key on the career-complete screen"))
        return false;
    if (g_GameHUD.careerComplete)
        Fault("the career-complete screen stays after the key");
    if (g_Career.raceIndex != 0)
        Fault("the finished career's next race is " + std::to_string(g_Career.raceIndex + 1));
    Note("career complete; score %.0f", g_Career.totalScore);
    return true;
}

bool Player::ChangeOptions()
{
    if (!OnPage(MENU_MAIN))
    {
        Fault("the options asked for away from the main page");
        return false;
    }
    m_Session.Click(g_MainMenu.buttons[BUTTON_OPTIONS]);
    if (!WaitForPage(MENU_OPTIONS, kSecond, "OPTIONS"))
        return false;
    Picture("options");
    m_Session.Click(g_MainMenu.graphicsButton);
    if (!WaitForPage(MENU_GRAPHICS, kSecond, "GRAPHICS"))
        return false;
    const int before[5] = {g_VideoMode, g_ViewDistance, g_ShadowQuality, g_GlowOn, g_BlurOn};
    int* const pending[5] = {&g_MainMenu.pendingMode, &g_MainMenu.pendingDistance, &g_MainMenu.pendingShadows,
                             &g_MainMenu.pendingGlow, &g_MainMenu.pendingBlur};
    const char* const names[5] = {"Resolution", "View distance", "Shadows", "Glow", "Blur"};
    for (int row = 0; row < MENU_VIDEO_OPTIONS; ++row)
    {
        const int was = *pending[row];
        m_Session.Click(g_MainMenu.videoOptions[row].label);
        if (*pending[row] == was)
            Fault(std::string(names[row]) + " did not change when clicked");
    }
    Picture("graphics");
    const int chosen[5] = {*pending[0], *pending[1], *pending[2], *pending[3], *pending[4]};
    m_Session.Click(g_MainMenu.acceptButton);
    if (!WaitForPage(MENU_OPTIONS, kSecond, "ACCEPT"))
        return false;
    const int running[5] = {g_VideoMode, g_ViewDistance, g_ShadowQuality, g_GlowOn, g_BlurOn};
    const std::string saved[5] = {IniValue("Video", "Mode"), IniValue("Video", "Distance"),
                                  IniValue("Video", "Shadows"), IniValue("Video", "Glow"), IniValue("Video", "Blur")};
    const int savedAs[5] = {chosen[0], (chosen[1] - 300) / 100, chosen[2], chosen[3], chosen[4]};
    for (int row = 0; row < 5; ++row)
    {
        if (running[row] != chosen[row])
            Fault(std::string(names[row]) + " accepted as " + std::to_string(chosen[row]) + " runs as " +
                  std::to_string(running[row]));
        if (saved[row] != std::to_string(savedAs[row]))
            Fault(std::string(names[row]) + " accepted as " + std::to_string(savedAs[row]) + " is kept as " +
                  saved[row] + " in \"Game.ini\"");
    }
    Note("graphics: mode %d->%d, distance %d->%d, shadows %d->%d, glow %d->%d, blur %d->%d", before[0], running[0],
         before[1], running[1], before[2], running[2], before[3], running[3], before[4], running[4]);

    m_Session.Click(g_MainMenu.audioButton);
    if (!WaitForPage(MENU_AUDIO, kSecond, "AUDIO"))
        return false;
    const int music = g_MusicVolume, effects = g_EffectsVolume;
    m_Session.Click(g_MainMenu.musicOption.label);
    m_Session.Click(g_MainMenu.effectsOption.label);
    Picture("audio");
    if (g_MusicVolume == music || g_EffectsVolume == effects)
        Fault("the volumes did not change when clicked");
    if (IniValue("Audio", "Music") != std::to_string(g_MusicVolume) ||
        IniValue("Audio", "Effects") != std::to_string(g_EffectsVolume))
        Fault("the volumes are not kept in \"Game.ini\"");
    Note("audio: music %d->%d, effects %d->%d", music, g_MusicVolume, effects, g_EffectsVolume);
    m_Session.Click(g_MainMenu.backButton);
    if (!WaitForPage(MENU_OPTIONS, kSecond, "BACK on the audio page"))
        return false;

    m_Session.Click(g_MainMenu.controlsButton);
    if (!WaitForPage(MENU_CONTROLS, kSecond, "CONTROLS"))
        return false;
    Picture("controls");
    m_Session.Tap(SDLK_ESCAPE);
    // Esc held over two updates may pass on to the options page's own back.
    if (!m_Session.Until([] { return OnPage(MENU_OPTIONS) || OnPage(MENU_MAIN); }, kSecond))
        Fault("Esc on the controls page led to the " + std::string(PageName(g_MainMenu.state)) + " page");
    if (OnPage(MENU_OPTIONS))
        m_Session.Click(g_MainMenu.backButton);
    return WaitForPage(MENU_MAIN, kSecond, "BACK on the options page");
}

bool Player::ViewRecords()
{
    if (!OnPage(MENU_MAIN))
    {
        Fault("the records asked for away from the main page");
        return false;
    }
    m_Session.Click(g_MainMenu.buttons[BUTTON_RECORDS]);
    if (!WaitForPage(MENU_RECORDS, kSecond, "RECORDS TABLE"))
        return false;
    m_Session.Frames(kSecond);
    Picture("records");
    // What the player raced is on the page: the career's score in the
    // player's entry while the career holds one (a finished and cleared
    // career's entry keeps the score it reached); a career without one scores
    // no more than the weakest entry.
    const int entry = ScorePlayerEntry();
    if (entry >= 0)
    {
        if (g_Career.totalScore > 0.0f && (int)g_Records.score[entry] != (int)g_Career.totalScore)
            Fault("the records give the player " + std::to_string((int)g_Records.score[entry]) +
                  " points, the career has " + std::to_string((int)g_Career.totalScore));
        if (std::strncmp(g_Records.name[entry], g_PlayerName, RECORD_NAME_SIZE) != 0)
            Fault(std::string("the player's score entry is named \"") + g_Records.name[entry] + "\"");
    }
    else
    {
        float weakest = g_Records.score[0];
        for (int i = 1; i < SCORE_ENTRIES; ++i)
            weakest = std::min(weakest, g_Records.score[i]);
        if (g_Career.totalScore > weakest)
            Fault("the career's " + std::to_string((int)g_Career.totalScore) +
                  " points beat the table's weakest entry but hold no entry");
    }
    for (int row = 0; row < CAREER_ROWS - 1; ++row)
        if (g_Career.place[row] > 0 && !(g_Records.best[row] > 0.0f && g_Records.holder[row][0] != 0))
            Fault("career race " + std::to_string(row + 1) + " was ridden but has no best time in the records");
    m_Session.Click(g_MainMenu.recordsOkButton);
    return WaitForPage(MENU_MAIN, kSecond, "OK on the records");
}

bool Player::PauseMenu()
{
    if (!OnPage(MENU_MAIN))
    {
        Fault("the pause menu asked for away from the main page");
        return false;
    }
    m_Session.Click(g_MainMenu.buttons[BUTTON_QUICK_RACE]);
    if (!WaitForPage(MENU_QUICK_RACE, kSecond, "QUICK RACE"))
        return false;
    SetChoice(CHOICE_TRACK, 0);
    SetChoice(CHOICE_SEASON, 0);
    m_Session.Click(g_MainMenu.quickStartButton);
    auto started = [this](const char* what) {
        if (m_Session.Until(
                [] {
                    return !g_MainMenu.active && g_GameEvent.code != GEVENT_RACE_START &&
                           g_GameEvent.code != GEVENT_RESTART && GameRunning();
                },
                20 * kSecond))
            return true;
        Fault(std::string(what) + " did not lead to a race under way");
        return false;
    };
    if (!started("START!"))
        return false;
    // Where the grid stands, to see RESTART RACE put everyone back on it.
    int gridFront = 0;
    for (int i = 0; i < g_RaceOrderCount; ++i)
        gridFront = std::max(gridFront, g_RaceOrder[i]->PathPoint);
    // A player slow off the line is still on the course.
    m_Session.Frames(2 * kSecond);
    if (g_PlayerVehicle && (g_PlayerVehicle->OffRouteTimer > 0.0f || g_GameHUD.messageId != 0))
    {
        const CVehicleObject& v = *g_PlayerVehicle;
        const int p = std::min(std::max(0, v.PathPoint), g_RacePathCount - 1);
        Fault("standing on the grid for 2 s after the start counts as leaving the course: path point " +
              std::to_string(v.PathPoint) + ", " +
              std::to_string(std::hypot(v.worldCentre[0] - g_RacePath[p][0], v.worldCentre[2] - g_RacePath[p][2])) +
              " m from it, message " + std::to_string(g_GameHUD.messageId));
    }
    m_Session.Frames(3 * kSecond);
    // Esc holds the race behind the pause menu; Esc again lets it go on.
    // Esc first closes a message box of the display, as Enter does, and the
    // penalty box comes back while the motorcycle stays off the course: the
    // player waits for it to go, then opens the pause menu.
    m_Session.Until([] { return g_GameHUD.messageId == 0; }, 6 * kSecond);
    m_Session.Tap(SDLK_ESCAPE);
    if (!g_GameHUD.overlayOpen || GameRunning())
        Fault("Esc in a race did not open the pause menu");
    const float pausedAt = g_Clock.m_GameClock;
    m_Session.Frames(kSecond);
    Picture("pause");
    if (g_Clock.m_GameClock - pausedAt > 100.0f)
        Fault("the race went on behind the pause menu");
    // The leader's progress, to see the race go on and start again.
    CVehicleObject* leader = g_RaceOrderCount > 0 ? g_RaceOrder[0] : nullptr;
    const int pathPoint = leader ? leader->PathPoint : -1;
    m_Session.Tap(SDLK_ESCAPE);
    m_Session.Frames(2 * kSecond);
    if (g_GameHUD.overlayOpen || !GameRunning())
        Fault("Esc on the pause menu did not give the race back");
    if (g_Clock.m_GameClock - pausedAt < 1500.0f || (leader && leader->PathPoint <= pathPoint))
        Fault("the race stood still after the pause menu closed");

    // RESTART RACE: the grid again.
    m_Session.Tap(SDLK_ESCAPE);
    m_Session.Frames(kSecond);
    m_Session.Tap(SDLK_DOWN);
    m_Session.Tap(SDLK_RETURN);
    if (!m_Session.Until([] { return g_GameEvent.code == GEVENT_RACE_START; }, 5 * kSecond))
        Fault("RESTART RACE did not start the race again");
    else if (started("RESTART RACE"))
        for (int i = 0; i < g_RaceOrderCount; ++i)
            if (g_RaceOrder[i]->PathPoint > gridFront)
            {
                Fault("after RESTART RACE " + std::string(g_RaceOrder[i]->Name) + " starts at path point " +
                      std::to_string(g_RaceOrder[i]->PathPoint) + ", the grid's front is at " +
                      std::to_string(gridFront));
                break;
            }

    // TERMINATE RACE: back to the main page.
    m_Session.Frames(2 * kSecond);
    m_Session.Tap(SDLK_ESCAPE);
    m_Session.Frames(kSecond);
    m_Session.Tap(SDLK_RETURN);
    if (!WaitForPage(MENU_MAIN, 5 * kSecond, "TERMINATE RACE"))
        return false;
    Note("pause menu: continue, restart and terminate done");
    return true;
}

bool Player::SecondProfile(const std::string& name)
{
    if (!OnPage(MENU_MAIN))
    {
        Fault("CHANGE PROFILE asked for away from the main page");
        return false;
    }
    const CareerData first = g_Career;
    const std::string firstName = g_PlayerName;
    const int firstSlot = g_CurrentProfile;
    m_Session.Click(g_MainMenu.buttons[BUTTON_CHANGE_PROFILE]);
    if (!WaitForPage(MENU_PROFILES, kSecond, "CHANGE PROFILE"))
        return false;
    m_Session.Click(g_MainMenu.buttons[BUTTON_NEW_PROFILE]);
    if (!WaitForPage(MENU_NEW_PROFILE, kSecond, "NEW PROFILE"))
        return false;
    for (size_t n = std::strlen(g_PlayerName); n > 0; --n)
        m_Session.Tap(SDLK_BACKSPACE);
    m_Session.Type(name);
    m_Session.Tap(SDLK_RETURN);
    if (!WaitForPage(MENU_MOTORCYCLE, kSecond, "Enter on the second name"))
        return false;
    m_Session.Click(g_MainMenu.motorcycleOkButton);
    if (!WaitForPage(MENU_MAIN, kSecond, "OK on the second motorcycle"))
        return false;
    if (name != g_PlayerName)
        Fault(std::string("the second profile plays as \"") + g_PlayerName + "\"");

    // Back to the list: both are there; the second goes.
    m_Session.Click(g_MainMenu.buttons[BUTTON_CHANGE_PROFILE]);
    if (!WaitForPage(MENU_PROFILES, kSecond, "CHANGE PROFILE"))
        return false;
    if (g_MainMenu.profileCount != 2)
        Fault("the profile list holds " + std::to_string(g_MainMenu.profileCount) + " profiles, not 2");
    Picture("two_profiles");
    int second = -1;
    for (int i = 0; i < g_MainMenu.profileCount; ++i)
        if (name == g_MainMenu.buttons[BUTTON_PROFILE_SLOT + i].text)
            second = i;
    if (second < 0)
    {
        Fault("the second profile is not listed");
        return false;
    }
    m_Session.Click(g_MainMenu.buttons[BUTTON_PROFILE_SLOT + second]);
    m_Session.Click(g_MainMenu.buttons[BUTTON_DELETE_PROFILE]);
    if (g_MainMenu.profileCount != 1)
        Fault("DELETE PROFILE left " + std::to_string(g_MainMenu.profileCount) + " profiles");
    if (firstName != g_MainMenu.buttons[BUTTON_PROFILE_SLOT].text)
        Fault(std::string("after the delete the list shows \"") + g_MainMenu.buttons[BUTTON_PROFILE_SLOT].text + "\"");
    m_Session.Click(g_MainMenu.buttons[BUTTON_PROFILE_SLOT]);
    m_Session.Click(g_MainMenu.buttons[BUTTON_PROFILES_DONE]);
    if (!WaitForPage(MENU_MAIN, kSecond, "DONE on the first profile"))
        return false;
    if (firstName != g_PlayerName)
        Fault(std::string("the first profile came back as \"") + g_PlayerName + "\"");
    CareerData back = g_Career;
    back.savedRaceIndex = first.savedRaceIndex;
    if (first.raceIndex == RACE_QUICK_ROW)
        back.raceIndex = RACE_QUICK_ROW;
    if (std::memcmp(&back, &first, sizeof back) != 0)
        Fault("the first profile's career came back changed after the second was made and deleted");
    Note("second profile \"%s\" made and deleted; back to \"%s\" (slot %d, was %d)", name.c_str(), g_PlayerName,
         g_CurrentProfile, firstSlot);
    return true;
}

bool Player::KeyboardMenus()
{
    if (!OnPage(MENU_MAIN))
    {
        Fault("the keyboard asked for away from the main page");
        return false;
    }
    m_Session.MoveMouse(2.0f, 2.0f);
    m_Session.Frames(2);
    const CMenuButton* target = &g_MainMenu.buttons[BUTTON_OPTIONS];
    for (int i = 0; i < 12 && g_MainMenu.focused != target; ++i)
        m_Session.Tap(SDLK_DOWN);
    if (g_MainMenu.focused != target)
    {
        Fault("Down never took the focus to OPTIONS on the main page");
        return false;
    }
    m_Session.Tap(SDLK_RETURN);
    m_Session.Frames(8);
    if (!WaitForPage(MENU_OPTIONS, kSecond, "Enter on OPTIONS"))
        return false;
    m_Session.Tap(SDLK_ESCAPE);
    return WaitForPage(MENU_MAIN, kSecond, "Esc on the options page");
}

bool Player::BackToMain()
{
    if (OnPage(MENU_CAREER) || OnPage(MENU_QUICK_RACE) || OnPage(MENU_OPTIONS))
        m_Session.Click(g_MainMenu.backButton);
    return WaitForPage(MENU_MAIN, kSecond, "BACK");
}

bool Player::Exit()
{
    if (!OnPage(MENU_MAIN))
    {
        Fault("EXIT asked for away from the main page");
        return false;
    }
    m_Session.Click(g_MainMenu.buttons[BUTTON_EXIT]);
    if (!QuitRequested())
    {
        Fault("EXIT did not end the program");
        return false;
    }
    return true;
}

}   // namespace play
