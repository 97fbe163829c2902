// "Game.ini" and the records when a save goes wrong: the program killed half
// way through writing, a full disk, a file size limit, a read-only folder.
// The file saved before stays whole and readable, the records' message is
// shown, nothing half-written is left, and the next start reads and saves as
// usual.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>

#include "core/Records.h"
#include "core/Settings.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/Files.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/TempFolder.h"

namespace
{

namespace fs = std::filesystem;
using testsupport::Check;
using testsupport::DiskFault;

// Every file under the working folder with its size.
std::map<std::string, uintmax_t> Listing()
{
    std::map<std::string, uintmax_t> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(".", ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            files[it->path().lexically_relative(".").string()] = it->file_size(ec);
    return files;
}

struct Writer
{
    const char* name;
    const char* file;
    void (*setOld)();      // the values of the good save
    void (*setNew)();      // the values of the save that goes wrong
    int (*save)();         // 1 saved, 0 failed, -1 the writer tells nothing
    const char* message;   // what the player is shown on failure; null: nothing
    bool (*readsOld)();    // the game's reader, started afresh, finds setOld's values
};

void IniOld()
{
    g_MasterVolume = 40;
    g_MusicVolume = 30;
    g_RaceID = 5;
}
void IniNew()
{
    g_MasterVolume = 90;
    g_MusicVolume = 80;
    g_RaceID = 7;
}
int IniSave()
{
    WriteGameIni();
    return -1;
}
bool IniReadsOld()
{
    IniNew();
    ReadGameIni(nullptr);
    return g_MasterVolume == 40 && g_MusicVolume == 30 && g_RaceID == 5;
}

void RecordsOld()
{
    std::memset(&g_Records, 0, sizeof(g_Records));
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        g_Records.score[i] = 16000.0f - 1000.0f * i;
        std::snprintf(g_Records.name[i], RECORD_NAME_SIZE, "Rival %d", i);
    }
    g_Records.best[2] = 71.5f;
    std::snprintf(g_Records.holder[2], RECORD_NAME_SIZE, "Holder");
    g_Records.playerEntry = 15;
}
void RecordsNew()
{
    g_Records.score[0] = 1.0f;
    g_Records.best[2] = 60.0f;
}
int RecordsSave()
{
    return SaveGame();
}
bool RecordsReadOld()
{
    RecordsNew();
    LoadRecords();
    return g_Records.score[0] == 16000.0f && g_Records.best[2] == 71.5f &&
           std::strcmp(g_Records.holder[2], "Holder") == 0 && std::strcmp(g_Records.name[3], "Rival 3") == 0;
}

void PrintTo(const Writer& w, std::ostream* os)
{
    *os << w.name;
}

const Writer kWriters[] = {
    {"Game.ini", "Game.ini", IniOld, IniNew, IniSave, nullptr, IniReadsOld},
    {"records", RECORDS_FILE, RecordsOld, RecordsNew, RecordsSave, "SaveGame() error!|Could't save game!",
     RecordsReadOld},
};

class SaveFaultsTest : public ::testing::TestWithParam<Writer>
{
protected:
    void SetUp() override
    {
        m_Saved[0] = g_MasterVolume;
        m_Saved[1] = g_MusicVolume;
        m_Saved[2] = g_RaceID;
        ASSERT_TRUE(m_Folder.MakeAndEnter("trallowmere-savefaults-"));
    }
    void TearDown() override
    {
        g_MasterVolume = m_Saved[0];
        g_MusicVolume = m_Saved[1];
        g_RaceID = m_Saved[2];
    }

