#include "core/FileManager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"
#include "tools/PackWriter.h"

namespace fs = std::filesystem;

using testsupport::ReadFileText;
using testsupport::WriteFileBytes;

namespace
{

std::vector<std::string> g_Messages;

int CaptureMessage(HWND, const char* text, const char*, UINT)
{
    g_Messages.push_back(text ? text : "");
    return IDOK;
}

std::vector<uint8_t> Bytes(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Each test runs in a fresh folder of its own with the file manager released.
class FileManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Folder.MakeAndEnter("fmtest"));
        g_Messages.clear();
        SetMessageBoxHook(CaptureMessage);
        m_SavedUseFileManager = g_UseFileManager;
    }
    void TearDown() override
    {
        g_FileManager.Release();
        SetMessageBoxHook(nullptr);
        g_UseFileManager = m_SavedUseFileManager;
        EXPECT_TRUE(m_Folder.Remove());
    }

    // Writes the files either into the four packs or as loose files, then
    // creates the file manager in the matching mode.
    void Install(const std::map<std::string, std::vector<uint8_t>>& files, bool packs)
    {
        if (packs)
        {
            PackWriter writers[PACK_COUNT] = {PackWriter(true), PackWriter(false), PackWriter(false),
                                              PackWriter(false)};
            for (const auto& f : files)
            {
                PackKind kind = PackForPath(f.first);
                ASSERT_NE(kind, PACK_NONE) << f.first;
                ASSERT_TRUE(writers[kind].Add(f.first, f.second));
            }
            fs::create_directories("Data");
            for (int k = 0; k < PACK_COUNT; ++k)
                ASSERT_TRUE(writers[k].Write(PackBaseName((PackKind)k)));
        }
        else
        {
            for (const auto& f : files)
                ASSERT_TRUE(WriteFileBytes(f.first, f.second)) << f.first;
        }
        g_UseFileManager = packs ? 1 : 0;
        g_FileManager.Create();
    }

    std::vector<std::string> ReadAllLines(int handle, int length = 255)
    {
        std::vector<std::string> lines;
        std::vector<char> buffer(length);
        for (int guard = 0; guard < 100; ++guard)
        {
            if (!g_FileManager.ReadLine(buffer.data(), length, handle))
            {
                EXPECT_STREQ(buffer.data(), "");
                break;
            }
            lines.push_back(buffer.data());
        }
        return lines;
    }

    TempFolder m_Folder;
    int m_SavedUseFileManager = 1;
};

class FileManagerModeTest : public FileManagerTest, public ::testing::WithParamInterface<bool>
{};

std::vector<uint8_t> AllByteValues()
{
    std::vector<uint8_t> v;
    for (int i = 0; i < 256; ++i)
        v.push_back((uint8_t)i);
    return v;
}

TEST_P(FileManagerModeTest, EveryPackKindRoundTrips)
{
    const bool packs = GetParam();
    const std::vector<uint8_t> binary = AllByteValues();
    Install({{"Data/Misc/List.obj", Bytes("First line\nSecond line\n")},
             {"Data/Landscape/Area01/HeightMap.dat", binary},
             {"Data/Interface/Cursor/Cursor.dds", Bytes("DDS picture")},
             {"Data/Audio/Foo01.wav", Bytes("RIFF sound")}},
            packs);

    int size = -1;
    int h = g_FileManager.Open("Data/Misc/List.obj", FILE_OBJECTS, &size);
    ASSERT_NE(h, -1);
    EXPECT_EQ(size, 23);
    if (packs)
        EXPECT_EQ(h, FILE_OBJECTS);
    else
        EXPECT_LT(h, FILE_SLOTS);
    EXPECT_EQ(ReadAllLines(h), (std::vector<std::string>{"First line", "Second line"}));
    g_FileManager.Close(h);

    struct Case
    {
        const char* name;
        int mode;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"Data/Landscape/Area01/HeightMap.dat", FILE_WORLD, binary},
        {"Data/Interface/Cursor/Cursor.dds", FILE_TEXTURES, Bytes("DDS picture")},
        {"Data/Audio/Foo01.wav", FILE_SD, Bytes("RIFF sound")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        size = -1;
        h = g_FileManager.Open(c.name, c.mode, &size);
        ASSERT_NE(h, -1);
        if (packs)
            EXPECT_TRUE(h >= c.mode && h < c.mode + FILE_SLOTS);
        else
            EXPECT_LT(h, FILE_SLOTS);
        ASSERT_EQ(size, (int)c.bytes.size());
        std::vector<uint8_t> got(size);
        EXPECT_EQ(g_FileManager.Read(got.data(), 1, size, h), (size_t)size);
        EXPECT_EQ(got, c.bytes);
        g_FileManager.Close(h);
    }
    // Not in any pack / not on disk.
    EXPECT_EQ(g_FileManager.Open("Data/Misc/Missing.obj", FILE_OBJECTS, nullptr), -1);
    EXPECT_EQ(g_FileManager.Open("Data/Misc/List.obj", 7, nullptr), -1);
    EXPECT_TRUE(g_Messages.empty());
}

