// The records file: its exact bytes, the first start, loading damaged or
// short files, the score table's one exchange and the best times, and a save
// that cannot be written.
#include "core/Records.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
#include "tests/support/SaveFaults.h"
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
    // An entry outside the table means the player holds none.
    const Case cases[] = {{99, -1}, {-1, -1}, {SCORE_ENTRIES, -1}, {INT32_MIN, -1}, {0, 0}, {15, 15}};
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

        // The score goes into the table, never past it: 500 beats the
        // broken entry 0 (read as 0).
        AddScore(500.0f);
        EXPECT_GE(g_Records.playerEntry, 0);
        EXPECT_LT(g_Records.playerEntry, SCORE_ENTRIES);
        EXPECT_EQ(g_Records.score[g_Records.playerEntry], 500.0f);
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

TEST_F(RecordsTest, ANewProfileOrCareerHoldsNoEntryAndLeavesTheTableAsItIs)
{
    StairTable();
    AddScore(12500.0f);   // the player now holds entry 4
    const RecordsTable before = g_Records;
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Newcomer");
    SetRecordsPlayer();
    EXPECT_EQ(g_Records.playerEntry, -1);
    EXPECT_EQ(ScorePlayerEntry(), -1);
    EXPECT_EQ(std::memcmp(g_Records.score, before.score, sizeof before.score), 0);
    EXPECT_EQ(std::memcmp(g_Records.name, before.name, sizeof before.name), 0);
    LoadRecords();
    EXPECT_EQ(g_Records.playerEntry, -1) << "saved";
    EXPECT_STREQ(g_Records.name[4], "Tester");
    EXPECT_EQ(g_Records.score[4], 12500.0f);
}

// The default table's shape without its randomness: 19000, 17800, ... 2200
// down entries 0 to 14, rivals named "Rival i", the player last with 0.
void DefaultShapedTable()
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        g_Records.score[i] = 19000.0f - 1200.0f * i;
        std::snprintf(g_Records.name[i], RECORD_NAME_SIZE, "Rival %d", i);
    }
    g_Records.score[15] = 0.0f;
    std::snprintf(g_Records.name[15], RECORD_NAME_SIZE, "%s", g_PlayerName);
    g_Records.playerEntry = 15;
}

void BePlayer(const char* name)
{
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "%s", name);
}

// Anna reaches 13000, starts a new career and reaches 3000, Bert is made, Anna
// is chosen again: she takes back the entry of her current career, and
// neither choice nor profile changes the table.
TEST_F(RecordsTest, AChosenProfileNeverChangesAnotherEntrysScore)
{
    DefaultShapedTable();
    BePlayer("Anna");
    SetRecordsPlayer();
    AddScore(13000.0f);
    ASSERT_EQ(g_Records.playerEntry, 6);
    SetRecordsPlayer();   // a new career
    AddScore(3000.0f);
    ASSERT_EQ(g_Records.playerEntry, 14);
    BePlayer("Bert");
    SetRecordsPlayer();
    EXPECT_EQ(g_Records.playerEntry, -1);
    const RecordsTable before = g_Records;

    BePlayer("Anna");
    ClaimRecordsPlayer(3000.0f);
    EXPECT_EQ(g_Records.playerEntry, 14);
    EXPECT_EQ(g_Records.score[6], 13000.0f);
    EXPECT_STREQ(g_Records.name[6], "Anna");
    EXPECT_EQ(std::memcmp(g_Records.score, before.score, sizeof before.score), 0);
    EXPECT_EQ(std::memcmp(g_Records.name, before.name, sizeof before.name), 0);

    // Bert again: his 0 holds no entry and takes none.
    BePlayer("Bert");
    ClaimRecordsPlayer(0.0f);
    EXPECT_EQ(g_Records.playerEntry, -1);
    EXPECT_EQ(std::memcmp(g_Records.score, before.score, sizeof before.score), 0);
    EXPECT_EQ(std::memcmp(g_Records.name, before.name, sizeof before.name), 0);
}

// The whole career ridden, cleared by the career's end (its score back to 0,
// the table untouched), the program started again and the profile chosen:
// the records file is the same byte for byte, and so is the table.
TEST_F(RecordsTest, AFinishedCareerChosenAgainAfterARestartLeavesTheRecordsAsTheyWere)
{
    DefaultShapedTable();
    BePlayer("Anna");
    SetRecordsPlayer();
    for (float total : {900.0f, 4000.0f, 11000.0f, 21000.0f})
        AddScore(total);
    ASSERT_EQ(g_Records.playerEntry, 0);
    ASSERT_EQ(SetBestTime(4, 88.0f, "Anna"), 1);
    const std::vector<unsigned char> file = ReadAll(RECORDS_FILE);
    const RecordsTable left = g_Records;
    const float clearedTotal = 0.0f;

    LoadRecords();   // the next start
    ClaimRecordsPlayer(clearedTotal);
    EXPECT_EQ(ReadAll(RECORDS_FILE), file);
    EXPECT_EQ(std::memcmp(g_Records.score, left.score, sizeof left.score), 0);
    EXPECT_EQ(std::memcmp(g_Records.name, left.name, sizeof left.name), 0);
    EXPECT_EQ(std::memcmp(g_Records.best, left.best, sizeof left.best), 0);
    EXPECT_EQ(g_Records.playerEntry, -1) << "a career of no score holds no entry";
}

