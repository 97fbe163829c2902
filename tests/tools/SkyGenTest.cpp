// The demo sky: the files of the generator module, the dome and ring meshes
// as the sky draws them, and pictures that read as sky, sun and hills.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/image/ImageDecode.h"
#include "render/MeshFile.h"
#include "tools/AreaGen.h"
#include "tools/DataTree.h"
#include "tools/SkyGen.h"

namespace
{

// The sky module alone, run once for the suite.
class SkyGenTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        DataTree all;
        RunAllGenerators(all);
        for (const DataTree::File& f : all.Files())
            if (f.path.compare(0, 9, "Data/Sky/") == 0)
                s_Files[f.path] = f.bytes;
    }
    static const std::vector<uint8_t>& File(const std::string& path) { return s_Files[path]; }

    static DecodedImage Decode(const std::string& path, std::vector<uint8_t>& bgra)
    {
        DecodedImage img;
        const std::vector<uint8_t>& bytes = File(path);
        std::string error;
        EXPECT_TRUE(DecodeImage(bytes.data(), bytes.size(), img, &error)) << path << ": " << error;
        if (img.data.empty())
            return img;
        if (IsCompressedFormat(img.format))
            EXPECT_TRUE(DecompressDxt(img.format, img.width, img.height, img.data[0].data(), img.data[0].size(), bgra));
        else
            bgra = img.data[0];
        return img;
    }

    static std::map<std::string, std::vector<uint8_t>> s_Files;
};
std::map<std::string, std::vector<uint8_t>> SkyGenTest::s_Files;

const uint8_t* Pixel(const std::vector<uint8_t>& bgra, int width, int x, int y)
{
    return &bgra[(size_t(y) * width + x) * 4];
}

// Distance along the ray from `o` in direction `d` to triangle a, b, c; -1
// when it misses.
float RayHit(const float o[3], const float d[3], const float* a, const float* b, const float* c)
{
    float e1[3], e2[3], p[3], t[3], q[3];
    for (int k = 0; k < 3; ++k)
    {
        e1[k] = b[k] - a[k];
        e2[k] = c[k] - a[k];
        t[k] = o[k] - a[k];
    }
    auto cross = [](const float* u, const float* v, float* out) {
        out[0] = u[1] * v[2] - u[2] * v[1];
        out[1] = u[2] * v[0] - u[0] * v[2];
        out[2] = u[0] * v[1] - u[1] * v[0];
    };
    auto dot = [](const float* u, const float* v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; };
    cross(d, e2, p);
    const float det = dot(e1, p);
    if (std::fabs(det) < 1e-9f)
        return -1.0f;
    const float u = dot(t, p) / det;
    cross(t, e1, q);
    const float v = dot(d, q) / det;
    if (u < -1e-5f || v < -1e-5f || u + v > 1.0f + 1e-5f)
        return -1.0f;
    return dot(e2, q) / det;
}

// Which side of a triangle faces a viewer at `eye`, as the sign of its
// normal (b - a) x (c - a) against the direction from the eye.
float FacingSign(const float* a, const float* b, const float* c, const float eye[3])
{
    const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    return n[0] * (a[0] - eye[0]) + n[1] * (a[1] - eye[1]) + n[2] * (a[2] - eye[2]);
}

const float* Position(const MeshFileSlot& slot, int vertex)
{
    return &slot.vertices[size_t(vertex) * MESH_FILE_FLOATS_PER_VERTEX];
}

bool SlotHits(const MeshFileSlot& slot, const float eye[3], const float direction[3])
{
    for (int f = 0; f < slot.faceCount; ++f)
    {
        const uint16_t* i = &slot.indices[size_t(f) * 3];
        if (RayHit(eye, direction, Position(slot, i[0]), Position(slot, i[1]), Position(slot, i[2])) > 0.0f)
            return true;
    }
    return false;
}

TEST_F(SkyGenTest, EveryFileTheSkyAndTheLandscapeRead)
{
    std::vector<std::string> paths = {"Data/Sky/Main.obj", "Data/Sky/Main.msh", "Data/Sky/Sun.bmp", "Data/Sky/Sun.jpg"};
    for (int area = 1; area <= kAreaCount; ++area)
        for (int season = 1; season <= kSeasonCount; ++season)
            paths.push_back("Data/Sky/Background" + std::to_string(area) + "_0" + std::to_string(season) + ".dds");
    for (int n = 1; n <= 9; ++n)
        for (const char* ext : {".bmp", ".jpg"})
            paths.push_back("Data/Sky/Clouds0" + std::to_string(n) + ext);
    for (const std::string& path : paths)
        EXPECT_FALSE(File(path).empty()) << path;
    const std::string description(File("Data/Sky/Main.obj").begin(), File("Data/Sky/Main.obj").end());
    EXPECT_NE(description.find("Data/Sky/Main.msh"), std::string::npos);
    EXPECT_NE(description.find("//--"), std::string::npos);
}