    TempFolder m_Folder;
    testdata::MessageCapture m_Messages;
    int m_Saved[3] = {};
};

TEST_P(SaveFaultsTest, AFailedSaveKeepsTheOldFileAndTellsThePlayer)
{
    const Writer& w = GetParam();
    for (DiskFault fault :
         {DiskFault::FileTooLarge, DiskFault::DiskFull, DiskFault::ReadOnly, DiskFault::TempIsAFolder})
    {
        SCOPED_TRACE(testsupport::DiskFaultName(fault));
        const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
            if (fault == DiskFault::DiskFull || fault == DiskFault::ReadOnly)
            {
                std::string why = testsupport::MountScratchDisk();
                if (!why.empty())
                    return why;
            }
            std::string failed;
            w.setOld();
            Check(failed, w.save() != 0, "the first save failed");
            const std::vector<uint8_t> old = testsupport::ReadFileBytes(w.file);
            const auto before = Listing();
            testdata::Messages().clear();

            w.setNew();
            std::string why = testsupport::ArmFault(fault, {w.file});
            if (!why.empty())
                return why;
            const int result = w.save();
            why = testsupport::HealFault(fault, {w.file});
            if (!why.empty())
                return why;

            Check(failed, result <= 0, "a failed save was reported as saved");
            if (w.message)
                Check(failed, testdata::Messages() == std::vector<std::string>{w.message},
                      "the player was not told: " + std::to_string(testdata::Messages().size()) + " messages");
            else
                Check(failed, testdata::Messages().empty(), "a message the player is never shown");
            Check(failed, !old.empty() && testsupport::ReadFileBytes(w.file) == old, "the old file changed");
            auto after = Listing();
            if (fault == DiskFault::DiskFull)
                after.erase("filler.bin");
            Check(failed, after == before, "files were added or changed beside it");
            Check(failed, w.readsOld(), "the old file does not read back");

            // Once the disk is back, the same save goes through.
            w.setNew();
            Check(failed, w.save() != 0, "the save after the fault failed");
            Check(failed, testsupport::ReadFileBytes(w.file) != old, "the save after the fault wrote nothing");
            return failed;
        });
        if (child.report.compare(0, 5, "skip:") == 0)
        {
            // Only the mounted faults can lack what they need.
            EXPECT_TRUE(fault == DiskFault::DiskFull || fault == DiskFault::ReadOnly);
            std::printf("[ skipped  ] %s: %s\n", testsupport::DiskFaultName(fault), child.report.c_str());
            continue;
        }
        EXPECT_TRUE(child.exited) << "signal " << child.signal;
        EXPECT_EQ(child.report, "");
    }
}

TEST_P(SaveFaultsTest, AKillHalfWayThroughASaveKeepsTheOldFileAndTheNextStartCarriesOn)
{
    const Writer& w = GetParam();
    w.setOld();
    ASSERT_NE(w.save(), 0);
    const std::vector<uint8_t> old = testsupport::ReadFileBytes(w.file);
    ASSERT_FALSE(old.empty());
    const auto before = Listing();

    const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
        w.setNew();
        testsupport::KillWhenAFileGrowsPast(64);
        w.save();
        return "the save ran to the end";
    });
    ASSERT_EQ(child.signal, SIGKILL) << child.report;

    EXPECT_EQ(testsupport::ReadFileBytes(w.file), old);
    // The kill came in the middle of writing: what it left is one short file
    // beside the saves.
    auto left = Listing();
    for (const auto& file : before)
        left.erase(file.first);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_LE(left.begin()->second, 64u);

    // The next start: the half-written file is not read, and the next save
    // takes its place.
    EXPECT_TRUE(w.readsOld());
    EXPECT_TRUE(testdata::Messages().empty());
    w.setNew();
    EXPECT_NE(w.save(), 0);
    EXPECT_NE(testsupport::ReadFileBytes(w.file), old);
    auto after = Listing();
    for (auto& file : after)
        file.second = 0;
    auto expected = before;
    for (auto& file : expected)
        file.second = 0;
    EXPECT_EQ(after, expected);
}

// A link left at the temporary name (by anything at all) is replaced, never
// written through: the file it points at stays as it was.
TEST_P(SaveFaultsTest, ALinkAtTheTemporaryNameIsNeverWrittenThrough)
{
    const Writer& w = GetParam();
    w.setOld();
    ASSERT_NE(w.save(), 0);
    ASSERT_TRUE(testsupport::WriteFileBytes("bystander.bin", {'k', 'e', 'e', 'p'}));
    ASSERT_EQ(symlink(fs::absolute("bystander.bin").c_str(), (std::string(w.file) + ".tmp").c_str()), 0);
    w.setNew();
    EXPECT_NE(w.save(), 0);
    EXPECT_EQ(testsupport::ReadFileBytes("bystander.bin"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(w.file)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(std::string(w.file) + ".tmp")));
    EXPECT_TRUE(testdata::Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Writers, SaveFaultsTest, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<Writer>& info) {
                             return std::string(info.param.name[0] == 'G' ? "GameIni" : "Records");
                         });

}   // namespace