// A player whose name stands in two entries (an earlier career's and the
// current one's, or two profiles of the same name): the entry with the
// career's score is the career's own, and no entry changes.
TEST_F(RecordsTest, ANameInTwoEntriesTakesTheOneWithTheCareersScore)
{
    struct Case
    {
        const char* what;
        int heldBefore;   // the player entry before the choice
        float total;
        int entry;   // the player entry afterwards
    };
    const Case cases[] = {
        {"the earlier career's entry chosen from another player's", 15, 13000.0f, 6},
        {"the current career's entry chosen from another player's", 3, 3000.0f, 14},
        {"the current career's entry chosen from the earlier career's", 6, 3000.0f, 14},
        {"the earlier career's entry chosen from the current career's", 14, 13000.0f, 6},
        {"already the player's entry", 14, 3000.0f, 14},
    };
    for (const Case& c : cases)
    {
        BePlayer("Rival");
        DefaultShapedTable();
        std::snprintf(g_Records.name[6], RECORD_NAME_SIZE, "Anna");
        g_Records.score[6] = 13000.0f;
        std::snprintf(g_Records.name[14], RECORD_NAME_SIZE, "Anna");
        g_Records.score[14] = 3000.0f;
        std::snprintf(g_Records.name[15], RECORD_NAME_SIZE, "Bert");
        g_Records.playerEntry = c.heldBefore;
        ASSERT_EQ(SaveGame(), 1);
        const RecordsTable before = g_Records;

        const std::vector<unsigned char> file = ReadAll(RECORDS_FILE);

        BePlayer("Anna");
        ClaimRecordsPlayer(c.total);
        EXPECT_EQ(g_Records.playerEntry, c.entry) << c.what;
        EXPECT_EQ(std::memcmp(g_Records.score, before.score, sizeof before.score), 0) << c.what;
        EXPECT_EQ(std::memcmp(g_Records.name, before.name, sizeof before.name), 0) << c.what;
        EXPECT_EQ(ReadAll(RECORDS_FILE), file) << c.what << ": choosing writes nothing";
    }
}

// A full table: every entry a rival's score, 19000 down to 1000.
void FullTable()
{
    DefaultShapedTable();
    g_Records.score[15] = 1000.0f;
    std::snprintf(g_Records.name[15], RECORD_NAME_SIZE, "Rival 15");
    g_Records.playerEntry = 15;
}

// Choosing a profile that holds no entry of its own changes nothing; its
// career gets an entry only when a race's total beats the weakest entry, at
// the place it earns: the weakest leaves, the entry passed drops to the freed
// seat, and no entry scoring as much moves or changes.
TEST_F(RecordsTest, AProfileWithoutAnEntryGetsOneOnlyWhenItsScoreEarnsIt)
{
    struct Case
    {
        const char* what;
        const char* name;
        float chosenTotal;   // the career's total when chosen; < 0: a new profile
        float lowTotal;      // a later race's total below the weakest entry
        float highTotal;     // a race after that, above it
        int place;           // the entry the high total earns
    };
    const Case cases[] = {
        {"a new profile on a full table", "Zoe", -1.0f, 500.0f, 5000.0f, 12},
        {"a second profile of a name with a record", "Rival 6", 0.0f, 999.0f, 20000.0f, 0},
        {"a career whose entry better scores pushed off", "Bert", 800.0f, 900.0f, 1500.0f, 15},
        {"a total equal to the weakest is not enough", "Cleo", 300.0f, 1000.0f, 1000.5f, 15},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        BePlayer("Other");
        FullTable();
        ASSERT_EQ(SaveGame(), 1);
        const RecordsTable full = g_Records;
        const std::vector<unsigned char> file = ReadAll(RECORDS_FILE);

        BePlayer(c.name);
        if (c.chosenTotal < 0.0f)
            SetRecordsPlayer();
        else
        {
            ClaimRecordsPlayer(c.chosenTotal);
            EXPECT_EQ(ReadAll(RECORDS_FILE), file) << "choosing writes nothing";
        }
        EXPECT_EQ(g_Records.playerEntry, -1);
        EXPECT_EQ(std::memcmp(g_Records.score, full.score, sizeof full.score), 0);
        EXPECT_EQ(std::memcmp(g_Records.name, full.name, sizeof full.name), 0);

        AddScore(c.lowTotal);
        EXPECT_EQ(g_Records.playerEntry, -1);
        EXPECT_EQ(std::memcmp(g_Records.score, full.score, sizeof full.score), 0);
        EXPECT_EQ(std::memcmp(g_Records.name, full.name, sizeof full.name), 0);

        AddScore(c.highTotal);
        ASSERT_EQ(g_Records.playerEntry, c.place);
        EXPECT_EQ(g_Records.score[c.place], c.highTotal);
        EXPECT_STREQ(g_Records.name[c.place], c.name);
        for (int i = 0; i < 15; ++i)
            if (i != c.place)
            {
                EXPECT_EQ(g_Records.score[i], full.score[i]) << "entry " << i;
                EXPECT_STREQ(g_Records.name[i], full.name[i]) << "entry " << i;
            }
        if (c.place != 15)
        {
            // The entry passed takes the weakest's seat; the weakest is gone.
            EXPECT_EQ(g_Records.score[15], full.score[c.place]);
            EXPECT_STREQ(g_Records.name[15], full.name[c.place]);
        }
        LoadRecords();
        EXPECT_EQ(g_Records.playerEntry, c.place) << "saved";
        EXPECT_EQ(g_Records.score[c.place], c.highTotal) << "saved";
    }
}