// Seen from the eye (0.55 below the dome's centre), the dome is hit in every
// direction, up, down and all round; the horizon ring in every direction
// near the horizon, from its front side under the game's culling.
TEST_F(SkyGenTest, DomeCoversEveryDirectionAndTheRingFacesTheEye)
{
    const std::vector<uint8_t>& bytes = File("Data/Sky/Main.msh");
    MeshFileData mesh;
    ASSERT_EQ(ParseMeshFile(bytes.data(), bytes.size(), mesh), MESHFILE_OK);
    const MeshFileSlot& dome = mesh.slots[6];
    const MeshFileSlot& ring = mesh.slots[1];
    ASSERT_EQ(dome.partCount, 1);
    ASSERT_EQ(ring.partCount, 1);
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        if (s != 6 && s != 1)
        {
            EXPECT_EQ(mesh.slots[s].partCount, 0) << s;
        }
    }

    const float domeEye[3] = {0.0f, -0.55f, 0.0f};
    int missed = 0;
    for (int i = 0; i <= 24; ++i)
        for (int j = 0; j < 36; ++j)
        {
            const float theta = 3.14159265f * i / 24.0f, phi = 6.2831853f * j / 36.0f + 0.01f * i;
            const float d[3] = {std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)};
            missed += !SlotHits(dome, domeEye, d);
        }
    EXPECT_EQ(missed, 0);

    // The crate's box faces draw under the game's culling seen from outside:
    // the ring's faces must turn the same way towards the eye inside.
    const float lo[3] = {-1, -1, -1}, hi[3] = {1, 1, 1};
    MeshPart box = MakeBoxPart(lo, hi);
    const std::vector<uint16_t> boxIndices = MakeBoxIndices();
    const float outside[3] = {0, 0, -10};
    float boxSign = 0.0f;
    for (size_t f = 0; f < boxIndices.size(); f += 3)
    {
        const MeshVertex& a = box.vertices[boxIndices[f]];
        if (a.normal[2] > -0.5f)
            continue;   // only the face towards the viewer
        boxSign = FacingSign(a.pos, box.vertices[boxIndices[f + 1]].pos, box.vertices[boxIndices[f + 2]].pos, outside);
        break;
    }
    ASSERT_NE(boxSign, 0.0f);

    const float eye[3] = {0, 0, 0};
    for (int j = 0; j < 72; ++j)
    {
        const float phi = 6.2831853f * j / 72.0f + 0.003f;
        for (const float up : {-0.05f, 0.0f, 0.2f})
        {
            const float d[3] = {std::cos(phi), up, std::sin(phi)};
            EXPECT_TRUE(SlotHits(ring, eye, d)) << phi << " " << up;
        }
    }
    for (int f = 0; f < ring.faceCount; ++f)
    {
        const uint16_t* i = &ring.indices[size_t(f) * 3];
        const float sign = FacingSign(Position(ring, i[0]), Position(ring, i[1]), Position(ring, i[2]), eye);
        EXPECT_GT(sign * boxSign, 0.0f) << "face " << f;
    }
}

TEST_F(SkyGenTest, DomeMappingRoundTrips)
{
    const float directions[][3] = {{0, 1, 0}, {0.6f, 0.8f, 0}, {0, 0.5f, -0.866f}, {-0.7f, 0.1f, 0.707f}, {1, 0, 0}};
    for (const auto& d : directions)
    {
        float u, v, back[3];
        SkyDomeUV(d[0], d[1], d[2], &u, &v);
        ASSERT_TRUE(SkyDirectionOfUV(u, v, back));
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(back[k], d[k], 2e-3f) << d[0] << " " << d[1] << " " << d[2];
    }
    // Below the horizon: on the horizon's circle, never outside the picture.
    float u, v;
    SkyDomeUV(0.3f, -0.9f, 0.3f, &u, &v);
    EXPECT_NEAR(std::hypot(u - 0.5f, v - 0.5f), 0.49f, 1e-4f);
    float d[3];
    EXPECT_FALSE(SkyDirectionOfUV(0.02f, 0.02f, d));
}

