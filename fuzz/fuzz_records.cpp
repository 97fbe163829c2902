// Fuzz target for the records file "Save/Records.sav". Input: the file's
// bytes. After loading, every name must end within its bytes, every time and
// score must be a number, the player entry must lie in the table, and the
// score entry and a best time must go in without leaving it. A player chosen
// on the profile page (named as an entry of the table, with an entry's score
// or one from the file) takes an entry of its name and score, and every other
// entry but the last stays in the table with its own name and score, in order
// when it was.
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
    Check(g_Records.playerEntry >= 0 && g_Records.playerEntry < SCORE_ENTRIES);
}

bool Sorted()
{
    for (int i = 1; i < SCORE_ENTRIES; ++i)
        if (g_Records.score[i] > g_Records.score[i - 1])
            return false;
    return true;
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
    const bool sorted = Sorted();
    ClaimRecordsPlayer(total);
    CheckTable();
    const int p = g_Records.playerEntry;
    Check(std::strncmp(g_Records.name[p], g_PlayerName, RECORD_NAME_SIZE) == 0);
    Check(g_Records.score[p] == (std::isfinite(total) ? total : 0.0f));
    for (int i = 0; i + 1 < SCORE_ENTRIES; ++i)
    {
        bool kept = false;
        for (int j = 0; j < SCORE_ENTRIES && !kept; ++j)
            kept = g_Records.score[j] == before.score[i] &&
                   std::strncmp(g_Records.name[j], before.name[i], RECORD_NAME_SIZE) == 0;
        Check(kept);
    }
    Check(!sorted || Sorted());
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Player");
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
    AddScore(total);
    CheckTable();
    SetBestTime(size % RACE_ROWS, 60.0f + (float)(size % 7), g_Records.name[g_Records.playerEntry]);
    CheckTable();
    return 0;
}
