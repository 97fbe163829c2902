// racerun: one headless race on the demo data, printed as a result table.
//
//   racerun DATA_DIR [--row N] [--area N] [--racers N] [--laps N] [--seed N]
//                    [--limit SECONDS] [--grid SECONDS] [--pictures PREFIX]
//                    [--picture-at SECONDS] [--trace] [--falls] [--fps N]
//
// DATA_DIR is the folder the generator wrote (it holds "Data"). The race
// starts through the race-start event. --pictures draws the start's fade in
// at half, the start grid, the player's chase view as the race starts and
// the race under way into PREFIX_fade.png, PREFIX_grid.png, PREFIX_chase.png
// and PREFIX_race.png (headless: SDL_VIDEODRIVER=offscreen); --picture-at
// sets when the race picture is taken (seconds after the start, 20 by
// default). --trace prints the checksum after every simulated second.
// --falls prints a line at each fall (where, how the rider came off, what it
// and its motorcycle touched before) and the causes counted. --fps steps the
// game 1/N s a frame instead of 1/60 (20: the game's longest step, the rate
// it really runs at on a software renderer).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/FileManager.h"
#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"

namespace
{

int PrintBox(HWND, const char* text, const char* caption, UINT)
{
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return IDOK;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: racerun DATA_DIR [--row N] [--area N] [--racers N] [--laps N] [--seed N]\n"
                 "               [--limit SECONDS] [--grid SECONDS] [--pictures PREFIX] [--picture-at SECONDS]\n"
                 "               [--trace] [--falls] [--fps 20..240]\n");
    return 2;
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    RaceRunOptions options;
    std::string pictures;
    for (int i = 2; i < argc; ++i)
    {
        const std::string flag = argv[i];
        if (flag == "--trace")
        {
            options.trace = stdout;
            continue;
        }
        if (flag == "--falls")
        {
            options.fallLog = stdout;
            continue;
        }
        if (i + 1 >= argc)
            return Usage();
        const char* value = argv[++i];
        char* end = nullptr;
        const double number = std::strtod(value, &end);
        const bool numeric = end && end != value && *end == '\0';
        if (flag == "--pictures")
            pictures = value;
        else if (!numeric)
            return Usage();
        else if (flag == "--row")
            options.row = (int)number;
        else if (flag == "--area")
            options.area = (int)number;
        else if (flag == "--racers")
            options.racers = (int)number;
        else if (flag == "--laps")
            options.laps = (int)number;
        else if (flag == "--seed")
            options.seed = (unsigned)number;
        else if (flag == "--limit")
            options.timeLimit = (float)number;
        else if (flag == "--grid")
            options.gridSeconds = (float)number;
        else if (flag == "--picture-at")
            options.pictureSeconds = (float)number;
        else if (flag == "--fps" && number >= 20 && number <= 240)
            options.framesPerSecond = (int)number;
        else
            return Usage();
    }
    if (!pictures.empty() && pictures[0] != '/')
    {
        // Relative to where the program was started, not to the data.
        char cwd[4096];
        if (getcwd(cwd, sizeof(cwd)))
            pictures = std::string(cwd) + "/" + pictures;
    }
    options.picturePrefix = pictures;

    if (chdir(argv[1]) != 0)
    {
        std::fprintf(stderr, "racerun: no data folder %s\n", argv[1]);
        return 1;
    }
    SetMessageBoxHook(PrintBox);
    g_UseFileManager = 1;
    g_FileManager.Create();

    RaceDevice device;
    if (!device.Open(!pictures.empty()))
    {
        std::fprintf(stderr, "racerun: %s\n", device.Error().c_str());
        return 1;
    }
    const RaceRunResult result = RunRace(options);
    device.Close();
    g_FileManager.Release();

    PrintRaceResult(stdout, result);
    for (const std::string& path : result.pictures)
        std::printf("picture %s\n", path.c_str());
    return result.ran ? 0 : 1;
}