TEST_P(FileManagerModeTest, LineBreaks)
{
    const bool packs = GetParam();
    struct Case
    {
        const char* text;
        std::vector<std::string> packLines;
        std::vector<std::string> looseLines;
    };
    const Case cases[] = {
        {"A\r\nB", {"A", "B"}, {"A", "B"}},
        {"A\nB\n", {"A", "B"}, {"A", "B"}},
        // One empty line right after a line is skipped by the pack reader.
        {"A\n\nB", {"A", "B"}, {"A", "", "B"}},
        {"A\n\n\nB", {"A", "", "B"}, {"A", "", "", "B"}},
        {"A\r\n\r\nB\r\n", {"A", "", "B"}, {"A", "", "B"}},
        {"", {}, {}},
    };
    std::map<std::string, std::vector<uint8_t>> files;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        files["Data/Misc/Case" + std::to_string(i) + ".obj"] = Bytes(cases[i].text);
    Install(files, packs);

    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
    {
        SCOPED_TRACE(i);
        int h = g_FileManager.Open(("Data/Misc/Case" + std::to_string(i) + ".obj").c_str(), FILE_OBJECTS, nullptr);
        ASSERT_NE(h, -1);
        EXPECT_EQ(ReadAllLines(h), packs ? cases[i].packLines : cases[i].looseLines);
        // Past the end it keeps reporting the end.
        char buffer[8] = "stale";
        EXPECT_EQ(g_FileManager.ReadLine(buffer, sizeof(buffer), h), 0);
        EXPECT_STREQ(buffer, "");
        g_FileManager.Close(h);
    }
}

TEST_P(FileManagerModeTest, ShortLengthSplitsALine)
{
    const bool packs = GetParam();
    const std::string line(40, 'x');
    const std::string label = "LABEL" + std::string(27, ' ');   // a 32-column label
    Install({{"Data/Misc/Long.obj", Bytes(line.substr(0, 32) + "yyyyyyyy\n" + label + "value\nend\n")}}, packs);
    int h = g_FileManager.Open("Data/Misc/Long.obj", FILE_OBJECTS, nullptr);
    ASSERT_NE(h, -1);
    char buffer[33];
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 33, h), 1);
    EXPECT_EQ(std::string(buffer), line.substr(0, 32));
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 33, h), 1);
    EXPECT_STREQ(buffer, "yyyyyyyy");
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 33, h), 1);
    EXPECT_EQ(std::string(buffer), label);
    char value[100];
    ASSERT_EQ(g_FileManager.ReadLine(value, 100, h), 1);
    EXPECT_STREQ(value, "value");
    ASSERT_EQ(g_FileManager.ReadLine(value, 100, h), 1);
    EXPECT_STREQ(value, "end");
    EXPECT_EQ(g_FileManager.ReadLine(value, 100, h), 0);
}