// Clear skies are blue, deeper at the zenith than at the horizon; the higher
// numbers carry more cloud.
TEST_F(SkyGenTest, CloudSkiesAreBlueAndGrowCloudier)
{
    float cover[10] = {};
    for (int n = 1; n <= 9; ++n)
    {
        SCOPED_TRACE(n);
        std::vector<uint8_t> px;
        const DecodedImage img = Decode("Data/Sky/Clouds0" + std::to_string(n) + ".bmp", px);
        ASSERT_EQ(img.width, 512);
        ASSERT_EQ(img.height, 512);
        int cloudy = 0, inside = 0;
        double clearBlue = 0, clearRed = 0, highSky = 0, lowSky = 0;
        int high = 0, low = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
            {
                const float dx = (x + 0.5f) / img.width - 0.5f, dy = (y + 0.5f) / img.height - 0.5f;
                const float r = std::hypot(dx, dy);
                const uint8_t* p = Pixel(px, img.width, x, y);
                const bool cloud = p[2] > 215 && p[1] > 215;   // white or grey-white, not sky blue
                if (r < 0.45f)
                {
                    inside++;
                    cloudy += cloud;
                }
                if (cloud)
                    continue;
                clearBlue += p[0];
                clearRed += p[2];
                if (r < 0.15f)
                    highSky += p[0] + p[1] + p[2], high++;
                else if (r > 0.47f && r < 0.49f)
                    lowSky += p[0] + p[1] + p[2], low++;
            }
        cover[n] = float(cloudy) / inside;
        EXPECT_GT(cover[n], 0.01f);
        EXPECT_LT(cover[n], 0.6f);
        EXPECT_GT(clearBlue, clearRed * 1.4);
        ASSERT_GT(high, 0);
        ASSERT_GT(low, 0);
        EXPECT_GT(lowSky / low, highSky / high * 1.3);
    }
    EXPECT_GT(cover[9], cover[1] * 2.0f);
}

// The sun: white at the centre, black along the whole edge, so that the
// glare drawn from it large shows no square.
TEST_F(SkyGenTest, SunFadesToBlackAtTheEdge)
{
    std::vector<uint8_t> px;
    const DecodedImage img = Decode("Data/Sky/Sun.bmp", px);
    ASSERT_EQ(img.width, 256);
    const uint8_t* centre = Pixel(px, img.width, 128, 128);
    EXPECT_GT(centre[0] + centre[1] + centre[2], 3 * 240);
    for (int i = 0; i < img.width; ++i)
        for (const uint8_t* p : {Pixel(px, img.width, i, 0), Pixel(px, img.width, i, img.height - 1),
                                 Pixel(px, img.width, 0, i), Pixel(px, img.width, img.width - 1, i)})
            EXPECT_LE(p[0] + p[1] + p[2], 9) << i;
}

// Hills round the horizon: clear sky at the top, solid ground at the bottom,
// the two ends of each picture meeting where the ring closes, and winter
// lighter than summer.
TEST_F(SkyGenTest, BackgroundsAreHillsUnderAClearSky)
{
    for (int area = 1; area <= kAreaCount; ++area)
    {
        double opaqueBrightness[3] = {};
        for (int season = 0; season < kSeasonCount; ++season)
        {
            const std::string path =
                "Data/Sky/Background" + std::to_string(area) + "_0" + std::to_string(season + 1) + ".dds";
            SCOPED_TRACE(path);
            std::vector<uint8_t> px;
            const DecodedImage img = Decode(path, px);
            ASSERT_EQ(img.width, kSkyBackgroundWidth);
            ASSERT_EQ(img.height, kSkyBackgroundHeight);
            EXPECT_EQ(img.levels, 1);
            int topOpaque = 0, bottomClear = 0, seam = 0, opaque = 0;
            double sum = 0;
            for (int x = 0; x < img.width; ++x)
            {
                topOpaque += Pixel(px, img.width, x, 0)[3] > 8;
                bottomClear += Pixel(px, img.width, x, img.height - 1)[3] < 247;
            }
            for (int y = 0; y < img.height; ++y)
            {
                seam += std::abs(Pixel(px, img.width, 0, y)[3] - Pixel(px, img.width, img.width - 1, y)[3]) > 96;
                for (int x = 0; x < img.width; ++x)
                {
                    const uint8_t* p = Pixel(px, img.width, x, y);
                    if (p[3] > 250)
                    {
                        opaque++;
                        sum += p[0] + p[1] + p[2];
                    }
                }
            }
            EXPECT_EQ(topOpaque, 0);
            EXPECT_EQ(bottomClear, 0);
            EXPECT_LE(seam, 2);
            // Hills reach well above the horizon row somewhere.
            EXPECT_GT(opaque, img.width * img.height / 5);
            opaqueBrightness[season] = sum / opaque;
        }
        EXPECT_GT(opaqueBrightness[2], opaqueBrightness[0] * 1.3) << area;
    }
}

}   // namespace
