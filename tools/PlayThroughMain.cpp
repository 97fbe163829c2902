// playthrough: the whole game played as a new player would, through the
// program's own start, main loop and input (play/PlaySession.h and
// PlayScript.h), then the program started again to see that everything was
// kept.
//
//   playthrough FOLDER [--plan full|short|menus] [--device recording|gl]
//                      [--pictures DIR] [--model N] [--max-career-races N]
//                      [--draw-races 0|1]
//
// FOLDER holds the game's Data/ (or a link to it) and, for a new player, no
// Save/ profiles yet. The first run plays in a child process; the restart
// runs in this one, with nothing of the first run in memory. The start
// counter is kept in FOLDER/run, so what other programs of the game do on the
// machine meanwhile never makes a start of this one a first start.
//
// full: a profile, every option changed, the pause menu in a quick race, the
// career raced through to its end with every upgrade bought, then a quick
// race on every area and season (one lap each), the records seen, EXIT.
// short: a profile, the main page by keyboard, one quick race, one career
// race, a second profile made and deleted, the records, EXIT. menus: a profile, every option, the pause
// menu, a quick and a career race, a second profile made and deleted, the
// records, EXIT. Then, each: the program started again, the profile chosen,
// and its name, career, upgrades, options and records compared with what the
// first run left.
//
// The frames of a race under way leave out the drawing unless --draw-races 1
// (see PlaySession.h); menus, result screens and boxes are always drawn.
//
// Every fault found is printed as "FAULT ..."; the exit code is 1 when there
// was any.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/CareerData.h"
#include "core/RaceState.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "platform/os/MessageBox.h"
#include "platform/os/StartCounter.h"
#include "play/PlayScript.h"
#include "play/PlaySession.h"
#include "render/D3DRender.h"

