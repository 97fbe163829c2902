// Generator module: the menu pointer ("Cursor.dds", 64 x 64). The game draws it
// 26 x 36 units with the tip 6 units from the left and 4 from the top, so the
// arrow is laid out in those units and stretched onto the square picture.
#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/MenuPaint.h"

using namespace menupaint;

namespace
{
void GenerateCursor(DataTree& tree)
{
    const int N = 64;
    const float sx = 63.0f / 26.0f, sy = 63.0f / 36.0f;
    // Arrow in drawn units: tip at (6, 4).
    const Point arrow[] = {{6, 4}, {6, 27}, {11.5f, 22.5f}, {15.5f, 31.5f}, {19, 30}, {15, 21}, {22, 21}};
    std::vector<Point> poly;
    for (const Point& p : arrow)
        poly.push_back({p.x * sx + 0.5f, p.y * sy + 0.5f});
    Mask shape(N, N);
    FillPolygon(shape, poly);

    Layer out(N, N, {0, 0, 0, 0});
    out.Over(Blur(Shifted(Dilate(shape, 2.0f), 3, 4), 2), [](int, int) { return Rgba{0, 0, 0, 0.6f}; });
    out.Over(Dilate(shape, 2.5f), [](int, int) { return Rgba{0.08f, 0.03f, 0.0f, 1.0f}; });
    out.Over(shape, [](int x, int y) {
        float t = std::clamp((x * 0.4f + y) / 64.0f, 0.0f, 1.0f);
        return Rgba{1.0f, 0.92f - 0.45f * t, 0.55f - 0.5f * t, 1.0f};
    });
    const std::vector<uint8_t> bgra = out.Bgra();
    tree.Add("Data/Interface/Cursor/Cursor.dds", WriteDds(N, N, bgra.data(), PixelFormat::A8R8G8B8, false));
}
}   // namespace

REGISTER_GENERATOR("menu cursor", GenerateCursor);
