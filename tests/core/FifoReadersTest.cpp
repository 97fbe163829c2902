// A FIFO standing where one of the game's files should be: every reader
// refuses it at once, as it would a missing file, instead of waiting at the
// open (or the first read) for something to write to it. Each case runs in a
// child process that an alarm ends should it wait.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/d3d/D3DX9.h"
#include "platform/os/Ini.h"
#include "platform/os/StartCounter.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/Files.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/TempFolder.h"

namespace
{

namespace fs = std::filesystem;
using testsupport::Check;

const unsigned kPatienceSeconds = 10;

bool MakeFifo(const std::string& path)
{
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    return mkfifo(path.c_str(), 0644) == 0;
}

struct Reader
{
    const char* name;
    const char* fifo;   // where the FIFO stands
    // Reads through the game's own path; "" when the reader behaved, or what
    // went wrong. Waiting is caught by the alarm.
    std::function<std::string()> read;
};

void PrintTo(const Reader& r, std::ostream* os)
{
    *os << r.name;
}

std::string OpenRefused(const char* path, int mode)
{
    g_FileManager.Release();
    g_FileManager.Create();
    int size = -7;
    const int handle = g_FileManager.Open(path, mode, &size);
    g_FileManager.Close(handle);
    return handle == -1 ? "" : "the FIFO was opened";
}

const Reader kReaders[] = {
    {"settings", "Game.ini",
     [] {
         g_MasterVolume = 12;
         ReadGameIni("Game.ini");
         return g_MasterVolume == 100 ? "" : "the settings did not read as missing";
     }},
    {"settings written back", "Game.ini",
     [] {
         WriteGameIni();
         struct stat st;
         return stat("Game.ini", &st) == 0 && S_ISFIFO(st.st_mode) ? "" : "the FIFO was replaced";
     }},
    {"plain file", "Save/Profile01.sav", [] { return OpenRefused("Save/Profile01.sav", FILE_BINARY); }},
    {"text file", "play.url", [] { return OpenRefused("play.url", FILE_TEXT); }},
    {"loose world file", "Data/Landscape/Area01/HeightMap.dat",
     [] {
         g_UseFileManager = 0;
         return OpenRefused("Data/Landscape/Area01/HeightMap.dat", FILE_WORLD);
     }},
    {"loose objects file", "Data/Landscape/Area01/LandscapeData.obj",
     [] {
         g_UseFileManager = 0;
         return OpenRefused("Data/Landscape/Area01/LandscapeData.obj", FILE_OBJECTS);
     }},
    {"pack index", "Data/World.hdr",
     [] {
         g_UseFileManager = 1;
         g_FileManager.Create();
         return g_FileManager.m_WorldCount == 0 ? "" : "entries were read";
     }},
    {"pack data", "Data/Objects.pak",
     [] {
         g_UseFileManager = 1;
         testsupport::WriteFileBytes("Data/Objects.hdr", {0, 0, 0, 0});
         g_FileManager.Create();
         return g_FileManager.m_ObjectsCount == 0 ? "" : "entries were read";
     }},
    {"records", RECORDS_FILE,
     [] {
         LoadRecords();
         return g_Records.playerEntry == SCORE_ENTRIES - 1 ? "" : "the records did not start afresh";
     }},
    {"debug log", "debug.txt",
     [] {
         g_DebugLog = 1;
         Log(nullptr);
         Log("a line");
         g_DebugLog = 0;
         return std::string();
     }},
    {"start counter", "counter/Brenhold/Trallowmere/Started",
     [] {
         SetStartCounterFolder("counter");
         const int count = CountStart("Trallowmere");
         SetStartCounterFolder(nullptr);
         return count == 0 ? "" : "a count was read";
     }},
    {"loose texture", "Data/Textures/Sky.dds",
     [] {
         IDirect3DTexture9* texture = nullptr;
         const HRESULT hr =
             D3DXCreateTextureFromFileExA(nullptr, "Data/Textures/Sky.dds", 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                          0, 0, 0, nullptr, nullptr, &texture);
         return FAILED(hr) && !texture ? "" : "the FIFO was read as a texture";
     }},
};

class FifoReadersTest : public ::testing::TestWithParam<Reader>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Folder.MakeAndEnter("trallowmere-fifo-"));
        m_UseFileManager = g_UseFileManager;
        m_Master = g_MasterVolume;
    }
    void TearDown() override
    {
        g_FileManager.Release();
        g_UseFileManager = m_UseFileManager;
        g_MasterVolume = m_Master;
    }

    TempFolder m_Folder;
    testdata::MessageCapture m_Messages;
    int m_UseFileManager = 1;
    int m_Master = 100;
};

TEST_P(FifoReadersTest, AFifoIsRefusedAtOnce)
{
    const Reader& r = GetParam();
    ASSERT_TRUE(MakeFifo(r.fifo)) << r.fifo;
    const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
        alarm(kPatienceSeconds);
        return r.read();
    });
    EXPECT_TRUE(child.exited) << r.name << ": the reader waited on the FIFO (signal " << child.signal << ")";
    EXPECT_EQ(child.report, "") << r.name;
}

INSTANTIATE_TEST_SUITE_P(Readers, FifoReadersTest, ::testing::ValuesIn(kReaders),
                         [](const ::testing::TestParamInfo<Reader>& info) {
                             std::string name;
                             bool upper = true;
                             for (const char* c = info.param.name; *c; ++c)
                             {
                                 if (*c == ' ')
                                 {
                                     upper = true;
                                     continue;
                                 }
                                 name += upper ? (char)std::toupper((unsigned char)*c) : *c;
                                 upper = false;
                             }
                             return name;
                         });

}   // namespace
