// The texture cache on the recording device: shared counted slots, the ".bmp"
// rules, where files come from, a full cache, long names, the shutdown sweep
// and one-colour textures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/render/RenderTestSupport.h"
#include "tools/ImageWriter.h"
#include "tools/PackWriter.h"

using namespace render_test;

namespace
{

// A w x h picture of one colour, as the writers want it (B, G, R, A).
std::vector<uint8_t> Plain(int w, int h, uint8_t b, uint8_t g, uint8_t r)
{
    std::vector<uint8_t> px(size_t(w) * h * 4);
    for (size_t i = 0; i < px.size(); i += 4)
    {
        px[i] = b;
        px[i + 1] = g;
        px[i + 2] = r;
        px[i + 3] = 255;
    }
    return px;
}

std::vector<uint8_t> Bmp(int w, int h)
{
    return WriteBmp24(w, h, Plain(w, h, 10, 20, 30).data());
}

D3DSURFACE_DESC Desc(TextureId id)
{
    D3DSURFACE_DESC desc = {};
    IDirect3DTexture9* texture = g_Render.GetTexture(id);
    if (texture)
        texture->GetLevelDesc(0, &desc);
    return desc;
}

class TextureCacheDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        mkdir("Data", 0700);
        mkdir("Data/Tex", 0700);
    }

    // Starts the device on the demo technique file, with our own "Data".
    void Start(bool packs)
    {
        mkdir("Data/Misc", 0700);
        std::system(("cp '" + DemoDataDir() + "'/Data/Misc/* Data/Misc/").c_str());
        if (packs)
        {
            PackWriter world(false);
            world.Add("Data/Misc/RenderTechniques_20.dat", std::vector<uint8_t>(technique.begin(), technique.end()));
            ASSERT_TRUE(world.Write("Data/World"));
            ASSERT_TRUE(textures.Write("Data/Textures"));
        }
        g_UseFileManager = packs ? 1 : 0;
        g_FileManager.Create();
        StartDevice();
    }

    void SetUpTechnique()
    {
        technique = ReadFileText(DemoDataDir() + "/Data/Misc/RenderTechniques_20.dat");
        ASSERT_FALSE(technique.empty());
    }

    std::string technique;
    PackWriter textures{false};
};