TEST_P(FileManagerModeTest, BackslashNamesOpen)
{
    Install({{"Data/Misc/List.obj", Bytes("one\n")}, {"Data/Meshes/Box.dat", Bytes("mesh")}}, GetParam());
    int h = g_FileManager.Open("Data\\Misc\\List.obj", FILE_OBJECTS, nullptr);
    ASSERT_NE(h, -1);
    g_FileManager.Close(h);
    int size = 0;
    h = g_FileManager.Open("Data\\Meshes\\Box.dat", FILE_WORLD, &size);
    ASSERT_NE(h, -1);
    EXPECT_EQ(size, 4);
    g_FileManager.Close(h);
}

INSTANTIATE_TEST_SUITE_P(PackAndLoose, FileManagerModeTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Packs" : "Loose"; });

TEST_F(FileManagerTest, ObjectsReadPositionIsSharedUntilClose)
{
    Install({{"Data/Misc/RacersName.obj", Bytes("one\ntwo\nthree\n")}}, true);
    char buffer[32];
    int a = g_FileManager.Open("Data/Misc/RacersName.obj", FILE_OBJECTS, nullptr);
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 32, a), 1);
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 32, a), 1);
    int b = g_FileManager.Open("Data/Misc/RacersName.obj", FILE_OBJECTS, nullptr);
    EXPECT_EQ(a, b);
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 32, b), 1);
    EXPECT_STREQ(buffer, "three");
    g_FileManager.Close(b);
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 32, a), 1);
    EXPECT_STREQ(buffer, "one");

    // Names are exact: another case does not match.
    EXPECT_EQ(g_FileManager.Open("data/misc/racersname.obj", FILE_OBJECTS, nullptr), -1);
    // Objects files are text only.
    EXPECT_EQ(g_FileManager.Read(buffer, 1, 4, a), 0u);
    // Data scrambled on disk, plain in memory.
    std::string pak = ReadFileText("Data/Objects.pak");
    EXPECT_EQ(pak.find("three"), std::string::npos);
}

TEST_F(FileManagerTest, BadHandlesAreIgnored)
{
    Install({{"Data/Misc/List.obj", Bytes("one\n")}, {"Data/Meshes/Box.dat", Bytes("mesh")}}, true);
    const int handles[] = {-1, 0, 127, 128, 999, 1001, 3999, 4000, 4127, 5000, 6127, 6128, 100000, -5};
    for (int h : handles)
    {
        SCOPED_TRACE(h);
        char buffer[16] = "stale";
        EXPECT_EQ(g_FileManager.ReadLine(buffer, 16, h), 0);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(g_FileManager.Read(buffer, 1, 16, h), 0u);
        EXPECT_EQ(g_FileManager.Write(buffer, 1, 4, h), 0u);
        EXPECT_EQ(g_FileManager.GetFileSize(h), 0);
        g_FileManager.Close(h);
    }
    // Closing twice is harmless; the slot is reused afterwards.
    int h = g_FileManager.Open("Data/Meshes/Box.dat", FILE_WORLD, nullptr);
    ASSERT_EQ(h, FILE_WORLD);
    g_FileManager.Close(h);
    g_FileManager.Close(h);
    EXPECT_EQ(g_FileManager.Open("Data/Meshes/Box.dat", FILE_WORLD, nullptr), FILE_WORLD);
    // A pack handle is no plain file.
    EXPECT_EQ(g_FileManager.GetFileSize(FILE_WORLD), 0);
    EXPECT_EQ(g_FileManager.Open(nullptr, FILE_TEXT, nullptr), -1);
}

TEST_F(FileManagerTest, ObjectsOpenWithEverySlotInUse)
{
    ASSERT_TRUE(WriteFileBytes("plain.txt", Bytes("plain\n")));
    Install({{"Data/Misc/List.obj", Bytes("one\ntwo\n")}, {"Data/Meshes/Box.dat", Bytes("mesh")}}, true);
    std::vector<int> open;
    for (int i = 0; i < FILE_SLOTS; ++i)
    {
        int h = g_FileManager.Open("plain.txt", FILE_TEXT, nullptr);
        ASSERT_EQ(h, i);
        open.push_back(h);
    }
    EXPECT_EQ(g_FileManager.Open("plain.txt", FILE_BINARY, nullptr), -1);
    EXPECT_EQ(g_FileManager.Open("Data/Meshes/Box.dat", FILE_WORLD, nullptr), -1);
    EXPECT_EQ(g_FileManager.OpenForWrite("out.txt", FILE_TEXT), -1);

    int h = g_FileManager.Open("Data/Misc/List.obj", FILE_OBJECTS, nullptr);
    ASSERT_EQ(h, FILE_OBJECTS);
    char buffer[16];
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 16, h), 1);
    EXPECT_STREQ(buffer, "one");

    g_FileManager.Close(open[40]);
    EXPECT_EQ(g_FileManager.Open("Data/Meshes/Box.dat", FILE_WORLD, nullptr), FILE_WORLD + 40);
}