namespace
{

struct Options
{
    std::string folder;
    std::string plan = "short";
    play::Device device = play::Device::Recording;
    std::string pictures;
    int model = 1;
    int maxCareerRaces = 60;
    bool drawRaces = false;
};

// What the first run leaves for the restart to find.
struct Kept
{
    char name[PROFILE_NAME_SIZE];
    CareerData career;
    int profileSlot;
    int continueCareer;   // CONTINUE CAREER enabled
    int settings[7];      // mode, distance, shadows, glow, blur, music, effects
    RecordsTable records;
};

const char kKeptFile[] = "playthrough_kept.bin";

int PrintBox(HWND, const char* text, const char* caption, UINT)
{
    std::printf("message box: %s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stdout);
    return IDOK;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: playthrough FOLDER [--plan full|short|menus] [--device recording|gl] [--pictures DIR]\n"
                 "                  [--model N] [--max-career-races N]\n");
    return 2;
}

bool Parse(int argc, char** argv, Options& o)
{
    if (argc < 2)
        return false;
    o.folder = argv[1];
    for (int i = 2; i + 1 < argc; i += 2)
    {
        const std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--plan" && (value == "full" || value == "short" || value == "menus"))
            o.plan = value;
        else if (flag == "--device" && (value == "recording" || value == "gl"))
            o.device = value == "gl" ? play::Device::OpenGL : play::Device::Recording;
        else if (flag == "--pictures")
            o.pictures = value;
        else if (flag == "--model")
            o.model = std::atoi(value.c_str()) & 3;
        else if (flag == "--draw-races")
            o.drawRaces = value == "1";
        else if (flag == "--max-career-races")
            o.maxCareerRaces = std::atoi(value.c_str());
        else
            return false;
    }
    return argc % 2 == 0;
}

void CurrentSettings(int out[7])
{
    const int values[7] = {g_VideoMode, g_ViewDistance, g_ShadowQuality, g_GlowOn,
                           g_BlurOn,    g_MusicVolume,  g_EffectsVolume};
    std::memcpy(out, values, sizeof values);
}

// The first run: everything a new player does, then EXIT.
int FirstRun(const Options& o)
{
    play::Session session;
    if (!session.Start(o.folder, o.device))
    {
        std::printf("FAULT the program did not start: %s\n", session.Error().c_str());
        return 1;
    }
    session.DrawRaces(o.drawRaces);
    play::Player player(session, stdout, o.pictures);
    const auto started = std::chrono::steady_clock::now();
    auto wall = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
    bool ok = player.CreateProfile("Rider One", o.model);
    if (ok && (o.plan == "full" || o.plan == "menus"))
        ok = player.ChangeOptions() && player.PauseMenu();
    if (ok && o.plan == "menus")
        ok = player.QuickRace(0, 0, 1, nullptr) && player.CareerRace(nullptr) && player.BackToMain() &&
             player.SecondProfile("Rider Two");
    if (ok && o.plan == "short")
    {
        play::RaceOutcome quick;
        ok = player.KeyboardMenus() && player.QuickRace(0, 0, 1, &quick) && player.CareerRace(nullptr) &&
             player.BackToMain() && player.SecondProfile("Rider Two");
    }
    if (ok && o.plan == "full")
    {
        int races = 0;
        while (ok && !g_GameHUD.careerComplete && races < o.maxCareerRaces)
        {
            ok = player.CareerRace(nullptr);
            ++races;
            player.Note("career: %d races ridden, next race %d, %d upgrades bought, %.1f s wall", races,
                        g_Career.raceIndex + 1, g_Career.upgradesBought, wall());
        }
        if (ok && !g_GameHUD.careerComplete)
            player.Fault("the career was not complete after " + std::to_string(races) + " races");
        if (ok && g_GameHUD.careerComplete)
            ok = player.FinishCareer();
        // Back to the main page for the quick races.
        if (ok)
            ok = player.BackToMain();
        for (int area = 0; ok && area < 3; ++area)
            for (int season = 0; ok && season < 3; ++season)
                ok = player.QuickRace(area, season, 1, nullptr);
    }
    if (ok)
        ok = player.BackToMain() && player.ViewRecords();

    Kept kept;
    std::memset(&kept, 0, sizeof kept);
    std::memcpy(kept.name, g_PlayerName, PROFILE_NAME_SIZE);
    kept.career = g_Career;
    // A quick race holds the career's row aside in memory only; the file
    // keeps the row the career had reached.
    if (kept.career.raceIndex == RACE_QUICK_ROW)
        kept.career.raceIndex = kept.career.savedRaceIndex;
    kept.continueCareer = g_MainMenu.buttons[BUTTON_CONTINUE_CAREER].enabled;
    kept.profileSlot = g_CurrentProfile;
    CurrentSettings(kept.settings);
    // "Game.ini" keeps the view distance in whole hundreds from 300 ("%d" of
    // (distance - 300) / 100): the menu's short distances come back as the
    // nearest hundred towards 300 (170 is kept as -1, read back as 200).
    kept.settings[1] = 300 + 100 * ((kept.settings[1] - 300) / 100);
    kept.records = g_Records;
    if (ok)
        ok = player.Exit();
    player.Note("first run over: %ld frames, %.1f game s, %.1f s wall", session.FrameCount(), session.GameSeconds(),
                wall());
    session.End();
    FILE* f = std::fopen((o.folder + "/" + kKeptFile).c_str(), "wb");
    if (f)
    {
        std::fwrite(&kept, sizeof kept, 1, f);
        std::fclose(f);
    }
    return player.Faults().empty() && ok ? 0 : 1;
}

// The restart: the profile chosen again and everything compared.
int Restart(const Options& o)
{
    Kept kept;
    FILE* f = std::fopen((o.folder + "/" + kKeptFile).c_str(), "rb");
    const bool read = f && std::fread(&kept, sizeof kept, 1, f) == 1;
    if (f)
        std::fclose(f);
    if (!read)
    {
        std::printf("FAULT the first run left nothing to compare\n");
        return 1;
    }
    play::Session session;
    if (!session.Start(o.folder, o.device))
    {
        std::printf("FAULT the program did not start again: %s\n", session.Error().c_str());
        return 1;
    }
    play::Player player(session, stdout, o.pictures.empty() ? "" : o.pictures + "/restart");
    bool ok = player.ChooseProfile(kept.profileSlot);
    if (ok)
    {
        if (std::strncmp(kept.name, g_PlayerName, PROFILE_NAME_SIZE) != 0)
            player.Fault(std::string("the profile came back as \"") + g_PlayerName + "\", not \"" + kept.name + "\"");
        kept.career.savedRaceIndex = g_Career.savedRaceIndex;
        if (kept.continueCareer != g_MainMenu.buttons[BUTTON_CONTINUE_CAREER].enabled)
            player.Fault(std::string("CONTINUE CAREER came back ") + (kept.continueCareer ? "disabled" : "enabled"));
        if (std::memcmp(&kept.career, &g_Career, sizeof kept.career) != 0)
            player.Fault("the career came back changed: next race " + std::to_string(g_Career.raceIndex + 1) +
                         " (was " + std::to_string(kept.career.raceIndex + 1) + "), score " +
                         std::to_string(g_Career.totalScore) + " (was " + std::to_string(kept.career.totalScore) +
                         "), upgrades " + std::to_string(g_Career.upgradesBought) + " (were " +
                         std::to_string(kept.career.upgradesBought) + ")");
        int settings[7];
        CurrentSettings(settings);
        const char* const names[7] = {"resolution", "view distance", "shadows", "glow", "blur", "music", "effects"};
        for (int i = 0; i < 7; ++i)
            if (settings[i] != kept.settings[i])
                player.Fault(std::string("the ") + names[i] + " setting came back as " + std::to_string(settings[i]) +
                             ", not " + std::to_string(kept.settings[i]));
        if (g_Render.modeCount > 0 && g_VideoMode < g_Render.modeCount &&
            ((int)g_Render.screenWidth != (int)g_Render.modes[g_VideoMode].Width ||
             (int)g_Render.screenHeight != (int)g_Render.modes[g_VideoMode].Height))
            player.Fault("the screen is " + std::to_string((int)g_Render.screenWidth) + "x" +
                         std::to_string((int)g_Render.screenHeight) + ", the resolution chosen " +
                         std::to_string(g_Render.modes[g_VideoMode].Width) + "x" +
                         std::to_string(g_Render.modes[g_VideoMode].Height));
        if (std::memcmp(kept.records.best, g_Records.best, sizeof kept.records.best) != 0 ||
            std::memcmp(kept.records.holder, g_Records.holder, sizeof kept.records.holder) != 0)
            player.Fault("the best times came back changed");
        if (std::memcmp(kept.records.score, g_Records.score, sizeof kept.records.score) != 0 ||
            std::memcmp(kept.records.name, g_Records.name, sizeof kept.records.name) != 0)
            player.Fault("the score table came back changed");
        ok = player.ViewRecords() && player.Exit();
    }
    player.Note("restart over: %ld frames", session.FrameCount());
    session.End();
    return player.Faults().empty() && ok ? 0 : 1;
}

}   // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!Parse(argc, argv, o))
        return Usage();
    char absolute[4096];
    if (!realpath(o.folder.c_str(), absolute))
    {
        std::fprintf(stderr, "playthrough: no folder %s\n", o.folder.c_str());
        return 2;
    }
    o.folder = absolute;
    const std::string counter = o.folder + "/run";
    if (!PrivateFolder(counter))
    {
        std::fprintf(stderr, "playthrough: cannot make %s\n", counter.c_str());
        return 2;
    }
    SetStartCounterFolder(counter.c_str());
    if (!o.pictures.empty())
    {
        std::string command = "mkdir -p '" + o.pictures + "/restart'";
        if (std::system(command.c_str()) != 0 || !realpath(o.pictures.c_str(), absolute))
            return 2;
        o.pictures = absolute;
    }
    SetMessageBoxHook(PrintBox);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const pid_t child = fork();
    if (child < 0)
        return 2;
    if (child == 0)
        _exit(FirstRun(o));
    int status = 0;
    waitpid(child, &status, 0);
    const int first = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    if (!WIFEXITED(status))
        std::printf("FAULT the first run ended by signal %d\n", WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    const int again = Restart(o);
    std::printf(first == 0 && again == 0 ? "playthrough: sound\n" : "playthrough: FAULTS found\n");
    return first == 0 && again == 0 ? 0 : 1;
}
