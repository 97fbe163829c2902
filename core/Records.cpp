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

// Why the records file found at the start could not be read; empty while the
// table may be saved.
std::string s_Unreadable;

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
        t.playerEntry = -1;
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
    return entry >= 0 && entry < SCORE_ENTRIES ? entry : -1;
}

void LoadRecords()
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    s_Unreadable.clear();
    const int file = g_FileManager.Open(RECORDS_FILE, FILE_BINARY, nullptr);
    if (file >= 0)
    {
        g_FileManager.Read(&g_Records, 1, sizeof(g_Records), file);
        g_FileManager.Close(file);
        MakeSafe(g_Records);
        return;
    }
    const std::string why = UnreadableReason(RECORDS_FILE);
    if (why.empty())
    {
        CreateRecords();
        return;
    }
    // Whatever stands there may be a whole table the game cannot read just
    // now (its permissions, say): saving the defaults over it would lose every
    // best time and score for good.
    s_Unreadable = why;
    FillDefaultScores();
    LogString("%s", s_Unreadable.c_str());
    LogString("Records are played in memory only and not kept; \"%s\" is left as it is.", RECORDS_FILE);
    ShowMessage("Could't save game!", "SaveGame() error!", 48);
}

void CreateRecords()
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    FillDefaultScores();
    SaveGame();
}

void SetRecordsPlayer()
{
    g_Records.playerEntry = -1;
    SaveGame();
}

void ClaimRecordsPlayer(float totalScore)
{
    const float score = std::isfinite(totalScore) ? totalScore : 0.0f;
    const auto owns = [score](int i) {
        return g_Records.score[i] == score && std::strncmp(g_Records.name[i], g_PlayerName, RECORD_NAME_SIZE) == 0;
    };
    const int held = ScorePlayerEntry();
    int own = held >= 0 && owns(held) ? held : -1;
    for (int i = 0; own < 0 && i < SCORE_ENTRIES; ++i)
        if (owns(i))
            own = i;
    g_Records.playerEntry = own;
}

void AddScore(float totalScore)
{
    const float score = std::isfinite(totalScore) ? totalScore : 0.0f;
    int player = ScorePlayerEntry();
    if (player < 0)
    {
        // A career without an entry takes the seat of the weakest entry (the
        // last of equals) only when it beats it.
        int weakest = SCORE_ENTRIES - 1;
        for (int i = SCORE_ENTRIES - 1; i >= 0; --i)
            if (g_Records.score[i] < g_Records.score[weakest])
                weakest = i;
        if (score > g_Records.score[weakest])
        {
            player = weakest;
            CopyName(g_Records.name[player], g_PlayerName);
        }
    }
    g_Records.playerEntry = player;
    if (player >= 0)
    {
        g_Records.score[player] = score;
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
    }
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
    if (!s_Unreadable.empty())
        return 0;   // said once, when the table was loaded
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
