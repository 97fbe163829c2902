#include "tools/DataTree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileManager.h"
#include "core/Settings.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TempFolder.h"
#include "tools/PackWriter.h"

namespace fs = std::filesystem;

namespace
{

int ModeOf(PackKind kind)
{
    const int modes[] = {FILE_OBJECTS, FILE_WORLD, FILE_TEXTURES, FILE_SD};
    return modes[kind];
}

// Opens every file of `root` that belongs to a pack through the packs and
// checks it matches its loose copy byte for byte.
void ExpectPacksMatchLooseFiles(const fs::path& root, size_t minimumFiles)
{
    fs::path old = fs::current_path();
    fs::current_path(root);
    int saved = g_UseFileManager;
    g_UseFileManager = 1;
    g_FileManager.Create();
    size_t checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator("Data"))
    {
        if (!entry.is_regular_file())
            continue;
        std::string path = entry.path().generic_string();
        PackKind kind = PackForPath(path);
        if (kind == PACK_NONE || path.size() < 4 || path.compare(path.size() - 4, 4, ".hdr") == 0 ||
            path.compare(path.size() - 4, 4, ".pak") == 0)
            continue;
        SCOPED_TRACE(path);
        std::vector<uint8_t> loose = testsupport::ReadFileBytes(entry.path().string());
        int size = -1;
        int h = g_FileManager.Open(path.c_str(), ModeOf(kind), &size);
        ASSERT_NE(h, -1);
        ASSERT_EQ(size, (int)loose.size());
        std::vector<uint8_t> packed;
        if (kind == PACK_OBJECTS)
        {
            // Text in memory: lines joined with LF give the file back, and
            // there are no empty lines to be skipped.
            std::string text;
            char line[1024];
            while (g_FileManager.ReadLine(line, sizeof(line), h))
                text += std::string(line) + "\n";
            std::string original(loose.begin(), loose.end());
            if (!original.empty() && original.back() != '\n')
                original += "\n";
            EXPECT_EQ(text, original);
        }
        else
        {
            packed.resize(size);
            EXPECT_EQ(g_FileManager.Read(packed.data(), 1, size, h), (size_t)size);
            EXPECT_TRUE(packed == loose);
        }
        g_FileManager.Close(h);
        ++checked;
    }
    g_FileManager.Release();
    g_UseFileManager = saved;
    fs::current_path(old);
    EXPECT_GE(checked, minimumFiles);
}

TEST(DataTreeTest, WritesLooseFilesAndPacks)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Make("dttest"));
    const fs::path root(folder.path());

    DataTree tree;
    tree.AddText("Data/Misc/List.obj", "LABEL                           1\nnext\n");
    tree.Add("Data/Landscape/Area01/HeightMap.dat", {0, 1, 2, 0xA5, 0xFF});
    tree.Add("Data/Interface/Cursor/Cursor.dds", {'D', 'D', 'S', ' '});
    tree.Add("Data/Audio/Foo01.wav", {'R', 'I', 'F', 'F'});
    tree.AddText("Data/Misc/List.obj", "replaced\n");   // same path: replaces
    tree.AddText("Game.ini", "[Misc]\n");
    EXPECT_EQ(tree.Files().size(), 5u);

    ASSERT_TRUE(tree.WriteAll(root.string()));
    EXPECT_EQ(testsupport::ReadFileBytes((root / "Data/Misc/List.obj").string()),
              (std::vector<uint8_t>{'r', 'e', 'p', 'l', 'a', 'c', 'e', 'd', '\n'}));
    EXPECT_TRUE(fs::exists(root / "Game.ini"));
    for (const char* pack : {"Objects", "World", "Textures", "SD"})
    {
        EXPECT_TRUE(fs::exists(root / "Data" / (std::string(pack) + ".hdr"))) << pack;
        EXPECT_TRUE(fs::exists(root / "Data" / (std::string(pack) + ".pak"))) << pack;
    }
    ExpectPacksMatchLooseFiles(root, 4);
}

TEST(DataTreeTest, TextWithEmptyLinesIsRefused)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Make("dttest"));
    DataTree tree;
    tree.AddText("Data/Misc/Bad.obj", "A\n\nB\n");
    EXPECT_FALSE(tree.WriteAll(folder.path()));
    DataTree crlf;
    crlf.AddText("Data/Misc/Bad.obj", "A\r\nB\r\n");
    EXPECT_FALSE(crlf.WriteAll(folder.path()));
}

TEST(DataTreeTest, DemoDataPacksMatchTheLooseFiles)
{
    const fs::path root(testsupport::DemoDataDir());
    if (!fs::exists(root / "Data/Objects.hdr"))
        SKIP_OR_FAIL_IN_CI() << "no demo data at " << root;
    ExpectPacksMatchLooseFiles(root, 1);
}

}   // namespace