// Whatever stands at the records file and cannot be read (no permission, a
// folder, a FIFO) may be a whole table: it is never written over. The game
// plays the default table in memory and says so once.
TEST_F(RecordsTest, ARecordsFileThatCannotBeReadIsNeverWrittenOver)
{
    struct Case
    {
        const char* what;
        void (*make)();
    };
    const Case cases[] = {
        {"a folder", [] { fs::create_directories(RECORDS_FILE); }},
        {"a FIFO", [] { ASSERT_EQ(mkfifo(RECORDS_FILE, 0600), 0); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        testdata::Messages().clear();
        fs::create_directories("Save");
        c.make();
        g_Records.score[0] = 123.0f;
        GameSrand(5);
        LoadRecords();
        EXPECT_EQ(g_Records.playerEntry, 15) << "the default table in memory";
        EXPECT_GT(g_Records.score[0], 19000.0f - 1.0f);
        ASSERT_EQ(testdata::Messages().size(), 1u);
        EXPECT_EQ(testdata::Messages()[0], "SaveGame() error!|Could't save game!");

        // Nothing is saved over it, and the box is not shown again.
        EXPECT_EQ(SetBestTime(2, 70.0f, "Tester"), 1) << "kept in memory";
        AddScore(25000.0f);
        EXPECT_EQ(g_Records.playerEntry, 0) << "played in memory";
        EXPECT_EQ(testdata::Messages().size(), 1u);
        EXPECT_FALSE(fs::is_regular_file(RECORDS_FILE));
        EXPECT_FALSE(fs::exists(RECORDS_FILE ".tmp"));
        fs::remove_all(RECORDS_FILE);
    }
    LoadRecords();   // a file of its own again: saves go on
    EXPECT_TRUE(fs::is_regular_file(RECORDS_FILE));
}

// A records file the player may not read, as a player without that
// permission meets it.
TEST_F(RecordsTest, ARecordsFileWithoutReadPermissionIsKeptByteForByte)
{
    StairTable();
    ASSERT_EQ(SaveGame(), 1);
    const std::vector<unsigned char> file = ReadAll(RECORDS_FILE);
    ASSERT_TRUE(testsupport::MakeUnreadableButReplaceable(RECORDS_FILE));

    const testsupport::ChildOutcome child = testsupport::RunUnprivileged([]() -> std::string {
        std::string failed;
        testdata::Messages().clear();
        LoadRecords();
        testsupport::Check(failed, g_Records.score[1] > 17000.0f, "not the default table in memory");
        AddScore(50000.0f);
        SetBestTime(1, 50.0f, "Tester");
        testsupport::Check(failed, g_Records.playerEntry == 0, "the score was not played in memory");
        testsupport::Check(failed, testdata::Messages().size() == 1, "not told once");
        return failed;
    });
    EXPECT_TRUE(child.exited) << "signal " << child.signal;
    EXPECT_EQ(child.report, "");
    ASSERT_EQ(chmod(RECORDS_FILE, 0600), 0);
    EXPECT_EQ(ReadAll(RECORDS_FILE), file);
    EXPECT_FALSE(fs::exists(RECORDS_FILE ".tmp"));
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
