// The records file: its exact bytes, the first start, loading damaged or
// short files, the score table's one exchange and the best times, and a save
// that cannot be written.
#include "core/Records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "core/RacerNames.h"
#include "platform/os/Rand.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/TempFolder.h"

namespace
{

namespace fs = std::filesystem;

std::vector<unsigned char> ReadAll(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const char* path, const std::vector<unsigned char>& bytes)
{
    if (fs::path(path).has_parent_path())
        fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

void PutFloat(std::vector<unsigned char>& b, size_t at, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i)
        b[at + i] = (unsigned char)(bits >> (8 * i));
}

void PutInt(std::vector<unsigned char>& b, size_t at, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (unsigned char)((uint32_t)v >> (8 * i));
}

void PutText(std::vector<unsigned char>& b, size_t at, const char* text)
{
    std::memcpy(&b[at], text, std::strlen(text));
}

// Scores 16000, 15000, ... 1000 down the table, entry i named "Rival i", the
// player in entry 15 with score 0.
void StairTable()
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        g_Records.score[i] = 16000.0f - 1000.0f * i;
        std::snprintf(g_Records.name[i], RECORD_NAME_SIZE, "Rival %d", i);
    }
    g_Records.score[15] = 0.0f;
    std::snprintf(g_Records.name[15], RECORD_NAME_SIZE, "%s", g_PlayerName);
    g_Records.playerEntry = 15;
}

class RecordsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Folder.MakeAndEnter("trallowmere-records-"));
        std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Tester");
        for (int b = 0; b < RACER_NAME_BLOCKS; ++b)
            for (int e = 0; e < RACER_NAME_ENTRIES; ++e)
                std::snprintf(g_RacerNames[b][e], RACER_NAME_SIZE, "Name %d-%d", b, e);
    }
    void TearDown() override { std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Player"); }

    TempFolder m_Folder;
    testdata::MessageCapture m_Messages;
};

TEST_F(RecordsTest, TheFileIsTheTableByteForByteAtItsOffsets)
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    g_Records.best[0] = 81.5f;
    g_Records.best[18] = 200.25f;
    std::snprintf(g_Records.holder[0], RECORD_NAME_SIZE, "First holder");
    std::snprintf(g_Records.holder[18], RECORD_NAME_SIZE, "%s", "Twenty characters!!!");
    g_Records.score[0] = 19500.0f;
    g_Records.score[15] = 1234.5f;
    std::snprintf(g_Records.name[0], RECORD_NAME_SIZE, "Top");
    std::snprintf(g_Records.name[15], RECORD_NAME_SIZE, "Bottom");
    g_Records.playerEntry = 7;
    ASSERT_EQ(SaveGame(), 1);

    std::vector<unsigned char> expected(880, 0);
    PutFloat(expected, 0, 81.5f);
    PutFloat(expected, 0 + 18 * 4, 200.25f);
    PutText(expected, 76, "First holder");
    PutText(expected, 76 + 18 * 21, "Twenty characters!!!");
    PutFloat(expected, 476, 19500.0f);
    PutFloat(expected, 476 + 15 * 4, 1234.5f);
    PutText(expected, 540, "Top");
    PutText(expected, 540 + 15 * 21, "Bottom");
    PutInt(expected, 876, 7);
    EXPECT_EQ(ReadAll(RECORDS_FILE), expected);
    EXPECT_FALSE(fs::exists(RECORDS_FILE ".tmp"));

    // And back again.
    std::memset(&g_Records, 0xAB, sizeof(g_Records));
    LoadRecords();
    EXPECT_EQ(g_Records.best[18], 200.25f);
    EXPECT_STREQ(g_Records.holder[18], "Twenty characters!!!");
    EXPECT_EQ(g_Records.score[15], 1234.5f);
    EXPECT_STREQ(g_Records.name[15], "Bottom");
    EXPECT_EQ(g_Records.playerEntry, 7);
}

TEST_F(RecordsTest, FirstStartMakesTheFolderAndAnEightHundredEightyByteFileWithThePlayerLast)
{
    ASSERT_FALSE(fs::exists("Save"));
    GameSrand(5);
    LoadRecords();
    EXPECT_TRUE(testdata::Messages().empty());
    ASSERT_TRUE(fs::is_directory("Save"));
    ASSERT_EQ(fs::file_size(RECORDS_FILE), 880u);
    EXPECT_EQ(g_Records.playerEntry, 15);
    EXPECT_EQ(g_Records.score[15], 0.0f);
    EXPECT_STREQ(g_Records.name[15], "Tester");
    for (int r = 0; r < RACE_ROWS; ++r)
        EXPECT_EQ(g_Records.best[r], 0.0f);
    for (int i = 1; i < 15; ++i)
        EXPECT_LT(g_Records.score[i], g_Records.score[i - 1]);

    // The next start reads what the first one wrote.
    const RecordsTable written = g_Records;
    GameSrand(99);
    LoadRecords();
    EXPECT_EQ(std::memcmp(&written, &g_Records, sizeof(written)), 0);
}

