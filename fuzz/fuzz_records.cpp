// Fuzz target for the records file "Save/Records.sav". Input: the file's
// bytes. After loading, every name must end within its bytes, every time and
// score must be a number, the player entry must lie in the table, and the
// score entry and a best time must go in without leaving it.
#include <cmath>
#include <cstdint>
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
    float total = 0.0f;
    if (size >= 4)
        std::memcpy(&total, data, 4);
    AddScore(total);
    CheckTable();
    SetBestTime(size % RACE_ROWS, 60.0f + (float)(size % 7), g_Records.name[g_Records.playerEntry]);
    CheckTable();
    return 0;
}