// Damaged indexes: the pack is refused with a message naming it, and the
// other packs still work.
struct CorruptIndex
{
    const char* label;
    std::vector<uint8_t> hdr;
    std::vector<uint8_t> pak;
};

void PutLE32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back((uint8_t)(x >> (8 * i)));
}

std::vector<uint8_t> Entry(const std::string& name, uint32_t size, uint32_t offset)
{
    std::vector<uint8_t> v;
    for (char c : name)
        v.push_back(PackScramble((unsigned char)c));
    v.push_back(0);
    PutLE32(v, size);
    PutLE32(v, offset);
    return v;
}

std::vector<CorruptIndex> CorruptIndexes()
{
    std::vector<CorruptIndex> cases;
    {
        CorruptIndex c{"huge count", Entry("Data/X.obj", 4, 0), Bytes("abcd")};
        PutLE32(c.hdr, 0xFFFFFFFFu);
        cases.push_back(c);
    }
    {
        CorruptIndex c{"count beyond the entries", Entry("Data/X.obj", 4, 0), Bytes("abcd")};
        PutLE32(c.hdr, 2);
        cases.push_back(c);
    }
    {
        CorruptIndex c{"no terminator", {}, Bytes("abcd")};
        for (int i = 0; i < 20; ++i)
            c.hdr.push_back(PackScramble('n'));
        PutLE32(c.hdr, 1);
        cases.push_back(c);
    }
    {
        CorruptIndex c{"300-byte name", Entry(std::string(300, 'n'), 4, 0), Bytes("abcd")};
        PutLE32(c.hdr, 1);
        cases.push_back(c);
    }
    {
        CorruptIndex c{"offset past the end", Entry("Data/X.obj", 100, 10), std::vector<uint8_t>(50, 1)};
        PutLE32(c.hdr, 1);
        cases.push_back(c);
    }
    {
        CorruptIndex c{"offset and size wrap", Entry("Data/X.obj", 0xFFFFFFF0u, 0x20), std::vector<uint8_t>(50, 1)};
        PutLE32(c.hdr, 1);
        cases.push_back(c);
    }
    {
        // The second entry's size and offset are cut off.
        CorruptIndex c{"truncated entry", Entry("Data/X.obj", 4, 0), Bytes("abcd")};
        std::vector<uint8_t> second = Entry("Data/Y.obj", 4, 0);
        c.hdr.insert(c.hdr.end(), second.begin(), second.end() - 6);
        PutLE32(c.hdr, 2);
        cases.push_back(c);
    }
    cases.push_back({"2-byte index", {1, 0}, Bytes("abcd")});
    return cases;
}

TEST_F(FileManagerTest, DamagedIndexesAreRefused)
{
    const char* bases[] = {"Data/Objects", "Data/World"};
    for (const char* base : bases)
    {
        for (const CorruptIndex& c : CorruptIndexes())
        {
            SCOPED_TRACE(std::string(base) + ": " + c.label);
            g_FileManager.Release();
            std::error_code ec;
            fs::remove_all("Data", ec);
            // A good Textures pack beside the damaged one.
            PackWriter good(false);
            ASSERT_TRUE(good.Add("Data/Good.dds", Bytes("good")));
            fs::create_directories("Data");
            ASSERT_TRUE(good.Write("Data/Textures"));
            ASSERT_TRUE(WriteFileBytes(std::string(base) + ".hdr", c.hdr));
            ASSERT_TRUE(WriteFileBytes(std::string(base) + ".pak", c.pak));

            g_Messages.clear();
            g_UseFileManager = 1;
            g_FileManager.Create();
            EXPECT_EQ(g_FileManager.m_ObjectsCount, 0);
            EXPECT_EQ(g_FileManager.m_WorldCount, 0);
            ASSERT_EQ(g_Messages.size(), 1u);
            EXPECT_NE(g_Messages[0].find(std::string(base) + ".hdr"), std::string::npos) << g_Messages[0];
            EXPECT_EQ(g_FileManager.Open("Data/X.obj", FILE_OBJECTS, nullptr), -1);
            int h = g_FileManager.Open("Data/Good.dds", FILE_TEXTURES, nullptr);
            EXPECT_EQ(h, FILE_TEXTURES);
            g_FileManager.Close(h);
        }
    }
}