TEST_F(TextureCacheDemoDataTest, SameNameSharesOneCountedSlot)
{
    Start(false);
    const TextureId a = g_Render.LoadTexture("Data/Misc/White.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_EQ(a, g_Render.whiteTexture);
    EXPECT_EQ(g_Render.textures.GetRefCount(a), 2);

    // A different pool or mip count still gets the first texture.
    const TextureId b = g_Render.LoadTexture("Data/Misc/White.bmp", 1, D3DPOOL_SYSTEMMEM, D3DFMT_A8R8G8B8);
    EXPECT_EQ(b, a);
    EXPECT_EQ(g_Render.textures.GetRefCount(a), 3);

    // Names are compared exactly.
    const TextureId other = g_Render.LoadTexture("data/misc/white.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    EXPECT_EQ(other, -1);

    g_Render.ReleaseTexture(a);
    g_Render.ReleaseTexture(a);
    g_Render.ReleaseTexture(a);
    EXPECT_EQ(g_Render.GetTexture(a), nullptr);
    EXPECT_STREQ(g_Render.textures.GetName(a), "");
    g_Render.whiteTexture = -1;
    // A further release of the freed slot does nothing.
    g_Render.ReleaseTexture(a);
    g_Render.ReleaseTexture(-1);
    EXPECT_EQ(g_Render.textures.GetRefCount(a), 0);

    // The freed slot is taken again by the next new name.
    EXPECT_EQ(g_Render.LoadTexture("Data/Misc/White.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), a);
}

TEST(TextureRequest, BmpNamesAskForDxt1AndMayBeReadAsJpg)
{
    struct Case
    {
        const char* name;
        int bmpToJpg;
        int format;
        const char* file;
        int fileFormat;
    };
    const Case cases[] = {
        {"Data/Tex/a.bmp", 0, D3DFMT_A8R8G8B8, "Data/Tex/a.bmp", D3DFMT_DXT1},
        {"Data/Tex/a.BMP", 0, D3DFMT_A8R8G8B8, "Data/Tex/a.BMP", D3DFMT_A8R8G8B8},   // the test is case-sensitive
        {"Data/Tex/a.dds", 0, D3DFMT_UNKNOWN, "Data/Tex/a.dds", D3DFMT_UNKNOWN},
        {"Data/Tex/a.bmp", 1, D3DFMT_UNKNOWN, "Data/Tex/a.jpg", D3DFMT_DXT1},       // still DXT1
        {"Data/x.bmp/a.bmp", 1, D3DFMT_UNKNOWN, "Data/x.jpg/a.bmp", D3DFMT_DXT1},   // only the first
        {"Data/Tex/a.BMP", 1, D3DFMT_UNKNOWN, "Data/Tex/a.BMP", D3DFMT_UNKNOWN},
        {"Data/Tex/a.jpg", 1, D3DFMT_UNKNOWN, "Data/Tex/a.jpg", D3DFMT_UNKNOWN},
    };
    for (const Case& c : cases)
    {
        g_BmpToJpg = c.bmpToJpg;
        char file[256];
        int format = -1;
        CTextureManager::ResolveRequest(c.name, c.format, file, &format);
        EXPECT_STREQ(file, c.file) << c.name << " " << c.bmpToJpg;
        EXPECT_EQ(format, c.fileFormat) << c.name << " " << c.bmpToJpg;
    }
    g_BmpToJpg = 0;

    // A name longer than the file buffer is cut, never overrun.
    const std::string longName(400, 'a');
    char file[256];
    int format = 0;
    CTextureManager::ResolveRequest(longName.c_str(), D3DFMT_UNKNOWN, file, &format);
    EXPECT_EQ(std::string(file), longName.substr(0, 255));
}

TEST_F(TextureCacheDemoDataTest, BmpNamesOfBothCasesLoad)
{
    WriteFileBytes("Data/Tex/lower.bmp", Bmp(8, 8));
    WriteFileBytes("Data/Tex/upper.BMP", Bmp(8, 4));
    Start(false);
    const TextureId lower = g_Render.LoadTexture("Data/Tex/lower.bmp", 1, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    const TextureId upper = g_Render.LoadTexture("Data/Tex/upper.BMP", 1, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    ASSERT_GE(lower, 0);
    ASSERT_GE(upper, 0);
    EXPECT_NE(lower, upper);
    EXPECT_EQ(Desc(lower).Height, 8u);
    EXPECT_EQ(Desc(upper).Height, 4u);
}

TEST_F(TextureCacheDemoDataTest, BmpToJpgReadsTheJpgButKeepsTheBmpName)
{
    SetUpTechnique();
    textures.Add("Data/Tex/Road.jpg", WriteJpg(16, 8, Plain(16, 8, 50, 60, 70).data()));
    g_BmpToJpg = 1;
    Start(true);

    const TextureId id = g_Render.LoadTexture("Data/Tex/Road.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_GE(id, 0);
    EXPECT_EQ(Desc(id).Width, 16u);
    EXPECT_STREQ(g_Render.textures.GetName(id), "Data/Tex/Road.bmp");
    EXPECT_EQ(g_Render.textures.Find("Data/Tex/Road.bmp"), id);
    EXPECT_EQ(g_Render.LoadTexture("Data/Tex/Road.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), id);

    // With the switch off the ".bmp" itself is wanted, and there is none.
    g_BmpToJpg = 0;
    EXPECT_EQ(g_Render.LoadTexture("Data/Tex/Other.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), -1);
}

TEST_F(TextureCacheDemoDataTest, PackComesBeforeTheLooseFileAndTheLooseFileFillsIn)
{
    SetUpTechnique();
    textures.Add("Data/Tex/Both.bmp", Bmp(16, 16));
    WriteFileBytes("Data/Tex/Both.bmp", Bmp(8, 8));
    WriteFileBytes("Data/Tex/LooseOnly.bmp", Bmp(4, 4));
    Start(true);

    const TextureId both = g_Render.LoadTexture("Data/Tex/Both.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_GE(both, 0);
    EXPECT_EQ(Desc(both).Width, 16u);
    const TextureId loose = g_Render.LoadTexture("Data/Tex/LooseOnly.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_GE(loose, 0);
    EXPECT_EQ(Desc(loose).Width, 4u);
    EXPECT_EQ(g_Render.LoadTexture("Data/Tex/Nowhere.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), -1);
}

TEST_F(TextureCacheDemoDataTest, DamagedFilesGiveNoTexture)
{
    WriteFileBytes("Data/Tex/empty.bmp", {});
    WriteFileBytes("Data/Tex/garbage.dds", std::vector<uint8_t>(200, 0x44));
    std::vector<uint8_t> cut = Bmp(32, 32);
    cut.resize(cut.size() / 2);
    WriteFileBytes("Data/Tex/cut.bmp", cut);
    Start(false);
    for (const char* name : {"Data/Tex/empty.bmp", "Data/Tex/garbage.dds", "Data/Tex/cut.bmp"})
        EXPECT_EQ(g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), -1) << name;
    EXPECT_EQ(g_Render.LoadTexture(nullptr, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), -1);
}

TEST_F(TextureCacheDemoDataTest, FullCacheRefusesTheNextNameWithoutMakingIt)
{
    WriteFileBytes("Data/Tex/t.bmp", Bmp(4, 4));
    Start(false);
    // The device already holds its three default textures.
    int loaded = 3;
    for (int i = 0; loaded < CTextureManager::MAX_TEXTURES; i++, loaded++)
    {
        // Distinct names for one file, through folders of their own.
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Tex/../Tex/%04d/../t.bmp", i);
        mkdir(("Data/Tex/" + std::to_string(10000 + i).substr(1)).c_str(), 0700);
        ASSERT_GE(g_Render.LoadTexture(name, 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), 0) << name;
    }
    mkdir("Data/Tex/9999", 0700);
    D3DClearRecordedCalls();
    EXPECT_EQ(g_Render.LoadTexture("Data/Tex/../Tex/9999/../t.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), -1);
    EXPECT_EQ(CountCalls("CreateTexture"), 0u);

    // A name already held is still shared.
    EXPECT_EQ(g_Render.LoadTexture("Data/Tex/../Tex/0000/../t.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), 3);
}

TEST_F(TextureCacheDemoDataTest, LongNamesAreCutToWhatASlotHolds)
{
    // 300 characters of folders that resolve to a real file.
    std::string longName = "Data/Tex";
    while (longName.size() < 290)
        longName += "/.";
    longName += "/t.bmp";
    WriteFileBytes("Data/Tex/t.bmp", Bmp(4, 4));
    Start(false);

    // The file can not be named in the 255 bytes the loader reads by, so it
    // is refused rather than read past its buffer.
    EXPECT_EQ(g_Render.LoadTexture(longName.c_str(), 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), -1);

    // 254 characters fit exactly and round-trip through the slot.
    std::string fit = "Data/Tex";
    while (fit.size() < 248)
        fit += "/.";
    fit += "/t.bmp";
    fit = fit.substr(0, 254 - 6) + "/t.bmp";
    ASSERT_EQ(fit.size(), 254u);
    const TextureId id = g_Render.LoadTexture(fit.c_str(), 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_GE(id, 0);
    EXPECT_EQ(std::string(g_Render.textures.GetName(id)), fit);
    EXPECT_EQ(g_Render.LoadTexture(fit.c_str(), 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), id);
}

TEST_F(TextureCacheDemoDataTest, ReleaseByNameAndTheShutdownSweep)
{
    WriteFileBytes("Data/Tex/t.bmp", Bmp(4, 4));
    Start(false);
    g_DebugLog = 1;
    const TextureId id = g_Render.LoadTexture("Data/Tex/t.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    g_Render.LoadTexture("Data/Tex/t.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    g_Render.LoadTexture("Data/Tex/t.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    g_Render.ReleaseTextureByName("Data/Tex/t.bmp");
    g_Render.ReleaseTextureByName(nullptr);
    EXPECT_EQ(g_Render.textures.GetRefCount(id), 2);

    g_Render.ReleaseAllTextures();
    const std::string log = ReadFileText("debug.txt");
    EXPECT_NE(log.find("\tCTextureManager::ReleaseAllTextures() start..."), std::string::npos);
    EXPECT_NE(log.find("\t\tTexture lost! (ID: " + std::to_string(id) + "; REF: 2; Name: Data/Tex/t.bmp"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\tCTextureManager::ReleaseAllTextures() done!"), std::string::npos);
    // One reference was given back; the other holder still has it.
    EXPECT_EQ(g_Render.textures.GetRefCount(id), 1);
    EXPECT_EQ(g_Render.GetTexture(g_Render.whiteTexture), nullptr);
    g_Render.lightMapTexture = g_Render.blackTexture = g_Render.whiteTexture = -1;
    g_Render.ReleaseTexture(id);

    // A missing file is logged by name.
    EXPECT_EQ(g_Render.LoadTexture("Data/Tex/missing.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN), -1);
    EXPECT_NE(ReadFileText("debug.txt").find("Load texture failed: Data/Tex/missing.bmp"), std::string::npos);
}

TEST_F(TextureCacheDemoDataTest, FillColorTextureMakesAndFillsACallerTexture)
{
    Start(false);
    IDirect3DTexture9* texture = nullptr;
    CTextureManager::FillColorTexture(&texture, D3DXCOLOR(1.0f, 0.5f, 0.25f, 0.75f), 8);
    ASSERT_NE(texture, nullptr);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(texture->GetLevelCount(), 1u);

    // Filled again with another colour: the same texture is reused.
    IDirect3DTexture9* same = texture;
    CTextureManager::FillColorTexture(&texture, D3DXCOLOR(0.0f, 1.0f, 2.0f, 1.0f), 8);
    EXPECT_EQ(texture, same);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
        {
            const uint8_t* p = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4;
            ASSERT_EQ(p[0], 255);   // blue held at 1 rather than wrapping
            ASSERT_EQ(p[1], 255);
            ASSERT_EQ(p[2], 0);
            ASSERT_EQ(p[3], 255);
        }
    texture->UnlockRect(0);
    texture->Release();
}

}   // namespace