TEST_F(RecordsTest, AHundredByteFileLoadsItsBytesAndLeavesTheScoreTableZero)
{
    std::vector<unsigned char> bytes(100, 0);
    PutFloat(bytes, 4, 95.0f);
    PutText(bytes, 76, "Early");
    WriteAll(RECORDS_FILE, bytes);
    LoadRecords();
    EXPECT_EQ(g_Records.best[1], 95.0f);
    EXPECT_STREQ(g_Records.holder[0], "Early");
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        EXPECT_EQ(g_Records.score[i], 0.0f);
        EXPECT_STREQ(g_Records.name[i], "");
    }
    EXPECT_EQ(g_Records.playerEntry, 0);
    EXPECT_EQ(fs::file_size(RECORDS_FILE), 100u);   // loading writes nothing
}

TEST_F(RecordsTest, ADamagedFileIsMadeSafeToUse)
{
    struct Case
    {
        int32_t playerEntry;
        int expected;
    };
    const Case cases[] = {{99, 15}, {-1, 15}, {SCORE_ENTRIES, 15}, {INT32_MIN, 15}, {0, 0}, {15, 15}};
    for (const Case& c : cases)
    {
        std::vector<unsigned char> bytes(880, 'x');   // no name ends
        PutFloat(bytes, 0, std::numeric_limits<float>::quiet_NaN());
        PutFloat(bytes, 4, -3.0f);
        PutFloat(bytes, 476, std::numeric_limits<float>::infinity());
        PutFloat(bytes, 480, 700.0f);
        PutInt(bytes, 876, c.playerEntry);
        WriteAll(RECORDS_FILE, bytes);
        LoadRecords();
        EXPECT_EQ(g_Records.playerEntry, c.expected) << c.playerEntry;
        EXPECT_EQ(g_Records.best[0], 0.0f);
        EXPECT_EQ(g_Records.best[1], 0.0f);
        EXPECT_EQ(g_Records.score[0], 0.0f);
        EXPECT_EQ(g_Records.score[1], 700.0f);
        EXPECT_EQ(std::strlen(g_Records.holder[3]), 20u);
        EXPECT_EQ(std::strlen(g_Records.name[15]), 20u);

        // The score goes into the table, never past it.
        AddScore(500.0f);
        EXPECT_GE(g_Records.playerEntry, 0);
        EXPECT_LT(g_Records.playerEntry, SCORE_ENTRIES);
    }
}

TEST_F(RecordsTest, AddScoreTradesPlacesOnceWithTheBestPlacedEntryItBeats)
{
    struct Case
    {
        const char* what;
        float total;
        int entry;   // the player's entry afterwards
    };
    const Case cases[] = {
        {"between entries 3 and 4", 12500.0f, 4},
        {"above everyone", 50000.0f, 0},
        {"below everyone above", 100.0f, 15},
        {"equal to entry 14 stays below it", 2000.0f, 15},
        {"negative", -40.0f, 15},
    };
    for (const Case& c : cases)
    {
        StairTable();
        const RecordsTable before = g_Records;
        AddScore(c.total);
        EXPECT_EQ(g_Records.playerEntry, c.entry) << c.what;
        EXPECT_EQ(g_Records.score[c.entry], c.total) << c.what;
        EXPECT_STREQ(g_Records.name[c.entry], "Tester") << c.what;
        if (c.entry != 15)
        {
            // The entry passed drops to the player's former place, unsorted.
            EXPECT_EQ(g_Records.score[15], before.score[c.entry]) << c.what;
            EXPECT_STREQ(g_Records.name[15], before.name[c.entry]) << c.what;
        }
        for (int i = 0; i < 15; ++i)
            if (i != c.entry)
            {
                EXPECT_EQ(g_Records.score[i], before.score[i]) << c.what << " entry " << i;
                EXPECT_STREQ(g_Records.name[i], before.name[i]) << c.what << " entry " << i;
            }
        ASSERT_EQ(fs::file_size(RECORDS_FILE), 880u);
    }
    // The case of the table between entries 3 and 4 again: the former entry
    // 4 stays above entries 5 to 14 in score though it is last.
    StairTable();
    AddScore(12500.0f);
    for (int i = 5; i < 15; ++i)
        EXPECT_GT(g_Records.score[15], g_Records.score[i]);
}

TEST_F(RecordsTest, SetRecordsPlayerTakesEntryFifteenAndLeavesTheOldEntryAlone)
{
    StairTable();
    AddScore(12500.0f);   // the player now holds entry 4
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Newcomer");
    SetRecordsPlayer();
    EXPECT_EQ(g_Records.playerEntry, 15);
    EXPECT_EQ(g_Records.score[15], 0.0f);
    EXPECT_STREQ(g_Records.name[15], "Newcomer");
    EXPECT_EQ(g_Records.score[4], 12500.0f);
    EXPECT_STREQ(g_Records.name[4], "Tester");
    LoadRecords();
    EXPECT_STREQ(g_Records.name[15], "Newcomer");
}