// Every Objects entry is copied whole at start, so entries that overlap or
// repeat the same bytes could ask for far more memory than the pack holds. An
// Objects index whose files add up to more than its ".pak" is refused; the
// World pack reads on demand and keeps the same index.
TEST_F(FileManagerTest, ObjectsFilesMayNotAddUpToMoreThanThePak)
{
    struct Span
    {
        uint32_t offset, size;
    };
    struct Case
    {
        const char* label;
        std::vector<Span> spans;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"the whole pack 100 times", std::vector<Span>(100, Span{0, 1000}), true},
        {"overlapping past the pack size", {{0, 600}, {399, 601}}, true},
        {"overlapping up to the pack size", {{0, 600}, {400, 400}}, false},
    };
    const std::vector<uint8_t> pak(1000, PackScramble('x'));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        g_FileManager.Release();
        std::vector<uint8_t> hdr;
        for (size_t i = 0; i < c.spans.size(); ++i)
        {
            const std::vector<uint8_t> e =
                Entry("Data/F" + std::to_string(i) + ".obj", c.spans[i].size, c.spans[i].offset);
            hdr.insert(hdr.end(), e.begin(), e.end());
        }
        PutLE32(hdr, (uint32_t)c.spans.size());
        for (const char* base : {"Data/Objects", "Data/World"})
        {
            WriteFileBytes(std::string(base) + ".hdr", hdr);
            WriteFileBytes(std::string(base) + ".pak", pak);
        }

        g_Messages.clear();
        g_UseFileManager = 1;
        g_FileManager.Create();
        EXPECT_EQ(g_FileManager.m_WorldCount, (int)c.spans.size());
        if (c.refused)
        {
            EXPECT_EQ(g_FileManager.m_ObjectsCount, 0);
            ASSERT_EQ(g_Messages.size(), 1u);
            EXPECT_NE(g_Messages[0].find("Data/Objects.hdr"), std::string::npos) << g_Messages[0];
            continue;
        }
        EXPECT_TRUE(g_Messages.empty());
        ASSERT_EQ(g_FileManager.m_ObjectsCount, (int)c.spans.size());
        for (size_t i = 0; i < c.spans.size(); ++i)
        {
            const int h = g_FileManager.Open(("Data/F" + std::to_string(i) + ".obj").c_str(), FILE_OBJECTS, nullptr);
            EXPECT_EQ(ReadAllLines(h, 2000), std::vector<std::string>{std::string(c.spans[i].size, 'x')});
            g_FileManager.Close(h);
        }
    }
}

TEST_F(FileManagerTest, MissingPakKeepsWorldEntriesButOpensFail)
{
    Install({{"Data/Meshes/Box.dat", Bytes("mesh")}, {"Data/Misc/List.obj", Bytes("one\n")}}, true);
    g_FileManager.Release();
    fs::remove("Data/World.pak");
    fs::remove("Data/Objects.pak");
    g_FileManager.Create();
    EXPECT_EQ(g_FileManager.m_WorldCount, 1);
    EXPECT_EQ(g_FileManager.m_ObjectsCount, 0);
    EXPECT_EQ(g_FileManager.Open("Data/Meshes/Box.dat", FILE_WORLD, nullptr), -1);
    EXPECT_TRUE(g_Messages.empty());
}

