// Fuzz target for the records file "Save/Records.sav". Input: the file's
// bytes. After loading, every name must end within its bytes, every time and
// score must be a number, the player entry must lie in the table or be none
// (-1), and the score entry and a best time must go in without leaving it. A
// player chosen on the profile page (named as an entry of the table, with an
// entry's score or one from the file) takes an entry of its name and score or
// none, and the table does not change. A score then entered moves or changes
// no entry that scores as much as it, but the player's own.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/FileManager.h"
#include "core/Records.h"
#include "fuzz/FuzzScratch.h"

namespace
{

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

void CheckTable()
{
    for (int r = 0; r < RACE_ROWS; ++r)
    {
        Check(std::isfinite(g_Records.best[r]) && g_Records.best[r] >= 0.0f);
        Check(strnlen(g_Records.holder[r], RECORD_NAME_SIZE) < RECORD_NAME_SIZE);
    }
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        Check(std::isfinite(g_Records.score[i]));
        Check(strnlen(g_Records.name[i], RECORD_NAME_SIZE) < RECORD_NAME_SIZE);
    }
    Check(g_Records.playerEntry >= -1 && g_Records.playerEntry < SCORE_ENTRIES);
}

void CheckClaim(const uint8_t* data, size_t size)
{
    // A name of the table (so that names standing in two entries come up),
    // with the score of an entry or a score from the file.
    std::memset(g_PlayerName, 0, sizeof(g_PlayerName));
    std::memcpy(g_PlayerName, g_Records.name[data[0] % SCORE_ENTRIES], sizeof(g_PlayerName) - 1);
    float total = 0.0f;
    if (size >= 3 && (data[1] & 1))
        total = g_Records.score[data[2] % SCORE_ENTRIES];
    else if (size >= 8)
        std::memcpy(&total, data + 4, 4);
    const RecordsTable before = g_Records;
    ClaimRecordsPlayer(total);
    CheckTable();
    const int p = g_Records.playerEntry;
    if (p >= 0)
    {
        Check(std::strncmp(g_Records.name[p], g_PlayerName, RECORD_NAME_SIZE) == 0);
        Check(g_Records.score[p] == (std::isfinite(total) ? total : 0.0f));
    }
    Check(std::memcmp(g_Records.score, before.score, sizeof before.score) == 0);
    Check(std::memcmp(g_Records.name, before.name, sizeof before.name) == 0);
}

void CheckAddScore(float total)
{
    const RecordsTable before = g_Records;
    const int own = ScorePlayerEntry();
    AddScore(total);
    CheckTable();
    const float entered = std::isfinite(total) ? total : 0.0f;
    for (int i = 0; i < SCORE_ENTRIES; ++i)
        if (i != own && before.score[i] >= entered)
        {
            Check(g_Records.score[i] == before.score[i]);
            Check(std::memcmp(g_Records.name[i], before.name[i], RECORD_NAME_SIZE) == 0);
        }
    const int p = g_Records.playerEntry;
    if (p >= 0)
        Check(g_Records.score[p] == entered);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096 || !fuzzscratch::MakeScratch("fuzzrecords", {"Save"}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered || !fuzzscratch::WriteBytes(RECORDS_FILE, data, size))
        return 0;

    LoadRecords();
    CheckTable();
    if (size > 0)
        CheckClaim(data, size);
    float total = 0.0f;
    if (size >= 4)
        std::memcpy(&total, data, 4);
    CheckAddScore(total);
    SetBestTime(size % RACE_ROWS, 60.0f + (float)(size % 7), g_PlayerName);
    CheckTable();
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Player");
    return 0;
}