// A profile chosen again after another was made: the table shows the chosen
// player with the career's score, never the other profile's name in the
// player's entry.
TEST_F(RecordsTest, AChosenProfileTakesThePlayersEntryBack)
{
    struct Case
    {
        const char* what;
        bool heldEntryFour;   // the chosen player had entry 4 before the other came
        float total;
        int entry;
        float score;
    };
    const Case cases[] = {
        {"its own entry again, with the career's score", true, 12600.0f, 4, 12600.0f},
        {"no entry of its own: entry 15, moved up", false, 12500.0f, 4, 12500.0f},
        {"no entry of its own, a low score: entry 15", false, 700.0f, 15, 700.0f},
    };
    for (const Case& c : cases)
    {
        std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Tester");
        StairTable();
        if (c.heldEntryFour)
            AddScore(12500.0f);
        else
            std::snprintf(g_Records.name[15], RECORD_NAME_SIZE, "Somebody");
        const RecordsTable mine = g_Records;
        std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Other");
        SetRecordsPlayer();
        std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Tester");
        ClaimRecordsPlayer(c.total);
        EXPECT_EQ(g_Records.playerEntry, c.entry) << c.what;
        EXPECT_STREQ(g_Records.name[c.entry], "Tester") << c.what;
        EXPECT_EQ(g_Records.score[c.entry], c.score) << c.what;
        int named = 0;
        for (int i = 0; i < SCORE_ENTRIES; ++i)
            named += std::strcmp(g_Records.name[i], "Tester") == 0;
        EXPECT_EQ(named, 1) << c.what << ": the player appears once";
        if (c.heldEntryFour)
        {
            EXPECT_EQ(std::memcmp(g_Records.score, mine.score, 4 * sizeof(float)), 0) << c.what;
        }
        LoadRecords();
        EXPECT_STREQ(g_Records.name[c.entry], "Tester") << c.what << ": saved";
    }

    // The entry that is the player's already changes nothing, not even the score.
    StairTable();
    AddScore(12500.0f);
    const RecordsTable before = g_Records;
    ClaimRecordsPlayer(99999.0f);
    EXPECT_EQ(std::memcmp(&before, &g_Records, sizeof before), 0);
}

TEST_F(RecordsTest, ABestTimeReplacesNoneOrASlowerOne)
{
    struct Case
    {
        const char* what;
        int row;
        float old;
        float time;
        bool stored;
    };
    const Case cases[] = {
        {"none yet", 3, 0.0f, 90.0f, true},
        {"faster", 3, 95.0f, 90.0f, true},
        {"slower", 3, 85.0f, 90.0f, false},
        {"equal", 3, 90.0f, 90.0f, false},
        {"quick-race row", 18, 0.0f, 60.0f, true},
        {"row past the table", 19, 0.0f, 60.0f, false},
        {"negative row", -1, 0.0f, 60.0f, false},
        {"zero time", 3, 0.0f, 0.0f, false},
        {"time not a number", 3, 0.0f, std::numeric_limits<float>::quiet_NaN(), false},
    };
    for (const Case& c : cases)
    {
        StairTable();
        if (c.row >= 0 && c.row < RACE_ROWS)
        {
            g_Records.best[c.row] = c.old;
            std::snprintf(g_Records.holder[c.row], RECORD_NAME_SIZE, "Old");
        }
        const RecordsTable before = g_Records;
        EXPECT_EQ(SetBestTime(c.row, c.time, "A winner with a very long name indeed"), c.stored ? 1 : 0) << c.what;
        if (c.stored)
        {
            EXPECT_EQ(g_Records.best[c.row], c.time) << c.what;
            EXPECT_STREQ(g_Records.holder[c.row], "A winner with a very") << c.what;   // 20 characters kept
            LoadRecords();
            EXPECT_EQ(g_Records.best[c.row], c.time) << c.what;
        }
        else
            EXPECT_EQ(std::memcmp(&before, &g_Records, sizeof(before)), 0) << c.what;
    }
}

TEST_F(RecordsTest, ASaveThatCannotBeWrittenShowsTheMessageAndKeepsTheOldFile)
{
    StairTable();
    ASSERT_EQ(SaveGame(), 1);
    const std::vector<unsigned char> old = ReadAll(RECORDS_FILE);
    // The temporary file's name is taken by a folder, so nothing can be
    // written in its place.
    fs::create_directory(RECORDS_FILE ".tmp");
    g_Records.score[0] = 1.0f;
    EXPECT_EQ(SaveGame(), 0);
    ASSERT_EQ(testdata::Messages().size(), 1u);
    EXPECT_EQ(testdata::Messages()[0], "SaveGame() error!|Could't save game!");
    EXPECT_EQ(ReadAll(RECORDS_FILE), old);
    EXPECT_EQ(g_Records.score[0], 1.0f);   // kept in memory
}

TEST_F(RecordsTest, NoSaveFolderCanBeMadeShowsTheMessage)
{
    WriteAll("Save", {});   // a file where the folder belongs
    StairTable();
    EXPECT_EQ(SaveGame(), 0);
    EXPECT_EQ(testdata::Messages().size(), 1u);
    EXPECT_TRUE(fs::is_regular_file("Save"));
}

}   // namespace
