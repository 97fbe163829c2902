#include "core/Records.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/RacerNames.h"
#include "platform/os/FileOpen.h"
#include "platform/os/Rand.h"

RecordsTable g_Records;
char g_PlayerName[PLAYER_NAME_SIZE] = "Player";

namespace
{

void CopyName(char* to, const char* from)
{
    std::snprintf(to, RECORD_NAME_SIZE, "%s", from ? from : "");
}

// A file written by hand or damaged on disk may hold anything: names without
// their terminator, times that are not numbers, a player entry pointing
// outside the table. Everything that reads the table relies on these.
void MakeSafe(RecordsTable& t)
{
    for (int r = 0; r < RACE_ROWS; ++r)
    {
        if (!std::isfinite(t.best[r]) || t.best[r] < 0.0f)
            t.best[r] = 0.0f;
        t.holder[r][RECORD_NAME_SIZE - 1] = 0;
    }
    t.padding = 0;
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        if (!std::isfinite(t.score[i]))
            t.score[i] = 0.0f;
        t.name[i][RECORD_NAME_SIZE - 1] = 0;
    }
    if (t.playerEntry < 0 || t.playerEntry >= SCORE_ENTRIES)
        t.playerEntry = SCORE_ENTRIES - 1;
}

}   // namespace

void FillDefaultScores()
{
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        g_Records.score[i] = (float)(19000 - 1200 * i + GameRand() % 1001);
        const int block = GameRand() % RACER_NAME_BLOCKS;
        const int row = GameRand() % RACER_NAME_ENTRIES;
        CopyName(g_Records.name[i], g_RacerNames[block][row]);
    }
    const int player = SCORE_ENTRIES - 1;
    g_Records.score[player] = 0.0f;
    CopyName(g_Records.name[player], g_PlayerName);
    g_Records.playerEntry = player;
}

int ScorePlayerEntry()
{
    const int entry = g_Records.playerEntry;
    return entry >= 0 && entry < SCORE_ENTRIES ? entry : SCORE_ENTRIES - 1;
}

void LoadRecords()
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    const int file = g_FileManager.Open(RECORDS_FILE, FILE_BINARY, nullptr);
    if (file < 0)
    {
        CreateRecords();
        return;
    }
    g_FileManager.Read(&g_Records, 1, sizeof(g_Records), file);
    g_FileManager.Close(file);
    MakeSafe(g_Records);
}

void CreateRecords()
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    FillDefaultScores();
    SaveGame();
}

void SetRecordsPlayer()
{
    const int player = SCORE_ENTRIES - 1;
    g_Records.score[player] = 0.0f;
    CopyName(g_Records.name[player], g_PlayerName);
    g_Records.playerEntry = player;
    SaveGame();
}

void AddScore(float totalScore)
{
    const int player = ScorePlayerEntry();
    g_Records.playerEntry = player;
    g_Records.score[player] = std::isfinite(totalScore) ? totalScore : 0.0f;
    for (int i = 0; i < player; ++i)
    {
        if (g_Records.score[i] >= g_Records.score[player])
            continue;
        const float passedScore = g_Records.score[i];
        char passedName[RECORD_NAME_SIZE];
        std::memcpy(passedName, g_Records.name[i], sizeof(passedName));
        g_Records.score[i] = g_Records.score[player];
        CopyName(g_Records.name[i], g_PlayerName);
        g_Records.score[player] = passedScore;
        std::memcpy(g_Records.name[player], passedName, sizeof(passedName));
        g_Records.playerEntry = i;
        break;
    }
    SaveGame();
}

void ClaimRecordsPlayer(float totalScore)
{
    const float score = std::isfinite(totalScore) ? totalScore : 0.0f;
    // The career's own entry bears the player's name and the career's score.
    // A name alone proves nothing: a new career leaves the entries of the
    // player's earlier careers in the table, and two profiles may share a name.
    const auto owns = [score](int i) {
        return g_Records.score[i] == score && std::strncmp(g_Records.name[i], g_PlayerName, RECORD_NAME_SIZE) == 0;
    };
    int own = owns(ScorePlayerEntry()) ? ScorePlayerEntry() : -1;
    for (int i = 0; own < 0 && i < SCORE_ENTRIES; ++i)
        if (owns(i))
            own = i;
    if (own >= 0)
    {
        if (g_Records.playerEntry != own)
        {
            g_Records.playerEntry = own;
            SaveGame();
        }
        return;
    }

    // The career has no entry left (a later profile or career took its seat):
    // it enters at the place its score earns, the entries below move down one
    // and the last falls off; the last place when it beats no one.
    int at = SCORE_ENTRIES - 1;
    for (int i = 0; i < SCORE_ENTRIES - 1; ++i)
        if (g_Records.score[i] < score)
        {
            at = i;
            break;
        }
    for (int i = SCORE_ENTRIES - 1; i > at; --i)
    {
        g_Records.score[i] = g_Records.score[i - 1];
        std::memcpy(g_Records.name[i], g_Records.name[i - 1], RECORD_NAME_SIZE);
    }
    g_Records.score[at] = score;
    CopyName(g_Records.name[at], g_PlayerName);
    g_Records.playerEntry = at;
    SaveGame();
}

int SetBestTime(int row, float seconds, const char* holder)
{
    if (row < 0 || row >= RACE_ROWS || !std::isfinite(seconds) || seconds <= 0.0f)
        return 0;
    if (g_Records.best[row] != 0.0f && g_Records.best[row] <= seconds)
        return 0;
    g_Records.best[row] = seconds;
    CopyName(g_Records.holder[row], holder);
    SaveGame();
    return 1;
}

int SaveGame()
{
    g_FileManager.CreateFolder(RECORDS_FOLDER);
    std::string why;
    if (!SaveWholeFile(RECORDS_FILE, &g_Records, sizeof(g_Records), &why))
    {
        // The box says a save failed; the log and the error stream say what.
        LogString("Could not write \"%s\"; the old file is kept.", RECORDS_FILE);
        LogString("%s", why.c_str());
        ShowMessage("Could't save game!", "SaveGame() error!", 48);
        return 0;
    }
    return 1;
}