TEST_F(FileManagerTest, ObjectsHandlesStayBelowTheWorldRange)
{
    PackWriter objects(true);
    const int total = MAX_OBJECTS_ENTRIES + 5;
    for (int i = 0; i < total; ++i)
        ASSERT_TRUE(objects.AddText("Data/O" + std::to_string(i) + ".obj", "x\n"));
    fs::create_directories("Data");
    ASSERT_TRUE(objects.Write("Data/Objects"));
    g_UseFileManager = 1;
    g_FileManager.Create();
    EXPECT_EQ(g_FileManager.m_ObjectsCount, MAX_OBJECTS_ENTRIES);
    int last = g_FileManager.Open(("Data/O" + std::to_string(MAX_OBJECTS_ENTRIES - 1) + ".obj").c_str(), FILE_OBJECTS,
                                  nullptr);
    EXPECT_EQ(last, FILE_WORLD - 1);
    EXPECT_EQ(
        g_FileManager.Open(("Data/O" + std::to_string(MAX_OBJECTS_ENTRIES) + ".obj").c_str(), FILE_OBJECTS, nullptr),
        -1);
}

TEST_F(FileManagerTest, WritesReplaceTheFileOnlyWhenClosed)
{
    Install({}, false);
    ASSERT_TRUE(WriteFileBytes("Records.sav", Bytes("old")));
    int h = g_FileManager.OpenForWrite("Records.sav", FILE_BINARY);
    ASSERT_GE(h, 0);
    ASSERT_LT(h, FILE_SLOTS);
    EXPECT_EQ(g_FileManager.Write("new data", 1, 8, h), 8u);
    EXPECT_EQ(g_FileManager.GetFileSize(h), 8);
    EXPECT_EQ(ReadFileText("Records.sav"), "old");   // still the old file while writing
    g_FileManager.Close(h);
    EXPECT_EQ(ReadFileText("Records.sav"), "new data");
    EXPECT_FALSE(fs::exists("Records.sav.tmp"));

    EXPECT_EQ(g_FileManager.OpenForWrite("x.txt", 2), -1);
    EXPECT_EQ(g_FileManager.OpenForWrite("NoSuchFolder/x.txt", FILE_TEXT), -1);

    // Text written, then read back through a plain handle.
    h = g_FileManager.OpenForWrite("Save\\url.txt", FILE_TEXT);
    EXPECT_EQ(h, -1);   // the folder does not exist yet
    EXPECT_EQ(g_FileManager.CreateFolder("Save"), 1);
    EXPECT_EQ(g_FileManager.CreateFolder("Save"), 0);
    h = g_FileManager.OpenForWrite("Save\\url.txt", FILE_TEXT);
    ASSERT_NE(h, -1);
    EXPECT_EQ(g_FileManager.Write("line\r\n", 1, 6, h), 6u);
    g_FileManager.Close(h);
    int size = 0;
    h = g_FileManager.Open("Save/url.txt", FILE_TEXT, &size);
    ASSERT_NE(h, -1);
    EXPECT_EQ(size, 6);
    char buffer[16];
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 16, h), 1);
    EXPECT_STREQ(buffer, "line");
    EXPECT_EQ(g_FileManager.ReadLine(buffer, 16, h), 0);
    // A folder is no file.
    EXPECT_EQ(g_FileManager.Open("Save", FILE_BINARY, nullptr), -1);
}

TEST_F(FileManagerTest, LooseModeReadsNoPack)
{
    Install({{"Data/Misc/List.obj", Bytes("packed\n")}}, true);
    g_FileManager.Release();
    ASSERT_TRUE(WriteFileBytes("Data/Misc/List.obj", Bytes("loose\n")));
    g_UseFileManager = 0;
    g_FileManager.Create();
    EXPECT_EQ(g_FileManager.m_LooseFiles, 1);
    EXPECT_EQ(g_FileManager.m_ObjectsCount, 0);
    int h = g_FileManager.Open("Data/Misc/List.obj", FILE_OBJECTS, nullptr);
    ASSERT_LT(h, FILE_SLOTS);
    char buffer[16];
    ASSERT_EQ(g_FileManager.ReadLine(buffer, 16, h), 1);
    EXPECT_STREQ(buffer, "loose");
}

}   // namespace
