#include "core/Records.h"

#include <cstdio>
#include <cstring>

#include "core/RacerNames.h"
#include "platform/os/Rand.h"

RecordsTable g_Records;
char g_PlayerName[PLAYER_NAME_SIZE] = "Player";

namespace
{

void CopyName(char* to, const char* from)
{
    std::snprintf(to, RECORD_NAME_SIZE, "%s", from);
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
