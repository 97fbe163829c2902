// The screen quad's corners on the back buffer and the pointer's rectangle
// around its hot spot.
#include "interface/MouseCursor.h"
#include "tests/interface/MenuTestSupport.h"

using menutest::MenuFixture;

namespace
{

class ScreenQuadTest : public MenuFixture
{};

TEST_F(ScreenQuadTest, VirtualRectangleScalesToTheBackBuffer)
{
    g_Render.scaleX = 1024.0f / 800.0f;
    g_Render.scaleY = 768.0f / 600.0f;
    CScreenQuad quad;
    quad.width = quad.height = 63;
    quad.textureSize = 64;
    quad.SetIcon(0, 0);
    quad.DrawRect(0, 0, 400, 300, 1, 2, 3, 4);
    const float expected[4][2] = {{0, 0}, {0, 384}, {512, 0}, {512, 384}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FLOAT_EQ(quad.vertices[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(quad.vertices[i].y, expected[i][1]) << i;
        EXPECT_EQ(quad.vertices[i].color, (DWORD)(i + 1));
        EXPECT_FLOAT_EQ(quad.vertices[i].rhw, 2.0f);
    }
    EXPECT_FLOAT_EQ(quad.vertices[0].u, 0.5f / 64.0f);
    EXPECT_FLOAT_EQ(quad.vertices[3].v, 63.5f / 64.0f);
    EXPECT_EQ(Calls("DrawPrimitiveUP").size(), 1u);
}

TEST_F(ScreenQuadTest, PointerCoversItsRectangleOnlyWhenVisible)
{
    CMouseCursor cursor;
    cursor.Create();
    g_MouseX = 300;
    g_MouseY = 200;
    D3DClearRecordedCalls();
    cursor.Draw();
    EXPECT_TRUE(Calls("DrawPrimitiveUP").empty()) << "hidden";
    cursor.visible = 1;
    cursor.Draw();
    ASSERT_EQ(Calls("DrawPrimitiveUP").size(), 1u);
    EXPECT_FLOAT_EQ(cursor.quad.vertices[0].x, 294.0f);
    EXPECT_FLOAT_EQ(cursor.quad.vertices[0].y, 196.0f);
    EXPECT_FLOAT_EQ(cursor.quad.vertices[3].x, 320.0f);
    EXPECT_FLOAT_EQ(cursor.quad.vertices[3].y, 232.0f);
    cursor.Release();
}

}   // namespace
