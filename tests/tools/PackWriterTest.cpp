#include "tools/PackWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FileManager.h"

namespace
{

TEST(PackWriterTest, IndexLayout)
{
    PackWriter pack(false);
    ASSERT_TRUE(pack.Add("ab", {1, 2, 3}));
    ASSERT_TRUE(pack.Add("c", {}));
    ASSERT_TRUE(pack.Add("d", {9}));
    const std::vector<uint8_t> expected = {
        PackScramble('a'),
        PackScramble('b'),
        0,
        3,
        0,
        0,
        0,
        0,
        0,
        0,
        0,   // "ab": size 3 at 0
        PackScramble('c'),
        0,
        0,
        0,
        0,
        0,
        3,
        0,
        0,
        0,   // "c": size 0 at 3
        PackScramble('d'),
        0,
        1,
        0,
        0,
        0,
        3,
        0,
        0,
        0,   // "d": size 1 at 3
        3,
        0,
        0,
        0,   // count
    };
    EXPECT_EQ(pack.HeaderFile(), expected);
    EXPECT_EQ(pack.DataBytes(), (std::vector<uint8_t>{1, 2, 3, 9}));

    PackWriter scrambled(true);
    ASSERT_TRUE(scrambled.Add("x", {0, 0xA5, 0xFF}));
    EXPECT_EQ(scrambled.DataBytes(), (std::vector<uint8_t>{PackScramble(0), PackScramble(0xA5), PackScramble(0xFF)}));

    // The reader takes back what the writer wrote.
    PackEntry* entries = nullptr;
    std::vector<uint8_t> hdr = pack.HeaderFile();
    ASSERT_EQ(CFileManager::ParsePackIndex(hdr.data(), hdr.size(), (long long)pack.DataBytes().size(), 100, &entries),
              3);
    EXPECT_STREQ(entries[0].name, "ab");
    EXPECT_STREQ(entries[2].name, "d");
    EXPECT_EQ(entries[2].offset, 3u);
    EXPECT_EQ(entries[2].size, 1u);
    delete[] entries;
}

TEST(PackWriterTest, RefusesNamesTheIndexCannotHold)
{
    PackWriter pack(true);
    const unsigned char terminatorWhenStored = (unsigned char)(0x100 - PACK_SCRAMBLE);
    const std::string bad[] = {
        "",
        std::string(256, 'n'),
        std::string("Data/") + (char)terminatorWhenStored + ".obj",
        "Data\\Misc\\List.obj",
    };
    for (const std::string& name : bad)
        EXPECT_FALSE(pack.Add(name, {1})) << name.size();
    EXPECT_EQ(pack.Count(), 0u);
    EXPECT_TRUE(pack.HeaderFile() == (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_TRUE(pack.Add(std::string(255, 'n'), {1}));
}

TEST(PackWriterTest, PathsGoToThePackTheGameOpens)
{
    const struct
    {
        const char* path;
        PackKind kind;
    } cases[] = {
        {"Data/Misc/RacersName.obj", PACK_OBJECTS},
        {"Data/Landscape/Area01/LandscapeData.obj", PACK_OBJECTS},
        {"Data/Landscape/Area01/HeightMap.dat", PACK_WORLD},
        {"Data/Misc/RenderTechniques_20.dat", PACK_WORLD},
        {"Data/Interface/Fonts/Arial.18/Main.dat", PACK_WORLD},
        {"Data/Interface/Fonts/Arial.18/Main.dds", PACK_TEXTURES},
        {"Data/Interface/Menu_Main/Back.bmp", PACK_TEXTURES},
        {"Data/Interface/Menu_Main/Back.JPG", PACK_TEXTURES},
        {"Data/Audio/En01.wav", PACK_SD},
        {"Data/Audio/MusTrks/TrR00.wav", PACK_SD},
        {"Game.ini", PACK_NONE},
        {"Save/Records.sav", PACK_NONE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PackForPath(c.path), c.kind) << c.path;
}

}   // namespace
